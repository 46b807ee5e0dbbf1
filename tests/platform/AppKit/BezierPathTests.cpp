#include <gtest/gtest.h>

#include <cmath>

#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSBezierPath.h"
#include "Foundation/NSException.h"

namespace {

Ref<NSBezierPath> path(std::initializer_list<NSPoint> points, bool close = false)
{
    auto p = NSBezierPath::bezierPath();
    for (NSPoint pt : points) p->isEmpty() ? p->moveToPoint(pt) : p->lineToPoint(pt);
    if (close) p->closePath();
    return p;
}

Ref<NSBezierPath> curve(NSPoint a, NSPoint c1, NSPoint c2, NSPoint b)
{
    auto p = NSBezierPath::bezierPath();
    p->moveToPoint(a);
    p->curveToPoint(b, c1, c2);
    return p;
}

NSPoint cubic(NSPoint a, NSPoint c1, NSPoint c2, NSPoint b, CGFloat t)
{
    CGFloat u = 1 - t;
    return {u * u * u * a.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x + t * t * t * b.x,
            u * u * u * a.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y + t * t * t * b.y};
}

std::vector<int> kinds(const Ref<NSBezierPath>& p)
{
    std::vector<int> k;
    for (NSInteger i = 0; i < p->elementCount(); ++i) k.push_back(p->elementAtIndex(i));
    return k;
}

struct ExpectRect {
    static void near(const NSRect& a, const NSRect& b, CGFloat eps = 1e-9)
    {
        EXPECT_NEAR(a.origin.x, b.origin.x, eps);
        EXPECT_NEAR(a.origin.y, b.origin.y, eps);
        EXPECT_NEAR(a.size.width, b.size.width, eps);
        EXPECT_NEAR(a.size.height, b.size.height, eps);
    }
};

}

TEST(BezierPath, BoundsFollowTheCurveNotItsControlPoints)
{
    struct Case {
        Ref<NSBezierPath> path;
        NSRect bounds, controlBounds;
    } cases[] = {
        {curve({0, 0}, {0, 100}, {100, 100}, {100, 0}), {{0, 0}, {100, 75}}, {{0, 0}, {100, 100}}},
        // An S curve overshoots on both sides in x.
        {curve({0, 0}, {100, 0}, {-100, 100}, {0, 100}),
         {{-28.867513459481287, 0}, {57.735026918962575, 100}},
         {{-100, 0}, {200, 100}}},
        {NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(10, 20, 40, 60)),
         {{10, 20}, {40, 60}},
         {{10, 20}, {40, 60}}},
        {NSBezierPath::bezierPathWithRoundedRect(NSMakeRect(0, 0, 30, 10), 20, 20),
         {{0, 0}, {30, 10}},
         {{0, 0}, {30, 10}}},
        {path({{1, 2}, {5, -3}}), {{1, -3}, {4, 5}}, {{1, -3}, {4, 5}}},
        {NSBezierPath::bezierPath(), NSZeroRect, NSZeroRect},
    };
    for (const Case& c : cases) {
        ExpectRect::near(c.path->bounds(), c.bounds);
        ExpectRect::near(c.path->controlPointBounds(), c.controlBounds);
    }
}

TEST(BezierPath, ElementAccessAndAClosePathWritesNothing)
{
    auto p = path({{0, 0}, {10, 0}, {10, 10}}, true);
    p->curveToPoint({1, 1}, {2, 2}, {3, 3});
    EXPECT_EQ(kinds(p), (std::vector<int>{0, 1, 1, 3, 2}));
    NSPoint buffer[3] = {{-7, -7}, {-7, -7}, {-7, -7}};
    EXPECT_EQ(p->elementAtIndex(3, buffer), NSClosePathBezierPathElement);
    for (NSPoint b : buffer) EXPECT_EQ(b, NSMakePoint(-7, -7));
    EXPECT_EQ(p->elementAtIndex(4, buffer), NSCurveToBezierPathElement);
    EXPECT_EQ(buffer[0], NSMakePoint(2, 2));
    EXPECT_EQ(buffer[1], NSMakePoint(3, 3));
    EXPECT_EQ(buffer[2], NSMakePoint(1, 1));
    NSPoint moved[1] = {{4, 4}};
    p->setAssociatedPoints(moved, 1);
    p->elementAtIndex(1, buffer);
    EXPECT_EQ(buffer[0], NSMakePoint(4, 4));
    EXPECT_THROW(p->elementAtIndex(5), NSException);
    // After the close the current point is the subpath's start.
    auto q = path({{2, 3}, {10, 0}}, true);
    EXPECT_EQ(q->currentPoint(), NSMakePoint(2, 3));
}

