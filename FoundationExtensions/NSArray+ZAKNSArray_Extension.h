#pragma once
// NSArray(ZAKNSArray_Extension): filtering, searching, joining, mapping,
// copying and comparing for every array. Elements are taken in index order;
// a per-element message that answers nil contributes nothing. "Identical"
// is the same object, "equal" isEqual.
//
// Loading this library makes every array answer "deepMutableCopy" by name.
#include "Foundation/NSArray.h"
#include "Foundation/NSDecimalNumber.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSSet.h"
#include "Foundation/NSString.h"

class NSClass;

namespace NSArrayExt {

// --- Filtering and searching ---

// The elements whose value for the key (key path) is equal to the value; a
// nil value matches nothing.
Ref<NSMutableArray> arrayFromArrayForKey(const Ref<NSArray>& array, const Ref<NSString>& key, const Id& value);
Ref<NSMutableArray> arrayFromArrayForKeyPath(const Ref<NSArray>& array, const Ref<NSString>& keyPath, const Id& value);
// The elements whose value for the key path is not nil.
Ref<NSMutableArray> arrayFromArrayForKeyPath(const Ref<NSArray>& array, const Ref<NSString>& keyPath);
// The elements of the class or a subclass of it.
Ref<NSMutableArray> arrayWithObjectsOfClass(const Ref<NSArray>& array, const NSClass& cls);
// The elements at the indexes, in ascending order; an index past the end
// raises NSRangeException.
Ref<NSMutableArray> arrayFromIndexes(const Ref<NSArray>& array, const Ref<NSIndexSet>& indexes);
// For each object of the collection (an array or a set) that is identical to
// an element, the index of the first such element.
Ref<NSMutableIndexSet> indexSetForObjects(const Ref<NSArray>& array, const Id& collection);
// The index of the first string element that the given string compares
// equal to (compare:options:range: over the range of the given string, the
// whole string by default); NSNotFound when none does.
NSUInteger indexOfString(const Ref<NSArray>& array, const Ref<NSString>& string, NSStringCompareOptions options = 0);
NSUInteger indexOfString(const Ref<NSArray>& array, const Ref<NSString>& string, NSStringCompareOptions options,
                         NSRange range);
// The first string element whose type identifier conforms to the type, or nil.
Ref<NSString> UTIConformsTo(const Ref<NSArray>& array, const Ref<NSString>& type);
bool containsUTIConformsTo(const Ref<NSArray>& array, const Ref<NSString>& type);
bool containsObjectIdenticalTo(const Ref<NSArray>& array, const Id& object);
// The element at index 0, nil for an empty array.
Id firstObject(const Ref<NSArray>& array);
Id anyObject(const Ref<NSArray>& array);

// --- Joining and describing ---

// The elements' descriptions joined by ", ".
Ref<NSString> componentsJoinedByComma(const Ref<NSArray>& array);
// "", "a", "a and b", "a, b, and c". With three or more elements the last
// must be a string (another object raises the unrecognised-selector
// exception); a single element that is not a string gives its description.
Ref<NSString> componentsJoinedByCommaAndAnd(const Ref<NSArray>& array);
// "0. <answer>", "1. <answer>", ... for each element's answer to the selector.
Ref<NSArray> numberedArrayDescribedBySelector(const Ref<NSArray>& array, const SEL& selector);
// The exact sum of the elements' answers (numbers), added from the last
// element to the first; zero for an empty array.
Ref<NSDecimalNumber> decimalNumberSumForSelector(const Ref<NSArray>& array, const SEL& selector);

// --- Mapping ---

// The non-nil answers of the elements to the selector, sent with the object.
Ref<NSMutableArray> arrayByPerformingSelector(const Ref<NSArray>& array, const SEL& selector,
                                              const Id& object = nullptr);
// The distinct non-nil answers: an empty set, a set of one when every answer
// is the same object, otherwise a mutable set.
Ref<NSSet> setByPerformingSelector(const Ref<NSArray>& array, const SEL& selector);
// Each non-nil answer as a key to the element that gave it; a later element
// replaces an earlier one with an equal answer.
Ref<NSDictionary> indexBySelector(const Ref<NSArray>& array, const SEL& selector, const Id& object = nullptr);
// Sends the selector to every element with the two objects, or with the flag
// as a boolean number.
void makeObjectsPerformSelector(const Ref<NSArray>& array, const SEL& selector, const Id& first, const Id& second);
void makeObjectsPerformSelector(const Ref<NSArray>& array, const SEL& selector, bool flag);

// --- Copying and comparing ---

// An immutable copy without the elements equal (identical) to the object.
Ref<NSArray> arrayByRemovingObject(const Ref<NSArray>& array, const Id& object);
Ref<NSArray> arrayByRemovingObjectIdenticalTo(const Ref<NSArray>& array, const Id& object);
Ref<NSMutableArray> reversedArray(const Ref<NSArray>& array);
// A mutable array of each element's deepMutableCopy when it answers that,
// else its mutableCopy when it adopts mutable copying, else the element.
Ref<NSMutableArray> deepMutableCopy(const Ref<NSArray>& array);
// An immutable array of the function's replacement for each element; when
// the function answers nil, the element's own deep copy (arrays) or its copy.
// When nothing was replaced by another object the result is a copy of the
// receiver.
using ZAKReplacementFunction = Id (*)(const Id& element, void* context);
Ref<NSArray> deepCopyWithReplacementFunction(const Ref<NSArray>& array, ZAKReplacementFunction function, void* context);
// The same count and the very same element at every index.
bool isIdenticalToArray(const Ref<NSArray>& array, const Ref<NSArray>& other);
// The other array's elements occur in the receiver, by identity, in that
// order (not necessarily adjacent); YES for an empty other array.
bool containsObjectsInOrder(const Ref<NSArray>& array, const Ref<NSArray>& wanted);

}
