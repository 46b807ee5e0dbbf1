// The run loop on the virtual clock: timer order, modes and nested runs,
// end-of-turn work, descriptor sources, signals, and the real-clock wait.
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <thread>

#include "Foundation/DispatchQueue.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSString.h"
#include "Foundation/NSThread.h"
#include "Foundation/NSTimer.h"
#include "Foundation/SignalSource.h"
#include "RunLoopTestSupport.h"

namespace {

class LoopProbe : public NSObject {
    NS_OBJECT(LoopProbe, NSObject)
public:
    static inline int alive = 0;
    LoopProbe() { ++alive; }
    ~LoopProbe() override { --alive; }
};
NS_CLASS_DEFINE(LoopProbe)

class LoopRecorder : public NSObject {
    NS_OBJECT(LoopRecorder, NSObject)
public:
    static void describeClass(NSClassMembers<LoopRecorder>& m) { m.action("note:", &LoopRecorder::note); }
    void note(const Ref<NSString>& text) { log += text ? text->UTF8String() : "nil"; }
    std::string log;
};
NS_CLASS_DEFINE(LoopRecorder)

using RunLoopTest = VirtualClockTest;

}

TEST_F(RunLoopTest, TimersFireInDueOrderEachAtItsOwnTime)
{
    std::vector<std::string> log;
    auto note = [&](const std::string& name) {
        return [&log, name](const Ref<NSTimer>&) { log.push_back(at(name, elapsed())); };
    };
    auto late = NSTimer::scheduledTimerWithTimeInterval(0.3, false, note("late"));
    auto early = NSTimer::scheduledTimerWithTimeInterval(0.1, false, note("early"));
    auto repeating = NSTimer::scheduledTimerWithTimeInterval(0.25, true, note("every"));
    auto middle = NSTimer::scheduledTimerWithTimeInterval(0.2, false, note("middle"));

    loop->advance(0.8);

    EXPECT_EQ(log,
              (std::vector<std::string>{"early@100", "middle@200", "every@250", "late@300", "every@500", "every@750"}));
    EXPECT_FALSE(early->isValid());
    EXPECT_TRUE(repeating->isValid());
    EXPECT_NEAR(elapsed(), 0.8, 1e-9);
    repeating->invalidate();
}

// A default-mode timer waits while a nested event-tracking run runs; a
// common-modes timer keeps firing in it. The nested run is driven either by
// the test helper or by the plain runModeBeforeDate loop a tracking loop uses.
TEST_F(RunLoopTest, NestedEventTrackingRunFiresOnlyItsModeTimers)
{
    using NestedRun = std::function<void(NSRunLoop&)>;
    const std::vector<std::pair<std::string, NestedRun>> nestedRuns = {
        {"advance helper", [](NSRunLoop& l) { l.advance(0.5, NSEventTrackingRunLoopMode); }},
        {"runModeBeforeDate",
         [](NSRunLoop& l) {
             Clock::setAdvancesWhenIdle(true);
             auto until = NSDate::dateWithTimeIntervalSinceNow(0.5);
             while (Clock::now() < until->timeIntervalSinceReferenceDate())
                 l.runModeBeforeDate(NSEventTrackingRunLoopMode, until);
             Clock::setAdvancesWhenIdle(false);
         }},
    };
    for (const auto& [name, nestedRun] : nestedRuns) {
        SCOPED_TRACE(name);
        const NSTimeInterval start = elapsed();
        std::vector<std::string> log;
        auto stamp = [&](const std::string& what) { log.push_back(at(what, elapsed() - start)); };

        auto defaultTimer =
            NSTimer::scheduledTimerWithTimeInterval(0.1, false, [&](const Ref<NSTimer>&) { stamp("default"); });
        auto commonTimer = NSTimer::timerWithTimeInterval(0.2, true, [&](const Ref<NSTimer>&) { stamp("common"); });
        loop->addTimer(commonTimer, NSRunLoopCommonModes);
        auto tracking = NSTimer::scheduledTimerWithTimeInterval(0.05, false, [&](const Ref<NSTimer>&) {
            stamp("begin tracking");
            EXPECT_EQ(loop->currentMode(), NSDefaultRunLoopMode);
            nestedRun(*loop);
            stamp("end tracking");
        });

        loop->advance(0.6);
        commonTimer->invalidate();

        EXPECT_EQ(log, (std::vector<std::string>{"begin tracking@50", "common@200", "common@400", "end tracking@550",
                                                 "default@550", "common@600"}));
        EXPECT_EQ(loop->currentMode(), "");
    }
}

