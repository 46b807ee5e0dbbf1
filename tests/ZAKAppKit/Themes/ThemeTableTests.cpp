// Every answer of the four concrete themes for all sixteen state masks,
// against the themes' tables written out independently here.
#include <gtest/gtest.h>

#include <optional>
#include <variant>

#include "AppKitExtensions/NSGradient+ZAKNSGradientExtensions.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemeManager.h"

namespace {

double f(float value) { return static_cast<double>(value); }

struct RGBA {
    double r, g, b, a;
};
// A colour the theme computes, a platform colour it passes on, or none.
using Colour = std::variant<std::monostate, RGBA, Ref<NSColor>>;
// A gradient given by its stops, a shared preset, or none.
using Stops = std::vector<std::pair<RGBA, double>>;
using Gradient = std::variant<std::monostate, Stops, Ref<NSGradient>>;

RGBA grey(float g, double a) { return {f(g), f(g), f(g), a}; }

void expectColour(const Ref<NSColor>& got, const Colour& want, const std::string& what)
{
    if (std::holds_alternative<std::monostate>(want)) {
        EXPECT_FALSE(got) << what;
        return;
    }
    ASSERT_TRUE(got) << what;
    if (auto* platform = std::get_if<Ref<NSColor>>(&want)) {
        EXPECT_TRUE(got->isEqual(platform->get())) << what;
        return;
    }
    const RGBA& c = std::get<RGBA>(want);
    CGFloat r, g, b, a;
    got->getRed(&r, &g, &b, &a);
    EXPECT_EQ(r, c.r) << what;
    EXPECT_EQ(g, c.g) << what;
    EXPECT_EQ(b, c.b) << what;
    EXPECT_EQ(a, c.a) << what;
}

void expectGradient(const Ref<NSGradient>& got, const Gradient& want, const std::string& what)
{
    if (std::holds_alternative<std::monostate>(want)) {
        EXPECT_FALSE(got) << what;
        return;
    }
    ASSERT_TRUE(got) << what;
    if (auto* preset = std::get_if<Ref<NSGradient>>(&want)) {
        EXPECT_EQ(got.get(), preset->get()) << what;
        return;
    }
    const Stops& stops = std::get<Stops>(want);
    ASSERT_EQ(got->numberOfColorStops(), static_cast<NSInteger>(stops.size())) << what;
    for (size_t i = 0; i < stops.size(); ++i) {
        Ref<NSColor> colour;
        CGFloat location;
        got->getColor(&colour, &location, static_cast<NSInteger>(i));
        EXPECT_EQ(location, stops[i].second) << what << " stop " << i;
        expectColour(colour, stops[i].first, what + " stop " + std::to_string(i));
    }
}

void expectShadow(const Ref<NSShadow>& got, const Ref<NSColor>& colour, CGFloat blur, NSSize offset,
                  const std::string& what)
{
    if (!colour) {
        EXPECT_FALSE(got) << what;
        return;
    }
    ASSERT_TRUE(got) << what;
    EXPECT_TRUE(got->shadowColor()->isEqual(colour.get())) << what;
    EXPECT_EQ(got->shadowBlurRadius(), blur) << what;
    EXPECT_EQ(got->shadowOffset().width, offset.width) << what;
    EXPECT_EQ(got->shadowOffset().height, offset.height) << what;
}

enum class Kind { FlatDark, HUD, Glass, Gray };

struct Expected {
    NSInteger backgroundStyle;
    Colour stroke, darkStroke, grid, fill;
    double angle;
    Gradient gradient, complex, borderSide;
    Colour text, selectedText, selectedTextBackground;
    double alpha;
    double alphaLight, alphaDark, alphaRaised;
};

Stops fourStops(bool light, double alpha)
{
    const float dark[4][3] = {
        {0.324f, 0.331f, 0.347f}, {0.245f, 0.253f, 0.269f}, {0.206f, 0.214f, 0.233f}, {0.139f, 0.147f, 0.167f}};
    const float bright[4][3] = {
        {0.524f, 0.531f, 0.547f}, {0.445f, 0.453f, 0.469f}, {0.406f, 0.414f, 0.433f}, {0.339f, 0.347f, 0.367f}};
    const double locations[] = {0.0, 0.5, 0.5, 1.0};
    Stops out;
    for (int i = 0; i < 4; ++i) {
        const float* c = light ? bright[i] : dark[i];
        out.push_back({{f(c[0]), f(c[1]), f(c[2]), alpha}, locations[i]});
    }
    return out;
}

Stops borderSide()
{
    return {{{0.99, 0.99, 0.99, 1}, 0.0}, {{0.46, 0.46, 0.46, 1}, 0.5}, {{0.88, 0.88, 0.88, 1}, 1.0}};
}

Expected expected(Kind kind, NSUInteger mask)
{
    const bool disabled = mask & 1, inactive = mask & 2, pressed = mask & 4, on = mask & 8;
    const double baseAlpha = disabled ? f(0.2f) : f(0.6f);
    const double darkStyleAlpha = disabled ? f(0.2f) : 1.0;
    Expected e{};
    e.angle = 90;
    e.borderSide = borderSide();

    if (kind == Kind::Glass || kind == Kind::Gray) {
        e.backgroundStyle = 0;
        e.stroke = NSColor::controlShadowColor();
        e.darkStroke = NSColor::controlDarkShadowColor();
        e.grid = NSColor::gridColor();
        if (pressed) e.fill = NSColor::controlShadowColor()->colorWithAlphaComponent(0.7);
        if (kind == Kind::Glass) e.gradient = NSGradientExt::gradientByType(2);
        else e.gradient = NSGradientExt::gradientByType(inactive ? 100 : 0);
        e.text = disabled ? NSColor::disabledControlTextColor() : NSColor::controlTextColor();
        e.selectedText = NSColor::selectedTextColor();
        e.selectedTextBackground = NSColor::selectedTextBackgroundColor();
        e.alpha = baseAlpha;
        e.alphaLight = e.alphaRaised = baseAlpha;
        e.alphaDark = darkStyleAlpha;
        return e;
    }

    const bool hud = kind == Kind::HUD;
    const double alpha = hud && mask == 0 ? 0.7 : baseAlpha;
    e.backgroundStyle = 1;
    e.alpha = alpha;
    e.alphaLight = e.alphaRaised = alpha;
    e.alphaDark = darkStyleAlpha;
    const RGBA strokeRGB{f(0.749f), f(0.761f), f(0.788f), 1.0};
    RGBA stroke = strokeRGB;
    if (hud && mask == 0) stroke.a = f(0.7f);
    else if (disabled || inactive) stroke.a = alpha;
    e.stroke = stroke;
    e.darkStroke = grey(0.141f, f(0.5f));
    e.grid = NSColor::gridColor();
    e.fill = grey((disabled || inactive) ? 0.141f : (on || pressed) ? 0.941f : 0.141f, alpha);
    const bool lightTwoStop = !(disabled || inactive) && (on || pressed);
    Stops twoStops = lightTwoStop ? Stops{{{f(0.451f), f(0.451f), f(0.455f), alpha}, 0.0}, {grey(0.318f, alpha), 1.0}}
                                  : Stops{{{f(0.251f), f(0.251f), f(0.255f), alpha}, 0.0}, {grey(0.118f, alpha), 1.0}};
    if (hud && !(disabled || inactive)) e.gradient = fourStops(pressed || on, alpha);
    else e.gradient = twoStops;
    e.complex = fourStops(!disabled && (on || pressed), alpha);
    if (disabled) e.text = RGBA{1.0, 1.0, 1.0, alpha};
    else if (pressed || inactive) e.text = NSColor::darkGrayColor();
    else e.text = NSColor::whiteColor();
    e.selectedText = NSColor::whiteColor();
    e.selectedTextBackground = NSColor::darkGrayColor();
    return e;
}

TEST(ThemeTable, EveryOperationOfTheFourThemesForAllSixteenMasks)
{
    const std::pair<const char*, Kind> themes[] = {{"ZAKFlatDarkTheme", Kind::FlatDark},
                                                   {"ZAKHUDTheme", Kind::HUD},
                                                   {"ZAKGlassTheme", Kind::Glass},
                                                   {"ZAKGrayTheme", Kind::Gray}};
    for (const auto& [key, kind] : themes) {
        auto theme = ZAKThemeManager::sharedThemeManager()->themeForKey(NSString::stringWithUTF8String(key));
        ASSERT_TRUE(theme) << key;
        EXPECT_EQ(theme->className()->UTF8String(), std::string(key));
        expectShadow(theme->focusRing(), NSColor::whiteColor(), 3, NSMakeSize(0, 0), std::string(key) + " focus");
        expectShadow(theme->dropShadow(), NSColor::blackColor(), 2, NSMakeSize(0, -1), std::string(key) + " drop");
        const Ref<NSColor> shadowColours[] = {NSColor::blackColor(), NSColor::whiteColor(), nullptr, nullptr};
        for (NSInteger style = 0; style < 4; ++style)
            expectShadow(theme->dropShadowForBackgroundStyle(style), shadowColours[style], 2, NSMakeSize(0, -1),
                         std::string(key) + " drop style " + std::to_string(style));
        EXPECT_FALSE(theme->applyShadows()) << key;

        for (NSUInteger mask = 0; mask < 16; ++mask) {
            const auto what = std::string(key) + " mask " + std::to_string(mask);
            const Expected e = expected(kind, mask);
            EXPECT_EQ(theme->backgroundStyle(), e.backgroundStyle) << what;
            expectColour(theme->strokeColorForStateMask(mask), e.stroke, what + " stroke");
            expectColour(theme->darkStrokeColorForStateMask(mask), e.darkStroke, what + " dark stroke");
            expectColour(theme->gridColorForStateMask(mask), e.grid, what + " grid");
            expectColour(theme->fillColorForStateMask(mask), e.fill, what + " fill");
            EXPECT_EQ(theme->gradientAngleForStateMask(mask), e.angle) << what;
            expectGradient(theme->gradientForStateMask(mask), e.gradient, what + " gradient");
            expectGradient(theme->complexGradientForStateMask(mask), e.complex, what + " complex");
            expectGradient(theme->borderSideGradientForStateMask(mask), e.borderSide, what + " border side");
            for (NSInteger style : {0, 1}) {
                expectColour(theme->textColorForBackgroundStyle(style, mask), e.text, what + " text");
                expectColour(theme->selectedTextColorForBackgroundStyle(style, mask), e.selectedText,
                             what + " selected text");
                expectColour(theme->selectedTextBackgroundColorForBackgroundStyle(style, mask),
                             e.selectedTextBackground, what + " selected text background");
            }
            EXPECT_EQ(theme->alphaValueForStateMask(mask), e.alpha) << what;
            EXPECT_EQ(theme->alphaValueForBackgroundStyle(0, mask), e.alphaLight) << what;
            EXPECT_EQ(theme->alphaValueForBackgroundStyle(1, mask), e.alphaDark) << what;
            EXPECT_EQ(theme->alphaValueForBackgroundStyle(2, mask), e.alphaRaised) << what;
        }
    }
}

TEST(ThemeTable, TheSpelledOutFiguresAreTheWidenedSinglePrecisionValues)
{
    auto dark = ZAKThemeManager::sharedThemeManager()->themeForKey("ZAKFlatDarkTheme"_ns);
    auto hud = ZAKThemeManager::sharedThemeManager()->themeForKey("ZAKHUDTheme"_ns);
    EXPECT_EQ(dark->strokeColorForStateMask(0)->redComponent(), 0.7490000128746033);
    EXPECT_EQ(dark->alphaValueForStateMask(0), 0.6000000238418579);
    EXPECT_EQ(dark->alphaValueForStateMask(1), 0.20000000298023224);
    EXPECT_EQ(hud->alphaValueForStateMask(0), 0.7);
}

}
