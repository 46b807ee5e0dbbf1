#include "Foundation/NSTimer.h"

#include <cmath>

#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSTimer)

namespace {
// A repeating timer needs some interval, or it would fire for ever.
constexpr NSTimeInterval kMinimumInterval = 0.0001;
}

Ref<NSTimer> NSTimer::make(NSTimeInterval interval, bool repeats)
{
    auto timer = alloc<NSTimer>();
    timer->m_repeats = repeats;
    timer->m_interval = repeats ? std::max(interval, kMinimumInterval) : interval;
    timer->m_fireTime.store(Clock::now() + std::max(0.0, timer->m_interval));
    return timer;
}

Ref<NSTimer> NSTimer::timerWithTimeInterval(NSTimeInterval interval, const Id& target, const SEL& selector,
                                            const Id& userInfo, bool repeats)
{
    auto timer = make(interval, repeats);
    timer->m_target = target;
    timer->m_selector = selector;
    timer->m_userInfo = userInfo;
    return timer;
}

Ref<NSTimer> NSTimer::timerWithTimeInterval(NSTimeInterval interval, bool repeats, Block block)
{
    auto timer = make(interval, repeats);
    timer->m_block = std::move(block);
    return timer;
}

Ref<NSTimer> NSTimer::timerWithTimeIntervalWeakTarget(NSTimeInterval interval, const Id& target, const SEL& selector,
                                                      const Id& userInfo, bool repeats)
{
    auto timer = make(interval, repeats);
    timer->m_weakTarget = target;
    timer->m_targetIsWeak = true;
    timer->m_selector = selector;
    timer->m_userInfo = userInfo;
    return timer;
}

Ref<NSTimer> NSTimer::scheduledTimerWithTimeInterval(NSTimeInterval interval, const Id& target, const SEL& selector,
                                                     const Id& userInfo, bool repeats)
{
    auto timer = timerWithTimeInterval(interval, target, selector, userInfo, repeats);
    NSRunLoop::currentRunLoop()->addTimer(timer, NSDefaultRunLoopMode);
    return timer;
}

Ref<NSTimer> NSTimer::scheduledTimerWithTimeInterval(NSTimeInterval interval, bool repeats, Block block)
{
    auto timer = timerWithTimeInterval(interval, repeats, std::move(block));
    NSRunLoop::currentRunLoop()->addTimer(timer, NSDefaultRunLoopMode);
    return timer;
}

Ref<NSTimer> NSTimer::scheduledTimerWithTimeIntervalWeakTarget(NSTimeInterval interval, const Id& target,
                                                               const SEL& selector, const Id& userInfo, bool repeats)
{
    auto timer = timerWithTimeIntervalWeakTarget(interval, target, selector, userInfo, repeats);
    NSRunLoop::currentRunLoop()->addTimer(timer, NSDefaultRunLoopMode);
    return timer;
}

bool NSTimer::send()
{
    Id target;
    Block block;
    SEL selector;
    {
        std::lock_guard guard(m_lock);
        target = m_targetIsWeak ? m_weakTarget.get() : m_target;
        block = m_block;
        selector = m_selector;
    }
    Ref<NSTimer> self(this);
    if (block) {
        block(self);
        return true;
    }
    if (!target) return false;
    target->performSelector(selector, self);
    return true;
}

void NSTimer::fire()
{
    if (!isValid()) return;
    Ref<NSTimer> self(this);
    if (!send() || !m_repeats) invalidate();
}

void NSTimer::fireFromRunLoop()
{
    if (!isValid() || m_firing.exchange(true)) return;
    Ref<NSTimer> self(this);
    const NSTimeInterval scheduled = fireTime();
    bool sent = true;
    try {
        sent = send();
    } catch (...) {
        m_firing.store(false);
        reschedule(scheduled);
        throw;
    }
    m_firing.store(false);
    if (!sent) invalidate();
    reschedule(scheduled);
}

void NSTimer::reschedule(NSTimeInterval scheduled)
{
    if (!m_repeats) {
        invalidate();
        return;
    }
    // Leave a timer alone that its callback invalidated or moved.
    if (!isValid() || fireTime() != scheduled) return;
    const NSTimeInterval now = Clock::now() + kDueTolerance;
    NSTimeInterval next = scheduled + m_interval;
    if (next <= now) next += std::ceil((now - next) / m_interval) * m_interval;
    if (next <= now) next += m_interval;
    m_fireTime.store(next);
}

void NSTimer::invalidate()
{
    if (!m_valid.exchange(false)) return;
    Ref<NSTimer> self(this);
    Id target;
    Block block;
    Ref<NSRunLoop> loop;
    {
        std::lock_guard guard(m_lock);
        target = std::move(m_target);
        block = std::move(m_block);
        m_block = nullptr;
        m_weakTarget = nullptr;
        loop = m_runLoop.get();
    }
    if (loop) loop->removeTimer(this);
    // The target and the block (with what it holds) go here, outside the lock.
}

Id NSTimer::userInfo() const
{
    std::lock_guard guard(m_lock);
    return m_userInfo;
}

Ref<NSDate> NSTimer::fireDate() const { return NSDate::dateWithTimeIntervalSinceReferenceDate(fireTime()); }

void NSTimer::setFireDate(const Ref<NSDate>& date)
{
    if (!isValid() || !date) return;
    m_fireTime.store(date->timeIntervalSinceReferenceDate());
    Ref<NSRunLoop> loop;
    {
        std::lock_guard guard(m_lock);
        loop = m_runLoop.get();
    }
    // A loop waiting for the old date must recompute its time-out.
    if (loop) loop->wakeUp();
}

void NSTimer::attach(NSRunLoop* loop)
{
    std::lock_guard guard(m_lock);
    Ref<NSRunLoop> current = m_runLoop.get();
    if (current && current.get() != loop)
        NSException::raise(NSInvalidArgumentException, "A timer can be scheduled on one run loop only");
    m_runLoop = Weak<NSRunLoop>(loop);
}
