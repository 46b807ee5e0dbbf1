#include "Foundation/NSArray.h"

#include <algorithm>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSArray)
NS_CLASS_DEFINE(NSMutableArray)

Ref<NSArray> NSArray::array() { return alloc<NSArray>(); }

Ref<NSArray> NSArray::arrayWithObject(const Id& object)
{
    return arrayWithObjects({object});
}

Ref<NSArray> NSArray::arrayWithObjects(std::initializer_list<Id> objects)
{
    return arrayWithVector(std::vector<Id>(objects));
}

Ref<NSArray> NSArray::arrayWithVector(std::vector<Id> objects)
{
    for (auto& o : objects)
        if (!o) NSException::raise(NSInvalidArgumentException, "-[NSArray initWithObjects:count:]: attempt to insert nil object");
    auto a = alloc<NSArray>();
    a->m_objects = std::move(objects);
    return a;
}

Ref<NSArray> NSArray::arrayWithArray(const Ref<NSArray>& other)
{
    return arrayWithVector(other ? other->m_objects : std::vector<Id>{});
}

void NSArray::checkIndex(NSUInteger index, const char* method, NSUInteger bound) const
{
    if (index >= bound)
        NSException::raise(NSRangeException, "-[" + realClass().name() + " " + method + "]: index " + std::to_string(index) +
                                                 " beyond bounds [0 .. " + std::to_string(bound == 0 ? 0 : bound - 1) + "]");
}

Id NSArray::objectAtIndex(NSUInteger index) const
{
    checkIndex(index, "objectAtIndex:", m_objects.size());
    return m_objects[index];
}

NSUInteger NSArray::indexOfObject(const Id& object) const
{
    if (!object) return NSNotFound;
    for (size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i]->isEqual(object.get())) return i;
    return NSNotFound;
}

NSUInteger NSArray::indexOfObjectIdenticalTo(const Id& object) const
{
    for (size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i] == object) return i;
    return NSNotFound;
}

bool NSArray::isEqualToArray(const Ref<NSArray>& other) const
{
    if (!other || other->count() != count()) return false;
    for (size_t i = 0; i < m_objects.size(); ++i)
        if (!m_objects[i]->isEqual(other->m_objects[i].get())) return false;
    return true;
}

bool NSArray::isEqual(const NSObject* other) const
{
    auto* a = dynamic_cast<const NSArray*>(other);
    return a && isEqualToArray(const_cast<NSArray*>(a));
}

Ref<NSArray> NSArray::arrayByAddingObject(const Id& object) const
{
    auto v = m_objects;
    v.push_back(object);
    return arrayWithVector(std::move(v));
}

Ref<NSArray> NSArray::subarrayWithRange(NSRange range) const
{
    if (range.location > count() || range.length > count() - range.location)
        NSException::raise(NSRangeException, "-[NSArray subarrayWithRange:]: range beyond bounds");
    return arrayWithVector(std::vector<Id>(m_objects.begin() + range.location, m_objects.begin() + NSMaxRange(range)));
}

Ref<NSString> NSArray::description() const
{
    auto text = NSMutableString::stringWithString("("_ns);
    for (size_t i = 0; i < m_objects.size(); ++i) {
        text->appendString(i ? ",\n    "_ns : "\n    "_ns);
        text->appendString(m_objects[i]->description());
    }
    text->appendString(m_objects.empty() ? ")"_ns : "\n)"_ns);
    return static_ref_cast<NSString>(text->copy());
}

Id NSArray::copy() const { return const_cast<NSArray*>(this); }

Id NSArray::mutableCopy() const { return NSMutableArray::arrayWithArray(const_cast<NSArray*>(this)); }

// NSMutableArray

Ref<NSMutableArray> NSMutableArray::array() { return alloc<NSMutableArray>(); }

Ref<NSMutableArray> NSMutableArray::arrayWithArray(const Ref<NSArray>& other)
{
    auto a = alloc<NSMutableArray>();
    if (other) a->m_objects = other->objects();
    return a;
}

Ref<NSMutableArray> NSMutableArray::arrayWithObjects(std::initializer_list<Id> objects)
{
    auto a = alloc<NSMutableArray>();
    for (auto& o : objects) a->addObject(o);
    return a;
}

void NSMutableArray::checkObject(const Id& object, const char* method) const
{
    if (!object) NSException::raise(NSInvalidArgumentException, std::string("-[__NSArrayM ") + method + "]: object cannot be nil");
}

void NSMutableArray::addObject(const Id& object)
{
    checkObject(object, "insertObject:atIndex:");
    m_objects.push_back(object);
}

void NSMutableArray::addObjectsFromArray(const Ref<NSArray>& other)
{
    if (!other) return;
    auto items = other->objects();  // the argument may be the receiver
    m_objects.insert(m_objects.end(), items.begin(), items.end());
}

void NSMutableArray::insertObject(const Id& object, NSUInteger index)
{
    checkObject(object, "insertObject:atIndex:");
    checkIndex(index, "insertObject:atIndex:", m_objects.size() + 1);
    m_objects.insert(m_objects.begin() + index, object);
}

void NSMutableArray::removeObjectAtIndex(NSUInteger index)
{
    checkIndex(index, "removeObjectAtIndex:", m_objects.size());
    // Keep the object alive until the vector is consistent again.
    Id removed = std::move(m_objects[index]);
    m_objects.erase(m_objects.begin() + index);
}

void NSMutableArray::removeLastObject()
{
    if (!m_objects.empty()) removeObjectAtIndex(m_objects.size() - 1);
}

void NSMutableArray::removeObject(const Id& object)
{
    if (!object) return;
    std::vector<Id> removed;
    std::erase_if(m_objects, [&](const Id& o) {
        if (!o->isEqual(object.get())) return false;
        removed.push_back(o);
        return true;
    });
}

void NSMutableArray::removeObjectIdenticalTo(const Id& object)
{
    Id keep = object;
    std::erase_if(m_objects, [&](const Id& o) { return o == object; });
}

void NSMutableArray::replaceObjectAtIndex(NSUInteger index, const Id& object)
{
    checkObject(object, "replaceObjectAtIndex:withObject:");
    checkIndex(index, "replaceObjectAtIndex:withObject:", m_objects.size());
    Id old = std::exchange(m_objects[index], object);
}

void NSMutableArray::exchangeObjectAtIndex(NSUInteger a, NSUInteger b)
{
    checkIndex(a, "exchangeObjectAtIndex:withObjectAtIndex:", m_objects.size());
    checkIndex(b, "exchangeObjectAtIndex:withObjectAtIndex:", m_objects.size());
    std::swap(m_objects[a], m_objects[b]);
}

Id NSMutableArray::copy() const { return NSArray::arrayWithVector(m_objects); }
