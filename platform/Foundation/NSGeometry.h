#pragma once
// Points, sizes and rectangles in points, y growing upwards.
#include "Foundation/NSTypes.h"

struct NSPoint {
    CGFloat x = 0, y = 0;
    friend bool operator==(const NSPoint&, const NSPoint&) = default;
};
struct NSSize {
    CGFloat width = 0, height = 0;
    friend bool operator==(const NSSize&, const NSSize&) = default;
};
struct NSRect {
    NSPoint origin;
    NSSize size;
    friend bool operator==(const NSRect&, const NSRect&) = default;
};

using CGPoint = NSPoint;
using CGSize = NSSize;
using CGRect = NSRect;

inline constexpr NSPoint NSZeroPoint{};
inline constexpr NSSize NSZeroSize{};
inline constexpr NSRect NSZeroRect{};

inline constexpr NSPoint NSMakePoint(CGFloat x, CGFloat y) { return {x, y}; }
inline constexpr NSSize NSMakeSize(CGFloat w, CGFloat h) { return {w, h}; }
inline constexpr NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return {{x, y}, {w, h}}; }
inline constexpr CGFloat NSMinX(const NSRect& r) { return r.origin.x; }
inline constexpr CGFloat NSMinY(const NSRect& r) { return r.origin.y; }
inline constexpr CGFloat NSMaxX(const NSRect& r) { return r.origin.x + r.size.width; }
inline constexpr CGFloat NSMaxY(const NSRect& r) { return r.origin.y + r.size.height; }
inline constexpr CGFloat NSMidX(const NSRect& r) { return r.origin.x + r.size.width / 2; }
inline constexpr CGFloat NSMidY(const NSRect& r) { return r.origin.y + r.size.height / 2; }
inline constexpr CGFloat NSWidth(const NSRect& r) { return r.size.width; }
inline constexpr CGFloat NSHeight(const NSRect& r) { return r.size.height; }
inline constexpr bool NSEqualPoints(NSPoint a, NSPoint b) { return a == b; }
inline constexpr bool NSEqualSizes(NSSize a, NSSize b) { return a == b; }
inline constexpr bool NSEqualRects(const NSRect& a, const NSRect& b) { return a == b; }

// Insets from each edge of a rectangle, as views and images use them.
struct NSEdgeInsets {
    CGFloat top = 0, left = 0, bottom = 0, right = 0;
    friend bool operator==(const NSEdgeInsets&, const NSEdgeInsets&) = default;
};
inline constexpr NSEdgeInsets NSEdgeInsetsZero{};
inline constexpr NSEdgeInsets NSEdgeInsetsMake(CGFloat top, CGFloat left, CGFloat bottom, CGFloat right)
{
    return {top, left, bottom, right};
}
inline constexpr bool NSEdgeInsetsEqual(const NSEdgeInsets& a, const NSEdgeInsets& b) { return a == b; }

enum NSRectEdge : NSUInteger { NSMinXEdge = 0, NSMinYEdge = 1, NSMaxXEdge = 2, NSMaxYEdge = 3 };

inline constexpr bool NSIsEmptyRect(const NSRect& r) { return !(r.size.width > 0 && r.size.height > 0); }
inline constexpr NSRect NSInsetRect(const NSRect& r, CGFloat dx, CGFloat dy)
{
    return {{r.origin.x + dx, r.origin.y + dy}, {r.size.width - 2 * dx, r.size.height - 2 * dy}};
}
inline constexpr NSRect NSOffsetRect(const NSRect& r, CGFloat dx, CGFloat dy)
{
    return {{r.origin.x + dx, r.origin.y + dy}, r.size};
}
// x0 <= x < x1 and y0 <= y < y1.
inline constexpr bool NSPointInRect(NSPoint p, const NSRect& r)
{
    return p.x >= NSMinX(r) && p.x < NSMaxX(r) && p.y >= NSMinY(r) && p.y < NSMaxY(r);
}
// The mouse test: in an unflipped rectangle the top edge belongs to it and the
// bottom edge does not (y0 < y <= y1); in a flipped one it is NSPointInRect.
inline constexpr bool NSMouseInRect(NSPoint p, const NSRect& r, bool flipped)
{
    if (flipped) return NSPointInRect(p, r);
    return p.x >= NSMinX(r) && p.x < NSMaxX(r) && p.y > NSMinY(r) && p.y <= NSMaxY(r);
}

// Empty when the rectangles do not overlap (touching edges do not count).
NSRect NSIntersectionRect(const NSRect& a, const NSRect& b);
// An empty rectangle does not take part; two empty ones give the zero rectangle.
NSRect NSUnionRect(const NSRect& a, const NSRect& b);
bool NSIntersectsRect(const NSRect& a, const NSRect& b);
// YES when b is not empty and lies wholly inside a.
bool NSContainsRect(const NSRect& a, const NSRect& b);
// Outward to whole numbers; an empty rectangle gives the zero rectangle.
NSRect NSIntegralRect(const NSRect& r);
// Cuts a slice of the given amount from one edge; the rest is the remainder.
// An amount beyond the rectangle's extent takes all of it.
void NSDivideRect(const NSRect& in, NSRect* slice, NSRect* remainder, CGFloat amount, NSRectEdge edge);
