#include "Foundation/NSRunLoop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <sstream>
#include <utility>

#include "Foundation/Clock.h"
#include "Foundation/DispatchQueue.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSThread.h"
#include "Foundation/NSTimer.h"

NS_CLASS_DEFINE(NSRunLoop)

namespace {

constexpr NSTimeInterval kNever = std::numeric_limits<NSTimeInterval>::infinity();
// Dates further away than this (distantFuture) count as never.
constexpr NSTimeInterval kFarAway = 1e9;
constexpr int kIdlePassLimit = 10000;
constexpr NSTimeInterval kPredicatePollInterval = 0.005;

bool isCommonMode(const NSRunLoopMode& mode)
{
    return mode == NSDefaultRunLoopMode || mode == NSEventTrackingRunLoopMode || mode == NSModalPanelRunLoopMode;
}

bool modesContain(const NSRunLoopModes& modes, const NSRunLoopMode& mode)
{
    for (const auto& m : modes) {
        if (m == mode) return true;
        if (m == NSRunLoopCommonModes && isCommonMode(mode)) return true;
    }
    return false;
}

std::string joined(const NSRunLoopModes& modes)
{
    std::string text;
    for (const auto& m : modes) text += (text.empty() ? "" : ",") + m;
    return text;
}

bool argumentsEqual(const Id& a, const Id& b)
{
    if (a == b) return true;
    return a && b && a->isEqual(b.get());
}

// Every live loop, so that a clock change can wake them all. Never destroyed:
// loops may die during static destruction.
std::mutex& loopsLock()
{
    static auto* lock = new std::mutex;
    return *lock;
}
std::vector<NSRunLoop*>& liveLoops()
{
    static auto* loops = new std::vector<NSRunLoop*>;
    return *loops;
}

}

struct NSRunLoop::State {
    struct TimerEntry {
        Ref<NSTimer> timer;
        NSRunLoopModes modes;
        uint64_t seq = 0;
    };
    struct Perform {
        uint64_t seq = 0;
        NSUInteger order = 0;
        NSRunLoopModes modes;
        std::function<void()> call;
        // Set for performSelector:target:argument:order:modes:, for cancelling.
        bool cancellable = false;
        Id target;
        SEL selector;
        Id argument;
    };
    struct DelayedPerform {
        Ref<NSTimer> timer;
        Id target;
        SEL selector;
        Id argument;
    };
    struct Source {
        SourceID id = 0;
        int fd = -1;
        NSRunLoopModes modes;
        std::function<void()> callback;
    };
    struct Observer {
        SourceID id = 0;
        NSRunLoopModes modes;
        NSInteger order = 0;
        std::function<void()> callback;
    };

    mutable std::mutex lock;
    int wakeFd = -1;
    uint64_t nextSeq = 1;
    std::vector<TimerEntry> timers;
    std::vector<Perform> performs;
    std::vector<DelayedPerform> delayed;
    std::vector<Source> sources;
    std::vector<Observer> observers;
    std::vector<NSRunLoopMode> modeStack;
    std::atomic<bool> stopRequested{false};
};

namespace {

// The mode of a running pass, for currentMode and nesting.
class ModeScope {
public:
    ModeScope(NSRunLoop::State& state, const NSRunLoopMode& mode)
        : m_state(state)
    {
        std::lock_guard guard(m_state.lock);
        m_state.modeStack.push_back(mode);
    }
    ~ModeScope()
    {
        std::lock_guard guard(m_state.lock);
        m_state.modeStack.pop_back();
    }

private:
    NSRunLoop::State& m_state;
};

void drainEventFd(int fd)
{
    uint64_t value;
    while (::read(fd, &value, sizeof value) > 0) { }
}

}

NSRunLoop::NSRunLoop()
    : m_state(std::make_unique<State>())
{
    m_state->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_state->wakeFd < 0)
        NSException::raise(NSInternalInconsistencyException,
                           std::string("Cannot make a run loop: ") + std::strerror(errno));
    std::lock_guard guard(loopsLock());
    liveLoops().push_back(this);
}

