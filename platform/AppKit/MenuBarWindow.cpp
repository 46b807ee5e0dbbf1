#include "AppKit/MenuBarWindow.h"

#include "AppKit/NSImage.h"

#include "AppKit/MenuWindowStack.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSScreen.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "WindowServer/USKeyboardLayout.h"
#include "WindowServer/WindowServer.h"

NS_CLASS_DEFINE(MenuBarWindow)

namespace {

Ref<MenuBarWindow>& sharedBar()
{
    static auto* bar = new Ref<MenuBarWindow>;
    return *bar;
}

void removeBar()
{
    auto& bar = sharedBar();
    if (!bar) return;
    bar->orderOut(nullptr);
    bar = nullptr;
}

// The bar's tracking loop: the open title and its cascade of menu windows;
// keys work on the innermost menu.
class BarTracker {
public:
    explicit BarTracker(Ref<MenuBarWindow> bar)
        : m_bar(std::move(bar))
        , m_view(m_bar->menuBarView())
    {
        WindowServer::shared().beginMenuTracking(m_bar->windowNumber());
    }
    ~BarTracker()
    {
        WindowServer::shared().endMenuTracking();
        m_stack.closeFrom(0);
        m_view->setHighlightedIndex(-1);
        m_bar->displayIfNeeded();
    }

    MenuWindow::Choice run(NSInteger title);

private:
    Ref<MenuBarWindow> m_bar;
    Ref<MenuBarView> m_view;
    NSInteger m_title = -1;
    MenuWindowStack m_stack;

    void openTitle(NSInteger index)
    {
        m_stack.closeFrom(0);
        m_title = index;
        m_view->setHighlightedIndex(index);
        auto menu = m_bar->menuForTitle(index);
        if (!menu || menu->numberOfItems() == 0) return;
        const NSRect title =
            m_bar->convertRectToScreen(m_view->convertRectToView(m_view->rectOfTitleAtIndex(index), nullptr));
        m_stack.push(NSObject::alloc<MenuWindow>()->initWithMenuBelowTitle(menu, title));
    }
    void moveTitle(int direction)
    {
        const NSInteger n = m_view->numberOfTitles();
        if (n > 0) openTitle(((m_title + direction) % n + n) % n);
    }
    NSInteger titleAt(NSPoint point) const
    {
        if (!NSPointInRect(point, m_bar->frame())) return -1;
        return m_view->indexOfTitleAtPoint(m_view->convertPointFromView(m_bar->convertScreenToBase(point), nullptr));
    }
    // Right on a highlighted submenu holder enters it; otherwise the next title.
    void right()
    {
        if (!m_stack.enterSubmenu()) moveTitle(1);
    }
    void left()
    {
        if (m_stack.size() > 1) m_stack.closeFrom(m_stack.size() - 1);
        else moveTitle(-1);
    }
    bool handleKey(const Ref<NSEvent>& event, MenuWindow::Choice& chosen);
};

MenuWindow::Choice BarTracker::run(NSInteger title)
{
    openTitle(title);
    m_bar->displayIfNeeded();
    // A release chooses only after a press inside the loop or a drag: the
    // release of the press that opened the menu leaves it open.
    bool armed = false;
    for (;;) {
        auto event = MenuWindowStack::nextTrackingEvent();
        if (!event) return {};
        const NSPoint point = MenuWindowStack::screenLocation(event);
        const auto [level, index] = m_stack.hitTest(point);
        const NSInteger overTitle = level < 0 ? titleAt(point) : -1;
        switch (event->type()) {
        case NSEventTypeMouseMoved:
        case NSEventTypeLeftMouseDragged:
        case NSEventTypeRightMouseDragged:
            if (event->type() != NSEventTypeMouseMoved) armed = true;
            if (level >= 0) m_stack.highlight(size_t(level), index);
            else if (overTitle >= 0 && overTitle != m_title) openTitle(overTitle);
            else if (!m_stack.empty()) m_stack.innermost()->menuView()->setHighlightedIndex(-1);
            break;
        case NSEventTypeLeftMouseDown:
        case NSEventTypeRightMouseDown:
        case NSEventTypeOtherMouseDown:
            if (level >= 0) {
                armed = true;
                m_stack.highlight(size_t(level), index);
                break;
            }
            // A press on the open title closes its menu, as does one outside.
            if (overTitle < 0 || overTitle == m_title) return {};
            openTitle(overTitle);
            break;
        case NSEventTypeLeftMouseUp:
        case NSEventTypeRightMouseUp:
            if (armed && level >= 0 && MenuWindowStack::isChoosable(m_stack.itemAt(size_t(level), index)))
                return m_stack.choice(size_t(level), index);
            break;
        case NSEventTypeKeyDown: {
            MenuWindow::Choice chosen;
            if (!handleKey(event, chosen)) return chosen;
            break;
        }
        default: break;
        }
        m_bar->displayIfNeeded();
        m_stack.displayIfNeeded();
    }
}

// Answers NO when tracking ends (with `chosen` set when an item was chosen).
bool BarTracker::handleKey(const Ref<NSEvent>& event, MenuWindow::Choice& chosen)
{
    switch (event->keyCode()) {
    case kVK_Escape:
    case kVK_F10: return false;
    case kVK_LeftArrow: left(); return true;
    case kVK_RightArrow: right(); return true;
    default: break;
    }
    if (m_stack.empty()) return true;
    const size_t top = m_stack.size() - 1;
    const NSInteger lit = m_stack.innermost()->menuView()->highlightedIndex();
    switch (event->keyCode()) {
    case kVK_DownArrow: m_stack.moveHighlight(1); break;
    case kVK_UpArrow: m_stack.moveHighlight(-1); break;
    case kVK_Return:
    case kVK_ANSI_KeypadEnter:
    case kVK_Space: {
        auto item = m_stack.itemAt(top, lit);
        if (MenuWindowStack::isChoosable(item)) {
            chosen = m_stack.choice(top, lit);
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

Ref<MenuBarWindow> MenuBarWindow::shared() { return sharedBar(); }

Ref<MenuBarWindow> MenuBarWindow::initWithFrame(const NSRect& frame)
{
    initWithContentRect(frame, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    setLevel(NSMainMenuWindowLevel);
    setRoleName("menubar", WSWindowType::dock);
    setReleasedWhenClosed(false);
    setHasShadow(false);
    m_barView = alloc<MenuBarView>();
    m_barView->initWithFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height));
    setContentView(m_barView);
    return Ref<MenuBarWindow>(this);
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
        [](const Ref<NSNotification>&) { MenuBarWindow::synchronize(); });
}

}

namespace {

// The application's icon for the status icon, at a size that scales down
// well to a tray's.
Ref<CGImage> dockIconPicture()
{
    auto icon = NSApp ? NSApp->applicationIconImage() : nullptr;
    NSRect size = NSMakeRect(0, 0, 64, 64);
    return icon ? icon->CGImageForProposedRect(&size, nullptr, nullptr) : nullptr;
}

}

void MenuBarWindow::synchronize()
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
    const NSRect frame = NSMakeRect(s.origin.x, NSMaxY(s) - MenuBarView::kHeight, s.size.width, MenuBarView::kHeight);
    auto& bar = sharedBar();
    if (!bar) bar = alloc<MenuBarWindow>()->initWithFrame(frame);
    else bar->setFrame(frame, false);
    bar->m_barView->setFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height));
    // A regular application docks its icon (the dock menu is the bar's last
    // menu where it cannot); an accessory has neither.
    auto& server = WindowServer::shared();
    bool dockMenuInBar = false;
    if (server.activationPolicy() == WSActivationPolicy::regular) {
        dockMenuInBar = !server.showDockIcon(dockIconPicture());
    } else {
        server.removeDockIcon();
    }
    bar->m_barView->reloadTitles(menu, dockMenuInBar);
    bar->orderFront(nullptr);
    bar->display();
}

