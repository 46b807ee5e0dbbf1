#include "FoundationExtensions/NSArray+ZAKNSArray_Extension.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"
#include "Foundation/UTType.h"

namespace {

const SEL kDeepMutableCopy = "deepMutableCopy";

// At load time, before any thread can send it.
[[maybe_unused]] const bool g_installed = [] {
    NSArray::classRecord().addCategoryAction(kDeepMutableCopy, 0, [](NSObject* self, const Id&, const Id&) -> Id {
        return NSArrayExt::deepMutableCopy(static_cast<NSArray*>(self));
    });
    return true;
}();

template <class Keep> Ref<NSMutableArray> filtered(const Ref<NSArray>& array, Keep keep)
{
    auto result = NSMutableArray::array();
    // Walks by index and reads the count again at every step.
    for (Id element : *array)
        if (keep(element)) result->addObject(element);
    return result;
}

std::vector<Id> elementsOf(const Id& collection)
{
    if (auto array = dynamic_ref_cast<NSArray>(collection)) return array->snapshot();
    if (auto set = dynamic_ref_cast<NSSet>(collection)) return set->snapshot();
    return {};
}

Ref<NSDecimalNumber> asDecimalNumber(const Id& value)
{
    if (auto decimal = dynamic_ref_cast<NSDecimalNumber>(value)) return decimal;
    if (auto number = dynamic_ref_cast<NSNumber>(value))
        return NSDecimalNumber::decimalNumberWithString(number->stringValue());
    return nullptr;
}

}

