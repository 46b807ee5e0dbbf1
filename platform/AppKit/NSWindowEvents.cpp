#include "AppKit/NSWindow.h"

#include "AppKit/NSApplication.h"
#include "AppKit/NSApplicationSheets.h"
#include "AppKit/NSCursor.h"
#include "AppKit/NSText.h"

// Event routing inside a window: mouse events to the view under the pointer
// (and the drags and mouse-up to the view that took the mouse-down), keys to
// the first responder, tracking areas and cursor rectangles.

Ref<NSEvent> NSWindow::currentEvent() const { return NSApp ? NSApp->currentEvent() : nullptr; }

Ref<NSEvent> NSWindow::nextEventMatchingMask(NSEventMask mask)
{
    return NSApplication::sharedApplication()->nextEventMatchingMask(mask, NSDate::distantFuture(),
                                                                     NSEventTrackingRunLoopMode, true);
}

namespace {

bool isBlockedBySheet(NSEventType type)
{
    switch (type) {
    case NSEventTypeLeftMouseDown:
    case NSEventTypeRightMouseDown:
    case NSEventTypeOtherMouseDown:
    case NSEventTypeKeyDown:
    case NSEventTypeKeyUp: return true;
    default: return false;
    }
}

}

bool NSWindow::isSheet() const { return NSApplicationExt::isSheet(Ref<NSWindow>(const_cast<NSWindow*>(this))); }

void NSWindow::sendEvent(const Ref<NSEvent>& event)
{
    if (!event) return;
    Ref<NSWindow> self(this);
    // The toolbar's items bring their enabled state up to date after each
    // event, however it was handled.
    struct ValidateToolbar {
        NSWindow& window;
        ~ValidateToolbar()
        {
            if (auto toolbar = window.toolbar()) toolbar->validateVisibleItems();
        }
    } validateToolbar{*this};
    // A window with a sheet attached answers only through the sheet.
    if (isBlockedBySheet(event->type()) && NSApplicationExt::attachedSheet(self)) {
        if (event->type() != NSEventTypeKeyUp) NSBeep();
        return;
    }
    switch (event->type()) {
    case NSEventTypeLeftMouseDown:
    case NSEventTypeRightMouseDown:
    case NSEventTypeOtherMouseDown: {
        Ref<NSView> hit = m_frameView->hitTest(event->locationInWindow());
        const bool wasKey = isKeyWindow();
        if (event->type() == NSEventTypeLeftMouseDown && !wasKey && canBecomeKeyWindow()) {
            makeKeyAndOrderFront(nullptr);
            // The click that activates a window reaches a view only when it
            // takes first clicks.
            if (hit && hit != m_frameView && !hit->acceptsFirstMouse(event)) {
                m_mouseDownView = nullptr;
                return;
            }
        }
        m_mouseDownView = hit;
        // A control whose field editor has the focus keeps it: the control
        // decides what its click does to the edit.
        auto editor = dynamic_ref_cast<NSText>(firstResponder());
        const bool editedByHit = editor && editor->isFieldEditor() && editor->delegate().get() == Id(hit).get();
        if (hit && event->type() == NSEventTypeLeftMouseDown && hit->acceptsFirstResponder() && !editedByHit)
            makeFirstResponder(hit);
        updateTrackingAreas(event);
        sendMouseToView(event);
        return;
    }
    case NSEventTypeLeftMouseDragged:
    case NSEventTypeRightMouseDragged:
    case NSEventTypeOtherMouseDragged:
    case NSEventTypeLeftMouseUp:
    case NSEventTypeRightMouseUp:
    case NSEventTypeOtherMouseUp:
        updateTrackingAreas(event);
        sendMouseToView(event);
        if (event->type() == NSEventTypeLeftMouseUp || event->type() == NSEventTypeRightMouseUp ||
            event->type() == NSEventTypeOtherMouseUp)
            m_mouseDownView = nullptr;
        return;
    case NSEventTypeMouseMoved:
        updateTrackingAreas(event);
        if (m_acceptsMouseMoved) {
            if (auto first = firstResponder()) first->mouseMoved(event);
        }
        return;
    case NSEventTypeMouseEntered:
    case NSEventTypeMouseExited:
        // trackingNumber 0: the pointer entered or left the whole window.
        if (event->trackingNumber() == 0) updateTrackingAreas(event);
        return;
    case NSEventTypeScrollWheel: {
        Ref<NSView> hit = m_frameView->hitTest(event->locationInWindow());
        if (hit) hit->scrollWheel(event);
        return;
    }
    case NSEventTypeKeyDown: {
        auto first = firstResponder();
        (first ? first : Ref<NSResponder>(this))->keyDown(event);
        return;
    }
    case NSEventTypeKeyUp: {
        auto first = firstResponder();
        (first ? first : Ref<NSResponder>(this))->keyUp(event);
        return;
    }
    case NSEventTypeFlagsChanged: {
        auto first = firstResponder();
        (first ? first : Ref<NSResponder>(this))->flagsChanged(event);
        return;
    }
    default: return;
    }
}

