#include "ZAKAppKit/ZAKThemes/ZAKThemedCellDrawing.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSException.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemeManager.h"

namespace ZAKThemedCellDrawing {

Ref<ZAKTheme> themeForKey(const Ref<NSString>& key) { return ZAKThemeManager::sharedThemeManager()->themeForKey(key); }

NSUInteger stateMask(const NSCell& cell)
{
    return (cell.isEnabled() ? 0 : ZAKThemeStateDisabled) | (cell.isHighlighted() ? ZAKThemeStateHighlighted : 0);
}

std::optional<NSRect> imageRectForBounds(const NSButtonCell& cell, NSUInteger highlightMode, const NSRect& bounds)
{
    if (cell.imagePosition() != NSImageOnly || cell.isBordered()) return std::nullopt;
    const double d = highlightsBackground(cell) && highlightMode == Glow ? 3.5 : 7;
    return NSInsetRect(bounds, bounds.size.width / d, bounds.size.height / d);
}

void drawHighlightedBackground(NSButtonCell& cell, const ZAKTheme& theme, NSUInteger mask, NSUInteger highlightMode,
                               const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView)
{
    NSGraphicsContext::saveGraphicsState();
    NSRectClip(frame);
    switch (highlightMode) {
    case FlatFill:
        if (auto fill = theme.fillColorForStateMask(mask)) {
            fill->setFill();
            NSRectFillUsingOperation(frame, NSCompositeSourceAtop);
        }
        break;
    case Glow: {
        const NSRect r = cell.imageRectForBounds(frame);
        auto colour = theme.fillColorForStateMask(mask);
        if (colour && cell.backgroundStyle() == NSBackgroundStyleDark)
            colour = colour->blendedColorWithFraction(0.9, NSColor::whiteColor());
        NSGraphicsContext::saveGraphicsState();
        auto glow = NSShadow::shadow();
        glow->setShadowOffset(NSZeroSize);
        glow->setShadowColor(colour);
        glow->setShadowBlurRadius(0.5 * std::min(r.size.width, r.size.height));
        glow->set();
        if (cell.highlightsBy() & NSChangeGrayCellMask) cell.drawImage(image, r, controlView);
        else if (image) image->drawInRect(r, NSZeroRect, NSCompositeSourceOver, 1.0, true, nullptr);
        NSGraphicsContext::restoreGraphicsState();
        break;
    }
    case Gradient:
        if (auto gradient = theme.gradientForStateMask(mask))
            gradient->drawInRect(frame, theme.gradientAngleForStateMask(mask));
        break;
    default: break;
    }
    NSGraphicsContext::restoreGraphicsState();
}

void drawImage(NSButtonCell& cell, const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView)
{
    const NSRect r = cell.imageRectForBounds(frame);
    if (cell.highlightsBy() & NSChangeGrayCellMask) return cell.NSButtonCell::drawImage(image, r, controlView);
    if (image) image->drawInRect(r, NSZeroRect, NSCompositeSourceOver, 1.0, true, nullptr);
}

void drawBorderSides(const ZAKTheme& theme, NSUInteger mask, NSUInteger sides, const NSRect& d)
{
    if (!sides) return;
    auto gradient = theme.borderSideGradientForStateMask(mask);
    if (!gradient) return;
    if (sides & 1) {
        const NSRect r = NSInsetRect(d, 0, 2);
        gradient->drawInRect(NSMakeRect(r.origin.x, r.origin.y, 1, r.size.height), 90);
    }
    if (sides & 2) {
        const NSRect r = NSInsetRect(d, 1, 2);
        gradient->drawInRect(NSMakeRect(r.origin.x + r.size.width, r.origin.y, 1, r.size.height), 90);
    }
    if (sides & 4) {
        const NSRect r = NSInsetRect(d, 2, 0);
        gradient->drawInRect(NSMakeRect(r.origin.x, r.origin.y, r.size.width, 1), 90);
    }
    if (sides & 8) {
        const NSRect r = NSInsetRect(d, 2, 1);
        gradient->drawInRect(NSMakeRect(r.origin.x, r.origin.y + r.size.height, r.size.width, 1), 90);
    }
}

NSInteger decodeInteger(NSCoder* coder, const Ref<NSString>& key, NSInteger fallback)
{
    if (!coder->containsValueForKey(key)) return fallback;
    try {
        return coder->decodeIntegerForKey(key);
    } catch (const NSException&) {
        return fallback;
    }
}

Ref<NSString> decodeString(NSCoder* coder, const Ref<NSString>& key)
{
    if (!coder->containsValueForKey(key)) return nullptr;
    try {
        auto value = dynamic_ref_cast<NSString>(coder->decodeObjectForKey(key));
        return value ? NSString::stringWithString(value) : nullptr;
    } catch (const NSException&) {
        return nullptr;
    }
}

}
