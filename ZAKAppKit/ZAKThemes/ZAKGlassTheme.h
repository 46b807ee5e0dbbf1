#pragma once
// A light look over the glass bar gradient; only pressed controls get a fill.
#include "ZAKAppKit/ZAKThemes/ZAKAbstractTheme.h"

class ZAKGlassTheme : public ZAKAbstractTheme {
    NS_OBJECT(ZAKGlassTheme, ZAKAbstractTheme)
protected:
    ZAKGlassTheme() = default;

public:
    Ref<NSColor> fillColorForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> gradientForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> borderSideGradientForStateMask(NSUInteger mask) const override;

    // The control shadow colour at 0.7 opacity while pressed, otherwise nil.
    static Ref<NSColor> pressedFill(NSUInteger mask);
};
