// Measuring and splitting cubic Bezier curves: the arithmetic under path
// lengths, trimming and text along paths.
#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "Foundation/NSGeometry.h"

namespace CubicMaths {

struct Cubic {
    NSPoint p[4];
};

// Straight distances in single precision, widened. NaN coordinates measure
// 0, so that a length is always a number. The arithmetic is hypotf's (the
// squares of floats are exact in double, one rounding to float), inline:
// measuring curves takes millions of these.
inline CGFloat straightDistance(NSPoint a, NSPoint b)
{
    const float dx = static_cast<float>(b.x - a.x), dy = static_cast<float>(b.y - a.y);
    if (std::isinf(dx) || std::isinf(dy)) return HUGE_VAL;
    const CGFloat d = static_cast<float>(std::sqrt(double(dx) * dx + double(dy) * dy));
    return std::isnan(d) ? 0 : d;
}

// The two halves of a curve split at parameter t.
void splitCubic(const Cubic& c, CGFloat t, Cubic& left, Cubic& right);

// The curve's length within error, by halving; depth counts the halvings so far.
CGFloat cubicLength(const Cubic& c, CGFloat error, int depth);

// Splits a curve where its left part measures length within error; memo, when
// given, keeps the left parts' measures of this one curve by t for later splits.
void splitCubicAtLength(const Cubic& c, CGFloat length, CGFloat error, Cubic& left, Cubic& right,
                        std::vector<std::pair<CGFloat, CGFloat>>* memo = nullptr);

}
