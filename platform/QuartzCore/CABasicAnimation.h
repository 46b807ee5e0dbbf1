#pragma once
// An animation of one key path from a value to a value. The layer animates
// "transform" (from and to are 3-D transforms; a missing one is the layer's
// model value); other key paths are kept and recorded but change nothing.
#include <optional>

#include "Foundation/NSString.h"
#include "QuartzCore/CAAnimation.h"
#include "QuartzCore/CATransform3D.h"

class CABasicAnimation : public CAAnimation {
    NS_OBJECT(CABasicAnimation, CAAnimation)
protected:
    CABasicAnimation() = default;

public:
    static Ref<CABasicAnimation> animationWithKeyPath(const Ref<NSString>& keyPath);

    Ref<NSString> keyPath() const { return m_keyPath; }
    void setKeyPath(const Ref<NSString>& keyPath) { m_keyPath = keyPath; }
    std::optional<CATransform3D> fromValue() const { return m_from; }
    void setFromValue(const std::optional<CATransform3D>& value) { m_from = value; }
    std::optional<CATransform3D> toValue() const { return m_to; }
    void setToValue(const std::optional<CATransform3D>& value) { m_to = value; }

    // The transform at a time for a layer whose model transform is `model`.
    CATransform3D transformAtTime(NSTimeInterval now, const CATransform3D& model) const;

protected:
    void copyValuesFrom(const CAAnimation& other) override;

private:
    Ref<NSString> m_keyPath;
    std::optional<CATransform3D> m_from, m_to;
};
