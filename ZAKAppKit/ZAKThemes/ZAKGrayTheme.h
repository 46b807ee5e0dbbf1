#pragma once
// A light look over the grey bar gradient, lighter outside the main window;
// only pressed controls get a fill.
#include "ZAKAppKit/ZAKThemes/ZAKAbstractTheme.h"

class ZAKGrayTheme : public ZAKAbstractTheme {
    NS_OBJECT(ZAKGrayTheme, ZAKAbstractTheme)
protected:
    ZAKGrayTheme() = default;

public:
    Ref<NSColor> fillColorForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> gradientForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> borderSideGradientForStateMask(NSUInteger mask) const override;
};
