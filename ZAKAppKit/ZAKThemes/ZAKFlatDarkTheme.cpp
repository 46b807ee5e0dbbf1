#include "ZAKAppKit/ZAKThemes/ZAKFlatDarkTheme.h"

#include <array>

#include "AppKit/NSColorSpace.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKFlatDarkTheme)

namespace {

bool inactiveOrDisabled(NSUInteger mask) { return mask & (ZAKThemeStateDisabled | ZAKThemeStateInactive); }

bool pressedOrOn(NSUInteger mask) { return mask & (ZAKThemeStateOn | ZAKThemeStateHighlighted); }

}

// The components are single-precision constants widened to double.
Ref<NSColor> ZAKFlatDarkTheme::rgb(float r, float g, float b, double alpha)
{
    return NSColor::colorWithDeviceRed(static_cast<double>(r), static_cast<double>(g), static_cast<double>(b), alpha);
}

NSInteger ZAKFlatDarkTheme::backgroundStyle() const { return ZAKBackgroundStyleDark; }

Ref<NSShadow> ZAKFlatDarkTheme::focusRing() const { return makeShadow(NSColor::whiteColor(), 3, NSMakeSize(0, 0)); }

double ZAKFlatDarkTheme::alphaValueForStateMask(NSUInteger mask) const
{
    return static_cast<double>((mask & ZAKThemeStateDisabled) ? 0.2f : 0.6f);
}

double ZAKFlatDarkTheme::alphaValueForBackgroundStyle(NSInteger style, NSUInteger mask) const
{
    return style == ZAKBackgroundStyleDark ? darkStyleAlpha(mask) : alphaValueForStateMask(mask);
}

Ref<NSColor> ZAKFlatDarkTheme::strokeColorForStateMask(NSUInteger mask) const
{
    double alpha = inactiveOrDisabled(mask) ? alphaValueForStateMask(mask) : 1.0;
    return rgb(0.749f, 0.761f, 0.788f, alpha);
}

Ref<NSColor> ZAKFlatDarkTheme::darkStrokeColorForStateMask(NSUInteger) const
{
    return rgb(0.141f, 0.141f, 0.141f, static_cast<double>(0.5f));
}

Ref<NSColor> ZAKFlatDarkTheme::fillColorForStateMask(NSUInteger mask) const
{
    float grey = (!inactiveOrDisabled(mask) && pressedOrOn(mask)) ? 0.941f : 0.141f;
    return rgb(grey, grey, grey, alphaValueForStateMask(mask));
}

double ZAKFlatDarkTheme::gradientAngleForStateMask(NSUInteger) const { return 90; }

Ref<NSGradient> ZAKFlatDarkTheme::gradientForStateMask(NSUInteger mask) const
{
    double alpha = alphaValueForStateMask(mask);
    if (!inactiveOrDisabled(mask) && pressedOrOn(mask))
        return NSGradient::initWithStartingColor(rgb(0.451f, 0.451f, 0.455f, alpha),
                                                 rgb(0.318f, 0.318f, 0.318f, alpha));
    return NSGradient::initWithStartingColor(rgb(0.251f, 0.251f, 0.255f, alpha), rgb(0.118f, 0.118f, 0.118f, alpha));
}

Ref<NSGradient> ZAKFlatDarkTheme::fourStopGradient(bool light, double alpha)
{
    using Stop = std::array<float, 3>;
    static constexpr std::array<Stop, 4> dark{
        {{0.324f, 0.331f, 0.347f}, {0.245f, 0.253f, 0.269f}, {0.206f, 0.214f, 0.233f}, {0.139f, 0.147f, 0.167f}}};
    static constexpr std::array<Stop, 4> bright{
        {{0.524f, 0.531f, 0.547f}, {0.445f, 0.453f, 0.469f}, {0.406f, 0.414f, 0.433f}, {0.339f, 0.347f, 0.367f}}};
    const auto& set = light ? bright : dark;
    auto colour = [&](int i) { return rgb(set[i][0], set[i][1], set[i][2], alpha); };
    return NSGradient::initWithColorsAndLocations(
        {{colour(0), 0.0}, {colour(1), 0.5}, {colour(2), 0.5}, {colour(3), 1.0}});
}

// Unlike the plain gradient, the inactive bit plays no part here.
Ref<NSGradient> ZAKFlatDarkTheme::complexGradientForStateMask(NSUInteger mask) const
{
    bool light = !(mask & ZAKThemeStateDisabled) && pressedOrOn(mask);
    return fourStopGradient(light, alphaValueForStateMask(mask));
}

Ref<NSGradient> ZAKFlatDarkTheme::borderSideGradient()
{
    auto colours = NSArray::arrayWithObjects({NSColor::colorWithCalibratedWhite(0.99, 1.0),
                                              NSColor::colorWithCalibratedWhite(0.46, 1.0),
                                              NSColor::colorWithCalibratedWhite(0.88, 1.0)});
    return NSGradient::initWithColors(colours, {0.0, 0.5, 1.0}, NSColorSpace::genericGrayColorSpace());
}

Ref<NSGradient> ZAKFlatDarkTheme::borderSideGradientForStateMask(NSUInteger) const { return borderSideGradient(); }

// Pressed text takes the selected-text background colour (dark grey), not the
// selected-text colour.
Ref<NSColor> ZAKFlatDarkTheme::textColorForBackgroundStyle(NSInteger style, NSUInteger mask) const
{
    if (mask & ZAKThemeStateDisabled) return NSColor::colorWithDeviceRed(1.0, 1.0, 1.0, alphaValueForStateMask(mask));
    if (mask & ZAKThemeStateHighlighted) return selectedTextBackgroundColorForBackgroundStyle(style, mask);
    if (mask & ZAKThemeStateInactive) return NSColor::darkGrayColor();
    return NSColor::whiteColor();
}

Ref<NSColor> ZAKFlatDarkTheme::selectedTextColorForBackgroundStyle(NSInteger, NSUInteger) const
{
    return NSColor::whiteColor();
}

Ref<NSColor> ZAKFlatDarkTheme::selectedTextBackgroundColorForBackgroundStyle(NSInteger, NSUInteger) const
{
    return NSColor::darkGrayColor();
}

bool ZAKFlatDarkTheme::applyShadows() const { return false; }

Ref<NSShadow> ZAKFlatDarkTheme::dropShadow() const { return makeShadow(NSColor::blackColor(), 2, NSMakeSize(0, -1)); }

Ref<NSShadow> ZAKFlatDarkTheme::dropShadowForBackgroundStyle(NSInteger style) const
{
    if (style == ZAKBackgroundStyleLight) return makeShadow(NSColor::blackColor(), 2, NSMakeSize(0, -1));
    if (style == ZAKBackgroundStyleDark) return makeShadow(NSColor::whiteColor(), 2, NSMakeSize(0, -1));
    return nullptr;
}