TEST(BezierPath, DrawingWithoutACurrentPointRaises)
{
    auto p = NSBezierPath::bezierPath();
    try {
        p->lineToPoint({1, 1});
        FAIL() << "no exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSGenericException);
    }
    EXPECT_THROW(p->curveToPoint({1, 1}, {0, 0}, {0, 0}), NSException);
    EXPECT_THROW(p->currentPoint(), NSException);
    // appendBezierPathWithPoints starts an empty path with a move-to.
    NSPoint pts[] = {{1, 1}, {2, 2}, {3, 1}};
    p->appendBezierPathWithPoints(pts, 3);
    EXPECT_EQ(kinds(p), (std::vector<int>{0, 1, 1}));
    p->appendBezierPathWithPoints(pts, 1);
    EXPECT_EQ(kinds(p), (std::vector<int>{0, 1, 1, 1}));
}

TEST(BezierPath, ArcFromPointIsPostScriptArct)
{
    struct Case {
        NSPoint start, p1, p2;
        CGFloat radius;
        NSPoint tangent1, tangent2;
    } cases[] = {
        // A right-angle corner.
        {{0, 0}, {100, 0}, {100, 100}, 20, {80, 0}, {100, 20}},
        // Turning the other way.
        {{0, 0}, {100, 0}, {100, -100}, 10, {90, 0}, {100, -10}},
        // A 60-degree corner: the tangent points lie r / tan(30 deg) from it.
        {{0, 0},
         {100, 0},
         {100 - 50, 50 * std::sqrt(3.0)},
         10,
         {100 - 10 * std::sqrt(3.0), 0},
         {100 - 5 * std::sqrt(3.0), 15}},
    };
    for (const Case& c : cases) {
        auto p = NSBezierPath::bezierPath();
        p->moveToPoint(c.start);
        p->appendBezierPathWithArcFromPoint(c.p1, c.p2, c.radius);
        ASSERT_GE(p->elementCount(), 3);
        NSPoint pts[3];
        EXPECT_EQ(p->elementAtIndex(1, pts), NSLineToBezierPathElement);
        EXPECT_NEAR(pts[0].x, c.tangent1.x, 1e-9);
        EXPECT_NEAR(pts[0].y, c.tangent1.y, 1e-9);
        EXPECT_EQ(p->elementAtIndex(2), NSCurveToBezierPathElement);
        NSPoint end = p->currentPoint();
        EXPECT_NEAR(end.x, c.tangent2.x, 1e-9);
        EXPECT_NEAR(end.y, c.tangent2.y, 1e-9);
    }
    // Points in a line: just a line to the first point.
    auto line = path({{0, 0}});
    line->appendBezierPathWithArcFromPoint({10, 0}, {20, 0}, 5);
    EXPECT_EQ(kinds(line), (std::vector<int>{0, 1}));
    EXPECT_EQ(line->currentPoint(), NSMakePoint(10, 0));
}

TEST(BezierPath, ArcWithCenterJoinsByALineAndRunsInTheAskedDirection)
{
    auto p = path({{0, 0}});
    p->appendBezierPathWithArcWithCenter({50, 50}, 10, 0, 90);
    EXPECT_EQ(kinds(p), (std::vector<int>{0, 1, 2}));
    ExpectRect::near(p->bounds(), NSMakeRect(0, 0, 60, 60));
    auto cw = NSBezierPath::bezierPath();
    cw->appendBezierPathWithArcWithCenter({0, 0}, 10, 0, 90, true);  // three quarters, clockwise
    EXPECT_EQ(kinds(cw), (std::vector<int>{0, 2, 2, 2}));
    ExpectRect::near(cw->bounds(), NSMakeRect(-10, -10, 20, 20), 1e-9);
}

