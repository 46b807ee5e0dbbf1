// Help paths: points snapped to device pixel centres, drawn without
// antialiasing through a real context, flipped and unflipped, and the
// context's state afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppKit/NSColor.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"

using namespace NSBezierPathExt;

namespace {

// The smallest rectangle of pixels (columns, rows from the top) that are not
// fully transparent, and whether each of them is opaque.
struct Ink {
    int left = -1, top = -1, right = -1, bottom = -1;
    int count = 0;
    bool allOpaque = true;
    friend bool operator==(const Ink&, const Ink&) = default;
};

Ink inkOf(const Ref<CGImage>& image)
{
    Ink ink;
    for (size_t y = 0; y < image->height(); ++y) {
        for (size_t x = 0; x < image->width(); ++x) {
            const uint32_t argb = image->pixel(x, y);
            if ((argb >> 24) == 0) continue;
            const int cx = static_cast<int>(x), cy = static_cast<int>(y);
            if (ink.count++ == 0) ink.left = ink.right = cx, ink.top = ink.bottom = cy;
            ink.left = std::min(ink.left, cx), ink.right = std::max(ink.right, cx);
            ink.top = std::min(ink.top, cy), ink.bottom = std::max(ink.bottom, cy);
            if ((argb >> 24) != 0xFF) ink.allOpaque = false;
        }
    }
    return ink;
}

std::string describe(const Ink& ink)
{
    return "columns " + std::to_string(ink.left) + "-" + std::to_string(ink.right) + ", rows " +
           std::to_string(ink.top) + "-" + std::to_string(ink.bottom) + ", " + std::to_string(ink.count) + " pixels" +
           (ink.allOpaque ? "" : ", some partly covered");
}

Ref<NSBezierPath> line(NSPoint a, NSPoint b) { return bezierPathWithLineFrom(a, b); }

}

TEST(HelpPaths, NormalisingMovesEveryPointToAPixelCentre)
{
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint({0.3, 10.2});
    path->lineToPoint({20.7, -0.5});
    // Control points are snapped too.
    path->curveToPoint({2.5, -2.5}, {0.4999999999, 7.49}, {-0.2, 1e9});
    path->closePath();
    _normalizeBezierPath(path);
    NSPoint p[3];
    EXPECT_EQ(path->elementAtIndex(0, p), NSMoveToBezierPathElement);
    EXPECT_EQ(p[0], NSMakePoint(0.5, 10.5));
    path->elementAtIndex(1, p);
    EXPECT_EQ(p[0], NSMakePoint(21.5, -0.5));  // -0.5 rounds away from zero
    EXPECT_EQ(path->elementAtIndex(2, p), NSCurveToBezierPathElement);
    // 0.4999999999 is 0.5 in single precision, which rounds up.
    EXPECT_EQ(p[0], NSMakePoint(1.5, 7.5));
    EXPECT_EQ(p[1], NSMakePoint(0.5, 1e9 + 0.5));
    EXPECT_EQ(p[2], NSMakePoint(3.5, -2.5));
    EXPECT_EQ(path->elementAtIndex(3), NSClosePathBezierPathElement);
    EXPECT_EQ(path->elementCount(), 4);
}

// A horizontal line from x 0.3 to 20.7 at y 10.2 is stroked from (0.5, 10.5)
// to (21.5, 10.5) in device space (y up from the bottom): the pixel row whose
// bottom edge is at device y 10, 21 pixels long (a stroke covers the pixels
// whose centres lie inside it, the first end included). The same user line
// lands on other rows in a flipped or a scaled context.
TEST(HelpPaths, StrokeCoversOneRowOfWholePixels)
{
    struct Case {
        const char* what;
        NSInteger pixelsWide, pixelsHigh;
        bool flipped;
        NSPoint from, to;
        Ink ink;
    } cases[] = {
        // Rows from the top of a 30-pixel image: device y 10 is row 19.
        {"horizontal, unflipped", 40, 30, false, {0.3, 10.2}, {20.7, 10.2}, {0, 19, 20, 19, 21, true}},
        {"horizontal, flipped", 40, 30, true, {0.3, 10.2}, {20.7, 10.2}, {0, 9, 20, 9, 21, true}},
        // Twice the pixels: y 10.2 is device y 20.4, row 39 of 60.
        {"horizontal, scaled twice", 80, 60, false, {0.3, 10.2}, {20.7, 10.2}, {1, 39, 40, 39, 40, true}},
        // Device y 2.5 to 13.5: rows 16.5 to 27.5 from the top.
        {"vertical, unflipped", 40, 30, false, {5.6, 2.2}, {5.6, 12.9}, {6, 16, 6, 26, 11, true}},
        // Device y 28.5 to 17.5: rows 1.5 to 12.5 from the top.
        {"vertical, flipped", 40, 30, true, {5.6, 2.2}, {5.6, 12.9}, {6, 1, 6, 11, 11, true}},
    };
    for (const auto& c : cases) {
        auto image = NSGraphicsContext::imageByDrawing(c.pixelsWide, c.pixelsHigh, NSMakeSize(40, 30), c.flipped, [&] {
            NSColor::blackColor()->set();
            strokeAsHelpPath(line(c.from, c.to));
        });
        EXPECT_EQ(describe(inkOf(image)), describe(c.ink)) << c.what;
    }
}

