// Key-value coding over each class's registered properties, key paths, the
// array operators and the process-wide hooks.
#include "Foundation/NSKeyValueCoding.h"

#include <memory>
#include <mutex>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSComparison.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace {

std::string keyText(const Ref<NSString>& key) { return key ? key->UTF8String() : "(null)"; }

// Keys are read through StringChars, so strings without a contiguous
// buffer work as keys too.
bool startsWithAt(const Ref<NSString>& key) { return key && key->length() > 0 && key->characterAtIndex(0) == u'@'; }

Id defaultValueForUndefinedKey(NSObject* receiver, const Ref<NSString>& key)
{
    NSException::raise(NSUndefinedKeyException,
                       "[<" + receiver->realClass().name() + " " + receiver->description()->UTF8String() +
                           "> valueForUndefinedKey:]: this class is not key value coding-compliant for the key " +
                           keyText(key) + ".");
}

Id arrayValueForKey(NSArray* array, const Ref<NSString>& key);

Id defaultMutableArrayValueForKey(NSMutableArray* array, const Ref<NSString>& key)
{
    return arrayValueForKey(array, key);
}

// A hook readers copy out under the lock, so a hook may be replaced while
// another thread runs the old one.
template <class Hook> class HookSlot {
public:
    explicit HookSlot(Hook fallback)
        : m_default(std::move(fallback))
        , m_hook(std::make_shared<Hook>(m_default))
    { }
    std::shared_ptr<const Hook> current()
    {
        std::lock_guard lock(m_lock);
        return m_hook;
    }
    Hook replace(Hook hook)
    {
        auto next = std::make_shared<Hook>(hook ? std::move(hook) : m_default);
        std::lock_guard lock(m_lock);
        Hook previous = *m_hook;
        m_hook = std::move(next);
        return previous;
    }

private:
    const Hook m_default;
    std::mutex m_lock;
    std::shared_ptr<const Hook> m_hook;
};

// Never destroyed: objects may look keys up while the process exits.
HookSlot<ValueForUndefinedKeyHook>& undefinedKeyHook()
{
    static auto* slot = new HookSlot<ValueForUndefinedKeyHook>(defaultValueForUndefinedKey);
    return *slot;
}

HookSlot<MutableArrayValueForKeyHook>& mutableArrayHook()
{
    static auto* slot = new HookSlot<MutableArrayValueForKeyHook>(defaultMutableArrayValueForKey);
    return *slot;
}

std::pair<Ref<NSString>, Ref<NSString>> splitFirstKey(const Ref<NSString>& keyPath)
{
    StringChars chars(*keyPath);
    std::u16string_view text = chars.view();
    size_t dot = text.find(u'.');
    if (dot == std::u16string_view::npos) return {keyPath, nullptr};
    return {NSString::stringWithUTF16(std::u16string(text.substr(0, dot))),
            NSString::stringWithUTF16(std::u16string(text.substr(dot + 1)))};
}

// --- Array operators ("@sum.price") ---

// The value at `rest` of every element, nil results left out.
std::vector<Id> operandValues(NSArray* array, const Ref<NSString>& rest)
{
    std::vector<Id> values;
    for (const Id& element : array->snapshot()) {
        Id v = rest ? element->valueForKeyPath(rest) : element;
        if (v) values.push_back(std::move(v));
    }
    return values;
}

std::vector<Id> numericOperands(NSArray* array, const Ref<NSString>& rest)
{
    std::vector<Id> values = operandValues(array, rest);
    std::erase_if(values, [](const Id& v) { return dynamic_cast<NSNull*>(v.get()) != nullptr; });
    return values;
}

Id sumOf(NSArray* array, const Ref<NSString>& rest)
{
    bool integral = true;
    NSInteger integerSum = 0;
    double sum = 0;
    for (const Id& v : numericOperands(array, rest)) {
        auto* n = dynamic_cast<NSNumber*>(v.get());
        if (!n || n->isFloatingPoint()) integral = false;
        if (n && !n->isFloatingPoint()) integerSum += n->integerValue();
        sum += UnboxDouble(v);
    }
    // Whole numbers stay integers so that "@sum" of counts prints as one.
    return integral ? NSNumber::numberWithInteger(integerSum) : NSNumber::numberWithDouble(sum);
}

