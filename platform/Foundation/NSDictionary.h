#pragma once
// Key-value maps. Keys are copied and compared with isEqual/hash; enumeration
// follows insertion order, which keeps output and archives deterministic.
#include <initializer_list>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Foundation/NSEnumerator.h"
#include "Foundation/NSObject.h"

class NSArray;

class NSDictionary : public NSObject {
    NS_OBJECT(NSDictionary, NSObject)
protected:
    NSDictionary() = default;

public:
    using Entry = std::pair<Id, Id>;  // key, value

    static Ref<NSDictionary> dictionary();
    static Ref<NSDictionary> dictionaryWithObjectForKey(const Id& object, const Id& key);
    // Pairs of key and value.
    static Ref<NSDictionary> dictionaryWithEntries(std::initializer_list<Entry> entries);
    static Ref<NSDictionary> dictionaryWithDictionary(const Ref<NSDictionary>& other);
    // Value, key, value, key, ...: the list ends at the first nil value, as
    // the platform's nil-terminated list does. A value without a key raises
    // NSInvalidArgumentException.
    static Ref<NSDictionary> dictionaryWithObjectsAndKeys(std::initializer_list<Id> objectsAndKeys);
    // The k-th object under the k-th key; the counts must match.
    static Ref<NSDictionary> dictionaryWithObjectsForKeys(const Ref<NSArray>& objects, const Ref<NSArray>& keys);

    NSUInteger count() const { return m_index.size(); }
    Id objectForKey(const Id& key) const;
    Ref<NSArray> allKeys() const;
    Ref<NSArray> allValues() const;
    // Every key whose value is equal to the object.
    Ref<NSArray> allKeysForObject(const Id& object) const;
    // The values for the keys, the marker standing in for a missing one.
    Ref<NSArray> objectsForKeys(const Ref<NSArray>& keys, const Id& notFoundMarker) const;
    // The keys ordered by their values, compared with the selector (stable).
    Ref<NSArray> keysSortedByValueUsingSelector(const SEL& selector) const;
    // Both walk a snapshot in insertion order.
    Ref<NSEnumerator> keyEnumerator() const;
    Ref<NSEnumerator> objectEnumerator() const;
    // The live entries in insertion order.
    std::vector<Entry> entries() const;
    bool isEqualToDictionary(const Ref<NSDictionary>& other) const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return count(); }
    Ref<NSString> description() const override;
    Id copy() const override;

    // Key-value coding reads entries by key ("@key" reaches the dictionary's
    // own registered properties); a mutable dictionary sets or, with
    // nil, removes entries.
    Id valueForKey(const Ref<NSString>& key) override;
    void setValueForKey(const Id& value, const Ref<NSString>& key) override;
    Id mutableCopy() const override;

protected:
    struct KeyHash {
        size_t operator()(const Id& k) const { return k->hash(); }
    };
    struct KeyEqual {
        bool operator()(const Id& a, const Id& b) const { return a == b || a->isEqual(b.get()); }
    };
    void store(const Id& key, const Id& object);
    void storeObjectsAndKeys(std::initializer_list<Id> objectsAndKeys);
    void erase(const Id& key);

    // Slots in insertion order; a removed slot keeps a null key until the
    // table is compacted.
    std::vector<Entry> m_slots;
    std::unordered_map<Id, size_t, KeyHash, KeyEqual> m_index;
};

class NSMutableDictionary : public NSDictionary {
    NS_OBJECT(NSMutableDictionary, NSDictionary)
protected:
    NSMutableDictionary() = default;

public:
    static Ref<NSMutableDictionary> dictionary();
    static Ref<NSMutableDictionary> dictionaryWithDictionary(const Ref<NSDictionary>& other);
    static Ref<NSMutableDictionary> dictionaryWithObjectsAndKeys(std::initializer_list<Id> objectsAndKeys);

    // A nil object or key raises NSInvalidArgumentException.
    void setObject(const Id& object, const Id& key);
    void removeObjectForKey(const Id& key);
    void removeAllObjects();
    void addEntriesFromDictionary(const Ref<NSDictionary>& other);
    Id copy() const override;
};
