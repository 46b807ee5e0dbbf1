#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "AppKitExtensions/ClipperPolygons.h"
#include "AppKitExtensions/NSBezierPath+ClipperExtensions.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"
#include "FoundationExtensions/NSGeometry+KQFoundationExtensions.h"
#include "PathSamples.h"

using namespace NSBezierPathExt;
using PathSamples::polyline;

namespace {

// The filled area: the sum of the subpaths' signed areas (holes run the
// other way), flattened finely.
double area(const Ref<NSBezierPath>& path)
{
    double total = 0;
    NSPoint start{}, previous{};
    auto edge = [&](NSPoint a, NSPoint b) { total += (a.x * b.y - b.x * a.y) / 2; };
    auto flat = path->bezierPathByFlatteningPathWithTolerance(0.001);
    for (const CGPathElement& e : flat->elements().elements) {
        switch (e.kind) {
        case CGPathElementKind::MoveTo:
            edge(previous, start);
            start = previous = e.points[0];
            break;
        case CGPathElementKind::LineTo:
        case CGPathElementKind::CurveTo:
            edge(previous, e.points[0]);
            previous = e.points[0];
            break;
        case CGPathElementKind::Close:
            edge(previous, start);
            previous = start;
            break;
        }
    }
    edge(previous, start);
    return std::fabs(total);
}

Ref<NSBezierPath> rect(double x, double y, double w, double h)
{
    return NSBezierPath::bezierPathWithRect(NSMakeRect(x, y, w, h));
}

struct Shape {
    double area;
    std::vector<NSPoint> inside, outside;
};

void expectShape(const Ref<NSBezierPath>& path, const Shape& shape, const std::string& what, double tolerance = 1e-9)
{
    EXPECT_NEAR(area(path), shape.area, tolerance) << what;
    for (NSPoint p : shape.inside) EXPECT_TRUE(path->containsPoint(p)) << what << " inside " << p.x << "," << p.y;
    for (NSPoint p : shape.outside) EXPECT_FALSE(path->containsPoint(p)) << what << " outside " << p.x << "," << p.y;
}

// Every subpath closed and every point on the 0.1 grid.
void expectGridPolygons(const Ref<NSBezierPath>& path, const std::string& what)
{
    const auto& elements = path->elements().elements;
    for (size_t i = 0; i < elements.size(); ++i) {
        const CGPathElement& e = elements[i];
        EXPECT_NE(e.kind, CGPathElementKind::CurveTo) << what;
        if (e.kind == CGPathElementKind::MoveTo && i > 0) {
            EXPECT_EQ(elements[i - 1].kind, CGPathElementKind::Close) << what;
        }
        if (e.kind == CGPathElementKind::Close) continue;
        for (double v : {e.points[0].x, e.points[0].y}) EXPECT_NEAR(v * 10, std::round(v * 10), 1e-9) << what;
    }
    if (!elements.empty()) {
        EXPECT_EQ(elements.back().kind, CGPathElementKind::Close) << what;
    }
}

// Every test here checks that the class's default flatness is left alone.
class ClipperExtensions : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = NSBezierPath::defaultFlatness();
        NSBezierPath::setDefaultFlatness(kMarker);
    }
    void TearDown() override
    {
        EXPECT_EQ(NSBezierPath::defaultFlatness(), kMarker);
        NSBezierPath::setDefaultFlatness(m_saved);
    }
    static constexpr CGFloat kMarker = 0.37;

private:
    CGFloat m_saved = 0;
};

}

