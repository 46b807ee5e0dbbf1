#pragma once
// Timers on a run loop. A timer retains its target until it is invalidated
// (the weak-target forms do not, and invalidate themselves once the target is
// gone); the run loop keeps a scheduled timer until it is invalidated. A
// repeating timer reschedules from its fire date, skipping intervals it
// missed; a one-shot timer invalidates itself after firing.
#include <functional>
#include <mutex>

#include "Foundation/NSDate.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSRunLoop.h"

class NSTimer : public NSObject {
    NS_OBJECT(NSTimer, NSObject)
protected:
    NSTimer() = default;

public:
    // A timer due within this much of now is due now: fire dates built by
    // adding intervals drift by rounding, and a timer due "at" a time must
    // fire when the clock is moved to that time.
    static constexpr NSTimeInterval kDueTolerance = 1e-9;

    using Block = std::function<void(const Ref<NSTimer>& timer)>;

    // Scheduled in the default mode of the current thread's run loop. The
    // selector takes the timer ("tick:") or nothing.
    static Ref<NSTimer> scheduledTimerWithTimeInterval(NSTimeInterval interval, const Id& target, const SEL& selector,
                                                       const Id& userInfo, bool repeats);
    static Ref<NSTimer> scheduledTimerWithTimeInterval(NSTimeInterval interval, bool repeats, Block block);
    // Not scheduled: add it with NSRunLoop::addTimer in the modes wanted.
    static Ref<NSTimer> timerWithTimeInterval(NSTimeInterval interval, const Id& target, const SEL& selector,
                                              const Id& userInfo, bool repeats);
    static Ref<NSTimer> timerWithTimeInterval(NSTimeInterval interval, bool repeats, Block block);
    // The layer's own timers that must not keep their target alive.
    static Ref<NSTimer> timerWithTimeIntervalWeakTarget(NSTimeInterval interval, const Id& target, const SEL& selector,
                                                        const Id& userInfo, bool repeats);
    static Ref<NSTimer> scheduledTimerWithTimeIntervalWeakTarget(NSTimeInterval interval, const Id& target,
                                                                 const SEL& selector, const Id& userInfo, bool repeats);

    // Sends the message now; a one-shot timer is then invalidated, a
    // repeating one keeps its schedule.
    void fire();
    // Removes the timer from its run loop and releases its target; any thread.
    void invalidate();
    bool isValid() const { return m_valid.load(); }
    Id userInfo() const;
    Ref<NSDate> fireDate() const;
    void setFireDate(const Ref<NSDate>& date);
    NSTimeInterval timeInterval() const { return m_repeats ? m_interval : 0; }

private:
    friend class NSRunLoop;
    // Called by the run loop when the timer is due.
    void fireFromRunLoop();
    // Sends the message; NO when there is no one left to send it to.
    bool send();
    void reschedule(NSTimeInterval scheduled);
    static Ref<NSTimer> make(NSTimeInterval interval, bool repeats);
    NSTimeInterval fireTime() const { return m_fireTime.load(); }
    void attach(NSRunLoop* loop);

    NSTimeInterval m_interval = 0;
    bool m_repeats = false;
    std::atomic<bool> m_valid{true};
    std::atomic<bool> m_firing{false};
    std::atomic<NSTimeInterval> m_fireTime{0};
    mutable std::mutex m_lock;
    Id m_target;
    Weak<NSObject> m_weakTarget;
    bool m_targetIsWeak = false;
    SEL m_selector;
    Id m_userInfo;
    Block m_block;
    Weak<NSRunLoop> m_runLoop;
};