TEST(BezierPath, FlatteningStaysWithinToleranceAndKeepsCloses)
{
    NSPoint a{0, 0}, c1{0, 100}, c2{100, 100}, b{100, 0};
    auto p = curve(a, c1, c2, b);
    p->closePath();
    for (CGFloat tolerance : {0.05, 0.6, 3.0}) {
        auto flat = p->bezierPathByFlatteningPathWithTolerance(tolerance);
        std::vector<NSPoint> poly;
        for (NSInteger i = 0; i < flat->elementCount(); ++i) {
            NSPoint pts[3];
            auto kind = flat->elementAtIndex(i, pts);
            ASSERT_NE(kind, NSCurveToBezierPathElement);
            if (kind != NSClosePathBezierPathElement) poly.push_back(pts[0]);
        }
        EXPECT_EQ(flat->elementAtIndex(flat->elementCount() - 1), NSClosePathBezierPathElement);
        // Every point of the curve lies within tolerance of the polyline.
        for (int i = 0; i <= 200; ++i) {
            NSPoint q = cubic(a, c1, c2, b, i / 200.0);
            CGFloat best = 1e9;
            for (size_t j = 0; j + 1 < poly.size(); ++j) {
                NSPoint u = poly[j], v = poly[j + 1];
                CGFloat dx = v.x - u.x, dy = v.y - u.y, len2 = dx * dx + dy * dy;
                CGFloat t = len2 > 0 ? std::clamp(((q.x - u.x) * dx + (q.y - u.y) * dy) / len2, 0.0, 1.0) : 0;
                best = std::min(best, std::hypot(q.x - u.x - t * dx, q.y - u.y - t * dy));
            }
            EXPECT_LE(best, tolerance + 1e-9) << "t=" << i / 200.0 << " tolerance " << tolerance;
        }
    }
    // bezierPathByFlatteningPath reads the class default.
    CGFloat saved = NSBezierPath::defaultFlatness();
    NSBezierPath::setDefaultFlatness(0.05);
    NSInteger fine = p->bezierPathByFlatteningPath()->elementCount();
    NSBezierPath::setDefaultFlatness(5);
    NSInteger coarse = p->bezierPathByFlatteningPath()->elementCount();
    NSBezierPath::setDefaultFlatness(saved);
    EXPECT_GT(fine, coarse);
}

TEST(BezierPath, ReversingKeepsSubpathsInPlace)
{
    // A closed triangle keeps its start point and runs backwards.
    auto closed = path({{0, 0}, {10, 0}, {10, 10}}, true)->bezierPathByReversingPath();
    std::vector<NSPoint> pts;
    for (NSInteger i = 0; i < closed->elementCount(); ++i) {
        NSPoint buf[3];
        if (closed->elementAtIndex(i, buf) != NSClosePathBezierPathElement) pts.push_back(buf[0]);
    }
    EXPECT_EQ(kinds(closed), (std::vector<int>{0, 1, 1, 3}));
    EXPECT_EQ(pts, (std::vector<NSPoint>{{0, 0}, {10, 10}, {10, 0}}));

    // An open path with a curve: starts at the old end, control points swap.
    auto open = path({{0, 0}, {5, 0}});
    open->curveToPoint({9, 9}, {6, 1}, {8, 3});
    open->moveToPoint({20, 20});
    open->lineToPoint({30, 20});
    auto rev = open->bezierPathByReversingPath();
    EXPECT_EQ(kinds(rev), (std::vector<int>{0, 2, 1, 0, 1}));
    NSPoint buf[3];
    rev->elementAtIndex(0, buf);
    EXPECT_EQ(buf[0], NSMakePoint(9, 9));
    rev->elementAtIndex(1, buf);
    EXPECT_EQ(buf[0], NSMakePoint(8, 3));
    EXPECT_EQ(buf[1], NSMakePoint(6, 1));
    EXPECT_EQ(buf[2], NSMakePoint(5, 0));
    rev->elementAtIndex(3, buf);
    EXPECT_EQ(buf[0], NSMakePoint(30, 20));
    // Twice reversed gives the original elements back.
    auto twice = rev->bezierPathByReversingPath();
    ASSERT_EQ(twice->elementCount(), open->elementCount());
    EXPECT_EQ(twice->elements(), open->elements());
}

