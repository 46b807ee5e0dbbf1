// How another thread learns that the main thread's event loop is idle: work
// it announces counts until it has started on the main thread.
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "WindowingFixture.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// Polls until the condition holds, for at most five seconds.
bool eventually(const std::function<bool()>& condition)
{
    const auto deadline = SteadyClock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (SteadyClock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// Whether the event loop is waiting, idle or not.
bool loopWaits()
{
    std::string pending;
    return NSApplication::isIdle(&pending) || pending.rfind("event loop waiting", 0) == 0;
}

Ref<NSEvent> applicationEvent()
{
    return NSEvent::otherEventWithType(NSEventTypeApplicationDefined, NSZeroPoint, 0, 0, 0, nullptr, 0, 0, 0);
}

Ref<NSEvent> mouseUp()
{
    return NSEvent::mouseEventWithType(NSEventTypeLeftMouseUp, NSZeroPoint, 0, 0, 0, nullptr, 0, 1, 0);
}

}

class IdleProtocolTest : public WindowingTest { };

// The interleaving that let a waiter run ahead of its own work: the work is
// announced, the loop looks, finds nothing queued and goes back to waiting,
// and only then is the work queued. The loop must not look idle in between.
TEST_F(IdleProtocolTest, WorkAnnouncedBeforeTheLoopLooksKeepsItBusyUntilItStarts)
{
    NSApplication::noteExternalWork();

    bool idleBeforeQueued = true;
    std::string pendingBeforeQueued;
    bool waited = false, becameIdle = false;
    std::atomic<bool> started{false};
    std::thread other([&] {
        waited = eventually(loopWaits);
        idleBeforeQueued = NSApplication::isIdle(&pendingBeforeQueued);
        NSRunLoop::mainRunLoop()->performBlock({NSRunLoopCommonModes}, [&] {
            NSApplication::externalWorkStarted();
            started = true;
        });
        becameIdle = eventually([] { return NSApplication::isIdle(nullptr); });
        NSApp->postEvent(applicationEvent(), false);
    });
    // Looks after the announcement, then waits until the other thread ends it.
    auto event = NSApp->nextEventMatchingMask(NSAnyEventMask, NSDate::distantFuture(), NSDefaultRunLoopMode, true);
    other.join();

    EXPECT_TRUE(waited);
    EXPECT_FALSE(idleBeforeQueued);
    EXPECT_NE(pendingBeforeQueued.find("1 announced call(s) not yet started"), std::string::npos)
        << pendingBeforeQueued;
    EXPECT_TRUE(started.load());
    EXPECT_TRUE(becameIdle);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->type(), NSEventTypeApplicationDefined);
}

// Posted work starts in whatever mode the loop runs, is not idle while it
// runs, and the loop is idle again once it has come round after it.
TEST_F(IdleProtocolTest, PostedWorkRunsInATrackingLoopAndCountsUntilDone)
{
    bool idleAtFirst = false, becameIdle = false;
    std::atomic<bool> idleDuring{true};
    std::string modeDuring;
    std::thread other([&] {
        idleAtFirst = eventually([] { return NSApplication::isIdle(nullptr); });
        NSApplication::postExternalWork([&] {
            modeDuring = NSRunLoop::currentRunLoop()->currentMode();
            idleDuring = NSApplication::isIdle(nullptr);
        });
        becameIdle = eventually([] { return NSApplication::isIdle(nullptr); });
        NSApp->postEvent(mouseUp(), false);
    });
    auto event =
        NSApp->nextEventMatchingMask(NSLeftMouseUpMask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
    other.join();

    EXPECT_TRUE(idleAtFirst);
    EXPECT_EQ(modeDuring, NSEventTrackingRunLoopMode);
    EXPECT_FALSE(idleDuring.load());
    EXPECT_TRUE(becameIdle);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->type(), NSEventTypeLeftMouseUp);
}
