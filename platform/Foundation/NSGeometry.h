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
