// Editing paths by partcode: the shape checksum, constrained and linked
// moves, deletion, insertion and removal of elements, and hit testing.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "AppKitExtensions/NSBezierPath+Editing.ZAKAppKitExtensions.h"

using namespace NSBezierPathExt;

namespace {

Ref<NSBezierPath> line(NSPoint from, NSPoint to)
{
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(from);
    path->lineToPoint(to);
    return path;
}

// Move (0, 0), curve to (100, 0) with handles (0, 50), (100, 50), curve to
// (200, 0) with handles (100, -50), (200, -50): a smooth joint at (100, 0).
Ref<NSBezierPath> twoCurves()
{
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint({0, 0});
    path->curveToPoint({100, 0}, {0, 50}, {100, 50});
    path->curveToPoint({200, 0}, {100, -50}, {200, -50});
    return path;
}

NSPoint pointOf(const Ref<NSBezierPath>& path, NSInteger element, int index)
{
    NSPoint p[3] = {};
    path->elementAtIndex(element, p);
    return p[index];
}

void expectPoint(NSPoint got, NSPoint want, const std::string& what, double tolerance = 1e-6)
{
    EXPECT_NEAR(got.x, want.x, tolerance) << what;
    EXPECT_NEAR(got.y, want.y, tolerance) << what;
}

Ref<NSBezierPath> closedTriangle()
{
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint({0, 0});
    path->lineToPoint({50, 0});
    path->lineToPoint({50, 50});
    path->lineToPoint({0, 0});
    path->closePath();
    return path;
}

}

TEST(PathEditing, ChecksumRoundsToWholeUnits)
{
    struct Case {
        const char* what;
        Ref<NSBezierPath> path;
        uint64_t want;
    } cases[] = {
        {"empty path", NSBezierPath::bezierPath(), 0x95DD8B3},
        {"line to (10, 0)", line({0, 0}, {10, 0}), 0x95DDCF9},
        {"line to (10.4, 0)", line({0, 0}, {10.4, 0}), 0x95DDCF9},
        {"line to (10.6, 0)", line({0, 0}, {10.6, 0}), 0x95DDCF8},
        {"line to (0, 10): the same value", line({0, 0}, {0, 10}), 0x95DDCF9},
        {"not a number counts as 0", line({0, 0}, {NAN, 10}), 0x95DDCF9},
    };
    for (const Case& c : cases) EXPECT_EQ(checksum(c.path), c.want) << c.what;
    checksum(line({0, 0}, {1e300, -1e300}));  // no undefined rounding
}

TEST(PathEditing, ConstrainedMovesSnapToTheNearestStep)
{
    struct Case {
        double degrees, want;
    } cases[] = {{20, 15}, {23, 30}, {-23, -30}, {-8, -15}, {7, 0}, {-7, 0}};
    for (const Case& c : cases) {
        auto path = line({0, 0}, {100, 0});
        double a = c.degrees * std::numbers::pi / 180;
        moveControlPointPartcode(path, partcodeForElement(1), NSMakePoint(100 * std::cos(a), 100 * std::sin(a)),
                                 kZAKPathMoveConstrainsAngle);
        NSPoint p = pointOf(path, 1, 0);
        EXPECT_NEAR(std::atan2(p.y, p.x) * 180 / std::numbers::pi, c.want, 1e-9) << c.degrees;
        EXPECT_NEAR(std::hypot(p.x, p.y), 100, 1e-9) << c.degrees;
    }
}

TEST(PathEditing, TheEndOfAClosedSubpathOnItsStartMovesTheStart)
{
    auto path = closedTriangle();
    moveControlPointPartcode(path, partcodeForElement(3), {5, 5}, 0);
    expectPoint(pointOf(path, 0, 0), {5, 5}, "the move-to");
    expectPoint(pointOf(path, 3, 0), {0, 0}, "the end without option 1");

    // With linked handles the end follows the start.
    path = closedTriangle();
    moveControlPointPartcode(path, partcodeForElement(3), {-5, -5}, kZAKPathMoveKeepsHandlesInLine);
    expectPoint(pointOf(path, 0, 0), {-5, -5}, "the move-to with option 1");
    expectPoint(pointOf(path, 3, 0), {-5, -5}, "the end with option 1");
}

TEST(PathEditing, LinkedHandlesStayInLine)
{
    // Control point 2 of the first curve moved to (120, 40): the opposite
    // handle keeps its length of 50 (option 1) or mirrors the move (option 2).
    struct Case {
        NSUInteger options;
        NSPoint want;
    } cases[] = {
        {kZAKPathMoveKeepsHandlesInLine, {100 - 50 * 20 / std::hypot(20, 40), -50 * 40 / std::hypot(20, 40)}},
        {kZAKPathMoveKeepsHandlesInLine | kZAKPathMoveMirrorsHandles, {80, -40}},
        {0, {100, -50}},
    };
    for (const Case& c : cases) {
        auto path = twoCurves();
        moveControlPointPartcode(path, partcodeForElementControlPoint(1, 1), {120, 40}, c.options);
        expectPoint(pointOf(path, 1, 1), {120, 40}, "moved handle");
        NSPoint got = pointOf(path, 2, 0);
        EXPECT_NEAR(got.x, c.want.x, 1e-4) << c.options;
        EXPECT_NEAR(got.y, c.want.y, 1e-4) << c.options;
    }

    // Moving the joint carries both of its handles.
    auto path = twoCurves();
    moveControlPointPartcode(path, partcodeForElementControlPoint(1, 2), {110, 10}, 0);
    expectPoint(pointOf(path, 1, 1), {110, 60}, "handle before the joint");
    expectPoint(pointOf(path, 2, 0), {110, -40}, "handle after the joint");
}

