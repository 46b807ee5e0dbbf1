#include "AppKit/NSApplication.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "AppKit/AppKitPrivate.h"
#include "AppKit/MenuBarWindow.h"
#include "AppKit/NSControlTint.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSNibLoading.h"
#include "AppKit/NSWindow.h"
#include "AppKit/NSWindowController.h"
#include "Foundation/Clock.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSProcessInfo.h"
#include "Foundation/NSUserDefaults.h"
#include "Foundation/SignalSource.h"
#include "WindowServer/WindowServer.h"

NS_CLASS_DEFINE(NSApplication)

NSApplication* NSApp = nullptr;

struct ModalSessionRecord {
    Ref<NSWindow> window;
    NSModalResponse code = NSModalResponseContinue;
};

namespace {

// The event queue and what the harness reads about the loop's state. Any
// thread may post; only the main thread takes.
struct EventQueue {
    std::mutex lock;
    std::deque<Ref<NSEvent>> events;
    uint64_t workGeneration = 0;
    // Work announced by other threads that has not started yet.
    uint64_t unstartedWork = 0;
    // Set while the event loop waits with nothing to do.
    bool waiting = false;
    uint64_t waitGeneration = 0;
    NSEventMask waitMask = 0;
    std::string waitMode;
    std::atomic<uint64_t> interrupts{0};
};

EventQueue& queue()
{
    static auto* q = new EventQueue;
    return *q;
}

bool matches(const NSEvent& e, NSEventMask mask) { return mask & NSEventMaskFromType(e.type()); }

bool g_exitsOnTerminate = true;

NSApplication::MenuKeyEquivalentHandler& menuHandler()
{
    static auto* h = new NSApplication::MenuKeyEquivalentHandler;
    return *h;
}

Ref<NSApplication>& sharedHolder()
{
    static auto* holder = new Ref<NSApplication>;
    return *holder;
}

}

void NSApplication::describeClass(NSClassMembers<NSApplication>& m)
{
    m.action("terminate:", &NSApplication::terminate);
    m.action("stop:", &NSApplication::stop);
    m.action("hide:", &NSApplication::hide);
    m.action("orderFrontStandardAboutPanel:", &NSApplication::orderFrontStandardAboutPanel);
    // Outlets an interface file connects.
    m.property("delegate", &NSApplication::delegate, &NSApplication::setDelegate);
    m.property("mainMenu", &NSApplication::mainMenu, &NSApplication::setMainMenu);
}

NSApplication::NSApplication() = default;
NSApplication::~NSApplication() = default;

Ref<NSImage> NSApplication::applicationIconImage() const { return m_applicationIconImage; }

void NSApplication::setApplicationIconImage(const Ref<NSImage>& image)
{
    m_applicationIconImage = image;
    // A status icon already up shows the new picture.
    if (MenuBarWindow::shared()) MenuBarWindow::synchronize();
}

Ref<NSApplication> NSApplication::sharedApplication()
{
    if (NSApp) return NSApp;
    Ref<NSApplication> app;
    auto principal =
        dynamic_ref_cast<NSString>(NSBundle::mainBundle()->objectForInfoDictionaryKey("NSPrincipalClass"_ns));
    if (principal) {
        const NSClass* cls = NSClassFromString(principal);
        if (cls && cls->isSubclassOf(NSApplication::classRecord()))
            app = dynamic_ref_cast<NSApplication>(cls->newInstance());
    }
    if (!app) app = make<NSApplication>();
    sharedHolder() = app;
    NSColorFollowControlTint();
    NSApp = app.get();
    return app;
}

Id NSApplication::init()
{
    // Defaults changed during a turn reach the file at its end.
    NSRunLoop::mainRunLoop()->addObserver(
        {NSRunLoopCommonModes}, [] { NSUserDefaults::synchronizeAllIfChanged(); }, 1000);
    return this;
}

NSApplicationDelegate* NSApplication::delegateProtocol() const
{
    return dynamic_cast<NSApplicationDelegate*>(m_delegate.get().get());
}

