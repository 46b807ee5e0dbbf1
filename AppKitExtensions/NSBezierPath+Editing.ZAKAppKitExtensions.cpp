#include "AppKitExtensions/NSBezierPath+Editing.ZAKAppKitExtensions.h"

#include <climits>
#include <cmath>
#include <numbers>

#include "AppKit/NSColor.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"
#include "Foundation/NSValue.h"
#include "FoundationExtensions/NSGeometry+KQFoundationExtensions.h"

namespace NSBezierPathExt {

namespace {

CGFloat gConstraintAngle = std::numbers::pi / 12;
// Linked moves call the move again; only the outermost one links.
int gMoveDepth = 0;

struct DepthGuard {
    int saved = gMoveDepth;
    DepthGuard() { ++gMoveDepth; }
    ~DepthGuard() { gMoveDepth = saved; }
};

struct Element {
    NSBezierPathElement type = NSClosePathBezierPathElement;
    NSPoint p[3] = {};
};

NSInteger count(const Ref<NSBezierPath>& path) { return path ? path->elementCount() : 0; }

bool valid(const Ref<NSBezierPath>& path, NSInteger index) { return index >= 0 && index < count(path); }

Element elementAt(const Ref<NSBezierPath>& path, NSInteger index)
{
    Element e;
    if (valid(path, index)) e.type = path->elementAtIndex(index, e.p);
    return e;
}

NSBezierPathElement typeAt(const Ref<NSBezierPath>& path, NSInteger index)
{
    return valid(path, index) ? path->elementAtIndex(index) : NSClosePathBezierPathElement;
}

// The element's point on the path: a close-path's is its subpath's start.
NSPoint onPathPoint(const Ref<NSBezierPath>& path, NSInteger index)
{
    Element e = elementAt(path, index);
    switch (e.type) {
    case NSMoveToBezierPathElement:
    case NSLineToBezierPathElement: return e.p[0];
    case NSCurveToBezierPathElement: return e.p[2];
    default: break;
    }
    NSInteger start = subpathStartingElementForElement(path, index);
    return start >= 0 ? elementAt(path, start).p[0] : NSZeroPoint;
}

NSInteger onPathPartcode(const Ref<NSBezierPath>& path, NSInteger index)
{
    NSBezierPathElement type = typeAt(path, index);
    if (type == NSClosePathBezierPathElement) return 0;
    return partcodeForElementControlPoint(index, type == NSCurveToBezierPathElement ? 2 : 0);
}

void append(const Ref<NSBezierPath>& path, NSBezierPathElement type, const NSPoint* p)
{
    switch (type) {
    case NSMoveToBezierPathElement: path->moveToPoint(p[0]); break;
    case NSLineToBezierPathElement: path->lineToPoint(p[0]); break;
    case NSCurveToBezierPathElement: path->curveToPoint(p[2], p[0], p[1]); break;
    case NSClosePathBezierPathElement: path->closePath(); break;
    }
}

NSPoint add(NSPoint a, NSPoint b) { return NSMakePoint(a.x + b.x, a.y + b.y); }
NSPoint subtract(NSPoint a, NSPoint b) { return NSMakePoint(a.x - b.x, a.y - b.y); }

// lround without its undefined results: NaN counts as 0, huge values clamp.
uint64_t roundedBits(CGFloat v)
{
    if (std::isnan(v)) return 0;
    if (v >= 9.2e18) return static_cast<uint64_t>(LONG_MAX);
    if (v <= -9.2e18) return static_cast<uint64_t>(LONG_MIN);
    return static_cast<uint64_t>(std::lround(v));
}

// The rectangle around points; NSRect of zero size at a single point.
NSRect rectAround(const NSPoint* points, int n)
{
    NSRect r = KQRectFromPoints(points[0], points[0]);
    for (int i = 1; i < n; ++i) r = KQUnionOfRects(r, KQRectFromPoints(points[0], points[i]));
    return r;
}

NSPoint opposite(NSPoint moved, NSPoint joint, NSPoint oldOpposite, NSUInteger options)
{
    if (options & kZAKPathMoveMirrorsHandles) return colinearPointForPoint(moved, joint);
    return colinearPointForPoint(moved, joint, KQDistanceBetweenPoints(oldOpposite, joint));
}

void setPoint(const Ref<NSBezierPath>& path, NSInteger index, int pointIndex, NSPoint point)
{
    Element e = elementAt(path, index);
    e.p[pointIndex] = point;
    path->setAssociatedPoints(e.p, index);
}

void movePointBy(const Ref<NSBezierPath>& path, NSInteger index, int pointIndex, NSPoint delta)
{
    setPoint(path, index, pointIndex, add(elementAt(path, index).p[pointIndex], delta));
}

}

// --- Point functions ---

void setConstraintAngle(CGFloat radians) { gConstraintAngle = radians; }
CGFloat constraintAngle() { return gConstraintAngle; }

NSPoint colinearPointForPoint(NSPoint point, NSPoint centre)
{
    return NSMakePoint(2 * centre.x - point.x, 2 * centre.y - point.y);
}

NSPoint colinearPointForPoint(NSPoint point, NSPoint centre, CGFloat radius)
{
    double angle = double(std::atan2(float(point.y - centre.y), float(point.x - centre.x))) + std::numbers::pi;
    return NSMakePoint(centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle));
}

