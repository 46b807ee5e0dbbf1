#include "AppKit/MenuWindowStack.h"

#include "AppKit/NSApplication.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"

void MenuWindowStack::push(Ref<MenuWindow> window)
{
    window->orderFront(nullptr);
    window->display();
    m_windows.push_back(std::move(window));
}

void MenuWindowStack::closeFrom(size_t level)
{
    while (m_windows.size() > level) {
        m_windows.back()->orderOut(nullptr);
        m_windows.pop_back();
    }
}

Ref<NSEvent> MenuWindowStack::nextTrackingEvent()
{
    for (;;) {
        auto event =
            NSApp->nextEventMatchingMask(kTrackingMask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
        if (NSApp->hasTerminated()) return nullptr;
        if (event) return event;
    }
}

NSPoint MenuWindowStack::screenLocation(const Ref<NSEvent>& event)
{
    const NSPoint point = event->locationInWindow();
    const auto window = event->window();
    return window ? window->convertBaseToScreen(point) : point;
}

MenuWindowStack::Hit MenuWindowStack::hitTest(NSPoint point) const
{
    for (int level = int(m_windows.size()) - 1; level >= 0; --level) {
        const auto& window = m_windows[size_t(level)];
        if (NSPointInRect(point, window->frame())) return {level, window->itemAtScreenPoint(point)};
    }
    return {};
}

Ref<NSMenuItem> MenuWindowStack::itemAt(size_t level, NSInteger index) const
{
    // The menu may have lost items since the index was taken.
    const auto menu = m_windows[level]->menuView()->menu();
    return index < 0 || index >= menu->numberOfItems() ? nullptr : menu->itemAtIndex(index);
}

bool MenuWindowStack::isChoosable(const Ref<NSMenuItem>& item)
{
    return item && item->isEnabled() && !item->isSeparatorItem() && !item->hasSubmenu();
}

MenuWindow::Choice MenuWindowStack::choice(size_t level, NSInteger index) const
{
    return {m_windows[level]->menuView()->menu(), index};
}

void MenuWindowStack::highlight(size_t level, NSInteger index)
{
    // A copy: pushing the submenu's window may move the vector.
    const Ref<MenuWindow> window = m_windows[level];
    const bool same = window->menuView()->highlightedIndex() == index;
    window->menuView()->setHighlightedIndex(index);
    if (same && m_windows.size() > level + 1) return;
    closeFrom(level + 1);
    auto item = itemAt(level, index);
    if (!item || !item->hasSubmenu() || !item->isEnabled()) return;
    auto submenu = item->submenu();
    submenu->update();
    if (submenu->numberOfItems() == 0) return;
    push(NSObject::alloc<MenuWindow>()->initWithSubmenu(submenu, window, index));
}

void MenuWindowStack::moveHighlight(int direction)
{
    const auto& window = innermost();
    window->menuView()->setHighlightedIndex(window->nextEnabledItem(direction));
}

bool MenuWindowStack::enterSubmenu()
{
    if (m_windows.empty()) return false;
    const size_t top = m_windows.size() - 1;
    const NSInteger lit = m_windows[top]->menuView()->highlightedIndex();
    auto item = itemAt(top, lit);
    if (!item || !item->hasSubmenu() || !item->isEnabled()) return false;
    highlight(top, lit);
    if (m_windows.size() > top + 1) moveHighlight(1);
    return true;
}

void MenuWindowStack::displayIfNeeded()
{
    for (auto& window : m_windows) window->displayIfNeeded();
}
