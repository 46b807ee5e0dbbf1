#include "ZAKAppKit/ZAKThemes/ZAKHUDTheme.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKHUDTheme)

double ZAKHUDTheme::alphaValueForStateMask(NSUInteger mask) const
{
    return mask == 0 ? 0.7 : ZAKFlatDarkTheme::alphaValueForStateMask(mask);
}

Ref<NSColor> ZAKHUDTheme::strokeColorForStateMask(NSUInteger mask) const
{
    if (mask != 0) return ZAKFlatDarkTheme::strokeColorForStateMask(mask);
    return rgb(0.749f, 0.761f, 0.788f, static_cast<double>(0.7f));
}

Ref<NSGradient> ZAKHUDTheme::gradientForStateMask(NSUInteger mask) const
{
    if (mask & (ZAKThemeStateDisabled | ZAKThemeStateInactive)) return ZAKFlatDarkTheme::gradientForStateMask(mask);
    bool light = mask & (ZAKThemeStateHighlighted | ZAKThemeStateOn);
    return fourStopGradient(light, alphaValueForStateMask(mask));
}

bool ZAKHUDTheme::applyShadows() const { return false; }
