#include "DoubleRulerVerView.h"
#include "Foundation/NSClass.h"

#include "AppKit/NSWindow.h"
#include "RulerDrawing.h"

NS_CLASS_DEFINE(DoubleRulerVerView)

Ref<NSView> DoubleRulerVerView::initWithFrame(const NSRect& frame)
{
    GeneralRulerView::initWithFrame(frame);
    m_dSmallDict = RulerDrawing::smallAttributes();
    m_dMarkerDict = RulerDrawing::markerAttributes();
    m_ruler = NSImage::imageNamed("doublevergrid.pdf"_ns);
    m_rulerMarker = RulerDrawing::redImage(NSMakeSize(23, 1));
    return this;
}

void DoubleRulerVerView::drawRect(const NSRect& dirtyRect)
{
    auto w = window();
    const CGFloat H = w ? w->frame().size.height : bounds().size.height;
    const CGFloat h = bounds().size.height;
    const NSPoint m = mouseLocation();
    RulerDrawing::fillWhiteAndStroke(bounds(), true);
    for (CGFloat r = 101; r <= H + 200; r += 100)
        if (RulerDrawing::touches(NSMakeRect(13, h - r, 23, 100), dirtyRect))
            RulerDrawing::drawImage(m_ruler, NSMakePoint(13, h - r));
    if (m.y >= 0) {
        RulerDrawing::drawImage(m_rulerMarker, NSMakePoint(13, m.y));
        RulerDrawing::drawText(NSString::stringWithFormat("%li"_ns, static_cast<long>(h - m.y - 1)),
                               NSMakeRect(6, m.y - 50, 8, 50), m_dMarkerDict);
    }
    if (H >= 0)
        for (long n = 0; n <= H; n += 100)
            if (RulerDrawing::touches(NSMakeRect(18, h - n - 50, 8, 50), dirtyRect))
                RulerDrawing::drawText(NSString::stringWithFormat("%ld"_ns, n), NSMakeRect(18, h - n - 50, 8, 50),
                                       m_dSmallDict);
    RulerDrawing::fillWhiteAndStroke(bounds(), false);
}