void NSWindow::sendMouseToView(const Ref<NSEvent>& event)
{
    Ref<NSResponder> target = m_mouseDownView.get();
    if (!target) target = Ref<NSResponder>(this);
    switch (event->type()) {
    case NSEventTypeLeftMouseDown: target->mouseDown(event); break;
    case NSEventTypeLeftMouseDragged: target->mouseDragged(event); break;
    case NSEventTypeLeftMouseUp: target->mouseUp(event); break;
    case NSEventTypeRightMouseDown: target->rightMouseDown(event); break;
    case NSEventTypeRightMouseDragged: target->rightMouseDragged(event); break;
    case NSEventTypeRightMouseUp: target->rightMouseUp(event); break;
    case NSEventTypeOtherMouseDown: target->otherMouseDown(event); break;
    case NSEventTypeOtherMouseDragged: target->otherMouseDragged(event); break;
    case NSEventTypeOtherMouseUp: target->otherMouseUp(event); break;
    default: break;
    }
}

void NSWindow::mouseDown(const Ref<NSEvent>& event)
{
    m_movingByBackground = m_movableByBackground;
    m_moveStartPointer = convertBaseToScreen(event->locationInWindow());
    m_moveStartOrigin = m_frame.origin;
}

void NSWindow::mouseDragged(const Ref<NSEvent>& event)
{
    if (!m_movingByBackground) return;
    // Screen positions: the window moves under the pointer.
    const NSPoint p = event->screenLocation();
    setFrameOrigin(NSMakePoint(m_moveStartOrigin.x + p.x - m_moveStartPointer.x,
                               m_moveStartOrigin.y + p.y - m_moveStartPointer.y));
}

void NSWindow::mouseUp(const Ref<NSEvent>&) { m_movingByBackground = false; }

void NSWindow::keyDown(const Ref<NSEvent>& event) { NSResponder::keyDown(event); }

void NSWindow::selectNextKeyView(const Id& sender)
{
    if (auto start = keyViewStart(sender)) return selectKeyViewFollowingView(start);
    if (auto initial = dynamic_ref_cast<NSView>(initialFirstResponder())) {
        if (initial->canBecomeKeyView()) makeFirstResponder(initial);
        else selectKeyViewFollowingView(initial);
    }
}

void NSWindow::selectPreviousKeyView(const Id& sender)
{
    if (auto start = keyViewStart(sender)) return selectKeyViewPrecedingView(start);
    if (auto initial = dynamic_ref_cast<NSView>(initialFirstResponder())) selectKeyViewPrecedingView(initial);
}

void NSWindow::selectKeyViewFollowingView(const Ref<NSView>& view)
{
    if (!view) return;
    auto next = view->nextValidKeyView();
    if (!next) return;
    m_keyViewSelectionDirection = NSSelectingNext;
    makeFirstResponder(next);
    m_keyViewSelectionDirection = NSDirectSelection;
}

void NSWindow::selectKeyViewPrecedingView(const Ref<NSView>& view)
{
    if (!view) return;
    auto previous = view->previousValidKeyView();
    if (!previous) return;
    m_keyViewSelectionDirection = NSSelectingPrevious;
    makeFirstResponder(previous);
    m_keyViewSelectionDirection = NSDirectSelection;
}

Ref<NSView> NSWindow::keyViewStart(const Id& sender) const
{
    if (auto view = dynamic_ref_cast<NSView>(sender); view && view->window().get() == this) return view;
    if (auto view = dynamic_ref_cast<NSView>(firstResponder()); view && view->window().get() == this) return view;
    return nullptr;
}

