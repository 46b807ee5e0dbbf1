#pragma once
// The application: the event queue and loop, modal sessions, the responder
// chain's end, action sending and termination. NSApp is the shared instance;
// the thread that makes it is the main thread.
//
// The event loop takes events from a thread-safe queue that the window
// server fills (WindowServer::postEvent) and, between events, runs the main
// run loop in the current mode until it has nothing to do, then waits; the
// deferred-release queue drains after each dispatched event.
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSEvent.h"
#include "AppKit/NSResponder.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSRunLoop.h"

class NSWindow;
class NSApplication;
class NSImage;

// The version of the toolkit the program runs on (the flat look of 10.5).
inline constexpr double NSAppKitVersionNumber = 949.0;

enum NSApplicationTerminateReply : NSUInteger { NSTerminateCancel = 0, NSTerminateNow = 1, NSTerminateLater = 2 };

using NSModalResponse = NSInteger;
inline constexpr NSModalResponse NSModalResponseStop = -1000;
inline constexpr NSModalResponse NSModalResponseAbort = -1001;
inline constexpr NSModalResponse NSModalResponseContinue = -1002;
inline constexpr NSModalResponse NSRunStoppedResponse = NSModalResponseStop;
inline constexpr NSModalResponse NSRunAbortedResponse = NSModalResponseAbort;
inline constexpr NSModalResponse NSRunContinuesResponse = NSModalResponseContinue;

inline constexpr char NSApplicationWillTerminateNotification[] = "NSApplicationWillTerminateNotification";
inline constexpr char NSApplicationDidFinishLaunchingNotification[] = "NSApplicationDidFinishLaunchingNotification";
inline constexpr char NSApplicationWillFinishLaunchingNotification[] = "NSApplicationWillFinishLaunchingNotification";
// Posted (object NSApp) by a backend when the screens' frames, visible
// frames or arrangement changed.
inline constexpr char NSApplicationDidChangeScreenParametersNotification[] =
    "NSApplicationDidChangeScreenParametersNotification";

// The application delegate; optional methods answer nullopt / do nothing.
class NSApplicationDelegate {
public:
    virtual ~NSApplicationDelegate() = default;
    virtual void applicationWillFinishLaunching(const Ref<NSNotification>&) { }
    virtual void applicationDidFinishLaunching(const Ref<NSNotification>&) { }
    virtual std::optional<NSApplicationTerminateReply> applicationShouldTerminate(const Ref<NSApplication>&)
    {
        return std::nullopt;
    }
    virtual void applicationWillTerminate(const Ref<NSNotification>&) { }
    virtual std::optional<bool> applicationShouldOpenUntitledFile(const Ref<NSApplication>&) { return std::nullopt; }
    virtual std::optional<bool> applicationShouldTerminateAfterLastWindowClosed(const Ref<NSApplication>&)
    {
        return std::nullopt;
    }
    // An NSMenu, asked each time the dock menu is shown; nil for none.
    virtual Id applicationDockMenu(const Ref<NSApplication>&) { return nullptr; }
};

// Regular: listed in the task bar and pager with a dock icon; accessory:
// neither. Prohibited is not offered here.
enum NSApplicationActivationPolicy : NSInteger {
    NSApplicationActivationPolicyRegular = 0,
    NSApplicationActivationPolicyAccessory = 1,
    NSApplicationActivationPolicyProhibited = 2,
};

// A running modal session (beginModalSessionForWindow).
struct ModalSessionRecord;
using NSModalSession = ModalSessionRecord*;

class NSApplication : public NSResponder {
    NS_OBJECT(NSApplication, NSResponder)
protected:
    NSApplication();

public:
    ~NSApplication() override;

    // The shared application, made on first use (the NSPrincipalClass of the
    // Info dictionary when it names a subclass).
    static Ref<NSApplication> sharedApplication();
    Id init() override;

    // Not retained; implements NSApplicationDelegate and/or actions.
    // The picture that stands for the application (its status icon); nil
    // until the application gives one.
    Ref<NSImage> applicationIconImage() const;
    void setApplicationIconImage(const Ref<NSImage>& image);
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

    // The window server's record; a program whose Info key "LSUIElement" is
    // YES starts as an accessory. Setting answers NO for the prohibited
    // policy, which this desktop has no place for.
    NSApplicationActivationPolicy activationPolicy() const;
    bool setActivationPolicy(NSApplicationActivationPolicy policy);

    // --- Launch, run, terminate ---
    // Sends the launch notifications once (run does it when not yet done).
    void finishLaunching();
    bool isRunning() const { return m_running; }
    // Dispatches events until stop: or terminate:.
    virtual void run();
    // Ends run after the current event.
    void stop(const Id& sender);
    // Asks applicationShouldTerminate:, posts the will-terminate notification,
    // writes the defaults and ends the process — or, when exitsOnTerminate is
    // off (the test harness), ends run so that NSApplicationMain returns.
    virtual void terminate(const Id& sender);
    // NSTerminateLater answers come back here.
    void replyToApplicationShouldTerminate(bool shouldTerminate);
    static void setExitsOnTerminate(bool exits);
    bool hasTerminated() const { return m_terminated; }
    // A process may run several programs in turn (the test harness): clears
    // what the last one's termination left, so loops can run again.
    void resetTerminatedState() { m_terminated = m_terminating = m_launched = false; }

