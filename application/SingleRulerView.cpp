#include "SingleRulerView.h"
#include "Foundation/NSClass.h"

#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSWindow.h"
#include "AppText.h"
#include "RulerDrawing.h"
#include "SharedRulerStore.h"
#include "SingleRulerController.h"

NS_CLASS_DEFINE(SingleRulerView)

namespace {
// The mouse-in-rectangle rule for unflipped 16 x 16 boxes.
bool inBox(NSPoint p, CGFloat x, CGFloat y) { return x <= p.x && p.x < x + 16 && y < p.y && p.y <= y + 16; }
}  // namespace

Ref<NSView> SingleRulerView::initWithFrame(const NSRect& frame)
{
    GeneralRulerView::initWithFrame(frame);
    m_dSmallDict = RulerDrawing::smallAttributes();
    m_dMarkerDict = RulerDrawing::markerAttributes();
    m_rotateHorImage = NSImage::imageNamed("rotate_hor.pdf"_ns);
    m_rotateVerImage = NSImage::imageNamed("rotate_ver.pdf"_ns);
    m_horRuler = NSImage::imageNamed("horgrid.pdf"_ns);
    m_verRuler = NSImage::imageNamed("vergrid.pdf"_ns);
    m_exitImage = NSImage::imageNamed("abortcross.pdf"_ns);
    m_resizeHorImage = NSImage::imageNamed("resize.pdf"_ns);
    m_resizeVerImage = NSImage::imageNamed("resize2.pdf"_ns);
    m_horRulerMarker = RulerDrawing::redImage(NSMakeSize(1, 23));
    m_verRulerMarker = RulerDrawing::redImage(NSMakeSize(23, 1));
    return this;
}

void SingleRulerView::awakeFromNib()
{
    if (!subviews().empty()) m_resizeButton = dynamic_ref_cast<ResizeButton>(subviews().front());
}

Ref<SingleRulerController> SingleRulerView::controller() const
{
    auto w = window();
    return w ? dynamic_ref_cast<SingleRulerController>(w->windowController()) : nullptr;
}

bool SingleRulerView::horizontal() const
{
    auto c = controller();
    return c ? c->horizontal() : true;
}

void SingleRulerView::drawRect(const NSRect&)
{
    auto c = controller();
    auto w = window();
    if (!c || !w) return;
    if (c->horizontal() != c->hasToBeHorizontal()) {
        rotateView();
        return;
    }
    RulerDrawing::fillWhiteAndStroke(bounds(), true);
    if (c->horizontal()) drawHorizontal(w->frame().size.width, mouseLocation());
    else drawVertical(w->frame().size.height, mouseLocation());
    RulerDrawing::fillWhiteAndStroke(bounds(), false);
}

void SingleRulerView::drawHorizontal(CGFloat W, NSPoint m)
{
    if (W >= 1)
        for (CGFloat x = 1; x <= W; x += 100) RulerDrawing::drawImage(m_horRuler, NSMakePoint(x, 0));
    RulerDrawing::drawImage(m_exitImage, NSMakePoint(2, 2));
    RulerDrawing::drawImage(m_rotateHorImage, NSMakePoint(20, 2));
    if (m.x > 0) {
        RulerDrawing::drawImage(m_horRulerMarker, NSMakePoint(m.x, 27));
        RulerDrawing::drawText(NSString::stringWithFormat(" %li"_ns, static_cast<long>(m.x)), NSMakePoint(m.x, 27),
                               m_dMarkerDict);
    }
    RulerDrawing::drawText(NSString::stringWithFormat(AppText::text("LSRulerWidth"), W - 1), NSMakePoint(40, 3),
                           m_dSmallDict);
    for (int n = 0; n <= W; n += 100)
        RulerDrawing::drawText(NSString::stringWithFormat("%d"_ns, n), NSMakePoint(n + 2, 28), m_dSmallDict);
    if (m_resizeButton) m_resizeButton->setFrameOrigin(NSMakePoint(W - 14, 1));
}

void SingleRulerView::drawVertical(CGFloat H, NSPoint m)
{
    const long N = static_cast<long>(H);
    if (N > -100) {
        for (long y = N;; y -= 100) {
            RulerDrawing::drawImage(m_verRuler, NSMakePoint(0, static_cast<CGFloat>(y)));
            if (y <= 0) break;
        }
    }
    RulerDrawing::drawImage(m_exitImage, NSMakePoint(2, H - 18));
    RulerDrawing::drawImage(m_rotateVerImage, NSMakePoint(2, H - 37));
    if (m.y > 0) {
        RulerDrawing::drawImage(m_verRulerMarker, NSMakePoint(26, m.y));
        RulerDrawing::drawText(NSString::stringWithFormat("%li"_ns, static_cast<long>(H - m.y)),
                               NSMakeRect(18, m.y - 50, 8, 50), m_dMarkerDict);
    }
    NSGraphicsContext::saveGraphicsState();
    auto rotation = NSAffineTransform::transform();
    rotation->rotateByDegrees(270);
    rotation->concat();
    RulerDrawing::drawText(NSString::stringWithFormat(AppText::text("LSRulerHeight"), H - 1), NSMakePoint(57 - H, 2),
                           m_dSmallDict);
    NSGraphicsContext::restoreGraphicsState();
    if (N >= -99) {
        long k = 0;
        do {
            RulerDrawing::drawText(NSString::stringWithFormat("%ld"_ns, 100 * k),
                                   NSMakeRect(30, static_cast<CGFloat>(N - 100 * k - 50), 8, 50), m_dSmallDict);
        } while (N - 100 * k++ > 0);
    }
    if (m_resizeButton) m_resizeButton->setFrameOrigin(NSMakePoint(1, 0));
}

void SingleRulerView::mouseDown(const Ref<NSEvent>& event)
{
    Ref<SingleRulerView> keep(this);
    auto c = controller();
    auto w = window();
    if (c && w) {
        const NSPoint p = event->locationInWindow();
        const CGFloat H = w->frame().size.height;
        const bool h = c->horizontal();
        const NSPoint close = h ? NSMakePoint(0, 0) : NSMakePoint(0, H - 17);
        const NSPoint rotate = h ? NSMakePoint(18, 0) : NSMakePoint(0, H - 36);
        if (inBox(p, close.x, close.y)) {
            // The window is gone after this: the click is not passed on.
            SharedRulerStore::getSharedRulerStore()->removeAndCloseRuler(c);
            return;
        }
        if (inBox(p, rotate.x, rotate.y)) {
            c->setHasToBeHorizontal(!c->horizontal());
            rotateView();
        }
    }
    GeneralRulerView::mouseDown(event);
}

void SingleRulerView::rotateView()
{
    auto c = controller();
    auto w = window();
    if (!c || !w) return;
    const NSRect f = w->frame();
    NSRect next;
    if (c->hasToBeHorizontal()) {
        c->setHorizontal(true);
        next = NSMakeRect(f.origin.x, f.origin.y + f.size.height - 50, f.size.height, 50);
        if (m_resizeButton) m_resizeButton->setImage(m_resizeHorImage);
    } else {
        c->setHorizontal(false);
        next = NSMakeRect(f.origin.x, f.origin.y + 50 - f.size.width, 50, f.size.width);
        if (m_resizeButton) m_resizeButton->setImage(m_resizeVerImage);
    }
    // Applied three times (the middle one a point longer) so the window and
    // its subviews are laid out and drawn anew.
    NSRect longer = next;
    if (c->horizontal()) longer.size.width += 1;
    else longer.size.height += 1;
    w->setFrame(next, true);
    w->setFrame(longer, true);
    w->setFrame(next, true);
}
