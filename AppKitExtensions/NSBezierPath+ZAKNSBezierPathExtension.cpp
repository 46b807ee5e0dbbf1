#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "AppKit/NSGraphicsContext.h"
#include "AppKitExtensions/CubicMaths.h"
#include "FoundationExtensions/NSGeometry+KQFoundationExtensions.h"

namespace {

using namespace CubicMaths;
using Elements = std::vector<CGPathElement>;

constexpr CGFloat kDefaultError = 0.1;

const Elements& elementsOf(const Ref<NSBezierPath>& path) { return path->elements().elements; }

// An error of 0 or less cannot be met; 0 measures until single precision no
// longer tells the chord from the control polygon.
CGFloat usableError(CGFloat error) { return error > 0 ? error : 0; }

// Angles from NaN coordinates have no direction; they answer 0.
CGFloat slopeBetween(NSPoint from, NSPoint to)
{
    CGFloat angle = KQAngleBetweenPoints(from, to);
    return std::isnan(angle) ? 0 : angle;
}

CGFloat degrees(NSPoint from, NSPoint to) { return slopeBetween(from, to) * 180.0 / 3.141592653589793; }

// The point at fraction t of the way from a to b, exactly a or b at the ends
// (so that a huge segment does not turn into inf x 0).
NSPoint pointAlong(NSPoint a, NSPoint b, CGFloat t)
{
    if (!(t > 0)) return a;
    if (t >= 1) return b;
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

Cubic cubicFrom(NSPoint start, const CGPathElement& e) { return {{start, e.points[0], e.points[1], e.points[2]}}; }

void appendCurve(const Ref<NSBezierPath>& path, const Cubic& c) { path->curveToPoint(c.p[3], c.p[1], c.p[2]); }

// Where a walk along a path passes a length: the element it passes it in
// (its index, the current point before it, the subpath start) and the point
// reached there, with a curve's two parts.
struct LengthCut {
    size_t index;
    NSPoint from, start, point;
    Cubic left, right;
};

// Walks the elements, measuring them as trimming does, until the length
// walked passes `limit` (strictly). Every element before that one goes to
// `whole` with the current point before it. Nothing when the path is not
// longer than limit.
template <class Whole>
std::optional<LengthCut> walkToLength(const Elements& elements, CGFloat limit, CGFloat error, Whole whole)
{
    NSPoint current = NSZeroPoint, start = NSZeroPoint;
    CGFloat walked = 0;
    for (size_t i = 0; i < elements.size(); ++i) {
        const CGPathElement& e = elements[i];
        NSPoint end = start;
        CGFloat d = 0;
        switch (e.kind) {
        case CGPathElementKind::MoveTo:
            whole(e, current);
            current = start = e.points[0];
            continue;
        case CGPathElementKind::LineTo:
            end = e.points[0];
            d = straightDistance(current, end);
            break;
        case CGPathElementKind::CurveTo:
            end = e.points[2];
            d = cubicLength(cubicFrom(current, e), error, 0);
            break;
        case CGPathElementKind::Close: d = straightDistance(current, start); break;
        }
        if (walked + d > limit) {
            LengthCut cut{i, current, start, {}, {}, {}};
            if (e.kind == CGPathElementKind::CurveTo) {
                splitCubicAtLength(cubicFrom(current, e), limit - walked, error, cut.left, cut.right);
                cut.point = cut.left.p[3];
            } else {
                cut.point = pointAlong(current, end, (limit - walked) / d);
            }
            return cut;
        }
        whole(e, current);
        walked += d;
        current = end;
    }
    return std::nullopt;
}

// The start of the subpath that element index belongs to.
NSPoint subpathStart(const Elements& elements, size_t index)
{
    for (size_t i = index + 1; i-- > 0;)
        if (elements[i].kind == CGPathElementKind::MoveTo) return elements[i].points[0];
    return NSZeroPoint;
}

// Where the element leaves the current point; a close-path leaves it at the
// subpath's start.
NSPoint endPointOf(const Elements& elements, size_t index)
{
    const CGPathElement& e = elements[index];
    switch (e.kind) {
    case CGPathElementKind::CurveTo: return e.points[2];
    case CGPathElementKind::Close: return subpathStart(elements, index);
    default: return e.points[0];
    }
}

// The element's first point; a close-path, which has none, gives the
// subpath's start.
NSPoint firstPointOf(const Elements& elements, size_t index)
{
    const CGPathElement& e = elements[index];
    return e.kind == CGPathElementKind::Close ? subpathStart(elements, index) : e.points[0];
}

NSPoint pointOfElement(const CGPathElement& e)
{
    switch (e.kind) {
    case CGPathElementKind::CurveTo: return e.points[2];
    case CGPathElementKind::Close: return NSZeroPoint;
    default: return e.points[0];
    }
}

}

namespace NSBezierPathExt {

// --- Points and angles ---

NSPoint firstPoint(const Ref<NSBezierPath>& path)
{
    if (!path || path->isEmpty()) return NSZeroPoint;
    return pointOfElement(elementsOf(path).front());
}

NSPoint lastPoint(const Ref<NSBezierPath>& path)
{
    if (!path || path->isEmpty()) return NSZeroPoint;
    return pointOfElement(elementsOf(path).back());
}

CGFloat startAngle(const Ref<NSBezierPath>& path)
{
    NSPoint previous = NSZeroPoint;
    if (!path) return 0;
    const Elements& elements = elementsOf(path);
    bool havePrevious = false;
    for (const CGPathElement& e : elements) {
        switch (e.kind) {
        case CGPathElementKind::MoveTo:
        case CGPathElementKind::LineTo:
            if (havePrevious) return degrees(previous, e.points[0]);
            previous = e.points[0];
            havePrevious = true;
            break;
        case CGPathElementKind::CurveTo: return degrees(previous, firstPointOf(elements, elements.size() > 1 ? 1 : 0));
        case CGPathElementKind::Close: break;
        }
    }
    return degrees(previous, NSZeroPoint);
}

CGFloat endAngle(const Ref<NSBezierPath>& path)
{
    if (!path) return 0;
    return startAngle(path->bezierPathByReversingPath());
}

CGFloat slopeStartingPath(const Ref<NSBezierPath>& path)
{
    if (!path || path->elementCount() < 2) return 0;
    const Elements& elements = elementsOf(path);
    return slopeBetween(elements[0].points[0], firstPointOf(elements, 1));
}

NSPoint positionOfPointAtPoint(const Ref<NSBezierPath>& path, NSPoint point, CGFloat padding)
{
    auto iterator = pathIterator(path);
    NSPoint buffer[3];
    for (NSInteger kind; (kind = iterator->nextWithPointBuffer(buffer)) != ZAKBezierPathIterator::kEnd;) {
        if (kind == NSClosePathBezierPathElement) continue;
        NSPoint candidate = kind == NSCurveToBezierPathElement ? buffer[2] : buffer[0];
        if (std::fabs(candidate.x - point.x) < padding && std::fabs(candidate.y - point.y) < padding) return candidate;
    }
    return point;
}

NSPoint pointOnPathAtLength(const Ref<NSBezierPath>& path, CGFloat length, CGFloat* slope)
{
    if (!path || path->elementCount() < 2) return NSZeroPoint;
    if (!(length > 0)) {
        const Elements& elements = elementsOf(path);
        if (slope) *slope = slopeBetween(elements[0].points[0], firstPointOf(elements, 1));
        return elements[0].points[0];
    }
    // One walk that stops where the length is reached: the point and slope
    // are those at the end of the path trimmed to that length, without
    // building it or measuring the whole path first.
    const Elements& elements = elementsOf(path);
    if (auto cut = walkToLength(elements, length, kDefaultError, [](const CGPathElement&, NSPoint) {})) {
        if (slope)
            *slope = elements[cut->index].kind == CGPathElementKind::CurveTo ? slopeBetween(cut->left.p[2], cut->point)
                                                                             : slopeBetween(cut->from, cut->point);
        return cut->point;
    }
    // The length reaches past the end: the path's own last point.
    size_t last = elements.size() - 1;
    NSPoint end = endPointOf(elements, last);
    if (slope) {
        if (elements[last].kind == CGPathElementKind::CurveTo) *slope = slopeBetween(elements[last].points[1], end);
        else *slope = slopeBetween(endPointOf(elements, last - 1), end);
    }
    return end;
}

// --- Tests ---

bool subpathContainingElementIsClosed(const Ref<NSBezierPath>& path, NSInteger index)
{
    if (!path || index >= path->elementCount()) return false;
    const Elements& elements = elementsOf(path);
    for (size_t i = index > 0 ? static_cast<size_t>(index) : 0; i < elements.size(); ++i)
        if (elements[i].kind == CGPathElementKind::Close) return true;
    return false;
}

bool isPathClosed(const Ref<NSBezierPath>& path) { return subpathContainingElementIsClosed(path, 0); }

bool isRectangular(const Ref<NSBezierPath>& path)
{
    if (!path || path->isEmpty()) return true;
    const Elements& elements = elementsOf(path);
    for (const CGPathElement& e : elements)
        if (e.kind == CGPathElementKind::CurveTo) return false;
    NSRect bounds = path->bounds();
    for (const CGPathElement& e : elements) {
        if (e.kind == CGPathElementKind::Close) continue;
        NSPoint p = e.points[0];
        if (p.x != NSMinX(bounds) && p.x != NSMaxX(bounds)) return false;
        if (p.y != NSMinY(bounds) && p.y != NSMaxY(bounds)) return false;
    }
    return true;
}

// --- Lengths ---

CGFloat length(const Ref<NSBezierPath>& path) { return lengthWithMaximumError(path, kDefaultError); }

CGFloat lengthWithMaximumError(const Ref<NSBezierPath>& path, CGFloat maximumError)
{
    if (!path) return 0;
    CGFloat error = usableError(maximumError);
    CGFloat total = 0;
    NSPoint current = NSZeroPoint, start = NSZeroPoint;
    for (const CGPathElement& e : elementsOf(path)) {
        switch (e.kind) {
        case CGPathElementKind::MoveTo: current = start = e.points[0]; break;
        case CGPathElementKind::LineTo:
            total += straightDistance(current, e.points[0]);
            current = e.points[0];
            break;
        case CGPathElementKind::CurveTo:
            total += cubicLength(cubicFrom(current, e), error, 0);
            current = e.points[2];
            break;
        case CGPathElementKind::Close:
            total += straightDistance(current, start);
            current = start;
            break;
        }
    }
    return total;
}

CGFloat lengthOfElement(const Ref<NSBezierPath>& path, NSInteger index)
{
    if (!path || index < 0 || index >= path->elementCount()) return -1;
    const Elements& elements = elementsOf(path);
    size_t i = static_cast<size_t>(index);
    if (i == 0) return 0;
    const CGPathElement& e = elements[i];
    NSPoint from = endPointOf(elements, i - 1);
    switch (e.kind) {
    case CGPathElementKind::MoveTo: return 0;
    case CGPathElementKind::LineTo: return straightDistance(from, e.points[0]);
    case CGPathElementKind::CurveTo: return cubicLength(cubicFrom(from, e), kDefaultError, 0);
    case CGPathElementKind::Close: return straightDistance(from, subpathStart(elements, i));
    }
    return 0;
}

CGFloat lengthOfPathFromElement(const Ref<NSBezierPath>& path, NSInteger start, NSInteger end)
{
    if (!path) return 0;
    end = std::min(end, path->elementCount() - 1);
    start = std::max(start, NSInteger(0));
    CGFloat total = 0;
    for (NSInteger i = start; i <= end; ++i) total += lengthOfElement(path, i);
    return total;
}

// --- Iterators ---

Ref<ZAKBezierPathIterator> pathIterator(const Ref<NSBezierPath>& path)
{
    return NSObject::alloc<ZAKBezierPathIterator>()->initWithPath(path);
}

Ref<ZAKBezierPathIterator> pathIteratorWithTransform(const Ref<NSBezierPath>& path,
                                                     const Ref<NSAffineTransform>& transform, CGFloat flatness,
                                                     bool reverse)
{
    Ref<NSBezierPath> source = path;
    // A NaN flatness would make every later flattening in the process split
    // curves to the limit: it is ignored, and the path iterated unflattened.
    if (!std::isnan(flatness)) {
        // Every later flattening in the process uses this flatness too.
        NSBezierPath::setDefaultFlatness(flatness);
        if (source && flatness != 0) source = source->bezierPathByFlatteningPath();
    }
    if (source && reverse) source = source->bezierPathByReversingPath();
    return NSObject::alloc<ZAKBezierPathIterator>()->initWithPath(source, transform);
}

// --- Trimming ---

Ref<NSBezierPath> bezierPathByTrimmingToLength(const Ref<NSBezierPath>& path, CGFloat length)
{
    return bezierPathByTrimmingToLength(path, length, kDefaultError);
}

Ref<NSBezierPath> bezierPathByTrimmingToLength(const Ref<NSBezierPath>& path, CGFloat trimLength, CGFloat maximumError)
{
    if (!path) return path;
    CGFloat limit = trimLength > 0 ? trimLength : 0;
    if (length(path) <= limit) return path;
    auto result = NSBezierPath::bezierPath();
    const Elements& elements = elementsOf(path);
    auto cut = walkToLength(elements, limit, usableError(maximumError), [&](const CGPathElement& e, NSPoint from) {
        switch (e.kind) {
        case CGPathElementKind::MoveTo: result->moveToPoint(e.points[0]); break;
        case CGPathElementKind::LineTo: result->lineToPoint(e.points[0]); break;
        case CGPathElementKind::CurveTo: appendCurve(result, cubicFrom(from, e)); break;
        case CGPathElementKind::Close:
            if (!result->isEmpty()) result->closePath();
            break;
        }
    });
    if (cut) {
        if (elements[cut->index].kind == CGPathElementKind::CurveTo) appendCurve(result, cut->left);
        else result->lineToPoint(cut->point);
    }
    return result;
}

Ref<NSBezierPath> bezierPathByTrimmingFromLength(const Ref<NSBezierPath>& path, CGFloat length)
{
    return bezierPathByTrimmingFromLength(path, length, kDefaultError);
}

Ref<NSBezierPath> bezierPathByTrimmingFromLength(const Ref<NSBezierPath>& path, CGFloat trimLength,
                                                 CGFloat maximumError)
{
    if (!path || !(trimLength > 0)) return path;
    auto result = NSBezierPath::bezierPath();
    const Elements& elements = elementsOf(path);
    auto cut = walkToLength(elements, trimLength, usableError(maximumError), [](const CGPathElement&, NSPoint) {});
    if (!cut) return result;
    // The element the cut falls in starts the result.
    const CGPathElement& first = elements[cut->index];
    NSPoint start = cut->start;
    result->moveToPoint(cut->point);
    switch (first.kind) {
    case CGPathElementKind::CurveTo: appendCurve(result, cut->right); break;
    case CGPathElementKind::Close: result->lineToPoint(start); break;
    default: result->lineToPoint(first.points[0]); break;
    }
    // Whether the result's open subpath began at the cut rather than at the
    // subpath's own start: closing it would draw back over the part cut off,
    // so its close-paths become plain lines to the start.
    bool beganAtCut = true;
    NSPoint current = first.kind == CGPathElementKind::CurveTo ? first.points[2]
                      : first.kind == CGPathElementKind::Close ? start
                                                               : first.points[0];
    for (size_t i = cut->index + 1; i < elements.size(); ++i) {
        const CGPathElement& e = elements[i];
        switch (e.kind) {
        case CGPathElementKind::MoveTo:
            current = start = e.points[0];
            result->moveToPoint(e.points[0]);
            beganAtCut = false;
            break;
        case CGPathElementKind::LineTo:
            result->lineToPoint(e.points[0]);
            current = e.points[0];
            break;
        case CGPathElementKind::CurveTo:
            appendCurve(result, cubicFrom(current, e));
            current = e.points[2];
            break;
        case CGPathElementKind::Close:
            result->lineToPoint(start);
            if (!beganAtCut) result->closePath();
            current = start;
            break;
        }
    }
    return result;
}

Ref<NSBezierPath> bezierPathByTrimmingFromLengthToLength(const Ref<NSBezierPath>& path, CGFloat start,
                                                         CGFloat keptLength)
{
    return bezierPathByTrimmingFromLengthToLength(path, start, keptLength, kDefaultError);
}

Ref<NSBezierPath> bezierPathByTrimmingFromLengthToLength(const Ref<NSBezierPath>& path, CGFloat start,
                                                         CGFloat keptLength, CGFloat maximumError)
{
    return bezierPathByTrimmingToLength(bezierPathByTrimmingFromLength(path, start, maximumError), keptLength,
                                        maximumError);
}

Ref<NSBezierPath> bezierPathByTrimmingFromBothEnds(const Ref<NSBezierPath>& path, CGFloat length)
{
    return bezierPathByTrimmingFromBothEnds(path, length, kDefaultError);
}

Ref<NSBezierPath> bezierPathByTrimmingFromBothEnds(const Ref<NSBezierPath>& path, CGFloat trimLength,
                                                   CGFloat maximumError)
{
    CGFloat total = lengthWithMaximumError(path, maximumError);
    return bezierPathByTrimmingFromLengthToLength(path, trimLength, total - 2 * trimLength, maximumError);
}

Ref<NSBezierPath> bezierPathByTrimmingFromCentre(const Ref<NSBezierPath>& path, CGFloat length)
{
    return bezierPathByTrimmingFromCentre(path, length, kDefaultError);
}

Ref<NSBezierPath> bezierPathByTrimmingFromCentre(const Ref<NSBezierPath>& path, CGFloat cutLength, CGFloat maximumError)
{
    if (!path) return path;
    CGFloat total = lengthWithMaximumError(path, maximumError);
    // Either piece may be the receiver itself, so both go into a new path.
    auto result = NSBezierPath::bezierPath();
    result->appendBezierPath(bezierPathByTrimmingToLength(path, (total - cutLength) / 2, maximumError));
    result->appendBezierPath(bezierPathByTrimmingFromLength(path, (total + cutLength) / 2, maximumError));
    return result;
}

}

namespace {

// Values beyond single precision's range become infinities rather than an
// undefined conversion.
float toSingle(CGFloat v)
{
    if (v > FLT_MAX) return INFINITY;
    if (v < -FLT_MAX) return -INFINITY;
    return static_cast<float>(v);
}

// Rounded in single precision; the half is added in double precision, so a
// large coordinate still gets its exact centre.
NSPoint pixelCentre(NSPoint p)
{
    return {static_cast<CGFloat>(std::round(toSingle(p.x))) + 0.5,
            static_cast<CGFloat>(std::round(toSingle(p.y))) + 0.5};
}

void addStroke(const Ref<NSBezierPath>& path, NSPoint from, NSPoint to)
{
    path->moveToPoint(from);
    path->lineToPoint(to);
}

// Help paths draw with the device's pixels as user space, y up from the
// bottom left. The device transform of the layer is y down, so the flip
// between the two is applied on the way in and set as the drawing matrix.
void drawAsHelpPath(const Ref<NSBezierPath>& path, bool stroke, CGFloat width, bool antiAliasing)
{
    auto context = NSGraphicsContext::currentContext();
    if (!path || !context) return;
    CGContext* port = context->graphicsPort();
    const CGAffineTransform saved = port->getCTM();
    const CGAffineTransform deviceUp{1, 0, 0, -1, 0, port->deviceSize().height};
    port->setCTM(deviceUp);
    if (!antiAliasing) context->setShouldAntialias(false);

    const CGAffineTransform toDevice = CGAffineTransformConcat(saved, deviceUp);
    auto transform = NSAffineTransform::transform();
    transform->setTransformStruct({toDevice.a, toDevice.b, toDevice.c, toDevice.d, toDevice.tx, toDevice.ty});
    auto devicePath = transform->transformBezierPath(path);
    NSBezierPathExt::_normalizeBezierPath(devicePath);
    if (stroke) {
        devicePath->setLineWidth(width);
        devicePath->stroke();
    } else {
        devicePath->fill();
    }

    if (!antiAliasing) context->setShouldAntialias(true);
    // Set back rather than concatenated, so the matrix is exactly as before.
    port->setCTM(saved);
}

}

namespace NSBezierPathExt {

Ref<NSBezierPath> bezierPathWithLineFrom(NSPoint from, NSPoint to)
{
    auto path = NSBezierPath::bezierPath();
    addStroke(path, from, to);
    return path;
}

Ref<NSBezierPath> bezierPathWithRoundedRectangle(const NSRect& rect, CGFloat radius)
{
    auto path = NSBezierPath::bezierPath();
    appendBezierPathWithRoundedRectangle(path, rect, radius);
    return path;
}

void appendBezierPathWithRoundedRectangle(const Ref<NSBezierPath>& path, const NSRect& r, CGFloat radius)
{
    if (!path) return;
    path->moveToPoint({NSMidX(r), NSMaxY(r)});
    path->appendBezierPathWithArcFromPoint({NSMinX(r), NSMaxY(r)}, {NSMinX(r), NSMinY(r)}, radius);
    path->appendBezierPathWithArcFromPoint({NSMinX(r), NSMinY(r)}, {NSMaxX(r), NSMinY(r)}, radius);
    path->appendBezierPathWithArcFromPoint({NSMaxX(r), NSMinY(r)}, {NSMaxX(r), NSMaxY(r)}, radius);
    path->appendBezierPathWithArcFromPoint({NSMaxX(r), NSMaxY(r)}, {NSMinX(r), NSMaxY(r)}, radius);
    path->closePath();
}

void appendBezierPathWithLeftRoundedRectangle(const Ref<NSBezierPath>& path, const NSRect& r, CGFloat radius)
{
    if (!path) return;
    path->moveToPoint({NSMidX(r), NSMaxY(r)});
    path->appendBezierPathWithArcFromPoint({NSMinX(r), NSMaxY(r)}, {NSMinX(r), NSMinY(r)}, radius);
    path->appendBezierPathWithArcFromPoint({NSMinX(r), NSMinY(r)}, {NSMaxX(r), NSMinY(r)}, radius);
    const NSPoint square[2] = {{NSMaxX(r), NSMinY(r)}, {NSMaxX(r), NSMaxY(r)}};
    path->appendBezierPathWithPoints(square, 2);
    path->closePath();
}

void appendBezierPathWithRightRoundedRectangle(const Ref<NSBezierPath>& path, const NSRect& r, CGFloat radius)
{
    if (!path) return;
    path->moveToPoint({NSMidX(r), NSMinY(r)});
    path->appendBezierPathWithArcFromPoint({NSMaxX(r), NSMinY(r)}, {NSMaxX(r), NSMaxY(r)}, radius);
    path->appendBezierPathWithArcFromPoint({NSMaxX(r), NSMaxY(r)}, {NSMinX(r), NSMaxY(r)}, radius);
    const NSPoint square[2] = {{NSMinX(r), NSMaxY(r)}, {NSMinX(r), NSMinY(r)}};
    path->appendBezierPathWithPoints(square, 2);
    path->closePath();
}

Ref<NSBezierPath> bezierPathWithBleedMarkInRect(const NSRect& r, int32_t originPointIndex)
{
    const NSPoint bottomLeft{NSMinX(r), NSMinY(r)}, bottomRight{NSMaxX(r), NSMinY(r)};
    const NSPoint topRight{NSMaxX(r), NSMaxY(r)}, topLeft{NSMinX(r), NSMaxY(r)};
    auto path = NSBezierPath::bezierPath();
    switch (originPointIndex) {
    case 4:
        addStroke(path, bottomLeft, topLeft);
        addStroke(path, bottomLeft, bottomRight);
        break;
    case 5:
        addStroke(path, bottomRight, bottomLeft);
        addStroke(path, bottomRight, topRight);
        break;
    case 6:
        addStroke(path, topRight, bottomRight);
        addStroke(path, topRight, topLeft);
        break;
    case 7:
        addStroke(path, topLeft, bottomLeft);
        addStroke(path, topLeft, topRight);
        break;
    default: break;
    }
    return path;
}

Ref<NSBezierPath> bezierPathWithCropMarkInRect(const NSRect& r)
{
    const NSRect outer = NSInsetRect(r, r.size.width / 4, r.size.height / 4);
    const NSRect inner = NSInsetRect(r, r.size.width / 3, r.size.height / 3);
    const CGFloat midX = NSMidX(r), midY = NSMidY(r);
    auto path = NSBezierPath::bezierPath();
    path->appendBezierPathWithOvalInRect(outer);
    path->appendBezierPathWithOvalInRect(inner);
    addStroke(path, {midX, NSMinY(inner)}, {midX, NSMaxY(inner)});
    addStroke(path, {NSMinX(inner), midY}, {NSMaxX(inner), midY});
    addStroke(path, {midX, NSMinY(r)}, {midX, NSMinY(outer)});
    addStroke(path, {midX, NSMaxY(r)}, {midX, NSMaxY(outer)});
    addStroke(path, {NSMinX(r), midY}, {NSMinX(outer), midY});
    addStroke(path, {NSMaxX(r), midY}, {NSMaxX(outer), midY});
    return path;
}

Ref<NSBezierPath> bezierPathWithCrossInRect(const NSRect& r)
{
    auto path = NSBezierPath::bezierPath();
    addStroke(path, {NSMidX(r), NSMinY(r)}, {NSMidX(r), NSMaxY(r)});
    addStroke(path, {NSMinX(r), NSMidY(r)}, {NSMaxX(r), NSMidY(r)});
    return path;
}

Ref<NSBezierPath> bezierPathWith45CrossInRect(const NSRect& r)
{
    auto path = NSBezierPath::bezierPath();
    addStroke(path, {NSMinX(r), NSMinY(r)}, {NSMaxX(r), NSMaxY(r)});
    addStroke(path, {NSMinX(r), NSMaxY(r)}, {NSMaxX(r), NSMinY(r)});
    return path;
}

void strokeAsHelpPath(const Ref<NSBezierPath>& path) { strokeAsHelpPathWithLineWidth(path, 0, false); }

void fillAsHelpPath(const Ref<NSBezierPath>& path) { fillAsHelpPathWithAntiAliasing(path, false); }

void strokeAsHelpPathWithLineWidth(const Ref<NSBezierPath>& path, CGFloat width, bool antiAliasing)
{
    drawAsHelpPath(path, true, width, antiAliasing);
}

void fillAsHelpPathWithAntiAliasing(const Ref<NSBezierPath>& path, bool antiAliasing)
{
    drawAsHelpPath(path, false, 0, antiAliasing);
}

void _normalizeBezierPath(const Ref<NSBezierPath>& devicePath)
{
    if (!devicePath) return;
    for (NSInteger i = 0; i < devicePath->elementCount(); ++i) {
        NSPoint points[3];
        const NSBezierPathElement kind = devicePath->elementAtIndex(i, points);
        if (kind == NSClosePathBezierPathElement) continue;
        const int count = kind == NSCurveToBezierPathElement ? 3 : 1;
        for (int k = 0; k < count; ++k) points[k] = pixelCentre(points[k]);
        devicePath->setAssociatedPoints(points, i);
    }
}

PathTrimCursor::PathTrimCursor(const Ref<NSBezierPath>& path)
    : m_path(path)
{ }

bool PathTrimCursor::startAt(CGFloat distance, NSPoint& point, CGFloat& slope)
{
    if (!m_path || m_path->isEmpty()) return false;
    const Elements& elements = elementsOf(m_path);
    // The trim leaves the path as it is.
    if (!(distance > 0)) {
        point = elements[0].points[0];
        slope = slopeStartingPath(m_path);
        return m_path->elementCount() >= 2;
    }
    // The same measures, in the same order, as the trim.
    for (; m_index < elements.size(); ++m_index, m_elementLength = -1, m_measured.clear()) {
        const CGPathElement& e = elements[m_index];
        if (e.kind == CGPathElementKind::MoveTo) {
            m_current = m_start = e.points[0];
            continue;
        }
        NSPoint end = e.kind == CGPathElementKind::LineTo  ? e.points[0]
                      : e.kind == CGPathElementKind::Close ? m_start
                                                           : e.points[2];
        if (m_elementLength < 0)
            m_elementLength = e.kind == CGPathElementKind::CurveTo
                                  ? cubicLength(cubicFrom(m_current, e), usableError(kDefaultError), 0)
                                  : straightDistance(m_current, end);
        if (m_walked + m_elementLength > distance) {
            if (e.kind == CGPathElementKind::CurveTo) {
                Cubic left, right;
                splitCubicAtLength(cubicFrom(m_current, e), distance - m_walked, usableError(kDefaultError), left,
                                   right, &m_measured);
                point = right.p[0];
                slope = slopeBetween(point, right.p[1]);
            } else {
                point = pointAlong(m_current, end, (distance - m_walked) / m_elementLength);
                slope = slopeBetween(point, end);
            }
            return true;
        }
        m_walked += m_elementLength;
        m_current = end;
    }
    return false;
}
}
