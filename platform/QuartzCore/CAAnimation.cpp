#include "QuartzCore/CAAnimation.h"

#include "Foundation/NSClass.h"

#include <algorithm>

#include "Foundation/Clock.h"

NS_CLASS_DEFINE(CAAnimation)

NSTimeInterval CACurrentMediaTime() { return Clock::now(); }

double CAAnimation::progressAtTime(NSTimeInterval now) const
{
    const double elapsed = m_duration > 0 ? std::clamp((now - m_beginTime) / m_duration, 0.0, 1.0) : 1.0;
    return m_timingFunction ? m_timingFunction->valueAtFraction(elapsed) : elapsed;
}

Id CAAnimation::copy() const
{
    Id made = realClass().newInstance();
    auto copy = dynamic_ref_cast<CAAnimation>(made);
    if (copy) copy->copyValuesFrom(*this);
    return copy;
}

void CAAnimation::copyValuesFrom(const CAAnimation& other)
{
    m_duration = other.m_duration;
    m_beginTime = other.m_beginTime;
    m_timingFunction = other.m_timingFunction;
    m_removedOnCompletion = other.m_removedOnCompletion;
    m_delegate = other.m_delegate;
}
