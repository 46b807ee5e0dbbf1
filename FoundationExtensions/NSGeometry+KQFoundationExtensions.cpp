#include "FoundationExtensions/NSGeometry+KQFoundationExtensions.h"

#include <algorithm>
#include <cmath>

#include "Foundation/NSValue.h"

namespace {

bool isFinitePoint(NSPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// Weights of the products d_j . c_i in the degree-5 function whose roots are
// the parameters where the curve's tangent is perpendicular to (B(t) - p).
constexpr double kNearestWeights[3][4] = {
    {1.0, 0.6, 0.3, 0.1},
    {0.4, 0.6, 0.6, 0.4},
    {0.1, 0.3, 0.6, 1.0},
};
constexpr int kRootDegree = 5;
constexpr int kMaxRootDepth = 64;
// Half the width of the control polygon's band around its chord below which
// the chord's crossing is taken as the root: 2^-65.
const double kRootFlatness = std::ldexp(1.0, -kMaxRootDepth - 1);

int sign(double v) { return v < 0 ? -1 : 1; }

int crossingCount(const NSPoint w[kRootDegree + 1])
{
    int count = 0;
    int previous = sign(w[0].y);
    for (int i = 1; i <= kRootDegree; ++i) {
        int s = sign(w[i].y);
        if (s != previous) ++count;
        previous = s;
    }
    return count;
}

bool controlPolygonFlatEnough(const NSPoint w[kRootDegree + 1])
{
    // The chord's implicit line a x + b y + c = 0.
    double a = w[0].y - w[kRootDegree].y;
    double b = w[kRootDegree].x - w[0].x;
    double c = w[0].x * w[kRootDegree].y - w[kRootDegree].x * w[0].y;
    double abSquared = a * a + b * b;
    double above = 0, below = 0;
    for (int i = 1; i < kRootDegree; ++i) {
        double d = a * w[i].x + b * w[i].y + c;
        double signedSquare = d > 0 ? d * d / abSquared : d < 0 ? -(d * d / abSquared) : 0;
        above = std::max(above, signedSquare);
        below = std::min(below, signedSquare);
    }
    // Where the lines parallel to the chord through the extreme points cross
    // y = 0 (the zero line is 0 x + 1 y + 0 = 0).
    double interceptAbove = (c + above) / a;
    double interceptBelow = (c + below) / a;
    double halfWidth = 0.5 * std::fabs(interceptAbove - interceptBelow);
    return halfWidth < kRootFlatness;
}

// Where the chord of the control polygon crosses y = 0.
double chordCrossing(const NSPoint w[kRootDegree + 1])
{
    double dx = w[kRootDegree].x - w[0].x, dy = w[kRootDegree].y - w[0].y;
    return w[0].x - w[0].y * dx / dy;
}

// The handle at the mirrored place after the rectangle turned over.
NSInteger mirroredHandle(NSInteger handle, bool flippedX, bool flippedY)
{
    static constexpr NSInteger kMirrorX[9] = {0, 3, 2, 1, 5, 4, 7, 6, 8};
    static constexpr NSInteger kMirrorY[9] = {2, 1, 0, 3, 7, 6, 5, 4, 8};
    if (flippedX) handle = kMirrorX[handle];
    if (flippedY) handle = kMirrorY[handle];
    return handle;
}

}

// --- Points and vectors ---

CGFloat KQAngleBetweenPoints(NSPoint p1, NSPoint p2)
{
    return atan2f(static_cast<float>(p2.y - p1.y), static_cast<float>(p2.x - p1.x));
}

CGFloat KQTurningAngle(NSPoint p1, NSPoint p2, NSPoint p3)
{
    float first = atan2f(static_cast<float>(p2.y - p1.y), static_cast<float>(p2.x - p1.x));
    float second = atan2f(static_cast<float>(p3.y - p2.y), static_cast<float>(p3.x - p2.x));
    return first - second;
}

CGFloat KQDistanceBetweenPoints(NSPoint p1, NSPoint p2)
{
    return hypotf(static_cast<float>(p2.x - p1.x), static_cast<float>(p2.y - p1.y));
}

CGFloat KQDistanceRatio(NSPoint p1, NSPoint p2, NSPoint p3)
{
    CGFloat divisor = KQDistanceBetweenPoints(p3, p2);
    if (divisor == 0) return 0;
    return KQDistanceBetweenPoints(p1, p2) / divisor;
}

NSPoint KQMidPoint(NSPoint p1, NSPoint p2) { return {(p1.x + p2.x) / 2, (p1.y + p2.y) / 2}; }

NSPoint KQInterpolatePoints(NSPoint p1, NSPoint p2, CGFloat t)
{
    return {p1.x + (p2.x - p1.x) * t, p1.y + (p2.y - p1.y) * t};
}

NSPoint KQAddPoints(NSPoint p1, NSPoint p2) { return {p1.x + p2.x, p1.y + p2.y}; }
NSPoint KQSubtractPoints(NSPoint p1, NSPoint p2) { return {p1.x - p2.x, p1.y - p2.y}; }
CGFloat KQDotProduct(NSPoint a, NSPoint b) { return a.x * b.x + a.y * b.y; }
CGFloat KQSquaredLength(NSPoint v) { return v.x * v.x + v.y * v.y; }
CGFloat KQSquaredDistance(NSPoint p1, NSPoint p2) { return KQSquaredLength(KQSubtractPoints(p1, p2)); }

bool KQPointsEqualWithTolerance(NSPoint p1, NSPoint p2, CGFloat tolerance)
{
    return std::fabs(p1.x - p2.x) <= tolerance && std::fabs(p1.y - p2.y) <= tolerance;
}

CGFloat KQSnapAngleTo45Degrees(CGFloat degrees)
{
    for (int step = 0; step < 8; ++step)
        if (degrees <= 22.5 + 45.0 * step) return step == 0 ? 0 : 45.0 * step;
    return 0;
}

NSPoint KQCircleCentreThroughPoints(NSPoint p1, NSPoint p2, NSPoint p3)
{
    CGFloat d = 2 * ((p2.x - p1.x) * (p3.y - p1.y) - (p3.x - p1.x) * (p2.y - p1.y));
    if (d == 0) return KQNoIntersectionPoint;
    CGFloat a = p2.x * p2.x + p2.y * p2.y - (p1.x * p1.x + p1.y * p1.y);
    CGFloat b = p3.x * p3.x + p3.y * p3.y - (p1.x * p1.x + p1.y * p1.y);
    NSPoint centre{(a * (p3.y - p1.y) - b * (p2.y - p1.y)) / d, (b * (p2.x - p1.x) - a * (p3.x - p1.x)) / d};
    return isFinitePoint(centre) ? centre : KQNoIntersectionPoint;
}

// --- Lines and curves ---

NSPoint KQIntersectionOfLines(NSPoint a1, NSPoint a2, NSPoint b1, NSPoint b2)
{
    CGFloat slopeA = (a2.y - a1.y) / (a2.x - a1.x);
    CGFloat slopeB = (b2.y - b1.y) / (b2.x - b1.x);
    // A vertical line has no slope, parallel lines no crossing.
    if (!std::isfinite(slopeA) || !std::isfinite(slopeB) || slopeA == slopeB) return KQNoIntersectionPoint;
    CGFloat interceptA = a1.y - slopeA * a1.x;
    CGFloat interceptB = b1.y - slopeB * b1.x;
    CGFloat x = (interceptB - interceptA) / (slopeA - slopeB);
    NSPoint crossing{x, interceptA + slopeA * x};
    return isFinitePoint(crossing) ? crossing : KQNoIntersectionPoint;
}

NSPoint KQIntersectionOfLineSegments(NSPoint a1, NSPoint a2, NSPoint b1, NSPoint b2)
{
    CGFloat d = (a2.x - a1.x) * (b2.y - b1.y) - (a2.y - a1.y) * (b2.x - b1.x);
    if (d == 0) return KQNoIntersectionPoint;
    CGFloat t = ((a1.y - b1.y) * (b2.x - b1.x) - (a1.x - b1.x) * (b2.y - b1.y)) / d;
    if (!(t >= 0 && t <= 1)) return KQNoIntersectionPoint;
    return KQInterpolatePoints(a1, a2, t);
}

NSPoint KQNearestPointOnLineSegment(NSPoint p, NSPoint a, NSPoint b)
{
    CGFloat length = KQDistanceBetweenPoints(a, b);
    if (!(length > 0)) return a;
    CGFloat t = KQDotProduct(KQSubtractPoints(p, a), KQSubtractPoints(b, a)) / (length * length);
    if (t <= 0) return a;
    if (t >= 1) return b;
    return KQInterpolatePoints(a, b, t);
}

NSPoint KQNearestPointOnCubicBezier(const NSPoint v[4], NSPoint p, CGFloat* tOut)
{
    NSPoint c[4], d[3];
    for (int i = 0; i < 4; ++i) c[i] = KQSubtractPoints(v[i], p);
    for (int i = 0; i < 3; ++i) d[i] = {3 * (v[i + 1].x - v[i].x), 3 * (v[i + 1].y - v[i].y)};
    NSPoint w[kRootDegree + 1];
    for (int k = 0; k <= kRootDegree; ++k) w[k] = {static_cast<double>(k) / kRootDegree, 0};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) w[i + j].y += KQDotProduct(d[j], c[i]) * kNearestWeights[j][i];

