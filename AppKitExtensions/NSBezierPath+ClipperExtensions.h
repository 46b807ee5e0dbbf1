#pragma once
// Boolean operations on paths and offsets of their outlines, through the
// Clipper polygon library. Paths are treated as filled areas with the
// even-odd rule (open subpaths count as closed); results are new paths of
// straight closed subpaths on a 0.1 grid. A failure (NaN or coordinates
// beyond Clipper's range) gives an empty path.
#include "AppKit/NSBezierPath.h"

namespace NSBezierPathExt {

enum ZAKBooleanOperation : NSInteger {
    ZAKBooleanIntersection = 0,
    ZAKBooleanUnion = 1,
    ZAKBooleanDifference = 2,
    ZAKBooleanExclusiveOr = 3,
};

Ref<NSBezierPath> bezierPathByIntersectingPath(const Ref<NSBezierPath>& path, const Ref<NSBezierPath>& other);
Ref<NSBezierPath> bezierPathByUnionWithPath(const Ref<NSBezierPath>& path, const Ref<NSBezierPath>& other);
// The receiver minus other.
Ref<NSBezierPath> bezierPathByDifferenceWithPath(const Ref<NSBezierPath>& path, const Ref<NSBezierPath>& other);
Ref<NSBezierPath> bezierPathByXORWithPath(const Ref<NSBezierPath>& path, const Ref<NSBezierPath>& other);
// The receiver is the subject, other the clip; an unknown operation gives an
// empty path.
Ref<NSBezierPath> bezierPathByApplyingBooleanOperation(const Ref<NSBezierPath>& path, NSInteger operation,
                                                       const Ref<NSBezierPath>& other);

// The outline moved outwards by delta (inwards when negative); holes shrink
// as outlines grow. A delta of exactly 0 answers the receiver itself. Miter
// limits below 2 act as 2.
Ref<NSBezierPath> bezierPathWithOffset(const Ref<NSBezierPath>& path, CGFloat delta, NSLineJoinStyle joinStyle,
                                       CGFloat miterLimit);
// With the receiver's line join style and miter limit.
Ref<NSBezierPath> bezierPathWithOffset(const Ref<NSBezierPath>& path, CGFloat delta);

// Whether the path has a close-path.
bool isClosed(const Ref<NSBezierPath>& path);

}