Id averageOf(NSArray* array, const Ref<NSString>& rest)
{
    std::vector<Id> values = numericOperands(array, rest);
    double sum = 0;
    for (const Id& v : values) sum += UnboxDouble(v);
    return NSNumber::numberWithDouble(values.empty() ? 0 : sum / static_cast<double>(values.size()));
}

Id extremeOf(NSArray* array, const Ref<NSString>& rest, int wanted)
{
    Id best;
    for (const Id& v : numericOperands(array, rest))
        if (!best || CompareObjects(v, best, "compare:") == wanted) best = v;
    return best;
}

void appendDistinct(std::vector<Id>& out, const Id& value)
{
    for (const Id& existing : out)
        if (existing->isEqual(value.get())) return;
    out.push_back(value);
}

Id distinctUnionOfObjects(NSArray* array, const Ref<NSString>& rest)
{
    std::vector<Id> out;
    for (const Id& v : operandValues(array, rest)) appendDistinct(out, v);
    return NSArray::arrayWithVector(std::move(out));
}

Id distinctUnionOfArrays(NSArray* array, const Ref<NSString>& rest)
{
    std::vector<Id> out;
    for (const Id& v : operandValues(array, rest)) {
        auto* inner = dynamic_cast<NSArray*>(v.get());
        if (!inner)
            NSException::raise(NSInvalidArgumentException,
                               "@distinctUnionOfArrays needs arrays, got " + v->realClass().name());
        for (const Id& element : inner->snapshot()) appendDistinct(out, element);
    }
    return NSArray::arrayWithVector(std::move(out));
}

Id arrayOperator(NSArray* array, const Ref<NSString>& op, const Ref<NSString>& rest)
{
    StringChars chars(*op);
    std::u16string_view name = chars.view();
    if (name == u"@count") return NSNumber::numberWithUnsignedInteger(array->count());
    if (name == u"@sum") return sumOf(array, rest);
    if (name == u"@avg") return averageOf(array, rest);
    if (name == u"@max") return extremeOf(array, rest, 1);
    if (name == u"@min") return extremeOf(array, rest, -1);
    if (name == u"@unionOfObjects") return NSArray::arrayWithVector(operandValues(array, rest));
    if (name == u"@distinctUnionOfObjects") return distinctUnionOfObjects(array, rest);
    if (name == u"@distinctUnionOfArrays") return distinctUnionOfArrays(array, rest);
    return array->valueForUndefinedKey(op);
}

Id arrayValueForKey(NSArray* array, const Ref<NSString>& key)
{
    if (startsWithAt(key)) return arrayOperator(array, key, nullptr);
    std::vector<Id> values;
    values.reserve(array->count());
    for (const Id& element : array->snapshot()) {
        Id v = element->valueForKey(key);
        values.push_back(v ? v : Id(NSNull::null()));
    }
    return NSArray::arrayWithVector(std::move(values));
}

}

ValueForUndefinedKeyHook SetValueForUndefinedKeyHook(ValueForUndefinedKeyHook hook)
{
    return undefinedKeyHook().replace(std::move(hook));
}

MutableArrayValueForKeyHook SetMutableArrayValueForKeyHook(MutableArrayValueForKeyHook hook)
{
    return mutableArrayHook().replace(std::move(hook));
}

Id NSObject::valueForKey(const Ref<NSString>& key)
{
    if (!key) return valueForUndefinedKey(key);
    if (const NSClass::Property* p = realClass().propertyFor(key->UTF8String())) return p->get(this);
    if (key->isEqualToString("self"_ns)) return this;
    return valueForUndefinedKey(key);
}

// A dictionary answers its entries by key; "@key" reaches its own properties.
Id NSDictionary::valueForKey(const Ref<NSString>& key)
{
    if (!startsWithAt(key)) return key ? objectForKey(key) : NSObject::valueForKey(key);
    return NSObject::valueForKey(key->substringFromIndex(1));
}