    CGFloat roots[kRootDegree];
    int count = KQFindRoots(w, roots, 0);
    CGFloat best = 0;
    CGFloat bestDistance = KQSquaredDistance(p, v[0]);
    for (int i = 0; i < count; ++i) {
        CGFloat distance = KQSquaredDistance(p, KQBezierPointAtParameter(v, 3, roots[i]));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = roots[i];
        }
    }
    if (KQSquaredDistance(p, v[3]) < bestDistance) best = 1;
    if (tOut) *tOut = best;
    return KQBezierPointAtParameter(v, 3, best);
}

NSPoint KQBezierPointAtParameter(const NSPoint* v, int degree, CGFloat t, NSPoint* left, NSPoint* right)
{
    constexpr int kMaxDegree = 5;
    if (!v || degree < 0 || degree > kMaxDegree) return NSZeroPoint;
    NSPoint levels[kMaxDegree + 1][kMaxDegree + 1];
    for (int j = 0; j <= degree; ++j) levels[0][j] = v[j];
    for (int i = 1; i <= degree; ++i)
        for (int j = 0; j <= degree - i; ++j)
            levels[i][j] = {(1 - t) * levels[i - 1][j].x + t * levels[i - 1][j + 1].x,
                            (1 - t) * levels[i - 1][j].y + t * levels[i - 1][j + 1].y};
    if (left)
        for (int j = 0; j <= degree; ++j) left[j] = levels[j][0];
    if (right)
        for (int j = 0; j <= degree; ++j) right[j] = levels[degree - j][j];
    return levels[degree][0];
}

