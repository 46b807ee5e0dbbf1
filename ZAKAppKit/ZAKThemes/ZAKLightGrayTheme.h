#pragma once
// A light grey look: light grey fills over the light grey bar gradient.
#include "ZAKAppKit/ZAKThemes/ZAKAbstractTheme.h"

class ZAKLightGrayTheme : public ZAKAbstractTheme {
    NS_OBJECT(ZAKLightGrayTheme, ZAKAbstractTheme)
protected:
    ZAKLightGrayTheme() = default;

public:
    Ref<NSColor> fillColorForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> gradientForStateMask(NSUInteger mask) const override;
};
