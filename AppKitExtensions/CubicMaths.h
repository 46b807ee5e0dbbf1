#pragma once
// Cubic Bezier segments measured and split the way the path extension needs:
// lengths in single precision (as the platform measures them) to a given
// error, splits at a parameter or at a length along the curve.
#include "Foundation/NSGeometry.h"

namespace CubicMaths {

struct Cubic {
    NSPoint p[4];
};

// Straight distances in single precision, widened. NaN coordinates measure
// 0, so that a length is always a number.
CGFloat straightDistance(NSPoint a, NSPoint b);
// de Casteljau at t.
void splitCubic(const Cubic& c, CGFloat t, Cubic& left, Cubic& right);
// The length within error, halving the curve until its chord and control
// polygon agree.
CGFloat cubicLength(const Cubic& c, CGFloat error);
// Bisection on t until the left part measures length within error.
void splitCubicAtLength(const Cubic& c, CGFloat length, CGFloat error, Cubic& left, Cubic& right);

}
