#include "AppKit/MenuView.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSStringDrawing.h"
#include "Foundation/NSClass.h"

#include <algorithm>
#include <cmath>

NS_CLASS_DEFINE(MenuView)

namespace {

// One line of text, vertically centred in the rectangle and clipped to it.
void drawLine(const Ref<NSString>& text, const NSRect& rect, const Ref<NSDictionary>& attributes)
{
    if (!text || !text->length()) return;
    const NSSize size = NSStringExt::sizeWithAttributes(text, attributes);
    const NSRect line = NSMakeRect(rect.origin.x, rect.origin.y + std::floor((rect.size.height - size.height) / 2),
                                   rect.size.width, size.height);
    NSStringExt::drawInRect(text, NSIntersectionRect(line, rect), attributes);
}

CGFloat textWidth(const Ref<NSString>& text, const Ref<NSDictionary>& attributes)
{
    if (!text || !text->length()) return 0;
    return std::ceil(NSStringExt::sizeWithAttributes(text, attributes).width);
}

// The glyph for a key that has no printable character of its own, or 0.
char16_t glyphForKey(char16_t key)
{
    switch (key) {
    case u'\r':
    case u'\n': return u'\u21A9';    // ↩
    case u'\x03': return u'\u2324';  // ⌤ (Enter)
    case u'\t': return u'\u21E5';    // ⇥
    case u'\x1b': return u'\u238B';  // ⎋
    case u'\b':
    case u'\x7f': return u'\u232B';              // ⌫
    case NSDeleteFunctionKey: return u'\u2326';  // ⌦
    case NSUpArrowFunctionKey: return u'\u2191';
    case NSDownArrowFunctionKey: return u'\u2193';
    case NSLeftArrowFunctionKey: return u'\u2190';
    case NSRightArrowFunctionKey: return u'\u2192';
    case NSHomeFunctionKey: return u'\u2196';
    case NSEndFunctionKey: return u'\u2198';
    case NSPageUpFunctionKey: return u'\u21DE';
    case NSPageDownFunctionKey: return u'\u21DF';
    default: return 0;
    }
}

}

Ref<MenuView> MenuView::initWithMenu(const Ref<NSMenu>& menu)
{
    m_menu = menu;
    NSSize size = fittingSize();
    initWithFrame(NSMakeRect(0, 0, size.width, size.height));
    return Ref<MenuView>(this);
}

Ref<NSString> MenuView::keyEquivalentText(const Ref<NSMenuItem>& item)
{
    const Ref<NSString> key = item ? item->keyEquivalent() : nullptr;
    if (!key || !key->length()) return nullptr;
    NSUInteger mask = item->keyEquivalentModifierMask();
    std::u16string name = key->utf16();
    if (name.size() == 1) {
        const char16_t c = name[0];
        if (c >= u'A' && c <= u'Z') mask |= NSShiftKeyMask;
        if (c >= u'a' && c <= u'z') name[0] = char16_t(c - u'a' + u'A');
        else if (c == u' ') name = u"Space";
        else if (c >= NSF1FunctionKey && c < NSF1FunctionKey + 35) {
            const std::string f = "F" + std::to_string(c - NSF1FunctionKey + 1);
            name.assign(f.begin(), f.end());
        } else if (char16_t glyph = glyphForKey(c)) name[0] = glyph;
    }
    std::u16string text;
    if (mask & NSControlKeyMask) text += u'\u2303';
    if (mask & NSAlternateKeyMask) text += u'\u2325';
    if (mask & NSShiftKeyMask) text += u'\u21E7';
    if (mask & NSCommandKeyMask) text += u'\u2318';
    return NSString::stringWithUTF16(text + name);
}

Ref<NSDictionary> MenuView::attributes(CGFloat grey)
{
    return NSDictionary::dictionaryWithEntries({
        {NSFontAttributeName, NSFont::menuFontOfSize(kFontSize)},
        {NSForegroundColorAttributeName, NSColor::colorWithCalibratedWhite(grey, 1)},
    });
}

CGFloat MenuView::widthOfItem(const Ref<NSMenuItem>& item)
{
    if (item->isSeparatorItem()) return 0;
    const auto attrs = attributes(0);
    const CGFloat right = item->hasSubmenu() ? kArrowWidth : textWidth(keyEquivalentText(item), attrs);
    return kTitleLeft + textWidth(item->title(), attrs) + (right > 0 ? kRightGap + right : 0) + kRightMargin;
}

