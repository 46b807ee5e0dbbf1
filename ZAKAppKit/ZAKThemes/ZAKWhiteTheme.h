#pragma once
// A flat white look: white fills, no gradient.
#include "ZAKAppKit/ZAKThemes/ZAKAbstractTheme.h"

class ZAKWhiteTheme : public ZAKAbstractTheme {
    NS_OBJECT(ZAKWhiteTheme, ZAKAbstractTheme)
protected:
    ZAKWhiteTheme() = default;

public:
    Ref<NSColor> fillColorForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> gradientForStateMask(NSUInteger mask) const override;
};