TEST(HelpPaths, AntialiasedStrokeOfAGivenWidth)
{
    // Two device pixels wide, centred on the pixel centre of row 19: rows
    // 18 and 20 half covered, row 19 fully.
    auto image = NSGraphicsContext::imageByDrawing(40, 30, NSMakeSize(40, 30), false, [] {
        NSColor::blackColor()->set();
        strokeAsHelpPathWithLineWidth(line({2, 10.2}, {12, 10.2}), 2, true);
    });
    const Ink ink = inkOf(image);
    EXPECT_EQ(ink.top, 18);
    EXPECT_EQ(ink.bottom, 20);
    EXPECT_FALSE(ink.allOpaque);
    EXPECT_EQ(image->pixel(5, 19) >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<double>(image->pixel(5, 18) >> 24), 128, 2);
}

TEST(HelpPaths, FillCoversWholePixels)
{
    // Corners snap to (2.5, 1.5) and (9.5, 6.5) in device space: pixel
    // centres, so the fill covers columns 2-8 and device rows 1-5 (rows
    // 23-27 from the top of 30) without partial pixels.
    auto image = NSGraphicsContext::imageByDrawing(40, 30, NSMakeSize(40, 30), false, [] {
        NSColor::blackColor()->set();
        fillAsHelpPath(NSBezierPath::bezierPathWithRect(NSMakeRect(2.2, 1.4, 6.9, 4.3)));
    });
    EXPECT_EQ(describe(inkOf(image)), describe({2, 23, 8, 27, 35, true}));
}

TEST(HelpPaths, LeaveTheMatrixAsItWasAndAntialiasingOnWhenTheyTurnedItOff)
{
    auto image = NSGraphicsContext::imageByDrawing(40, 30, NSMakeSize(40, 30), false, [] {
        auto context = NSGraphicsContext::currentContext();
        CGContext* port = context->graphicsPort();
        // A matrix whose inverse is not exact in binary.
        port->concatCTM(CGAffineTransformMake(0.3, 0.1, -0.7, 1.3, 3.3, 7.1));
        const CGAffineTransform before = port->getCTM();
        struct Step {
            const char* what;
            bool antialiasBefore, antialiasAfter;
            void (*draw)(const Ref<NSBezierPath>&);
        } steps[] = {
            {"stroke after antialiasing was off", false, true, [](const Ref<NSBezierPath>& p) { strokeAsHelpPath(p); }},
            {"fill", true, true, [](const Ref<NSBezierPath>& p) { fillAsHelpPath(p); }},
            {"antialiased stroke", false, false,
             [](const Ref<NSBezierPath>& p) { strokeAsHelpPathWithLineWidth(p, 1, true); }},
            {"antialiased fill", true, true,
             [](const Ref<NSBezierPath>& p) { fillAsHelpPathWithAntiAliasing(p, true); }},
        };
        for (const auto& s : steps) {
            context->setShouldAntialias(s.antialiasBefore);
            auto path = NSBezierPath::bezierPathWithRect(NSMakeRect(1.2, 1.2, 5, 5));
            path->setLineWidth(3);
            s.draw(path);
            // The receiver keeps its points and width; a copy was drawn.
            EXPECT_EQ(path->bounds(), NSMakeRect(1.2, 1.2, 5, 5)) << s.what;
            EXPECT_EQ(path->lineWidth(), 3) << s.what;
            EXPECT_TRUE(CGAffineTransformEqualToTransform(port->getCTM(), before)) << s.what;
            EXPECT_EQ(context->shouldAntialias(), s.antialiasAfter) << s.what;
        }
    });
    EXPECT_GT(inkOf(image).count, 0);
}

TEST(HelpPaths, WithoutAContextNothingHappens)
{
    NSGraphicsContext::setCurrentContext(nullptr);
    strokeAsHelpPath(line({0, 0}, {5, 5}));
    fillAsHelpPath(NSBezierPath::bezierPathWithRect(NSMakeRect(0, 0, 5, 5)));
    strokeAsHelpPath(nullptr);
    SUCCEED();
}
