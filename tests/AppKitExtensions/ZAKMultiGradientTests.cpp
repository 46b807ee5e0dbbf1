// Multi-stop gradients: the order of stops, colours between and beyond
// them in the three blending modes, the range errors, and the pixels of the
// axial fill.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "AppKit/NSGraphicsContext.h"
#include "AppKitExtensions/ZAKMultiGradient.h"
#include "Foundation/NSException.h"

namespace {

Ref<NSColor> rgb(double r, double g, double b) { return NSColor::colorWithCalibratedRed(r, g, b, 1.0); }

struct Components {
    double r, g, b, a;
};

Components componentsOf(const Ref<NSColor>& color)
{
    CGFloat r, g, b, a;
    color->getRed(&r, &g, &b, &a);
    return {r, g, b, a};
}

void expectColor(const Ref<NSColor>& color, Components want, const std::string& what, double tolerance = 1e-9)
{
    Components got = componentsOf(color);
    EXPECT_NEAR(got.r, want.r, tolerance) << what;
    EXPECT_NEAR(got.g, want.g, tolerance) << what;
    EXPECT_NEAR(got.b, want.b, tolerance) << what;
    EXPECT_NEAR(got.a, want.a, tolerance) << what;
}

std::string rangeErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const NSException& e) {
        EXPECT_EQ(e.name()->UTF8String(), NSRangeException);
        return e.reason()->UTF8String();
    }
    return "(no exception)";
}

// The red channel of a premultiplied opaque pixel.
int redOf(uint32_t pixel) { return int((pixel >> 16) & 0xff); }

}

TEST(ZAKMultiGradient, StopsKeepPositionOrderAndEqualPositionsTheirAddingOrder)
{
    auto gradient = NSObject::make<ZAKMultiGradient>()
                        ->addColorStop(rgb(0.5, 0, 0), 0.5)
                        ->addColorStop(rgb(0, 0, 0), 0)
                        ->addColorStop(rgb(1, 0, 0), 1)
                        ->addColorStop(rgb(0.5, 1, 0), 0.5);
    struct Want {
        double position;
        Components color;
    } want[] = {{0, {0, 0, 0, 1}}, {0.5, {0.5, 0, 0, 1}}, {0.5, {0.5, 1, 0, 1}}, {1, {1, 0, 0, 1}}};
    for (NSUInteger i = 0; i < 4; ++i) {
        ASSERT_NE(gradient->elementAtIndex(i), nullptr);
        EXPECT_EQ(gradient->elementAtIndex(i)->position, want[i].position) << i;
        expectColor(gradient->colorStopAtIndex(i), want[i].color, "stop " + std::to_string(i));
    }
    EXPECT_EQ(gradient->elementAtIndex(4), nullptr);
    // Just above the shared position the later stop's colour holds.
    expectColor(gradient->colorAtPosition(0.5 + 1e-12), {0.5, 1, 0, 1}, "just above 0.5", 1e-6);
    expectColor(gradient->colorAtPosition(0.5), {0.5, 0, 0, 1}, "at 0.5");
}

