#include "ZAKAppKit/ZAKThemes/ZAKGlassTheme.h"

#include "AppKitExtensions/NSGradient+ZAKNSGradientExtensions.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKThemes/ZAKFlatDarkTheme.h"

NS_CLASS_DEFINE(ZAKGlassTheme)

Ref<NSColor> ZAKGlassTheme::fillColorForStateMask(NSUInteger mask) const { return pressedFill(mask); }

Ref<NSColor> ZAKGlassTheme::pressedFill(NSUInteger mask)
{
    if (!(mask & ZAKThemeStateHighlighted)) return nullptr;
    return NSColor::controlShadowColor()->colorWithAlphaComponent(0.7);
}

Ref<NSGradient> ZAKGlassTheme::gradientForStateMask(NSUInteger) const { return NSGradientExt::gradientByType(2); }

Ref<NSGradient> ZAKGlassTheme::borderSideGradientForStateMask(NSUInteger) const
{
    return ZAKFlatDarkTheme::borderSideGradient();
}
