#include "FoundationExtensions/NSIndexPath+ZAKNSIndexPath_Extensions.h"

namespace NSIndexPathExt {

NSUInteger firstIndex(const Ref<NSIndexPath>& path) { return path->indexAtPosition(0); }

NSUInteger lastIndex(const Ref<NSIndexPath>& path)
{
    // Position length - 1 would wrap around on an empty path.
    if (path->length() == 0) return NSNotFound;
    return path->indexAtPosition(path->length() - 1);
}

Ref<NSIndexPath> indexPathByIncrementingLastIndex(const Ref<NSIndexPath>& path)
{
    if (path->length() == 0) return path;
    return path->indexPathByRemovingLastIndex()->indexPathByAddingIndex(lastIndex(path) + 1);
}

Ref<NSIndexPath> indexPathByReplacingIndexAtPosition(const Ref<NSIndexPath>& path, NSUInteger position,
                                                     NSUInteger index)
{
    if (position >= path->length()) return path;
    std::vector<NSUInteger> indexes = path->indexes();
    indexes[position] = index;
    return NSIndexPath::indexPathWithIndexes(std::move(indexes));
}

}
