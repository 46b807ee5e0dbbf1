#include "AppKit/NSAlertLog.h"

#include <mutex>

namespace NSAlertLog {

namespace {
std::mutex g_lock;
std::vector<NSAlertRecord>& records()
{
    static auto* r = new std::vector<NSAlertRecord>;
    return *r;
}
}

size_t record(NSAlertRecord alert)
{
    std::lock_guard guard(g_lock);
    records().push_back(std::move(alert));
    return records().size() - 1;
}

void setResult(size_t index, NSInteger result)
{
    std::lock_guard guard(g_lock);
    if (index < records().size()) records()[index].result = result;
}

std::vector<NSAlertRecord> all()
{
    std::lock_guard guard(g_lock);
    return records();
}

void clear()
{
    std::lock_guard guard(g_lock);
    records().clear();
}

}
