#include "QuartzCore/CABasicAnimation.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CABasicAnimation)

Ref<CABasicAnimation> CABasicAnimation::animationWithKeyPath(const Ref<NSString>& keyPath)
{
    auto a = make<CABasicAnimation>();
    a->setKeyPath(keyPath);
    return a;
}

CATransform3D CABasicAnimation::transformAtTime(NSTimeInterval now, const CATransform3D& model) const
{
    return CATransform3DInterpolate(m_from.value_or(model), m_to.value_or(model), progressAtTime(now));
}

void CABasicAnimation::copyValuesFrom(const CAAnimation& other)
{
    CAAnimation::copyValuesFrom(other);
    auto o = dynamic_cast<const CABasicAnimation*>(&other);
    if (!o) return;
    m_keyPath = o->m_keyPath;
    m_from = o->m_from;
    m_to = o->m_to;
}
