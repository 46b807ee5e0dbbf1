#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "Foundation/NSString.h"
#include "Foundation/NSValue.h"
#include "FoundationExtensions/NSGeometry+KQFoundationExtensions.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.141592653589793;

void expectPointNear(NSPoint actual, NSPoint expected, double eps, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, eps) << what;
    EXPECT_NEAR(actual.y, expected.y, eps) << what;
}

void expectRectNear(const NSRect& actual, const NSRect& expected, const char* what, double eps = 1e-9)
{
    EXPECT_NEAR(actual.origin.x, expected.origin.x, eps) << what;
    EXPECT_NEAR(actual.origin.y, expected.origin.y, eps) << what;
    EXPECT_NEAR(actual.size.width, expected.size.width, eps) << what;
    EXPECT_NEAR(actual.size.height, expected.size.height, eps) << what;
}

NSPoint cubicAt(const NSPoint v[4], double t)
{
    double u = 1 - t;
    return {u * u * u * v[0].x + 3 * u * u * t * v[1].x + 3 * u * t * t * v[2].x + t * t * t * v[3].x,
            u * u * u * v[0].y + 3 * u * u * t * v[1].y + 3 * u * t * t * v[2].y + t * t * t * v[3].y};
}

}

TEST(KQGeometry, DistancesAndAnglesAreSinglePrecisionWidened)
{
    // The narrowed difference, not the difference of narrowed coordinates.
    EXPECT_EQ(KQDistanceBetweenPoints({0, 0}, {0.1, 0}), 0.10000000149011612);
    EXPECT_EQ(KQDistanceBetweenPoints({1e8, 0}, {1e8 + 0.1, 0}),
              static_cast<double>(static_cast<float>(1e8 + 0.1 - 1e8)));
    EXPECT_EQ(KQDistanceBetweenPoints({1, 1}, {4, 5}), 5.0);
    EXPECT_EQ(KQAngleBetweenPoints({0, 0}, {1, 1}), static_cast<double>(0.785398185f));
    EXPECT_EQ(KQAngleBetweenPoints({0, 0}, {0, 10}), static_cast<double>(1.57079637f));
    EXPECT_EQ(KQAngleBetweenPoints({0, 0}, {-1, 0}), static_cast<double>(3.14159274f));
    // Turning from east to north: 0 - pi/2, in single precision.
    EXPECT_EQ(KQTurningAngle({0, 0}, {1, 0}, {1, 1}), static_cast<double>(-1.57079637f));
}

TEST(KQGeometry, PointArithmetic)
{
    EXPECT_DOUBLE_EQ(KQDistanceRatio({0, 0}, {1, 0}, {3, 0}), 0.5);
    EXPECT_EQ(KQDistanceRatio({0, 0}, {1, 0}, {1, 0}), 0.0);
    EXPECT_EQ(KQMidPoint({0, 0}, {4, -2}), NSMakePoint(2, -1));
    EXPECT_EQ(KQInterpolatePoints({1, 1}, {5, 9}, 0.25), NSMakePoint(2, 3));
    EXPECT_EQ(KQInterpolatePoints({1, 1}, {5, 9}, 1.5), NSMakePoint(7, 13));
    EXPECT_EQ(KQAddPoints({1, 2}, {3, 4}), NSMakePoint(4, 6));
    EXPECT_EQ(KQSubtractPoints({1, 2}, {3, 5}), NSMakePoint(-2, -3));
    EXPECT_EQ(KQDotProduct({1, 2}, {3, 4}), 11.0);
    EXPECT_EQ(KQSquaredLength({3, 4}), 25.0);
    EXPECT_EQ(KQSquaredDistance({1, 1}, {4, 5}), 25.0);
    EXPECT_TRUE(KQPointsEqualWithTolerance({1, 1}, {1.5, 0.5}, 0.5));
    EXPECT_FALSE(KQPointsEqualWithTolerance({1, 1}, {1.5, 0.4}, 0.5));
}

