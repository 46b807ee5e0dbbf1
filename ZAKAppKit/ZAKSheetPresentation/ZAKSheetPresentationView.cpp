#include "ZAKAppKit/ZAKSheetPresentation/ZAKSheetPresentationView.h"

#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKSheetPresentationView)

void ZAKSheetPresentationView::drawRect(const NSRect&)
{
    NSGraphicsContext::saveGraphicsState();
    NSColor::colorWithDeviceWhite(0, 0.4)->setFill();
    NSRectFillUsingOperation(bounds(), NSCompositeSourceOver);
    NSGraphicsContext::restoreGraphicsState();
}
