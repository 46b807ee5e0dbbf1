// The grid's own drawing: the header backgrounds under the header cells, the
// focus ring and the frame.
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGradient.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGrid.h"

namespace {

struct HeaderBackground {
    Ref<NSGradient> upper = NSGradient::initWithStartingColor(NSColor::colorWithDeviceWhite(0.91, 1),
                                                              NSColor::colorWithDeviceWhite(0.89, 1));
    Ref<NSGradient> lower = NSGradient::initWithStartingColor(NSColor::colorWithDeviceWhite(0.85, 1),
                                                              NSColor::colorWithDeviceWhite(0.83, 1));
    Ref<NSColor> highlight = NSColor::colorWithDeviceWhite(0.95, 1);
    Ref<NSColor> border = NSColor::colorWithDeviceWhite(0.65, 1);
    Ref<NSColor> edge = NSColor::colorWithDeviceWhite(1, 0.4);
};

const HeaderBackground& background()
{
    static const HeaderBackground shared;
    return shared;
}

void fill(const Ref<NSColor>& colour, const NSRect& r)
{
    colour->set();
    NSRectFillUsingOperation(r, NSCompositeSourceOver);
}

}  // namespace

void ZAKTableGrid::_drawColumnHeaderBackgroundInRect(const NSRect& r)
{
    const auto& b = background();
    b.upper->drawInRect(NSMakeRect(r.origin.x, 0, r.size.width, r.size.height / 2), 90);
    b.lower->drawInRect(
        NSMakeRect(r.origin.x, r.origin.y + r.size.height / 2 - 0.5, r.size.width, r.size.height / 2 + 0.5), 90);
    fill(b.highlight, NSMakeRect(r.origin.x, r.origin.y, r.size.width, 1));
    fill(b.border, NSMakeRect(r.origin.x, NSMaxY(r) - 1, r.size.width, 1));
}

void ZAKTableGrid::_drawRowHeaderBackgroundInRect(const NSRect& r)
{
    const auto& b = background();
    b.upper->drawInRect(NSMakeRect(r.origin.x, r.origin.y, r.size.width / 2, r.size.height), 0);
    b.lower->drawInRect(
        NSMakeRect(r.origin.x + r.size.width / 2 - 0.5, r.origin.y, r.size.width / 2 + 0.5, r.size.height), 0);
    fill(b.edge, NSMakeRect(r.origin.x, r.origin.y, 1, r.size.height));
    fill(b.border, NSMakeRect(NSMaxX(r) - 1, r.origin.y, 1, r.size.height));
}

void ZAKTableGrid::_drawCornerHeaderBackgroundInRect(const NSRect& r)
{
    const auto& b = background();
    b.upper->drawInRect(r, 90);
    b.lower->drawInRect(NSMakeRect(r.origin.x + r.size.width / 2 - 0.5, r.origin.y + r.size.height / 2 - 0.5,
                                   r.size.width / 2, r.size.height / 2 + 0.5),
                        90);
    fill(b.highlight, NSMakeRect(r.origin.x, r.origin.y, r.size.width, 1));
    fill(b.edge, NSMakeRect(r.origin.x, r.origin.y, 1, r.size.height));
    fill(b.border, NSMakeRect(NSMaxX(r) - 1, r.origin.y, 1, r.size.height));
    fill(b.border, NSMakeRect(r.origin.x, NSMaxY(r) - 1, r.size.width, 1));
}

void ZAKTableGrid::drawRect(const NSRect&)
{
    const NSSize size = frame().size;
    if (_isFocused()) {
        NSGraphicsContext::saveGraphicsState();
        NSSetFocusRingStyle(NSFocusRingOnly);
        NSRectFill(NSMakeRect(0, 0, size.width, size.height));
        NSGraphicsContext::restoreGraphicsState();
        setKeyboardFocusRingNeedsDisplayInRect(bounds());
    }
    const NSRect corner = headerRectOfCorner();
    if (needsToDrawRect(corner)) _drawCornerHeaderBackgroundInRect(corner);
    const NSRect columnHeader = NSMakeRect(corner.size.width, 0, size.width - corner.size.width, kColumnHeaderHeight);
    if (needsToDrawRect(columnHeader)) _drawColumnHeaderBackgroundInRect(columnHeader);
    const NSRect rowHeader = NSMakeRect(0, NSMaxY(corner), kRowHeaderWidth, size.height - kColumnHeaderHeight);
    if (needsToDrawRect(rowHeader)) _drawRowHeaderBackgroundInRect(rowHeader);
    NSColor::darkGrayColor()->set();
    NSFrameRect(NSMakeRect(0, 0, size.width, size.height));
}
