#include "WhiteView.h"
#include "Foundation/NSClass.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"

NS_CLASS_DEFINE(WhiteView)

void WhiteView::drawRect(const NSRect&)
{
    NSColor::whiteColor()->setFill();
    NSBezierPath::fillRect(bounds());
    NSColor::blackColor()->setStroke();
    auto outline = NSBezierPath::bezierPathWithRect(bounds());
    outline->setLineWidth(1);
    outline->stroke();
}