NSRunLoop::~NSRunLoop()
{
    {
        std::lock_guard guard(loopsLock());
        std::erase(liveLoops(), this);
    }
    ::close(m_state->wakeFd);
}

Ref<NSRunLoop> NSRunLoop::currentRunLoop() { return NSThread::currentThread()->runLoop(); }

Ref<NSRunLoop> NSRunLoop::mainRunLoop() { return NSThread::mainThread()->runLoop(); }

NSRunLoopMode NSRunLoop::currentMode() const
{
    std::lock_guard guard(m_state->lock);
    return m_state->modeStack.empty() ? NSRunLoopMode() : m_state->modeStack.back();
}

// --- Timers ---

void NSRunLoop::addTimer(const Ref<NSTimer>& timer, const NSRunLoopMode& mode)
{
    if (!timer) return;
    timer->attach(this);
    {
        std::lock_guard guard(m_state->lock);
        if (!timer->isValid()) return;
        auto it = std::find_if(m_state->timers.begin(), m_state->timers.end(),
                               [&](const State::TimerEntry& e) { return e.timer == timer; });
        if (it == m_state->timers.end()) {
            m_state->timers.push_back({timer, {mode}, m_state->nextSeq++});
        } else if (std::find(it->modes.begin(), it->modes.end(), mode) == it->modes.end()) {
            it->modes.push_back(mode);
        }
    }
    wakeUp();
}

void NSRunLoop::removeTimer(const NSTimer* timer)
{
    State::TimerEntry removed;
    {
        std::lock_guard guard(m_state->lock);
        auto it = std::find_if(m_state->timers.begin(), m_state->timers.end(),
                               [&](const State::TimerEntry& e) { return e.timer.get() == timer; });
        if (it == m_state->timers.end()) return;
        removed = std::move(*it);
        m_state->timers.erase(it);
    }
    // The entry's reference goes here, outside the lock.
}

NSTimeInterval NSRunLoop::nextTimerDate(const NSRunLoopMode& mode) const
{
    std::lock_guard guard(m_state->lock);
    NSTimeInterval next = kNever;
    for (const auto& e : m_state->timers) {
        if (!modesContain(e.modes, mode) || !e.timer->isValid() || e.timer->m_firing.load()) continue;
        next = std::min(next, e.timer->fireTime());
    }
    return next;
}

bool NSRunLoop::fireDueTimers(const NSRunLoopMode& mode)
{
    const NSTimeInterval now = Clock::now() + NSTimer::kDueTolerance;
    struct Due {
        NSTimeInterval time;
        uint64_t seq;
        Ref<NSTimer> timer;
    };
    std::vector<Due> due;
    {
        std::lock_guard guard(m_state->lock);
        for (const auto& e : m_state->timers) {
            if (!modesContain(e.modes, mode) || !e.timer->isValid() || e.timer->m_firing.load()) continue;
            if (e.timer->fireTime() <= now) due.push_back({e.timer->fireTime(), e.seq, e.timer});
        }
    }
    std::sort(due.begin(), due.end(),
              [](const Due& a, const Due& b) { return a.time != b.time ? a.time < b.time : a.seq < b.seq; });
    for (const auto& d : due) {
        // An earlier callback may have invalidated or moved this one.
        if (!d.timer->isValid() || d.timer->fireTime() > now) continue;
        d.timer->fireFromRunLoop();
    }
    return !due.empty();
}

// --- Performs ---

void NSRunLoop::performBlock(const NSRunLoopModes& modes, std::function<void()> block)
{
    if (!block) return;
    {
        std::lock_guard guard(m_state->lock);
        State::Perform p;
        p.seq = m_state->nextSeq++;
        p.modes = modes.empty() ? NSRunLoopModes{NSRunLoopCommonModes} : modes;
        p.call = std::move(block);
        m_state->performs.push_back(std::move(p));
    }
    wakeUp();
}