TEST_F(ClipperExtensions, BooleanOperationsOnOverlappingSquares)
{
    auto a = rect(0, 0, 10, 10), b = rect(5, 5, 10, 10);
    struct Case {
        const char* what;
        Ref<NSBezierPath> result;
        Shape shape;
        NSRect bounds;
    } cases[] = {
        {"intersection", bezierPathByIntersectingPath(a, b), {25, {{7, 7}}, {{2, 2}, {12, 12}}}, {{5, 5}, {5, 5}}},
        {"union",
         bezierPathByUnionWithPath(a, b),
         {175, {{2, 2}, {7, 7}, {12, 12}}, {{12, 2}, {2, 12}}},
         {{0, 0}, {15, 15}}},
        {"difference",
         bezierPathByDifferenceWithPath(a, b),
         {75, {{2, 2}, {8, 3}}, {{7, 7}, {12, 12}}},
         {{0, 0}, {10, 10}}},
        {"exclusive or",
         bezierPathByXORWithPath(a, b),
         {150, {{2, 2}, {12, 12}}, {{7, 7}, {12, 2}}},
         {{0, 0}, {15, 15}}},
        {"operation 1", bezierPathByApplyingBooleanOperation(a, 1, b), {175, {{12, 12}}, {}}, {{0, 0}, {15, 15}}},
    };
    for (const Case& c : cases) {
        expectShape(c.result, c.shape, c.what);
        EXPECT_EQ(c.result->bounds(), c.bounds) << c.what;
        expectGridPolygons(c.result, c.what);
        EXPECT_TRUE(isClosed(c.result)) << c.what;
    }
    // Difference is the receiver minus the other path.
    expectShape(bezierPathByDifferenceWithPath(b, a), {75, {{12, 12}}, {{2, 2}}}, "reversed difference");
    EXPECT_TRUE(bezierPathByDifferenceWithPath(b, rect(0, 0, 20, 20))->isEmpty());
    EXPECT_TRUE(bezierPathByApplyingBooleanOperation(a, 4, b)->isEmpty());
    EXPECT_TRUE(bezierPathByApplyingBooleanOperation(a, -1, b)->isEmpty());
}

TEST_F(ClipperExtensions, EverySubpathIsItsOwnPolygon)
{
    // Two separate rectangles in one path, united with a third that bridges
    // them: 200 + 200 - 2 x 25.
    auto pair = rect(0, 0, 10, 10);
    pair->appendBezierPathWithRect(NSMakeRect(20, 0, 10, 10));
    expectShape(bezierPathByUnionWithPath(pair, rect(5, 5, 20, 10)), {350, {{2, 2}, {27, 2}, {15, 12}}, {{15, 2}}},
                "bridged pair");
    expectShape(bezierPathByUnionWithPath(pair, NSBezierPath::bezierPath()), {200, {{5, 5}, {25, 5}}, {{15, 5}}},
                "pair alone");
    // A segment after a close-path starts a new polygon at the subpath's start.
    auto reopened = polyline({{0, 0}, {10, 0}, {10, 10}}, true);
    reopened->lineToPoint({-10, 0});
    reopened->lineToPoint({-10, -10});
    expectShape(bezierPathByUnionWithPath(reopened, nullptr), {100, {{7, 3}, {-7, -3}}, {{3, 7}, {-3, -7}}},
                "reopened");
}

TEST_F(ClipperExtensions, CoordinatesAreRoundedToTenths)
{
    auto unit = bezierPathByUnionWithPath(polyline({{0.04, 0.06}, {10.04, 0.06}, {10.04, 10.06}}), nullptr);
    EXPECT_TRUE(KQRectsEqualWithTolerance(unit->bounds(), NSMakeRect(0, 0.1, 10, 10), 1e-12));
    // Halves go away from zero: -2.5 to -3, 7.5 to 8, 2.5 to 3, 12.5 to 13.
    auto halves = bezierPathByUnionWithPath(rect(-0.25, 0.25, 1, 1), nullptr);
    EXPECT_TRUE(KQRectsEqualWithTolerance(halves->bounds(), NSMakeRect(-0.3, 0.3, 1.1, 1.0), 1e-12));
}

TEST_F(ClipperExtensions, CurvesAreFlattenedFinely)
{
    auto circle = NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(0, 0, 20, 20));
    auto other = NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(10, 0, 20, 20));
    // Two discs of radius 10 whose centres are 10 apart. Rounding to tenths
    // moves curved outlines outwards a little where they run along the grid.
    double lens = 2 * 100 * std::acos(0.5) - 10 * std::sqrt(100 - 25);
    expectShape(bezierPathByIntersectingPath(circle, other), {lens, {{15, 10}}, {{5, 10}, {25, 10}}}, "lens", 0.5);
    expectShape(bezierPathByUnionWithPath(circle, other), {2 * 100 * std::numbers::pi - lens, {{5, 10}, {25, 10}}, {}},
                "discs", 1.0);
    auto flat = bezierPathByUnionWithPath(circle, nullptr);
    EXPECT_GT(flat->elementCount(), 40);
    EXPECT_TRUE(KQRectsEqualWithTolerance(flat->bounds(), NSMakeRect(0, 0, 20, 20), 0.1));
}