NSUInteger pointInNSPointArray(NSPoint p, const NSPoint* points, NSUInteger count, CGFloat tolerance, bool reverse)
{
    for (NSUInteger k = 0; points && k < count; ++k) {
        NSUInteger i = reverse ? count - 1 - k : k;
        NSRect square = NSMakeRect(points[i].x - tolerance / 2, points[i].y - tolerance / 2, tolerance, tolerance);
        if (NSPointInRect(p, square)) return i;
    }
    return NSNotFound;
}

void colineariseVertex(const NSPoint points[3], NSPoint* cpA, NSPoint* cpB)
{
    NSPoint a = points[0], vertex = points[1], b = points[2];
    double theta = std::numbers::pi + (KQAngleBetweenPoints(a, vertex) + KQAngleBetweenPoints(vertex, b)) / 2;
    double ra = KQDistanceBetweenPoints(a, vertex), rb = KQDistanceBetweenPoints(b, vertex);
    if (cpA) *cpA = NSMakePoint(vertex.x + ra * std::cos(theta), vertex.y + ra * std::sin(theta));
    if (cpB) *cpB = NSMakePoint(vertex.x - rb * std::cos(theta), vertex.y - rb * std::sin(theta));
}

void subdivideBezierAtT(const NSPoint bezier[4], NSPoint left[4], NSPoint right[4], CGFloat t)
{
    auto lerp = [t](NSPoint a, NSPoint b) { return NSMakePoint(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t); };
    NSPoint ab = lerp(bezier[0], bezier[1]), bc = lerp(bezier[1], bezier[2]), cd = lerp(bezier[2], bezier[3]);
    NSPoint abc = lerp(ab, bc), bcd = lerp(bc, cd), split = lerp(abc, bcd);
    NSPoint l[4] = {bezier[0], ab, abc, split}, r[4] = {split, bcd, cd, bezier[3]};
    for (int i = 0; i < 4; ++i) left[i] = l[i], right[i] = r[i];
}

// --- Queries ---

uint64_t checksum(const Ref<NSBezierPath>& path)
{
    NSInteger n = count(path);
    uint64_t value = (static_cast<uint64_t>(n) << 5) ^ 0x95DD8B3u;
    // The first slot carries over: a close-path repeats the point before it.
    NSPoint p[3] = {};
    for (NSInteger i = 0; i < n; ++i) {
        p[1] = p[2] = NSZeroPoint;
        NSBezierPathElement type = path->elementAtIndex(i, p);
        value ^= static_cast<uint64_t>(type) << 10;
        for (const NSPoint& q : p) value ^= roundedBits(q.x) ^ roundedBits(q.y);
    }
    return value;
}