// --- Launch, run, terminate ---

void NSApplication::finishLaunching()
{
    if (m_launched) return;
    m_launched = true;
    Ref<NSApplication> self(this);
    Id holder = m_delegate.get();
    auto will = NSNotification::notificationWithName(
        NSString::stringWithUTF8String(NSApplicationWillFinishLaunchingNotification), self);
    if (auto d = delegateProtocol()) d->applicationWillFinishLaunching(will);
    NSNotificationCenter::defaultCenter()->postNotification(will);
    MenuBarWindow::synchronize();
    auto did = NSNotification::notificationWithName(
        NSString::stringWithUTF8String(NSApplicationDidFinishLaunchingNotification), self);
    if (auto d = delegateProtocol()) d->applicationDidFinishLaunching(did);
    NSNotificationCenter::defaultCenter()->postNotification(did);
}

void NSApplication::run()
{
    Ref<NSApplication> self(this);
    finishLaunching();
    m_running = true;
    m_stopRequested = false;
    while (!m_stopRequested && !m_terminated) {
        NSAutoreleasePool pool;
        auto event = nextEventMatchingMask(NSAnyEventMask, NSDate::distantFuture(), NSDefaultRunLoopMode, true);
        if (event) dispatch(event);
    }
    m_running = false;
}

void NSApplication::dispatch(const Ref<NSEvent>& event)
{
    Ref<NSEvent> previous = m_currentEvent;
    m_currentEvent = event;
    EventNoteDispatched(*event);
    try {
        sendEvent(event);
    } catch (const NSException& e) {
        // As on the platform, an exception in an event handler is logged and
        // the loop goes on.
        NSLog("Exception while handling an event: %@: %@", e.name(), e.reason());
    }
    m_currentEvent = previous;
}

void NSApplication::stop(const Id&)
{
    m_stopRequested = true;
    interruptWaits();
}

void NSApplication::interruptWaits()
{
    queue().interrupts.fetch_add(1);
    NSRunLoop::mainRunLoop()->wakeUp();
}

void NSApplication::setExitsOnTerminate(bool exits) { g_exitsOnTerminate = exits; }

void NSApplication::terminate(const Id&)
{
    if (m_terminating || m_terminated) return;
    Ref<NSApplication> self(this);
    Id holder = m_delegate.get();
    if (auto d = delegateProtocol()) {
        auto reply = d->applicationShouldTerminate(self);
        if (reply && *reply == NSTerminateCancel) return;
        if (reply && *reply == NSTerminateLater) return;
    }
    finishTermination();
}

void NSApplication::replyToApplicationShouldTerminate(bool shouldTerminate)
{
    if (shouldTerminate && !m_terminated) finishTermination();
}

