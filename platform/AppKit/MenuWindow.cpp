#include "AppKit/MenuWindow.h"

#include "AppKit/MenuPlacement.h"
#include "AppKit/MenuWindowStack.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSScreen.h"
#include "Foundation/NSClass.h"
#include "WindowServer/USKeyboardLayout.h"
#include "WindowServer/WindowServer.h"

NS_CLASS_DEFINE(MenuWindow)

Ref<MenuWindow> MenuWindow::initWithMenu(const Ref<NSMenu>& menu, NSInteger index, NSPoint screenPoint)
{
    m_menuView = alloc<MenuView>()->initWithMenu(menu);
    NSSize size = m_menuView->frame().size;
    // The item's top-left corner goes to the point; the view is flipped.
    CGFloat itemTop = index >= 0 ? m_menuView->rectOfItemAtIndex(index).origin.y : 0;
    NSRect frame = NSMakeRect(screenPoint.x, screenPoint.y + itemTop - size.height, size.width, size.height);
    if (auto screen = NSScreen::mainScreen()) {
        NSRect visible = screen->visibleFrame();
        frame.origin.x = std::max(visible.origin.x, std::min(frame.origin.x, NSMaxX(visible) - size.width));
        frame.origin.y = std::max(visible.origin.y, std::min(frame.origin.y, NSMaxY(visible) - size.height));
    }
    return initAtOrigin(frame.origin);
}

namespace {

// The visible frame of the screen showing the rectangle (the main screen's
// when none does); an unbounded one without screens.
NSRect visibleFrameAround(const NSRect& rect)
{
    Ref<NSScreen> best = NSScreen::mainScreen();
    CGFloat bestArea = 0;
    auto screens = NSScreen::screens();
    for (NSUInteger i = 0; screens && i < screens->count(); ++i) {
        auto s = static_ref_cast<NSScreen>(screens->objectAtIndex(i));
        const NSRect overlap = NSIntersectionRect(s->frame(), rect);
        const CGFloat area = overlap.size.width * overlap.size.height;
        if (area > bestArea) best = s, bestArea = area;
    }
    if (best) return best->visibleFrame();
    constexpr CGFloat huge = 1e9;
    return NSMakeRect(-huge / 2, -huge / 2, huge, huge);
}

}

Ref<MenuWindow> MenuWindow::initWithSubmenu(const Ref<NSMenu>& submenu, const Ref<MenuWindow>& parent, NSInteger index)
{
    m_menuView = alloc<MenuView>()->initWithMenu(submenu);
    const auto& parentView = parent->menuView();
    const NSRect item =
        parent->convertRectToScreen(parentView->convertRectToView(parentView->rectOfItemAtIndex(index), nullptr));
    const CGFloat firstItemTop = m_menuView->rectOfItemAtIndex(0).origin.y;
    const NSRect parentFrame = parent->frame();
    const NSPoint origin = MenuPlacement::submenuOrigin(parentFrame, item, m_menuView->frame().size, firstItemTop,
                                                        visibleFrameAround(parentFrame), parent->m_leftward);
    m_leftward = origin.x < parentFrame.origin.x;
    return initAtOrigin(origin);
}

Ref<MenuWindow> MenuWindow::initWithMenuBelowTitle(const Ref<NSMenu>& menu, const NSRect& titleRect)
{
    m_menuView = alloc<MenuView>()->initWithMenu(menu);
    return initAtOrigin(
        MenuPlacement::belowTitleOrigin(titleRect, m_menuView->frame().size, visibleFrameAround(titleRect)));
}

