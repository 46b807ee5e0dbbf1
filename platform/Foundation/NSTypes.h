#pragma once
// Scalar types and ranges shared by the whole platform layer.
#include <cstdint>
#include <limits>

using NSInteger = int64_t;
using NSUInteger = uint64_t;
using CGFloat = double;
using unichar = char16_t;
using NSTimeInterval = double;

// The largest signed 64-bit integer, distinct from the largest unsigned one.
inline constexpr NSInteger NSNotFound = std::numeric_limits<NSInteger>::max();
inline constexpr NSUInteger NSUIntegerMax = std::numeric_limits<NSUInteger>::max();
inline constexpr NSInteger NSIntegerMax = std::numeric_limits<NSInteger>::max();

// What comparisons answer (compare:, sort comparators, CompareObjects).
enum NSComparisonResult : NSInteger { NSOrderedAscending = -1, NSOrderedSame = 0, NSOrderedDescending = 1 };

// FNV-1a over a run of integral values, each mixed in whole: the content
// hash of strings, data and index paths.
template <class Range> constexpr uint64_t HashFNV1a(const Range& values)
{
    uint64_t h = 1469598103934665603ull;
    for (auto v : values) h = (h ^ static_cast<uint64_t>(v)) * 1099511628211ull;
    return h;
}

struct NSRange {
    NSUInteger location = 0;
    NSUInteger length = 0;
    friend bool operator==(const NSRange&, const NSRange&) = default;
};

inline constexpr NSRange NSMakeRange(NSUInteger location, NSUInteger length) { return {location, length}; }
inline constexpr NSUInteger NSMaxRange(NSRange r) { return r.location + r.length; }
inline constexpr bool NSLocationInRange(NSUInteger loc, NSRange r)
{
    return loc >= r.location && loc - r.location < r.length;
}
inline constexpr bool NSEqualRanges(NSRange a, NSRange b) { return a == b; }
NSRange NSUnionRange(NSRange a, NSRange b);
NSRange NSIntersectionRange(NSRange a, NSRange b);
