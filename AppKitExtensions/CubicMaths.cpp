#include "AppKitExtensions/CubicMaths.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace CubicMaths {

namespace {

// Deeper halvings cannot change a length measured in single precision.
constexpr int kMaxCurveDepth = 24;
constexpr CGFloat kRelativeErrorFloor = 1e-12;
// Bisection steps when splitting a curve at a length: past this t no longer
// changes in double precision.
constexpr int kMaxSplitSteps = 64;

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

CGFloat cubicLength(const Cubic& c, CGFloat error, int depth)
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
    return cubicLength(left, error, depth + 1) + cubicLength(right, error, depth + 1);
}

// Bisection on t until the left part measures length within error. With a
// memo (the left parts' measures of this one curve by t, sorted), later
// splits of the same curve at other lengths reuse the measures they share.
void splitCubicAtLength(const Cubic& c, CGFloat length, CGFloat error, Cubic& left, Cubic& right,
                        std::vector<std::pair<CGFloat, CGFloat>>* memo)
{
    auto measure = [&](CGFloat t) {
        if (!memo) return cubicLength(left, error / 2, 0);
        auto at = std::lower_bound(memo->begin(), memo->end(), t,
                                   [](const std::pair<CGFloat, CGFloat>& m, CGFloat key) { return m.first < key; });
        if (at != memo->end() && at->first == t) return at->second;
        CGFloat measured = cubicLength(left, error / 2, 0);
        memo->insert(at, {t, measured});
        return measured;
    };
    CGFloat lower = 0, upper = 1, t = 0.5;
    for (int step = 0; step < kMaxSplitSteps; ++step) {
        splitCubic(c, t, left, right);
        CGFloat measured = measure(t);
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

}
