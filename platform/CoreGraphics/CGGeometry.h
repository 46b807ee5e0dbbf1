#pragma once
// Core Graphics names for the geometry of Foundation/NSGeometry.h.
#include "Foundation/NSGeometry.h"

inline constexpr CGPoint CGPointZero{};
inline constexpr CGSize CGSizeZero{};
inline constexpr CGRect CGRectZero{};

inline constexpr CGPoint CGPointMake(CGFloat x, CGFloat y) { return {x, y}; }
inline constexpr CGSize CGSizeMake(CGFloat w, CGFloat h) { return {w, h}; }
inline constexpr CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return {{x, y}, {w, h}}; }

// Core Graphics measures rectangles with negative sizes from the far edge.
inline constexpr CGRect CGRectStandardize(const CGRect& r)
{
    CGRect s = r;
    if (s.size.width < 0) s.origin.x += s.size.width, s.size.width = -s.size.width;
    if (s.size.height < 0) s.origin.y += s.size.height, s.size.height = -s.size.height;
    return s;
}
inline constexpr CGFloat CGRectGetMinX(const CGRect& r) { return CGRectStandardize(r).origin.x; }
inline constexpr CGFloat CGRectGetMinY(const CGRect& r) { return CGRectStandardize(r).origin.y; }
inline constexpr CGFloat CGRectGetMaxX(const CGRect& r) { return NSMaxX(CGRectStandardize(r)); }
inline constexpr CGFloat CGRectGetMaxY(const CGRect& r) { return NSMaxY(CGRectStandardize(r)); }
inline constexpr CGFloat CGRectGetMidX(const CGRect& r) { return NSMidX(CGRectStandardize(r)); }
inline constexpr CGFloat CGRectGetMidY(const CGRect& r) { return NSMidY(CGRectStandardize(r)); }
inline constexpr CGFloat CGRectGetWidth(const CGRect& r) { return CGRectStandardize(r).size.width; }
inline constexpr CGFloat CGRectGetHeight(const CGRect& r) { return CGRectStandardize(r).size.height; }
inline constexpr bool CGRectIsEmpty(const CGRect& r) { return r.size.width == 0 || r.size.height == 0; }
inline constexpr CGRect CGRectInset(const CGRect& r, CGFloat dx, CGFloat dy)
{
    return NSInsetRect(CGRectStandardize(r), dx, dy);
}
inline constexpr CGRect CGRectOffset(const CGRect& r, CGFloat dx, CGFloat dy) { return NSOffsetRect(r, dx, dy); }
inline constexpr bool CGRectContainsPoint(const CGRect& r, CGPoint p) { return NSPointInRect(p, CGRectStandardize(r)); }
inline CGRect CGRectIntersection(const CGRect& a, const CGRect& b)
{
    return NSIntersectionRect(CGRectStandardize(a), CGRectStandardize(b));
}
inline CGRect CGRectUnion(const CGRect& a, const CGRect& b)
{
    return NSUnionRect(CGRectStandardize(a), CGRectStandardize(b));
}
inline CGRect CGRectIntegral(const CGRect& r) { return NSIntegralRect(CGRectStandardize(r)); }
inline constexpr bool CGRectEqualToRect(const CGRect& a, const CGRect& b)
{
    return CGRectStandardize(a) == CGRectStandardize(b);
}
inline constexpr bool CGPointEqualToPoint(CGPoint a, CGPoint b) { return a == b; }
inline constexpr bool CGSizeEqualToSize(CGSize a, CGSize b) { return a == b; }
