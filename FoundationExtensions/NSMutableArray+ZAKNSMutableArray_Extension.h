#pragma once
// NSMutableArray(ZAKNSMutableArray_Extension): key-value lookup on every
// mutable array answers two pseudo-keys, so bindings and key paths can reach
// an array joined as text and the element at an index; plus a few in-place
// list operations.
//
// Loading this library replaces NSMutableArray's valueForKey: process-wide:
//   "allValues"          the elements' descriptions joined by one space
//   "objectAtIndex<n>"   the element at n, or "" when n is outside the array
// Every other key keeps the array's own behaviour (mapped over the elements).
#include "Foundation/NSArray.h"
#include "Foundation/NSSet.h"
#include "Foundation/NSString.h"

namespace NSMutableArrayExt {

// The value of a pseudo-key on any array, or nil when the key is none.
// Keys compare case-sensitively; the index after "objectAtIndex" is read as
// intValue reads it, so "objectAtIndex" alone names element 0 and a negative
// index is out of range.
Id valueForPseudoKey(const Ref<NSArray>& array, const Ref<NSString>& key);

// Appends the object unless an equal one is there; nil is ignored.
void addObjectIfAbsent(const Ref<NSMutableArray>& array, const Id& object);
void addObjectsFromArrayIfAbsent(const Ref<NSMutableArray>& array, const Ref<NSArray>& objects);
// Inserts all of the objects before the index.
void insertObjectsFromArray(const Ref<NSMutableArray>& array, const Ref<NSArray>& objects, NSUInteger index);
// Removes every occurrence of each of those very objects (identity, not equality).
void removeIdenticalObjectsFromArray(const Ref<NSMutableArray>& array, const Ref<NSArray>& objects);
// Appends the set's members in its enumeration order.
void addObjectsFromSet(const Ref<NSMutableArray>& array, const Ref<NSSet>& set);
// Replaces each element of the range by what the selector (no argument)
// answers for it. An element answering nil is logged and raises
// NSInvalidArgumentException; the array is then left as it was.
void replaceObjectsInRange(const Ref<NSMutableArray>& array, NSRange range, const SEL& selector);
// Reverses the order of the elements in place.
void reverse(const Ref<NSMutableArray>& array);

}
