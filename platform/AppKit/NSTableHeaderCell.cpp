#include "AppKit/NSTableHeaderCell.h"

#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSTableHeaderCell)

Ref<NSCell> NSTableHeaderCell::initTextCell(const Ref<NSString>& text)
{
    NSTextFieldCell::initTextCell(text);
    setControlSize(1);
    setTextColor(NSColor::headerTextColor());
    return this;
}

NSRect NSTableHeaderCell::titleRectForBounds(const NSRect& bounds) const { return NSInsetRect(bounds, 4, 0); }

void NSTableHeaderCell::drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView)
{
    (isHighlighted() ? NSColor::colorWithCalibratedWhite(0.85, 1) : NSColor::colorWithCalibratedWhite(0.95, 1))
        ->setFill();
    NSRectFill(cellFrame);
    NSColor::colorWithCalibratedWhite(0.78, 1)->setFill();
    NSRectFill(NSMakeRect(NSMaxX(cellFrame) - 1, NSMinY(cellFrame) + 3, 1, cellFrame.size.height - 6));
    drawInteriorWithFrame(cellFrame, controlView);
}
