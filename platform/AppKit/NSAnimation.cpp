#include "AppKit/NSAnimation.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSAnimationContext.h"
#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(NSAnimation)

namespace {

// y of the cubic Bezier from (0, 0) to (1, 1) with control points (x1, y1)
// and (x2, y2) at the given x: Newton's method on x(t), bisection when the
// slope is too flat.
float cubicBezier(double x1, double y1, double x2, double y2, double x)
{
    auto at = [](double a, double b, double t) {
        const double u = 1 - t;
        return 3 * u * u * t * a + 3 * u * t * t * b + t * t * t;
    };
    auto slope = [](double a, double b, double t) {
        const double u = 1 - t;
        return 3 * u * u * a + 6 * u * t * (b - a) + 3 * t * t * (1 - b);
    };
    double t = x;
    for (int i = 0; i < 8; ++i) {
        const double error = at(x1, x2, t) - x;
        if (std::fabs(error) < 1e-7) return float(at(y1, y2, t));
        const double d = slope(x1, x2, t);
        if (std::fabs(d) < 1e-6) break;
        t -= error / d;
    }
    double lo = 0, hi = 1;
    t = x;
    for (int i = 0; i < 60; ++i) {
        const double value = at(x1, x2, t);
        if (std::fabs(value - x) < 1e-7) break;
        (value < x ? lo : hi) = t;
        t = (lo + hi) / 2;
    }
    return float(at(y1, y2, t));
}

}  // namespace

NSAnimation::~NSAnimation()
{
    if (m_frameHandler) NSAnimationContext::removeFrameHandler(m_frameHandler);
}

Id NSAnimation::init() { return initWithDuration(0.5, NSAnimationEaseInOut); }

Ref<NSAnimation> NSAnimation::initWithDuration(NSTimeInterval duration, NSAnimationCurve curve)
{
    setDuration(duration);
    m_curve = curve;
    return Ref<NSAnimation>(this);
}

float NSAnimation::valueOfCurve(NSAnimationCurve curve, float progress)
{
    const double p = std::clamp<double>(progress, 0, 1);
    if (p <= 0 || p >= 1) return float(p);
    switch (curve) {
    case NSAnimationEaseInOut: return cubicBezier(0.42, 0, 0.58, 1, p);
    case NSAnimationEaseIn: return cubicBezier(0.42, 0, 1, 1, p);
    case NSAnimationEaseOut: return cubicBezier(0, 0, 0.58, 1, p);
    case NSAnimationLinear: break;
    }
    return float(p);
}

NSAnimationDelegate* NSAnimation::delegateProtocol() const
{
    return dynamic_cast<NSAnimationDelegate*>(m_delegate.get().get());
}

void NSAnimation::setCurrentProgress(NSAnimationProgress progress)
{
    m_progress = std::clamp<NSAnimationProgress>(progress, 0, 1);
}

float NSAnimation::currentValue() const
{
    if (auto* d = delegateProtocol())
        if (auto value = d->animationValueForProgress(const_cast<NSAnimation*>(this), m_progress)) return *value;
    return valueOfCurve(m_curve, m_progress);
}

void NSAnimation::startAnimation()
{
    if (isAnimating()) return;
    if (auto* d = delegateProtocol())
        if (d->animationShouldStart(this) == false) return;
    if (m_progress >= 1) m_progress = 0;
    animationWillStart();
    m_selfWhileRunning = this;
    m_startTime = Clock::now() - double(m_progress) * m_duration;
    m_frameHandler = NSAnimationContext::addFrameHandler([weak = Weak<NSAnimation>(this)] {
        if (auto self = weak.get()) self->frame();
    });
    setCurrentProgress(m_progress);
    if (m_duration <= 0) {
        frame();
        return;
    }
    if (m_blockingMode != NSAnimationBlocking) return;
    // Blocking: the caller waits until the end; frames keep coming because
    // the clock's timer runs in the common modes.
    Ref<NSAnimation> self(this);
    auto loop = NSRunLoop::currentRunLoop();
    while (isAnimating())
        loop->runModeBeforeDate(NSEventTrackingRunLoopMode, NSDate::dateWithTimeIntervalSinceNow(m_duration));
}

void NSAnimation::frame()
{
    if (!isAnimating()) return;
    const double elapsed = Clock::now() - m_startTime;
    const double progress = m_duration <= 0 ? 1 : std::clamp(elapsed / m_duration, 0.0, 1.0);
    Ref<NSAnimation> self(this);
    setCurrentProgress(NSAnimationProgress(progress));
    if (progress >= 1) finish(true);
}

void NSAnimation::stopAnimation()
{
    if (isAnimating()) finish(false);
}

void NSAnimation::finish(bool reachedEnd)
{
    Ref<NSAnimation> self = m_selfWhileRunning ? m_selfWhileRunning : Ref<NSAnimation>(this);
    NSAnimationContext::removeFrameHandler(m_frameHandler);
    m_frameHandler = 0;
    m_selfWhileRunning = nullptr;
    if (auto* d = delegateProtocol()) {
        if (reachedEnd) d->animationDidEnd(this);
        else d->animationDidStop(this);
    }
}
