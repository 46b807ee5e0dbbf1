#include "CoreGraphics/CGCaches.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <mutex>
#include <vector>

namespace {
std::mutex& cacheMutex()
{
    static std::mutex* m = new std::mutex;  // outlives every static
    return *m;
}
std::vector<std::function<void()>>& releases()
{
    static auto* list = new std::vector<std::function<void()>>;
    return *list;
}
}

void GraphicsAddCacheRelease(std::function<void()> release)
{
    GraphicsRegisterCacheRelease();
    std::lock_guard lock(cacheMutex());
    releases().push_back(std::move(release));
}

void GraphicsRegisterCacheRelease()
{
    static std::once_flag once;
    std::call_once(once, [] { std::atexit(GraphicsReleaseCaches); });
}

void GraphicsReleaseCaches()
{
    std::vector<std::function<void()>> steps;
    {
        std::lock_guard lock(cacheMutex());
        steps.swap(releases());
    }
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) (*it)();
    cairo_debug_reset_static_data();
    FcFini();
    // The bookkeeping itself is deliberately never freed; release its storage.
    std::vector<std::function<void()>>().swap(steps);
}
