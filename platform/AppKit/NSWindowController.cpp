#include "AppKit/NSWindowController.h"

#include "AppKit/NSNibLoading.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSLog.h"

NS_CLASS_DEFINE(NSWindowController)

void NSWindowController::describeClass(NSClassMembers<NSWindowController>& m)
{
    m.action("showWindow:", &NSWindowController::showWindow);
    // The interface-file loader connects the "window" outlet through this.
    m.property("window", &NSWindowController::loadedWindow, &NSWindowController::setWindow);
}

NSWindowController::~NSWindowController()
{
    if (m_window && m_window->windowController().get() == this) m_window->setWindowController(nullptr);
}

Ref<NSWindowController> NSWindowController::initWithWindow(const Ref<NSWindow>& window)
{
    setWindow(window);
    return this;
}

Ref<NSWindowController> NSWindowController::initWithWindowNibName(const Ref<NSString>& nibName)
{
    m_nibName = nibName;
    return this;
}

Ref<NSWindowController> NSWindowController::initWithWindowNibName(const Ref<NSString>& nibName, const Id& owner)
{
    m_nibName = nibName;
    m_owner = owner;
    m_ownerIsSelf = !owner || owner.get() == this;
    return this;
}

Id NSWindowController::owner() const
{
    return m_ownerIsSelf ? Id(const_cast<NSWindowController*>(this)) : m_owner.get();
}

Ref<NSWindow> NSWindowController::loadedWindow() const { return m_window; }

Ref<NSWindow> NSWindowController::window()
{
    if (!m_window && m_nibName && !m_loading) {
        m_loading = true;
        windowWillLoad();
        loadWindow();
        m_loading = false;
        if (m_window) windowDidLoad();
    }
    return m_window;
}

void NSWindowController::setWindow(const Ref<NSWindow>& window)
{
    if (window == m_window) return;
    if (m_window && m_window->windowController().get() == this) m_window->setWindowController(nullptr);
    m_window = window;
    if (!window) return;
    window->setWindowController(this);
    if (m_autosaveName) window->setFrameAutosaveName(m_autosaveName);
}

void NSWindowController::loadWindow()
{
    if (m_window || !m_nibName) return;
    if (!NSNibLoading::loadNibNamed(m_nibName, owner())) NSLog("Could not load the interface file %@", m_nibName);
}

void NSWindowController::showWindow(const Id& sender)
{
    auto w = window();
    if (!w) return;
    if (w->canBecomeKeyWindow()) w->makeKeyAndOrderFront(sender);
    else w->orderFront(sender);
}

void NSWindowController::close()
{
    if (m_window) m_window->close();
}

void NSWindowController::setWindowFrameAutosaveName(const Ref<NSString>& name)
{
    m_autosaveName = name;
    if (m_window) m_window->setFrameAutosaveName(name);
}
