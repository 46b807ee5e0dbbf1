#pragma once
// Ordered collections of objects. Elements are never nil (NSNull stands in).
#include <functional>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "Foundation/NSComparison.h"
#include "Foundation/NSEnumerator.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSObject.h"

class NSArray : public NSObject {
    NS_OBJECT(NSArray, NSObject)
protected:
    NSArray() = default;

public:
    static Ref<NSArray> array();
    static Ref<NSArray> arrayWithObject(const Id& object);
    static Ref<NSArray> arrayWithObjects(std::initializer_list<Id> objects);
    static Ref<NSArray> arrayWithVector(std::vector<Id> objects);
    static Ref<NSArray> arrayWithArray(const Ref<NSArray>& other);

    NSUInteger count() const { return m_objects.size(); }
    // Raises NSRangeException past the end.
    Id objectAtIndex(NSUInteger index) const;
    // In ascending index order; an index past the end raises NSRangeException.
    Ref<NSArray> objectsAtIndexes(const Ref<NSIndexSet>& indexes) const;
    Id firstObject() const { return m_objects.empty() ? nullptr : m_objects.front(); }
    Id lastObject() const { return m_objects.empty() ? nullptr : m_objects.back(); }
    bool containsObject(const Id& object) const { return indexOfObject(object) != static_cast<NSUInteger>(NSNotFound); }
    // By equality; NSNotFound when absent.
    NSUInteger indexOfObject(const Id& object) const;
    // By equality within the range (raises NSRangeException past the end).
    NSUInteger indexOfObject(const Id& object, NSRange range) const;
    NSUInteger indexOfObjectIdenticalTo(const Id& object) const;
    // The first index whose element passes, or NSNotFound; setting *stop ends the walk.
    using Test = std::function<bool(const Id& object, NSUInteger index, bool* stop)>;
    NSUInteger indexOfObjectPassingTest(const Test& test) const;
    Ref<NSIndexSet> indexesOfObjectsPassingTest(const Test& test) const;
    bool isEqualToArray(const Ref<NSArray>& other) const;
    Ref<NSArray> arrayByAddingObject(const Id& object) const;
    Ref<NSArray> arrayByAddingObjectsFromArray(const Ref<NSArray>& other) const;
    Ref<NSArray> subarrayWithRange(NSRange range) const;
    Ref<NSArray> filteredArrayUsingBlock(const std::function<bool(const Id&)>& keep) const;
    // The elements' descriptions joined by the separator.
    Ref<NSString> componentsJoinedByString(const Ref<NSString>& separator) const;

    // Sorting is stable: equal elements keep their order.
    Ref<NSArray> sortedArrayUsingComparator(const NSComparator& comparator) const;
    // "compare:", "caseInsensitiveCompare:", ... as CompareObjects sends them.
    Ref<NSArray> sortedArrayUsingSelector(const SEL& selector) const;
    Ref<NSArray> sortedArrayUsingFunction(NSSortFunction function, void* context) const;
    // An array of NSSortDescriptor, the first deciding first.
    Ref<NSArray> sortedArrayUsingDescriptors(const Ref<NSArray>& descriptors) const;

    Ref<NSEnumerator> objectEnumerator() const { return NSEnumerator::enumeratorWithObjects(m_objects); }
    Ref<NSEnumerator> reverseObjectEnumerator() const;
    // Sends the action to every element (over a snapshot).
    void makeObjectsPerformSelector(const SEL& selector, const Id& argument = nullptr) const;

    const std::vector<Id>& objects() const { return m_objects; }
    std::vector<Id> snapshot() const { return m_objects; }

    // Range-for walks by index and reads the count again at every step, so
    // the array may change during the walk (as with an index loop). The
    // element refers into the array: to use it after the body has changed
    // the array, hold it by value (for (Id o : *array)).
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Id;
        using difference_type = std::ptrdiff_t;
        using pointer = const Id*;
        using reference = const Id&;
        Iterator() = default;
        Iterator(const NSArray* array, size_t index)
            : m_array(array)
            , m_index(index)
        { }
        const Id& operator*() const { return m_array->m_objects[m_index]; }
        const Id* operator->() const { return &m_array->m_objects[m_index]; }
        Iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator old = *this;
            ++m_index;
            return old;
        }
        // Any iterator at or past the current end equals the end.
        bool operator==(const Iterator& o) const { return atEnd() ? o.atEnd() : (!o.atEnd() && m_index == o.m_index); }

    private:
        bool atEnd() const { return !m_array || m_index >= m_array->m_objects.size(); }
        const NSArray* m_array = nullptr;
        size_t m_index = 0;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, SIZE_MAX}; }

    // Key-value coding maps over the elements (NSKeyValueCoding.cpp).
    Id valueForKey(const Ref<NSString>& key) override;
    void setValueForKey(const Id& value, const Ref<NSString>& key) override;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return m_objects.size(); }
    Ref<NSString> description() const override;
    Id copy() const override;
    Id mutableCopy() const override;

protected:
    void checkIndex(NSUInteger index, const char* method, NSUInteger bound) const;
    void checkRange(NSRange range, const char* method) const;
    std::vector<Id> m_objects;
};

class NSMutableArray : public NSArray {
    NS_OBJECT(NSMutableArray, NSArray)
protected:
    NSMutableArray() = default;

public:
    static Ref<NSMutableArray> array();
    static Ref<NSMutableArray> arrayWithArray(const Ref<NSArray>& other);
    static Ref<NSMutableArray> arrayWithObjects(std::initializer_list<Id> objects);

    // nil raises NSInvalidArgumentException.
    void addObject(const Id& object);
    void addObjectsFromArray(const Ref<NSArray>& other);
    void insertObject(const Id& object, NSUInteger index);
    // The k-th object goes to the k-th index of the set, in ascending order;
    // the counts must match.
    void insertObjects(const Ref<NSArray>& objects, const Ref<NSIndexSet>& indexes);
    void removeObjectAtIndex(NSUInteger index);
    void removeLastObject();
    void removeObject(const Id& object);
    void removeObjectIdenticalTo(const Id& object);
    void removeObjectsInRange(NSRange range);
    void removeObjectsAtIndexes(const Ref<NSIndexSet>& indexes);
    // Removes every element equal to one of the other array's.
    void removeObjectsInArray(const Ref<NSArray>& other);
    void removeAllObjects();
    void replaceObjectAtIndex(NSUInteger index, const Id& object);
    void replaceObjectsInRange(NSRange range, const Ref<NSArray>& objects);
    void exchangeObjectAtIndex(NSUInteger a, NSUInteger b);
    void setArray(const Ref<NSArray>& other);
    // Keeps the elements for which keep answers true.
    void filterUsingBlock(const std::function<bool(const Id&)>& keep);

    void sortUsingComparator(const NSComparator& comparator);
    void sortUsingSelector(const SEL& selector);
    void sortUsingFunction(NSSortFunction function, void* context);
    void sortUsingDescriptors(const Ref<NSArray>& descriptors);
    Id copy() const override;

private:
    void checkObject(const Id& object, const char* method) const;
    // Installs new contents; the old elements are released only afterwards,
    // so a dying element may safely touch the array.
    void replaceContents(std::vector<Id> objects);
};
