#pragma once
// Plain geometry on points, sizes and rectangles: angles and distances,
// intersections, nearest points on segments and cubic Bézier curves,
// rectangle handles for resizing, alignment and fitting, tolerant
// comparisons. Coordinates are double precision; angles and distances are
// computed in single precision and widened, as path measurement expects.
#include "Foundation/NSArray.h"
#include "Foundation/NSGeometry.h"

// The answer of the intersection and circle functions when there is none.
inline constexpr NSPoint KQNoIntersectionPoint{-10000000.2, -999999.6};

// --- Points and vectors ---

// Radians, atan2f of the narrowed differences.
CGFloat KQAngleBetweenPoints(NSPoint p1, NSPoint p2);
// The angle p1 -> p2 minus the angle p2 -> p3, in single precision.
CGFloat KQTurningAngle(NSPoint p1, NSPoint p2, NSPoint p3);
// hypotf of the narrowed differences.
CGFloat KQDistanceBetweenPoints(NSPoint p1, NSPoint p2);
// Distance p1-p2 over distance p3-p2; 0 when the divisor is 0.
CGFloat KQDistanceRatio(NSPoint p1, NSPoint p2, NSPoint p3);
NSPoint KQMidPoint(NSPoint p1, NSPoint p2);
// p1 + (p2 - p1) t.
NSPoint KQInterpolatePoints(NSPoint p1, NSPoint p2, CGFloat t);
NSPoint KQAddPoints(NSPoint p1, NSPoint p2);
// p1 - p2.
NSPoint KQSubtractPoints(NSPoint p1, NSPoint p2);
CGFloat KQDotProduct(NSPoint a, NSPoint b);
CGFloat KQSquaredLength(NSPoint vector);
CGFloat KQSquaredDistance(NSPoint p1, NSPoint p2);
bool KQPointsEqualWithTolerance(NSPoint p1, NSPoint p2, CGFloat tolerance);
// The nearest multiple of 45 degrees for angles in [0, 360); ties go down,
// and negative angles or angles above 337.5 give 0.
CGFloat KQSnapAngleTo45Degrees(CGFloat degrees);
// The centre of the circle through three points; KQNoIntersectionPoint when
// they lie on one line.
NSPoint KQCircleCentreThroughPoints(NSPoint p1, NSPoint p2, NSPoint p3);

// --- Lines and curves ---

// The crossing of the infinite lines a1-a2 and b1-b2; KQNoIntersectionPoint
// for parallel lines and for vertical ones.
NSPoint KQIntersectionOfLines(NSPoint a1, NSPoint a2, NSPoint b1, NSPoint b2);
// The crossing point when it lies on the first segment (only that segment's
// parameter is bounded); otherwise KQNoIntersectionPoint.
NSPoint KQIntersectionOfLineSegments(NSPoint a1, NSPoint a2, NSPoint b1, NSPoint b2);
NSPoint KQNearestPointOnLineSegment(NSPoint p, NSPoint a, NSPoint b);
// The point of the cubic (four control points) nearest to p; t, when given,
// receives its parameter.
NSPoint KQNearestPointOnCubicBezier(const NSPoint controlPoints[4], NSPoint p, CGFloat* t = nullptr);
// The point at t by de Casteljau for degrees 0 to 5 (other degrees answer the
// zero point). left and right, when given, receive degree + 1 points: the
// control points of the parts from 0 to t and from t to 1.
NSPoint KQBezierPointAtParameter(const NSPoint* controlPoints, int degree, CGFloat t, NSPoint* left = nullptr,
                                 NSPoint* right = nullptr);
// The roots in [0, 1] of a degree-5 Bézier function (six control points,
// x = k / 5); roots receives at most 5 of them. Answers their number.
int KQFindRoots(const NSPoint controlPoints[6], CGFloat roots[5], int depth);
// Radians, the direction of the cubic's derivative at t (clamped to [0, 1]).
CGFloat KQTangentAngleOfCubicBezier(const NSPoint controlPoints[4], CGFloat t);

// --- Rectangles ---
// Handles: 0-3 the middles of the bottom, left, top and right edges, 4-7 the
// corners bottom-left, bottom-right, top-right, top-left, 8 the centre
// (y grows upwards).

NSRect KQRectAtPoint(NSPoint p);
NSRect KQRectCenteredAtOrigin(NSSize size);
NSRect KQRectCenteredAtPoint(const NSRect& rect, NSPoint p);
NSRect KQRectFromPoints(NSPoint p1, NSPoint p2);
// Negative sizes made positive, the origin moved by them.
NSRect KQNormalizedRect(const NSRect& rect);
NSRect KQRectIncludingPoint(const NSRect& rect, NSPoint p);
NSRect KQUnionOfRects(const NSRect& r1, const NSRect& r2);
NSRect KQScaleRect(const NSRect& rect, CGFloat sx, CGFloat sy);
// With centre: whether r1's centre lies in r2; otherwise whether they overlap.
bool KQRectHitsRect(const NSRect& r1, const NSRect& r2, bool centre);
// Whether p lies in any of the rectangles (NSValue elements).
bool KQPointInAnyRect(const Ref<NSArray>& rects, NSPoint p);
bool KQRectsEqualWithTolerance(const NSRect& r1, const NSRect& r2, CGFloat tolerance);
// 0 minimum x, 1 minimum y, 2 maximum x, 3 maximum y; other edges 0.
CGFloat KQEdgeCoordinateOfRect(const NSRect& rect, NSInteger edge);
// An unknown handle gives the origin.
NSPoint KQHandlePointOfRect(const NSRect& rect, NSInteger handle);
bool KQIsCornerHandle(NSInteger handle);
// -1 for an unknown handle; the centre is its own opposite.
NSInteger KQOppositeHandle(NSInteger handle);
NSPoint KQOppositeHandlePointOfRect(const NSRect& rect, NSInteger handle);
// The first handle whose point equals p exactly, else -1.
NSInteger KQHandleAtPoint(const NSRect& rect, NSPoint p);
// Moves the handle to p and answers the handle that now lies at p: a handle
// dragged across the opposite edge leaves the rectangle normalised and
// answers the mirrored handle. Unknown handles change nothing.
NSInteger KQMoveHandleOfRect(NSRect* rect, NSInteger handle, NSPoint p);
// The source's size placed in the destination by an image alignment number:
// 0 centre, 1 top, 2 top-left, 3 top-right, 4 left, 5 bottom, 6 bottom-left,
// 7 bottom-right, 8 right; unknown numbers centre.
NSRect KQAlignSizeInRect(NSInteger alignment, const NSRect& source, const NSRect& destination);
// Scaling 0 shrinks proportionally only a source that does not fit, 1 scales
// proportionally either way, any other number takes the destination's size;
// then aligned by KQAlignSizeInRect.
NSRect KQFitRectInRect(const NSRect& source, const NSRect& destination, NSInteger scaling, NSInteger alignment);
