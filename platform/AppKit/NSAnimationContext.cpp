#include "AppKit/NSAnimationContext.h"

#include <algorithm>
#include <vector>

#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSTimer.h"

NS_CLASS_DEFINE(NSAnimationContext)

namespace {

constexpr NSTimeInterval kFrameInterval = 1.0 / 60;

struct Running {
    std::function<void(double)> step;
    NSTimeInterval start, duration;
    Ref<NSAnimationContext> group;
};

struct AnimationState {
    std::vector<Ref<NSAnimationContext>> groups;
    Ref<NSAnimationContext> implicitGroup;
    std::vector<Running> running;
    std::vector<std::pair<uint64_t, NSAnimationContext::FrameHandler>> handlers;
    uint64_t lastHandler = 0;
    Ref<NSTimer> timer;
};

// Views and their animations live on the main thread.
AnimationState& state()
{
    static AnimationState s;
    return s;
}

void stopTimerWhenUnused()
{
    auto& s = state();
    if (s.running.empty() && s.handlers.empty() && s.timer) {
        s.timer->invalidate();
        s.timer = nullptr;
    }
}

void tick();

void startTimer()
{
    auto& s = state();
    if (s.timer) return;
    s.timer = NSTimer::timerWithTimeInterval(kFrameInterval, true, [](const Ref<NSTimer>&) { tick(); });
    NSRunLoop::currentRunLoop()->addTimer(s.timer, NSRunLoopCommonModes);
}

void tick()
{
    auto& s = state();
    // A handler may remove itself or others: walk a copy, skipping removed ones.
    const auto handlers = s.handlers;
    for (const auto& [id, handler] : handlers) {
        const bool stillThere = std::any_of(s.handlers.begin(), s.handlers.end(),
                                            [id = id](const auto& entry) { return entry.first == id; });
        if (stillThere) handler();
    }
    const NSTimeInterval now = Clock::now();
    std::vector<Running> finished;
    std::vector<Running> still;
    for (auto& a : std::vector<Running>(s.running)) {
        const double progress = a.duration <= 0 ? 1 : std::min(1.0, (now - a.start) / a.duration);
        a.step(progress);
        (progress >= 1 ? finished : still).push_back(a);
    }
    s.running = std::move(still);
    stopTimerWhenUnused();
    for (auto& a : finished)
        if (a.group) a.group->finishOne();
}

}

void NSAnimationContext::beginGrouping() { state().groups.push_back(make<NSAnimationContext>()); }

void NSAnimationContext::endGrouping()
{
    auto& s = state();
    if (s.groups.empty()) return;
    auto group = s.groups.back();
    s.groups.pop_back();
    group->m_closed = true;
    if (group->m_pending == 0 && group->m_completion) {
        auto completion = std::move(group->m_completion);
        completion();
    }
}

Ref<NSAnimationContext> NSAnimationContext::currentContext()
{
    auto& s = state();
    if (!s.groups.empty()) return s.groups.back();
    if (!s.implicitGroup) s.implicitGroup = make<NSAnimationContext>();
    return s.implicitGroup;
}

void NSAnimationContext::runAnimationGroup(const std::function<void(const Ref<NSAnimationContext>&)>& changes,
                                           const std::function<void()>& completionHandler)
{
    beginGrouping();
    auto group = currentContext();
    group->setDuration(0.25);
    group->m_completion = completionHandler;
    if (changes) changes(group);
    endGrouping();
}

void NSAnimationContext::animate(const std::function<void(double)>& step)
{
    auto& s = state();
    auto group = currentContext();
    if (group->m_duration <= 0) {
        step(1);
        return;
    }
    ++group->m_pending;
    s.running.push_back({step, Clock::now(), group->m_duration, group});
    startTimer();
}

uint64_t NSAnimationContext::addFrameHandler(FrameHandler handler)
{
    auto& s = state();
    s.handlers.emplace_back(++s.lastHandler, std::move(handler));
    startTimer();
    return s.lastHandler;
}

void NSAnimationContext::removeFrameHandler(uint64_t handler)
{
    auto& s = state();
    std::erase_if(s.handlers, [handler](const auto& entry) { return entry.first == handler; });
    stopTimerWhenUnused();
}

size_t NSAnimationContext::runningAnimationCount() { return state().running.size(); }

void NSAnimationContext::finishOne()
{
    if (m_pending > 0) --m_pending;
    if (m_pending == 0 && m_closed && m_completion) {
        auto completion = std::move(m_completion);
        completion();
    }
}
