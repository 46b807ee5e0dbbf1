#include "ZAKAppKit/ZAKThemes/ZAKWhiteTheme.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKWhiteTheme)

Ref<NSColor> ZAKWhiteTheme::fillColorForStateMask(NSUInteger) const { return NSColor::whiteColor(); }

Ref<NSGradient> ZAKWhiteTheme::gradientForStateMask(NSUInteger) const { return nullptr; }