TEST_F(RunLoopTest, PerformsRunOnlyInTheirModes)
{
    std::vector<std::string> log;
    loop->performBlock({NSEventTrackingRunLoopMode}, [&] { log.push_back("tracking"); });
    loop->performBlock({NSRunLoopCommonModes}, [&] { log.push_back("common"); });
    loop->performBlock({"custom"}, [&] { log.push_back("custom"); });

    loop->runUntilIdle(NSModalPanelRunLoopMode);
    EXPECT_EQ(log, (std::vector<std::string>{"common"}));
    loop->runUntilIdle(NSEventTrackingRunLoopMode);
    EXPECT_EQ(log, (std::vector<std::string>{"common", "tracking"}));
    loop->runUntilIdle("custom");
    EXPECT_EQ(log, (std::vector<std::string>{"common", "tracking", "custom"}));
}

TEST_F(RunLoopTest, OrderedPerformsRunLowestOrderFirstAndCanBeCancelled)
{
    auto recorder = NSObject::make<LoopRecorder>();
    loop->performSelector("note:", recorder, "2"_ns, 2, {NSDefaultRunLoopMode});
    loop->performSelector("note:", recorder, "1"_ns, 1, {NSDefaultRunLoopMode});
    loop->performSelector("note:", recorder, "x"_ns, 0, {NSDefaultRunLoopMode});
    // Cancelled with an equal string that is not the same object.
    loop->cancelPerformSelector("note:", recorder, NSString::stringWithUTF8String("x"));
    loop->runUntilIdle();
    EXPECT_EQ(recorder->log, "12");
}

// Something autoreleased during a turn lives until the turn's end-of-turn
// work is done; a nested pass drains only what was autoreleased inside it.
TEST_F(RunLoopTest, AutoreleasedObjectLivesUntilTheEndOfItsTurn)
{
    Weak<LoopProbe> outer;
    Weak<LoopProbe> inner;
    bool outerAliveAfterNestedPass = false;
    bool innerAliveAfterNestedPass = true;
    bool outerAliveAtEndOfTurn = false;

    auto observer =
        loop->addObserver({NSDefaultRunLoopMode}, [&] { outerAliveAtEndOfTurn = static_cast<bool>(outer.get()); });
    loop->performBlock({NSDefaultRunLoopMode}, [&] {
        auto object = NSObject::make<LoopProbe>();
        outer = object;
        NSAutoreleasePool::keepAlive(object);
        object = nullptr;
        loop->performBlock({NSEventTrackingRunLoopMode}, [&] {
            auto nested = NSObject::make<LoopProbe>();
            inner = nested;
            NSAutoreleasePool::keepAlive(nested);
        });
        loop->runModeBeforeDate(NSEventTrackingRunLoopMode, NSDate::date());
        outerAliveAfterNestedPass = static_cast<bool>(outer.get());
        innerAliveAfterNestedPass = static_cast<bool>(inner.get());
    });

    loop->runModeBeforeDate(NSDefaultRunLoopMode, NSDate::date());

    EXPECT_TRUE(outerAliveAfterNestedPass);
    EXPECT_FALSE(innerAliveAfterNestedPass);
    EXPECT_TRUE(outerAliveAtEndOfTurn);
    EXPECT_FALSE(outer.get());
    EXPECT_EQ(LoopProbe::alive, 0);
    loop->removeSource(observer);
}

TEST_F(RunLoopTest, EndOfTurnObserversRunInOrderInTheirModes)
{
    std::vector<std::string> log;
    auto second = loop->addObserver(
        {NSRunLoopCommonModes}, [&] { log.push_back("display"); }, 2);
    auto first = loop->addObserver(
        {NSDefaultRunLoopMode}, [&] { log.push_back("flush"); }, 1);
    auto tracking = loop->addObserver({NSEventTrackingRunLoopMode}, [&] { log.push_back("tracking"); });

    loop->runModeBeforeDate(NSDefaultRunLoopMode, NSDate::date());
    EXPECT_EQ(log, (std::vector<std::string>{"flush", "display"}));
    log.clear();
    loop->runModeBeforeDate(NSEventTrackingRunLoopMode, NSDate::date());
    EXPECT_EQ(log, (std::vector<std::string>{"tracking", "display"}));

    for (auto id : {first, second, tracking}) loop->removeSource(id);
    log.clear();
    loop->runModeBeforeDate(NSDefaultRunLoopMode, NSDate::date());
    EXPECT_TRUE(log.empty());
}

