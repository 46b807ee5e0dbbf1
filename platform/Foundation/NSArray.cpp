#include "Foundation/NSArray.h"

#include <algorithm>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSSortDescriptor.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSArray)
NS_CLASS_DEFINE(NSMutableArray)

Ref<NSArray> NSArray::array() { return alloc<NSArray>(); }

Ref<NSArray> NSArray::arrayWithObject(const Id& object) { return arrayWithObjects({object}); }

Ref<NSArray> NSArray::arrayWithObjects(std::initializer_list<Id> objects)
{
    return arrayWithVector(std::vector<Id>(objects));
}

Ref<NSArray> NSArray::arrayWithVector(std::vector<Id> objects)
{
    for (auto& o : objects)
        if (!o)
            NSException::raise(NSInvalidArgumentException,
                               "-[NSArray initWithObjects:count:]: attempt to insert nil object");
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
        NSException::raise(NSRangeException, "-[" + realClass().name() + " " + method + "]: index " +
                                                 std::to_string(index) + " beyond bounds [0 .. " +
                                                 std::to_string(bound == 0 ? 0 : bound - 1) + "]");
}

void NSArray::checkRange(NSRange range, const char* method) const
{
    if (range.location > count() || range.length > count() - range.location)
        NSException::raise(NSRangeException, "-[" + realClass().name() + " " + method + "]: range {" +
                                                 std::to_string(range.location) + ", " + std::to_string(range.length) +
                                                 "} extends beyond bounds [0 .. " +
                                                 std::to_string(count() == 0 ? 0 : count() - 1) + "]");
}

Id NSArray::objectAtIndex(NSUInteger index) const
{
    checkIndex(index, "objectAtIndex:", m_objects.size());
    return m_objects[index];
}

Ref<NSArray> NSArray::objectsAtIndexes(const Ref<NSIndexSet>& indexes) const
{
    if (!indexes)
        NSException::raise(NSInvalidArgumentException, "-[NSArray objectsAtIndexes:]: index set cannot be nil");
    if (indexes->count() && indexes->lastIndex() >= count())
        checkIndex(indexes->lastIndex(), "objectsAtIndexes:", count());
    std::vector<Id> picked;
    indexes->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { picked.push_back(m_objects[i]); });
    return arrayWithVector(std::move(picked));
}

NSUInteger NSArray::indexOfObject(const Id& object) const { return indexOfObject(object, {0, count()}); }

NSUInteger NSArray::indexOfObject(const Id& object, NSRange range) const
{
    checkRange(range, "indexOfObject:inRange:");
    if (!object) return NSNotFound;
    for (NSUInteger i = range.location; i < NSMaxRange(range) && i < m_objects.size(); ++i)
        if (m_objects[i]->isEqual(object.get())) return i;
    return NSNotFound;
}

NSUInteger NSArray::indexOfObjectIdenticalTo(const Id& object) const
{
    for (size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i] == object) return i;
    return NSNotFound;
}

NSUInteger NSArray::indexOfObjectPassingTest(const Test& test) const
{
    auto items = snapshot();
    bool stop = false;
    for (size_t i = 0; i < items.size(); ++i) {
        if (test(items[i], i, &stop)) return i;
        if (stop) break;
    }
    return NSNotFound;
}

