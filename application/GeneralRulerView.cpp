#include "Foundation/NSClass.h"
#include "GeneralRulerView.h"

#include "AppKit/NSWindow.h"

NS_CLASS_DEFINE(GeneralRulerView)

Ref<NSView> GeneralRulerView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_mouseLocation = NSMakePoint(0, 0);
    return this;
}

void GeneralRulerView::setMouseLocation(NSPoint screenPoint)
{
    auto w = window();
    if (!w) return;
    m_mouseLocation = convertPoint(w->convertScreenToBase(screenPoint), nullptr);
    setNeedsDisplay(true);
}