void NSApplication::finishTermination()
{
    m_terminating = true;
    Ref<NSApplication> self(this);
    Id holder = m_delegate.get();
    auto note = NSNotification::notificationWithName(
        NSString::stringWithUTF8String(NSApplicationWillTerminateNotification), self);
    if (auto d = delegateProtocol()) d->applicationWillTerminate(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
    NSUserDefaults::synchronizeAllIfChanged();
    if (g_exitsOnTerminate) std::exit(0);
    m_terminated = true;
    m_stopRequested = true;
    for (auto* session : m_modalSessions) session->code = NSModalResponseAbort;
    interruptWaits();
}

// --- Events ---

void NSApplication::postEvent(const Ref<NSEvent>& event, bool atStart)
{
    if (!event) return;
    {
        auto& q = queue();
        std::lock_guard guard(q.lock);
        if (atStart) q.events.push_front(event);
        else q.events.push_back(event);
        ++q.workGeneration;
    }
    NSRunLoop::mainRunLoop()->wakeUp();
}

// A bare "new work since the loop last looked" is not enough: the loop may
// look after the announcement but before the work is queued, go back to
// waiting, and seem idle while the work sits in its queue. So announced work
// counts until it starts, and its start is new work again, so that the loop
// is not idle before it has come round once more after it.
void NSApplication::noteExternalWork()
{
    auto& q = queue();
    std::lock_guard guard(q.lock);
    ++q.unstartedWork;
    ++q.workGeneration;
}

void NSApplication::externalWorkStarted()
{
    auto& q = queue();
    std::lock_guard guard(q.lock);
    if (q.unstartedWork > 0) --q.unstartedWork;
    ++q.workGeneration;
}

void NSApplication::postExternalWork(std::function<void()> work)
{
    noteExternalWork();
    NSRunLoop::mainRunLoop()->performBlock({NSRunLoopCommonModes}, [work = std::move(work)] {
        externalWorkStarted();
        if (work) work();
    });
}

bool NSApplication::isIdle(std::string* pending)
{
    auto& q = queue();
    std::ostringstream out;
    bool idle;
    {
        std::lock_guard guard(q.lock);
        bool queuedForLoop = false;
        for (const auto& e : q.events) queuedForLoop |= matches(*e, q.waitMask);
        idle = q.waiting && q.waitGeneration == q.workGeneration && !queuedForLoop && q.unstartedWork == 0;
        if (!idle && pending) {
            out << (q.waiting ? "event loop waiting in " + q.waitMode : std::string("event loop busy"));
            if (q.waiting && q.waitGeneration != q.workGeneration) out << " (new work not yet taken)";
            if (q.unstartedWork > 0) out << "; " << q.unstartedWork << " announced call(s) not yet started";
            out << "; " << q.events.size() << " queued event(s)";
            for (const auto& e : q.events) out << " type " << e->type();
        }
    }
    if (!idle && pending) {
        out << "; run loop: " << NSRunLoop::mainRunLoop()->describePending();
        *pending = out.str();
    }
    return idle;
}

Ref<NSEvent> NSApplication::nextEventMatchingMask(NSEventMask mask, const Ref<NSDate>& expiration,
                                                  const NSRunLoopMode& mode, bool dequeue)
{
    auto& q = queue();
    auto take = [&]() -> Ref<NSEvent> {
        std::lock_guard guard(q.lock);
        for (auto it = q.events.begin(); it != q.events.end(); ++it) {
            if (!matches(**it, mask)) continue;
            Ref<NSEvent> e = *it;
            if (dequeue) q.events.erase(it);
            return e;
        }
        return nullptr;
    };
    const NSTimeInterval limit =
        expiration ? expiration->timeIntervalSinceReferenceDate() : -std::numeric_limits<NSTimeInterval>::infinity();
    const uint64_t interrupts = q.interrupts.load();
    auto loop = NSRunLoop::currentRunLoop();
    for (;;) {
        if (auto e = take()) return e;
        if (m_terminated) return nullptr;
        uint64_t generation;
        {
            std::lock_guard guard(q.lock);
            generation = q.workGeneration;
        }
        loop->runUntilIdle(mode);
        if (auto e = take()) return e;
        if (q.interrupts.load() != interrupts || m_terminated) return nullptr;
        if (Clock::now() >= limit) return nullptr;
        {
            std::lock_guard guard(q.lock);
            q.waiting = true;
            q.waitGeneration = generation;
            q.waitMask = mask;
            q.waitMode = mode;
        }
        loop->runModeBeforeDate(mode, expiration);
        {
            std::lock_guard guard(q.lock);
            q.waiting = false;
        }
    }
}

void NSApplication::discardEventsMatchingMask(NSEventMask mask, const Ref<NSEvent>& beforeEvent)
{
    auto& q = queue();
    std::lock_guard guard(q.lock);
    for (auto it = q.events.begin(); it != q.events.end();) {
        if (beforeEvent && *it == beforeEvent) break;
        if (matches(**it, mask)) it = q.events.erase(it);
        else ++it;
    }
}

void NSApplication::sendEvent(const Ref<NSEvent>& event)
{
    if (!event) return;
    if (!eventAllowedInModal(event)) {
        if (event->type() == NSEventTypeLeftMouseDown || event->type() == NSKeyDown) beep();
        return;
    }
    switch (event->type()) {
    case NSEventTypeKeyDown: sendKeyEvent(event); return;
    case NSEventTypeKeyUp:
    case NSEventTypeFlagsChanged:
        if (auto w = keyWindow()) w->sendEvent(event);
        return;
    default:
        if (auto w = event->window()) w->sendEvent(event);
        return;
    }
}

void NSApplication::sendKeyEvent(const Ref<NSEvent>& event)
{
    auto w = keyWindow();
    if (w && w->frameView()->performKeyEquivalent(event)) return;
    // F10 opens the menu bar once the views have declined it (a shortcut
    // recorder may take it).
    if (MenuBarWindow::handleKeyDown(event)) return;
    if (m_mainMenu && menuHandler() && menuHandler()(m_mainMenu, event)) return;
    // The program has no Edit menu: the editing shortcuts go to the first
    // responder's chain; a key nobody takes goes on as a key.
    SEL edit = NSResponder::editingKeyAction(event->keyCode(), event->modifierFlags());
    if (!edit.empty() && w && sendAction(edit, nullptr, nullptr)) return;
    if (w) w->sendEvent(event);
}

bool NSApplication::eventAllowedInModal(const Ref<NSEvent>& event) const
{
    if (m_modalSessions.empty()) return true;
    if (!event->isMouseEvent() && !event->isKeyEvent() && event->type() != NSFlagsChanged) return true;
    auto modal = m_modalSessions.back()->window;
    auto w = event->isMouseEvent() ? event->window() : keyWindow();
    if (!w) return !event->isKeyEvent();
    return w == modal || w->worksWhenModal() || w->level() >= NSPopUpMenuWindowLevel;
}

void NSApplication::setMainMenu(const Id& menu)
{
    m_mainMenu = menu;
    MenuBarWindow::synchronize();
}

void NSApplication::setMenuKeyEquivalentHandler(MenuKeyEquivalentHandler handler)
{
    menuHandler() = std::move(handler);
}

NSApplication::MenuKeyEquivalentHandler NSApplication::menuKeyEquivalentHandler() { return menuHandler(); }

// --- Actions ---

namespace {

// The window's part of the chain: its responders up to the window, the
// window, its delegate and its controller.
Id findInWindow(const Ref<NSWindow>& w, const SEL& action)
{
    if (!w) return nullptr;
    for (auto r = w->firstResponder(); r && r != w; r = r->nextResponder())
        if (r->respondsToSelector(action)) return r;
    if (w->respondsToSelector(action)) return w;
    if (auto d = w->delegate(); d && d->respondsToSelector(action)) return d;
    if (auto c = w->windowController(); c && c->respondsToSelector(action)) return c;
    return nullptr;
}

}

Id NSApplication::targetForAction(const SEL& action)
{
    auto key = keyWindow();
    if (auto t = findInWindow(key, action)) return t;
    auto main = mainWindow();
    if (main != key)
        if (auto t = findInWindow(main, action)) return t;
    if (respondsToSelector(action)) return Id(this);
    if (auto d = delegate(); d && d->respondsToSelector(action)) return d;
    return nullptr;
}

Id NSApplication::targetForAction(const SEL& action, const Id& target, const Id& sender)
{
    (void)sender;
    if (target) return target->respondsToSelector(action) ? target : nullptr;
    return targetForAction(action);
}

bool NSApplication::sendAction(const SEL& action, const Id& target, const Id& sender)
{
    if (action.empty()) return false;
    Id t = targetForAction(action, target, sender);
    if (!t) return false;
    t->performSelector(action, sender);
    return true;
}

bool NSApplication::tryToPerform(const SEL& action, const Id& object)
{
    return NSResponder::tryToPerform(action, object, delegate());
}

// --- Windows ---

std::vector<Ref<NSWindow>> NSApplication::windows() const { return NSWindow::allWindows(); }

Ref<NSWindow> NSApplication::keyWindow() const
{
    for (auto& w : NSWindow::allWindows())
        if (w->isKeyWindow()) return w;
    return nullptr;
}

Ref<NSWindow> NSApplication::mainWindow() const
{
    for (auto& w : NSWindow::allWindows())
        if (w->isMainWindow()) return w;
    return nullptr;
}

Ref<NSWindow> NSApplication::windowWithWindowNumber(NSInteger number) const
{
    return NSWindow::windowWithNumber(number);
}

Ref<NSWindow> NSApplication::modalWindow() const
{
    return m_modalSessions.empty() ? nullptr : m_modalSessions.back()->window;
}

// --- Modal sessions ---

NSModalSession NSApplication::beginModalSessionForWindow(const Ref<NSWindow>& window)
{
    auto* session = new ModalSessionRecord{window, NSModalResponseContinue};
    m_modalSessions.push_back(session);
    if (window) {
        if (window->canBecomeKeyWindow()) window->makeKeyAndOrderFront(nullptr);
        else window->orderFront(nullptr);
    }
    return session;
}

NSModalResponse NSApplication::runModalSession(NSModalSession session)
{
    if (!session) return NSModalResponseAbort;
    while (session->code == NSModalResponseContinue) {
        NSAutoreleasePool pool;
        auto event = nextEventMatchingMask(NSAnyEventMask, nullptr, NSModalPanelRunLoopMode, true);
        if (!event) break;
        dispatch(event);
    }
    return session->code;
}

void NSApplication::endModalSession(NSModalSession session)
{
    auto it = std::find(m_modalSessions.begin(), m_modalSessions.end(), session);
    if (it == m_modalSessions.end()) return;
    m_modalSessions.erase(it);
    delete session;
}

NSModalResponse NSApplication::runModalLoop(ModalSessionRecord& session)
{
    Ref<NSApplication> self(this);
    while (session.code == NSModalResponseContinue) {
        NSAutoreleasePool pool;
        auto event = nextEventMatchingMask(NSAnyEventMask, NSDate::distantFuture(), NSModalPanelRunLoopMode, true);
        if (event) dispatch(event);
        if (m_terminated && session.code == NSModalResponseContinue) session.code = NSModalResponseAbort;
    }
    return session.code;
}

NSModalResponse NSApplication::runModalForWindow(const Ref<NSWindow>& window)
{
    if (m_terminated) return NSModalResponseAbort;
    NSModalSession session = beginModalSessionForWindow(window);
    NSModalResponse code;
    try {
        code = runModalLoop(*session);
    } catch (...) {
        endModalSession(session);
        throw;
    }
    endModalSession(session);
    return code;
}

void NSApplication::stopModal() { stopModalWithCode(NSModalResponseStop); }

void NSApplication::stopModalWithCode(NSModalResponse code)
{
    if (m_modalSessions.empty()) return;
    m_modalSessions.back()->code = code;
    interruptWaits();
}

void NSApplication::abortModal()
{
    if (m_modalSessions.empty()) return;
    m_modalSessions.back()->code = NSModalResponseAbort;
    interruptWaits();
}

// --- Misc ---

void NSApplication::activateIgnoringOtherApps(bool) { m_active = true; }

void NSApplication::beep() { WindowServer::shared().beep(); }

Ref<NSString> NSApplication::applicationName() const
{
    auto name = dynamic_ref_cast<NSString>(NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleName"_ns));
    return name ? name : NSProcessInfo::processInfo()->processName();
}

void NSBeep() { WindowServer::shared().beep(); }

int NSApplicationMain(int, const char**)
{
    NSAutoreleasePool pool;
    Ref<NSApplication> app = NSApplication::sharedApplication();
    app->resetTerminatedState();
    SignalSource::setTerminationHandler([](int) {
        if (NSApp) NSApp->terminate(nullptr);
    });
    auto nib = dynamic_ref_cast<NSString>(NSBundle::mainBundle()->objectForInfoDictionaryKey("NSMainNibFile"_ns));
    if (nib && nib->length() && !NSNibLoading::loadNibNamed(nib, app))
        NSLog("Could not load the main interface file %@", nib);
    app->run();
    SignalSource::setTerminationHandler({});
    return 0;
}
