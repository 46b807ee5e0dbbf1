#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridCell.h"

#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKTableGridCell)

Ref<NSCell> ZAKTableGridCell::initTextCell(const Ref<NSString>& text)
{
    NSTextFieldCell::initTextCell(text);
    setBackgroundColor(NSColor::clearColor());
    return Ref<NSCell>(this);
}

void ZAKTableGridCell::drawWithFrameBackgroundColor(const NSRect& frame, const Ref<NSView>& view,
                                                    const Ref<NSColor>& background)
{
    background->set();
    NSRectFill(frame);
    drawWithFrame(frame, view);
}

void ZAKTableGridCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    // Grid lines on the right and at the bottom; the neighbours draw the others.
    static const Ref<NSColor> gridLine = NSColor::colorWithDeviceWhite(0.83, 1);
    gridLine->set();
    NSRectFill(NSMakeRect(NSMaxX(frame) - 1, frame.origin.y, 1, frame.size.height));
    NSRectFill(NSMakeRect(frame.origin.x, NSMaxY(frame) - 1, frame.size.width, 1));
    drawInteriorWithFrame(frame, view);
}