bool MenuBarWindow::handleKeyDown(const Ref<NSEvent>& event)
{
    constexpr NSUInteger modifiers = NSShiftKeyMask | NSControlKeyMask | NSAlternateKeyMask | NSCommandKeyMask;
    if (!event || event->type() != NSEventTypeKeyDown || event->keyCode() != kVK_F10) return false;
    if (event->modifierFlags() & modifiers) return false;
    auto bar = shared();
    if (!bar || !NSApp || !NSApp->keyWindow() || bar->m_barView->numberOfTitles() == 0) return false;
    bar->trackFromTitle(0);
    return true;
}

bool MenuBarWindow::popUpDockMenu(NSPoint screenPoint)
{
    auto menu = NSMenu::showDockMenu();
    if (!menu) return false;
    auto chosen = MenuWindow::trackMenu(menu, -1, screenPoint);
    return chosen.menu && chosen.menu->chooseItemAtIndex(chosen.index);
}

Ref<NSMenu> MenuBarWindow::menuForTitle(NSInteger index) const
{
    if (index < 0 || index >= m_barView->numberOfTitles()) return nullptr;
    const auto& entry = m_barView->entries()[size_t(index)];
    if (entry.isDockMenu) return NSMenu::showDockMenu();
    auto menu = entry.item->submenu();
    if (menu) menu->update();
    return menu;
}

bool MenuBarWindow::trackFromTitle(NSInteger index)
{
    if (!NSApp || index < 0 || index >= m_barView->numberOfTitles()) return false;
    Ref<MenuBarWindow> self(this);
    MenuWindow::Choice chosen;
    {
        BarTracker tracker(self);
        chosen = tracker.run(index);
    }
    return chosen.menu && chosen.menu->chooseItemAtIndex(chosen.index);
}
