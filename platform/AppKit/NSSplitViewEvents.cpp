// Presses on dividers: dragging with the delegate asked at every step,
// double-clicks that collapse or expand a pane, and the resize cursors over
// the grab areas.
#include "AppKit/NSApplication.h"
#include "AppKit/NSCursor.h"
#include "AppKit/NSSplitView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"

NSInteger NSSplitView::dividerAtPoint(NSPoint point) const
{
    const NSInteger count = NSInteger(subviews().size()) - 1;
    auto* delegate = delegateProtocol();
    for (NSInteger i = 0; i < count; ++i) {
        if (isDividerHidden(i)) continue;
        if (NSMouseInRect(point, effectiveRectOfDividerAtIndex(i), true)) return i;
        auto extra = delegate
                         ? delegate->splitViewAdditionalEffectiveRectOfDividerAtIndex(const_cast<NSSplitView*>(this), i)
                         : std::nullopt;
        if (extra && NSMouseInRect(point, *extra, true)) return i;
    }
    return -1;
}

Ref<NSView> NSSplitView::hitTest(NSPoint pointInSuperview)
{
    if (isHidden()) return nullptr;
    auto sup = superview();
    if (NSMouseInRect(pointInSuperview, frame(), sup && sup->isFlipped()) &&
        dividerAtPoint(convertPointFromView(pointInSuperview, sup)) >= 0)
        return Ref<NSView>(this);
    return NSView::hitTest(pointInSuperview);
}

void NSSplitView::mouseDown(const Ref<NSEvent>& event)
{
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    const NSInteger divider = dividerAtPoint(p);
    if (divider < 0) return NSView::mouseDown(event);
    if (event->clickCount() == 2) return doubleClickDivider(divider);
    dragDivider(divider, event);
}

void NSSplitView::dragDivider(NSInteger dividerIndex, const Ref<NSEvent>& event)
{
    Ref<NSSplitView> self(this);
    const NSPoint start = convertPointFromView(event->locationInWindow(), nullptr);
    const NSRect r = dividerRectAtIndex(dividerIndex);
    // The divider keeps its place under the pointer.
    const CGFloat offset = m_vertical ? start.x - r.origin.x : start.y - r.origin.y;
    auto cursor = m_vertical ? NSCursor::resizeLeftRightCursor() : NSCursor::resizeUpDownCursor();
    cursor->push();
    auto app = NSApplication::sharedApplication();
    const NSEventMask mask = NSLeftMouseDraggedMask | NSLeftMouseUpMask;
    for (;;) {
        auto e = app->nextEventMatchingMask(mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
        if (!e || e->type() == NSEventTypeLeftMouseUp) break;
        const NSPoint p = convertPointFromView(e->locationInWindow(), nullptr);
        setPosition((m_vertical ? p.x : p.y) - offset, dividerIndex);
        if (auto w = window()) w->displayIfNeeded();
    }
    NSCursor::pop();
}

void NSSplitView::doubleClickDivider(NSInteger dividerIndex)
{
    const auto views = subviews();
    std::vector<CGFloat> extents;
    for (const auto& v : views) extents.push_back(extentOf(v));
    // A collapsed neighbour comes back at the size it had.
    for (NSInteger k : {dividerIndex, dividerIndex + 1}) {
        if (!isSubviewCollapsed(views[k])) continue;
        setCollapsed(views[k], false);
        placePanes(std::move(extents), k == dividerIndex ? dividerIndex + 1 : dividerIndex);
        return;
    }
    auto* delegate = delegateProtocol();
    if (!delegate) return;
    for (NSInteger k : {dividerIndex, dividerIndex + 1}) {
        if (!canCollapse(views[k])) continue;
        if (!delegate->splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(this, views[k].get(), dividerIndex)
                 .value_or(false))
            continue;
        setCollapsed(views[k], true);
        placePanes(std::move(extents), k == dividerIndex ? dividerIndex + 1 : dividerIndex);
        return;
    }
}

void NSSplitView::resetCursorRects()
{
    auto cursor = m_vertical ? NSCursor::resizeLeftRightCursor() : NSCursor::resizeUpDownCursor();
    const NSInteger count = NSInteger(subviews().size()) - 1;
    auto* delegate = delegateProtocol();
    for (NSInteger i = 0; i < count; ++i) {
        if (isDividerHidden(i)) continue;
        addCursorRect(effectiveRectOfDividerAtIndex(i), cursor);
        if (auto extra = delegate ? delegate->splitViewAdditionalEffectiveRectOfDividerAtIndex(this, i) : std::nullopt)
            addCursorRect(*extra, cursor);
    }
}
