#include "AppKit/NSNibLoading.h"

#include <mutex>

namespace NSNibLoading {

namespace {
std::mutex g_lock;
Loader& loader()
{
    static auto* l = new Loader;
    return *l;
}
}

void setLoader(Loader l)
{
    std::lock_guard guard(g_lock);
    loader() = std::move(l);
}

Loader currentLoader()
{
    std::lock_guard guard(g_lock);
    return loader();
}

bool loadNibNamed(const Ref<NSString>& nibName, const Id& owner, Ref<NSArray>* topLevelObjects)
{
    Loader l;
    {
        std::lock_guard guard(g_lock);
        l = loader();
    }
    if (!l || !nibName) return false;
    return l(nibName, owner, topLevelObjects);
}

}
