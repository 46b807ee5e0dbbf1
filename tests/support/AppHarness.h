#pragma once
// Drives a program that runs in NSApplicationMain from outside its run loop.
//
//   AppHarness::run([] { ...set up...; return NSApplicationMain(0, nullptr); },
//                   [](AppDriver& d) { d.click({150, 250}); EXPECT_EQ(...); });
//
// The program runs on the calling thread, which must be the process's main
// thread; the test body runs on a second thread and talks to the program only
// through the driver. The harness picks the headless backend, switches to the
// virtual clock, points XDG_CONFIG_HOME at a fresh folder and makes
// terminate: return from NSApplicationMain. When the body returns, the
// driver terminates the program. See docs/TESTING.md.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppKit/AlertLog.h"
#include "AppKit/NSEvent.h"
#include "CoreGraphics/CGImage.h"
#include "WindowServer/WindowServer.h"

class AppDriver {
public:
    // Real seconds a wait may take before it fails the test: generous, as a
    // loaded machine under the sanitizers may take seconds for one step.
    static constexpr double kDefaultTimeout = 30;

    // --- Waiting ---
    // Until the event loop waits with nothing to do; fails the test, listing
    // what is pending, after the time-out. Every input call below waits so.
    bool waitIdle(double timeout = kDefaultTimeout);
    // Until the predicate, evaluated on the main thread, holds.
    bool waitUntil(const std::function<bool()>& predicate, double timeout = kDefaultTimeout);
    // Runs the function on the main thread (in any run-loop mode, also in a
    // modal session or tracking loop) and waits for it; then waits idle.
    bool onMain(const std::function<void()>& function, double timeout = kDefaultTimeout);
    // Starts the function on the main thread without waiting for it to
    // return (it may run a modal session or a tracking loop), then waits
    // until the program is idle, e.g. in that session.
    bool post(const std::function<void()>& function, double timeout = kDefaultTimeout);

    // --- Input, in global points (y up, origin bottom left of the main screen) ---
    void mouseDown(NSPoint p, NSUInteger flags = 0);
    void mouseUp(NSPoint p, NSUInteger flags = 0);
    // Moves the pointer: a drag while a button is down.
    void moveMouse(NSPoint p, NSUInteger flags = 0);
    void click(NSPoint p, NSUInteger flags = 0);
    void rightClick(NSPoint p, NSUInteger flags = 0);
    void doubleClick(NSPoint p, NSUInteger flags = 0);
    void key(uint16_t keyCode, NSUInteger flags = 0);
    // Types each character with the US layout.
    void typeText(const std::u16string& text);
    void releaseHotKey(uint32_t keyCode, uint32_t carbonModifiers);
    // Moves the virtual clock; timers of the loop's current mode fire, each
    // at its own time.
    void advance(double seconds);

    // --- Reading ---
    std::vector<WSWindowInfo> windows();
    // The first visible window with that title, if any.
    std::optional<WSWindowInfo> windowTitled(const std::string& title);
    Ref<CGImage> screenImage();
    uint32_t pixel(int x, int row);
    bool saveScreen(const std::string& pngPath);
    std::vector<AlertRecord> alerts();
    // Clicks the "do not show again" check box of the newest alert still
    // shown; fails the test when none offers one.
    bool tickAlertSuppressionButton();
    std::vector<std::string> openedURLs();
    int beepCount();
    // The folder that holds the stored defaults ($XDG_CONFIG_HOME) and the
    // application's defaults file in it.
    std::string configHome() const { return m_configHome; }
    std::string defaultsFile();

    // Sends terminate: and waits until the event loop has ended.
    bool terminate(double timeout = kDefaultTimeout);
    bool programEnded() const;

private:
    friend class AppHarness;
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    std::string m_configHome;
    void inject(const std::function<void()>& injection);
};

class AppHarness {
public:
    struct Options {
        NSSize screenSize{1920, 1080};
        NSSize physicalSizeMM{508, 286};
        CGFloat menuBarHeight = 24;
    };
    // Answers what the program returned (-1 when it raised).
    static int run(const std::function<int()>& program, const std::function<void(AppDriver&)>& body);
    static int run(const std::function<int()>& program, const std::function<void(AppDriver&)>& body,
                   const Options& options);
};
