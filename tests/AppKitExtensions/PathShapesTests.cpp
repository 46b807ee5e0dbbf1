// Rounded rectangles, printer's marks and crosses: the exact elements each
// shape is made of.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"

using namespace NSBezierPathExt;

namespace {

// "M x y", "L x y", "C x y" (the end point) or "Z" per element, joined by
// ", "; coordinates to 9 significant digits.
std::string outline(const Ref<NSBezierPath>& path)
{
    std::string text;
    for (NSInteger i = 0; i < path->elementCount(); ++i) {
        NSPoint p[3];
        const NSBezierPathElement kind = path->elementAtIndex(i, p);
        if (!text.empty()) text += ", ";
        char buffer[64];
        switch (kind) {
        case NSMoveToBezierPathElement: std::snprintf(buffer, sizeof buffer, "M %.9g %.9g", p[0].x, p[0].y); break;
        case NSLineToBezierPathElement: std::snprintf(buffer, sizeof buffer, "L %.9g %.9g", p[0].x, p[0].y); break;
        case NSCurveToBezierPathElement: std::snprintf(buffer, sizeof buffer, "C %.9g %.9g", p[2].x, p[2].y); break;
        default: std::snprintf(buffer, sizeof buffer, "Z"); break;
        }
        text += buffer;
    }
    return text;
}

// The control points of the curve at index, which must be a quarter circle
// of the radius about centre.
void expectQuarterCircle(const Ref<NSBezierPath>& path, NSInteger index, NSPoint centre, CGFloat radius)
{
    NSPoint p[3];
    ASSERT_EQ(path->elementAtIndex(index, p), NSCurveToBezierPathElement) << "element " << index;
    NSPoint start;
    NSPoint before[3];
    const NSBezierPathElement previous = path->elementAtIndex(index - 1, before);
    start = previous == NSCurveToBezierPathElement ? before[2] : before[0];
    // A quarter circle's control points lie on the tangents at its ends, at
    // kappa x radius from them.
    const CGFloat kappa = 0.5522847498307936 * radius;
    auto towards = [](NSPoint from, NSPoint to, CGFloat d) {
        const CGFloat len = std::hypot(to.x - from.x, to.y - from.y);
        return NSPoint{from.x + (to.x - from.x) / len * d, from.y + (to.y - from.y) / len * d};
    };
    // The tangent at an end is perpendicular to the radius, pointing at the
    // corner the arc replaces; the corner is start + end - centre.
    const NSPoint corner{start.x + p[2].x - centre.x, start.y + p[2].y - centre.y};
    const NSPoint c1 = towards(start, corner, kappa), c2 = towards(p[2], corner, kappa);
    EXPECT_NEAR(p[0].x, c1.x, 1e-9) << "element " << index;
    EXPECT_NEAR(p[0].y, c1.y, 1e-9) << "element " << index;
    EXPECT_NEAR(p[1].x, c2.x, 1e-9) << "element " << index;
    EXPECT_NEAR(p[1].y, c2.y, 1e-9) << "element " << index;
    EXPECT_NEAR(std::hypot(start.x - centre.x, start.y - centre.y), radius, 1e-9);
    EXPECT_NEAR(std::hypot(p[2].x - centre.x, p[2].y - centre.y), radius, 1e-9);
}

const NSRect kBox = NSMakeRect(0, 0, 40, 20);

}