void getPathMoveToCount(const Ref<NSBezierPath>& path, NSInteger* moveTo, NSInteger* lineTo, NSInteger* curveTo,
                        NSInteger* closePath)
{
    NSInteger counts[4] = {0, 0, 0, 0};
    for (NSInteger i = 0; i < count(path); ++i) ++counts[path->elementAtIndex(i)];
    if (moveTo) *moveTo = counts[0];
    if (lineTo) *lineTo = counts[1];
    if (curveTo) *curveTo = counts[2];
    if (closePath) *closePath = counts[3];
}

NSBezierPathElement elementTypeForPartcode(const Ref<NSBezierPath>& path, NSInteger partcode)
{
    return typeAt(path, (partcode >> 2) - 1);
}

NSPoint controlPointForPartcode(const Ref<NSBezierPath>& path, NSInteger partcode)
{
    if (partcode < 4 || (partcode & 3) > 2) return NSZeroPoint;
    return elementAt(path, (partcode >> 2) - 1).p[partcode & 3];
}

void setControlPoint(const Ref<NSBezierPath>& path, NSPoint point, NSInteger partcode)
{
    NSInteger index = (partcode >> 2) - 1;
    if (partcode < 4 || !valid(path, index) || (partcode & 3) > 2) return;
    setPoint(path, index, int(partcode & 3), point);
}

bool isOnPathPartcode(const Ref<NSBezierPath>& path, NSInteger partcode)
{
    if (partcode < 4) return false;
    return elementTypeForPartcode(path, partcode) != NSCurveToBezierPathElement || (partcode & 3) == 2;
}

NSInteger partcodeForLastPoint(const Ref<NSBezierPath>& path)
{
    NSInteger n = count(path);
    return n * 4 + (typeAt(path, n - 1) == NSCurveToBezierPathElement ? 2 : 0);
}

bool isOpenEndPoint(const Ref<NSBezierPath>& path, NSInteger partcode)
{
    if (!path || isPathClosed(path)) return false;
    return partcode == 4 || partcode == partcodeForLastPoint(path);
}

bool isHeadOrTailPoint(const Ref<NSBezierPath>& path, NSInteger elementIndex)
{
    if (subpathContainingElementIsClosed(path, elementIndex)) return false;
    return elementIndex == subpathStartingElementForElement(path, elementIndex) ||
           elementIndex == subpathEndingElementForElement(path, elementIndex);
}

NSInteger subpathStartingElementForElement(const Ref<NSBezierPath>& path, NSInteger index, NSUInteger flags)
{
    if (index < 0) return -1;
    for (NSInteger i = std::min(index, count(path) - 1); i >= 0; --i) {
        if (typeAt(path, i) != NSMoveToBezierPathElement) continue;
        if (!(flags & 1)) return i;
        return count(path) < 2 ? -1 : i + 1;
    }
    return -1;
}

NSInteger subpathEndingElementForElement(const Ref<NSBezierPath>& path, NSInteger index, NSUInteger flags)
{
    NSInteger n = count(path);
    if (index < 0 || index >= n) return -1;
    NSInteger i = index;
    if (typeAt(path, i) == NSMoveToBezierPathElement && ++i >= n) return n - 1;
    for (; i < n; ++i) {
        NSBezierPathElement type = typeAt(path, i);
        if (type == NSMoveToBezierPathElement) return i - 1;
        if (type != NSClosePathBezierPathElement) continue;
        if (flags & 0x1000) return i - 1;
        if (flags & 1) {
            // Nothing follows a close-path that ends the path.
            if (i + 1 < n && typeAt(path, i + 1) != NSMoveToBezierPathElement) return i + 1;
            if (i == 0) return -1;
            if (typeAt(path, i - 1) != NSMoveToBezierPathElement) return i - 1;
        }
    }
    return n - 1;
}

