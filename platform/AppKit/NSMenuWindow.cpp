#include "AppKit/NSMenuWindow.h"

#include "AppKit/NSApplication.h"
#include "AppKit/NSScreen.h"
#include "AppKit/USKeyboardLayout.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(NSMenuWindow)

Ref<NSMenuWindow> NSMenuWindow::initWithMenu(const Ref<NSMenu>& menu, NSInteger index, NSPoint screenPoint)
{
    m_menuView = alloc<NSMenuView>()->initWithMenu(menu);
    NSSize size = m_menuView->frame().size;
    // The item's top-left corner goes to the point; the view is flipped.
    CGFloat itemTop = index >= 0 ? m_menuView->rectOfItemAtIndex(index).origin.y : 0;
    NSRect frame = NSMakeRect(screenPoint.x, screenPoint.y + itemTop - size.height, size.width, size.height);
    if (auto screen = NSScreen::mainScreen()) {
        NSRect visible = screen->visibleFrame();
        frame.origin.x = std::max(visible.origin.x, std::min(frame.origin.x, NSMaxX(visible) - size.width));
        frame.origin.y = std::max(visible.origin.y, std::min(frame.origin.y, NSMaxY(visible) - size.height));
    }
    initWithContentRect(frame, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    setLevel(NSPopUpMenuWindowLevel);
    setRoleName("menu");
    setReleasedWhenClosed(false);
    setContentView(m_menuView);
    return Ref<NSMenuWindow>(this);
}

NSInteger NSMenuWindow::itemAtScreenPoint(NSPoint point) const
{
    if (!NSPointInRect(point, frame())) return -1;
    NSPoint local = m_menuView->convertPointFromView(convertScreenToBase(point), nullptr);
    return m_menuView->indexOfItemAtPoint(local);
}

NSInteger NSMenuWindow::nextEnabledItem(int direction) const
{
    const auto& items = m_menuView->menu()->items();
    NSInteger n = NSInteger(items.size());
    NSInteger i = m_menuView->highlightedIndex();
    if (i < 0) i = direction > 0 ? -1 : n;
    for (NSInteger step = 0; step < n; ++step) {
        i += direction;
        if (i < 0 || i >= n) return m_menuView->highlightedIndex();
        const auto& item = items[size_t(i)];
        if (!item->isSeparatorItem() && item->isEnabled()) return i;
    }
    return m_menuView->highlightedIndex();
}

NSInteger NSMenuWindow::trackMenu(const Ref<NSMenu>& menu, NSInteger index, NSPoint screenPoint)
{
    if (!NSApp || !menu || menu->numberOfItems() == 0) return -1;
    auto window = alloc<NSMenuWindow>()->initWithMenu(menu, index, screenPoint);
    window->orderFront(nullptr);
    window->display();
    NSInteger chosen = window->track();
    window->orderOut(nullptr);
    return chosen;
}

NSInteger NSMenuWindow::track()
{
    constexpr NSEventMask mask = NSLeftMouseDownMask | NSLeftMouseUpMask | NSRightMouseDownMask | NSRightMouseUpMask |
                                 NSMouseMovedMask | NSLeftMouseDraggedMask | NSRightMouseDraggedMask | NSKeyDownMask |
                                 NSOtherMouseDownMask;
    const auto& items = m_menuView->menu()->items();
    bool armed = false;  // a mouse-up chooses only after a press or a drag inside the loop
    for (;;) {
        auto event = NSApp->nextEventMatchingMask(mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
        if (NSApp->hasTerminated()) return -1;
        if (!event) continue;
        NSPoint point = event->locationInWindow();
        if (auto w = event->window()) point = w->convertBaseToScreen(point);
        switch (event->type()) {
        case NSEventTypeMouseMoved:
        case NSEventTypeLeftMouseDragged:
        case NSEventTypeRightMouseDragged:
            if (event->type() != NSEventTypeMouseMoved) armed = true;
            m_menuView->setHighlightedIndex(itemAtScreenPoint(point));
            break;
        case NSEventTypeLeftMouseDown:
        case NSEventTypeRightMouseDown:
        case NSEventTypeOtherMouseDown:
            if (!NSPointInRect(point, frame())) return -1;
            armed = true;
            m_menuView->setHighlightedIndex(itemAtScreenPoint(point));
            break;
        case NSEventTypeLeftMouseUp:
        case NSEventTypeRightMouseUp: {
            NSInteger i = itemAtScreenPoint(point);
            if (!armed || i < 0) break;
            const auto& item = items[size_t(i)];
            if (item->isEnabled() && !item->isSeparatorItem() && !item->hasSubmenu()) return i;
            break;
        }
        case NSEventTypeKeyDown:
            switch (event->keyCode()) {
            case kVK_Escape: return -1;
            case kVK_DownArrow: m_menuView->setHighlightedIndex(nextEnabledItem(1)); break;
            case kVK_UpArrow: m_menuView->setHighlightedIndex(nextEnabledItem(-1)); break;
            case kVK_Return:
            case kVK_ANSI_KeypadEnter:
            case kVK_Space: {
                NSInteger i = m_menuView->highlightedIndex();
                if (i >= 0 && items[size_t(i)]->isEnabled() && !items[size_t(i)]->hasSubmenu()) return i;
                break;
            }
            default: break;
            }
            break;
        default: break;
        }
        displayIfNeeded();
    }
}
