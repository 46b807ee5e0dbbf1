#pragma once
// The heads-up-display variant of the flat dark look: a little more opaque
// (0.7) in the plain state, with four-stop backgrounds.
#include "ZAKAppKit/ZAKThemes/ZAKFlatDarkTheme.h"

class ZAKHUDTheme : public ZAKFlatDarkTheme {
    NS_OBJECT(ZAKHUDTheme, ZAKFlatDarkTheme)
protected:
    ZAKHUDTheme() = default;

public:
    Ref<NSColor> strokeColorForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> gradientForStateMask(NSUInteger mask) const override;
    double alphaValueForStateMask(NSUInteger mask) const override;
    bool applyShadows() const override;
};