void NSRunLoop::performSelector(const SEL& selector, const Id& target, const Id& argument, NSUInteger order,
                                const NSRunLoopModes& modes)
{
    if (!target) return;
    {
        std::lock_guard guard(m_state->lock);
        State::Perform p;
        p.seq = m_state->nextSeq++;
        p.order = order;
        p.modes = modes;
        p.call = [target, selector, argument] { target->performSelector(selector, argument); };
        p.cancellable = true;
        p.target = target;
        p.selector = selector;
        p.argument = argument;
        m_state->performs.push_back(std::move(p));
    }
    wakeUp();
}

void NSRunLoop::cancelPerformSelector(const SEL& selector, const Id& target, const Id& argument)
{
    std::vector<State::Perform> cancelled;
    {
        std::lock_guard guard(m_state->lock);
        auto& list = m_state->performs;
        auto matches = [&](const State::Perform& p) {
            return p.cancellable && p.target == target && p.selector == selector &&
                   argumentsEqual(p.argument, argument);
        };
        for (auto it = list.begin(); it != list.end();) {
            if (!matches(*it)) {
                ++it;
                continue;
            }
            cancelled.push_back(std::move(*it));
            it = list.erase(it);
        }
    }
}

void NSRunLoop::cancelPerformSelectorsWithTarget(const Id& target)
{
    std::vector<State::Perform> cancelled;
    {
        std::lock_guard guard(m_state->lock);
        auto& list = m_state->performs;
        for (auto it = list.begin(); it != list.end();) {
            if (!it->cancellable || it->target != target) {
                ++it;
                continue;
            }
            cancelled.push_back(std::move(*it));
            it = list.erase(it);
        }
    }
}

bool NSRunLoop::runPerforms(const NSRunLoopMode& mode)
{
    // Only what was queued before this pass runs now; what those calls queue
    // waits for the next pass.
    std::vector<std::pair<NSUInteger, uint64_t>> batch;
    {
        std::lock_guard guard(m_state->lock);
        for (const auto& p : m_state->performs)
            if (modesContain(p.modes, mode)) batch.emplace_back(p.order, p.seq);
    }
    std::sort(batch.begin(), batch.end());
    bool ran = false;
    for (const auto& [order, seq] : batch) {
        State::Perform perform;
        {
            std::lock_guard guard(m_state->lock);
            auto& list = m_state->performs;
            auto it =
                std::find_if(list.begin(), list.end(), [seq = seq](const State::Perform& p) { return p.seq == seq; });
            if (it == list.end()) continue;  // cancelled by an earlier call
            perform = std::move(*it);
            list.erase(it);
        }
        ran = true;
        perform.call();
    }
    return ran;
}

void NSRunLoop::performAfterDelay(const Id& target, const SEL& selector, const Id& argument, NSTimeInterval delay,
                                  const NSRunLoopModes& modes)
{
    if (!target) return;
    NSRunLoop* loop = this;  // the timer only fires on this loop
    auto timer = NSTimer::timerWithTimeInterval(std::max(0.0, delay), false,
                                                [loop, target, selector, argument](const Ref<NSTimer>& t) {
                                                    loop->forgetDelayedPerform(t.get());
                                                    target->performSelector(selector, argument);
                                                });
    {
        std::lock_guard guard(m_state->lock);
        m_state->delayed.push_back({timer, target, selector, argument});
    }
    for (const auto& mode : modes.empty() ? NSRunLoopModes{NSDefaultRunLoopMode} : modes) addTimer(timer, mode);
}

void NSRunLoop::cancelDelayedPerforms(const Id& target, const SEL* selector, const Id& argument)
{
    std::vector<State::DelayedPerform> cancelled;
    {
        std::lock_guard guard(m_state->lock);
        auto& list = m_state->delayed;
        auto matches = [&](const State::DelayedPerform& d) {
            if (d.target != target) return false;
            return !selector || (d.selector == *selector && argumentsEqual(d.argument, argument));
        };
        for (auto it = list.begin(); it != list.end();) {
            if (!matches(*it)) {
                ++it;
                continue;
            }
            cancelled.push_back(std::move(*it));
            it = list.erase(it);
        }
    }
    for (auto& d : cancelled) d.timer->invalidate();
}