namespace NSArrayExt {

Ref<NSMutableArray> arrayFromArrayForKey(const Ref<NSArray>& array, const Ref<NSString>& key, const Id& value)
{
    return filtered(array, [&](const Id& e) { return value && value->isEqual(e->valueForKey(key).get()); });
}

Ref<NSMutableArray> arrayFromArrayForKeyPath(const Ref<NSArray>& array, const Ref<NSString>& keyPath, const Id& value)
{
    return filtered(array, [&](const Id& e) { return value && value->isEqual(e->valueForKeyPath(keyPath).get()); });
}

Ref<NSMutableArray> arrayFromArrayForKeyPath(const Ref<NSArray>& array, const Ref<NSString>& keyPath)
{
    return filtered(array, [&](const Id& e) { return static_cast<bool>(e->valueForKeyPath(keyPath)); });
}

Ref<NSMutableArray> arrayWithObjectsOfClass(const Ref<NSArray>& array, const NSClass& cls)
{
    return filtered(array, [&](const Id& e) { return e->isKindOfClass(cls); });
}

Ref<NSMutableArray> arrayFromIndexes(const Ref<NSArray>& array, const Ref<NSIndexSet>& indexes)
{
    return NSMutableArray::arrayWithArray(array->objectsAtIndexes(indexes));
}

Ref<NSMutableIndexSet> indexSetForObjects(const Ref<NSArray>& array, const Id& collection)
{
    auto indexes = NSMutableIndexSet::indexSet();
    for (const Id& object : elementsOf(collection)) {
        NSUInteger index = array->indexOfObjectIdenticalTo(object);
        if (index != static_cast<NSUInteger>(NSNotFound)) indexes->addIndex(index);
    }
    return indexes;
}

NSUInteger indexOfString(const Ref<NSArray>& array, const Ref<NSString>& string, NSStringCompareOptions options)
{
    return indexOfString(array, string, options, NSMakeRange(0, string ? string->length() : 0));
}

NSUInteger indexOfString(const Ref<NSArray>& array, const Ref<NSString>& string, NSStringCompareOptions options,
                         NSRange range)
{
    if (!string) return static_cast<NSUInteger>(NSNotFound);
    NSUInteger index = 0;
    for (Id element : *array) {
        auto candidate = dynamic_ref_cast<NSString>(element);
        if (candidate && string->compare(candidate, options, range) == NSOrderedSame) return index;
        ++index;
    }
    return static_cast<NSUInteger>(NSNotFound);
}

Ref<NSString> UTIConformsTo(const Ref<NSArray>& array, const Ref<NSString>& type)
{
    for (Id element : *array) {
        auto candidate = dynamic_ref_cast<NSString>(element);
        if (candidate && UTTypeConformsTo(candidate, type)) return candidate;
    }
    return nullptr;
}

bool containsUTIConformsTo(const Ref<NSArray>& array, const Ref<NSString>& type)
{
    return static_cast<bool>(UTIConformsTo(array, type));
}

bool containsObjectIdenticalTo(const Ref<NSArray>& array, const Id& object)
{
    return array->indexOfObjectIdenticalTo(object) != static_cast<NSUInteger>(NSNotFound);
}

Id firstObject(const Ref<NSArray>& array) { return array->firstObject(); }

Id anyObject(const Ref<NSArray>& array) { return array->firstObject(); }

Ref<NSString> componentsJoinedByComma(const Ref<NSArray>& array) { return array->componentsJoinedByString(", "_ns); }

Ref<NSString> componentsJoinedByCommaAndAnd(const Ref<NSArray>& array)
{
    const NSUInteger count = array->count();
    if (count == 0) return NSString::string();
    if (count == 1) return array->objectAtIndex(0)->description();
    if (count == 2) return NSString::stringWithFormat("%@ and %@", array->objectAtIndex(0), array->objectAtIndex(1));
    Id last = array->lastObject();
    auto lastText = dynamic_ref_cast<NSString>(last);
    // Appending needs a string, as the message to the last element shows.
    if (!lastText) last->doesNotRecognizeSelector("length");
    Ref<NSString> head = array->subarrayWithRange(NSMakeRange(0, count - 1))->componentsJoinedByString(", "_ns);
    return head->stringByAppendingString(", and "_ns)->stringByAppendingString(lastText);
}

Ref<NSArray> numberedArrayDescribedBySelector(const Ref<NSArray>& array, const SEL& selector)
{
    std::vector<Id> lines;
    NSUInteger index = 0;
    for (Id element : *array)
        lines.push_back(NSString::stringWithFormat("%lu. %@", index++, element->performSelector(selector)));
    return NSArray::arrayWithVector(std::move(lines));
}

Ref<NSDecimalNumber> decimalNumberSumForSelector(const Ref<NSArray>& array, const SEL& selector)
{
    Ref<NSDecimalNumber> sum = NSDecimalNumber::zero();
    const std::vector<Id> elements = array->snapshot();
    for (auto it = elements.rbegin(); it != elements.rend(); ++it)
        if (Ref<NSDecimalNumber> value = asDecimalNumber((*it)->performSelector(selector)))
            sum = sum->decimalNumberByAdding(value);
    return sum;
}

Ref<NSMutableArray> arrayByPerformingSelector(const Ref<NSArray>& array, const SEL& selector, const Id& object)
{
    auto answers = NSMutableArray::array();
    for (Id element : *array)
        if (Id answer = element->performSelector(selector, object)) answers->addObject(answer);
    return answers;
}

Ref<NSSet> setByPerformingSelector(const Ref<NSArray>& array, const SEL& selector)
{
    Ref<NSMutableArray> answers = arrayByPerformingSelector(array, selector);
    if (answers->count() == 0) return NSSet::set();
    Id first = answers->objectAtIndex(0);
    bool allSame = true;
    for (const Id& answer : *answers) allSame = allSame && answer == first;
    if (allSame) return NSSet::setWithObject(first);
    return NSMutableSet::setWithArray(answers);
}

Ref<NSDictionary> indexBySelector(const Ref<NSArray>& array, const SEL& selector, const Id& object)
{
    auto index = NSMutableDictionary::dictionary();
    for (Id element : *array)
        if (Id answer = element->performSelector(selector, object)) index->setObject(element, answer);
    return static_ref_cast<NSDictionary>(index->copy());
}

void makeObjectsPerformSelector(const Ref<NSArray>& array, const SEL& selector, const Id& first, const Id& second)
{
    for (const Id& element : array->snapshot()) element->performSelector(selector, first, second);
}

void makeObjectsPerformSelector(const Ref<NSArray>& array, const SEL& selector, bool flag)
{
    makeObjectsPerformSelector(array, selector, NSNumber::numberWithBool(flag), nullptr);
}

Ref<NSArray> arrayByRemovingObject(const Ref<NSArray>& array, const Id& object)
{
    if (!array->containsObject(object)) return static_ref_cast<NSArray>(array->copy());
    return array->filteredArrayUsingBlock([&](const Id& e) { return !e->isEqual(object.get()); });
}

Ref<NSArray> arrayByRemovingObjectIdenticalTo(const Ref<NSArray>& array, const Id& object)
{
    if (!array->containsObject(object)) return static_ref_cast<NSArray>(array->copy());
    return array->filteredArrayUsingBlock([&](const Id& e) { return e != object; });
}

Ref<NSMutableArray> reversedArray(const Ref<NSArray>& array)
{
    std::vector<Id> elements = array->snapshot();
    return NSMutableArray::arrayWithArray(NSArray::arrayWithVector({elements.rbegin(), elements.rend()}));
}

Ref<NSMutableArray> deepMutableCopy(const Ref<NSArray>& array)
{
    auto copy = NSMutableArray::array();
    for (Id element : *array) {
        if (element->respondsToSelector(kDeepMutableCopy)) copy->addObject(element->performSelector(kDeepMutableCopy));
        else if (element->respondsToSelector("mutableCopy")) copy->addObject(element->mutableCopy());
        else copy->addObject(element);
    }
    return copy;
}

Ref<NSArray> deepCopyWithReplacementFunction(const Ref<NSArray>& array, ZAKReplacementFunction function, void* context)
{
    const std::vector<Id> elements = array->snapshot();
    // Made only once a replacement differs from its element.
    std::vector<Id> results;
    bool replaced = false;
    for (size_t i = 0; i < elements.size(); ++i) {
        const Id& element = elements[i];
        Id replacement = function(element, context);
        if (!replacement) {
            if (auto nested = dynamic_ref_cast<NSArray>(element))
                replacement = deepCopyWithReplacementFunction(nested, function, context);
            else replacement = element->copy();
        }
        if (!replaced && replacement != element) {
            replaced = true;
            results.assign(elements.begin(), elements.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (replaced) results.push_back(replacement);
    }
    if (!replaced) return static_ref_cast<NSArray>(array->copy());
    return NSArray::arrayWithVector(std::move(results));
}

bool isIdenticalToArray(const Ref<NSArray>& array, const Ref<NSArray>& other)
{
    if (!other || other->count() != array->count()) return false;
    for (NSUInteger i = 0; i < array->count(); ++i)
        if (array->objectAtIndex(i) != other->objectAtIndex(i)) return false;
    return true;
}

bool containsObjectsInOrder(const Ref<NSArray>& array, const Ref<NSArray>& wanted)
{
    const NSUInteger wantedCount = wanted ? wanted->count() : 0;
    NSUInteger found = 0;
    const NSUInteger count = array->count();
    for (NSUInteger i = 0; i < count && found < wantedCount; ++i) {
        // Fewer elements left than are still wanted.
        if (count - i < wantedCount - found) return false;
        if (array->objectAtIndex(i) == wanted->objectAtIndex(found)) ++found;
    }
    return found == wantedCount;
}

}
