// The bar and button gradients by type number, and the two-colour shading
// fills of a path, read back as pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "AppKit/NSGraphicsContext.h"
#include "AppKitExtensions/NSBezierPath+ZAKShading.h"
#include "AppKitExtensions/NSGradient+ZAKNSGradientExtensions.h"

using namespace NSGradientExt;

namespace {

int redOf(uint32_t pixel) { return int((pixel >> 16) & 0xff); }
int blueOf(uint32_t pixel) { return int(pixel & 0xff); }

}

TEST(GradientPresets, TypesAnswerTheirKeptGradients)
{
    struct Case {
        NSUInteger type;
        Ref<NSGradient> active, inactive;
    } cases[] = {
        {0, grayBarGradient(), lightGrayBarGradient()},
        {1, blueBarGradient(), blueBarGradient()},
        {2, glassBarGradient(), glassBarGradient()},
        {3, controlWindowBarGradient(), controlWindowBarGradient()},
        {100, lightGrayBarGradient(), lightGrayBarGradient()},
        {200, highlightedButtonGradient(), highlightedButtonGradient()},
        {201, selectedButtonGradient(), selectedButtonGradient()},
        {4, nullptr, nullptr},
        {101, nullptr, nullptr},
        {202, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gradientByType(c.type).get(), c.active.get()) << c.type;
        EXPECT_EQ(inactiveGradientByType(c.type).get(), c.inactive.get()) << c.type;
    }
    EXPECT_EQ(glassBarGradient().get(), glassBarGradient().get());
    EXPECT_NE(highlightedButtonGradient().get(), selectedButtonGradient().get());

    // The odd values are kept as given: a widened single-precision location
    // and an alpha above 1.
    Ref<NSColor> color;
    CGFloat location = 0;
    controlWindowBarGradient()->getColor(&color, &location, 1);
    EXPECT_EQ(location, double(0.56f));
    highlightedButtonGradient()->getColor(&color, &location, 1);
    EXPECT_EQ(color->alphaComponent(), 5.0);
    EXPECT_EQ(inactiveGradientByType(0)->numberOfColorStops(), 2);
}

TEST(ShadingFills, LinearBandsRunAcrossTheBoundsWhateverTheirWidth)
{
    // Bounds (10, 20, 100, 40) in an unflipped 120 x 80 image: y = 20 is
    // image row 60, y = 60 row 20.
    auto path = NSBezierPath::bezierPathWithRect(NSMakeRect(10, 20, 100, 40));
    auto image = NSGraphicsContext::imageByDrawing(120, 80, NSMakeSize(120, 80), false, [&] {
        NSBezierPathExt::linearGradientFillWithStartColor(path, NSColor::redColor(), NSColor::blueColor());
    });
    for (size_t x : {10u, 60u, 109u}) {
        EXPECT_GT(redOf(image->pixel(x, 59)), 245) << x;   // just above y = 20
        EXPECT_GT(blueOf(image->pixel(x, 20)), 245) << x;  // just below y = 60
        EXPECT_NEAR(redOf(image->pixel(x, 40)), 128, 5) << x;
    }
    EXPECT_EQ(image->pixel(5, 40), 0u);  // outside the path

    auto vertical = NSGraphicsContext::imageByDrawing(120, 80, NSMakeSize(120, 80), false, [&] {
        NSBezierPathExt::linearVerticalGradientFillWithStartColor(path, NSColor::redColor(), NSColor::blueColor());
    });
    EXPECT_GT(redOf(vertical->pixel(10, 40)), 245);
    EXPECT_GT(blueOf(vertical->pixel(109, 40)), 245);
}

TEST(ShadingFills, BilinearHasTheInnerColourAtBothEdges)
{
    auto path = NSBezierPath::bezierPathWithRect(NSMakeRect(0, 0, 20, 100));
    auto image = NSGraphicsContext::imageByDrawing(20, 100, NSMakeSize(20, 100), false, [&] {
        NSBezierPathExt::bilinearGradientFillWithOuterColor(path, NSColor::blueColor(), NSColor::redColor());
    });
    EXPECT_GT(redOf(image->pixel(10, 0)), 250);
    EXPECT_GT(redOf(image->pixel(10, 99)), 250);
    EXPECT_GT(blueOf(image->pixel(10, 50)), 250);
    EXPECT_LT(redOf(image->pixel(10, 50)), 5);
}
