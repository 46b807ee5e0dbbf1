#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"
#include "FoundationExtensions/NSGeometry+KQFoundationExtensions.h"
#include "PathSamples.h"

using namespace NSBezierPathExt;
using namespace PathSamples;

namespace {

constexpr double kHalfPi = static_cast<double>(1.57079637f);

// Move, line 10 right, close, then a line-to that starts from the subpath's
// start again.
Ref<NSBezierPath> lineAfterClose()
{
    auto path = polyline({{0, 0}, {10, 0}}, true);
    path->lineToPoint({0, 5});
    return path;
}

// Two closed rectangles: (0, 0, 10, 10) and (100, 0, 10, 20).
Ref<NSBezierPath> twoRectangles()
{
    auto path = NSBezierPath::bezierPathWithRect(NSMakeRect(0, 0, 10, 10));
    path->appendBezierPathWithRect(NSMakeRect(100, 0, 10, 20));
    return path;
}

const NSPoint kArch[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};

Ref<NSBezierPath> arch() { return curve(kArch[0], kArch[1], kArch[2], kArch[3]); }

double distanceToArch(NSPoint p) { return std::sqrt(KQSquaredDistance(p, KQNearestPointOnCubicBezier(kArch, p))); }

class DefaultFlatness : public ::testing::Test {
protected:
    void SetUp() override { m_saved = NSBezierPath::defaultFlatness(); }
    void TearDown() override { NSBezierPath::setDefaultFlatness(m_saved); }

private:
    CGFloat m_saved = 0;
};

}