int KQFindRoots(const NSPoint w[kRootDegree + 1], CGFloat roots[kRootDegree], int depth)
{
    int crossings = crossingCount(w);
    if (crossings == 0) return 0;
    // Past the depth limit even a polygon that still crosses several times
    // (a double root) gives one root, so the recursion always ends.
    if (depth >= kMaxRootDepth) {
        roots[0] = (w[0].x + w[kRootDegree].x) / 2;
        return 1;
    }
    if (crossings == 1 && controlPolygonFlatEnough(w)) {
        roots[0] = chordCrossing(w);
        return 1;
    }
    NSPoint leftPolygon[kRootDegree + 1], rightPolygon[kRootDegree + 1];
    KQBezierPointAtParameter(w, kRootDegree, 0.5, leftPolygon, rightPolygon);
    CGFloat leftRoots[kRootDegree], rightRoots[kRootDegree];
    int leftCount = KQFindRoots(leftPolygon, leftRoots, depth + 1);
    int rightCount = KQFindRoots(rightPolygon, rightRoots, depth + 1);
    // A degree-5 function has at most five roots; rounding could make the
    // halves report more, and the caller's buffer holds five.
    int count = 0;
    for (int i = 0; i < leftCount && count < kRootDegree; ++i) roots[count++] = leftRoots[i];
    for (int i = 0; i < rightCount && count < kRootDegree; ++i) roots[count++] = rightRoots[i];
    return count;
}

CGFloat KQTangentAngleOfCubicBezier(const NSPoint v[4], CGFloat t)
{
    if (!(t > 0)) t = 0;
    if (t > 1) t = 1;
    CGFloat u = 1 - t;
    CGFloat a = 3 * u * u, b = 6 * u * t, c = 3 * t * t;
    CGFloat dx = a * (v[1].x - v[0].x) + b * (v[2].x - v[1].x) + c * (v[3].x - v[2].x);
    CGFloat dy = a * (v[1].y - v[0].y) + b * (v[2].y - v[1].y) + c * (v[3].y - v[2].y);
    return std::atan2(dy, dx);
}