TEST(PathShapes, RoundedRectangles)
{
    struct Case {
        const char* what;
        void (*append)(const Ref<NSBezierPath>&, const NSRect&, CGFloat);
        const char* elements;
        // Curve index and the centre of its circle.
        std::vector<std::pair<NSInteger, NSPoint>> corners;
    } cases[] = {
        {"all corners",
         appendBezierPathWithRoundedRectangle,
         "M 20 20, L 5 20, C 0 15, L 0 5, C 5 0, L 35 0, C 40 5, L 40 15, C 35 20, Z",
         {{2, {5, 15}}, {4, {5, 5}}, {6, {35, 5}}, {8, {35, 15}}}},
        {"left corners, right ones square",
         appendBezierPathWithLeftRoundedRectangle,
         "M 20 20, L 5 20, C 0 15, L 0 5, C 5 0, L 40 0, L 40 20, Z",
         {{2, {5, 15}}, {4, {5, 5}}}},
        {"right corners, left ones square",
         appendBezierPathWithRightRoundedRectangle,
         "M 20 0, L 35 0, C 40 5, L 40 15, C 35 20, L 0 20, L 0 0, Z",
         {{2, {35, 5}}, {4, {35, 15}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto path = NSBezierPath::bezierPath();
        c.append(path, kBox, 5);
        EXPECT_EQ(outline(path), c.elements);
        for (const auto& [index, centre] : c.corners) expectQuarterCircle(path, index, centre, 5);
        EXPECT_EQ(path->bounds(), kBox);
    }
    // The class form is a new path with the same elements; appending keeps
    // what the path held.
    EXPECT_EQ(outline(bezierPathWithRoundedRectangle(kBox, 5)), cases[0].elements);
    auto path = bezierPathWithLineFrom({-3, -4}, {1, 2});
    appendBezierPathWithRightRoundedRectangle(path, kBox, 5);
    EXPECT_EQ(outline(path), std::string("M -3 -4, L 1 2, ") + cases[2].elements);
}

TEST(PathShapes, RoundedRectangleWithoutRadiusHasSquareCorners)
{
    auto path = bezierPathWithRoundedRectangle(NSMakeRect(10, 10, 20, 10), 0);
    EXPECT_EQ(outline(path), "M 20 20, L 10 20, L 10 10, L 30 10, L 30 20, Z");
}

TEST(PathShapes, BleedMarks)
{
    const NSRect r = NSMakeRect(10, 20, 30, 40);
    struct Case {
        int32_t corner;
        const char* elements;
    } cases[] = {
        {4, "M 10 20, L 10 60, M 10 20, L 40 20"},
        {5, "M 40 20, L 10 20, M 40 20, L 40 60"},
        {6, "M 40 60, L 40 20, M 40 60, L 10 60"},
        {7, "M 10 60, L 10 20, M 10 60, L 40 60"},
        {3, ""},
        {8, ""},
        {-4, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(outline(bezierPathWithBleedMarkInRect(r, c.corner)), c.elements) << "corner " << c.corner;
}

TEST(PathShapes, CropMark)
{
    const NSRect r = NSMakeRect(0, 0, 120, 60);
    auto path = bezierPathWithCropMarkInRect(r);
    // Outer circle in (30, 15, 60, 30), inner circle in (40, 20, 40, 20),
    // then the inner diameters and the four ticks.
    EXPECT_EQ(outline(path), "M 90 30, C 60 45, C 30 30, C 60 15, C 90 30, Z, "
                             "M 80 30, C 60 40, C 40 30, C 60 20, C 80 30, Z, "
                             "M 60 20, L 60 40, M 40 30, L 80 30, "
                             "M 60 0, L 60 15, M 60 60, L 60 45, M 0 30, L 30 30, M 120 30, L 90 30");
    EXPECT_EQ(path->bounds(), r);
}

TEST(PathShapes, Crosses)
{
    const NSRect r = NSMakeRect(2, 4, 10, 6);
    EXPECT_EQ(outline(bezierPathWithCrossInRect(r)), "M 7 4, L 7 10, M 2 7, L 12 7");
    EXPECT_EQ(outline(bezierPathWith45CrossInRect(r)), "M 2 4, L 12 10, M 2 10, L 12 4");
    EXPECT_EQ(outline(bezierPathWithLineFrom({1.5, 2}, {-3, 4.25})), "M 1.5 2, L -3 4.25");
}