TEST_F(RunLoopTest, DescriptorSourceIsServedInItsModes)
{
    int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    ASSERT_GE(fd, 0);
    int served = 0;
    auto source = loop->addFileDescriptorSource(fd, {NSDefaultRunLoopMode}, [&] {
        uint64_t value;
        while (::read(fd, &value, sizeof value) > 0) ++served;
    });
    uint64_t one = 1;
    ASSERT_EQ(::write(fd, &one, sizeof one), 8);

    loop->runUntilIdle(NSModalPanelRunLoopMode);
    EXPECT_EQ(served, 0);
    loop->runUntilIdle(NSDefaultRunLoopMode);
    EXPECT_EQ(served, 1);

    // Data arriving from another thread ends a wait.
    std::thread writer([&] { ASSERT_EQ(::write(fd, &one, sizeof one), 8); });
    EXPECT_TRUE(loop->runUntil([&] { return served == 2; }, 5.0));
    writer.join();

    loop->removeSource(source);
    ::close(fd);
}

TEST_F(RunLoopTest, TerminationSignalsReachTheHandlerOnTheMainThread)
{
    std::vector<int> received;
    bool onMainThread = false;
    SignalSource::setTerminationHandler([&](int signal) {
        received.push_back(signal);
        onMainThread = NSThread::isMainThread();
    });

    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_TRUE(received.empty());  // the signal handler itself only notes it
    loop->runUntilIdle();
    EXPECT_EQ(received, std::vector<int>{SIGTERM});
    EXPECT_TRUE(onMainThread);

    // Delivered in a modal run too.
    ASSERT_EQ(::raise(SIGINT), 0);
    loop->runUntilIdle(NSModalPanelRunLoopMode);
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT}));

    SignalSource::setTerminationHandler(nullptr);
}

TEST_F(RunLoopTest, RunUntilGivesUpWithinItsTimeOutAndSaysWhatIsPending)
{
    auto far = NSTimer::scheduledTimerWithTimeInterval(60, false, [](const Ref<NSTimer>&) {});
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(loop->runUntil([] { return false; }, 0.2));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_NE(loop->describePending().find("timer in kCFRunLoopDefaultMode due in"), std::string::npos);
    EXPECT_TRUE(far->isValid());  // its time is beyond the time-out
    far->invalidate();
}

TEST(RunLoopRealClock, WaitsForTheNextTimerAndStopsOnRequest)
{
    auto loop = NSRunLoop::currentRunLoop();
    bool fired = false;
    const auto started = std::chrono::steady_clock::now();
    auto timer = NSTimer::scheduledTimerWithTimeInterval(0.03, false, [&](const Ref<NSTimer>&) { fired = true; });
    while (!fired && std::chrono::steady_clock::now() - started < std::chrono::seconds(5))
        loop->runModeBeforeDate(NSDefaultRunLoopMode, NSDate::distantFuture());
    EXPECT_TRUE(fired);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(25));

    // A stop from another thread ends a run that would otherwise last 10 s.
    std::thread stopper([loop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        loop->stop();
    });
    const auto runStarted = std::chrono::steady_clock::now();
    loop->runUntilDate(NSDate::dateWithTimeIntervalSinceNow(10));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - runStarted, std::chrono::seconds(5));
}

TEST(RunLoopRealClock, WorkAddedDuringAPassRunsInTheNextWithoutWaiting)
{
    // Work a pass adds on its own thread does not wake the loop through its
    // descriptor: the next pass must still do it at once, whichever part of
    // the pass added it (a source, an end-of-pass observer).
    auto loop = NSRunLoop::currentRunLoop();
    int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::string log;
    bool observe = false;
    auto source = loop->addFileDescriptorSource(fd, {NSDefaultRunLoopMode}, [&] {
        uint64_t value;
        while (::read(fd, &value, sizeof value) > 0) { }
        loop->performBlock({NSDefaultRunLoopMode}, [&] { log += "s"; });
    });
    auto observer = loop->addObserver({NSDefaultRunLoopMode}, [&] {
        if (std::exchange(observe, false)) loop->performBlock({NSDefaultRunLoopMode}, [&] { log += "o"; });
    });
    uint64_t one = 1;
    ASSERT_EQ(::write(fd, &one, sizeof one), 8);
    const auto started = std::chrono::steady_clock::now();
    auto later = [] { return NSDate::dateWithTimeIntervalSinceNow(10); };
    loop->runModeBeforeDate(NSDefaultRunLoopMode, later());  // serves the source
    observe = true;
    loop->runModeBeforeDate(NSDefaultRunLoopMode, later());  // its block; the observer adds one
    loop->runModeBeforeDate(NSDefaultRunLoopMode, later());  // the observer's block
    EXPECT_EQ(log, "so");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    loop->removeSource(source);
    loop->removeSource(observer);
    ::close(fd);
}