TEST_F(ClipperExtensions, NothingToCombineGivesAnEmptyPath)
{
    auto empty = NSBezierPath::bezierPath();
    auto moveOnly = polyline({{3, 3}});
    // Clipper reports failure when no polygon has an edge.
    EXPECT_TRUE(bezierPathByUnionWithPath(empty, empty)->isEmpty());
    EXPECT_TRUE(bezierPathByUnionWithPath(moveOnly, moveOnly)->isEmpty());
    EXPECT_TRUE(bezierPathByIntersectingPath(rect(0, 0, 1, 1), empty)->isEmpty());
    EXPECT_TRUE(bezierPathByXORWithPath(nullptr, nullptr)->isEmpty());
    // An open path is closed: a right angle becomes a triangle.
    expectShape(bezierPathByUnionWithPath(polyline({{0, 0}, {10, 0}, {10, 10}}), empty), {50, {{8, 2}}, {{2, 8}}},
                "triangle");
}

TEST_F(ClipperExtensions, CoordinatesClipperCannotTakeGiveAnEmptyPath)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // 2^62 / 10 scales to just past Clipper's range: Clipper's own
    // exception, caught.
    for (double bad : {nan, 1e300, -1e300, 5e17, std::ldexp(1.0, 62) / 10}) {
        auto path = polyline({{0, 0}, {bad, 0}, {5, 5}});
        EXPECT_TRUE(bezierPathByUnionWithPath(path, rect(0, 0, 1, 1))->isEmpty()) << bad;
        EXPECT_TRUE(bezierPathByUnionWithPath(rect(0, 0, 1, 1), path)->isEmpty()) << bad;
        EXPECT_TRUE(bezierPathWithOffset(path, 1)->isEmpty()) << bad;
    }
    // Large coordinates within the range work.
    expectShape(bezierPathByUnionWithPath(rect(1e12, 0, 10, 10), nullptr), {100, {{1e12 + 5, 5}}, {{5, 5}}},
                "far away");
}

TEST_F(ClipperExtensions, Offsets)
{
    auto square = rect(0, 0, 10, 10);
    // A ring: two squares drawn the same way, the inner one a hole under the
    // even-odd rule.
    auto ring = rect(0, 0, 10, 10);
    ring->appendBezierPathWithRect(NSMakeRect(2.5, 2.5, 5, 5));
    auto roundSquare = rect(0, 0, 10, 10);
    roundSquare->setLineJoinStyle(NSRoundLineJoinStyle);
    // Clipper's default arc tolerance (0.25 scaled units) draws a quarter
    // circle of radius 10 scaled units in four segments.
    const double roundArea = 140 + 8 * std::sin(std::numbers::pi / 8);
    struct Case {
        const char* what;
        Ref<NSBezierPath> result;
        Shape shape;
        double tolerance;
    } cases[] = {
        {"miter",
         bezierPathWithOffset(square, 1, NSMiterLineJoinStyle, 10),
         {144, {{-0.95, -0.95}, {10.9, 10.9}}, {{-1.05, 5}}},
         1e-9},
        // Clipper takes miter limits below 2 as 2, so a right angle keeps its miter.
        {"miter limit 1", bezierPathWithOffset(square, 1, NSMiterLineJoinStyle, 1), {144, {{-0.95, -0.95}}, {}}, 1e-9},
        {"round",
         bezierPathWithOffset(square, 1, NSRoundLineJoinStyle, 10),
         {roundArea, {{-0.6, -0.6}, {5, -0.95}}, {{-0.9, -0.9}, {10.9, 10.9}}},
         0.05},
        {"the path's own join style", bezierPathWithOffset(roundSquare, 1), {roundArea, {}, {{-0.9, -0.9}}}, 0.05},
        // Bevel maps to Clipper's square join: corners cut at the offset distance.
        {"bevel",
         bezierPathWithOffset(square, 1, NSBevelLineJoinStyle, 10),
         {144 - 2 * std::pow(2 - std::numbers::sqrt2, 2), {{-0.6, -0.6}}, {{-0.9, -0.9}}},
         0.05},
        {"inwards", bezierPathWithOffset(square, -1, NSMiterLineJoinStyle, 10), {64, {{5, 5}}, {{0.5, 5}}}, 1e-9},
        // Clipper fixes the orientation: a clockwise square grows as well.
        {"clockwise",
         bezierPathWithOffset(polyline({{0, 0}, {0, 10}, {10, 10}, {10, 0}}, true), 1, NSMiterLineJoinStyle, 10),
         {144, {{-0.95, -0.95}}, {}},
         1e-9},
        // The hole shrinks while the outline grows: 121 - 16.
        {"ring",
         bezierPathWithOffset(ring, 0.5, NSMiterLineJoinStyle, 10),
         {105, {{-0.4, 5}, {2.6, 5}}, {{3.1, 5}, {5, 5}}},
         1e-9},
    };
    for (const Case& c : cases) {
        expectShape(c.result, c.shape, c.what, c.tolerance);
        expectGridPolygons(c.result, c.what);
    }
    // Round joins follow the arc within Clipper's default tolerance (0.25
    // scaled units) plus the rounding to tenths.
    auto rounded = bezierPathWithOffset(square, 1, NSRoundLineJoinStyle, 10);
    for (const CGPathElement& e : rounded->elements().elements) {
        if (e.kind == CGPathElementKind::Close) continue;
        NSPoint p = e.points[0];
        double dx = std::max({0.0, -p.x, p.x - 10}), dy = std::max({0.0, -p.y, p.y - 10});
        EXPECT_NEAR(std::hypot(dx, dy), 1, 0.025 + 0.071) << p.x << "," << p.y;
    }
}

