// NSWindow's place on screen: ordering in and out, the key and main
// windows, closing.
#include "AppKit/NSWindow.h"

#include <algorithm>

#include "AppKit/NSApplication.h"
#include "AppKit/NSWindowInternals.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSNotificationCenter.h"

// --- Order and state ---

void NSWindow::orderFront(const Id&) { orderWindow(NSWindowAbove, 0); }

void NSWindow::orderBack(const Id&) { orderWindow(NSWindowBelow, 0); }

void NSWindow::orderWindow(NSWindowOrderingMode place, NSInteger relativeTo)
{
    if (place == NSWindowOut) {
        orderOut(nullptr);
        return;
    }
    ensureServerWindow();
    Ref<NSWindow> self(this);
    if (!m_visible) {
        std::lock_guard guard(WindowRegistry::shared().lock);
        WindowRegistry::shared().onScreen.push_back(self);
    }
    m_visible = true;
    if (relativeTo == 0 && place == NSWindowBelow) {
        // Behind every other window of the level.
        auto order = WindowServer::shared().windowOrder();
        WSWindowID last = 0;
        for (auto id : order) {
            auto info = WindowServer::shared().windowInfo(id);
            if (id != m_windowID && info && info->level == m_level) last = id;
        }
        WindowServer::shared().orderWindow(m_windowID, last ? -1 : 1, last);
    } else {
        WindowServer::shared().orderWindow(m_windowID, place == NSWindowBelow ? -1 : 1, relativeTo);
    }
    if (!m_displaying) displayIfNeeded();
}

void NSWindow::orderOut(const Id&)
{
    if (!m_visible) return;
    Ref<NSWindow> self(this);
    m_visible = false;
    WindowServer::shared().orderOut(m_windowID);
    {
        std::lock_guard guard(WindowRegistry::shared().lock);
        std::erase(WindowRegistry::shared().onScreen, self);
    }
    // The window may be held only by the screen list; let the caller finish.
    NSAutoreleasePool::keepAlive(self);
    if (isKeyWindow()) {
        resignKeyWindow();
        if (auto next = nextKeyWindowAfter(self)) next->makeKeyWindow();
    }
    if (isMainWindow()) resignMainWindow();
}

Ref<NSWindow> NSWindow::nextKeyWindowAfter(const Ref<NSWindow>& leaving)
{
    auto eligible = [&](const Ref<NSWindow>& w) {
        return w && w != leaving && w->isVisible() && w->canBecomeKeyWindow();
    };
    // The window the user had before (an alert's document), then the main
    // window, then the front-most window that takes the keyboard.
    std::vector<Weak<NSWindow>> previous;
    Ref<NSWindow> main;
    {
        std::lock_guard guard(WindowRegistry::shared().lock);
        previous = WindowRegistry::shared().previousKeys;
        main = WindowRegistry::shared().main.get();
    }
    for (auto it = previous.rbegin(); it != previous.rend(); ++it)
        if (auto w = it->get(); eligible(w)) return w;
    if (eligible(main)) return main;
    for (auto id : WindowServer::shared().windowOrder())
        if (auto w = windowWithNumber(id); eligible(w)) return w;
    return nullptr;
}

void NSWindow::makeKeyAndOrderFront(const Id& sender)
{
    orderFront(sender);
    makeKeyWindow();
    makeMainWindow();
}

void NSWindow::makeKeyWindow()
{
    if (!canBecomeKeyWindow() || isKeyWindow()) return;
    Ref<NSWindow> old = WindowRegistry::shared().key.get();
    if (old) old->resignKeyWindow();
    {
        std::lock_guard guard(WindowRegistry::shared().lock);
        auto& previous = WindowRegistry::shared().previousKeys;
        std::erase_if(previous,
                      [&](const Weak<NSWindow>& w) { return !w.get() || w.refersTo(this) || w.refersTo(old.get()); });
        if (old) previous.emplace_back(old);
        // Only the last few matter.
        constexpr size_t kRemembered = 8;
        if (previous.size() > kRemembered) previous.erase(previous.begin());
        WindowRegistry::shared().key = Weak<NSWindow>(this);
    }
    ensureServerWindow();
    WindowServer::shared().setKeyWindow(m_windowID);
    becomeKeyWindow();
}

void NSWindow::makeMainWindow()
{
    if (!canBecomeMainWindow() || isMainWindow()) return;
    Ref<NSWindow> old = WindowRegistry::shared().main.get();
    if (old) old->resignMainWindow();
    {
        std::lock_guard guard(WindowRegistry::shared().lock);
        WindowRegistry::shared().main = Weak<NSWindow>(this);
    }
    becomeMainWindow();
}

void NSWindow::becomeKeyWindow()
{
    if (auto initial = initialFirstResponder(); initial && firstResponder().get() == this) makeFirstResponder(initial);
    if (auto first = firstResponder(); first && first.get() != this) first->becomeFirstResponder();
    postWindowNotification(NSWindowDidBecomeKeyNotification);
}

void NSWindow::resignKeyWindow()
{
    {
        std::lock_guard guard(WindowRegistry::shared().lock);
        if (WindowRegistry::shared().key.refersTo(this)) WindowRegistry::shared().key = nullptr;
    }
    if (WindowServer::shared().keyWindow() == m_windowID) WindowServer::shared().setKeyWindow(0);
    postWindowNotification(NSWindowDidResignKeyNotification);
}

void NSWindow::becomeMainWindow() { postWindowNotification(NSWindowDidBecomeMainNotification); }

void NSWindow::resignMainWindow()
{
    {
        std::lock_guard guard(WindowRegistry::shared().lock);
        if (WindowRegistry::shared().main.refersTo(this)) WindowRegistry::shared().main = nullptr;
    }
    postWindowNotification(NSWindowDidResignMainNotification);
}

bool NSWindow::isKeyWindow() const
{
    std::lock_guard guard(WindowRegistry::shared().lock);
    return WindowRegistry::shared().key.refersTo(this);
}

bool NSWindow::isMainWindow() const
{
    std::lock_guard guard(WindowRegistry::shared().lock);
    return WindowRegistry::shared().main.refersTo(this);
}

bool NSWindow::canBecomeKeyWindow() const { return m_styleMask & (NSTitledWindowMask | NSResizableWindowMask); }

bool NSWindow::canBecomeMainWindow() const
{
    return isVisible() && (m_styleMask & (NSTitledWindowMask | NSResizableWindowMask));
}

void NSWindow::close()
{
    Ref<NSWindow> self(this);
    NSAutoreleasePool::keepAlive(self);
    postWindowNotification(NSWindowWillCloseNotification);
    orderOut(nullptr);
}

void NSWindow::performClose(const Id& sender)
{
    if (!(m_styleMask & NSClosableWindowMask)) {
        NSBeep();
        return;
    }
    if (auto d = delegateProtocol()) {
        if (auto answer = d->windowShouldClose(Ref<NSWindow>(this)); answer && !*answer) return;
    }
    (void)sender;
    close();
}
