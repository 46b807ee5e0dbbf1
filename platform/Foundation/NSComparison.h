#pragma once
// Ordering objects: comparators, the comparison selectors the platform's
// sorting methods take by name, and the stable sort they all share.
// Comparison results are -1 (ascending), 0 (same) and 1 (descending).
#include <functional>
#include <vector>

#include "Foundation/NSObject.h"

using NSComparator = std::function<int(const Id& a, const Id& b)>;
// sortedArrayUsingFunction:context:'s function.
using NSSortFunction = NSInteger (*)(const Id& a, const Id& b, void* context);

// Compares a with b as [a selector b] would. NSString answers "compare:",
// "caseInsensitiveCompare:" and "localizedCaseInsensitiveCompare:" through its
// methods of those names (the last collates for NSLocale::currentLocale()); NSNumber
// and NSDate know "compare:"; any other class answers through the selector in
// its action table (an action returning the comparison result). A nil receiver
// answers 0, as a message to nil does; a selector the receiver does not know
// raises.
NSComparisonResult CompareObjects(const Id& a, const Id& b, const SEL& selector);

// A stable merge sort that stays in bounds whatever the comparator answers
// (an inconsistent compare: method gives some order, never a crash). The
// vector is left unchanged when the comparator raises.
void StableSort(std::vector<Id>& objects, const NSComparator& comparator);
