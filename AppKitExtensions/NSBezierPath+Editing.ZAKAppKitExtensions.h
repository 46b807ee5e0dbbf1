#pragma once
// Editing a path point by point, as a drawing editor does. Every point has a
// partcode: (element index + 1) x 4 + point index (0-2; only 0 for move-to
// and line-to), so 0 names nothing and 4 the first point. On-path points are
// those of move-to and line-to and a curve's end point; a curve's control
// point 1 belongs to the joint at its start, control point 2 to its end.
//
// Methods named bezierPath..., deletion and insertion answer new paths and
// leave the receiver alone; moveControlPointPartcode changes the receiver.
#include <cstdint>

#include "AppKit/NSBezierPath.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSSet.h"

namespace NSBezierPathExt {

enum ZAKPathMoveOptions : NSUInteger {
    // The opposite handle at a joint follows, keeping its own length...
    kZAKPathMoveKeepsHandlesInLine = 1,
    // ...or mirroring the moved one exactly.
    kZAKPathMoveMirrorsHandles = 2,
    // The direction from the reference point snaps to the constraint angle.
    kZAKPathMoveConstrainsAngle = 4,
    // Moving a curve's end point also moves its control point 1.
    kZAKPathMoveCarriesControlPoint1 = 0x1000,
};

inline NSInteger partcodeForElement(NSInteger elementIndex) { return elementIndex * 4 + 4; }
inline NSInteger partcodeForElementControlPoint(NSInteger elementIndex, NSInteger pointIndex)
{
    return elementIndex * 4 + (pointIndex & 3) + 4;
}

// --- Point functions ---

// Radians; 15 degrees until set.
void setConstraintAngle(CGFloat radians);
CGFloat constraintAngle();
// The point mirrored through the centre.
NSPoint colinearPointForPoint(NSPoint point, NSPoint centre);
// The point opposite the given one through the centre, at radius from it.
NSPoint colinearPointForPoint(NSPoint point, NSPoint centre, CGFloat radius);
// The first (reverse: last) point whose square of side tolerance centred on
// it holds p; NSNotFound when none does.
NSUInteger pointInNSPointArray(NSPoint p, const NSPoint* points, NSUInteger count, CGFloat tolerance,
                               bool reverse = false);
// Puts handles A and B (points[0], points[2]) on one line through the vertex
// (points[1]) at their old distances; either output may be null.
void colineariseVertex(const NSPoint points[3], NSPoint* cpA, NSPoint* cpB);
// De Casteljau at t: left[3] and right[0] are the split point.
void subdivideBezierAtT(const NSPoint bezier[4], NSPoint left[4], NSPoint right[4], CGFloat t);

// --- Queries ---

// A shape checksum over coordinates rounded to whole units: (element count
// << 5) XOR 0x95DD8B3, then per element its type << 10 and the rounded
// coordinates of three point slots, XORed. Different shapes can share it.
uint64_t checksum(const Ref<NSBezierPath>& path);
void getPathMoveToCount(const Ref<NSBezierPath>& path, NSInteger* moveTo, NSInteger* lineTo, NSInteger* curveTo,
                        NSInteger* closePath);
// The element type of a partcode; a close-path for an element outside the path.
NSBezierPathElement elementTypeForPartcode(const Ref<NSBezierPath>& path, NSInteger partcode);
// The zero point for a partcode naming no point.
NSPoint controlPointForPartcode(const Ref<NSBezierPath>& path, NSInteger partcode);
void setControlPoint(const Ref<NSBezierPath>& path, NSPoint point, NSInteger partcode);
bool isOnPathPartcode(const Ref<NSBezierPath>& path, NSInteger partcode);
NSInteger partcodeForLastPoint(const Ref<NSBezierPath>& path);
bool isOpenEndPoint(const Ref<NSBezierPath>& path, NSInteger partcode);
bool isHeadOrTailPoint(const Ref<NSBezierPath>& path, NSInteger elementIndex);
// The subpath's move-to (flag 1: the element after it); -1 when none.
NSInteger subpathStartingElementForElement(const Ref<NSBezierPath>& path, NSInteger index, NSUInteger flags = 0);
// The subpath's last element before the next move-to. At a close-path, flag
// 0x1000 answers the element before it; flag 1 the element after it unless
// that is a move-to or the end of the path, else the one before it.
NSInteger subpathEndingElementForElement(const Ref<NSBezierPath>& path, NSInteger index, NSUInteger flags = 0);
// Radians.
CGFloat tangentAtStartOfSubpath(const Ref<NSBezierPath>& path, NSInteger elementIndex);
CGFloat tangentAtEndOfSubpath(const Ref<NSBezierPath>& path, NSInteger elementIndex);

// --- Hit testing ---

// The partcode of the point within tolerance of p, or 0; with priority
// on-path points win over control points.
NSInteger partcodeHitByPoint(const Ref<NSBezierPath>& path, NSPoint p, CGFloat tolerance,
                             NSInteger startingFromElement = 0, bool prioritiseOnPathPoints = false);
// The element whose segment passes within tolerance of p, with the curve
// parameter and the nearest point (null outputs skipped); 0 for a move-to,
// -1 when none.
NSInteger elementHitByPoint(const Ref<NSBezierPath>& path, NSPoint p, CGFloat tolerance, CGFloat* t,
                            NSPoint* nearest = nullptr);
NSPoint nearestPointToPoint(const Ref<NSBezierPath>& path, NSPoint p, CGFloat tolerance);
NSInteger elementBoundsContainsPoint(const Ref<NSBezierPath>& path, NSPoint p, CGFloat tolerance);
NSRect boundingBoxForElement(const Ref<NSBezierPath>& path, NSInteger elementIndex);
// The rectangles (values) to redraw when that point moves.
Ref<NSSet> boundingBoxesForPartcode(const Ref<NSBezierPath>& path, NSInteger partcode);
Ref<NSSet> allBoundingBoxes(const Ref<NSBezierPath>& path);
// Strokes every element's box in red, one device pixel wide (debugging).
void drawElementsBoundingBoxes(const Ref<NSBezierPath>& path);

// --- Editing ---

void moveControlPointPartcode(const Ref<NSBezierPath>& path, NSInteger partcode, NSPoint point, NSUInteger options);
NSPoint referencePointForConstrainedPartcode(const Ref<NSBezierPath>& path, NSInteger partcode);
// Only on-path points can go; any other partcode answers the receiver.
Ref<NSBezierPath> deleteControlPointForPartcode(const Ref<NSBezierPath>& path, NSInteger partcode);
// Splits the element hit at the point: type 1 or 3 makes the first piece of
// a curve a line, 2 or 3 makes the pieces of a line curves. Nil when no
// element is hit.
Ref<NSBezierPath> insertControlPointAtPoint(const Ref<NSBezierPath>& path, NSPoint p, CGFloat tolerance,
                                            NSBezierPathElement type);
Ref<NSBezierPath> bezierPathByRemovingTrailingElements(const Ref<NSBezierPath>& path, NSInteger count);
Ref<NSBezierPath> bezierPathByStrippingRedundantElements(const Ref<NSBezierPath>& path);
// The receiver for an index past the end. A removed element leaves a move-to
// to its point; a later close-path of that subpath becomes a line-to back
// to its start.
Ref<NSBezierPath> bezierPathByRemovingElementAtIndex(const Ref<NSBezierPath>& path, NSInteger index);
Ref<NSBezierPath> bezierPathByRemovingElementsAtIndexes(const Ref<NSBezierPath>& path, const Ref<NSIndexSet>& indexes);

}
