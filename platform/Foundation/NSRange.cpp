#include <algorithm>

#include "Foundation/NSTypes.h"

NSRange NSUnionRange(NSRange a, NSRange b)
{
    NSUInteger start = std::min(a.location, b.location);
    NSUInteger end = std::max(NSMaxRange(a), NSMaxRange(b));
    return {start, end - start};
}

NSRange NSIntersectionRange(NSRange a, NSRange b)
{
    NSUInteger start = std::max(a.location, b.location);
    NSUInteger end = std::min(NSMaxRange(a), NSMaxRange(b));
    if (end <= start) return {0, 0};
    return {start, end - start};
}
