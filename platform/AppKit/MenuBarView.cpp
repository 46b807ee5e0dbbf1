#include "AppKit/MenuBarView.h"

#include <cmath>

#include "AppKit/MenuBarWindow.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSStringDrawing.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(MenuBarView)

Ref<NSDictionary> MenuBarView::attributes(bool bold, bool lit)
{
    return NSDictionary::dictionaryWithEntries({
        {NSFontAttributeName, bold ? NSFont::boldSystemFontOfSize(kFontSize) : NSFont::menuFontOfSize(kFontSize)},
        {NSForegroundColorAttributeName, NSColor::colorWithCalibratedWhite(lit ? 1.0 : 0.1, 1)},
    });
}

void MenuBarView::reloadTitles(const Ref<NSMenu>& mainMenu, bool withDockMenu)
{
    m_entries.clear();
    m_highlighted = -1;
    if (mainMenu) {
        for (const auto& item : mainMenu->items()) {
            if (item->isSeparatorItem()) continue;
            Entry entry;
            entry.item = item;
            // The first item is the application menu, shown under the
            // application's name whatever its title.
            entry.bold = m_entries.empty();
            entry.title = entry.bold && NSApp ? NSApp->applicationName() : item->title();
            m_entries.push_back(entry);
        }
    }
    if (withDockMenu) {
        Entry dock;
        dock.title = "Dock"_ns;
        dock.isDockMenu = true;
        m_entries.push_back(dock);
    }
    CGFloat x = kLeftMargin;
    for (auto& entry : m_entries) {
        const CGFloat width =
            std::ceil(NSStringExt::sizeWithAttributes(entry.title, attributes(entry.bold, false)).width);
        entry.rect = NSMakeRect(x, 0, width + 2 * kTitlePadding, kHeight);
        x = NSMaxX(entry.rect);
    }
    setNeedsDisplay(true);
}

NSRect MenuBarView::rectOfTitleAtIndex(NSInteger index) const
{
    if (index < 0 || index >= numberOfTitles()) return NSZeroRect;
    NSRect r = m_entries[size_t(index)].rect;
    r.size.height = bounds().size.height;
    return r;
}

NSInteger MenuBarView::indexOfTitleAtPoint(NSPoint point) const
{
    for (NSInteger i = 0; i < numberOfTitles(); ++i)
        if (NSPointInRect(point, rectOfTitleAtIndex(i))) return i;
    return -1;
}

void MenuBarView::setHighlightedIndex(NSInteger index)
{
    if (index == m_highlighted) return;
    if (m_highlighted >= 0) setNeedsDisplayInRect(rectOfTitleAtIndex(m_highlighted));
    m_highlighted = index;
    if (m_highlighted >= 0) setNeedsDisplayInRect(rectOfTitleAtIndex(m_highlighted));
}

// Flat and light like the menus below it: a pale strip with a hairline
// along its lower edge, the open title in the selection colour.
void MenuBarView::drawRect(const NSRect&)
{
    const NSRect b = bounds();
    NSColor::colorWithCalibratedWhite(0.96, 1)->setFill();
    NSRectFill(b);
    NSColor::colorWithCalibratedWhite(0.72, 1)->setFill();
    NSRectFill(NSMakeRect(b.origin.x, b.origin.y, b.size.width, 1));
    for (NSInteger i = 0; i < numberOfTitles(); ++i) {
        const Entry& entry = m_entries[size_t(i)];
        const NSRect r = rectOfTitleAtIndex(i);
        const bool lit = i == m_highlighted;
        if (lit) {
            NSColor::selectedMenuItemColor()->setFill();
            NSRectFill(NSMakeRect(r.origin.x, r.origin.y + 1, r.size.width, r.size.height - 1));
        }
        auto attrs = attributes(entry.bold, lit);
        const NSSize size = NSStringExt::sizeWithAttributes(entry.title, attrs);
        const NSRect line =
            NSMakeRect(r.origin.x + kTitlePadding, r.origin.y + std::floor((r.size.height - size.height) / 2),
                       r.size.width - kTitlePadding, size.height);
        NSStringExt::drawInRect(entry.title, line, attrs);
    }
}

void MenuBarView::mouseDown(const Ref<NSEvent>& event)
{
    auto bar = dynamic_ref_cast<MenuBarWindow>(window());
    const NSInteger index = indexOfTitleAtPoint(convertPoint(event->locationInWindow(), nullptr));
    if (!bar || index < 0) return;
    bar->trackFromTitle(index);
}
