#pragma once
// Unordered collections of distinct objects (by isEqual/hash). Enumeration
// follows insertion order, which keeps results deterministic.
#include <initializer_list>
#include <unordered_map>
#include <vector>

#include "Foundation/NSEnumerator.h"
#include "Foundation/NSObject.h"

class NSArray;

class NSSet : public NSObject {
    NS_OBJECT(NSSet, NSObject)
protected:
    NSSet() = default;

public:
    static Ref<NSSet> set();
    static Ref<NSSet> setWithObject(const Id& object);
    static Ref<NSSet> setWithObjects(std::initializer_list<Id> objects);
    static Ref<NSSet> setWithArray(const Ref<NSArray>& array);
    static Ref<NSSet> setWithSet(const Ref<NSSet>& other);

    NSUInteger count() const { return m_index.size(); }
    // The member equal to the object, or nil.
    Id member(const Id& object) const;
    bool containsObject(const Id& object) const { return static_cast<bool>(member(object)); }
    // The members in enumeration order.
    Ref<NSArray> allObjects() const;
    std::vector<Id> snapshot() const;
    // The first member, or nil when empty.
    Id anyObject() const;
    Ref<NSEnumerator> objectEnumerator() const { return NSEnumerator::enumeratorWithObjects(snapshot()); }
    bool isSubsetOfSet(const Ref<NSSet>& other) const;
    bool intersectsSet(const Ref<NSSet>& other) const;
    bool isEqualToSet(const Ref<NSSet>& other) const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return count(); }
    Ref<NSString> description() const override;
    Id copy() const override;
    Id mutableCopy() const override;

protected:
    struct Hash {
        size_t operator()(const Id& o) const { return o->hash(); }
    };
    struct Equal {
        bool operator()(const Id& a, const Id& b) const { return a == b || a->isEqual(b.get()); }
    };
    // nil raises NSInvalidArgumentException; an equal member stays.
    void insert(const Id& object);
    void erase(const Id& object);

    // Members in insertion order; a removed slot is null until compaction.
    std::vector<Id> m_slots;
    std::unordered_map<Id, size_t, Hash, Equal> m_index;
};

class NSMutableSet : public NSSet {
    NS_OBJECT(NSMutableSet, NSSet)
protected:
    NSMutableSet() = default;

public:
    static Ref<NSMutableSet> set();
    static Ref<NSMutableSet> setWithObject(const Id& object);
    static Ref<NSMutableSet> setWithArray(const Ref<NSArray>& array);
    static Ref<NSMutableSet> setWithSet(const Ref<NSSet>& other);

    // The other editing methods go through these three.
    virtual void addObject(const Id& object) { insert(object); }
    virtual void removeObject(const Id& object) { erase(object); }
    virtual void removeAllObjects();
    void addObjectsFromArray(const Ref<NSArray>& array);
    // Adds the other set's members in its enumeration order.
    void unionSet(const Ref<NSSet>& other);
    void minusSet(const Ref<NSSet>& other);
    void intersectSet(const Ref<NSSet>& other);
    Id copy() const override;
};
