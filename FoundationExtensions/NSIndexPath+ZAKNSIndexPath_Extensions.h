#pragma once
// NSIndexPath(ZAKNSIndexPath_Extensions): the first and last index, and paths
// made by stepping or replacing one index.
#include "Foundation/NSIndexPath.h"

namespace NSIndexPathExt {

// NSNotFound for an empty path.
NSUInteger firstIndex(const Ref<NSIndexPath>& path);
NSUInteger lastIndex(const Ref<NSIndexPath>& path);
// The path with its last index one higher (1.4.2 gives 1.4.3); an empty path
// is answered unchanged.
Ref<NSIndexPath> indexPathByIncrementingLastIndex(const Ref<NSIndexPath>& path);
// The path with the index at the position replaced; a position at or past
// the end answers the path unchanged.
Ref<NSIndexPath> indexPathByReplacingIndexAtPosition(const Ref<NSIndexPath>& path, NSUInteger position,
                                                     NSUInteger index);

}