Ref<MenuWindow> MenuWindow::initAtOrigin(NSPoint origin)
{
    initWithContentRect({origin, m_menuView->frame().size}, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    setLevel(NSPopUpMenuWindowLevel);
    setRoleName("menu", WSWindowType::popUpMenu);
    setReleasedWhenClosed(false);
    setContentView(m_menuView);
    return Ref<MenuWindow>(this);
}

NSInteger MenuWindow::itemAtScreenPoint(NSPoint point) const
{
    if (!NSPointInRect(point, frame())) return -1;
    NSPoint local = m_menuView->convertPointFromView(convertScreenToBase(point), nullptr);
    return m_menuView->indexOfItemAtPoint(local);
}

NSInteger MenuWindow::nextEnabledItem(int direction) const
{
    const auto& items = m_menuView->menu()->items();
    NSInteger n = NSInteger(items.size());
    NSInteger i = m_menuView->highlightedIndex();
    // Nothing lit, or an item the menu has lost since.
    if (i < 0 || i >= n) i = direction > 0 ? -1 : n;
    for (NSInteger step = 0; step < n; ++step) {
        i += direction;
        if (i < 0 || i >= n) return m_menuView->highlightedIndex();
        const auto& item = items[size_t(i)];
        if (!item->isSeparatorItem() && item->isEnabled()) return i;
    }
    return m_menuView->highlightedIndex();
}

namespace {

// The pop-up menu's tracking loop; keys work on the innermost menu.
class MenuTracker {
public:
    explicit MenuTracker(Ref<MenuWindow> root)
    {
        m_stack.push(std::move(root));
        WindowServer::shared().beginMenuTracking(m_stack.at(0)->windowNumber());
    }
    ~MenuTracker() { WindowServer::shared().endMenuTracking(); }

    MenuWindow::Choice run();

private:
    MenuWindowStack m_stack;
};

MenuWindow::Choice MenuTracker::run()
{
    bool armed = false;  // a mouse-up chooses only after a press or a drag inside the loop
    for (;;) {
        auto event = MenuWindowStack::nextTrackingEvent();
        if (!event) return {};
        const NSPoint point = MenuWindowStack::screenLocation(event);
        const auto [level, index] = m_stack.hitTest(point);
        switch (event->type()) {
        case NSEventTypeMouseMoved:
        case NSEventTypeLeftMouseDragged:
        case NSEventTypeRightMouseDragged:
            if (event->type() != NSEventTypeMouseMoved) armed = true;
            if (level >= 0) m_stack.highlight(size_t(level), index);
            else m_stack.innermost()->menuView()->setHighlightedIndex(-1);
            break;
        case NSEventTypeLeftMouseDown:
        case NSEventTypeRightMouseDown:
        case NSEventTypeOtherMouseDown:
            if (level < 0) return {};
            armed = true;
            m_stack.highlight(size_t(level), index);
            break;
        case NSEventTypeLeftMouseUp:
        case NSEventTypeRightMouseUp:
            if (armed && level >= 0 && MenuWindowStack::isChoosable(m_stack.itemAt(size_t(level), index)))
                return m_stack.choice(size_t(level), index);
            break;
        case NSEventTypeKeyDown: {
            const size_t top = m_stack.size() - 1;
            const NSInteger lit = m_stack.innermost()->menuView()->highlightedIndex();
            switch (event->keyCode()) {
            case kVK_Escape: return {};
            case kVK_DownArrow: m_stack.moveHighlight(1); break;
            case kVK_UpArrow: m_stack.moveHighlight(-1); break;
            case kVK_RightArrow: m_stack.enterSubmenu(); break;
            case kVK_LeftArrow:
                if (top > 0) m_stack.closeFrom(top);
                break;
            case kVK_Return:
            case kVK_ANSI_KeypadEnter:
            case kVK_Space:
                if (MenuWindowStack::isChoosable(m_stack.itemAt(top, lit))) return m_stack.choice(top, lit);
                break;
            default: break;
            }
            break;
        }
        default: break;
        }
        m_stack.displayIfNeeded();
    }
}

}

MenuWindow::Choice MenuWindow::trackMenu(const Ref<NSMenu>& menu, NSInteger index, NSPoint screenPoint)
{
    if (!NSApp || !menu || menu->numberOfItems() == 0) return {};
    MenuTracker tracker(alloc<MenuWindow>()->initWithMenu(menu, index, screenPoint));
    return tracker.run();
}