CGFloat tangentAtStartOfSubpath(const Ref<NSBezierPath>& path, NSInteger elementIndex)
{
    NSInteger s = subpathStartingElementForElement(path, elementIndex);
    if (s < 0 || s + 1 >= count(path)) return 0;
    NSPoint a = elementAt(path, s).p[0], b = elementAt(path, s + 1).p[0];
    return double(std::atan2(float(b.y - a.y), float(b.x - a.x))) + std::numbers::pi;
}

CGFloat tangentAtEndOfSubpath(const Ref<NSBezierPath>& path, NSInteger elementIndex)
{
    NSInteger e = subpathEndingElementForElement(path, elementIndex);
    if (e < 1) return 0;
    Element end = elementAt(path, e), before = elementAt(path, e - 1);
    NSPoint from, to = end.p[0];
    if (end.type == NSCurveToBezierPathElement) from = end.p[1], to = end.p[2];
    else if (before.type == NSCurveToBezierPathElement) from = before.p[2];
    else from = before.p[0];
    return std::atan2(float(to.y - from.y), float(to.x - from.x));
}

// --- Hit testing ---

NSInteger partcodeHitByPoint(const Ref<NSBezierPath>& path, NSPoint p, CGFloat tolerance, NSInteger startingFromElement,
                             bool prioritiseOnPathPoints)
{
    NSInteger n = count(path);
    if (n == 0 || !NSPointInRect(p, NSInsetRect(path->controlPointBounds(), -tolerance / 2, -tolerance / 2))) return 0;
    if (startingFromElement < 0 || startingFromElement + 1 >= n) return 0;
    auto hit = [&](NSPoint q) { return pointInNSPointArray(p, &q, 1, tolerance) != NSNotFound; };
    auto hitOnPath = [&](NSInteger i) {
        NSInteger code = onPathPartcode(path, i);
        return code && hit(onPathPoint(path, i)) ? code : 0;
    };
    for (NSInteger i = startingFromElement; i + 1 < n; ++i) {
        Element next = elementAt(path, i + 1);
        bool last = i + 2 == n;
        if (next.type == NSCurveToBezierPathElement) {
            if (prioritiseOnPathPoints) {
                if (NSInteger code = hitOnPath(i)) return code;
                for (int k = 2; k >= 0; --k)
                    if (hit(next.p[k])) return partcodeForElementControlPoint(i + 1, k);
            } else {
                NSUInteger k = pointInNSPointArray(p, next.p, last ? 3 : 2, tolerance);
                if (k != NSNotFound) return partcodeForElementControlPoint(i + 1, NSInteger(k));
                if (NSInteger code = hitOnPath(i)) return code;
            }
            continue;
        }
        if (NSInteger code = hitOnPath(i)) return code;
        if (last)
            if (NSInteger code = hitOnPath(i + 1)) return code;
    }
    return 0;
}

NSInteger elementBoundsContainsPoint(const Ref<NSBezierPath>& path, NSPoint p, CGFloat tolerance)
{
    for (CGFloat grow : {CGFloat(0), tolerance})
        for (NSInteger i = 1; i < count(path); ++i)
            if (NSPointInRect(p, NSInsetRect(boundingBoxForElement(path, i), -grow, -grow))) return i;
    return -1;
}