void NSRunLoop::forgetDelayedPerform(const NSTimer* timer)
{
    State::DelayedPerform forgotten;
    std::lock_guard guard(m_state->lock);
    auto& list = m_state->delayed;
    auto it =
        std::find_if(list.begin(), list.end(), [&](const State::DelayedPerform& d) { return d.timer.get() == timer; });
    if (it == list.end()) return;
    forgotten = std::move(*it);
    list.erase(it);
    // The record's target stays alive through the call: the timer's block holds it too.
}

// --- Sources and observers ---

NSRunLoop::SourceID NSRunLoop::addFileDescriptorSource(int fd, const NSRunLoopModes& modes,
                                                       std::function<void()> callback)
{
    SourceID id;
    {
        std::lock_guard guard(m_state->lock);
        id = m_state->nextSeq++;
        m_state->sources.push_back({id, fd, modes, std::move(callback)});
    }
    // A waiting pass must poll the new descriptor too.
    wakeUp();
    return id;
}

NSRunLoop::SourceID NSRunLoop::addObserver(const NSRunLoopModes& modes, std::function<void()> callback, NSInteger order)
{
    std::lock_guard guard(m_state->lock);
    SourceID id = m_state->nextSeq++;
    m_state->observers.push_back({id, modes, order, std::move(callback)});
    return id;
}

void NSRunLoop::removeSource(SourceID source)
{
    std::function<void()> callback;  // released outside the lock
    std::lock_guard guard(m_state->lock);
    auto& sources = m_state->sources;
    auto s = std::find_if(sources.begin(), sources.end(), [&](const State::Source& e) { return e.id == source; });
    if (s != sources.end()) {
        callback = std::move(s->callback);
        sources.erase(s);
        return;
    }
    auto& observers = m_state->observers;
    auto o = std::find_if(observers.begin(), observers.end(), [&](const State::Observer& e) { return e.id == source; });
    if (o != observers.end()) {
        callback = std::move(o->callback);
        observers.erase(o);
    }
}

bool NSRunLoop::serveSources(const NSRunLoopMode& mode, int timeoutMs)
{
    std::vector<pollfd> fds;
    std::vector<SourceID> ids;
    {
        std::lock_guard guard(m_state->lock);
        for (const auto& s : m_state->sources) {
            if (!modesContain(s.modes, mode)) continue;
            fds.push_back({s.fd, POLLIN, 0});
            ids.push_back(s.id);
        }
    }
    if (fds.empty() || ::poll(fds.data(), fds.size(), timeoutMs) <= 0) return false;
    bool handled = false;
    for (size_t i = 0; i < fds.size(); ++i) {
        if (!fds[i].revents) continue;
        if (fds[i].revents & POLLNVAL) {
            // A closed descriptor would wake every pass for ever.
            NSLog("Run loop source on descriptor %d removed: the descriptor is not open", fds[i].fd);
            removeSource(ids[i]);
            continue;
        }
        std::function<void()> callback;
        {
            std::lock_guard guard(m_state->lock);
            auto& sources = m_state->sources;
            auto s =
                std::find_if(sources.begin(), sources.end(), [&](const State::Source& e) { return e.id == ids[i]; });
            if (s == sources.end()) continue;  // removed by an earlier callback
            callback = s->callback;
        }
        handled = true;
        callback();
    }
    return handled;
}

void NSRunLoop::runObservers(const NSRunLoopMode& mode)
{
    std::vector<std::pair<NSInteger, SourceID>> due;
    {
        std::lock_guard guard(m_state->lock);
        for (const auto& o : m_state->observers)
            if (modesContain(o.modes, mode)) due.emplace_back(o.order, o.id);
    }
    std::sort(due.begin(), due.end());
    for (const auto& [order, id] : due) {
        std::function<void()> callback;
        {
            std::lock_guard guard(m_state->lock);
            auto& observers = m_state->observers;
            auto o = std::find_if(observers.begin(), observers.end(),
                                  [id = id](const State::Observer& e) { return e.id == id; });
            if (o == observers.end()) continue;
            callback = o->callback;
        }
        callback();
    }
}

// --- Passes ---

