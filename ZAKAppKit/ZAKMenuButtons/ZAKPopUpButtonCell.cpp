#include "ZAKAppKit/ZAKMenuButtons/ZAKPopUpButtonCell.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKPopUpButtonCell)

NSRect ZAKPopUpButtonCell::titleRectForBounds(const NSRect& bounds) const
{
    NSRect r = NSPopUpButtonCell::titleRectForBounds(bounds);
    r.origin.x -= 2;
    r.size.width += isBordered() ? 6 : 10;
    if (!image()) return r;
    if (imagePosition() == NSImageRight && alignment() == NSRightTextAlignment) r.origin.x -= 3;
    else if (imagePosition() == NSImageLeft || imagePosition() == NSNoImage) r.origin.x += 2;
    return r;
}
