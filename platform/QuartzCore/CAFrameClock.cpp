#include "QuartzCore/CAFrameClock.h"

#include <algorithm>
#include <vector>

#include "Foundation/NSRunLoop.h"
#include "Foundation/NSTimer.h"

namespace {

struct FrameClockState {
    double rate = 60;
    std::vector<Weak<CALayer>> layers;
    Ref<NSTimer> timer;
    uint64_t frames = 0;
};

FrameClockState& state()
{
    static auto* s = new FrameClockState;  // main thread; kept until exit
    return *s;
}

void tick()
{
    auto& s = state();
    ++s.frames;
    const NSTimeInterval now = CACurrentMediaTime();
    std::vector<Ref<CALayer>> live;
    for (const auto& w : s.layers)
        if (auto l = w.get()) live.push_back(l);
    for (const auto& layer : live) layer->advanceAnimations(now);
    std::erase_if(s.layers, [&](const Weak<CALayer>& w) {
        auto l = w.get();
        return !l || !l->hasRunningAnimations(now);
    });
    if (s.layers.empty() && s.timer) {
        s.timer->invalidate();
        s.timer = nullptr;
    }
}

}

namespace CAFrameClock {

double framesPerSecond() { return state().rate; }

void setFramesPerSecond(double rate) { state().rate = rate > 0 ? rate : 60; }

void addAnimatingLayer(const Ref<CALayer>& layer)
{
    auto& s = state();
    if (std::none_of(s.layers.begin(), s.layers.end(), [&](const Weak<CALayer>& w) { return w.get() == layer; }))
        s.layers.emplace_back(layer);
    if (s.timer) return;
    s.timer = NSTimer::timerWithTimeInterval(1.0 / s.rate, true, [](const Ref<NSTimer>&) { tick(); });
    NSRunLoop::currentRunLoop()->addTimer(s.timer, NSRunLoopCommonModes);
}

uint64_t frameCount() { return state().frames; }

}