TEST(ZAKMultiGradient, ColoursBetweenAndBeyondTheStops)
{
    auto twoStops = ZAKMultiGradient::gradientWithBeginningColor(rgb(0.2, 0.4, 0.6), rgb(0.6, 0.8, 1.0))
                        ->removeColorStopAtPosition(0)
                        ->addColorStop(rgb(0.2, 0.4, 0.6), 0.25)
                        ->removeColorStopAtPosition(1)
                        ->addColorStop(rgb(0.6, 0.8, 1.0), 0.75);
    auto red = rgb(1, 0, 0), blue = rgb(0, 0, 1);
    auto chromatic = ZAKMultiGradient::gradientWithBeginningColor(red, blue)->gradientWithBlendingMode(1);
    auto greyToRed = ZAKMultiGradient::gradientWithBeginningColor(rgb(0.5, 0.5, 0.5), red)->gradientWithBlendingMode(1);
    struct Case {
        const char* what;
        Ref<ZAKMultiGradient> gradient;
        double position;
        Components want;
    } cases[] = {
        {"below the first stop", twoStops, 0.1, {0.2, 0.4, 0.6, 1}},
        {"above the last stop", twoStops, 0.9, {0.6, 0.8, 1.0, 1}},
        {"halfway, linear", twoStops, 0.5, {0.4, 0.6, 0.8, 1}},
        {"empty gradient", NSObject::make<ZAKMultiGradient>(), 0.5, {1, 1, 1, 1}},
        {"chromatic red to blue passes green", chromatic, 0.5, {0, 1, 0, 1}},
        {"inverse chromatic passes magenta", chromatic->gradientWithBlendingMode(2), 0.5, {1, 0, 1, 1}},
        {"a grey stop keeps the coloured hue", greyToRed, 0.5, {0.75, 0.375, 0.375, 1}},
        {"unknown modes mix linearly", chromatic->gradientWithBlendingMode(7), 0.5, {0.5, 0, 0.5, 1}},
        {"not a number takes the first stop", twoStops, NAN, {0.2, 0.4, 0.6, 1}},
        {"far beyond", twoStops, 1e300, {0.6, 0.8, 1.0, 1}},
    };
    for (const Case& c : cases) expectColor(c.gradient->colorAtPosition(c.position), c.want, c.what, 1e-6);

    auto aqua = ZAKMultiGradient::aquaNormalGradient();
    EXPECT_NEAR(componentsOf(aqua->colorAtPosition(0.49)).r, 0.8324, 1e-4);
    EXPECT_NEAR(componentsOf(aqua->colorAtPosition(0.51)).r, 0.9494, 1e-4);
}

TEST(ZAKMultiGradient, CopiesLeaveTheReceiverAsItIs)
{
    auto base = ZAKMultiGradient::gradientWithBeginningColor(rgb(0, 0, 0), rgb(1, 1, 1))->gradientWithBlendingMode(1);
    auto translucent = base->gradientWithAlphaComponent(0.25);
    EXPECT_EQ(translucent->blendingMode(), 0);
    EXPECT_EQ(componentsOf(translucent->colorStopAtIndex(1)).a, 0.25);
    EXPECT_EQ(componentsOf(base->colorStopAtIndex(1)).a, 1);

    auto three = base->addColorStop(rgb(1, 0, 0), 0.2)->addColorStop(rgb(0, 1, 0), 0.4);
    auto removed = three->removeColorStopAtIndex(2);
    EXPECT_EQ(removed->blendingMode(), 1);
    ASSERT_NE(removed->elementAtIndex(2), nullptr);
    EXPECT_EQ(removed->elementAtIndex(2)->position, 1);
    EXPECT_EQ(three->elementAtIndex(2)->position, 0.4);
    EXPECT_EQ(removed->elementAtIndex(3), nullptr);

    auto copy = static_ref_cast<ZAKMultiGradient>(three->copy());
    EXPECT_EQ(copy->blendingMode(), 1);
    for (NSUInteger i = 0; i < 4; ++i) EXPECT_EQ(copy->elementAtIndex(i)->position, three->elementAtIndex(i)->position);
}

TEST(ZAKMultiGradient, RangeErrorsNameTheIndexOrPosition)
{
    auto gradient = ZAKMultiGradient::gradientWithBeginningColor(rgb(0, 0, 0), rgb(1, 1, 1));
    EXPECT_EQ(rangeErrorOf([&] { gradient->removeColorStopAtIndex(2); }),
              "-[ZAKMultiGradient removeColorStopAtIndex:]: index (2) beyond bounds");
    EXPECT_EQ(rangeErrorOf([&] { gradient->colorStopAtIndex(5); }),
              "-[ZAKMultiGradient removeColorStopAtIndex:]: index (5) beyond bounds");
    EXPECT_EQ(rangeErrorOf([&] { gradient->removeColorStopAtPosition(0.5); }),
              "-[ZAKMultiGradient removeColorStopAtPosition:]: no such colorStop at position (0.500000)");
    EXPECT_NE(gradient->elementAtIndex(1), nullptr);

    auto empty = gradient->removeElementAtIndex(7);
    EXPECT_TRUE(std::isnan(empty.position));
    EXPECT_EQ(empty.red + empty.green + empty.blue + empty.alpha, 0);
}

