#include "Foundation/NSGeometry.h"

#include <algorithm>
#include <cmath>

NSRect NSIntersectionRect(const NSRect& a, const NSRect& b)
{
    CGFloat x0 = std::max(NSMinX(a), NSMinX(b));
    CGFloat y0 = std::max(NSMinY(a), NSMinY(b));
    CGFloat x1 = std::min(NSMaxX(a), NSMaxX(b));
    CGFloat y1 = std::min(NSMaxY(a), NSMaxY(b));
    if (x1 <= x0 || y1 <= y0) return NSZeroRect;
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}

NSRect NSUnionRect(const NSRect& a, const NSRect& b)
{
    bool aEmpty = NSIsEmptyRect(a), bEmpty = NSIsEmptyRect(b);
    if (aEmpty && bEmpty) return NSZeroRect;
    if (aEmpty) return b;
    if (bEmpty) return a;
    CGFloat x0 = std::min(NSMinX(a), NSMinX(b));
    CGFloat y0 = std::min(NSMinY(a), NSMinY(b));
    CGFloat x1 = std::max(NSMaxX(a), NSMaxX(b));
    CGFloat y1 = std::max(NSMaxY(a), NSMaxY(b));
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}

bool NSIntersectsRect(const NSRect& a, const NSRect& b)
{
    if (NSIsEmptyRect(a) || NSIsEmptyRect(b)) return false;
    return NSMinX(a) < NSMaxX(b) && NSMinX(b) < NSMaxX(a) && NSMinY(a) < NSMaxY(b) && NSMinY(b) < NSMaxY(a);
}

bool NSContainsRect(const NSRect& a, const NSRect& b)
{
    if (NSIsEmptyRect(b)) return false;
    return NSMinX(a) <= NSMinX(b) && NSMinY(a) <= NSMinY(b) && NSMaxX(b) <= NSMaxX(a) && NSMaxY(b) <= NSMaxY(a);
}

NSRect NSIntegralRect(const NSRect& r)
{
    if (NSIsEmptyRect(r)) return NSZeroRect;
    CGFloat x0 = std::floor(NSMinX(r)), y0 = std::floor(NSMinY(r));
    CGFloat x1 = std::ceil(NSMaxX(r)), y1 = std::ceil(NSMaxY(r));
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}

void NSDivideRect(const NSRect& in, NSRect* slice, NSRect* remainder, CGFloat amount, NSRectEdge edge)
{
    NSRect s = in, rest = in;
    bool horizontal = edge == NSMinXEdge || edge == NSMaxXEdge;
    CGFloat extent = horizontal ? in.size.width : in.size.height;
    amount = std::clamp(amount, CGFloat(0), std::max(extent, CGFloat(0)));
    switch (edge) {
    case NSMinXEdge:
        s.size.width = amount;
        rest.origin.x += amount;
        rest.size.width -= amount;
        break;
    case NSMaxXEdge:
        s.origin.x = NSMaxX(in) - amount;
        s.size.width = amount;
        rest.size.width -= amount;
        break;
    case NSMinYEdge:
        s.size.height = amount;
        rest.origin.y += amount;
        rest.size.height -= amount;
        break;
    case NSMaxYEdge:
        s.origin.y = NSMaxY(in) - amount;
        s.size.height = amount;
        rest.size.height -= amount;
        break;
    }
    if (slice) *slice = s;
    if (remainder) *remainder = rest;
}
