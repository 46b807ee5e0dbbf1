#include "Foundation/NSDictionary.h"

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSComparison.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSDictionary)
NS_CLASS_DEFINE(NSMutableDictionary)

Ref<NSDictionary> NSDictionary::dictionary() { return alloc<NSDictionary>(); }

Ref<NSDictionary> NSDictionary::dictionaryWithObjectForKey(const Id& object, const Id& key)
{
    return dictionaryWithEntries({{key, object}});
}

Ref<NSDictionary> NSDictionary::dictionaryWithEntries(std::initializer_list<Entry> entries)
{
    auto d = alloc<NSDictionary>();
    for (auto& [k, v] : entries) d->store(k, v);
    return d;
}

Ref<NSDictionary> NSDictionary::dictionaryWithDictionary(const Ref<NSDictionary>& other)
{
    auto d = alloc<NSDictionary>();
    if (other)
        for (auto& [k, v] : other->entries()) d->store(k, v);
    return d;
}

Ref<NSDictionary> NSDictionary::dictionaryWithObjectsAndKeys(std::initializer_list<Id> objectsAndKeys)
{
    auto d = alloc<NSDictionary>();
    d->storeObjectsAndKeys(objectsAndKeys);
    return d;
}

Ref<NSDictionary> NSDictionary::dictionaryWithObjectsForKeys(const Ref<NSArray>& objects, const Ref<NSArray>& keys)
{
    NSUInteger objectCount = objects ? objects->count() : 0, keyCount = keys ? keys->count() : 0;
    if (objectCount != keyCount)
        NSException::raise(NSInvalidArgumentException, "-[NSDictionary initWithObjects:forKeys:]: count of objects (" +
                                                           std::to_string(objectCount) +
                                                           ") differs from count of keys (" + std::to_string(keyCount) +
                                                           ")");
    auto d = alloc<NSDictionary>();
    for (NSUInteger i = 0; i < objectCount; ++i) d->store(keys->objects()[i], objects->objects()[i]);
    return d;
}

void NSDictionary::storeObjectsAndKeys(std::initializer_list<Id> objectsAndKeys)
{
    for (auto it = objectsAndKeys.begin(); it != objectsAndKeys.end(); it += 2) {
        if (!*it) return;
        if (it + 1 == objectsAndKeys.end() || !it[1])
            NSException::raise(
                NSInvalidArgumentException,
                "+[NSDictionary dictionaryWithObjectsAndKeys:]: second object of each pair must be non-nil.");
        store(it[1], *it);
    }
}

void NSDictionary::store(const Id& key, const Id& object)
{
    if (!key) NSException::raise(NSInvalidArgumentException, "-[__NSDictionaryM setObject:forKey:]: key cannot be nil");
    if (!object)
        NSException::raise(NSInvalidArgumentException,
                           "-[__NSDictionaryM setObject:forKey:]: object cannot be nil (key: " +
                               key->description()->UTF8String() + ")");
    auto it = m_index.find(key);
    if (it != m_index.end()) {
        Id old = std::exchange(m_slots[it->second].second, object);
        return;
    }
    Id copied = key->copy();
    m_slots.emplace_back(copied, object);
    m_index.emplace(copied, m_slots.size() - 1);
}

void NSDictionary::erase(const Id& key)
{
    if (!key) return;
    auto it = m_index.find(key);
    if (it == m_index.end()) return;
    size_t slot = it->second;
    Entry removed = std::move(m_slots[slot]);
    m_index.erase(it);
    m_slots[slot] = {};
    if (m_slots.size() > 8 && m_index.size() < m_slots.size() / 2) {
        std::vector<Entry> live;
        live.reserve(m_index.size());
        for (auto& e : m_slots)
            if (e.first) live.push_back(std::move(e));
        m_slots = std::move(live);
        for (size_t i = 0; i < m_slots.size(); ++i) m_index[m_slots[i].first] = i;
    }
}

Id NSDictionary::objectForKey(const Id& key) const
{
    if (!key) return nullptr;
    auto it = m_index.find(key);
    return it == m_index.end() ? nullptr : m_slots[it->second].second;
}

std::vector<NSDictionary::Entry> NSDictionary::entries() const
{
    std::vector<Entry> live;
    live.reserve(m_index.size());
    for (auto& e : m_slots)
        if (e.first) live.push_back(e);
    return live;
}

Ref<NSArray> NSDictionary::allKeys() const
{
    std::vector<Id> keys;
    for (auto& e : m_slots)
        if (e.first) keys.push_back(e.first);
    return NSArray::arrayWithVector(std::move(keys));
}

