#pragma once
// A flat dark-grey look for dark backgrounds: grey gradients, light outlines,
// white text, and images opaque on the dark style.
#include "ZAKAppKit/ZAKThemes/ZAKAbstractTheme.h"

class ZAKFlatDarkTheme : public ZAKAbstractTheme {
    NS_OBJECT(ZAKFlatDarkTheme, ZAKAbstractTheme)
protected:
    ZAKFlatDarkTheme() = default;

public:
    NSInteger backgroundStyle() const override;
    Ref<NSShadow> focusRing() const override;
    Ref<NSColor> strokeColorForStateMask(NSUInteger mask) const override;
    Ref<NSColor> darkStrokeColorForStateMask(NSUInteger mask) const override;
    Ref<NSColor> fillColorForStateMask(NSUInteger mask) const override;
    double gradientAngleForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> gradientForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> complexGradientForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> borderSideGradientForStateMask(NSUInteger mask) const override;
    Ref<NSColor> textColorForBackgroundStyle(NSInteger style, NSUInteger mask) const override;
    Ref<NSColor> selectedTextColorForBackgroundStyle(NSInteger style, NSUInteger mask) const override;
    Ref<NSColor> selectedTextBackgroundColorForBackgroundStyle(NSInteger style, NSUInteger mask) const override;
    double alphaValueForStateMask(NSUInteger mask) const override;
    double alphaValueForBackgroundStyle(NSInteger style, NSUInteger mask) const override;
    bool applyShadows() const override;
    Ref<NSShadow> dropShadow() const override;
    Ref<NSShadow> dropShadowForBackgroundStyle(NSInteger style) const override;

    // Calibrated white 0.99, 0.46, 0.88 at 0, 0.5 and 1 in the generic grey
    // space; the glass and grey themes use it too.
    static Ref<NSGradient> borderSideGradient();
    // Four stops at 0, 0.5, 0.5, 1: the light set (pressed or on) or the
    // dark set, each colour at the given alpha.
    static Ref<NSGradient> fourStopGradient(bool light, double alpha);

protected:
    static Ref<NSColor> rgb(float r, float g, float b, double alpha);
};
