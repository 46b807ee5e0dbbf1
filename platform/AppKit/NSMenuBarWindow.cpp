#include "AppKit/NSMenuBarWindow.h"

#include "AppKit/NSApplication.h"
#include "AppKit/NSScreen.h"
#include "AppKit/USKeyboardLayout.h"
#include "AppKit/WindowServer.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(NSMenuBarWindow)

namespace {

Ref<NSMenuBarWindow>& sharedBar()
{
    static auto* bar = new Ref<NSMenuBarWindow>;
    return *bar;
}

void removeBar()
{
    auto& bar = sharedBar();
    if (!bar) return;
    bar->orderOut(nullptr);
    bar = nullptr;
}

bool choosable(const Ref<NSMenuItem>& item)
{
    return item && item->isEnabled() && !item->isSeparatorItem() && !item->hasSubmenu();
}

// The bar's tracking loop: the open title and its menu windows, outermost
// first; keys work on the innermost.
class BarTracker {
public:
    explicit BarTracker(Ref<NSMenuBarWindow> bar) : m_bar(std::move(bar)), m_view(m_bar->menuBarView())
    {
        WindowServer::shared().beginMenuTracking(m_bar->windowNumber());
    }
    ~BarTracker()
    {
        WindowServer::shared().endMenuTracking();
        closeFrom(0);
        m_view->setHighlightedIndex(-1);
        m_bar->displayIfNeeded();
    }

    NSMenuWindow::Choice run(NSInteger title);

private:
    Ref<NSMenuBarWindow> m_bar;
    Ref<NSMenuBarView> m_view;
    NSInteger m_title = -1;
    std::vector<Ref<NSMenuWindow>> m_windows;