TEST(ZAKMultiGradient, SwatchIsTheFillAtFortyFiveDegrees)
{
    auto gradient = ZAKMultiGradient::rainbowGradient();
    NSRect rect = NSMakeRect(5, 5, 50, 30);
    auto swatch =
        NSGraphicsContext::imageByDrawing(60, 40, NSMakeSize(60, 40), false, [&] { gradient->drawSwatchInRect(rect); });
    auto fill =
        NSGraphicsContext::imageByDrawing(60, 40, NSMakeSize(60, 40), false, [&] { gradient->fillRect(rect, 45); });
    int differing = 0, painted = 0;
    for (size_t y = 0; y < 40; ++y)
        for (size_t x = 0; x < 60; ++x) {
            differing += swatch->pixel(x, y) != fill->pixel(x, y);
            painted += swatch->pixel(x, y) != 0;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(painted, 50 * 30);
}

TEST(ZAKMultiGradient, AxialFillFollowsTheAngleAndKeepsTheStepSharp)
{
    // Left to right at 0 degrees, bottom to top at 90: black at the start.
    auto blackToWhite = ZAKMultiGradient::gradientWithBeginningColor(rgb(0, 0, 0), rgb(1, 1, 1));
    auto across = NSGraphicsContext::imageByDrawing(100, 20, NSMakeSize(100, 20), false,
                                                    [&] { blackToWhite->fillRect(NSMakeRect(0, 0, 100, 20), 0); });
    EXPECT_LT(redOf(across->pixel(0, 10)), 5);
    EXPECT_GT(redOf(across->pixel(99, 10)), 250);
    auto up = NSGraphicsContext::imageByDrawing(20, 100, NSMakeSize(20, 100), false,
                                                [&] { blackToWhite->fillRect(NSMakeRect(0, 0, 20, 100), 90); });
    EXPECT_LT(redOf(up->pixel(10, 99)), 5);
    EXPECT_GT(redOf(up->pixel(10, 0)), 250);

    // The aqua step at 0.5 stays a step, not a ramp over several rows.
    auto aqua = ZAKMultiGradient::aquaNormalGradient();
    auto tall = NSGraphicsContext::imageByDrawing(4, 1000, NSMakeSize(4, 1000), false,
                                                  [&] { aqua->fillRect(NSMakeRect(0, 0, 4, 1000), 90); });
    int above = redOf(tall->pixel(2, 499)), below = redOf(tall->pixel(2, 500));
    EXPECT_NEAR(above, 0.95 * 255, 1.5);
    EXPECT_NEAR(below, 0.83 * 255, 1.5);

    // The chromatic fill is sampled: red at the left, green in the middle.
    auto rainbow =
        ZAKMultiGradient::gradientWithBeginningColor(rgb(1, 0, 0), rgb(0, 0, 1))->gradientWithBlendingMode(1);
    auto hues = NSGraphicsContext::imageByDrawing(300, 4, NSMakeSize(300, 4), false,
                                                  [&] { rainbow->fillRect(NSMakeRect(0, 0, 300, 4), 0); });
    EXPECT_EQ(redOf(hues->pixel(0, 2)), 255);
    EXPECT_LT((hues->pixel(0, 2) >> 8) & 0xff, 3u);
    EXPECT_EQ((hues->pixel(150, 2) >> 8) & 0xff, 0xffu);
    EXPECT_LT(redOf(hues->pixel(150, 2)), 8);
}

TEST(ZAKMultiGradient, RadialFillHasTheFirstColourAtTheCentre)
{
    auto gradient = ZAKMultiGradient::gradientWithBeginningColor(rgb(1, 0, 0), rgb(0, 0, 1));
    auto image = NSGraphicsContext::imageByDrawing(40, 40, NSMakeSize(40, 40), false,
                                                   [&] { gradient->radialFillRect(NSMakeRect(0, 0, 40, 40)); });
    EXPECT_GT(redOf(image->pixel(20, 20)), 240);
    EXPECT_EQ(image->pixel(0, 0) & 0xffffff, 0x0000ffu);  // beyond the radius: the end colour
}
