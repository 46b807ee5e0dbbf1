#include "AppKit/NSMenuView.h"

#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"

#include <cmath>

NS_CLASS_DEFINE(NSMenuView)

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

}

Ref<NSMenuView> NSMenuView::initWithMenu(const Ref<NSMenu>& menu)
{
    m_menu = menu;
    NSSize size = fittingSize();
    initWithFrame(NSMakeRect(0, 0, size.width, size.height));
    return Ref<NSMenuView>(this);
}

NSSize NSMenuView::fittingSize() const
{
    CGFloat height = 2 * kMargin;
    for (auto& item : m_menu->items()) height += item->isSeparatorItem() ? kSeparatorHeight : kItemHeight;
    return NSMakeSize(kWidth, height);
}

NSRect NSMenuView::rectOfItemAtIndex(NSInteger index) const
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

NSInteger NSMenuView::indexOfItemAtPoint(NSPoint point) const
{
    for (NSInteger i = 0; i < m_menu->numberOfItems(); ++i)
        if (NSPointInRect(point, rectOfItemAtIndex(i))) return i;
    return -1;
}

void NSMenuView::setHighlightedIndex(NSInteger index)
{
    if (index == m_highlighted) return;
    if (m_highlighted >= 0) setNeedsDisplayInRect(rectOfItemAtIndex(m_highlighted));
    m_highlighted = index;
    if (m_highlighted >= 0) setNeedsDisplayInRect(rectOfItemAtIndex(m_highlighted));
}

// Flat and light: a pale panel with a thin border, a hairline for
// separators, the highlighted row in the selection colour and a short bar
// where each title goes (text drawing arrives with the text layer).
void NSMenuView::drawRect(const NSRect&)
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
        CGFloat grey = lit ? 1.0 : (item->isEnabled() ? 0.15 : 0.65);
        Ref<NSDictionary> attributes = NSDictionary::dictionaryWithEntries({
            {NSFontAttributeName, NSFont::menuFontOfSize(13)},
            {NSForegroundColorAttributeName, NSColor::colorWithCalibratedWhite(grey, 1)},
        });
        drawLine(item->title(), NSMakeRect(20, r.origin.y, r.size.width - 28, r.size.height), attributes);
        if (item->state() != NSOffState)
            drawLine(item->state() == NSOnState ? u"\u2713"_ns : u"\u2013"_ns, NSMakeRect(5, r.origin.y, 14, r.size.height),
                     attributes);
    }
}