// --- Rectangles ---

NSRect KQRectAtPoint(NSPoint p) { return {p, NSZeroSize}; }

NSRect KQRectCenteredAtOrigin(NSSize size)
{
    return NSMakeRect(-size.width / 2, -size.height / 2, size.width, size.height);
}

NSRect KQRectCenteredAtPoint(const NSRect& rect, NSPoint p)
{
    return NSOffsetRect(rect, p.x - NSMidX(rect), p.y - NSMidY(rect));
}

NSRect KQRectFromPoints(NSPoint p1, NSPoint p2)
{
    return NSMakeRect(std::min(p1.x, p2.x), std::min(p1.y, p2.y), std::fabs(p2.x - p1.x), std::fabs(p2.y - p1.y));
}

NSRect KQNormalizedRect(const NSRect& rect)
{
    NSRect r = rect;
    if (r.size.width < 0) {
        r.origin.x += r.size.width;
        r.size.width = -r.size.width;
    }
    if (r.size.height < 0) {
        r.origin.y += r.size.height;
        r.size.height = -r.size.height;
    }
    return r;
}

NSRect KQRectIncludingPoint(const NSRect& rect, NSPoint p)
{
    NSRect r = rect;
    if (p.x < r.origin.x) {
        r.size.width += r.origin.x - p.x;
        r.origin.x = p.x;
    } else if (p.x > NSMaxX(r)) {
        r.size.width = p.x - r.origin.x;
    }
    if (p.y < r.origin.y) {
        r.size.height += r.origin.y - p.y;
        r.origin.y = p.y;
    } else if (p.y > NSMaxY(r)) {
        r.size.height = p.y - r.origin.y;
    }
    return r;
}

NSRect KQUnionOfRects(const NSRect& r1, const NSRect& r2)
{
    CGFloat x = std::min(r1.origin.x, r2.origin.x), y = std::min(r1.origin.y, r2.origin.y);
    CGFloat maxX = std::max(NSMaxX(r1), NSMaxX(r2)), maxY = std::max(NSMaxY(r1), NSMaxY(r2));
    return NSMakeRect(x, y, std::fabs(maxX - x), std::fabs(maxY - y));
}

NSRect KQScaleRect(const NSRect& r, CGFloat sx, CGFloat sy)
{
    return NSMakeRect(r.origin.x * sx, r.origin.y * sy, r.size.width * sx, r.size.height * sy);
}

bool KQRectHitsRect(const NSRect& r1, const NSRect& r2, bool centre)
{
    if (centre) return NSPointInRect({NSMidX(r1), NSMidY(r1)}, r2);
    return NSIntersectsRect(r1, r2);
}

bool KQPointInAnyRect(const Ref<NSArray>& rects, NSPoint p)
{
    if (!rects) return false;
    for (const Id& element : *rects) {
        auto value = dynamic_ref_cast<NSValue>(element);
        if (value && NSPointInRect(p, value->rectValue())) return true;
    }
    return false;
}

bool KQRectsEqualWithTolerance(const NSRect& r1, const NSRect& r2, CGFloat tolerance)
{
    return std::fabs(r1.origin.x - r2.origin.x) <= tolerance && std::fabs(r1.origin.y - r2.origin.y) <= tolerance &&
           std::fabs(r1.size.width - r2.size.width) <= tolerance &&
           std::fabs(r1.size.height - r2.size.height) <= tolerance;
}

CGFloat KQEdgeCoordinateOfRect(const NSRect& rect, NSInteger edge)
{
    switch (edge) {
    case 0: return NSMinX(rect);
    case 1: return NSMinY(rect);
    case 2: return NSMaxX(rect);
    case 3: return NSMaxY(rect);
    default: return 0;
    }
}