    void push(Ref<NSMenuWindow> w)
    {
        w->orderFront(nullptr);
        w->display();
        m_windows.push_back(std::move(w));
    }
    void closeFrom(size_t level)
    {
        while (m_windows.size() > level) {
            m_windows.back()->orderOut(nullptr);
            m_windows.pop_back();
        }
    }
    void openTitle(NSInteger index)
    {
        closeFrom(0);
        m_title = index;
        m_view->setHighlightedIndex(index);
        auto menu = m_bar->menuForTitle(index);
        if (!menu || menu->numberOfItems() == 0) return;
        const NSRect title =
            m_bar->convertRectToScreen(m_view->convertRectToView(m_view->rectOfTitleAtIndex(index), nullptr));
        push(NSObject::alloc<NSMenuWindow>()->initWithMenuBelowTitle(menu, title));
    }
    void moveTitle(int direction)
    {
        const NSInteger n = m_view->numberOfTitles();
        if (n > 0) openTitle(((m_title + direction) % n + n) % n);
    }
    static Ref<NSMenuItem> itemOf(const Ref<NSMenuWindow>& w, NSInteger i)
    {
        return i < 0 ? nullptr : w->menuView()->menu()->itemAtIndex(i);
    }
    // The innermost menu window holding the point, or -1.
    int levelAt(NSPoint point) const
    {
        for (int level = int(m_windows.size()) - 1; level >= 0; --level)
            if (NSPointInRect(point, m_windows[size_t(level)]->frame())) return level;
        return -1;
    }
    NSInteger titleAt(NSPoint point) const
    {
        if (!NSPointInRect(point, m_bar->frame())) return -1;
        return m_view->indexOfTitleAtPoint(m_view->convertPointFromView(m_bar->convertScreenToBase(point), nullptr));
    }
    // Highlights the item at `level` and shows its submenu, if any, beside it.
    void highlight(size_t level, NSInteger index)
    {
        auto& w = m_windows[level];
        const bool same = w->menuView()->highlightedIndex() == index;
        w->menuView()->setHighlightedIndex(index);
        if (same && m_windows.size() > level + 1) return;
        closeFrom(level + 1);
        auto item = itemOf(w, index);
        if (!item || !item->hasSubmenu() || !item->isEnabled()) return;
        auto submenu = item->submenu();
        submenu->update();
        if (submenu->numberOfItems() == 0) return;
        push(NSObject::alloc<NSMenuWindow>()->initWithSubmenu(submenu, w, index));
    }
    // Right on a highlighted submenu holder enters it; otherwise the next title.
    void right()
    {
        if (!m_windows.empty()) {
            const size_t top = m_windows.size() - 1;
            auto item = itemOf(m_windows[top], m_windows[top]->menuView()->highlightedIndex());
            if (item && item->hasSubmenu() && item->isEnabled()) {
                highlight(top, m_windows[top]->menuView()->highlightedIndex());
                if (m_windows.size() > top + 1) {
                    auto& sub = m_windows.back();
                    sub->menuView()->setHighlightedIndex(sub->nextEnabledItem(1));
                }
                return;
            }
        }
        moveTitle(1);
    }
    void left()
    {
        if (m_windows.size() > 1) closeFrom(m_windows.size() - 1);
        else moveTitle(-1);
    }
    bool handleKey(const Ref<NSEvent>& event, NSMenuWindow::Choice& chosen);
};

NSMenuWindow::Choice BarTracker::run(NSInteger title)
{
    constexpr NSEventMask mask = NSLeftMouseDownMask | NSLeftMouseUpMask | NSRightMouseDownMask | NSRightMouseUpMask |
                                 NSMouseMovedMask | NSLeftMouseDraggedMask | NSRightMouseDraggedMask | NSKeyDownMask |
                                 NSOtherMouseDownMask;
    openTitle(title);
    m_bar->displayIfNeeded();
    // A release chooses only after a press inside the loop or a drag: the
    // release of the press that opened the menu leaves it open.
    bool armed = false;
    for (;;) {
        auto event = NSApp->nextEventMatchingMask(mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
        if (NSApp->hasTerminated()) return {};
        if (!event) continue;
        NSPoint point = event->locationInWindow();
        if (auto w = event->window()) point = w->convertBaseToScreen(point);
        const int level = levelAt(point);
        const NSInteger index = level < 0 ? -1 : m_windows[size_t(level)]->itemAtScreenPoint(point);
        const NSInteger overTitle = level < 0 ? titleAt(point) : -1;
        switch (event->type()) {
        case NSEventTypeMouseMoved:
        case NSEventTypeLeftMouseDragged:
        case NSEventTypeRightMouseDragged:
            if (event->type() != NSEventTypeMouseMoved) armed = true;
            if (level >= 0) highlight(size_t(level), index);
            else if (overTitle >= 0 && overTitle != m_title) openTitle(overTitle);
            else if (!m_windows.empty()) m_windows.back()->menuView()->setHighlightedIndex(-1);
            break;
        case NSEventTypeLeftMouseDown:
        case NSEventTypeRightMouseDown:
        case NSEventTypeOtherMouseDown:
            if (level >= 0) {
                armed = true;
                highlight(size_t(level), index);
                break;
            }
            // A press on the open title closes its menu, as does one outside.
            if (overTitle < 0 || overTitle == m_title) return {};
            openTitle(overTitle);
            break;
        case NSEventTypeLeftMouseUp:
        case NSEventTypeRightMouseUp:
            if (armed && level >= 0 && choosable(itemOf(m_windows[size_t(level)], index)))
                return {m_windows[size_t(level)]->menuView()->menu(), index};
            break;
        case NSEventTypeKeyDown: {
            NSMenuWindow::Choice chosen;
            if (!handleKey(event, chosen)) return chosen;
            break;
        }
        default: break;
        }
        m_bar->displayIfNeeded();
        for (auto& w : m_windows) w->displayIfNeeded();
    }
}

// Answers NO when tracking ends (with `chosen` set when an item was chosen).
bool BarTracker::handleKey(const Ref<NSEvent>& event, NSMenuWindow::Choice& chosen)
{
    switch (event->keyCode()) {
    case kVK_Escape:
    case kVK_F10: return false;
    case kVK_LeftArrow: left(); return true;
    case kVK_RightArrow: right(); return true;
    default: break;
    }
    if (m_windows.empty()) return true;
    auto& w = m_windows.back();
    const NSInteger lit = w->menuView()->highlightedIndex();
    switch (event->keyCode()) {
    case kVK_DownArrow: w->menuView()->setHighlightedIndex(w->nextEnabledItem(1)); break;
    case kVK_UpArrow: w->menuView()->setHighlightedIndex(w->nextEnabledItem(-1)); break;
    case kVK_Return:
    case kVK_ANSI_KeypadEnter:
    case kVK_Space: {
        auto item = itemOf(w, lit);
        if (choosable(item)) {
            chosen = {w->menuView()->menu(), lit};
            return false;
        }
        if (item && item->hasSubmenu()) right();
        break;
    }
    default: break;
    }
    return true;
}

}

Ref<NSMenuBarWindow> NSMenuBarWindow::shared()
{
    return sharedBar();
}

Ref<NSMenuBarWindow> NSMenuBarWindow::initWithFrame(const NSRect& frame)
{
    initWithContentRect(frame, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    setLevel(NSMainMenuWindowLevel);
    setRoleName("menubar");
    setReleasedWhenClosed(false);
    setHasShadow(false);
    m_barView = alloc<NSMenuBarView>();
    m_barView->initWithFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height));
    setContentView(m_barView);
    return Ref<NSMenuBarWindow>(this);
}

