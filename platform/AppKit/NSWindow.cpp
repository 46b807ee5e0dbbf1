#include "AppKit/NSWindow.h"

#include <algorithm>
#include <cmath>

#include "AppKit/FrameView.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSWindowController.h"
#include "AppKit/NSWindowInternals.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSTimer.h"

NS_CLASS_DEFINE(NSWindow)

namespace {

void installDisplayObserver()
{
    auto& r = WindowRegistry::shared();
    {
        std::lock_guard guard(r.lock);
        if (r.observerInstalled) return;
        r.observerInstalled = true;
    }
    NSRunLoop::mainRunLoop()->addObserver({NSRunLoopCommonModes}, [] { NSWindow::displayAllWindowsIfNeeded(); });
}

}

WindowRegistry& WindowRegistry::shared()
{
    static auto* r = new WindowRegistry;
    return *r;
}

NSRect clampWindowSize(NSRect frame)
{
    frame.size.width = std::max<CGFloat>(1, std::isfinite(frame.size.width) ? frame.size.width : 1);
    frame.size.height = std::max<CGFloat>(1, std::isfinite(frame.size.height) ? frame.size.height : 1);
    return frame;
}

void NSWindow::describeClass(NSClassMembers<NSWindow>& m)
{
    m.action("orderFront:", &NSWindow::orderFront);
    m.action("orderOut:", &NSWindow::orderOut);
    m.action("makeKeyAndOrderFront:", &NSWindow::makeKeyAndOrderFront);
    m.action("performClose:", &NSWindow::performClose);
    m.action("selectNextKeyView:", &NSWindow::selectNextKeyView);
    m.action("selectPreviousKeyView:", &NSWindow::selectPreviousKeyView);
    m.property("title", &NSWindow::title, &NSWindow::setTitle);
    m.property("alphaValue", &NSWindow::alphaValue, &NSWindow::setAlphaValue);
    // Outlets an interface file connects.
    m.property("delegate", &NSWindow::delegate, &NSWindow::setDelegate);
    m.property("contentView", &NSWindow::contentView, &NSWindow::setContentView);
    m.property("initialFirstResponder", &NSWindow::initialFirstResponder, &NSWindow::setInitialFirstResponder);
}

NSWindow::NSWindow() = default;

NSWindow::~NSWindow()
{
    stopFrameAnimation();
    if (m_windowID) {
        {
            std::lock_guard guard(WindowRegistry::shared().lock);
            WindowRegistry::shared().byNumber.erase(m_windowID);
        }
        WindowServer::shared().destroyWindow(m_windowID);
    }
}

Id NSWindow::init()
{
    return initWithContentRect(NSMakeRect(0, 0, 100, 100), NSTitledWindowMask, NSBackingStoreBuffered, false);
}

Ref<NSWindow> NSWindow::initWithContentRect(const NSRect& contentRect, NSUInteger styleMask, NSBackingStoreType, bool)
{
    m_styleMask = styleMask;
    m_frame = clampWindowSize(frameRectForContentRect(contentRect, styleMask));
    m_backgroundColor = NSColor::windowBackgroundColor();
    m_title = NSString::string();
    m_frameView = alloc<FrameView>()->initWithFrame(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height));
    m_frameView->m_window = this;
    m_frameView->setNextResponder(this);
    ensureServerWindow();
    auto content = alloc<NSView>()->initWithFrame(
        contentRectForFrameRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height), styleMask));
    setContentView(content);
    m_firstResponder = Ref<NSResponder>(this);
    m_dirty = {NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height)};
    windowDidInit();
    return this;
}

void NSWindow::ensureServerWindow()
{
    if (m_windowID) return;
    installDisplayObserver();
    m_windowID = WindowServer::shared().createWindow(m_frame, m_level, m_opaque);
    std::lock_guard guard(WindowRegistry::shared().lock);
    WindowRegistry::shared().byNumber[m_windowID] = Weak<NSWindow>(this);
}

Ref<NSWindow> NSWindow::windowWithNumber(NSInteger windowNumber)
{
    std::lock_guard guard(WindowRegistry::shared().lock);
    auto it = WindowRegistry::shared().byNumber.find(windowNumber);
    return it == WindowRegistry::shared().byNumber.end() ? nullptr : it->second.get();
}

std::vector<Ref<NSWindow>> NSWindow::allWindows()
{
    std::vector<Ref<NSWindow>> list;
    std::lock_guard guard(WindowRegistry::shared().lock);
    for (auto& [n, w] : WindowRegistry::shared().byNumber)
        if (auto window = w.get()) list.push_back(window);
    return list;
}

void NSWindow::setStyleMask(NSUInteger mask)
{
    if (mask == m_styleMask) return;
    const NSRect content = contentRectForFrameRect(m_frame);
    m_styleMask = mask;
    if (m_contentView)
        m_contentView->setFrame(contentRectForFrameRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height)));
    (void)content;
    setViewsNeedDisplay(true);
}

// --- Appearance ---

void NSWindow::setLevel(NSInteger level)
{
    m_level = level;
    if (m_windowID) WindowServer::shared().setLevel(m_windowID, level);
}