    // --- Events ---
    // nextEventMatchingMask:untilDate:inMode:dequeue: — a nil date polls;
    // dequeue NO leaves the event queued (the next call answers it again).
    Ref<NSEvent> nextEventMatchingMask(NSEventMask mask, const Ref<NSDate>& expiration, const NSRunLoopMode& mode,
                                       bool dequeue);
    void discardEventsMatchingMask(NSEventMask mask, const Ref<NSEvent>& beforeEvent);
    // Any thread; wakes the main run loop.
    static void postEvent(const Ref<NSEvent>& event, bool atStart);
    virtual void sendEvent(const Ref<NSEvent>& event);
    Ref<NSEvent> currentEvent() const { return m_currentEvent; }

    // --- Actions ---
    // A nil target goes along the responder chain: the key window's first
    // responder ... the key window, its delegate, its controller, then the
    // main window's chain, then the application and its delegate.
    bool sendAction(const SEL& action, const Id& target, const Id& sender);
    Id targetForAction(const SEL& action);
    Id targetForAction(const SEL& action, const Id& target, const Id& sender);
    bool tryToPerform(const SEL& action, const Id& object) override;

    // --- Windows ---
    std::vector<Ref<NSWindow>> windows() const;
    Ref<NSWindow> keyWindow() const;
    Ref<NSWindow> mainWindow() const;
    Ref<NSWindow> windowWithWindowNumber(NSInteger number) const;
    Ref<NSWindow> modalWindow() const;

    // --- Menus (the menu layer fills these in) ---
    Id mainMenu() const { return m_mainMenu; }
    // Also shows or updates the menu-bar window where the server wants one.
    void setMainMenu(const Id& menu);
    // Offers a key-down to the main menu's key equivalents; answers YES when
    // one fired. The menu layer installs it.
    using MenuKeyEquivalentHandler = std::function<bool(const Id& mainMenu, const Ref<NSEvent>& event)>;
    static void setMenuKeyEquivalentHandler(MenuKeyEquivalentHandler handler);
    // The handler in place (a test that replaces it puts this one back).
    static MenuKeyEquivalentHandler menuKeyEquivalentHandler();

    // --- Modal sessions: a stack; each ends only itself ---
    NSModalResponse runModalForWindow(const Ref<NSWindow>& window);
    void stopModal();
    void stopModalWithCode(NSModalResponse code);
    // Ends the innermost session at once with NSModalResponseAbort.
    void abortModal();
    NSModalSession beginModalSessionForWindow(const Ref<NSWindow>& window);
    // Dispatches what is queued; answers NSModalResponseContinue while the
    // session runs.
    NSModalResponse runModalSession(NSModalSession session);
    void endModalSession(NSModalSession session);

    // --- Misc ---
    bool isActive() const { return m_active; }
    void activateIgnoringOtherApps(bool flag);
    void deactivate() { m_active = false; }
    void hide(const Id&) { }
    void unhideWithoutActivation() { }
    void beep();
    void orderFrontStandardAboutPanel(const Id&) { }
    Ref<NSString> applicationName() const;

    // --- For the test harness ---
    // Whether the event loop is waiting with nothing to do: no queued event
    // it would take, no due timer, perform or main-queue work in its mode,
    // no announced work that has not started, and the loop has come round
    // once more since the last announced work started. Any thread.
    static bool isIdle(std::string* pending);
    // Announces work another thread is about to give the main thread: it
    // counts as pending until externalWorkStarted says it has begun. Any
    // thread; every call must be matched by one externalWorkStarted.
    static void noteExternalWork();
    // Called on the main thread as announced work begins.
    static void externalWorkStarted();
    // Announces and queues the work, to start on the main thread in every
    // mode its loop may run (modal, tracking). Any thread.
    static void postExternalWork(std::function<void()> work);

    static void describeClass(NSClassMembers<NSApplication>& m);

private:
    friend class NSWindow;
    friend int NSApplicationMain(int argc, const char** argv);
    void dispatch(const Ref<NSEvent>& event);
    void sendKeyEvent(const Ref<NSEvent>& event);
    void sendMouseEvent(const Ref<NSEvent>& event);
    bool eventAllowedInModal(const Ref<NSEvent>& event) const;
    NSApplicationDelegate* delegateProtocol() const;
    void finishTermination();
    void interruptWaits();
    NSModalResponse runModalLoop(ModalSessionRecord& session);

    Weak<NSObject> m_delegate;
    Ref<NSImage> m_applicationIconImage;
    Id m_mainMenu;
    Ref<NSEvent> m_currentEvent;
    bool m_running = false;
    bool m_stopRequested = false;
    bool m_launched = false;
    bool m_terminated = false;
    bool m_terminating = false;
    bool m_active = true;
    std::vector<ModalSessionRecord*> m_modalSessions;
    // The window under a mouse-down keeps the drags and the mouse-up.
    Weak<NSWindow> m_mouseWindow;
};

// The shared application (nil before sharedApplication has run).
extern NSApplication* NSApp;

// Makes the application, loads the main interface file named by the Info key
// "NSMainNibFile" with the application as owner, finishes launching and runs.
// Answers 0 after terminate: when exitsOnTerminate is off.
int NSApplicationMain(int argc, const char** argv);

void NSBeep();
