#pragma once
// Ordered collections of objects. Elements are never nil (NSNull stands in).
#include <initializer_list>
#include <vector>

#include "Foundation/NSObject.h"

class NSArray : public NSObject {
    NS_OBJECT(NSArray, NSObject)
public:
    NSArray() = default;
    static Ref<NSArray> array();
    static Ref<NSArray> arrayWithObject(const Id& object);
    static Ref<NSArray> arrayWithObjects(std::initializer_list<Id> objects);
    static Ref<NSArray> arrayWithVector(std::vector<Id> objects);
    static Ref<NSArray> arrayWithArray(const Ref<NSArray>& other);

    NSUInteger count() const { return m_objects.size(); }
    // Raises NSRangeException past the end.
    Id objectAtIndex(NSUInteger index) const;
    Id firstObject() const { return m_objects.empty() ? nullptr : m_objects.front(); }
    Id lastObject() const { return m_objects.empty() ? nullptr : m_objects.back(); }
    bool containsObject(const Id& object) const { return indexOfObject(object) != static_cast<NSUInteger>(NSNotFound); }
    // By equality; NSNotFound when absent.
    NSUInteger indexOfObject(const Id& object) const;
    NSUInteger indexOfObjectIdenticalTo(const Id& object) const;
    bool isEqualToArray(const Ref<NSArray>& other) const;
    Ref<NSArray> arrayByAddingObject(const Id& object) const;
    Ref<NSArray> subarrayWithRange(NSRange range) const;

    const std::vector<Id>& objects() const { return m_objects; }
    // Iterates over a snapshot, so the array may change during the walk.
    std::vector<Id> snapshot() const { return m_objects; }
    auto begin() const { return m_objects.begin(); }
    auto end() const { return m_objects.end(); }

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
    std::vector<Id> m_objects;
};

class NSMutableArray : public NSArray {
    NS_OBJECT(NSMutableArray, NSArray)
public:
    static Ref<NSMutableArray> array();
    static Ref<NSMutableArray> arrayWithArray(const Ref<NSArray>& other);
    static Ref<NSMutableArray> arrayWithObjects(std::initializer_list<Id> objects);

    // nil raises NSInvalidArgumentException.
    void addObject(const Id& object);
    void addObjectsFromArray(const Ref<NSArray>& other);
    void insertObject(const Id& object, NSUInteger index);
    void removeObjectAtIndex(NSUInteger index);
    void removeLastObject();
    void removeObject(const Id& object);
    void removeObjectIdenticalTo(const Id& object);
    void removeAllObjects() { m_objects.clear(); }
    void replaceObjectAtIndex(NSUInteger index, const Id& object);
    void exchangeObjectAtIndex(NSUInteger a, NSUInteger b);
    Id copy() const override;

private:
    void checkObject(const Id& object, const char* method) const;
};