bool NSRunLoop::hasAnythingInMode(const NSRunLoopMode& mode) const
{
    // The main queue is a source of the main loop in every mode.
    if (m_isMain) return true;
    std::lock_guard guard(m_state->lock);
    for (const auto& e : m_state->timers)
        if (modesContain(e.modes, mode) && e.timer->isValid()) return true;
    for (const auto& p : m_state->performs)
        if (modesContain(p.modes, mode)) return true;
    for (const auto& s : m_state->sources)
        if (modesContain(s.modes, mode)) return true;
    return false;
}

bool NSRunLoop::doWork(const NSRunLoopMode& mode)
{
    bool handled = fireDueTimers(mode);
    handled |= runPerforms(mode);
    if (m_isMain) handled |= DispatchQueue::drainMainQueue();
    handled |= serveSources(mode, 0);
    return handled;
}

void NSRunLoop::wait(const NSRunLoopMode& mode, NSTimeInterval limit, NSTimeInterval realWait)
{
    const NSTimeInterval now = Clock::now();
    const NSTimeInterval wakeAt = std::min(limit, nextTimerDate(mode));
    NSTimeInterval seconds = -1;  // no bound
    if (Clock::isVirtual()) {
        // Time does not pass by itself: wait for another thread, a source, or
        // a clock change, unless the test asked idle loops to jump the clock.
        if (Clock::advancesWhenIdle() && wakeAt < now + kFarAway) {
            Clock::advanceTo(wakeAt);
            drainEventFd(m_state->wakeFd);
            return;
        }
        seconds = realWait;
    } else {
        if (wakeAt < now + kFarAway) seconds = std::max(0.0, wakeAt - now);
        if (realWait >= 0 && (seconds < 0 || seconds > realWait)) seconds = realWait;
    }

    std::vector<pollfd> fds{{m_state->wakeFd, POLLIN, 0}};
    {
        std::lock_guard guard(m_state->lock);
        for (const auto& s : m_state->sources)
            if (modesContain(s.modes, mode)) fds.push_back({s.fd, POLLIN, 0});
    }
    timespec timeout{};
    if (seconds >= 0) {
        seconds = std::min(seconds, 86400.0);
        timeout.tv_sec = static_cast<time_t>(seconds);
        timeout.tv_nsec = static_cast<long>((seconds - static_cast<double>(timeout.tv_sec)) * 1e9);
    }
    ::ppoll(fds.data(), fds.size(), seconds >= 0 ? &timeout : nullptr, nullptr);
    if (fds[0].revents) drainEventFd(m_state->wakeFd);
}

namespace {

// The loop running a pass on this thread, if any.
thread_local const NSRunLoop* t_passing = nullptr;

class PassScope {
public:
    explicit PassScope(const NSRunLoop* loop)
        : m_previous(std::exchange(t_passing, loop))
    { }
    ~PassScope() { t_passing = m_previous; }

private:
    const NSRunLoop* m_previous;
};

}

NSRunLoop::PassResult NSRunLoop::runPass(const NSRunLoopMode& mode, NSTimeInterval limit, NSTimeInterval realWait)
{
    Ref<NSRunLoop> self(this);
    ModeScope scope(*m_state, mode);
    PassScope passing(this);
    PassResult result;
    {
        // Objects autoreleased during this pass live until its end, and no
        // longer; a nested pass drains only its own.
        NSAutoreleasePool pool;
        result.handled = doWork(mode);
        if (!result.handled && !m_state->stopRequested.load() && Clock::now() < limit) {
            wait(mode, limit, realWait);
            result.handled = doWork(mode);
        }
        runObservers(mode);
    }
    result.stopped = m_state->stopRequested.exchange(false);
    return result;
}

bool NSRunLoop::runModeBeforeDate(const NSRunLoopMode& mode, const Ref<NSDate>& limitDate)
{
    if (!hasAnythingInMode(mode)) return false;
    runPass(mode, limitDate ? limitDate->timeIntervalSinceReferenceDate() : Clock::now(), -1);
    return true;
}

