// A pane's mouse handling: dragging the divider the delegate designated from
// inside the pane, and moving a window that is movable by its background.
#include "AppKit/NSApplication.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSAutoreleasePool.h"
#include "QXSplitView/QXSplitAxis.h"
#include "QXSplitView/QXSplitView.h"

using namespace QXSplitAxis;

void QXSplitSubview::trackMouse(const std::function<void(const Ref<NSEvent>&)>& step)
{
    const NSEventMask mask = NSLeftMouseDownMask | NSLeftMouseUpMask | NSLeftMouseDraggedMask;
    auto app = NSApplication::sharedApplication();
    for (;;) {
        auto event = app->nextEventMatchingMask(mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
        if (!event || event->type() == NSEventTypeLeftMouseUp) return;
        NSAutoreleasePool pool;
        NSDisableScreenUpdates();
        try {
            step(event);
        } catch (...) {
            NSEnableScreenUpdates();
            throw;
        }
        NSEnableScreenUpdates();
    }
}

Ref<NSView> QXSplitSubview::hitTest(NSPoint pointInSuperview)
{
    if (isHidden()) return nullptr;
    auto sup = superview();
    if (!NSMouseInRect(pointInSuperview, frame(), sup && sup->isFlipped())) return nullptr;
    auto sv = splitView();
    if (auto* delegate = sv ? sv->delegateProtocol() : nullptr) {
        const NSPoint inSplitView = sv->convertPointFromView(pointInSuperview, sup);
        if (auto divider = delegate->splitViewDividerForPointInSubview(sv.get(), inSplitView, this)) {
            m_actDivider = *divider;
            if (m_actDivider != NSNotFound && m_actDivider + 1 < sv->QX___numberOfSubviews()) return Ref<NSView>(this);
        }
    }
    m_actDivider = NSNotFound;
    auto hit = NSView::hitTest(pointInSuperview);
    auto window = this->window();
    auto content = window ? window->contentView() : nullptr;
    auto opaque = hit ? hit->opaqueAncestor() : nullptr;
    m_canDragWindow = hit && !(opaque && content && opaque->isDescendantOf(content));
    return hit;
}

void QXSplitSubview::mouseDown(const Ref<NSEvent>& event)
{
    auto sv = splitView();
    if (sv && m_actDivider != NSNotFound) return dragDivider(event);
    auto window = this->window();
    if (m_canDragWindow && window && window->isMovableByWindowBackground() && !(sv && sv->background()))
        return dragWindow(event);
    NSView::mouseDown(event);
}

void QXSplitSubview::dragDivider(const Ref<NSEvent>& event)
{
    Ref<QXSplitSubview> self(this);
    Ref<QXSplitView> sv = splitView();
    const NSUInteger divider = m_actDivider;
    const bool horizontal = sv->isHorizontal();
    NSPoint start = sv->convertPointFromView(event->locationInWindow(), nullptr);
    QXSplitView::cursor(QXSplitViewDraggingCursor)->push();
    sv->QX___setDragging(true);
    try {
        trackMouse([&](const Ref<NSEvent>& e) {
            if (divider + 1 >= sv->QX___numberOfSubviews()) return;
            const double before = sv->QX___dividerOrigin(divider);
            sv->QX___trackMouseEvent(e, start, NSZeroPoint, divider);
            if (sv->mustAdjust()) {
                sv->QX___setMustClearFractions();
                sv->display();
            }
            setAlong(start, horizontal, along(start, horizontal) + sv->QX___dividerOrigin(divider) - before);
        });
    } catch (...) {
        sv->QX___setDragging(false);
        NSCursor::pop();
        m_actDivider = NSNotFound;
        throw;
    }
    sv->QX___setDragging(false);
    NSCursor::pop();
    m_actDivider = NSNotFound;
}

void QXSplitSubview::dragWindow(const Ref<NSEvent>& event)
{
    Ref<NSWindow> window = this->window();
    // Screen positions, taken when each event was made: the window moves
    // under the pointer.
    NSPoint previous = event->screenLocation();
    trackMouse([&](const Ref<NSEvent>& e) {
        const NSPoint now = e->screenLocation();
        NSPoint origin = window->frame().origin;
        origin.x += now.x - previous.x;
        origin.y += now.y - previous.y;
        window->setFrameOrigin(origin);
        previous = now;
    });
}
