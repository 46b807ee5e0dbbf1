#pragma once
// One run loop per thread. Timers, queued performs, file-descriptor sources
// and end-of-turn observers each belong to a set of modes, and a pass in a
// mode serves only that mode's: a nested run in the event-tracking mode
// leaves default-mode timers waiting. The main run loop also drains the main
// queue in every mode. Waiting uses poll() with the next timer's time-out on
// the real clock; on the virtual clock a loop never sleeps for a timer, it
// waits until someone advances the clock or posts work (see Clock.h).
// Passes run on the loop's own thread; adding timers, performs and sources,
// stop and wakeUp may be called from any thread.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Foundation/NSDate.h"
#include "Foundation/NSObject.h"

class NSTimer;

using NSRunLoopMode = std::string;
using NSRunLoopModes = std::vector<NSRunLoopMode>;

inline constexpr char NSDefaultRunLoopMode[] = "kCFRunLoopDefaultMode";
inline constexpr char NSEventTrackingRunLoopMode[] = "NSEventTrackingRunLoopMode";
inline constexpr char NSModalPanelRunLoopMode[] = "NSModalPanelRunLoopMode";
// In a set of modes, stands for the three modes above.
inline constexpr char NSRunLoopCommonModes[] = "kCFRunLoopCommonModes";

class NSRunLoop : public NSObject {
    NS_OBJECT(NSRunLoop, NSObject)
protected:
    NSRunLoop();

public:
    using SourceID = uint64_t;

    ~NSRunLoop() override;

    // The current thread's run loop, made on first use.
    static Ref<NSRunLoop> currentRunLoop();
    // The main thread's run loop (NSThread::mainThread).
    static Ref<NSRunLoop> mainRunLoop();

    // The mode of the innermost pass running now; empty when not running.
    NSRunLoopMode currentMode() const;

    // The loop keeps the timer until it is invalidated. A timer belongs to
    // one loop; adding it again adds modes.
    void addTimer(const Ref<NSTimer>& timer, const NSRunLoopMode& mode);

    // One pass in the mode: fires the mode's due timers, runs its queued
    // performs and ready sources, drains the main queue (main loop), and when
    // none of that had work waits until the limit date, the next timer of the
    // mode, or something arriving, then serves what arrived. End-of-turn
    // observers and the deferred-release queue run at the end. Answers NO at
    // once when the mode has no timer, source or perform at all.
    bool runModeBeforeDate(const NSRunLoopMode& mode, const Ref<NSDate>& limitDate);
    // Passes in the default mode until the date, stop(), or nothing left.
    void runUntilDate(const Ref<NSDate>& limitDate);
    void run();
    // Ends the innermost pass (and run/runUntilDate around it); any thread.
    void stop();
    // Makes a waiting pass return; any thread.
    void wakeUp();
    // Wakes every run loop of the process (the clock moved).
    static void wakeAll();

    // Runs the block in a coming pass in one of the modes, on the loop's
    // thread; any thread may call it.
    void performBlock(const NSRunLoopModes& modes, std::function<void()> block);
    // performSelector:target:argument:order:modes: — sends the selector in the
    // next pass of one of the modes; lower orders first. Retains target and
    // argument until sent or cancelled.
    void performSelector(const SEL& selector, const Id& target, const Id& argument, NSUInteger order,
                         const NSRunLoopModes& modes);
    using NSObject::performSelector;
    // Cancels those matching the target, the selector and an equal argument.
    void cancelPerformSelector(const SEL& selector, const Id& target, const Id& argument);
    void cancelPerformSelectorsWithTarget(const Id& target);

    // Calls back on the loop's thread whenever the descriptor is readable (or
    // hung up) during a pass in one of the modes. The callback must consume
    // what is there. The caller keeps the descriptor open until removal.
    SourceID addFileDescriptorSource(int fd, const NSRunLoopModes& modes, std::function<void()> callback);
    // Calls back at the end of every pass in one of the modes, lower orders
    // first, before the deferred-release queue drains (display, flushing).
    SourceID addObserver(const NSRunLoopModes& modes, std::function<void()> callback, NSInteger order = 0);
    // Removes a descriptor source or an observer.
    void removeSource(SourceID source);

    // --- Driving the loop from tests (meant for the virtual clock) ---
    // Runs passes without waiting or moving the clock until no timer is due,
    // no perform is pending, no source is ready and the main queue is empty.
    // Answers NO when work kept coming (10000 passes).
    bool runUntilIdle(const NSRunLoopMode& mode = NSDefaultRunLoopMode);
    // Moves the virtual clock forward by the interval, stopping at each timer
    // of the mode so that timers fire in due order, each at its own time.
    void advance(NSTimeInterval seconds, const NSRunLoopMode& mode = NSDefaultRunLoopMode);
    // Runs the mode until the predicate holds, advancing the virtual clock
    // from timer to timer up to the time-out and otherwise waiting for other
    // threads; never longer than the time-out in real time. Answers whether
    // the predicate held.
    bool runUntil(const std::function<bool()>& predicate, NSTimeInterval timeout,
                  const NSRunLoopMode& mode = NSDefaultRunLoopMode);
    // What is pending, for failure messages.
    std::string describePending() const;

    // The loop's lists, behind one lock (NSRunLoop.cpp).
    struct State;

private:
    friend class NSObject;
    friend class NSThread;
    friend class NSTimer;

    struct PassResult {
        bool handled = false;
        bool stopped = false;
    };
    // realWait < 0: no bound in real time.
    PassResult runPass(const NSRunLoopMode& mode, NSTimeInterval limit, NSTimeInterval realWait);
    bool doWork(const NSRunLoopMode& mode);
    bool fireDueTimers(const NSRunLoopMode& mode);
    bool runPerforms(const NSRunLoopMode& mode);
    bool serveSources(const NSRunLoopMode& mode, int timeoutMs);
    void wait(const NSRunLoopMode& mode, NSTimeInterval limit, NSTimeInterval realWait);
    void runObservers(const NSRunLoopMode& mode);
    bool hasAnythingInMode(const NSRunLoopMode& mode) const;
    // The earliest fire date of the mode's timers that can fire now.
    NSTimeInterval nextTimerDate(const NSRunLoopMode& mode) const;
    void removeTimer(const NSTimer* timer);

    // Delayed performs (performSelector:withObject:afterDelay:).
    void performAfterDelay(const Id& target, const SEL& selector, const Id& argument, NSTimeInterval delay,
                           const NSRunLoopModes& modes);
    void cancelDelayedPerforms(const Id& target, const SEL* selector, const Id& argument);
    void forgetDelayedPerform(const NSTimer* timer);

    bool m_isMain = false;
    std::unique_ptr<State> m_state;
};