void NSRunLoop::runUntilDate(const Ref<NSDate>& limitDate)
{
    const NSTimeInterval limit = limitDate ? limitDate->timeIntervalSinceReferenceDate() : Clock::now();
    while (hasAnythingInMode(NSDefaultRunLoopMode)) {
        if (runPass(NSDefaultRunLoopMode, limit, -1).stopped || Clock::now() >= limit) return;
    }
}

void NSRunLoop::run() { runUntilDate(NSDate::distantFuture()); }

void NSRunLoop::stop()
{
    m_state->stopRequested.store(true);
    wakeUp();
}

void NSRunLoop::wakeUp()
{
    // Work added by the loop's own pass needs no wake: a pass looks at its
    // work before it waits (and saves a write, a wake and a pass per event).
    if (t_passing == this) return;
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(m_state->wakeFd, &one, sizeof one);
}

void NSRunLoop::wakeAll()
{
    std::lock_guard guard(loopsLock());
    for (NSRunLoop* loop : liveLoops()) loop->wakeUp();
}

// --- Test drivers ---

bool NSRunLoop::runUntilIdle(const NSRunLoopMode& mode)
{
    for (int i = 0; i < kIdlePassLimit; ++i)
        if (!runPass(mode, -kNever, -1).handled) return true;
    return false;
}

void NSRunLoop::advance(NSTimeInterval seconds, const NSRunLoopMode& mode)
{
    if (!Clock::isVirtual()) NSException::raise(NSInternalInconsistencyException, "advance needs the virtual clock");
    const NSTimeInterval target = Clock::now() + std::max(0.0, seconds);
    runUntilIdle(mode);
    // Stop at each timer's own time so that it sees the clock it was due at.
    for (NSTimeInterval next = nextTimerDate(mode); next <= target + NSTimer::kDueTolerance;
         next = nextTimerDate(mode)) {
        Clock::advanceTo(next);
        if (!runUntilIdle(mode)) break;
    }
    Clock::advanceTo(target);
    runUntilIdle(mode);
}

bool NSRunLoop::runUntil(const std::function<bool()>& predicate, NSTimeInterval timeout, const NSRunLoopMode& mode)
{
    using SteadyClock = std::chrono::steady_clock;
    const auto realDeadline =
        SteadyClock::now() + std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(timeout));
    const NSTimeInterval clockDeadline = Clock::now() + timeout;
    for (;;) {
        runUntilIdle(mode);
        if (predicate()) return true;
        const NSTimeInterval remaining = std::chrono::duration<double>(realDeadline - SteadyClock::now()).count();
        if (remaining <= 0) return false;
        if (Clock::isVirtual()) {
            const NSTimeInterval next = nextTimerDate(mode);
            if (next <= clockDeadline) {
                Clock::advanceTo(next);
                continue;
            }
        }
        // The predicate may turn on another thread's work that never wakes
        // this loop, so look again at least every few milliseconds.
        const NSTimeInterval slice = std::min(remaining, kPredicatePollInterval);
        runPass(mode, Clock::isVirtual() ? kNever : Clock::now() + slice, slice);
    }
}

std::string NSRunLoop::describePending() const
{
    std::ostringstream out;
    const NSTimeInterval now = Clock::now();
    out << (Clock::isVirtual() ? "virtual" : "real") << " clock";
    std::lock_guard guard(m_state->lock);
    if (!m_state->modeStack.empty()) out << "; running in " << m_state->modeStack.back();
    for (const auto& e : m_state->timers)
        out << "; timer in " << joined(e.modes) << " due in " << (e.timer->fireTime() - now) << " s"
            << (e.timer->isValid() ? "" : " (invalid)");
    for (const auto& d : m_state->delayed) out << "; delayed " << d.target->realClass().name() << " " << d.selector;
    for (const auto& p : m_state->performs)
        out << "; perform in " << joined(p.modes) << (p.cancellable ? " " + p.selector : "");
    for (const auto& s : m_state->sources) out << "; descriptor " << s.fd << " in " << joined(s.modes);
    if (m_isMain) out << "; main queue holds " << DispatchQueue::mainQueuePendingCount();
    return out.str();
}