Ref<NSIndexSet> NSArray::indexesOfObjectsPassingTest(const Test& test) const
{
    auto items = snapshot();
    auto found = NSMutableIndexSet::indexSet();
    bool stop = false;
    for (size_t i = 0; i < items.size() && !stop; ++i)
        if (test(items[i], i, &stop)) found->addIndex(i);
    return static_ref_cast<NSIndexSet>(found->copy());
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

Ref<NSArray> NSArray::arrayByAddingObjectsFromArray(const Ref<NSArray>& other) const
{
    auto v = m_objects;
    if (other) v.insert(v.end(), other->m_objects.begin(), other->m_objects.end());
    return arrayWithVector(std::move(v));
}

Ref<NSArray> NSArray::subarrayWithRange(NSRange range) const
{
    checkRange(range, "subarrayWithRange:");
    return arrayWithVector(std::vector<Id>(m_objects.begin() + range.location, m_objects.begin() + NSMaxRange(range)));
}

Ref<NSArray> NSArray::filteredArrayUsingBlock(const std::function<bool(const Id&)>& keep) const
{
    std::vector<Id> kept;
    for (const Id& o : snapshot())
        if (keep(o)) kept.push_back(o);
    return arrayWithVector(std::move(kept));
}

Ref<NSString> NSArray::componentsJoinedByString(const Ref<NSString>& separator) const
{
    std::u16string text;
    for (size_t i = 0; i < m_objects.size(); ++i) {
        if (i && separator) text += separator->utf16();
        text += m_objects[i]->description()->utf16();
    }
    return NSString::stringWithUTF16(std::move(text));
}

Ref<NSArray> NSArray::sortedArrayUsingComparator(const NSComparator& comparator) const
{
    auto v = m_objects;
    StableSort(v, comparator);
    return arrayWithVector(std::move(v));
}

Ref<NSArray> NSArray::sortedArrayUsingSelector(const SEL& selector) const
{
    return sortedArrayUsingComparator([&](const Id& a, const Id& b) { return CompareObjects(a, b, selector); });
}

Ref<NSArray> NSArray::sortedArrayUsingFunction(NSSortFunction function, void* context) const
{
    return sortedArrayUsingComparator([&](const Id& a, const Id& b) {
        NSInteger r = function(a, b, context);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    });
}

Ref<NSArray> NSArray::sortedArrayUsingDescriptors(const Ref<NSArray>& descriptors) const
{
    return sortedArrayUsingComparator(
        [&](const Id& a, const Id& b) { return NSSortDescriptor::compareObjects(a, b, descriptors); });
}

Ref<NSEnumerator> NSArray::reverseObjectEnumerator() const
{
    return NSEnumerator::enumeratorWithObjects(std::vector<Id>(m_objects.rbegin(), m_objects.rend()));
}

void NSArray::makeObjectsPerformSelector(const SEL& selector, const Id& argument) const
{
    for (const Id& o : snapshot()) o->performSelector(selector, argument);
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
    if (!object)
        NSException::raise(NSInvalidArgumentException,
                           std::string("-[__NSArrayM ") + method + "]: object cannot be nil");
}

void NSMutableArray::replaceContents(std::vector<Id> objects)
{
    std::swap(m_objects, objects);
    // objects now holds the old elements; they are released on return.
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

void NSMutableArray::insertObjects(const Ref<NSArray>& objects, const Ref<NSIndexSet>& indexes)
{
    if (!objects || !indexes)
        NSException::raise(NSInvalidArgumentException,
                           "-[NSMutableArray insertObjects:atIndexes:]: array and index set cannot be nil");
    if (objects->count() != indexes->count())
        NSException::raise(NSInvalidArgumentException, "-[NSMutableArray insertObjects:atIndexes:]: count of array (" +
                                                           std::to_string(objects->count()) +
                                                           ") differs from count of index set (" +
                                                           std::to_string(indexes->count()) + ")");
    // Check every index against the array as it grows before changing anything.
    std::vector<Id> result = m_objects;
    auto items = objects->objects();
    size_t k = 0;
    indexes->enumerateIndexesUsingBlock([&](NSUInteger index, bool*) {
        checkIndex(index, "insertObjects:atIndexes:", result.size() + 1);
        result.insert(result.begin() + index, items[k++]);
    });
    replaceContents(std::move(result));
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
    Id keep = object;  // the argument may be held only by the array
    filterUsingBlock([&](const Id& o) { return !o->isEqual(keep.get()); });
}

void NSMutableArray::removeObjectIdenticalTo(const Id& object)
{
    Id keep = object;
    filterUsingBlock([&](const Id& o) { return o != keep; });
}

void NSMutableArray::removeObjectsInRange(NSRange range)
{
    checkRange(range, "removeObjectsInRange:");
    std::vector<Id> result = m_objects;
    result.erase(result.begin() + range.location, result.begin() + NSMaxRange(range));
    replaceContents(std::move(result));
}

void NSMutableArray::removeObjectsAtIndexes(const Ref<NSIndexSet>& indexes)
{
    if (!indexes || indexes->count() == 0) return;
    checkIndex(indexes->lastIndex(), "removeObjectsAtIndexes:", m_objects.size());
    std::vector<Id> result;
    for (size_t i = 0; i < m_objects.size(); ++i)
        if (!indexes->containsIndex(i)) result.push_back(m_objects[i]);
    replaceContents(std::move(result));
}

void NSMutableArray::removeObjectsInArray(const Ref<NSArray>& other)
{
    if (!other) return;
    auto unwanted = other->snapshot();  // the argument may be the receiver
    filterUsingBlock([&](const Id& o) {
        return std::none_of(unwanted.begin(), unwanted.end(), [&](const Id& u) { return o->isEqual(u.get()); });
    });
}

void NSMutableArray::removeAllObjects() { replaceContents({}); }

void NSMutableArray::replaceObjectAtIndex(NSUInteger index, const Id& object)
{
    checkObject(object, "replaceObjectAtIndex:withObject:");
    checkIndex(index, "replaceObjectAtIndex:withObject:", m_objects.size());
    Id old = std::exchange(m_objects[index], object);
}

void NSMutableArray::replaceObjectsInRange(NSRange range, const Ref<NSArray>& objects)
{
    checkRange(range, "replaceObjectsInRange:withObjectsFromArray:");
    std::vector<Id> result(m_objects.begin(), m_objects.begin() + range.location);
    if (objects) result.insert(result.end(), objects->objects().begin(), objects->objects().end());
    result.insert(result.end(), m_objects.begin() + NSMaxRange(range), m_objects.end());
    replaceContents(std::move(result));
}

void NSMutableArray::exchangeObjectAtIndex(NSUInteger a, NSUInteger b)
{
    checkIndex(a, "exchangeObjectAtIndex:withObjectAtIndex:", m_objects.size());
    checkIndex(b, "exchangeObjectAtIndex:withObjectAtIndex:", m_objects.size());
    std::swap(m_objects[a], m_objects[b]);
}

void NSMutableArray::setArray(const Ref<NSArray>& other)
{
    replaceContents(other ? other->snapshot() : std::vector<Id>{});
}

void NSMutableArray::filterUsingBlock(const std::function<bool(const Id&)>& keep)
{
    std::vector<Id> kept;
    for (const Id& o : snapshot())
        if (keep(o)) kept.push_back(o);
    replaceContents(std::move(kept));
}

void NSMutableArray::sortUsingComparator(const NSComparator& comparator)
{
    auto v = snapshot();
    StableSort(v, comparator);
    replaceContents(std::move(v));
}

void NSMutableArray::sortUsingSelector(const SEL& selector)
{
    sortUsingComparator([&](const Id& a, const Id& b) { return CompareObjects(a, b, selector); });
}

void NSMutableArray::sortUsingFunction(NSSortFunction function, void* context)
{
    sortUsingComparator([&](const Id& a, const Id& b) {
        NSInteger r = function(a, b, context);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    });
}

void NSMutableArray::sortUsingDescriptors(const Ref<NSArray>& descriptors)
{
    sortUsingComparator([&](const Id& a, const Id& b) { return NSSortDescriptor::compareObjects(a, b, descriptors); });
}

Id NSMutableArray::copy() const { return NSArray::arrayWithVector(m_objects); }