NSInteger elementHitByPoint(const Ref<NSBezierPath>& path, NSPoint p, CGFloat tolerance, CGFloat* t, NSPoint* nearest)
{
    if (count(path) == 0 || !NSPointInRect(p, NSInsetRect(path->bounds(), -tolerance, -tolerance))) return -1;
    NSInteger b = elementBoundsContainsPoint(path, p, tolerance);
    if (b <= 0) return -1;
    Element e = elementAt(path, b);
    if (e.type == NSMoveToBezierPathElement) return 0;
    NSPoint start = onPathPoint(path, b - 1), found;
    CGFloat parameter = 0;
    if (e.type == NSCurveToBezierPathElement) {
        NSPoint curve[4] = {start, e.p[0], e.p[1], e.p[2]};
        found = KQNearestPointOnCubicBezier(curve, p, &parameter);
    } else {
        NSPoint end = e.type == NSLineToBezierPathElement ? e.p[0] : onPathPoint(path, b);
        found = KQNearestPointOnLineSegment(p, start, end);
        parameter = KQDistanceRatio(found, start, end);
    }
    float distance = std::hypot(float(p.x - found.x), float(p.y - found.y));
    if (!(distance <= tolerance)) return -1;
    if (t) *t = parameter;
    if (nearest) *nearest = found;
    return b;
}

NSPoint nearestPointToPoint(const Ref<NSBezierPath>& path, NSPoint p, CGFloat tolerance)
{
    NSPoint nearest = p;
    CGFloat t;
    return elementHitByPoint(path, p, tolerance, &t, &nearest) > 0 ? nearest : p;
}

NSRect boundingBoxForElement(const Ref<NSBezierPath>& path, NSInteger elementIndex)
{
    Element e = elementAt(path, elementIndex);
    if (!valid(path, elementIndex) || e.type == NSMoveToBezierPathElement) return NSZeroRect;
    NSPoint previous = elementIndex > 0 ? onPathPoint(path, elementIndex - 1) : e.p[0];
    switch (e.type) {
    case NSClosePathBezierPathElement: return KQRectFromPoints(previous, onPathPoint(path, elementIndex));
    case NSLineToBezierPathElement: return KQRectFromPoints(previous, e.p[0]);
    default: {
        NSPoint points[4] = {previous, e.p[0], e.p[1], e.p[2]};
        return rectAround(points, 4);
    }
    }
}

Ref<NSSet> boundingBoxesForPartcode(const Ref<NSBezierPath>& path, NSInteger partcode)
{
    auto boxes = NSMutableSet::set();
    NSInteger index = (partcode >> 2) - 1, n = count(path);
    if (partcode < 4 || !valid(path, index)) return boxes;
    boxes->addObject(NSValue::valueWithRect(boundingBoxForElement(path, index)));
    bool controlPoint2 = elementTypeForPartcode(path, partcode) == NSCurveToBezierPathElement && (partcode & 3) == 1;
    if (isOnPathPartcode(path, partcode) || controlPoint2 || index == 0) {
        if (index + 1 < n) boxes->addObject(NSValue::valueWithRect(boundingBoxForElement(path, index + 1)));
    } else if (index > 0) {
        boxes->addObject(NSValue::valueWithRect(boundingBoxForElement(path, index - 1)));
    }
    if (isPathClosed(path)) {
        NSInteger other = partcode >= 12 ? subpathStartingElementForElement(path, index, 1)
                                         : subpathEndingElementForElement(path, index);
        if (partcode < 12 || index == n - 1 || index == subpathEndingElementForElement(path, index))
            if (other >= 0) boxes->addObject(NSValue::valueWithRect(boundingBoxForElement(path, other)));
    }
    return boxes;
}

Ref<NSSet> allBoundingBoxes(const Ref<NSBezierPath>& path)
{
    auto boxes = NSMutableSet::set();
    for (NSInteger i = 0; i < count(path); ++i)
        boxes->addObject(NSValue::valueWithRect(boundingBoxForElement(path, i)));
    return boxes;
}

void drawElementsBoundingBoxes(const Ref<NSBezierPath>& path)
{
    CGFloat savedWidth = NSBezierPath::defaultLineWidth();
    NSBezierPath::setDefaultLineWidth(0);
    NSColor::redColor()->set();
    for (NSInteger i = 0; i < count(path); ++i) NSBezierPath::strokeRect(boundingBoxForElement(path, i));
    NSBezierPath::setDefaultLineWidth(savedWidth);
}