void NSWindow::setOpaque(bool opaque)
{
    if (opaque == m_opaque) return;
    m_opaque = opaque;
    if (m_windowID) WindowServer::shared().setOpaque(m_windowID, opaque);
    setViewsNeedDisplay(true);
}

void NSWindow::setBackgroundColor(const Ref<NSColor>& color)
{
    m_backgroundColor = color;
    setViewsNeedDisplay(true);
}

void NSWindow::setAlphaValue(CGFloat alpha)
{
    alpha = std::clamp<CGFloat>(alpha, 0, 1);
    if (alpha == m_alpha) return;
    m_alpha = alpha;
    if (m_windowID) WindowServer::shared().setAlpha(m_windowID, alpha);
}

void NSWindow::setIgnoresMouseEvents(bool ignores)
{
    m_ignoresMouse = ignores;
    if (m_windowID) WindowServer::shared().setIgnoresMouse(m_windowID, ignores);
}

void NSWindow::setHasShadow(bool shadow)
{
    m_hasShadow = shadow;
    if (m_windowID) WindowServer::shared().setHasShadow(m_windowID, shadow);
}

void NSWindow::setTitle(const Ref<NSString>& title)
{
    m_title = title ? title : NSString::string();
    if (m_windowID) WindowServer::shared().setTitle(m_windowID, m_title->UTF8String());
    if (m_styleMask & NSTitledWindowMask) setViewsNeedDisplay(true);
}

void NSWindow::setRoleName(const std::string& role, WSWindowType type)
{
    m_role = role;
    m_windowType = type;
    if (m_windowID) WindowServer::shared().setRole(m_windowID, role, type);
}

// --- Content ---

void NSWindow::setContentView(const Ref<NSView>& view)
{
    if (view == m_contentView) return;
    if (m_contentView) m_contentView->removeFromSuperviewWithoutNeedingDisplay();
    m_contentView = view;
    if (!view) return;
    view->setFrame(contentRectForFrameRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height)));
    view->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    m_frameView->addSubview(view);
}

// --- Responders ---

bool NSWindow::makeFirstResponder(const Ref<NSResponder>& responder)
{
    Ref<NSResponder> current = firstResponder();
    Ref<NSResponder> target = responder ? responder : Ref<NSResponder>(this);
    if (current == target) return true;
    if (current && current.get() != this && !current->resignFirstResponder()) return false;
    if (target.get() != this && (!target->acceptsFirstResponder() || !target->becomeFirstResponder())) {
        m_firstResponder = Ref<NSResponder>(this);
        return false;
    }
    m_firstResponder = target;
    return true;
}

Ref<NSResponder> NSWindow::fieldEditor(bool createFlag, const Id&)
{
    // Text fields are edited through a text view in field-editor mode.
    if (!m_fieldEditor && createFlag) {
        auto editor = NSObject::alloc<NSTextView>();
        editor->initWithFrame(NSZeroRect);
        editor->setFieldEditor(true);
        m_fieldEditor = editor;
    }
    return m_fieldEditor;
}

void NSWindow::endEditingFor(const Id&)
{
    if (m_fieldEditor && firstResponder() == m_fieldEditor) m_firstResponder = Ref<NSResponder>(this);
}

Ref<NSWindowController> NSWindow::windowController() const { return m_windowController.get(); }

void NSWindow::setWindowController(const Ref<NSWindowController>& controller) { m_windowController = controller; }

NSWindowDelegate* NSWindow::delegateProtocol() const { return dynamic_cast<NSWindowDelegate*>(m_delegate.get().get()); }

void NSWindow::postWindowNotification(const char* name)
{
    auto note = NSNotification::notificationWithName(NSString::stringWithUTF8String(name), Ref<NSWindow>(this));
    auto holder = m_delegate.get();
    if (auto d = dynamic_cast<NSWindowDelegate*>(holder.get())) {
        const std::string n = name;
        if (n == NSWindowWillCloseNotification) d->windowWillClose(note);
        else if (n == NSWindowDidMoveNotification) d->windowDidMove(note);
        else if (n == NSWindowDidResizeNotification) d->windowDidResize(note);
        else if (n == NSWindowDidBecomeKeyNotification) d->windowDidBecomeKey(note);
        else if (n == NSWindowDidResignKeyNotification) d->windowDidResignKey(note);
        else if (n == NSWindowDidBecomeMainNotification) d->windowDidBecomeMain(note);
        else if (n == NSWindowDidResignMainNotification) d->windowDidResignMain(note);
    }
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

bool NSWindow::tryToPerform(const SEL& action, const Id& object)
{
    return NSResponder::tryToPerform(action, object, delegate());
}

void NSWindow::displayAllWindowsIfNeeded()
{
    std::vector<Ref<NSWindow>> windows;
    {
        std::lock_guard guard(WindowRegistry::shared().lock);
        windows = WindowRegistry::shared().onScreen;
    }
    for (auto& w : windows)
        if (w->isVisible()) w->displayIfNeeded();
}
