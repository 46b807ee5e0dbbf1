#include "GeneralRulerView.h"
#include "Foundation/NSClass.h"

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
    const NSPoint location = convertPoint(w->convertScreenToBase(screenPoint), nullptr);
    if (!followsMove(m_mouseLocation, location)) {
        m_mouseLocation = location;
        return;
    }
    setNeedsDisplayInRect(markerRect(m_mouseLocation));
    m_mouseLocation = location;
    setNeedsDisplayInRect(markerRect(m_mouseLocation));
}
