#include "DoubleRulerHorView.h"
#include "Foundation/NSClass.h"

#include "AppKit/NSWindow.h"
#include "RulerDrawing.h"

NS_CLASS_DEFINE(DoubleRulerHorView)

Ref<NSView> DoubleRulerHorView::initWithFrame(const NSRect& frame)
{
    GeneralRulerView::initWithFrame(frame);
    m_dSmallDict = RulerDrawing::smallAttributes();
    m_dMarkerDict = RulerDrawing::markerAttributes();
    m_ruler = NSImage::imageNamed("doublehorgrid.pdf"_ns);
    m_rulerMarker = RulerDrawing::redImage(NSMakeSize(1, 23));
    return this;
}

void DoubleRulerHorView::drawRect(const NSRect& dirtyRect)
{
    auto w = window();
    const CGFloat W = w ? w->frame().size.width : bounds().size.width;
    const NSPoint m = mouseLocation();
    RulerDrawing::fillWhiteAndStroke(bounds(), true);
    if (W >= 1)
        for (CGFloat x = 1; x <= W; x += 100)
            if (RulerDrawing::touches(NSMakeRect(x, 0, 100, 14), dirtyRect))
                RulerDrawing::drawImage(m_ruler, NSMakePoint(x, 0));
    if (m.x > 0) {
        RulerDrawing::drawImage(m_rulerMarker, NSMakePoint(m.x, 0));
        RulerDrawing::drawText(NSString::stringWithFormat("%li"_ns, static_cast<long>(m.x)), NSMakePoint(m.x, 26),
                               m_dMarkerDict);
    }
    if (W >= 0)
        for (long n = 0; n <= W; n += 100)
            if (RulerDrawing::touches(NSMakeRect(n + 2, 15, 30, 14), dirtyRect))
                RulerDrawing::drawText(NSString::stringWithFormat("%ld"_ns, n), NSMakePoint(n + 2, 15), m_dSmallDict);
    RulerDrawing::fillWhiteAndStroke(bounds(), false);
}