TEST(KQGeometry, SnapAngleTo45Degrees)
{
    struct Case {
        double degrees, snapped;
    } cases[] = {
        {0, 0},       {22.5, 0},    {22.6, 45}, {67.5, 45}, {67.6, 90}, {100, 90}, {180, 180}, {292.5, 270},
        {292.6, 315}, {337.5, 315}, {340, 0},   {359.9, 0}, {-10, 0},   {-30, 0},  {400, 0},   {kNaN, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(KQSnapAngleTo45Degrees(c.degrees), c.snapped) << c.degrees;
}

TEST(KQGeometry, IntersectionsAndCircleCentres)
{
    struct Case {
        const char* what;
        NSPoint result, expected;
    } cases[] = {
        {"lines crossing", KQIntersectionOfLines({0, 0}, {1, 1}, {0, 2}, {2, 0}), {1, 1}},
        {"lines crossing beyond their points", KQIntersectionOfLines({0, 0}, {1, 0}, {5, 1}, {6, 2}), {4, 0}},
        {"vertical line", KQIntersectionOfLines({1, 0}, {1, 5}, {0, 0}, {5, 5}), KQNoIntersectionPoint},
        {"parallel lines", KQIntersectionOfLines({0, 0}, {1, 1}, {0, 1}, {1, 2}), KQNoIntersectionPoint},
        {"equal lines", KQIntersectionOfLines({0, 0}, {1, 1}, {2, 2}, {3, 3}), KQNoIntersectionPoint},
        {"segments crossing", KQIntersectionOfLineSegments({0, 0}, {10, 10}, {0, 10}, {10, 0}), {5, 5}},
        {"parallel segments", KQIntersectionOfLineSegments({0, 0}, {10, 0}, {0, 1}, {10, 1}), KQNoIntersectionPoint},
        {"first segment would need extending", KQIntersectionOfLineSegments({0, 0}, {1, 1}, {0, 10}, {10, 0}),
         KQNoIntersectionPoint},
        {"first segment extended backwards", KQIntersectionOfLineSegments({6, 6}, {10, 10}, {0, 10}, {10, 0}),
         KQNoIntersectionPoint},
        // Only the first segment's parameter is bounded.
        {"crossing outside the second segment",
         KQIntersectionOfLineSegments({0, 0}, {10, 10}, {0, 10}, {1, 9}),
         {5, 5}},
        {"circle through three points", KQCircleCentreThroughPoints({1, 0}, {0, 1}, {-1, 0}), {0, 0}},
        {"circle off the origin", KQCircleCentreThroughPoints({5, 2}, {3, 4}, {1, 2}), {3, 2}},
        {"collinear points", KQCircleCentreThroughPoints({0, 0}, {1, 1}, {2, 2}), KQNoIntersectionPoint},
        {"equal points", KQCircleCentreThroughPoints({1, 1}, {1, 1}, {1, 1}), KQNoIntersectionPoint},
    };
    for (const Case& c : cases) expectPointNear(c.result, c.expected, 1e-9, c.what);
}

TEST(KQGeometry, NearestPointOnLineSegment)
{
    struct Case {
        NSPoint p, a, b, expected;
    } cases[] = {
        {{5, 5}, {0, 0}, {10, 0}, {5, 0}},   {{-3, 2}, {0, 0}, {10, 0}, {0, 0}}, {{13, -2}, {0, 0}, {10, 0}, {10, 0}},
        {{0, 10}, {0, 0}, {10, 10}, {5, 5}}, {{7, 7}, {3, 3}, {3, 3}, {3, 3}},
    };
    for (const Case& c : cases)
        expectPointNear(KQNearestPointOnLineSegment(c.p, c.a, c.b), c.expected, 1e-6, "segment");
}

TEST(KQGeometry, NearestPointOnCubicBezier)
{
    const NSPoint arch[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    struct Case {
        const char* what;
        NSPoint p;
        double t;
    } cases[] = {
        {"beyond the end point", {12, -5}, 1},
        {"before the start point", {-2, -5}, 0},
        {"on the curve", cubicAt(arch, 0.3), 0.3},
        {"above the top", {5, 20}, 0.5},
    };
    for (const Case& c : cases) {
        double t = -1;
        NSPoint nearest = KQNearestPointOnCubicBezier(arch, c.p, &t);
        EXPECT_NEAR(t, c.t, 1e-6) << c.what;
        expectPointNear(nearest, cubicAt(arch, c.t), 1e-6, c.what);
    }
    // Against brute force, for points all around an S curve.
    const NSPoint s[4] = {{0, 0}, {30, 0}, {-10, 20}, {20, 20}};
    for (double x = -10; x <= 30; x += 7)
        for (double y = -10; y <= 30; y += 7) {
            double best = std::numeric_limits<double>::max();
            for (int i = 0; i <= 20000; ++i) best = std::min(best, KQSquaredDistance(cubicAt(s, i / 20000.0), {x, y}));
            NSPoint nearest = KQNearestPointOnCubicBezier(s, {x, y}, nullptr);
            EXPECT_LE(std::sqrt(KQSquaredDistance(nearest, {x, y})), std::sqrt(best) + 1e-4) << x << "," << y;
        }
    // Four equal points: the point itself.
    const NSPoint dot[4] = {{2, 3}, {2, 3}, {2, 3}, {2, 3}};
    double t = -1;
    EXPECT_EQ(KQNearestPointOnCubicBezier(dot, {9, 9}, &t), NSMakePoint(2, 3));
    EXPECT_EQ(t, 0.0);
}

TEST(KQGeometry, BezierPointAtParameterSplitsTheCurve)
{
    const NSPoint v[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    NSPoint left[4], right[4];
    NSPoint p = KQBezierPointAtParameter(v, 3, 0.25, left, right);
    expectPointNear(p, cubicAt(v, 0.25), 1e-12, "point");
    EXPECT_EQ(left[0], v[0]);
    EXPECT_EQ(left[3], p);
    EXPECT_EQ(right[0], p);
    EXPECT_EQ(right[3], v[3]);
    // The halves are the same curve: the left part at 0.5 is the whole at 0.125.
    expectPointNear(cubicAt(left, 0.5), cubicAt(v, 0.125), 1e-12, "left part");
    expectPointNear(cubicAt(right, 0.5), cubicAt(v, 0.625), 1e-12, "right part");
    // Degree 1 is plain interpolation; unsupported degrees answer the zero point.
    EXPECT_EQ(KQBezierPointAtParameter(v, 1, 0.5), NSMakePoint(0, 5));
    EXPECT_EQ(KQBezierPointAtParameter(v, 6, 0.5), NSZeroPoint);
    EXPECT_EQ(KQBezierPointAtParameter(v, -1, 0.5), NSZeroPoint);
}

TEST(KQGeometry, FindRootsOfDegreeFiveFunctions)
{
    // Bernstein coefficients of polynomials raised to degree 5:
    // 1 -> 1, t -> k/5, t^2 -> k(k - 1)/20.
    auto function = [](double a2, double a1, double a0) {
        std::array<NSPoint, 6> w;
        for (int k = 0; k <= 5; ++k) w[k] = {k / 5.0, a2 * k * (k - 1) / 20.0 + a1 * k / 5.0 + a0};
        return w;
    };
    struct Case {
        const char* what;
        std::array<NSPoint, 6> w;
        std::vector<double> roots;
    } cases[] = {
        {"t - 0.3", function(0, 1, -0.3), {0.3}},
        {"(t - 0.2)(t - 0.7)", function(1, -0.9, 0.14), {0.2, 0.7}},
        {"no root in [0, 1]", function(1, 0, 1), {}},
        {"root outside [0, 1]", function(0, 1, 0.5), {}},
    };
    for (const Case& c : cases) {
        CGFloat roots[5];
        int count = KQFindRoots(c.w.data(), roots, 0);
        ASSERT_EQ(count, static_cast<int>(c.roots.size())) << c.what;
        for (int i = 0; i < count; ++i) EXPECT_NEAR(roots[i], c.roots[i], 1e-9) << c.what;
    }
    // A double root (a touching function) ends at the depth limit.
    CGFloat roots[5];
    EXPECT_LE(KQFindRoots(function(1, -1, 0.25).data(), roots, 0), 2);
}

TEST(KQGeometry, TangentAngleOfCubicBezier)
{
    const NSPoint hook[4] = {{0, 0}, {1, 0}, {2, 1}, {2, 2}};
    EXPECT_DOUBLE_EQ(KQTangentAngleOfCubicBezier(hook, 0), 0);
    EXPECT_DOUBLE_EQ(KQTangentAngleOfCubicBezier(hook, 1), kPi / 2);
    // t is clamped to [0, 1].
    EXPECT_DOUBLE_EQ(KQTangentAngleOfCubicBezier(hook, -4), 0);
    EXPECT_DOUBLE_EQ(KQTangentAngleOfCubicBezier(hook, 7), kPi / 2);
    EXPECT_DOUBLE_EQ(KQTangentAngleOfCubicBezier(hook, kNaN), 0);
}

TEST(KQGeometry, Rectangles)
{
    auto rects = NSArray::arrayWithObjects({NSValue::valueWithRect(NSMakeRect(0, 0, 5, 5)), "not a rectangle"_ns,
                                            NSValue::valueWithRect(NSMakeRect(10, 10, 5, 5))});
    struct Case {
        const char* what;
        NSRect result, expected;
    } cases[] = {
        {"at point", KQRectAtPoint({3, 4}), {{3, 4}, {0, 0}}},
        {"centred at origin", KQRectCenteredAtOrigin({4, 6}), {{-2, -3}, {4, 6}}},
        {"centred at point", KQRectCenteredAtPoint({{0, 0}, {4, 6}}, {10, 10}), {{8, 7}, {4, 6}}},
        {"from points", KQRectFromPoints({5, 1}, {2, 7}), {{2, 1}, {3, 6}}},
        {"normalised", KQNormalizedRect({{5, 5}, {-3, -2}}), {{2, 3}, {3, 2}}},
        {"normalised already", KQNormalizedRect({{5, 5}, {3, 2}}), {{5, 5}, {3, 2}}},
        {"including a point below left", KQRectIncludingPoint({{2, 2}, {4, 4}}, {0, 1}), {{0, 1}, {6, 5}}},
        {"including a point beyond", KQRectIncludingPoint({{2, 2}, {4, 4}}, {10, 9}), {{2, 2}, {8, 7}}},
        {"including a point inside", KQRectIncludingPoint({{2, 2}, {4, 4}}, {3, 3}), {{2, 2}, {4, 4}}},
        {"union", KQUnionOfRects({{0, 0}, {2, 2}}, {{5, -1}, {1, 1}}), {{0, -1}, {6, 3}}},
        {"scaled", KQScaleRect({{1, 2}, {3, 4}}, 2, 0.5), {{2, 1}, {6, 2}}},
    };
    for (const Case& c : cases) expectRectNear(c.result, c.expected, c.what);

    EXPECT_TRUE(KQRectHitsRect({{0, 0}, {10, 10}}, {{4, 4}, {2, 2}}, true));
    EXPECT_FALSE(KQRectHitsRect({{0, 0}, {10, 10}}, {{6, 6}, {2, 2}}, true));
    EXPECT_TRUE(KQRectHitsRect({{0, 0}, {10, 10}}, {{6, 6}, {2, 2}}, false));
    EXPECT_FALSE(KQRectHitsRect({{0, 0}, {10, 10}}, {{10, 0}, {2, 2}}, false));
    EXPECT_TRUE(KQPointInAnyRect(rects, {11, 11}));
    EXPECT_FALSE(KQPointInAnyRect(rects, {7, 7}));
    EXPECT_FALSE(KQPointInAnyRect(nullptr, {1, 1}));
    EXPECT_TRUE(KQRectsEqualWithTolerance({{0, 0}, {10, 10}}, {{0.1, -0.1}, {10.1, 9.9}}, 0.1000001));
    EXPECT_FALSE(KQRectsEqualWithTolerance({{0, 0}, {10, 10}}, {{0, 0}, {10, 10.2}}, 0.1));
    const NSRect r{{1, 2}, {3, 4}};
    EXPECT_EQ(KQEdgeCoordinateOfRect(r, 0), 1.0);
    EXPECT_EQ(KQEdgeCoordinateOfRect(r, 1), 2.0);
    EXPECT_EQ(KQEdgeCoordinateOfRect(r, 2), 4.0);
    EXPECT_EQ(KQEdgeCoordinateOfRect(r, 3), 6.0);
    EXPECT_EQ(KQEdgeCoordinateOfRect(r, 4), 0.0);
}

TEST(KQGeometry, RectangleHandles)
{
    const NSRect r{{0, 0}, {10, 20}};
    struct Case {
        NSInteger handle;
        NSPoint point;
        NSInteger opposite;
        bool corner;
    } cases[] = {
        {0, {5, 0}, 2, false},  {1, {0, 10}, 3, false}, {2, {5, 20}, 0, false},  {3, {10, 10}, 1, false},
        {4, {0, 0}, 6, true},   {5, {10, 0}, 7, true},  {6, {10, 20}, 4, true},  {7, {0, 20}, 5, true},
        {8, {5, 10}, 8, false}, {9, {0, 0}, -1, false}, {-1, {0, 0}, -1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KQHandlePointOfRect(r, c.handle), c.point) << c.handle;
        EXPECT_EQ(KQOppositeHandle(c.handle), c.opposite) << c.handle;
        EXPECT_EQ(KQIsCornerHandle(c.handle), c.corner) << c.handle;
        if (c.opposite >= 0) {
            EXPECT_EQ(KQOppositeHandlePointOfRect(r, c.handle), KQHandlePointOfRect(r, c.opposite)) << c.handle;
            EXPECT_EQ(KQHandleAtPoint(r, c.point), c.handle) << c.handle;
        }
    }
    EXPECT_EQ(KQHandleAtPoint(r, {3, 3}), -1);
}

TEST(KQGeometry, MovingHandles)
{
    struct Case {
        NSInteger handle;
        NSPoint to;
        NSRect expected;
        NSInteger answer;
    } cases[] = {
        {4, {15, 5}, {{10, 5}, {5, 5}}, 5},    // crosses in x
        {0, {5, 20}, {{0, 10}, {10, 10}}, 2},  // the bottom edge above the top
        {6, {5, 5}, {{0, 0}, {5, 5}}, 6},      // no crossing
        {6, {-5, -5}, {{-5, -5}, {5, 5}}, 4},  // crosses in both
        {5, {5, 15}, {{0, 10}, {5, 5}}, 6},    // crosses in y
        {7, {15, 5}, {{10, 0}, {5, 5}}, 6},    // crosses in x
        {1, {20, 3}, {{10, 0}, {10, 10}}, 3},  // side handles carry one edge
        {3, {4, 99}, {{0, 0}, {4, 10}}, 3},   {2, {5, -4}, {{0, -4}, {10, 4}}, 0},
        {8, {0, 0}, {{-5, -5}, {10, 10}}, 8},  // the centre moves the whole rectangle
        {9, {50, 50}, {{0, 0}, {10, 10}}, 9},  // unknown handles change nothing
    };
    for (const Case& c : cases) {
        NSRect r{{0, 0}, {10, 10}};
        EXPECT_EQ(KQMoveHandleOfRect(&r, c.handle, c.to), c.answer) << c.handle;
        expectRectNear(r, c.expected, "moved");
        // A corner or the centre ends exactly at the point dragged to.
        if (KQIsCornerHandle(c.handle) || c.handle == 8) {
            EXPECT_EQ(KQHandlePointOfRect(r, c.answer), c.to) << c.handle;
        }
    }
}

TEST(KQGeometry, AlignAndFit)
{
    const NSRect destination{{10, 20}, {100, 50}};
    const NSRect source{{0, 0}, {20, 10}};
    struct Align {
        NSInteger alignment;
        NSPoint origin;
    } alignments[] = {
        {0, {50, 40}}, {1, {50, 60}}, {2, {10, 60}}, {3, {90, 60}}, {4, {10, 40}},
        {5, {50, 20}}, {6, {10, 20}}, {7, {90, 20}}, {8, {90, 40}}, {42, {50, 40}},
    };
    for (const Align& a : alignments)
        expectRectNear(KQAlignSizeInRect(a.alignment, source, destination), {a.origin, {20, 10}}, "align");

    struct Fit {
        const char* what;
        NSRect source;
        NSInteger scaling;
        NSRect expected;
    } fits[] = {
        {"a source that fits keeps its size", {{0, 0}, {20, 10}}, 0, {{50, 40}, {20, 10}}},
        {"a wide source shrinks", {{0, 0}, {400, 50}}, 0, {{10, 38.75}, {100, 12.5}}},
        {"a tall source shrinks", {{0, 0}, {10, 100}}, 0, {{57.5, 20}, {5, 50}}},
        {"proportional scaling grows", {{0, 0}, {20, 5}}, 1, {{10, 32.5}, {100, 25}}},
        {"other scalings take the destination", {{0, 0}, {20, 5}}, 2, destination},
        {"a source without size stays so", {{0, 0}, {0, 0}}, 1, {{60, 45}, {0, 0}}},
    };
    for (const Fit& f : fits) expectRectNear(KQFitRectInRect(f.source, destination, f.scaling, 0), f.expected, f.what);
    const NSRect same{{3, 3}, {7, 7}};
    EXPECT_EQ(KQFitRectInRect(same, same, 1, 3), same);
}