TEST_F(ClipperExtensions, OffsetEdgeCases)
{
    auto square = rect(0, 0, 10, 10);
    EXPECT_EQ(bezierPathWithOffset(square, 0), square);
    EXPECT_EQ(bezierPathWithOffset(square, 0, NSRoundLineJoinStyle, 1), square);
    // A polygon without area disappears.
    EXPECT_TRUE(bezierPathWithOffset(polyline({{0, 0}, {10, 0}}), 1)->isEmpty());
    EXPECT_TRUE(bezierPathWithOffset(polyline({{0, 0}, {10, 0}, {20, 0}}), 1)->isEmpty());
    // Shrinking past the middle leaves nothing.
    EXPECT_TRUE(bezierPathWithOffset(square, -6)->isEmpty());
    // Unknown join styles take Clipper's square join.
    expectShape(bezierPathWithOffset(square, 1, static_cast<NSLineJoinStyle>(7), 10),
                {144 - 2 * std::pow(2 - std::numbers::sqrt2, 2), {}, {{-0.9, -0.9}}}, "style 7", 0.05);
    // Offsets whose points would leave Clipper's range fail cleanly.
    for (double delta : {std::numeric_limits<double>::quiet_NaN(), 1e300, -1e300, 1e18})
        EXPECT_TRUE(bezierPathWithOffset(square, delta, NSRoundLineJoinStyle, 10)->isEmpty()) << delta;
    // A huge miter limit is lowered only as far as the range needs: the
    // spike's miter reaches 100 units beyond its tip.
    auto spike = bezierPathWithOffset(polyline({{0, 0}, {100, 1}, {0, 2}}, true), 1, NSMiterLineJoinStyle, 1e300);
    EXPECT_TRUE(spike->containsPoint({195, 1}));
    EXPECT_FALSE(spike->containsPoint({205, 1}));
    // A large round offset stays within a bounded number of vertices.
    auto big = bezierPathWithOffset(square, 1e9, NSRoundLineJoinStyle, 10);
    EXPECT_NEAR(area(big), std::numbers::pi * 1e18, 1e15);
    EXPECT_LT(big->elementCount(), 100000);
}

TEST(ClipperPolygons, OnePolygonPerSubpathOnTheScaledGrid)
{
    auto path = rect(0, 0, 1, 1);
    path->appendBezierPathWithRect(NSMakeRect(2.25, 0, 1, 1));
    ClipperLib::Paths polygons;
    ASSERT_TRUE(ClipperPolygons::fromPath(path, polygons));
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[1][0], ClipperLib::IntPoint(23, 0));  // 22.5 away from zero
    EXPECT_EQ(ClipperPolygons::toPath(polygons)->bounds(), NSMakeRect(0, 0, 3.3, 1));
    // A lone point gives a lone move-to.
    EXPECT_EQ(ClipperPolygons::toPath({{{12, 34}}})->elementCount(), 1);
}
