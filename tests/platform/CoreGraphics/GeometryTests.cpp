#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "CoreGraphics/CGAffineTransform.h"
#include "Foundation/NSGeometry.h"
#include "Foundation/NSGeometryStrings.h"
#include "Foundation/NSString.h"

TEST(Geometry, RectangleFunctions)
{
    NSRect a = NSMakeRect(0, 0, 10, 10), b = NSMakeRect(5, 5, 10, 10), far = NSMakeRect(20, 20, 1, 1);
    EXPECT_EQ(NSIntersectionRect(a, b), NSMakeRect(5, 5, 5, 5));
    EXPECT_EQ(NSIntersectionRect(a, far), NSZeroRect);
    EXPECT_EQ(NSIntersectionRect(a, NSMakeRect(10, 0, 5, 5)), NSZeroRect);  // touching edges
    EXPECT_EQ(NSUnionRect(a, b), NSMakeRect(0, 0, 15, 15));
    EXPECT_EQ(NSUnionRect(NSZeroRect, b), b);
    EXPECT_TRUE(NSIntersectsRect(a, b));
    EXPECT_FALSE(NSIntersectsRect(a, NSMakeRect(10, 0, 5, 5)));
    EXPECT_TRUE(NSContainsRect(a, NSMakeRect(0, 0, 10, 10)));
    EXPECT_FALSE(NSContainsRect(a, NSMakeRect(1, 1, 0, 5)));
    EXPECT_EQ(NSInsetRect(a, 2, 3), NSMakeRect(2, 3, 6, 4));
    EXPECT_EQ(NSOffsetRect(a, -1, 2), NSMakeRect(-1, 2, 10, 10));
    EXPECT_EQ(NSIntegralRect(NSMakeRect(0.5, 1.2, 2.1, 3.9)), NSMakeRect(0, 1, 3, 5));
    EXPECT_EQ(NSIntegralRect(NSMakeRect(3.5, 3.5, 0, 4)), NSZeroRect);
    EXPECT_TRUE(NSIsEmptyRect(NSMakeRect(1, 1, -2, 3)));
}

TEST(Geometry, PointAndMouseInRectDifferAtTheHorizontalEdges)
{
    struct Case {
        NSPoint p;
        bool point, mouseUnflipped, mouseFlipped;
    } cases[] = {
        {{0, 0}, true, false, true},     // bottom-left corner
        {{0, 10}, false, true, false},   // top edge
        {{10, 5}, false, false, false},  // right edge
        {{5, 5}, true, true, true},
    };
    NSRect r = NSMakeRect(0, 0, 10, 10);
    for (const Case& c : cases) {
        EXPECT_EQ(NSPointInRect(c.p, r), c.point) << c.p.x << "," << c.p.y;
        EXPECT_EQ(NSMouseInRect(c.p, r, false), c.mouseUnflipped) << c.p.x << "," << c.p.y;
        EXPECT_EQ(NSMouseInRect(c.p, r, true), c.mouseFlipped) << c.p.x << "," << c.p.y;
    }
}

TEST(Geometry, DivideRectFromEachEdge)
{
    struct Case {
        NSRectEdge edge;
        CGFloat amount;
        NSRect slice, rest;
    } cases[] = {
        {NSMinXEdge, 3, {{0, 0}, {3, 20}}, {{3, 0}, {7, 20}}},
        {NSMaxXEdge, 3, {{7, 0}, {3, 20}}, {{0, 0}, {7, 20}}},
        {NSMinYEdge, 5, {{0, 0}, {10, 5}}, {{0, 5}, {10, 15}}},
        {NSMaxYEdge, 5, {{0, 15}, {10, 5}}, {{0, 0}, {10, 15}}},
        {NSMinXEdge, 30, {{0, 0}, {10, 20}}, {{10, 0}, {0, 20}}},  // more than there is
    };
    for (const Case& c : cases) {
        NSRect slice, rest;
        NSDivideRect(NSMakeRect(0, 0, 10, 20), &slice, &rest, c.amount, c.edge);
        EXPECT_EQ(slice, c.slice) << c.edge;
        EXPECT_EQ(rest, c.rest) << c.edge;
    }
}

TEST(Geometry, StringForms)
{
    EXPECT_EQ(NSStringFromRect(NSMakeRect(0.5, 0, 10, 20))->UTF8String(), "{{0.5, 0}, {10, 20}}");
    EXPECT_EQ(NSStringFromPoint(NSMakePoint(0.1, -3))->UTF8String(), "{0.1, -3}");
    EXPECT_EQ(NSStringFromRange(NSMakeRange(2, 5))->UTF8String(), "{2, 5}");
}

TEST(AffineTransform, BuildersPrependAndQuarterTurnsAreExact)
{
    // Scale first, then rotate, then translate.
    CGAffineTransform t = CGAffineTransformIdentity;
    t = CGAffineTransformTranslate(t, 10, 0);
    t = CGAffineTransformRotate(t, std::numbers::pi / 2);
    t = CGAffineTransformScale(t, 2, 2);
    CGPoint p = CGPointApplyAffineTransform({1, 0}, t);
    EXPECT_EQ(p, CGPointMake(10, 2));
    CGAffineTransform r = CGAffineTransformMakeRotation(3 * std::numbers::pi / 2);
    EXPECT_EQ(r, CGAffineTransformMake(0, -1, 1, 0, 0, 0));
    CGAffineTransform inv = CGAffineTransformInvert(t);
    CGPoint back = CGPointApplyAffineTransform(p, inv);
    EXPECT_NEAR(back.x, 1, 1e-12);
    EXPECT_NEAR(back.y, 0, 1e-12);
    // A singular transform comes back unchanged.
    CGAffineTransform singular = CGAffineTransformMakeScale(0, 1);
    EXPECT_EQ(CGAffineTransformInvert(singular), singular);
    EXPECT_EQ(CGRectApplyAffineTransform(CGRectMake(0, 0, 2, 1), r), CGRectMake(0, -2, 1, 2));
}