TEST(PathMeasurement, Lengths)
{
    struct Case {
        const char* what;
        Ref<NSBezierPath> path;
        double length;
    } cases[] = {
        {"closed square", square(), 40},
        {"square left open", polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 30},
        {"a line-to after a close starts at the subpath's start", lineAfterClose(), 25},
        {"two closed rectangles", twoRectangles(), 100},
        {"empty", NSBezierPath::bezierPath(), 0},
        {"move only", polyline({{4, 4}}), 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(length(c.path), c.length) << c.what;
    // Straight distances are single precision, widened.
    EXPECT_EQ(length(polyline({{0, 0}, {0.1, 0}})), 0.10000000149011612);
}

TEST(PathMeasurement, CurveLengthWithinTheError)
{
    const double reference = referenceLength(kArch);
    for (double error : {1.0, 0.1, 0.01, 0.001, 0.0, -1.0}) {
        double measured = lengthWithMaximumError(arch(), error);
        EXPECT_NEAR(measured, reference, std::max(error, 1e-4)) << error;
    }
    EXPECT_EQ(length(arch()), lengthWithMaximumError(arch(), 0.1));
}

TEST(PathMeasurement, LengthOfElements)
{
    auto rects = twoRectangles();
    struct Case {
        NSInteger index;
        double length;
    } cases[] = {
        {-1, -1},
        {0, 0},
        {1, 10},
        {2, 10},
        {4, 10},
        {5, 0},
        {6, 10},
        {7, 20},
        // The second rectangle's close measures to its own start, not to element 0.
        {9, 20},
        {10, -1},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(lengthOfElement(rects, c.index), c.length) << c.index;
    // After a close-path the next segment starts at the subpath's start.
    EXPECT_DOUBLE_EQ(lengthOfElement(lineAfterClose(), 3), 5);
    EXPECT_NEAR(lengthOfElement(arch(), 1), referenceLength(kArch), 0.1);

    EXPECT_DOUBLE_EQ(lengthOfPathFromElement(rects, 0, 9), 100);
    EXPECT_DOUBLE_EQ(lengthOfPathFromElement(rects, -5, 100), 100);
    EXPECT_DOUBLE_EQ(lengthOfPathFromElement(rects, 5, 9), 60);
    EXPECT_DOUBLE_EQ(lengthOfPathFromElement(rects, 5, 4), 0);
    EXPECT_DOUBLE_EQ(lengthOfPathFromElement(NSBezierPath::bezierPath(), 0, 3), 0);
}

TEST(PathMeasurement, PointAndSlopeAtLength)
{
    auto line = polyline({{0, 0}, {100, 0}});
    struct Case {
        const char* what;
        Ref<NSBezierPath> path;
        double at;
        NSPoint point;
        double slope;
    } cases[] = {
        {"start", line, 0, {0, 0}, 0},
        {"below the start", line, -5, {0, 0}, 0},
        {"along", line, 30, {30, 0}, 0},
        {"beyond the end", line, 150, {100, 0}, 0},
        {"going up", polyline({{0, 0}, {0, 10}}), 5, {0, 5}, kHalfPi},
        {"on the closing edge", square(), 35, {0, 5}, -kHalfPi},
        // The whole closed square: its close-path ends at the start.
        {"beyond a closed path", square(), 45, {0, 0}, -kHalfPi},
        {"after a close", lineAfterClose(), 22, {0, 2}, kHalfPi},
    };
    for (const Case& c : cases) {
        double slope = 123;
        NSPoint p = pointOnPathAtLength(c.path, c.at, &slope);
        EXPECT_NEAR(p.x, c.point.x, 1e-9) << c.what;
        EXPECT_NEAR(p.y, c.point.y, 1e-9) << c.what;
        EXPECT_NEAR(slope, c.slope, 1e-9) << c.what;
    }
    // A single element: the zero point, the slope left alone.
    double slope = 123;
    EXPECT_EQ(pointOnPathAtLength(polyline({{4, 4}}), 2, &slope), NSZeroPoint);
    EXPECT_EQ(slope, 123);
    EXPECT_EQ(pointOnPathAtLength(polyline({{0, 0}, {100, 0}}), 10, nullptr), NSMakePoint(10, 0));

    // On a curve the point lies on it and the slope follows its tangent.
    double reference = referenceLength(kArch);
    for (double at : {0.25 * reference, 0.5 * reference, 0.9 * reference}) {
        NSPoint p = pointOnPathAtLength(arch(), at, &slope);
        EXPECT_LT(distanceToArch(p), 1e-6) << at;
        CGFloat t = 0;
        KQNearestPointOnCubicBezier(kArch, p, &t);
        EXPECT_NEAR(slope, KQTangentAngleOfCubicBezier(kArch, t), 1e-3) << at;
    }
    NSPoint middle = pointOnPathAtLength(arch(), reference / 2, nullptr);
    EXPECT_NEAR(middle.x, 5, 0.1);
}

// The point at a length is where the path trimmed to that length ends, over
// curves, lines, closes and a second subpath.
TEST(PathMeasurement, PointAtLengthEndsThePathTrimmedToIt)
{
    auto path = arch();
    path->lineToPoint({20, 0});
    path->closePath();
    path->appendBezierPath(twoRectangles());
    const double total = length(path);
    for (double at = 0.5; at < total + 5; at += 0.75) {
        auto trimmed = bezierPathByTrimmingToLength(path, at);
        NSPoint p = pointOnPathAtLength(path, at, nullptr);
        NSPoint end = trimmed->currentPoint();
        EXPECT_NEAR(p.x, end.x, 1e-9) << at;
        EXPECT_NEAR(p.y, end.y, 1e-9) << at;
    }
}

TEST(PathMeasurement, PointsAndAngles)
{
    auto up = polyline({{0, 0}, {0, 10}});
    auto line = polyline({{0, 0}, {10, 0}});
    auto rising = curve({0, 0}, {0, 5}, {5, 5}, {5, 0});
    EXPECT_EQ(firstPoint(rising), NSMakePoint(0, 0));
    EXPECT_EQ(lastPoint(rising), NSMakePoint(5, 0));
    EXPECT_EQ(lastPoint(square()), NSZeroPoint);
    EXPECT_EQ(lastPoint(polyline({{3, 4}, {5, 6}}, true)), NSZeroPoint);
    EXPECT_EQ(firstPoint(NSBezierPath::bezierPath()), NSZeroPoint);
    EXPECT_EQ(lastPoint(NSBezierPath::bezierPath()), NSZeroPoint);

    struct Case {
        const char* what;
        Ref<NSBezierPath> path;
        double start, end;
    } cases[] = {
        {"straight up", up, 90, -90},
        {"right", line, 0, 180},
        {"a curve starts along its first control point", rising, 90, 90},
        {"closed square", square(), 0, 90},
        {"empty", NSBezierPath::bezierPath(), 0, 0},
    };
    for (const Case& c : cases) {
        // Degrees from a single-precision angle: 90 comes out as 90.0000025.
        EXPECT_NEAR(startAngle(c.path), c.start, 1e-5) << c.what;
        EXPECT_NEAR(endAngle(c.path), c.end, 1e-5) << c.what;
    }
    EXPECT_EQ(slopeStartingPath(up), kHalfPi);
    EXPECT_EQ(slopeStartingPath(polyline({{4, 4}})), 0);

    auto rects = twoRectangles();
    EXPECT_EQ(positionOfPointAtPoint(rects, {10.4, 9.6}, 0.5), NSMakePoint(10, 10));
    EXPECT_EQ(positionOfPointAtPoint(rects, {101, 19}, 2), NSMakePoint(100, 20));
    // Strictly within the padding.
    EXPECT_EQ(positionOfPointAtPoint(rects, {10.5, 10}, 0.5), NSMakePoint(10.5, 10));
}

TEST(PathMeasurement, ClosedAndRectangularTests)
{
    auto openThenClosed = polyline({{0, 0}, {5, 0}});
    openThenClosed->appendBezierPath(square());
    EXPECT_TRUE(isPathClosed(square()));
    EXPECT_FALSE(isPathClosed(polyline({{0, 0}, {5, 0}})));
    EXPECT_TRUE(subpathContainingElementIsClosed(openThenClosed, 0));
    EXPECT_TRUE(subpathContainingElementIsClosed(openThenClosed, 6));
    EXPECT_FALSE(subpathContainingElementIsClosed(openThenClosed, 7));
    EXPECT_FALSE(subpathContainingElementIsClosed(NSBezierPath::bezierPath(), 0));

    struct Case {
        const char* what;
        Ref<NSBezierPath> path;
        bool rectangular;
    } cases[] = {
        {"rectangle of line-tos", polyline({{0, 0}, {20, 0}, {20, 5}, {0, 5}}, true), true},
        {"rotated square", polyline({{5, 0}, {10, 5}, {5, 10}, {0, 5}}, true), false},
        {"oval", NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(0, 0, 10, 10)), false},
        {"empty", NSBezierPath::bezierPath(), true},
        // The test is loose: a diagonal line's points sit on the corners.
        {"diagonal line", polyline({{0, 0}, {10, 10}}), true},
    };
    for (const Case& c : cases) EXPECT_EQ(isRectangular(c.path), c.rectangular) << c.what;
}

TEST_F(DefaultFlatness, IteratorFlatteningChangesTheDefaultForGood)
{
    auto transform = NSAffineTransform::transform();
    transform->translateXBy(0, 100);
    auto iterator = pathIteratorWithTransform(arch(), transform, 0.05, true);
    EXPECT_EQ(NSBezierPath::defaultFlatness(), 0.05);
    NSPoint buffer[3];
    EXPECT_EQ(iterator->nextWithPointBuffer(buffer), NSMoveToBezierPathElement);
    EXPECT_EQ(buffer[0], NSMakePoint(10, 100));  // reversed and moved
    NSInteger lines = 0;
    for (NSInteger kind; (kind = iterator->nextWithPointBuffer(buffer)) != ZAKBezierPathIterator::kEnd;) {
        EXPECT_EQ(kind, NSLineToBezierPathElement);
        ++lines;
    }
    EXPECT_GT(lines, 4);
    EXPECT_EQ(buffer[0], NSMakePoint(0, 100));
    // Later flattening elsewhere uses it too.
    EXPECT_EQ(arch()->bezierPathByFlatteningPath()->elementCount(), lines + 1);

    // Flatness 0 walks the curve itself; NaN changes nothing.
    EXPECT_EQ(pathIteratorWithTransform(arch(), nullptr, 0, false)->elementCount(), 2);
    EXPECT_EQ(pathIteratorWithTransform(arch(), nullptr, NAN, false)->elementCount(), 2);
    EXPECT_EQ(NSBezierPath::defaultFlatness(), 0);
    EXPECT_EQ(pathIterator(arch())->elementCount(), 2);
}

TEST(PathTrimming, StraightLine)
{
    auto line = polyline({{0, 0}, {100, 0}});
    struct Case {
        const char* what;
        Ref<NSBezierPath> trimmed;
        NSPoint first, last;
        double length;
        NSInteger elements;
    } cases[] = {
        {"to 30", bezierPathByTrimmingToLength(line, 30), {0, 0}, {30, 0}, 30, 2},
        {"from 30", bezierPathByTrimmingFromLength(line, 30), {30, 0}, {100, 0}, 70, 2},
        {"both ends by 30", bezierPathByTrimmingFromBothEnds(line, 30), {30, 0}, {70, 0}, 40, 2},
        {"from 10 for 20", bezierPathByTrimmingFromLengthToLength(line, 10, 20), {10, 0}, {30, 0}, 20, 2},
        {"centre 20", bezierPathByTrimmingFromCentre(line, 20), {0, 0}, {100, 0}, 80, 4},
        {"to below 0", bezierPathByTrimmingToLength(line, -5), {0, 0}, {0, 0}, 0, 2},
        {"from beyond the end", bezierPathByTrimmingFromLength(line, 200), {0, 0}, {0, 0}, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(firstPoint(c.trimmed), c.first) << c.what;
        EXPECT_EQ(lastPoint(c.trimmed), c.last) << c.what;
        EXPECT_DOUBLE_EQ(length(c.trimmed), c.length) << c.what;
        EXPECT_EQ(c.trimmed->elementCount(), c.elements) << c.what;
    }
    // The centre cut leaves the pieces 0-40 and 60-100.
    auto centre = bezierPathByTrimmingFromCentre(line, 20);
    NSPoint p;
    centre->elementAtIndex(1, &p);
    EXPECT_EQ(p, NSMakePoint(40, 0));
    centre->elementAtIndex(2, &p);
    EXPECT_EQ(p, NSMakePoint(60, 0));
}

TEST(PathTrimming, NothingToTrimAnswersTheSameObject)
{
    auto line = polyline({{0, 0}, {100, 0}});
    EXPECT_EQ(bezierPathByTrimmingToLength(line, 100), line);
    EXPECT_EQ(bezierPathByTrimmingToLength(line, 1000, 0.5), line);
    EXPECT_EQ(bezierPathByTrimmingFromLength(line, 0), line);
    EXPECT_EQ(bezierPathByTrimmingFromLength(line, -3, 0.5), line);
    EXPECT_NE(bezierPathByTrimmingToLength(line, 99), line);
    // The centre cut never hands back (or changes) the receiver.
    auto whole = bezierPathByTrimmingFromCentre(line, -200);
    EXPECT_NE(whole, line);
    EXPECT_EQ(line->elementCount(), 2);
}

TEST(PathTrimming, ClosedSquare)
{
    // From a length on the closing edge: a move-to on that edge, ending at
    // the first corner.
    auto tail = bezierPathByTrimmingFromLength(square(), 35);
    EXPECT_EQ(kinds(tail), (std::vector<NSBezierPathElement>{NSMoveToBezierPathElement, NSLineToBezierPathElement}));
    EXPECT_EQ(firstPoint(tail), NSMakePoint(0, 5));
    EXPECT_EQ(lastPoint(tail), NSMakePoint(0, 0));

    // From a length on the first edge: the rest of the square, open, without
    // a close-path that would draw back over the part cut off.
    auto rest = bezierPathByTrimmingFromLength(square(), 5);
    EXPECT_DOUBLE_EQ(length(rest), 35);
    EXPECT_EQ(firstPoint(rest), NSMakePoint(5, 0));
    EXPECT_EQ(lastPoint(rest), NSMakePoint(0, 0));
    EXPECT_FALSE(isPathClosed(rest));

    // A later closed subpath stays closed.
    auto rects = twoRectangles();
    auto later = bezierPathByTrimmingFromLength(rects, 5);
    EXPECT_DOUBLE_EQ(length(later), 95);
    EXPECT_TRUE(isPathClosed(later));
    EXPECT_EQ(firstPoint(later), NSMakePoint(5, 0));

    // Trimming to a length past a close keeps the close.
    auto firstSquare = bezierPathByTrimmingToLength(rects, 45);
    EXPECT_TRUE(subpathContainingElementIsClosed(firstSquare, 0));
    EXPECT_DOUBLE_EQ(length(firstSquare), 45);
    EXPECT_EQ(lastPoint(firstSquare), NSMakePoint(105, 0));
}

TEST(PathTrimming, Curve)
{
    double total = length(arch());
    for (double error : {0.1, 0.01}) {
        for (double at : {0.1 * total, 0.5 * total, 0.8 * total}) {
            auto head = bezierPathByTrimmingToLength(arch(), at, error);
            auto rest = bezierPathByTrimmingFromLength(arch(), at, error);
            EXPECT_LT(distanceToArch(lastPoint(head)), 1e-9) << at;
            EXPECT_LT(distanceToArch(firstPoint(rest)), 1e-9) << at;
            EXPECT_EQ(lastPoint(head), firstPoint(rest)) << at;
            EXPECT_NEAR(lengthWithMaximumError(head, error / 10), at, error) << at;
            EXPECT_NEAR(lengthWithMaximumError(rest, error / 10), total - at, 2 * error) << at;
        }
    }
}
