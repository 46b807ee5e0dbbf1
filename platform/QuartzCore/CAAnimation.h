#pragma once
// Animations of layer properties. A layer copies the animation it is given,
// starts it at the current media time (the process clock, virtual in tests)
// and tells the delegate, which the animation retains, when it stopped:
// finished when its time ran out, not finished when it was removed before.
#include "Foundation/NSObject.h"
#include "QuartzCore/CAMediaTimingFunction.h"

class CAAnimation;

// The process clock in seconds (CACurrentMediaTime).
NSTimeInterval CACurrentMediaTime();

// Optional methods.
class CAAnimationDelegate {
public:
    virtual ~CAAnimationDelegate() = default;
    virtual void animationDidStart(CAAnimation*) { }
    virtual void animationDidStop(CAAnimation*, bool finished) { }
};

class CAAnimation : public NSObject {
    NS_OBJECT(CAAnimation, NSObject)
protected:
    CAAnimation() = default;

public:
    static Ref<CAAnimation> animation() { return make<CAAnimation>(); }

    NSTimeInterval duration() const { return m_duration; }
    // 0 stands for the default of 0.25 seconds.
    void setDuration(NSTimeInterval d) { m_duration = d > 0 ? d : 0.25; }
    // 0 until a layer starts the copy it holds.
    NSTimeInterval beginTime() const { return m_beginTime; }
    void setBeginTime(NSTimeInterval t) { m_beginTime = t; }
    Ref<CAMediaTimingFunction> timingFunction() const { return m_timingFunction; }
    void setTimingFunction(const Ref<CAMediaTimingFunction>& f) { m_timingFunction = f; }
    bool isRemovedOnCompletion() const { return m_removedOnCompletion; }
    void setRemovedOnCompletion(bool flag) { m_removedOnCompletion = flag; }
    // Retained, as the platform does.
    Id delegate() const { return m_delegate; }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

    // The change's fraction at a time: the timing function applied to the
    // elapsed fraction.
    double progressAtTime(NSTimeInterval now) const;
    bool hasEndedAtTime(NSTimeInterval now) const { return now >= m_beginTime + m_duration; }

    Id copy() const override;

protected:
    virtual void copyValuesFrom(const CAAnimation& other);

private:
    NSTimeInterval m_duration = 0.25;
    NSTimeInterval m_beginTime = 0;
    Ref<CAMediaTimingFunction> m_timingFunction;
    bool m_removedOnCompletion = true;
    Id m_delegate;
};
