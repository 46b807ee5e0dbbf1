#include "ZAKAppKit/ZAKThemes/ZAKAbstractTheme.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKAbstractTheme)

Ref<NSShadow> ZAKAbstractTheme::makeShadow(const Ref<NSColor>& color, CGFloat blurRadius, NSSize offset)
{
    auto shadow = NSShadow::shadow();
    shadow->setShadowColor(color);
    shadow->setShadowBlurRadius(blurRadius);
    shadow->setShadowOffset(offset);
    return shadow;
}

double ZAKAbstractTheme::darkStyleAlpha(NSUInteger mask)
{
    return (mask & ZAKThemeStateDisabled) ? static_cast<double>(0.2f) : 1.0;
}

NSInteger ZAKAbstractTheme::backgroundStyle() const { return ZAKBackgroundStyleLight; }

Ref<NSShadow> ZAKAbstractTheme::focusRing() const { return makeShadow(NSColor::whiteColor(), 3, NSMakeSize(0, 0)); }

Ref<NSColor> ZAKAbstractTheme::strokeColorForStateMask(NSUInteger) const { return NSColor::controlShadowColor(); }

Ref<NSColor> ZAKAbstractTheme::darkStrokeColorForStateMask(NSUInteger) const
{
    return NSColor::controlDarkShadowColor();
}

Ref<NSColor> ZAKAbstractTheme::gridColorForStateMask(NSUInteger) const { return NSColor::gridColor(); }

Ref<NSColor> ZAKAbstractTheme::fillColorForStateMask(NSUInteger mask) const
{
    return (mask & ZAKThemeStateHighlighted) ? NSColor::controlHighlightColor() : NSColor::controlBackgroundColor();
}

double ZAKAbstractTheme::gradientAngleForStateMask(NSUInteger) const { return 90; }

Ref<NSGradient> ZAKAbstractTheme::gradientForStateMask(NSUInteger) const { return nullptr; }

Ref<NSGradient> ZAKAbstractTheme::complexGradientForStateMask(NSUInteger) const { return nullptr; }

Ref<NSGradient> ZAKAbstractTheme::borderSideGradientForStateMask(NSUInteger) const { return nullptr; }

Ref<NSColor> ZAKAbstractTheme::textColorForBackgroundStyle(NSInteger, NSUInteger mask) const
{
    return (mask & ZAKThemeStateDisabled) ? NSColor::disabledControlTextColor() : NSColor::controlTextColor();
}

Ref<NSColor> ZAKAbstractTheme::selectedTextColorForBackgroundStyle(NSInteger, NSUInteger) const
{
    return NSColor::selectedTextColor();
}

Ref<NSColor> ZAKAbstractTheme::selectedTextBackgroundColorForBackgroundStyle(NSInteger, NSUInteger) const
{
    return NSColor::selectedTextBackgroundColor();
}

double ZAKAbstractTheme::alphaValueForStateMask(NSUInteger mask) const
{
    return static_cast<double>((mask & ZAKThemeStateDisabled) ? 0.2f : 0.6f);
}

double ZAKAbstractTheme::alphaValueForBackgroundStyle(NSInteger style, NSUInteger mask) const
{
    double alpha = alphaValueForStateMask(mask);
    return style == ZAKBackgroundStyleDark ? darkStyleAlpha(mask) : alpha;
}

bool ZAKAbstractTheme::applyShadows() const { return false; }

Ref<NSShadow> ZAKAbstractTheme::dropShadow() const { return makeShadow(NSColor::blackColor(), 2, NSMakeSize(0, -1)); }

Ref<NSShadow> ZAKAbstractTheme::dropShadowForBackgroundStyle(NSInteger style) const
{
    if (style == ZAKBackgroundStyleLight) return makeShadow(NSColor::blackColor(), 2, NSMakeSize(0, -1));
    if (style == ZAKBackgroundStyleDark) return makeShadow(NSColor::whiteColor(), 2, NSMakeSize(0, -1));
    return nullptr;
}
