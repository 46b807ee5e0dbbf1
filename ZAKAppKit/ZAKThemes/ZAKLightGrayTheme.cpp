#include "ZAKAppKit/ZAKThemes/ZAKLightGrayTheme.h"

#include "AppKitExtensions/NSGradient+ZAKNSGradientExtensions.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKLightGrayTheme)

Ref<NSColor> ZAKLightGrayTheme::fillColorForStateMask(NSUInteger) const { return NSColor::lightGrayColor(); }

Ref<NSGradient> ZAKLightGrayTheme::gradientForStateMask(NSUInteger) const { return NSGradientExt::gradientByType(100); }
