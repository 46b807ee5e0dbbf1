#include "Foundation/NSAutoreleasePool.h"

#include <vector>

namespace {
struct PoolStack {
    std::vector<std::vector<const NSObject*>> levels{1};
    ~PoolStack()
    {
        while (!levels.empty()) {
            NSAutoreleasePool::drain();
            levels.pop_back();
        }
    }
};
thread_local PoolStack t_pools;
}

NSAutoreleasePool::NSAutoreleasePool() { t_pools.levels.emplace_back(); }

NSAutoreleasePool::~NSAutoreleasePool()
{
    drain();
    t_pools.levels.pop_back();
}

void NSAutoreleasePool::addObject(const NSObject* object)
{
    if (object) t_pools.levels.back().push_back(object);
}

void NSAutoreleasePool::keepAlive(const Id& object)
{
    if (!object) return;
    object->retain();
    addObject(object.get());
}

void NSAutoreleasePool::drain()
{
    // Releasing can autorelease more objects into this level; loop until empty.
    while (!t_pools.levels.back().empty()) {
        std::vector<const NSObject*> batch;
        batch.swap(t_pools.levels.back());
        for (const NSObject* o : batch) o->release();
    }
}