NSPoint KQHandlePointOfRect(const NSRect& r, NSInteger handle)
{
    switch (handle) {
    case 0: return {NSMidX(r), NSMinY(r)};
    case 1: return {NSMinX(r), NSMidY(r)};
    case 2: return {NSMidX(r), NSMaxY(r)};
    case 3: return {NSMaxX(r), NSMidY(r)};
    case 4: return {NSMinX(r), NSMinY(r)};
    case 5: return {NSMaxX(r), NSMinY(r)};
    case 6: return {NSMaxX(r), NSMaxY(r)};
    case 7: return {NSMinX(r), NSMaxY(r)};
    case 8: return {NSMidX(r), NSMidY(r)};
    default: return r.origin;
    }
}

bool KQIsCornerHandle(NSInteger handle) { return handle >= 4 && handle <= 7; }

NSInteger KQOppositeHandle(NSInteger handle)
{
    static constexpr NSInteger kOpposite[9] = {2, 3, 0, 1, 6, 7, 4, 5, 8};
    if (handle < 0 || handle > 8) return -1;
    return kOpposite[handle];
}

NSPoint KQOppositeHandlePointOfRect(const NSRect& rect, NSInteger handle)
{
    return KQHandlePointOfRect(rect, KQOppositeHandle(handle));
}

NSInteger KQHandleAtPoint(const NSRect& rect, NSPoint p)
{
    for (NSInteger handle = 0; handle <= 8; ++handle)
        if (KQHandlePointOfRect(rect, handle) == p) return handle;
    return -1;
}

NSInteger KQMoveHandleOfRect(NSRect* rect, NSInteger handle, NSPoint p)
{
    if (!rect || handle < 0 || handle > 8) return handle;
    NSRect& r = *rect;
    if (handle == 8) {
        r = KQRectCenteredAtPoint(r, p);
        return 8;
    }
    CGFloat minX = NSMinX(r), minY = NSMinY(r), maxX = NSMaxX(r), maxY = NSMaxY(r);
    bool movesLeft = handle == 1 || handle == 4 || handle == 7;
    bool movesRight = handle == 3 || handle == 5 || handle == 6;
    bool movesBottom = handle == 0 || handle == 4 || handle == 5;
    bool movesTop = handle == 2 || handle == 6 || handle == 7;
    if (movesLeft) minX = p.x;
    if (movesRight) maxX = p.x;
    if (movesBottom) minY = p.y;
    if (movesTop) maxY = p.y;
    r = NSMakeRect(minX, minY, maxX - minX, maxY - minY);
    bool flippedX = (movesLeft || movesRight) && r.size.width < 0;
    bool flippedY = (movesBottom || movesTop) && r.size.height < 0;
    r = KQNormalizedRect(r);
    return mirroredHandle(handle, flippedX, flippedY);
}

NSRect KQAlignSizeInRect(NSInteger alignment, const NSRect& source, const NSRect& destination)
{
    CGFloat w = source.size.width, h = source.size.height;
    CGFloat x0 = destination.origin.x, y0 = destination.origin.y;
    CGFloat left = x0, centreX = x0 + (destination.size.width - w) / 2, right = x0 + destination.size.width - w;
    CGFloat bottom = y0, centreY = y0 + (destination.size.height - h) / 2, top = y0 + destination.size.height - h;
    switch (alignment) {
    case 1: return NSMakeRect(centreX, top, w, h);
    case 2: return NSMakeRect(left, top, w, h);
    case 3: return NSMakeRect(right, top, w, h);
    case 4: return NSMakeRect(left, centreY, w, h);
    case 5: return NSMakeRect(centreX, bottom, w, h);
    case 6: return NSMakeRect(left, bottom, w, h);
    case 7: return NSMakeRect(right, bottom, w, h);
    case 8: return NSMakeRect(right, centreY, w, h);
    default: return NSMakeRect(centreX, centreY, w, h);
    }
}

NSRect KQFitRectInRect(const NSRect& source, const NSRect& destination, NSInteger scaling, NSInteger alignment)
{
    if (source == destination) return source;
    NSSize size = source.size;
    CGFloat w = size.width, h = size.height, W = destination.size.width, H = destination.size.height;
    bool proportional = scaling == 1 || (scaling == 0 && (w > W || h > H));
    if (proportional) {
        CGFloat factor = std::min(W / w, H / h);
        // A source without width or height has no proportion to keep.
        if (std::isfinite(factor)) size = {w * factor, h * factor};
    } else if (scaling != 0 && scaling != 1) {
        size = destination.size;
    }
    return KQAlignSizeInRect(alignment, {source.origin, size}, destination);
}