// --- Editing ---

NSPoint referencePointForConstrainedPartcode(const Ref<NSBezierPath>& path, NSInteger partcode)
{
    NSInteger index = (partcode >> 2) - 1;
    if (partcode < 4 || !valid(path, index)) return NSZeroPoint;
    Element e = elementAt(path, index);
    if (e.type == NSCurveToBezierPathElement && (partcode & 1)) return e.p[2];
    if (partcode == 4) return count(path) > 1 ? onPathPoint(path, 1) : e.p[0];
    return onPathPoint(path, index - 1);
}

void moveControlPointPartcode(const Ref<NSBezierPath>& path, NSInteger partcode, NSPoint point, NSUInteger options)
{
    DepthGuard depth;
    NSInteger index = (partcode >> 2) - 1;
    int pointIndex = int(partcode & 3);
    if (partcode < 4 || !valid(path, index) || pointIndex > 2) return;
    Element e = elementAt(path, index);
    bool closed = subpathContainingElementIsClosed(path, index);
    NSPoint old = controlPointForPartcode(path, partcode);
    NSBezierPathElement next = typeAt(path, index + 1), previous = typeAt(path, index - 1);
    bool hasNext = index + 1 < count(path), hasPrevious = index > 0;

    // The end of a closed subpath lying on its start is the start.
    if (gMoveDepth == 1 && isOnPathPartcode(path, partcode) && closed && hasNext &&
        next == NSClosePathBezierPathElement) {
        NSInteger start = subpathStartingElementForElement(path, index);
        if (start >= 0 && start != index && NSEqualPoints(old, elementAt(path, start).p[0])) {
            index = start, partcode = partcodeForElement(start), pointIndex = 0;
            e = elementAt(path, index);
            old = e.p[0];
            next = typeAt(path, index + 1), previous = typeAt(path, index - 1);
            hasNext = index + 1 < count(path), hasPrevious = index > 0;
        }
    }

    if (options & kZAKPathMoveConstrainsAngle && gConstraintAngle > 0) {
        NSPoint reference = referencePointForConstrainedPartcode(path, partcode);
        double distance = KQDistanceBetweenPoints(reference, point);
        double angle = std::atan2(point.y - reference.y, point.x - reference.x);
        // The remainder in [0, step), so negative angles round to the nearest step too.
        double rem = angle - gConstraintAngle * std::floor(angle / gConstraintAngle);
        angle = rem > gConstraintAngle / 2 ? angle - rem + gConstraintAngle : angle - rem;
        point = NSMakePoint(reference.x + distance * std::cos(angle), reference.y + distance * std::sin(angle));
    }

    NSPoint delta = subtract(point, old);
    switch (e.type) {
    case NSClosePathBezierPathElement: return;
    case NSCurveToBezierPathElement:
        if (pointIndex == 2) {
            if (options & kZAKPathMoveCarriesControlPoint1)
                moveControlPointPartcode(path, partcodeForElementControlPoint(index, 0),
                                         add(elementAt(path, index).p[0], delta),
                                         options & ~NSUInteger(kZAKPathMoveCarriesControlPoint1));
            if (hasNext && next == NSCurveToBezierPathElement) movePointBy(path, index + 1, 0, delta);
            movePointBy(path, index, 1, delta);
        } else if (pointIndex == 0 && options & kZAKPathMoveKeepsHandlesInLine) {
            if (hasPrevious && previous == NSCurveToBezierPathElement) {
                Element before = elementAt(path, index - 1);
                setPoint(path, index - 1, 1, opposite(point, before.p[2], before.p[1], options));
            } else if (hasPrevious && previous == NSMoveToBezierPathElement && closed) {
                NSInteger last = subpathEndingElementForElement(path, index, 1);
                NSPoint joint = elementAt(path, index - 1).p[0];
                if (typeAt(path, last) == NSCurveToBezierPathElement && valid(path, last))
                    setPoint(path, last, 1, opposite(point, joint, elementAt(path, last).p[1], options));
            }
        } else if (pointIndex == 1 && options & kZAKPathMoveKeepsHandlesInLine) {
            NSPoint joint = e.p[2];
            if (hasNext && next == NSCurveToBezierPathElement) {
                setPoint(path, index + 1, 0, opposite(point, joint, elementAt(path, index + 1).p[0], options));
            } else if (closed && subpathEndingElementForElement(path, index, 0x1000) == index) {
                NSInteger first = subpathStartingElementForElement(path, index, 1);
                if (valid(path, first) && typeAt(path, first) == NSCurveToBezierPathElement)
                    setPoint(path, first, 0, opposite(point, joint, elementAt(path, first).p[0], options));
            }
        }
        setPoint(path, index, pointIndex, point);
        return;
    default:
        setPoint(path, index, 0, point);
        if (hasNext && next == NSCurveToBezierPathElement) movePointBy(path, index + 1, 0, delta);
        if (gMoveDepth == 1 && options & kZAKPathMoveKeepsHandlesInLine && closed &&
            e.type == NSMoveToBezierPathElement) {
            // The point before the close-path, when it lay on the start, follows.
            NSInteger last = subpathEndingElementForElement(path, index, 0x1000);
            if (last > index && NSEqualPoints(onPathPoint(path, last), old))
                moveControlPointPartcode(path, onPathPartcode(path, last), point, options);
        }
        return;
    }
}

