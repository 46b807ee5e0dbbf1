// Key-value coding over each class's registered properties.
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

Id NSObject::valueForKey(const Ref<NSString>& key)
{
    if (!key) return valueForUndefinedKey(key);
    if (const NSClass::Property* p = realClass().propertyFor(key->UTF8String())) return p->get(this);
    if (key->isEqualToString("self"_ns)) return this;
    return valueForUndefinedKey(key);
}

void NSObject::setValueForKey(const Id& value, const Ref<NSString>& key)
{
    const NSClass::Property* p = key ? realClass().propertyFor(key->UTF8String()) : nullptr;
    if (!p || !p->set) return setValueForUndefinedKey(value, key);
    if (!value && p->scalar) return setNilValueForKey(key);
    willChangeValueForKey(key);
    p->set(this, value);
    didChangeValueForKey(key);
}

Id NSObject::valueForUndefinedKey(const Ref<NSString>& key)
{
    NSException::raise(NSUndefinedKeyException, "[<" + realClass().name() + " " + description()->UTF8String() +
                                                    "> valueForUndefinedKey:]: this class is not key value coding-compliant for the key " +
                                                    (key ? key->UTF8String() : "(null)") + ".");
}

void NSObject::setValueForUndefinedKey(const Id&, const Ref<NSString>& key)
{
    NSException::raise(NSUndefinedKeyException, "[<" + realClass().name() + " " + description()->UTF8String() +
                                                    "> setValue:forUndefinedKey:]: this class is not key value coding-compliant for the key " +
                                                    (key ? key->UTF8String() : "(null)") + ".");
}

void NSObject::setNilValueForKey(const Ref<NSString>& key)
{
    NSException::raise(NSInvalidArgumentException, "[<" + realClass().name() + " " + description()->UTF8String() +
                                                       "> setNilValueForKey]: could not set nil as the value for the key " +
                                                       (key ? key->UTF8String() : "(null)") + ".");
}

static std::pair<Ref<NSString>, Ref<NSString>> splitFirstKey(const Ref<NSString>& keyPath)
{
    const std::u16string& text = keyPath->utf16();
    size_t dot = text.find(u'.');
    if (dot == std::u16string::npos) return {keyPath, nullptr};
    return {NSString::stringWithUTF16(text.substr(0, dot)), NSString::stringWithUTF16(text.substr(dot + 1))};
}

Id NSObject::valueForKeyPath(const Ref<NSString>& keyPath)
{
    if (!keyPath) return valueForKey(keyPath);
    auto [first, rest] = splitFirstKey(keyPath);
    Id value = valueForKey(first);
    if (!rest) return value;
    return value ? value->valueForKeyPath(rest) : nullptr;
}

void NSObject::setValueForKeyPath(const Id& value, const Ref<NSString>& keyPath)
{
    if (!keyPath) return setValueForKey(value, keyPath);
    auto [first, rest] = splitFirstKey(keyPath);
    if (!rest) return setValueForKey(value, first);
    if (Id target = valueForKey(first)) target->setValueForKeyPath(value, rest);
}

void NSObject::willChangeValueForKey(const Ref<NSString>& key) { KVOHooks::willChange(this, key); }
void NSObject::didChangeValueForKey(const Ref<NSString>& key) { KVOHooks::didChange(this, key); }

Id NSArray::valueForKey(const Ref<NSString>& key)
{
    std::vector<Id> values;
    values.reserve(m_objects.size());
    for (const Id& element : snapshot()) {
        Id v = element->valueForKey(key);
        values.push_back(v ? v : Id(NSNull::null()));
    }
    return NSArray::arrayWithVector(std::move(values));
}

void NSArray::setValueForKey(const Id& value, const Ref<NSString>& key)
{
    for (const Id& element : snapshot()) element->setValueForKey(value, key);
}