NSSize MenuView::fittingSize() const
{
    CGFloat height = 2 * kMargin, width = std::max(kMinWidth, m_menu->minimumWidth());
    for (auto& item : m_menu->items()) {
        height += item->isSeparatorItem() ? kSeparatorHeight : kItemHeight;
        width = std::max(width, widthOfItem(item));
    }
    return NSMakeSize(width, height);
}

NSRect MenuView::rectOfItemAtIndex(NSInteger index) const
{
    CGFloat y = kMargin;
    const auto& items = m_menu->items();
    for (NSInteger i = 0; i < NSInteger(items.size()); ++i) {
        CGFloat h = items[size_t(i)]->isSeparatorItem() ? kSeparatorHeight : kItemHeight;
        if (i == index) return NSMakeRect(0, y, bounds().size.width, h);
        y += h;
    }
    return NSZeroRect;
}

NSInteger MenuView::indexOfItemAtPoint(NSPoint point) const
{
    for (NSInteger i = 0; i < m_menu->numberOfItems(); ++i)
        if (NSPointInRect(point, rectOfItemAtIndex(i))) return i;
    return -1;
}

void MenuView::setHighlightedIndex(NSInteger index)
{
    if (index == m_highlighted) return;
    if (m_highlighted >= 0) setNeedsDisplayInRect(rectOfItemAtIndex(m_highlighted));
    m_highlighted = index;
    if (m_highlighted >= 0) setNeedsDisplayInRect(rectOfItemAtIndex(m_highlighted));
}

// Flat and light: a pale panel with a thin border, a hairline for
// separators, the highlighted row in the selection colour.
void MenuView::drawRect(const NSRect&)
{
    NSRect b = bounds();
    NSColor::colorWithCalibratedWhite(0.97, 1)->setFill();
    NSRectFill(b);
    NSColor::colorWithCalibratedWhite(0.70, 1)->setFill();
    NSFrameRect(b);
    const auto& items = m_menu->items();
    for (NSInteger i = 0; i < NSInteger(items.size()); ++i) {
        const auto& item = items[size_t(i)];
        NSRect r = rectOfItemAtIndex(i);
        if (item->isSeparatorItem()) {
            NSColor::colorWithCalibratedWhite(0.85, 1)->setFill();
            NSRectFill(NSMakeRect(r.origin.x + 1, NSMidY(r), r.size.width - 2, 1));
            continue;
        }
        bool lit = i == m_highlighted && item->isEnabled();
        if (lit) {
            NSColor::selectedMenuItemColor()->setFill();
            NSRectFill(NSInsetRect(r, 1, 0));
        }
        const CGFloat grey = lit ? 1.0 : (item->isEnabled() ? 0.15 : 0.65);
        const auto attrs = attributes(grey);
        const CGFloat right = NSMaxX(r) - kRightMargin;
        drawLine(item->title(),
                 NSMakeRect(kTitleLeft, r.origin.y, std::max<CGFloat>(0, right - kTitleLeft), r.size.height), attrs);
        if (item->state() != NSOffState)
            drawLine(item->state() == NSOnState ? u"\u2713"_ns : u"\u2013"_ns,
                     NSMakeRect(5, r.origin.y, 14, r.size.height), attrs);
        if (item->hasSubmenu()) {
            // A small solid triangle pointing right, centred on the row.
            const CGFloat top = r.origin.y + std::floor((r.size.height - kArrowHeight) / 2);
            auto arrow = NSBezierPath::bezierPath();
            arrow->moveToPoint(NSMakePoint(right - kArrowWidth, top));
            arrow->lineToPoint(NSMakePoint(right, top + kArrowHeight / 2));
            arrow->lineToPoint(NSMakePoint(right - kArrowWidth, top + kArrowHeight));
            arrow->closePath();
            NSColor::colorWithCalibratedWhite(grey, 1)->setFill();
            arrow->fill();
        } else if (auto keys = keyEquivalentText(item)) {
            const CGFloat width = textWidth(keys, attrs);
            drawLine(keys, NSMakeRect(right - width, r.origin.y, width, r.size.height), attrs);
        }
    }
}