// Sets or (with nil) removes the entry; an immutable dictionary raises as the
// platform's does.
void NSDictionary::setValueForKey(const Id& value, const Ref<NSString>& key)
{
    auto* dictionary = dynamic_cast<NSMutableDictionary*>(this);
    if (!dictionary || !key) return NSObject::setValueForKey(value, key);
    willChangeValueForKey(key);
    if (value) dictionary->setObject(value, key);
    else dictionary->removeObjectForKey(key);
    didChangeValueForKey(key);
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
    auto hook = undefinedKeyHook().current();
    return (*hook)(this, key);
}

void NSObject::setValueForUndefinedKey(const Id&, const Ref<NSString>& key)
{
    NSException::raise(NSUndefinedKeyException,
                       "[<" + realClass().name() + " " + description()->UTF8String() +
                           "> setValue:forUndefinedKey:]: this class is not key value coding-compliant for the key " +
                           keyText(key) + ".");
}

void NSObject::setNilValueForKey(const Ref<NSString>& key)
{
    NSException::raise(NSInvalidArgumentException,
                       "[<" + realClass().name() + " " + description()->UTF8String() +
                           "> setNilValueForKey]: could not set nil as the value for the key " + keyText(key) + ".");
}

Id NSObject::valueForKeyPath(const Ref<NSString>& keyPath)
{
    if (!keyPath) return valueForKey(keyPath);
    auto [first, rest] = splitFirstKey(keyPath);
    // An operator takes the rest of the path as its argument.
    if (auto* array = dynamic_cast<NSArray*>(this); array && startsWithAt(first))
        return arrayOperator(array, first, rest);
    Id value = valueForKey(first);
    if (!rest || !value) return value;
    // An array maps the rest of the path over the values it mapped the first
    // key to; a nil on the way gives NSNull in that element's place.
    if (dynamic_cast<NSArray*>(this))
        if (auto* mapped = dynamic_cast<NSArray*>(value.get())) {
            std::vector<Id> values;
            values.reserve(mapped->count());
            for (const Id& element : mapped->snapshot()) {
                Id v = dynamic_cast<NSNull*>(element.get()) ? nullptr : element->valueForKeyPath(rest);
                values.push_back(v ? v : Id(NSNull::null()));
            }
            return NSArray::arrayWithVector(std::move(values));
        }
    return value->valueForKeyPath(rest);
}

void NSObject::setValueForKeyPath(const Id& value, const Ref<NSString>& keyPath)
{
    if (!keyPath) return setValueForKey(value, keyPath);
    auto [first, rest] = splitFirstKey(keyPath);
    if (!rest) return setValueForKey(value, first);
    if (Id target = valueForKey(first)) target->setValueForKeyPath(value, rest);
}

void NSObject::setValuesForKeysWithDictionary(const Ref<NSDictionary>& keyedValues)
{
    if (!keyedValues) return;
    for (auto& [key, value] : keyedValues->entries()) {
        auto name = dynamic_ref_cast<NSString>(key);
        if (!name)
            NSException::raise(NSInvalidArgumentException, "setValuesForKeysWithDictionary: keys must be strings");
        setValueForKey(dynamic_cast<NSNull*>(value.get()) ? nullptr : value, name);
    }
}

Ref<NSDictionary> NSObject::dictionaryWithValuesForKeys(const Ref<NSArray>& keys)
{
    auto result = NSMutableDictionary::dictionary();
    if (!keys) return result;
    for (const Id& key : keys->snapshot()) {
        auto name = dynamic_ref_cast<NSString>(key);
        if (!name) NSException::raise(NSInvalidArgumentException, "dictionaryWithValuesForKeys: keys must be strings");
        Id value = valueForKey(name);
        result->setObject(value ? value : Id(NSNull::null()), name);
    }
    return result;
}

void NSObject::willChangeValueForKey(const Ref<NSString>& key) { KVOHooks::willChange(this, key); }
void NSObject::didChangeValueForKey(const Ref<NSString>& key) { KVOHooks::didChange(this, key); }

Id NSArray::valueForKey(const Ref<NSString>& key)
{
    if (auto* mutableArray = dynamic_cast<NSMutableArray*>(this)) {
        auto hook = mutableArrayHook().current();
        return (*hook)(mutableArray, key);
    }
    return arrayValueForKey(this, key);
}

void NSArray::setValueForKey(const Id& value, const Ref<NSString>& key)
{
    for (const Id& element : snapshot()) element->setValueForKey(value, key);
}
