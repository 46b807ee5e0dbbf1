// Crossings of a path with horizontal lines, and the rectangles of text
// lines inside a shape built on them.
#include <algorithm>
#include <cmath>

#include "AppKitExtensions/NSBezierPath+Text.ZAKAppKitExtensions.h"
#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSValue.h"
#include "FoundationExtensions/NSGeometry+KQFoundationExtensions.h"

namespace NSBezierPathExt {

namespace {

std::vector<NSPoint> crossings(const Ref<NSBezierPath>& path, CGFloat y)
{
    std::vector<NSPoint> found;
    auto points = intersectingPointsWithHorizontalLineAtY(path, y);
    for (NSUInteger i = 0; points && i < points->count(); ++i)
        found.push_back(static_ref_cast<NSValue>(points->objectAtIndex(i))->pointValue());
    return found;
}

}

Ref<NSArray> intersectingPointsWithHorizontalLineAtY(const Ref<NSBezierPath>& path, CGFloat y)
{
    // Any y is accepted: shapes below the origin have crossings too.
    if (!path || path->isEmpty() || !std::isfinite(y)) return nullptr;
    NSRect bounds = path->bounds();
    if (y < NSMinY(bounds) || y > NSMaxY(bounds)) return nullptr;
    NSRect area = NSInsetRect(bounds, -1, -1);
    NSPoint left = NSMakePoint(NSMinX(area) - 1, y), right = NSMakePoint(NSMaxX(area) + 1, y);
    auto flat = path->bezierPathByFlatteningPathWithTolerance(5.0);
    std::vector<NSPoint> found;
    NSPoint last = NSZeroPoint, start = NSZeroPoint;
    for (NSInteger i = 0; i < flat->elementCount(); ++i) {
        NSPoint p[3] = {};
        NSBezierPathElement type = flat->elementAtIndex(i, p);
        if (type == NSMoveToBezierPathElement) {
            last = start = p[0];
            continue;
        }
        NSPoint point = type == NSClosePathBezierPathElement ? start : p[0];
        NSPoint hit = KQIntersectionOfLineSegments(point, last, left, right);
        if (!NSEqualPoints(hit, KQNoIntersectionPoint) && NSPointInRect(hit, area)) found.push_back(hit);
        last = point;
    }
    std::stable_sort(found.begin(), found.end(), [](NSPoint a, NSPoint b) { return a.x < b.x; });
    if (found.size() % 2 == 1) found.pop_back();
    if (found.empty()) return nullptr;
    auto values = NSMutableArray::array();
    for (NSPoint p : found) values->addObject(NSValue::valueWithPoint(p));
    return values;
}

Ref<NSArray> lineFragmentRectsForFixedLineheight(const Ref<NSBezierPath>& path, CGFloat lineHeight)
{
    NSCAssert(lineHeight > 0, "lineheight must be positive and greater than 0");
    auto rects = NSMutableArray::array();
    if (!path || path->isEmpty()) return rects;
    NSRect bounds = path->bounds();
    double lines = std::floor(bounds.size.height / lineHeight) + 1;
    if (!std::isfinite(lines)) return rects;
    // Line 0 lies just inside the bottom edge.
    std::vector<NSPoint> upper = crossings(path, NSMinY(bounds) + 1);
    CGFloat top = NSMinY(bounds);
    for (double i = 1; i < lines; ++i) {
        CGFloat y = NSMinY(bounds) + i * lineHeight;
        std::vector<NSPoint> lower = crossings(path, y);
        if (lower.empty() || upper.empty()) {
            // Nothing to pair: no rectangle in this band.
            if (!lower.empty()) upper = lower;
            top = y;
            continue;
        }
        size_t m = std::max(upper.size(), lower.size());
        CGFloat leftEdge = 0;
        for (size_t j = 0; j < m; ++j) {
            CGFloat a = upper[j % upper.size()].x, c = lower[j % lower.size()].x;
            if (j % 2 == 0) {
                leftEdge = std::max(a, c);
                continue;
            }
            NSRect rect = KQNormalizedRect(NSMakeRect(leftEdge, top, std::min(a, c) - leftEdge, lineHeight));
            NSRect inside = NSInsetRect(rect, 1, 1);
            if (path->containsPoint(inside.origin) && path->containsPoint({NSMaxX(inside), NSMinY(inside)}) &&
                path->containsPoint({NSMinX(inside), NSMaxY(inside)}) &&
                path->containsPoint({NSMaxX(inside), NSMaxY(inside)}))
                rects->addObject(NSValue::valueWithRect(rect));
        }
        upper = lower;
        top = y;
    }
    return rects;
}

NSRect lineFragmentRectForProposedRect(const Ref<NSBezierPath>& path, const NSRect& proposed, NSRect* remaining,
                                       CGFloat datumOffset)
{
    CGFloat f = datumOffset < -0.5 ? 0 : std::min(datumOffset, 0.5) + 0.5;
    std::vector<NSPoint> found = crossings(path, proposed.origin.y + f * proposed.size.height);
    for (size_t i = 0; i + 1 < found.size(); i += 2) {
        CGFloat entry = found[i].x, exit = found[i + 1].x;
        if (!(entry >= proposed.origin.x)) continue;
        if (remaining) *remaining = NSMakeRect(exit, proposed.origin.y, proposed.size.width, proposed.size.height);
        return NSMakeRect(entry, proposed.origin.y, exit - entry, proposed.size.height);
    }
    if (remaining) *remaining = NSZeroRect;
    return NSZeroRect;
}

}