Ref<NSBezierPath> deleteControlPointForPartcode(const Ref<NSBezierPath>& path, NSInteger partcode)
{
    NSInteger index = (partcode >> 2) - 1;
    if (!isOnPathPartcode(path, partcode) || !valid(path, index)) return path;
    auto result = NSBezierPath::bezierPath();
    Element deleted = elementAt(path, index);
    for (NSInteger i = 0; i < count(path); ++i) {
        if (i == index) continue;
        Element e = elementAt(path, i);
        if (index == 0 && i == 1) {
            if (e.type == NSClosePathBezierPathElement) continue;
            result->moveToPoint(e.type == NSCurveToBezierPathElement ? e.p[2] : e.p[0]);
            continue;
        }
        // Two curves meet into one: the deleted joint's first point steers.
        if (i == index + 1 && e.type == NSCurveToBezierPathElement) e.p[0] = deleted.p[0];
        if (result->isEmpty() && e.type != NSMoveToBezierPathElement) {
            if (e.type == NSClosePathBezierPathElement) continue;
            result->moveToPoint(onPathPoint(path, i));
            continue;
        }
        append(result, e.type, e.p);
    }
    return result;
}

Ref<NSBezierPath> insertControlPointAtPoint(const Ref<NSBezierPath>& path, NSPoint p, CGFloat tolerance,
                                            NSBezierPathElement type)
{
    CGFloat t = 0;
    NSInteger hit = elementHitByPoint(path, p, tolerance, &t);
    if (hit < 1) return nullptr;
    auto result = NSBezierPath::bezierPath();
    for (NSInteger i = 0; i < count(path); ++i) {
        Element e = elementAt(path, i);
        if (i != hit) {
            append(result, e.type, e.p);
            continue;
        }
        NSPoint start = onPathPoint(path, i - 1);
        if (e.type == NSCurveToBezierPathElement) {
            NSPoint curve[4] = {start, e.p[0], e.p[1], e.p[2]}, left[4], right[4];
            subdivideBezierAtT(curve, left, right, t);
            if (type == NSLineToBezierPathElement || type == NSClosePathBezierPathElement) result->lineToPoint(left[3]);
            else result->curveToPoint(left[3], left[1], left[2]);
            result->curveToPoint(right[3], right[1], right[2]);
            continue;
        }
        NSPoint end = e.type == NSLineToBezierPathElement ? e.p[0] : onPathPoint(path, i);
        NSPoint split = KQInterpolatePoints(start, end, t);
        for (auto [from, to] : {std::pair{start, split}, std::pair{split, end}}) {
            if (type == NSCurveToBezierPathElement || type == NSClosePathBezierPathElement)
                result->curveToPoint(to, KQInterpolatePoints(from, to, 0.25), KQInterpolatePoints(from, to, 0.75));
            else result->lineToPoint(to);
        }
        if (e.type == NSClosePathBezierPathElement) result->closePath();
    }
    return result;
}