Ref<NSArray> NSDictionary::allValues() const
{
    std::vector<Id> values;
    for (auto& e : m_slots)
        if (e.first) values.push_back(e.second);
    return NSArray::arrayWithVector(std::move(values));
}

Ref<NSArray> NSDictionary::allKeysForObject(const Id& object) const
{
    std::vector<Id> keys;
    if (object)
        for (auto& [k, v] : entries())
            if (v->isEqual(object.get())) keys.push_back(k);
    return NSArray::arrayWithVector(std::move(keys));
}

Ref<NSArray> NSDictionary::objectsForKeys(const Ref<NSArray>& keys, const Id& notFoundMarker) const
{
    if (!keys) return NSArray::array();
    std::vector<Id> values;
    for (const Id& k : keys->snapshot()) {
        Id v = objectForKey(k);
        if (!v) v = notFoundMarker;
        if (!v)
            NSException::raise(NSInvalidArgumentException,
                               "-[NSDictionary objectsForKeys:notFoundMarker:]: marker cannot be nil");
        values.push_back(v);
    }
    return NSArray::arrayWithVector(std::move(values));
}

Ref<NSArray> NSDictionary::keysSortedByValueUsingSelector(const SEL& selector) const
{
    auto live = entries();
    std::vector<Id> keys;
    for (auto& e : live) keys.push_back(e.first);
    StableSort(keys,
               [&](const Id& a, const Id& b) { return CompareObjects(objectForKey(a), objectForKey(b), selector); });
    return NSArray::arrayWithVector(std::move(keys));
}

Ref<NSEnumerator> NSDictionary::keyEnumerator() const
{
    std::vector<Id> keys;
    for (auto& e : m_slots)
        if (e.first) keys.push_back(e.first);
    return NSEnumerator::enumeratorWithObjects(std::move(keys));
}

Ref<NSEnumerator> NSDictionary::objectEnumerator() const
{
    std::vector<Id> values;
    for (auto& e : m_slots)
        if (e.first) values.push_back(e.second);
    return NSEnumerator::enumeratorWithObjects(std::move(values));
}

bool NSDictionary::isEqualToDictionary(const Ref<NSDictionary>& other) const
{
    if (!other || other->count() != count()) return false;
    for (auto& e : m_slots) {
        if (!e.first) continue;
        Id theirs = other->objectForKey(e.first);
        if (!theirs || !e.second->isEqual(theirs.get())) return false;
    }
    return true;
}

bool NSDictionary::isEqual(const NSObject* other) const
{
    auto* d = dynamic_cast<const NSDictionary*>(other);
    return d && isEqualToDictionary(const_cast<NSDictionary*>(d));
}

Ref<NSString> NSDictionary::description() const
{
    auto text = NSMutableString::stringWithString("{"_ns);
    for (auto& [k, v] : entries()) {
        text->appendString("\n    "_ns);
        text->appendString(k->description());
        text->appendString(" = "_ns);
        text->appendString(v->description());
        text->appendString(";"_ns);
    }
    text->appendString(count() ? "\n}"_ns : "}"_ns);
    return static_ref_cast<NSString>(text->copy());
}

Id NSDictionary::copy() const { return const_cast<NSDictionary*>(this); }

Id NSDictionary::mutableCopy() const
{
    return NSMutableDictionary::dictionaryWithDictionary(const_cast<NSDictionary*>(this));
}

Ref<NSMutableDictionary> NSMutableDictionary::dictionary() { return alloc<NSMutableDictionary>(); }

Ref<NSMutableDictionary> NSMutableDictionary::dictionaryWithDictionary(const Ref<NSDictionary>& other)
{
    auto d = alloc<NSMutableDictionary>();
    d->addEntriesFromDictionary(other);
    return d;
}

Ref<NSMutableDictionary> NSMutableDictionary::dictionaryWithObjectsAndKeys(std::initializer_list<Id> objectsAndKeys)
{
    auto d = alloc<NSMutableDictionary>();
    d->storeObjectsAndKeys(objectsAndKeys);
    return d;
}

void NSMutableDictionary::setObject(const Id& object, const Id& key) { store(key, object); }

void NSMutableDictionary::removeObjectForKey(const Id& key) { erase(key); }

void NSMutableDictionary::removeAllObjects()
{
    auto old = std::move(m_slots);
    m_slots.clear();
    m_index.clear();
}

void NSMutableDictionary::addEntriesFromDictionary(const Ref<NSDictionary>& other)
{
    if (!other) return;
    for (auto& [k, v] : other->entries()) store(k, v);
}

Id NSMutableDictionary::copy() const
{
    return NSDictionary::dictionaryWithDictionary(const_cast<NSMutableDictionary*>(this));
}
