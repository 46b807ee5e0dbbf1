#include "ZAKAppKit/ZAKThemes/ZAKGrayTheme.h"

#include "AppKitExtensions/NSGradient+ZAKNSGradientExtensions.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKThemes/ZAKFlatDarkTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKGlassTheme.h"

NS_CLASS_DEFINE(ZAKGrayTheme)

Ref<NSColor> ZAKGrayTheme::fillColorForStateMask(NSUInteger mask) const { return ZAKGlassTheme::pressedFill(mask); }

Ref<NSGradient> ZAKGrayTheme::gradientForStateMask(NSUInteger mask) const
{
    return NSGradientExt::gradientByType((mask & ZAKThemeStateInactive) ? 100 : 0);
}

Ref<NSGradient> ZAKGrayTheme::borderSideGradientForStateMask(NSUInteger) const
{
    return ZAKFlatDarkTheme::borderSideGradient();
}
