#include "FoundationExtensions/NSMutableArray+ZAKNSMutableArray_Extension.h"

#include "Foundation/NSKeyValueCoding.h"
#include "Foundation/NSLog.h"

namespace {

// The array class's own valueForKey:, which the pseudo-keys fall back to.
// Never destroyed: objects may look keys up while the process exits.
MutableArrayValueForKeyHook* g_arrayValueForKey = nullptr;

[[maybe_unused]] const bool g_installed = [] {
    g_arrayValueForKey = new MutableArrayValueForKeyHook();
    *g_arrayValueForKey = SetMutableArrayValueForKeyHook([](NSMutableArray* array, const Ref<NSString>& key) -> Id {
        if (Id value = NSMutableArrayExt::valueForPseudoKey(array, key)) return value;
        return (*g_arrayValueForKey)(array, key);
    });
    return true;
}();

}

namespace NSMutableArrayExt {

Id valueForPseudoKey(const Ref<NSArray>& array, const Ref<NSString>& key)
{
    static const Ref<NSString> allValues = "allValues"_ns;
    static const Ref<NSString> objectAtIndex = "objectAtIndex"_ns;
    if (!array || !key) return nullptr;
    if (key->isEqualToString(allValues)) return array->componentsJoinedByString(" "_ns);
    if (key->rangeOfString(objectAtIndex).location != 0) return nullptr;
    // Sign-extended and compared unsigned, so a negative index is out of range.
    auto index =
        static_cast<NSUInteger>(static_cast<NSInteger>(key->substringFromIndex(objectAtIndex->length())->intValue()));
    if (index >= array->count()) return NSString::string();
    return array->objectAtIndex(index);
}

void addObjectIfAbsent(const Ref<NSMutableArray>& array, const Id& object)
{
    if (!object || array->containsObject(object)) return;
    array->addObject(object);
}

void addObjectsFromArrayIfAbsent(const Ref<NSMutableArray>& array, const Ref<NSArray>& objects)
{
    if (!objects) return;
    for (const Id& object : objects->snapshot()) addObjectIfAbsent(array, object);
}

void insertObjectsFromArray(const Ref<NSMutableArray>& array, const Ref<NSArray>& objects, NSUInteger index)
{
    array->replaceObjectsInRange(NSMakeRange(index, 0), objects);
}

void removeIdenticalObjectsFromArray(const Ref<NSMutableArray>& array, const Ref<NSArray>& objects)
{
    if (!objects) return;
    // A snapshot, so the array may be asked to remove its own elements.
    for (const Id& object : objects->snapshot()) array->removeObjectIdenticalTo(object);
}

void addObjectsFromSet(const Ref<NSMutableArray>& array, const Ref<NSSet>& set)
{
    if (!set) return;
    for (const Id& member : set->snapshot()) array->addObject(member);
}

void replaceObjectsInRange(const Ref<NSMutableArray>& array, NSRange range, const SEL& selector)
{
    auto results = NSMutableArray::array();
    for (NSUInteger i = range.location; i < NSMaxRange(range); ++i) {
        Id result = array->objectAtIndex(i)->performSelector(selector);
        if (!result)
            NSLog("Object at index %ld returned nil from %@", static_cast<NSInteger>(i),
                  NSString::stringWithUTF8String(selector));
        // A nil result raises here, before the array has changed.
        results->addObject(result);
    }
    array->replaceObjectsInRange(range, results);
}

void reverse(const Ref<NSMutableArray>& array)
{
    const NSUInteger count = array->count();
    for (NSUInteger i = 0; i < count / 2; ++i) array->exchangeObjectAtIndex(i, count - 1 - i);
}

}
