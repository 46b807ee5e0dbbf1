#include "FoundationExtensions/NSIndexSet+ZAKNSIndexSet_Extension.h"

namespace NSIndexSetExt {

Ref<NSMutableIndexSet> invertedIndexSetForRange(const Ref<NSIndexSet>& set, NSRange range)
{
    auto inverted = NSMutableIndexSet::indexSet();
    if (range.length == 0 || range.length > NSUIntegerMax - range.location) return inverted;
    inverted->addIndexesInRange(range);
    if (set) inverted->removeIndexes(set);
    return inverted;
}

}
