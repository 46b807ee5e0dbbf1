#include "Foundation/NSCountedSet.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSCountedSet)

Ref<NSCountedSet> NSCountedSet::set() { return alloc<NSCountedSet>(); }

void NSCountedSet::addObject(const Id& object)
{
    insert(object);  // raises for nil
    ++m_counts[member(object)];
}

void NSCountedSet::removeObject(const Id& object)
{
    auto it = object ? m_counts.find(object) : m_counts.end();
    if (it == m_counts.end()) return;
    if (--it->second > 0) return;
    Id member = it->first;
    m_counts.erase(it);
    erase(member);
}

NSUInteger NSCountedSet::countForObject(const Id& object) const
{
    auto it = object ? m_counts.find(object) : m_counts.end();
    return it == m_counts.end() ? 0 : it->second;
}

void NSCountedSet::removeAllObjects()
{
    auto old = std::move(m_counts);
    m_counts.clear();
    NSMutableSet::removeAllObjects();
}

Id NSCountedSet::copy() const
{
    auto s = alloc<NSCountedSet>();
    for (const Id& o : snapshot()) {
        s->insert(o);
        s->m_counts[o] = countForObject(o);
    }
    return s;
}
