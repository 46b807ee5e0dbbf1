#pragma once
// Path measurement: lengths within a maximum error, the point and slope at a
// length, first and last points, start and end angles, closed and
// rectangular tests, iterators, and trimming by length. Shapes: rounded
// rectangles, printer's marks and crosses. Help paths: thin guide lines and
// fills drawn on whole device pixels.
//
// Lengths are doubles, but every straight distance (line, closing line,
// chord and control polygon of a curve) is computed in single precision and
// widened. Slopes are radians, startAngle and endAngle degrees. After a
// close-path the current point is the subpath's start. Methods without a
// maximum error use 0.1.
#include <utility>
#include <vector>

#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSBezierPath.h"
#include "AppKitExtensions/ZAKBezierPathIterator.h"

namespace NSBezierPathExt {

// --- Points and angles ---

// The point of the first or last element (a curve's end point); the zero
// point for a close-path or an empty path.
NSPoint firstPoint(const Ref<NSBezierPath>& path);
NSPoint lastPoint(const Ref<NSBezierPath>& path);
// Degrees: the direction of the first drawn segment.
CGFloat startAngle(const Ref<NSBezierPath>& path);
// Degrees: startAngle of the reversed path.
CGFloat endAngle(const Ref<NSBezierPath>& path);
// Radians, from element 0's point to element 1's first point; 0 for fewer
// than two elements.
CGFloat slopeStartingPath(const Ref<NSBezierPath>& path);
// The first element end point whose x and y both lie strictly within padding
// of point; point itself when none does.
NSPoint positionOfPointAtPoint(const Ref<NSBezierPath>& path, NSPoint point, CGFloat padding);
// The point at a length along the path, and the slope there (radians) when
// slope is given. Fewer than two elements: the zero point, slope untouched.
NSPoint pointOnPathAtLength(const Ref<NSBezierPath>& path, CGFloat length, CGFloat* slope);

// --- Tests ---

// Whether an element from index to the end is a close-path.
bool subpathContainingElementIsClosed(const Ref<NSBezierPath>& path, NSInteger index);
bool isPathClosed(const Ref<NSBezierPath>& path);
// No curves, and every point lies on the x and the y of a side of the
// bounds. A loose test: a diagonal line passes.
bool isRectangular(const Ref<NSBezierPath>& path);

// --- Lengths ---

CGFloat length(const Ref<NSBezierPath>& path);
// An error of 0 or less (or NaN) measures curves as finely as single
// precision resolves, at most 24 halvings deep.
CGFloat lengthWithMaximumError(const Ref<NSBezierPath>& path, CGFloat maximumError);
// -1 for an index outside the path; 0 for a move-to and for element 0.
CGFloat lengthOfElement(const Ref<NSBezierPath>& path, NSInteger index);
// The sum of lengthOfElement over both ends' range, clamped to the path.
CGFloat lengthOfPathFromElement(const Ref<NSBezierPath>& path, NSInteger start, NSInteger end);

// --- Iterators ---

Ref<ZAKBezierPathIterator> pathIterator(const Ref<NSBezierPath>& path);
// Sets the class's default flatness to flatness and leaves it so; a flatness
// other than 0 iterates the flattened path, reverse its reversal. A NaN
// flatness changes nothing and iterates the path as it is.
Ref<ZAKBezierPathIterator> pathIteratorWithTransform(const Ref<NSBezierPath>& path,
                                                     const Ref<NSAffineTransform>& transform, CGFloat flatness,
                                                     bool reverse);

// --- Trimming (new paths; lengths below 0 count as 0) ---

// The first length of the path; the path itself when it is not longer.
Ref<NSBezierPath> bezierPathByTrimmingToLength(const Ref<NSBezierPath>& path, CGFloat length);
Ref<NSBezierPath> bezierPathByTrimmingToLength(const Ref<NSBezierPath>& path, CGFloat length, CGFloat maximumError);
// The path without its first length; the path itself for a length of 0.
Ref<NSBezierPath> bezierPathByTrimmingFromLength(const Ref<NSBezierPath>& path, CGFloat length);
Ref<NSBezierPath> bezierPathByTrimmingFromLength(const Ref<NSBezierPath>& path, CGFloat length, CGFloat maximumError);
// The stretch of keptLength that begins at start.
Ref<NSBezierPath> bezierPathByTrimmingFromLengthToLength(const Ref<NSBezierPath>& path, CGFloat start,
                                                         CGFloat keptLength);
Ref<NSBezierPath> bezierPathByTrimmingFromLengthToLength(const Ref<NSBezierPath>& path, CGFloat start,
                                                         CGFloat keptLength, CGFloat maximumError);
Ref<NSBezierPath> bezierPathByTrimmingFromBothEnds(const Ref<NSBezierPath>& path, CGFloat length);
Ref<NSBezierPath> bezierPathByTrimmingFromBothEnds(const Ref<NSBezierPath>& path, CGFloat length, CGFloat maximumError);
// The path with length cut out of its middle: two pieces in one path.
Ref<NSBezierPath> bezierPathByTrimmingFromCentre(const Ref<NSBezierPath>& path, CGFloat length);
Ref<NSBezierPath> bezierPathByTrimmingFromCentre(const Ref<NSBezierPath>& path, CGFloat length, CGFloat maximumError);

// Where bezierPathByTrimmingFromLength(path, d) (default error) starts and
// the slope of its first segment (slopeStartingPath), for ascending d, in
// one walk along the path instead of one per distance.
class PathTrimCursor {
public:
    explicit PathTrimCursor(const Ref<NSBezierPath>& path);
    // Distances must not decrease. False when nothing of the path is left
    // beyond the distance.
    bool startAt(CGFloat distance, NSPoint& point, CGFloat& slope);

private:
    Ref<NSBezierPath> m_path;
    size_t m_index = 0;            // the element the walk stands at
    CGFloat m_walked = 0;          // the length before it
    CGFloat m_elementLength = -1;  // its length, once measured
    // Its left parts' measures by split position, shared by the distances
    // that fall on it.
    std::vector<std::pair<CGFloat, CGFloat>> m_measured;
    NSPoint m_current{}, m_start{};
};

// --- Shapes (class forms answer new paths, the others append) ---

// A move-to the first point and a line-to the second.
Ref<NSBezierPath> bezierPathWithLineFrom(NSPoint from, NSPoint to);
Ref<NSBezierPath> bezierPathWithRoundedRectangle(const NSRect& rect, CGFloat radius);
// From the middle of the top edge, counterclockwise, a tangent arc of the
// radius at each corner, closed.
void appendBezierPathWithRoundedRectangle(const Ref<NSBezierPath>& path, const NSRect& rect, CGFloat radius);
// Only the left corners rounded; starts at the middle of the top edge.
void appendBezierPathWithLeftRoundedRectangle(const Ref<NSBezierPath>& path, const NSRect& rect, CGFloat radius);
// Only the right corners rounded; starts at the middle of the bottom edge.
void appendBezierPathWithRightRoundedRectangle(const Ref<NSBezierPath>& path, const NSRect& rect, CGFloat radius);
// Two strokes from a corner along its two edges. Corners are numbered as the
// rectangle handles: 4 bottom left, 5 bottom right, 6 top right, 7 top left;
// any other number gives an empty path.
Ref<NSBezierPath> bezierPathWithBleedMarkInRect(const NSRect& rect, int32_t originPointIndex);
// Two circles (the rectangle inset by a quarter and by a third) with the
// inner one's diameters and four ticks from the edges to the outer circle.
Ref<NSBezierPath> bezierPathWithCropMarkInRect(const NSRect& rect);
// The vertical and horizontal centre lines.
Ref<NSBezierPath> bezierPathWithCrossInRect(const NSRect& rect);
// The two diagonals.
Ref<NSBezierPath> bezierPathWith45CrossInRect(const NSRect& rect);

// --- Help paths ---
// Drawn in device space with every point moved to the centre of its pixel,
// so that thin lines cover whole pixels. The device pixel grid is taken y up
// from the device's bottom left, as Quartz's is, so points snap to the same
// pixels on every destination. The current matrix is unchanged afterwards.
// Drawing without antialiasing switches it off and then on, whatever it was
// before; drawing with antialiasing leaves the setting alone.

// Line width 0 (one device pixel), no antialiasing.
void strokeAsHelpPath(const Ref<NSBezierPath>& path);
// Without antialiasing.
void fillAsHelpPath(const Ref<NSBezierPath>& path);
// Width in device pixels.
void strokeAsHelpPathWithLineWidth(const Ref<NSBezierPath>& path, CGFloat width, bool antiAliasing);
void fillAsHelpPathWithAntiAliasing(const Ref<NSBezierPath>& path, bool antiAliasing);
// Replaces every point of a device-space path (end and control points) by
// (round(x) + 0.5, round(y) + 0.5), rounded in single precision.
void _normalizeBezierPath(const Ref<NSBezierPath>& devicePath);

}
