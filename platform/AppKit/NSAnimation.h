#pragma once
// A timed animation: over its duration, progress goes from 0 to 1 on the
// animation clock (NSAnimationContext's frame ticks), and currentValue is the
// progress bent by the curve. Subclasses do their work in setCurrentProgress.
// Non-blocking animations run on the run loop in the common modes, so they
// go on during modal sessions and tracking; a blocking one runs the loop in
// the tracking mode (no events are handled) until it ends. The threaded mode
// runs like the non-blocking one on the main thread.
//
// The delegate (not retained) is asked animationShouldStart:, told
// animationDidStop: when stopAnimation ends a running animation and
// animationDidEnd: when it reaches its end; it may bend the progress with
// animation:valueForProgress:.
#include <optional>

#include "Foundation/NSObject.h"
#include "Foundation/NSTypes.h"

class NSAnimation;

enum NSAnimationCurve : NSUInteger {
    NSAnimationEaseInOut = 0,
    NSAnimationEaseIn = 1,
    NSAnimationEaseOut = 2,
    NSAnimationLinear = 3,
};

enum NSAnimationBlockingMode : NSUInteger {
    NSAnimationBlocking = 0,
    NSAnimationNonblocking = 1,
    NSAnimationNonblockingThreaded = 2,
};

using NSAnimationProgress = float;

class NSAnimationDelegate {
public:
    virtual ~NSAnimationDelegate() = default;
    virtual std::optional<bool> animationShouldStart(NSAnimation*) { return std::nullopt; }
    virtual void animationDidStop(NSAnimation*) { }
    virtual void animationDidEnd(NSAnimation*) { }
    virtual std::optional<float> animationValueForProgress(NSAnimation*, NSAnimationProgress) { return std::nullopt; }
};

class NSAnimation : public NSObject {
    NS_OBJECT(NSAnimation, NSObject)
protected:
    NSAnimation() = default;

public:
    ~NSAnimation() override;

    // A duration of 0.5 s, the ease-in-out curve, blocking.
    Id init() override;
    // initWithDuration:animationCurve:
    Ref<NSAnimation> initWithDuration(NSTimeInterval duration, NSAnimationCurve curve);

    NSTimeInterval duration() const { return m_duration; }
    void setDuration(NSTimeInterval duration) { m_duration = duration < 0 ? 0 : duration; }
    NSAnimationCurve animationCurve() const { return m_curve; }
    void setAnimationCurve(NSAnimationCurve curve) { m_curve = curve; }
    NSAnimationBlockingMode animationBlockingMode() const { return m_blockingMode; }
    void setAnimationBlockingMode(NSAnimationBlockingMode mode) { m_blockingMode = mode; }
    // Frames per second the animation asks for; 0 means the clock's rate.
    float frameRate() const { return m_frameRate; }
    void setFrameRate(float rate) { m_frameRate = rate < 0 ? 0 : rate; }

    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

    NSAnimationProgress currentProgress() const { return m_progress; }
    // Clamped to [0, 1]; subclasses apply the state of that progress.
    virtual void setCurrentProgress(NSAnimationProgress progress);
    // The progress bent by the curve (or by the delegate).
    float currentValue() const;
    bool isAnimating() const { return m_frameHandler != 0; }

    // Starts from the current progress (from 0 when it had ended).
    virtual void startAnimation();
    virtual void stopAnimation();

    // The curve's value at a progress: ease-in-out is the cubic Bezier
    // (0.42, 0, 0.58, 1), ease-in (0.42, 0, 1, 1), ease-out (0, 0, 0.58, 1).
    static float valueOfCurve(NSAnimationCurve curve, float progress);

protected:
    NSAnimationDelegate* delegateProtocol() const;
    // A subclass's hook as the animation starts (before the first frame).
    virtual void animationWillStart() { }

private:
    void frame();
    void finish(bool reachedEnd);

    NSTimeInterval m_duration = 0.5;
    NSAnimationCurve m_curve = NSAnimationEaseInOut;
    NSAnimationBlockingMode m_blockingMode = NSAnimationBlocking;
    float m_frameRate = 0;
    Weak<NSObject> m_delegate;
    NSAnimationProgress m_progress = 0;
    // While running: the clock's handler, and the clock time progress 0 maps to.
    uint64_t m_frameHandler = 0;
    NSTimeInterval m_startTime = 0;
    // A running animation keeps itself alive.
    Ref<NSAnimation> m_selfWhileRunning;
};
