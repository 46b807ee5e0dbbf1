#include "AppKitExtensions/CubicMaths.h"

#include <algorithm>
#include <cmath>

namespace CubicMaths {

namespace {

// Deeper halvings cannot change a length measured in single precision.
constexpr int kMaxCurveDepth = 24;
constexpr CGFloat kRelativeErrorFloor = 1e-12;
// Bisection steps when splitting a curve at a length: past this t no longer
// changes in double precision.
constexpr int kMaxSplitSteps = 64;

CGFloat lengthAtDepth(const Cubic& c, CGFloat error, int depth)
{
    CGFloat chord = straightDistance(c.p[0], c.p[3]);
    CGFloat polygon =
        straightDistance(c.p[0], c.p[1]) + straightDistance(c.p[1], c.p[2]) + straightDistance(c.p[2], c.p[3]);
    // Doubles hold the length to about a million-millionth of the curve's
    // size; asking for more (an error of 0) would only split every curve
    // down to the depth bound, millions of pieces, for no better answer.
    if (depth == 0) error = std::max(error, polygon * kRelativeErrorFloor);
    // An infinite chord and polygon give a NaN difference: nothing to refine.
    if (!(polygon - chord > error) || depth >= kMaxCurveDepth) return (chord + polygon) / 2;
    Cubic left, right;
    splitCubic(c, 0.5, left, right);
    return lengthAtDepth(left, error, depth + 1) + lengthAtDepth(right, error, depth + 1);
}

}

CGFloat straightDistance(NSPoint a, NSPoint b)
{
    CGFloat d = hypotf(static_cast<float>(b.x - a.x), static_cast<float>(b.y - a.y));
    return std::isnan(d) ? 0 : d;
}

void splitCubic(const Cubic& c, CGFloat t, Cubic& left, Cubic& right)
{
    auto mix = [t](NSPoint a, NSPoint b) { return NSPoint{a.x * (1 - t) + b.x * t, a.y * (1 - t) + b.y * t}; };
    NSPoint q0 = mix(c.p[0], c.p[1]), q1 = mix(c.p[1], c.p[2]), q2 = mix(c.p[2], c.p[3]);
    NSPoint r0 = mix(q0, q1), r1 = mix(q1, q2);
    NSPoint s = mix(r0, r1);
    left = {{c.p[0], q0, r0, s}};
    right = {{s, r1, q2, c.p[3]}};
}

void splitCubicAtLength(const Cubic& c, CGFloat length, CGFloat error, Cubic& left, Cubic& right)
{
    CGFloat lower = 0, upper = 1, t = 0.5;
    for (int step = 0; step < kMaxSplitSteps; ++step) {
        splitCubic(c, t, left, right);
        CGFloat measured = cubicLength(left, error / 2);
        if (std::fabs(length - measured) < error) return;
        CGFloat next;
        if (length > measured) {
            lower = t;
            next = (t + upper) / 2;
        } else {
            upper = t;
            next = (t + lower) / 2;
        }
        if (next == t) return;
        t = next;
    }
}

CGFloat cubicLength(const Cubic& c, CGFloat error) { return lengthAtDepth(c, error, 0); }

}
