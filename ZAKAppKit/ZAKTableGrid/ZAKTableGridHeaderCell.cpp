#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridHeaderCell.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSStringDrawing.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKTableGridHeaderCell)

namespace {

struct HeaderColours {
    Ref<NSColor> highlight = NSColor::colorWithDeviceWhite(0.95, 1);
    Ref<NSColor> edge = NSColor::colorWithDeviceWhite(1, 0.4);
    Ref<NSColor> border = NSColor::colorWithDeviceWhite(0.65, 1);
    Ref<NSColor> selected = NSColor::alternateSelectedControlColor()->colorWithAlphaComponent(0.5);
};

const HeaderColours& colours()
{
    static const HeaderColours shared;
    return shared;
}

void fill(const NSRect& r) { NSBezierPath::bezierPathWithRect(r)->fill(); }

}  // namespace

void ZAKTableGridHeaderCell::drawWithFrame(const NSRect& f, const Ref<NSView>& view)
{
    const auto& c = colours();
    if (m_orientation == 0) {
        c.edge->set();
        fill(NSMakeRect(f.origin.x, f.origin.y, 1, f.size.height));
        fill(NSMakeRect(NSMaxX(f) - 2, f.origin.y, 1, f.size.height));
        c.border->set();
        fill(NSMakeRect(NSMaxX(f) - 1, f.origin.y, 1, f.size.height));
        fill(NSMakeRect(f.origin.x, NSMaxY(f) - 1, f.size.width, 1));
    } else {
        c.highlight->set();
        fill(NSMakeRect(f.origin.x, f.origin.y, f.size.width, 1));
        c.border->set();
        fill(NSMakeRect(NSMaxX(f) - 1, f.origin.y, 1, f.size.height));
        fill(NSMakeRect(f.origin.x, NSMaxY(f) - 1, f.size.width, 1));
    }
    if (state() == NSOnState) {
        c.selected->set();
        fill(f);
    }
    drawInteriorWithFrame(f, view);
}

void ZAKTableGridHeaderCell::drawInteriorWithFrame(const NSRect& f, const Ref<NSView>& view)
{
    auto title = stringValue();
    if (!title || title->length() == 0) return;
    auto attributes = NSDictionary::dictionaryWithObjectsAndKeys({NSFont::labelFontOfSize(NSFont::labelFontSize()),
                                                                  NSFontAttributeName, NSColor::controlTextColor(),
                                                                  NSForegroundColorAttributeName});
    const NSSize size = NSStringExt::sizeWithAttributes(title, attributes);
    const CGFloat y = f.origin.y + (f.size.height - size.height) / 2;
    const NSRect r = m_orientation == 0
                         ? NSMakeRect(f.origin.x + 6, y, f.size.width - 6, size.height)
                         : NSMakeRect(f.origin.x + (f.size.width - size.width) / 2, y, size.width, size.height);
    const auto options =
        NSStringDrawingOptions(NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingTruncatesLastVisibleLine);
    // An unblurred white shadow one point below: the same text drawn there
    // first, which costs a glyph run instead of a shadow pass per glyph.
    static const Ref<NSColor> shadow = NSColor::colorWithDeviceWhite(1, 0.8);
    auto shadowAttributes = NSDictionary::dictionaryWithObjectsAndKeys(
        {attributes->objectForKey(NSFontAttributeName), NSFontAttributeName, shadow, NSForegroundColorAttributeName});
    const CGFloat down = view && view->isFlipped() ? 1 : -1;
    NSStringExt::drawWithRect(title, NSOffsetRect(r, 0, down), options, shadowAttributes);
    NSStringExt::drawWithRect(title, r, options, attributes);
}
