// NSTimer on the virtual clock: rescheduling, retention, invalidation, modes.
#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"  // before NSNumber.h, which needs it complete
#include "Foundation/NSTimer.h"
#include "RunLoopTestSupport.h"

namespace {

class TimerTarget : public NSObject {
    NS_OBJECT(TimerTarget, NSObject)
protected:
    TimerTarget() = default;

public:
    static void describeClass(NSClassMembers<TimerTarget>& m)
    {
        m.action("tick:", &TimerTarget::tick);
        m.action("ping", &TimerTarget::ping);
    }
    void tick(const Ref<NSTimer>& timer)
    {
        ++ticks;
        lastTimer = timer.get();
        if (invalidateAfter && ticks == invalidateAfter) timer->invalidate();
    }
    void ping() { ++ticks; }
    int ticks = 0;
    int invalidateAfter = 0;
    NSTimer* lastTimer = nullptr;
};
NS_CLASS_DEFINE(TimerTarget)

using TimerTest = VirtualClockTest;

}

TEST_F(TimerTest, RepeatingTimerReschedulesFromItsFireDateSkippingMissedIntervals)
{
    auto target = NSObject::make<TimerTarget>();
    auto timer = NSTimer::scheduledTimerWithTimeInterval(1.0, target, "tick:", nullptr, true);
    EXPECT_DOUBLE_EQ(timer->timeInterval(), 1.0);

    // The clock jumps 3.5 s without the loop running: the timer fires once,
    // late, and its next date stays on its own grid.
    Clock::advance(3.5);
    loop->runUntilIdle();
    EXPECT_EQ(target->ticks, 1);
    EXPECT_EQ(target->lastTimer, timer.get());
    EXPECT_NEAR(timer->fireDate()->timeIntervalSinceReferenceDate(), kStart + 4.0, 1e-9);

    loop->advance(1.0);
    EXPECT_EQ(target->ticks, 2);
    timer->invalidate();
}

TEST_F(TimerTest, TimerRetainsItsTargetUntilInvalidatedAndTheWeakFormDoesNot)
{
    Weak<TimerTarget> strongHeld;
    Weak<TimerTarget> weakHeld;
    Ref<NSTimer> timer;
    Ref<NSTimer> weakTimer;
    {
        auto a = NSObject::make<TimerTarget>();
        auto b = NSObject::make<TimerTarget>();
        strongHeld = a;
        weakHeld = b;
        timer = NSTimer::scheduledTimerWithTimeInterval(0.1, a, "tick:", nullptr, true);
        weakTimer = NSTimer::scheduledTimerWithTimeIntervalWeakTarget(0.1, b, "tick:", nullptr, true);
    }
    loop->advance(0.35);
    ASSERT_TRUE(strongHeld.get());
    EXPECT_EQ(strongHeld.get()->ticks, 3);
    EXPECT_FALSE(weakHeld.get());
    // With its target gone the weak-target timer invalidates itself.
    EXPECT_FALSE(weakTimer->isValid());

    timer->invalidate();
    EXPECT_FALSE(strongHeld.get());
    EXPECT_FALSE(timer->isValid());
}

TEST_F(TimerTest, InvalidatingInsideTheCallbackStopsTheTimer)
{
    auto target = NSObject::make<TimerTarget>();
    target->invalidateAfter = 2;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(0.1, target, "tick:", NSNumber::numberWithInt(7), true);
    loop->advance(1.0);
    EXPECT_EQ(target->ticks, 2);
    EXPECT_FALSE(timer->isValid());
    // userInfo is still there after invalidation.
    EXPECT_TRUE(timer->userInfo()->isEqual(NSNumber::numberWithInt(7).get()));
}

TEST_F(TimerTest, FireSendsAtOnceAndEndsOnlyAOneShotTimer)
{
    auto target = NSObject::make<TimerTarget>();
    auto oneShot = NSTimer::scheduledTimerWithTimeInterval(5, target, "ping", nullptr, false);
    auto repeating = NSTimer::scheduledTimerWithTimeInterval(5, target, "ping", nullptr, true);
    EXPECT_EQ(oneShot->timeInterval(), 0);

    oneShot->fire();
    repeating->fire();
    EXPECT_EQ(target->ticks, 2);
    EXPECT_FALSE(oneShot->isValid());
    EXPECT_TRUE(repeating->isValid());
    EXPECT_NEAR(repeating->fireDate()->timeIntervalSinceReferenceDate(), kStart + 5, 1e-9);

    loop->advance(5);
    EXPECT_EQ(target->ticks, 3);
    repeating->invalidate();
}

TEST_F(TimerTest, TimerAddedInSeveralModesFiresInEachAndFollowsSetFireDate)
{
    int fired = 0;
    auto timer = NSTimer::timerWithTimeInterval(1.0, true, [&](const Ref<NSTimer>&) { ++fired; });
    loop->addTimer(timer, NSDefaultRunLoopMode);
    loop->addTimer(timer, NSEventTrackingRunLoopMode);

    loop->advance(1.0, NSEventTrackingRunLoopMode);
    EXPECT_EQ(fired, 1);
    loop->advance(1.0, NSDefaultRunLoopMode);
    EXPECT_EQ(fired, 2);
    loop->advance(1.0, NSModalPanelRunLoopMode);
    EXPECT_EQ(fired, 2);

    // Moved further out, it waits for its new date.
    timer->setFireDate(NSDate::dateWithTimeIntervalSinceNow(10));
    loop->advance(9.5);
    EXPECT_EQ(fired, 2);
    loop->advance(0.5);
    EXPECT_EQ(fired, 3);
    timer->invalidate();
}
