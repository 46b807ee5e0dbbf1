#pragma once
// NSIndexSet(ZAKNSIndexSet_Extension): the complement of an index set within
// a range.
#include "Foundation/NSIndexSet.h"

namespace NSIndexSetExt {

// A new set of every index of the range that the receiver does not contain;
// an empty range, or one whose end would overflow, gives an empty set.
Ref<NSMutableIndexSet> invertedIndexSetForRange(const Ref<NSIndexSet>& set, NSRange range);

}
