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

void setSuppressionButton(size_t index, const NSRect& screenFrame)
{
    std::lock_guard guard(g_lock);
    if (index < records().size()) records()[index].suppressionButtonFrame = screenFrame;
}

void setSuppressed(size_t index, bool suppressed)
{
    std::lock_guard guard(g_lock);
    if (index < records().size()) records()[index].suppressed = suppressed;
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
