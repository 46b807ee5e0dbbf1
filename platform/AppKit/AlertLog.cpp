#include "AppKit/AlertLog.h"

#include <mutex>

namespace AlertLog {

namespace {
std::mutex g_lock;
std::vector<AlertRecord>& records()
{
    static auto* r = new std::vector<AlertRecord>;
    return *r;
}
}

size_t record(AlertRecord alert)
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

std::vector<AlertRecord> all()
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
