#include "AppHarness.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "AppKit/NSApplication.h"
#include "Foundation/Clock.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSUserDefaults.h"
#include "WindowServer/USKeyboardLayout.h"
#include "backend/headless/HeadlessWindowServer.h"

struct AppDriver::Shared {
    std::atomic<bool> ended{false};
};

namespace {

using SteadyClock = std::chrono::steady_clock;

SteadyClock::time_point deadlineAfter(double seconds)
{
    return SteadyClock::now() +
           std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(seconds));
}

HeadlessWindowServer& server() { return *HeadlessWindowServer::current(); }

}

bool AppDriver::programEnded() const { return m_shared->ended.load(); }

bool AppDriver::waitIdle(double timeout)
{
    const auto deadline = deadlineAfter(timeout);
    std::string pending;
    for (;;) {
        if (programEnded()) return true;
        if (NSApplication::isIdle(&pending)) return true;
        if (SteadyClock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ADD_FAILURE() << "The program did not become idle within " << timeout << " s: " << pending;
    return false;
}

bool AppDriver::onMain(const std::function<void()>& function, double timeout)
{
    if (programEnded()) return false;
    struct Call {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
        std::string error;
    };
    auto call = std::make_shared<Call>();
    NSApplication::postExternalWork([call, function] {
        std::string error;
        try {
            function();
        } catch (const std::exception& e) {
            error = e.what();
        }
        std::lock_guard guard(call->lock);
        call->error = error;
        call->finished = true;
        call->done.notify_all();
    });
    {
        std::unique_lock guard(call->lock);
        // The end of the program notifies no one: look at it now and then.
        const auto deadline = deadlineAfter(timeout);
        auto over = [&] { return call->finished || programEnded(); };
        while (!over() && SteadyClock::now() < deadline) call->done.wait_for(guard, std::chrono::milliseconds(5), over);
        if (!over()) {
            std::string pending;
            NSApplication::isIdle(&pending);
            ADD_FAILURE() << "The main thread did not run a call within " << timeout << " s: " << pending;
            return false;
        }
        if (!call->finished) return false;
        if (!call->error.empty()) {
            ADD_FAILURE() << "A call on the main thread raised: " << call->error;
            return false;
        }
    }
    return waitIdle(timeout);
}

bool AppDriver::post(const std::function<void()>& function, double timeout)
{
    if (programEnded()) return false;
    NSApplication::postExternalWork([function] {
        try {
            function();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "A call posted to the main thread raised: " << e.what();
        }
    });
    return waitIdle(timeout);
}

std::string AppDriver::defaultsFile()
{
    std::string path;
    onMain([&] { path = NSUserDefaults::standardUserDefaults()->path()->UTF8String(); });
    return path;
}

bool AppDriver::waitUntil(const std::function<bool()>& predicate, double timeout)
{
    const auto deadline = deadlineAfter(timeout);
    for (;;) {
        bool holds = false;
        if (!onMain([&] { holds = predicate(); }, timeout)) return false;
        if (holds) return true;
        if (SteadyClock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ADD_FAILURE() << "The condition did not hold within " << timeout << " s";
    return false;
}

void AppDriver::inject(const std::function<void()>& injection) { onMain(injection); }

void AppDriver::mouseDown(NSPoint p, NSUInteger flags)
{
    inject([=] { server().injectMouse(NSEventTypeLeftMouseDown, p, flags); });
}

void AppDriver::mouseUp(NSPoint p, NSUInteger flags)
{
    inject([=] { server().injectMouse(NSEventTypeLeftMouseUp, p, flags); });
}

void AppDriver::moveMouse(NSPoint p, NSUInteger flags)
{
    inject([=] { server().injectPointer(p, flags); });
}

void AppDriver::click(NSPoint p, NSUInteger flags)
{
    mouseDown(p, flags);
    mouseUp(p, flags);
}

void AppDriver::rightClick(NSPoint p, NSUInteger flags)
{
    inject([=] {
        server().injectMouse(NSEventTypeRightMouseDown, p, flags);
        server().injectMouse(NSEventTypeRightMouseUp, p, flags);
    });
}

void AppDriver::doubleClick(NSPoint p, NSUInteger flags)
{
    inject([=] { server().injectMouse(NSEventTypeLeftMouseDown, p, flags, 1); });
    inject([=] { server().injectMouse(NSEventTypeLeftMouseUp, p, flags, 1); });
    inject([=] { server().injectMouse(NSEventTypeLeftMouseDown, p, flags, 2); });
    inject([=] { server().injectMouse(NSEventTypeLeftMouseUp, p, flags, 2); });
}

void AppDriver::key(uint16_t keyCode, NSUInteger flags)
{
    inject([=] {
        server().injectKey(keyCode, flags, true);
        server().injectKey(keyCode, flags, false);
    });
}

void AppDriver::typeText(const std::u16string& text)
{
    for (char16_t c : text) {
        auto stroke = USKeyboardLayout::strokeForCharacter(c);
        if (!stroke) {
            ADD_FAILURE() << "No US key types character " << static_cast<int>(c);
            continue;
        }
        key(stroke->keyCode, stroke->shift ? NSUInteger(NSShiftKeyMask) : NSUInteger(0));
    }
}

void AppDriver::releaseHotKey(uint32_t keyCode, uint32_t carbonModifiers)
{
    inject([=] { server().releaseHotKey(keyCode, carbonModifiers); });
}

void AppDriver::advance(double seconds)
{
    if (programEnded()) return;
    // The loop moves the clock itself, from timer to timer, in the mode it is
    // running; a modal session a timer opens does not block the driver.
    NSApplication::postExternalWork([seconds] {
        auto loop = NSRunLoop::mainRunLoop();
        loop->advance(seconds, loop->currentMode());
    });
    waitIdle();
}

std::vector<WSWindowInfo> AppDriver::windows()
{
    std::vector<WSWindowInfo> list;
    onMain([&] { list = server().allWindows(); });
    return list;
}

std::optional<WSWindowInfo> AppDriver::windowTitled(const std::string& title)
{
    for (const auto& w : windows())
        if (w.visible && w.title == title) return w;
    return std::nullopt;
}

Ref<CGImage> AppDriver::screenImage()
{
    Ref<CGImage> image;
    onMain([&] { image = server().screenImage(); });
    return image;
}

uint32_t AppDriver::pixel(int x, int row)
{
    auto image = screenImage();
    if (!image || x < 0 || row < 0 || size_t(x) >= image->width() || size_t(row) >= image->height()) return 0;
    return image->pixel(size_t(x), size_t(row));
}

bool AppDriver::saveScreen(const std::string& pngPath)
{
    bool saved = false;
    onMain([&] { saved = server().saveScreenImage(pngPath); });
    return saved;
}

std::vector<AlertRecord> AppDriver::alerts() { return AlertLog::all(); }

bool AppDriver::tickAlertSuppressionButton()
{
    const auto records = AlertLog::all();
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (it->result != NSModalResponseContinue || !it->showsSuppressionButton) continue;
        const NSRect& box = it->suppressionButtonFrame;
        // The box itself, left of its title.
        click(NSMakePoint(box.origin.x + 8, NSMidY(box)));
        return true;
    }
    ADD_FAILURE() << "no alert with a suppression check box is shown";
    return false;
}

std::vector<std::string> AppDriver::openedURLs()
{
    std::vector<std::string> urls;
    onMain([&] { urls = server().openedURLs(); });
    return urls;
}

int AppDriver::beepCount()
{
    int count = 0;
    onMain([&] { count = server().beepCount(); });
    return count;
}

bool AppDriver::terminate(double timeout)
{
    if (programEnded()) return true;
    NSApplication::postExternalWork([] {
        if (NSApp) NSApp->terminate(nullptr);
    });
    const auto deadline = deadlineAfter(timeout);
    while (!programEnded() && SteadyClock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return programEnded();
}

int AppHarness::run(const std::function<int()>& program, const std::function<void(AppDriver&)>& body)
{
    return run(program, body, Options{});
}

int AppHarness::run(const std::function<int()>& program, const std::function<void(AppDriver&)>& body,
                    const Options& options)
{
    setenv("PLUMBLINE_BACKEND", "headless", 1);
    char folder[] = "/tmp/plumbline-harness-XXXXXX";
    const std::string configHome = mkdtemp(folder) ? folder : "/tmp";
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    NSUserDefaults::resetStandardUserDefaults();
    Clock::useVirtualClock();
    NSApplication::setExitsOnTerminate(false);
    auto& s = server();
    s.configureMainScreen(options.screenSize, options.physicalSizeMM);
    s.setMenuBarHeight(options.menuBarHeight);

    AppDriver driver;
    driver.m_shared = std::make_shared<AppDriver::Shared>();
    driver.m_configHome = configHome;
    std::thread tester([&] {
        // Launched: the event loop waits for the first time.
        try {
            if (driver.waitIdle()) body(driver);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "The test body raised: " << e.what();
        }
        if (!driver.terminate()) {
            ADD_FAILURE() << "terminate: did not end the program; ending it by force";
            NSRunLoop::mainRunLoop()->performBlock({NSRunLoopCommonModes}, [] {
                if (NSApp) NSApp->replyToApplicationShouldTerminate(true);
            });
        }
    });
    int result = -1;
    try {
        result = program();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "The program raised: " << e.what();
    }
    driver.m_shared->ended.store(true);
    tester.join();
    NSUserDefaults::resetStandardUserDefaults();
    std::error_code ignored;
    std::filesystem::remove_all(configHome, ignored);
    return result;
}