Ref<NSBezierPath> bezierPathByRemovingTrailingElements(const Ref<NSBezierPath>& path, NSInteger n)
{
    auto result = NSBezierPath::bezierPath();
    for (NSInteger i = 0; i < count(path) - std::max<NSInteger>(n, 0); ++i) {
        Element e = elementAt(path, i);
        append(result, e.type, e.p);
    }
    return result;
}

Ref<NSBezierPath> bezierPathByStrippingRedundantElements(const Ref<NSBezierPath>& path)
{
    auto result = NSBezierPath::bezierPath();
    NSPoint current = NSMakePoint(-1, -1);
    for (NSInteger i = 0; i < count(path); ++i) {
        Element e = elementAt(path, i);
        switch (e.type) {
        case NSLineToBezierPathElement:
            if (NSEqualPoints(e.p[0], current)) continue;
            break;
        case NSCurveToBezierPathElement:
            if (NSEqualPoints(e.p[0], current) && NSEqualPoints(e.p[1], current) && NSEqualPoints(e.p[2], current))
                continue;
            if ((NSEqualPoints(e.p[0], e.p[2]) && NSEqualPoints(e.p[1], e.p[2])) ||
                (NSEqualPoints(e.p[0], current) && NSEqualPoints(e.p[1], e.p[2]))) {
                e.type = NSLineToBezierPathElement;
                e.p[0] = e.p[2];
            }
            break;
        case NSMoveToBezierPathElement:
            if (i == count(path) - 1) continue;
            break;
        default: break;
        }
        append(result, e.type, e.p);
        if (e.type != NSClosePathBezierPathElement) current = e.type == NSCurveToBezierPathElement ? e.p[2] : e.p[0];
    }
    return result;
}

Ref<NSBezierPath> bezierPathByRemovingElementsAtIndexes(const Ref<NSBezierPath>& path, const Ref<NSIndexSet>& indexes)
{
    if (!path || !indexes) return path;
    if (indexes->count() > 0 && indexes->lastIndex() >= NSUInteger(count(path))) return path;
    auto result = NSBezierPath::bezierPath();
    NSPoint subpathStart = NSZeroPoint;
    bool broken = false;
    for (NSInteger i = 0; i < count(path); ++i) {
        Element e = elementAt(path, i);
        if (e.type == NSMoveToBezierPathElement) subpathStart = e.p[0], broken = false;
        if (indexes->containsIndex(NSUInteger(i))) {
            result->moveToPoint(e.type == NSClosePathBezierPathElement ? subpathStart : onPathPoint(path, i));
            broken = true;
            continue;
        }
        if (e.type == NSClosePathBezierPathElement && broken) {
            if (!result->isEmpty()) result->lineToPoint(subpathStart);
            continue;
        }
        if (result->isEmpty() && e.type != NSMoveToBezierPathElement) {
            if (e.type == NSClosePathBezierPathElement) continue;
            result->moveToPoint(onPathPoint(path, i));
            continue;
        }
        append(result, e.type, e.p);
    }
    return result;
}

Ref<NSBezierPath> bezierPathByRemovingElementAtIndex(const Ref<NSBezierPath>& path, NSInteger index)
{
    if (!valid(path, index)) return path;
    return bezierPathByRemovingElementsAtIndexes(path, NSIndexSet::indexSetWithIndex(NSUInteger(index)));
}

}
