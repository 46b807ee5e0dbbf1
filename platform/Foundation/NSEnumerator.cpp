#include "Foundation/NSEnumerator.h"

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSEnumerator)

Ref<NSEnumerator> NSEnumerator::enumeratorWithObjects(std::vector<Id> objects)
{
    auto e = alloc<NSEnumerator>();
    e->m_objects = std::move(objects);
    return e;
}

Id NSEnumerator::nextObject()
{
    if (m_next >= m_objects.size()) return nullptr;
    // Hand the reference over: the enumerator needs it no longer.
    return std::move(m_objects[m_next++]);
}

Ref<NSArray> NSEnumerator::allObjects()
{
    std::vector<Id> rest;
    while (Id o = nextObject()) rest.push_back(std::move(o));
    return NSArray::arrayWithVector(std::move(rest));
}
