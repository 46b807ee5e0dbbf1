#include "ZAKAppKit/ZAKTPopUpButton/ZAKTPopUpButtonCell.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemedCellDrawing.h"

NS_CLASS_DEFINE(ZAKTPopUpButtonCell)

namespace Drawing = ZAKThemedCellDrawing;

Ref<NSCell> ZAKTPopUpButtonCell::initTextCell(const Ref<NSString>& text)
{
    NSPopUpButtonCell::initTextCell(text);
    setHighlightsBy(NSChangeGrayCellMask | NSChangeBackgroundCellMask);
    return this;
}

void ZAKTPopUpButtonCell::setThemeKey(const Ref<NSString>& key)
{
    m_themeKey = copiedString(key);
    redisplay();
}

void ZAKTPopUpButtonCell::setHighlightBackgroundMode(NSUInteger mode)
{
    m_highlightBackgroundMode = mode;
    redisplay();
}

void ZAKTPopUpButtonCell::setBorderSideMask(NSUInteger mask)
{
    m_borderSideMask = mask;
    redisplay();
}

NSRect ZAKTPopUpButtonCell::imageRectForBounds(const NSRect& bounds) const
{
    if (auto r = Drawing::imageRectForBounds(*this, m_highlightBackgroundMode, bounds)) return *r;
    return NSPopUpButtonCell::imageRectForBounds(bounds);
}

void ZAKTPopUpButtonCell::drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    // The platform bezel carries the arrows; a theme replaces both.
    if (!Drawing::themeForKey(m_themeKey)) return NSPopUpButtonCell::drawBezelWithFrame(frame, controlView);
    if (isHighlighted() && Drawing::highlightsBackground(*this))
        drawHighlightedBackgroundForStateMask(Drawing::stateMask(*this), frame, controlView);
}

void ZAKTPopUpButtonCell::drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    auto theme = Drawing::themeForKey(m_themeKey);
    if (!theme) return NSPopUpButtonCell::drawInteriorWithFrame(frame, controlView);
    const NSUInteger mask = Drawing::stateMask(*this);
    const NSRect d = drawingRectForBounds(frame);
    if ((mask & ZAKThemeStateHighlighted) && !isBordered() && Drawing::highlightsBackground(*this))
        drawHighlightedBackgroundForStateMask(mask, frame, controlView);
    drawImage(image(), frame, controlView);
    if (imagePosition() != NSImageOnly) drawTitle(attributedTitle(), titleRectForBounds(frame), controlView);
    Drawing::drawBorderSides(*theme, mask, m_borderSideMask, d);
}

void ZAKTPopUpButtonCell::drawImage(const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView)
{
    if (!Drawing::themeForKey(m_themeKey)) return NSPopUpButtonCell::drawImage(image, frame, controlView);
    Drawing::drawImage(*this, image, frame, controlView);
}

void ZAKTPopUpButtonCell::drawHighlightedBackgroundForStateMask(NSUInteger mask, const NSRect& frame,
                                                                const Ref<NSView>& controlView)
{
    auto theme = Drawing::themeForKey(m_themeKey);
    if (!theme) return;
    Drawing::drawHighlightedBackground(*this, *theme, mask, m_highlightBackgroundMode, image(), frame, controlView);
}

void ZAKTPopUpButtonCell::drawArrowsInRect(const NSRect& rect)
{
    auto theme = Drawing::themeForKey(m_themeKey);
    if (!theme) return;
    NSUInteger mask = Drawing::stateMask(*this);
    auto window = controlView() ? controlView()->window() : nullptr;
    if (!window || !window->isKeyWindow()) mask |= ZAKThemeStateInactive;
    theme->textColorForBackgroundStyle(backgroundStyle(), mask)->setFill();

    struct HalfSize {
        CGFloat x, y;
    };
    CGFloat column;
    HalfSize pullDown, popUp;
    switch (controlSize()) {
    case 0: column = isBordered() ? 21 : 11, pullDown = {3.5, 2.5}, popUp = {2.5, 2}; break;
    case 1: column = isBordered() ? 18 : 8, pullDown = {3.5, 2.5}, popUp = {2.5, 2}; break;
    default: column = isBordered() ? 15 : 5, pullDown = {2.5, 1.5}, popUp = {2, 1.5}; break;
    }
    const CGFloat x0 = rect.origin.x + rect.size.width - column;
    const CGFloat cx = x0 + column / 2, cy = rect.origin.y + rect.size.height / 2;
    auto triangle = [](NSPoint a, NSPoint b, NSPoint c) {
        auto path = NSBezierPath::bezierPath();
        path->moveToPoint(a);
        path->lineToPoint(b);
        path->lineToPoint(c);
        path->closePath();
        path->fill();
    };
    if (pullsDown()) {
        const auto p = pullDown;
        triangle(NSMakePoint(cx - p.x, cy - p.y), NSMakePoint(cx + p.x, cy - p.y), NSMakePoint(cx, cy + p.y));
        return;
    }
    const auto q = popUp;
    triangle(NSMakePoint(cx - q.x, cy - q.y), NSMakePoint(cx + q.x, cy - q.y), NSMakePoint(cx, cy - 2 * q.y - 2));
    triangle(NSMakePoint(cx - q.x, cy + q.y), NSMakePoint(cx + q.x, cy + q.y), NSMakePoint(cx, cy + 2 * q.y + 2));
}

Id ZAKTPopUpButtonCell::copy() const
{
    auto clone = dynamic_ref_cast<ZAKTPopUpButtonCell>(NSPopUpButtonCell::copy());
    if (!clone) return nullptr;
    clone->setThemeKey(m_themeKey);
    clone->setHighlightBackgroundMode(m_highlightBackgroundMode);
    return clone;
}

void ZAKTPopUpButtonCell::encodeWithCoder(NSCoder* coder) const
{
    NSPopUpButtonCell::encodeWithCoder(coder);
    coder->encodeObject(m_themeKey, "themeKey"_ns);
    coder->encodeInteger(NSInteger(m_highlightBackgroundMode), "highlightBgMode"_ns);
}

Id ZAKTPopUpButtonCell::initWithCoder(NSCoder* coder)
{
    NSPopUpButtonCell::initWithCoder(coder);
    m_themeKey = Drawing::decodeString(coder, "themeKey"_ns);
    m_highlightBackgroundMode = NSUInteger(Drawing::decodeInteger(coder, "highlightBgMode"_ns, 0));
    if (!isBordered() && !Drawing::highlightsBackground(*this))
        setHighlightsBy(highlightsBy() | NSChangeBackgroundCellMask);
    return this;
}
