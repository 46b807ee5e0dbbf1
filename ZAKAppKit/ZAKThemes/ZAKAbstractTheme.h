#pragma once
// The base look: the platform's system colours, no gradients, translucent
// images (0.6, 0.2 when disabled) and the usual focus ring and shadows.
// Every answer is made afresh, so themes keep no state and controls may share
// one instance.
#include "ZAKAppKit/ZAKThemes/ZAKTheme.h"

class ZAKAbstractTheme : public ZAKTheme {
    NS_OBJECT(ZAKAbstractTheme, ZAKTheme)
protected:
    ZAKAbstractTheme() = default;

public:
    NSInteger backgroundStyle() const override;
    Ref<NSShadow> focusRing() const override;
    Ref<NSColor> strokeColorForStateMask(NSUInteger mask) const override;
    Ref<NSColor> darkStrokeColorForStateMask(NSUInteger mask) const override;
    Ref<NSColor> gridColorForStateMask(NSUInteger mask) const override;
    Ref<NSColor> fillColorForStateMask(NSUInteger mask) const override;
    double gradientAngleForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> gradientForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> complexGradientForStateMask(NSUInteger mask) const override;
    Ref<NSGradient> borderSideGradientForStateMask(NSUInteger mask) const override;
    Ref<NSColor> textColorForBackgroundStyle(NSInteger style, NSUInteger mask) const override;
    Ref<NSColor> selectedTextColorForBackgroundStyle(NSInteger style, NSUInteger mask) const override;
    Ref<NSColor> selectedTextBackgroundColorForBackgroundStyle(NSInteger style, NSUInteger mask) const override;
    double alphaValueForStateMask(NSUInteger mask) const override;
    // On the dark style images are opaque unless disabled; on any other style
    // the answer of alphaValueForStateMask.
    double alphaValueForBackgroundStyle(NSInteger style, NSUInteger mask) const override;
    bool applyShadows() const override;
    Ref<NSShadow> dropShadow() const override;
    // Black on light, white on dark, nil on any other style.
    Ref<NSShadow> dropShadowForBackgroundStyle(NSInteger style) const override;

protected:
    static Ref<NSShadow> makeShadow(const Ref<NSColor>& color, CGFloat blurRadius, NSSize offset);
    // The opaque or disabled alpha of the dark style.
    static double darkStyleAlpha(NSUInteger mask);
};