TEST(PathEditing, DeletionAndRemovalAnswerTheReceiverWhenNothingGoes)
{
    auto path = twoCurves();
    EXPECT_EQ(deleteControlPointForPartcode(path, partcodeForElementControlPoint(1, 0)).get(), path.get());
    EXPECT_EQ(deleteControlPointForPartcode(path, 0).get(), path.get());
    EXPECT_EQ(bezierPathByRemovingElementsAtIndexes(path, NSIndexSet::indexSetWithIndex(3)).get(), path.get());
    EXPECT_EQ(bezierPathByRemovingElementAtIndex(path, -1).get(), path.get());

    // Deleting the joint merges the two curves into one.
    auto merged = deleteControlPointForPartcode(path, partcodeForElementControlPoint(1, 2));
    ASSERT_EQ(merged->elementCount(), 2);
    expectPoint(pointOf(merged, 1, 0), {0, 50}, "control point 1 of the merged curve");
    expectPoint(pointOf(merged, 1, 2), {200, 0}, "its end");
    EXPECT_EQ(path->elementCount(), 3);

    // Deleting the first point makes the next one the start.
    auto rest = deleteControlPointForPartcode(path, 4);
    ASSERT_EQ(rest->elementCount(), 2);
    EXPECT_EQ(rest->elementAtIndex(0), NSMoveToBezierPathElement);
    expectPoint(pointOf(rest, 0, 0), {100, 0}, "new start");

    // A removed line of a closed triangle breaks it: the close becomes a line.
    auto triangle = NSBezierPath::bezierPath();
    triangle->moveToPoint({0, 0});
    triangle->lineToPoint({10, 0});
    triangle->lineToPoint({10, 10});
    triangle->closePath();
    auto broken = bezierPathByRemovingElementAtIndex(triangle, 1);
    ASSERT_EQ(broken->elementCount(), 4);
    EXPECT_EQ(broken->elementAtIndex(1), NSMoveToBezierPathElement);
    EXPECT_EQ(broken->elementAtIndex(3), NSLineToBezierPathElement);
    expectPoint(pointOf(broken, 3, 0), {0, 0}, "line back to the start");
    EXPECT_EQ(bezierPathByRemovingTrailingElements(triangle, 2)->elementCount(), 2);
}

TEST(PathEditing, HitTesting)
{
    auto path = twoCurves();
    EXPECT_EQ(partcodeHitByPoint(path, {500, 500}, 4), 0);
    EXPECT_EQ(partcodeHitByPoint(path, {1, 1}, 4), 4);
    EXPECT_EQ(partcodeHitByPoint(path, {100, 49}, 4), partcodeForElementControlPoint(1, 1));
    EXPECT_EQ(partcodeHitByPoint(path, {199, 1}, 4), partcodeForElementControlPoint(2, 2));
    EXPECT_EQ(partcodeHitByPoint(path, {101, 1}, 4, 0, true), partcodeForElementControlPoint(1, 2));

    CGFloat t = -1;
    NSPoint nearest;
    EXPECT_EQ(elementHitByPoint(line({0, 0}, {100, 0}), {25, 1}, 3, &t, &nearest), 1);
    EXPECT_NEAR(t, 0.25, 1e-9);
    expectPoint(nearest, {25, 0}, "nearest on the line");
    EXPECT_EQ(elementHitByPoint(line({0, 0}, {100, 0}), {25, 10}, 3, &t), -1);
    expectPoint(nearestPointToPoint(line({0, 0}, {100, 0}), {25, 50}, 3), {25, 50}, "no hit: the point itself");

    auto boxes = boundingBoxesForPartcode(path, partcodeForElementControlPoint(1, 2));
    EXPECT_EQ(boxes->count(), 2u);
}

TEST(PathEditing, InsertingSplitsTheElementHit)
{
    auto straight = insertControlPointAtPoint(line({0, 0}, {100, 0}), {40, 1}, 3, NSLineToBezierPathElement);
    ASSERT_NE(straight, nullptr);
    ASSERT_EQ(straight->elementCount(), 3);
    expectPoint(pointOf(straight, 1, 0), {40, 0}, "split point of the line");
    expectPoint(pointOf(straight, 2, 0), {100, 0}, "end of the line");

    auto curved = insertControlPointAtPoint(line({0, 0}, {100, 0}), {40, 1}, 3, NSCurveToBezierPathElement);
    ASSERT_EQ(curved->elementCount(), 3);
    EXPECT_EQ(curved->elementAtIndex(1), NSCurveToBezierPathElement);
    expectPoint(pointOf(curved, 1, 0), {10, 0}, "control point at a quarter");

    // A curve split at its middle: the halves meet on the curve.
    auto arch = NSBezierPath::bezierPath();
    arch->moveToPoint({0, 0});
    arch->curveToPoint({100, 0}, {0, 100}, {100, 100});
    auto halves = insertControlPointAtPoint(arch, {50, 75}, 2, NSCurveToBezierPathElement);
    ASSERT_NE(halves, nullptr);
    ASSERT_EQ(halves->elementCount(), 3);
    expectPoint(pointOf(halves, 1, 2), {50, 75}, "split point of the curve", 1e-3);
    EXPECT_EQ(insertControlPointAtPoint(arch, {50, 20}, 2, NSCurveToBezierPathElement), nullptr);
}
