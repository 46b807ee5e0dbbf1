#include "Foundation/NSSet.h"

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSSet)
NS_CLASS_DEFINE(NSMutableSet)

Ref<NSSet> NSSet::set() { return alloc<NSSet>(); }

Ref<NSSet> NSSet::setWithObject(const Id& object) { return setWithObjects({object}); }

Ref<NSSet> NSSet::setWithObjects(std::initializer_list<Id> objects)
{
    auto s = alloc<NSSet>();
    for (const Id& o : objects) s->insert(o);
    return s;
}

Ref<NSSet> NSSet::setWithArray(const Ref<NSArray>& array)
{
    auto s = alloc<NSSet>();
    if (array)
        for (const Id& o : array->snapshot()) s->insert(o);
    return s;
}

Ref<NSSet> NSSet::setWithSet(const Ref<NSSet>& other)
{
    auto s = alloc<NSSet>();
    if (other)
        for (const Id& o : other->snapshot()) s->insert(o);
    return s;
}

void NSSet::insert(const Id& object)
{
    if (!object)
        NSException::raise(NSInvalidArgumentException,
                           "-[" + realClass().name() + " addObject:]: object cannot be nil");
    if (m_index.count(object)) return;
    m_slots.push_back(object);
    m_index.emplace(object, m_slots.size() - 1);
}

void NSSet::erase(const Id& object)
{
    if (!object) return;
    auto it = m_index.find(object);
    if (it == m_index.end()) return;
    // Keep the member alive until the tables are consistent again.
    Id removed = std::move(m_slots[it->second]);
    m_index.erase(it);
    if (m_slots.size() > 8 && m_index.size() < m_slots.size() / 2) {
        std::vector<Id> live;
        live.reserve(m_index.size());
        for (auto& o : m_slots)
            if (o) live.push_back(std::move(o));
        m_slots = std::move(live);
        for (size_t i = 0; i < m_slots.size(); ++i) m_index[m_slots[i]] = i;
    }
}

Id NSSet::member(const Id& object) const
{
    if (!object) return nullptr;
    auto it = m_index.find(object);
    return it == m_index.end() ? nullptr : m_slots[it->second];
}

std::vector<Id> NSSet::snapshot() const
{
    std::vector<Id> live;
    live.reserve(m_index.size());
    for (const Id& o : m_slots)
        if (o) live.push_back(o);
    return live;
}

Ref<NSArray> NSSet::allObjects() const { return NSArray::arrayWithVector(snapshot()); }

Id NSSet::anyObject() const
{
    for (const Id& o : m_slots)
        if (o) return o;
    return nullptr;
}

bool NSSet::isSubsetOfSet(const Ref<NSSet>& other) const
{
    if (!other) return count() == 0;
    for (const Id& o : m_slots)
        if (o && !other->containsObject(o)) return false;
    return true;
}

bool NSSet::intersectsSet(const Ref<NSSet>& other) const
{
    if (!other) return false;
    for (const Id& o : m_slots)
        if (o && other->containsObject(o)) return true;
    return false;
}

bool NSSet::isEqualToSet(const Ref<NSSet>& other) const
{
    return other && other->count() == count() && isSubsetOfSet(other);
}

bool NSSet::isEqual(const NSObject* other) const
{
    auto* s = dynamic_cast<const NSSet*>(other);
    return s && isEqualToSet(const_cast<NSSet*>(s));
}

Ref<NSString> NSSet::description() const
{
    auto text = NSMutableString::stringWithString("{("_ns);
    bool first = true;
    for (const Id& o : snapshot()) {
        text->appendString(first ? "\n    "_ns : ",\n    "_ns);
        text->appendString(o->description());
        first = false;
    }
    text->appendString(first ? ")}"_ns : "\n)}"_ns);
    return static_ref_cast<NSString>(text->copy());
}

Id NSSet::copy() const { return const_cast<NSSet*>(this); }

Id NSSet::mutableCopy() const { return NSMutableSet::setWithSet(const_cast<NSSet*>(this)); }

// NSMutableSet

Ref<NSMutableSet> NSMutableSet::set() { return alloc<NSMutableSet>(); }

Ref<NSMutableSet> NSMutableSet::setWithObject(const Id& object)
{
    auto s = alloc<NSMutableSet>();
    s->insert(object);
    return s;
}

Ref<NSMutableSet> NSMutableSet::setWithArray(const Ref<NSArray>& array)
{
    auto s = alloc<NSMutableSet>();
    s->addObjectsFromArray(array);
    return s;
}

Ref<NSMutableSet> NSMutableSet::setWithSet(const Ref<NSSet>& other)
{
    auto s = alloc<NSMutableSet>();
    s->unionSet(other);
    return s;
}

void NSMutableSet::addObjectsFromArray(const Ref<NSArray>& array)
{
    if (!array) return;
    for (const Id& o : array->snapshot()) addObject(o);
}

void NSMutableSet::removeAllObjects()
{
    auto old = std::move(m_slots);  // released after the tables are empty
    m_slots.clear();
    m_index.clear();
}

void NSMutableSet::unionSet(const Ref<NSSet>& other)
{
    if (!other) return;
    for (const Id& o : other->snapshot()) addObject(o);
}

void NSMutableSet::minusSet(const Ref<NSSet>& other)
{
    if (!other) return;
    for (const Id& o : other->snapshot()) removeObject(o);
}

void NSMutableSet::intersectSet(const Ref<NSSet>& other)
{
    for (const Id& o : snapshot())
        if (!other || !other->containsObject(o)) removeObject(o);
}

Id NSMutableSet::copy() const { return NSSet::setWithSet(const_cast<NSMutableSet*>(this)); }