TEST(BezierPath, ContainsPointUnderBothWindingRules)
{
    // Two squares drawn in the same direction overlapping in [5, 10]^2.
    auto p = NSBezierPath::bezierPathWithRect(NSMakeRect(0, 0, 10, 10));
    p->appendBezierPath(NSBezierPath::bezierPathWithRect(NSMakeRect(5, 5, 10, 10)));
    struct Case {
        NSPoint point;
        bool nonZero, evenOdd;
    } cases[] = {{{7, 7}, true, false}, {{2, 2}, true, true}, {{12, 12}, true, true}, {{12, 2}, false, false}};
    for (const Case& c : cases) {
        p->setWindingRule(NSNonZeroWindingRule);
        EXPECT_EQ(p->containsPoint(c.point), c.nonZero) << c.point.x << "," << c.point.y;
        p->setWindingRule(NSEvenOddWindingRule);
        EXPECT_EQ(p->containsPoint(c.point), c.evenOdd) << c.point.x << "," << c.point.y;
    }
    // A circle made of curves.
    auto oval = NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(0, 0, 100, 100));
    EXPECT_TRUE(oval->containsPoint({50 + 49 / std::sqrt(2.0), 50 + 49 / std::sqrt(2.0)}));
    EXPECT_FALSE(oval->containsPoint({50 + 51 / std::sqrt(2.0), 50 + 51 / std::sqrt(2.0)}));
}

TEST(BezierPath, NewPathsTakeTheClassDefaults)
{
    CGFloat saved = NSBezierPath::defaultLineWidth();
    NSBezierPath::setDefaultLineWidth(3);
    auto p = NSBezierPath::bezierPath();
    NSBezierPath::setDefaultLineWidth(saved);
    EXPECT_EQ(p->lineWidth(), 3);
    EXPECT_EQ(NSBezierPath::bezierPath()->lineWidth(), saved);
    EXPECT_EQ(p->miterLimit(), 10);
    EXPECT_EQ(p->windingRule(), NSNonZeroWindingRule);
    EXPECT_EQ(NSBezierPath::defaultFlatness(), 0.6);
}

TEST(BezierPath, RoundedRectClampsItsRadii)
{
    auto plain = NSBezierPath::bezierPathWithRoundedRect(NSMakeRect(0, 0, 10, 10), 0, 5);
    EXPECT_EQ(kinds(plain), (std::vector<int>{0, 1, 1, 1, 3}));
    auto pill = NSBezierPath::bezierPathWithRoundedRect(NSMakeRect(0, 0, 40, 10), 50, 50);
    NSPoint buf[3];
    pill->elementAtIndex(0, buf);
    EXPECT_EQ(buf[0], NSMakePoint(20, 0));  // radius limited to half the height... and width
    EXPECT_TRUE(pill->containsPoint({20, 5}));
    EXPECT_FALSE(pill->containsPoint({0.5, 0.5}));
}

TEST(AffineTransform, PrependingBuildersStructAndPaths)
{
    auto t = NSAffineTransform::transform();
    t->translateXBy(10, 20);
    t->rotateByDegrees(90);
    t->scaleBy(2);
    EXPECT_EQ(t->transformPoint({1, 0}), NSMakePoint(10, 22));
    EXPECT_EQ(t->transformSize({1, 0}), NSMakeSize(0, 2));
    NSAffineTransformStruct s = t->transformStruct();
    EXPECT_EQ(s, (NSAffineTransformStruct{0, 2, -2, 0, 10, 20}));
    auto u = NSAffineTransform::transform();
    u->setTransformStruct(s);
    EXPECT_TRUE(u->isEqual(t.get()));

    auto a = NSAffineTransform::transform();
    a->scaleBy(2);
    auto b = NSAffineTransform::transform();
    b->translateXBy(1, 0);
    auto ab = NSAffineTransform::transformWithTransform(a);
    ab->appendTransform(b);  // scale, then translate
    EXPECT_EQ(ab->transformPoint({1, 1}), NSMakePoint(3, 2));
    auto ba = NSAffineTransform::transformWithTransform(a);
    ba->prependTransform(b);  // translate, then scale
    EXPECT_EQ(ba->transformPoint({1, 1}), NSMakePoint(4, 2));

    auto moved = b->transformBezierPath(NSBezierPath::bezierPathWithRect(NSMakeRect(0, 0, 1, 1)));
    EXPECT_EQ(moved->bounds(), NSMakeRect(1, 0, 1, 1));
    auto singular = NSAffineTransform::transform();
    singular->scaleXBy(0, 1);
    EXPECT_THROW(singular->invert(), NSException);
}
