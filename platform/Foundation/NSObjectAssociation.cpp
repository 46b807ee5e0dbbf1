#include "Foundation/NSObjectAssociation.h"

#include <atomic>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

struct Association {
    Id retained;
    Weak<NSObject> assigned;
    Id value() const { return retained ? retained : assigned.get(); }
};

using Associations = std::unordered_map<const void*, Association>;

struct Table {
    std::mutex lock;
    std::unordered_map<const NSObject*, Associations> byObject;
};

Table& table()
{
    static auto* t = new Table;
    return *t;
}

// Objects without associations die without taking the lock.
std::atomic<size_t> g_objectsWithAssociations{0};

}  // namespace

void objc_setAssociatedObject(const Id& object, const void* key, const Id& value, objc_AssociationPolicy policy)
{
    if (!object) return;
    Association association;
    if (value) {
        const bool copies = policy == OBJC_ASSOCIATION_COPY_NONATOMIC || policy == OBJC_ASSOCIATION_COPY;
        if (policy == OBJC_ASSOCIATION_ASSIGN) association.assigned = value;
        else association.retained = copies ? value->copy() : value;
        // The object's death must reach the table: a weak reference makes the
        // object model report it.
        Weak<NSObject> marker = object;
    }
    Association replaced;  // released outside the lock
    Table& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.byObject.find(object.get());
    if (!value) {
        if (it == t.byObject.end()) return;
        auto entry = it->second.find(key);
        if (entry == it->second.end()) return;
        replaced = std::move(entry->second);
        it->second.erase(entry);
        if (it->second.empty()) {
            t.byObject.erase(it);
            --g_objectsWithAssociations;
        }
        return;
    }
    if (it == t.byObject.end()) {
        it = t.byObject.emplace(object.get(), Associations{}).first;
        ++g_objectsWithAssociations;
    }
    auto& slot = it->second[key];
    replaced = std::move(slot);
    slot = std::move(association);
}

Id objc_getAssociatedObject(const Id& object, const void* key)
{
    if (!object) return nullptr;
    Table& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.byObject.find(object.get());
    if (it == t.byObject.end()) return nullptr;
    auto entry = it->second.find(key);
    return entry == it->second.end() ? nullptr : entry->second.value();
}

void objc_removeAssociatedObjects(const Id& object)
{
    if (object) NSObjectAssociation::objectDying(object.get());
}

namespace NSObjectAssociation {

void objectDying(NSObject* object)
{
    if (g_objectsWithAssociations.load(std::memory_order_acquire) == 0) return;
    Associations doomed;  // released outside the lock: a value's death may reach the table
    {
        Table& t = table();
        std::lock_guard guard(t.lock);
        auto it = t.byObject.find(object);
        if (it == t.byObject.end()) return;
        doomed = std::move(it->second);
        t.byObject.erase(it);
        --g_objectsWithAssociations;
    }
}

}