namespace {

void collectViews(const Ref<NSView>& view, std::vector<Ref<NSView>>& out)
{
    out.push_back(view);
    for (auto& v : view->subviews()) collectViews(v, out);
}

void sendTracking(const Ref<NSTrackingArea>& area, NSEventType type, const Ref<NSEvent>& source, NSInteger window)
{
    Id owner = area->owner();
    if (!owner) return;
    auto e = NSEvent::enterExitEventWithType(type, source->locationInWindow(), source->modifierFlags(),
                                             source->timestamp(), window, nullptr, 0,
                                             area->trackingTag() ? area->trackingTag() : -1, area->trackingUserData());
    if (auto responder = dynamic_ref_cast<NSResponder>(owner)) {
        if (type == NSMouseEntered) responder->mouseEntered(e);
        else if (type == NSMouseExited) responder->mouseExited(e);
        else responder->mouseMoved(e);
    }
}

}

void NSWindow::updateTrackingAreas(const Ref<NSEvent>& event)
{
    std::vector<Ref<NSView>> views;
    collectViews(m_frameView, views);
    const bool windowExit = event->type() == NSMouseExited && event->trackingNumber() == 0;
    const NSPoint p = event->locationInWindow();
    const bool dragging = event->type() == NSEventTypeLeftMouseDragged ||
                          event->type() == NSEventTypeRightMouseDragged ||
                          event->type() == NSEventTypeOtherMouseDragged;
    for (auto& view : views) {
        const bool hidden = view->isHiddenOrHasHiddenAncestor();
        const NSPoint local = view->convertPointFromView(p, nullptr);
        for (auto& area : std::vector<Ref<NSTrackingArea>>(view->m_trackingAreas)) {
            const NSUInteger o = area->options();
            if (dragging && area->m_tag == 0 && !(o & NSTrackingEnabledDuringMouseDrag)) continue;
            const NSRect r = (o & NSTrackingInVisibleRect) ? view->visibleRect() : area->rect();
            const bool inside = !windowExit && !hidden && view->mouse(local, r);
            if (inside != area->m_inside) {
                area->m_inside = inside;
                if (o & NSTrackingMouseEnteredAndExited)
                    sendTracking(area, inside ? NSMouseEntered : NSMouseExited, event, m_windowID);
            } else if (inside && (o & NSTrackingMouseMoved) && event->type() == NSMouseMoved) {
                sendTracking(area, NSMouseMoved, event, m_windowID);
            }
        }
    }
    updateCursorRects(p, !windowExit);
}

void NSWindow::updateCursorRects(NSPoint locationInWindow, bool pointerInside)
{
    if (!m_cursorRectsValid) resetCursorRects();
    // The front-most rectangle under the pointer wins: later views draw
    // over earlier ones.
    Id cursor;
    if (pointerInside) {
        std::vector<Ref<NSView>> views;
        collectViews(m_frameView, views);
        for (auto& view : views) {
            if (view->cursorRects().empty() || view->isHiddenOrHasHiddenAncestor()) continue;
            const NSPoint local = view->convertPointFromView(locationInWindow, nullptr);
            const NSRect visible = view->visibleRect();
            for (const auto& c : view->cursorRects())
                if (c.cursor && view->mouse(local, NSIntersectionRect(c.rect, visible))) cursor = c.cursor;
        }
    }
    if (cursor == m_cursorRectCursor) return;
    const bool left = m_cursorRectCursor && !cursor;
    m_cursorRectCursor = cursor;
    if (cursor) {
        if (cursor->respondsToSelector("set")) cursor->performSelector("set");
    } else if (left) {
        NSCursor::arrowCursor()->set();
    }
}

void NSWindow::resetCursorRects()
{
    m_cursorRectsValid = true;
    std::vector<Ref<NSView>> views;
    collectViews(m_frameView, views);
    for (auto& view : views) {
        view->discardCursorRects();
        view->resetCursorRects();
    }
}

void NSWindow::discardCursorRects()
{
    std::vector<Ref<NSView>> views;
    collectViews(m_frameView, views);
    for (auto& view : views) view->discardCursorRects();
    m_cursorRectCursor = nullptr;
}

void NSWindow::invalidateCursorRectsForView(const Ref<NSView>& view)
{
    if (!view) return;
    view->discardCursorRects();
    view->resetCursorRects();
}