namespace {

// A screen change moves or resizes the main screen's top: the bar follows.
void observeScreenChanges()
{
    static bool observing = false;
    if (observing) return;
    observing = true;
    NSNotificationCenter::defaultCenter()->addObserverForName(
        NSString::stringWithUTF8String(NSApplicationDidChangeScreenParametersNotification), nullptr, nullptr,
        [](const Ref<NSNotification>&) { NSMenuBarWindow::synchronize(); });
}

}

void NSMenuBarWindow::synchronize()
{
    observeScreenChanges();
    auto menu = NSApp ? dynamic_ref_cast<NSMenu>(NSApp->mainMenu()) : nullptr;
    if (!menu || WindowServer::registeredBackends().empty() || !WindowServer::shared().wantsMenuBarWindow()) {
        removeBar();
        return;
    }
    auto screen = NSScreen::mainScreen();
    if (!screen) {
        removeBar();
        return;
    }
    const NSRect s = screen->frame();
    const NSRect frame = NSMakeRect(s.origin.x, NSMaxY(s) - NSMenuBarView::kHeight, s.size.width, NSMenuBarView::kHeight);
    auto& bar = sharedBar();
    if (!bar) bar = alloc<NSMenuBarWindow>()->initWithFrame(frame);
    else bar->setFrame(frame, false);
    bar->m_barView->setFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height));
    bar->m_barView->reloadTitles(menu, !WindowServer::shared().showDockIcon());
    bar->orderFront(nullptr);
    bar->display();
}

bool NSMenuBarWindow::handleKeyDown(const Ref<NSEvent>& event)
{
    constexpr NSUInteger modifiers = NSShiftKeyMask | NSControlKeyMask | NSAlternateKeyMask | NSCommandKeyMask;
    if (!event || event->type() != NSEventTypeKeyDown || event->keyCode() != kVK_F10) return false;
    if (event->modifierFlags() & modifiers) return false;
    auto bar = shared();
    if (!bar || !NSApp || !NSApp->keyWindow() || bar->m_barView->numberOfTitles() == 0) return false;
    bar->trackFromTitle(0);
    return true;
}

bool NSMenuBarWindow::popUpDockMenu(NSPoint screenPoint)
{
    auto menu = NSMenu::showDockMenu();
    if (!menu) return false;
    auto chosen = NSMenuWindow::trackMenu(menu, -1, screenPoint);
    return chosen.menu && chosen.menu->chooseItemAtIndex(chosen.index);
}

Ref<NSMenu> NSMenuBarWindow::menuForTitle(NSInteger index) const
{
    if (index < 0 || index >= m_barView->numberOfTitles()) return nullptr;
    const auto& entry = m_barView->entries()[size_t(index)];
    if (entry.isDockMenu) return NSMenu::showDockMenu();
    auto menu = entry.item->submenu();
    if (menu) menu->update();
    return menu;
}

bool NSMenuBarWindow::trackFromTitle(NSInteger index)
{
    if (!NSApp || index < 0 || index >= m_barView->numberOfTitles()) return false;
    Ref<NSMenuBarWindow> self(this);
    NSMenuWindow::Choice chosen;
    {
        BarTracker tracker(self);
        chosen = tracker.run(index);
    }
    return chosen.menu && chosen.menu->chooseItemAtIndex(chosen.index);
}
