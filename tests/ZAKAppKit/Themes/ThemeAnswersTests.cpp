#include <gtest/gtest.h>

#include <array>

#include "AppKit/NSColorSpace.h"
#include "AppKitExtensions/NSGradient+ZAKNSGradientExtensions.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKThemes/ZAKAbstractTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemeManager.h"

namespace {

Ref<ZAKTheme> theme(const char* key)
{
    return ZAKThemeManager::sharedThemeManager()->themeForKey(NSString::stringWithUTF8String(key));
}

double f(float value) { return static_cast<double>(value); }

struct RGBA {
    double r, g, b, a;
};

void expectColour(const Ref<NSColor>& colour, RGBA want, const std::string& what)
{
    ASSERT_TRUE(colour) << what;
    CGFloat r, g, b, a;
    colour->getRed(&r, &g, &b, &a);
    EXPECT_EQ(r, want.r) << what;
    EXPECT_EQ(g, want.g) << what;
    EXPECT_EQ(b, want.b) << what;
    EXPECT_EQ(a, want.a) << what;
}

void expectStops(const Ref<NSGradient>& gradient, const std::vector<std::pair<RGBA, double>>& stops,
                 const std::string& what)
{
    ASSERT_TRUE(gradient) << what;
    ASSERT_EQ(gradient->numberOfColorStops(), static_cast<NSInteger>(stops.size())) << what;
    for (size_t i = 0; i < stops.size(); ++i) {
        Ref<NSColor> colour;
        CGFloat location;
        gradient->getColor(&colour, &location, static_cast<NSInteger>(i));
        EXPECT_EQ(location, stops[i].second) << what << " stop " << i;
        expectColour(colour, stops[i].first, what + " stop " + std::to_string(i));
    }
}

TEST(AbstractTheme, AnswersThePlatformColoursAndTheSinglePrecisionAlphas)
{
    auto base = NSObject::make<ZAKAbstractTheme>();
    EXPECT_EQ(base->alphaValueForStateMask(1), 0.20000000298023224);
    EXPECT_EQ(base->alphaValueForStateMask(0), 0.6000000238418579);
    struct Case {
        NSInteger style;
        NSUInteger mask;
        double alpha;
    } cases[] = {{1, 0, 1.0}, {1, 1, f(0.2f)}, {0, 0, f(0.6f)}, {2, 1, f(0.2f)}, {3, 4, f(0.6f)}};
    for (const auto& c : cases)
        EXPECT_EQ(base->alphaValueForBackgroundStyle(c.style, c.mask), c.alpha) << c.style << "/" << c.mask;

    EXPECT_EQ(base->backgroundStyle(), 0);
    EXPECT_TRUE(base->fillColorForStateMask(5)->isEqual(NSColor::controlHighlightColor().get()));
    EXPECT_TRUE(base->fillColorForStateMask(1)->isEqual(NSColor::controlBackgroundColor().get()));
    EXPECT_TRUE(base->textColorForBackgroundStyle(1, 1)->isEqual(NSColor::disabledControlTextColor().get()));
    EXPECT_TRUE(base->textColorForBackgroundStyle(1, 4)->isEqual(NSColor::controlTextColor().get()));
    EXPECT_FALSE(base->gradientForStateMask(0));
    EXPECT_FALSE(base->borderSideGradientForStateMask(0));
    EXPECT_EQ(base->gradientAngleForStateMask(4), 90);
    EXPECT_FALSE(base->applyShadows());

    struct ShadowCase {
        NSInteger style;
        Ref<NSColor> colour;
    } shadows[] = {{0, NSColor::blackColor()}, {1, NSColor::whiteColor()}, {2, nullptr}, {3, nullptr}};
    for (const auto& c : shadows) {
        auto shadow = base->dropShadowForBackgroundStyle(c.style);
        if (!c.colour) {
            EXPECT_FALSE(shadow) << c.style;
            continue;
        }
        ASSERT_TRUE(shadow) << c.style;
        EXPECT_TRUE(shadow->shadowColor()->isEqual(c.colour.get())) << c.style;
        EXPECT_EQ(shadow->shadowBlurRadius(), 2);
        EXPECT_EQ(shadow->shadowOffset().height, -1);
    }
    auto ring = base->focusRing();
    EXPECT_EQ(ring->shadowBlurRadius(), 3);
    EXPECT_EQ(ring->shadowOffset().width, 0);
    EXPECT_EQ(ring->shadowOffset().height, 0);
    EXPECT_NE(base->dropShadow().get(), base->dropShadow().get());  // made afresh each time
}

class HalfTheme : public ZAKAbstractTheme {
    NS_OBJECT(HalfTheme, ZAKAbstractTheme)
public:
    double alphaValueForStateMask(NSUInteger) const override { return 0.5; }
};
NS_CLASS_DEFINE(HalfTheme)

TEST(AbstractTheme, AnOverriddenAlphaReachesEveryStyleButDark)
{
    auto half = NSObject::make<HalfTheme>();
    for (NSInteger style : {0, 2, 3}) EXPECT_EQ(half->alphaValueForBackgroundStyle(style, 1), 0.5) << style;
    EXPECT_EQ(half->alphaValueForBackgroundStyle(1, 0), 1.0);
    EXPECT_EQ(half->alphaValueForBackgroundStyle(1, 1), f(0.2f));
}

TEST(FlatDarkTheme, AnswersByMaskInTheOrderOfItsTests)
{
    auto dark = theme("ZAKFlatDarkTheme");
    auto grey = [](float g, double a) { return RGBA{f(g), f(g), f(g), a}; };
    const double a6 = f(0.6f), a2 = f(0.2f);
    struct Case {
        NSUInteger mask;
        RGBA fill, gradientStart, gradientEnd, stroke;
    } cases[] = {
        {0,
         grey(0.141f, a6),
         {f(0.251f), f(0.251f), f(0.255f), a6},
         grey(0.118f, a6),
         {f(0.749f), f(0.761f), f(0.788f), 1.0}},
        {4,
         grey(0.941f, a6),
         {f(0.451f), f(0.451f), f(0.455f), a6},
         grey(0.318f, a6),
         {f(0.749f), f(0.761f), f(0.788f), 1.0}},
        {8,
         grey(0.941f, a6),
         {f(0.451f), f(0.451f), f(0.455f), a6},
         grey(0.318f, a6),
         {f(0.749f), f(0.761f), f(0.788f), 1.0}},
        // Inactive and pressed: the inactive branch wins.
        {6,
         grey(0.141f, a6),
         {f(0.251f), f(0.251f), f(0.255f), a6},
         grey(0.118f, a6),
         {f(0.749f), f(0.761f), f(0.788f), a6}},
        {5,
         grey(0.141f, a2),
         {f(0.251f), f(0.251f), f(0.255f), a2},
         grey(0.118f, a2),
         {f(0.749f), f(0.761f), f(0.788f), a2}},
    };
    for (const auto& c : cases) {
        auto what = "mask " + std::to_string(c.mask);
        expectColour(dark->fillColorForStateMask(c.mask), c.fill, what + " fill");
        expectStops(dark->gradientForStateMask(c.mask), {{c.gradientStart, 0.0}, {c.gradientEnd, 1.0}}, what);
        expectColour(dark->strokeColorForStateMask(c.mask), c.stroke, what + " stroke");
    }
    expectColour(dark->darkStrokeColorForStateMask(7), grey(0.141f, f(0.5f)), "dark stroke");
    EXPECT_EQ(dark->backgroundStyle(), 1);
    EXPECT_EQ(dark->alphaValueForBackgroundStyle(1, 0), 1.0);
    EXPECT_EQ(dark->alphaValueForBackgroundStyle(0, 0), a6);
    EXPECT_FALSE(dark->dropShadowForBackgroundStyle(2));
}

TEST(FlatDarkTheme, TheComplexGradientIgnoresTheInactiveBit)
{
    auto dark = theme("ZAKFlatDarkTheme");
    const double a6 = f(0.6f);
    auto stops = [](std::initializer_list<std::array<float, 3>> colours, double alpha) {
        std::vector<std::pair<RGBA, double>> out;
        const double locations[] = {0.0, 0.5, 0.5, 1.0};
        size_t i = 0;
        for (const auto& c : colours) out.push_back({{f(c[0]), f(c[1]), f(c[2]), alpha}, locations[i++]});
        return out;
    };
    auto light = stops(
        {{0.524f, 0.531f, 0.547f}, {0.445f, 0.453f, 0.469f}, {0.406f, 0.414f, 0.433f}, {0.339f, 0.347f, 0.367f}}, a6);
    auto darkSet = stops(
        {{0.324f, 0.331f, 0.347f}, {0.245f, 0.253f, 0.269f}, {0.206f, 0.214f, 0.233f}, {0.139f, 0.147f, 0.167f}}, a6);
    expectStops(dark->complexGradientForStateMask(6), light, "mask 6");
    expectStops(dark->complexGradientForStateMask(8), light, "mask 8");
    expectStops(dark->complexGradientForStateMask(0), darkSet, "mask 0");
    expectStops(dark->complexGradientForStateMask(2), darkSet, "mask 2");
    auto disabledPressed = dark->complexGradientForStateMask(5);
    expectStops(
        disabledPressed,
        stops({{0.324f, 0.331f, 0.347f}, {0.245f, 0.253f, 0.269f}, {0.206f, 0.214f, 0.233f}, {0.139f, 0.147f, 0.167f}},
              f(0.2f)),
        "mask 5");
}

TEST(FlatDarkTheme, TextColoursFollowDisabledPressedAndInactive)
{
    auto dark = theme("ZAKFlatDarkTheme");
    expectColour(dark->textColorForBackgroundStyle(0, 1), {1, 1, 1, f(0.2f)}, "disabled");
    // Pressed text is the selected-text background colour, not the selected-text colour.
    EXPECT_TRUE(dark->textColorForBackgroundStyle(0, 4)->isEqual(NSColor::darkGrayColor().get()));
    EXPECT_TRUE(dark->textColorForBackgroundStyle(1, 2)->isEqual(NSColor::darkGrayColor().get()));
    EXPECT_TRUE(dark->textColorForBackgroundStyle(1, 0)->isEqual(NSColor::whiteColor().get()));
    EXPECT_TRUE(dark->selectedTextColorForBackgroundStyle(0, 0)->isEqual(NSColor::whiteColor().get()));
}

TEST(HUDTheme, TellsTheRestingStateFromEveryOtherMask)
{
    auto hud = theme("ZAKHUDTheme");
    struct Case {
        NSUInteger mask;
        double alpha;
    } cases[] = {{0, 0.7}, {4, f(0.6f)}, {1, f(0.2f)}, {8, f(0.6f)}};
    for (const auto& c : cases) EXPECT_EQ(hud->alphaValueForStateMask(c.mask), c.alpha) << c.mask;
    expectColour(hud->strokeColorForStateMask(0), {f(0.749f), f(0.761f), f(0.788f), f(0.7f)}, "stroke 0");
    expectColour(hud->strokeColorForStateMask(4), {f(0.749f), f(0.761f), f(0.788f), 1.0}, "stroke 4");
    // Inherited answers ask the HUD's own alpha.
    expectColour(hud->fillColorForStateMask(0), {f(0.141f), f(0.141f), f(0.141f), 0.7}, "fill 0");
    EXPECT_EQ(hud->alphaValueForBackgroundStyle(0, 0), 0.7);
    EXPECT_EQ(hud->alphaValueForBackgroundStyle(1, 0), 1.0);

    struct GradientCase {
        NSUInteger mask;
        NSInteger stops;
        double firstRed, alpha;
    } gradients[] = {{0, 4, f(0.324f), 0.7},
                     {4, 4, f(0.524f), f(0.6f)},
                     {8, 4, f(0.524f), f(0.6f)},
                     {2, 2, f(0.251f), f(0.6f)},
                     {5, 2, f(0.251f), f(0.2f)}};
    for (const auto& c : gradients) {
        auto gradient = hud->gradientForStateMask(c.mask);
        ASSERT_TRUE(gradient);
        EXPECT_EQ(gradient->numberOfColorStops(), c.stops) << c.mask;
        Ref<NSColor> first;
        CGFloat location;
        gradient->getColor(&first, &location, 0);
        EXPECT_EQ(first->redComponent(), c.firstRed) << c.mask;
        EXPECT_EQ(first->alphaComponent(), c.alpha) << c.mask;
    }
    EXPECT_EQ(hud->backgroundStyle(), 1);
}

TEST(LightThemes, GlassAndGrayTakeThePresetsAndFillOnlyWhenPressed)
{
    auto glass = theme("ZAKGlassTheme");
    auto gray = theme("ZAKGrayTheme");
    for (NSUInteger mask : {0u, 2u, 4u})
        EXPECT_EQ(glass->gradientForStateMask(mask).get(), NSGradientExt::gradientByType(2).get());
    EXPECT_EQ(gray->gradientForStateMask(0).get(), NSGradientExt::gradientByType(0).get());
    EXPECT_EQ(gray->gradientForStateMask(4).get(), NSGradientExt::gradientByType(0).get());
    EXPECT_EQ(gray->gradientForStateMask(6).get(), NSGradientExt::gradientByType(100).get());
    for (const auto& light : {glass, gray}) {
        EXPECT_FALSE(light->fillColorForStateMask(0));
        EXPECT_FALSE(light->fillColorForStateMask(1));
        auto pressed = light->fillColorForStateMask(4);
        ASSERT_TRUE(pressed);
        EXPECT_EQ(pressed->alphaComponent(), 0.7);
        EXPECT_TRUE(pressed->isEqual(NSColor::controlShadowColor()->colorWithAlphaComponent(0.7).get()));
        EXPECT_EQ(light->backgroundStyle(), 0);
        EXPECT_EQ(light->alphaValueForStateMask(0), f(0.6f));
    }
    for (const char* key : {"ZAKGlassTheme", "ZAKGrayTheme", "ZAKFlatDarkTheme", "ZAKHUDTheme"}) {
        auto sides = theme(key)->borderSideGradientForStateMask(0);
        expectStops(sides, {{{0.99, 0.99, 0.99, 1}, 0.0}, {{0.46, 0.46, 0.46, 1}, 0.5}, {{0.88, 0.88, 0.88, 1}, 1.0}},
                    key);
    }
}

}
