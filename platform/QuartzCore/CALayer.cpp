#include "QuartzCore/CALayer.h"

#include "Foundation/NSClass.h"

#include <algorithm>

#include "QuartzCore/CAFrameClock.h"

NS_CLASS_DEFINE(CALayer)

CALayer::~CALayer()
{
    for (auto& s : m_sublayers) s->m_superlayer = nullptr;
}

CGRect CALayer::frame() const
{
    return CGRectMake(m_position.x - m_anchorPoint.x * m_bounds.size.width,
                      m_position.y - m_anchorPoint.y * m_bounds.size.height, m_bounds.size.width, m_bounds.size.height);
}

void CALayer::setFrame(const CGRect& frame)
{
    m_bounds.size = frame.size;
    m_position = CGPointMake(frame.origin.x + m_anchorPoint.x * frame.size.width,
                             frame.origin.y + m_anchorPoint.y * frame.size.height);
}

CATransform3D CALayer::presentationTransform(NSTimeInterval now) const
{
    for (auto it = m_animations.rbegin(); it != m_animations.rend(); ++it) {
        if (it->ended) continue;
        auto basic = dynamic_ref_cast<CABasicAnimation>(it->animation);
        if (basic && basic->keyPath() && basic->keyPath()->isEqualToString("transform"_ns))
            return basic->transformAtTime(now, m_transform);
    }
    return m_transform;
}

CATransform3D CALayer::transformToSuperlayer(const CATransform3D& t) const
{
    // Bounds to anchor-centred coordinates, the transform, then the position.
    const double ax = m_bounds.origin.x + m_anchorPoint.x * m_bounds.size.width;
    const double ay = m_bounds.origin.y + m_anchorPoint.y * m_bounds.size.height;
    return CATransform3DConcat(CATransform3DConcat(CATransform3DMakeTranslation(-ax, -ay, 0), t),
                               CATransform3DMakeTranslation(m_position.x, m_position.y, 0));
}

void CALayer::addSublayer(const Ref<CALayer>& layer)
{
    if (!layer || layer.get() == this) return;
    Ref<CALayer> keep(layer);
    layer->removeFromSuperlayer();
    m_sublayers.push_back(layer);
    layer->m_superlayer = this;
}

void CALayer::removeFromSuperlayer()
{
    auto parent = m_superlayer.get();
    if (!parent) return;
    Ref<CALayer> keep(this);
    std::erase_if(parent->m_sublayers, [&](const Ref<CALayer>& l) { return l.get() == this; });
    m_superlayer = nullptr;
}

Ref<CALayer> CALayer::rootLayer()
{
    Ref<CALayer> layer(this);
    while (auto parent = layer->superlayer()) layer = parent;
    return layer;
}

void CALayer::addAnimation(const Ref<CAAnimation>& animation, const Ref<NSString>& key)
{
    if (!animation) return;
    auto copy = dynamic_ref_cast<CAAnimation>(animation->copy());
    copy->setBeginTime(CACurrentMediaTime());
    if (key) removeAnimationForKey(key);
    m_animations.push_back({key, copy, false});
    if (auto* d = dynamic_cast<CAAnimationDelegate*>(copy->delegate().get())) d->animationDidStart(copy.get());
    CAFrameClock::addAnimatingLayer(this);
}

Ref<CAAnimation> CALayer::animationForKey(const Ref<NSString>& key) const
{
    for (const auto& a : m_animations)
        if (a.key && key && a.key->isEqualToString(key)) return a.animation;
    return nullptr;
}

std::vector<Ref<NSString>> CALayer::animationKeys() const
{
    std::vector<Ref<NSString>> keys;
    for (const auto& a : m_animations)
        if (a.key) keys.push_back(a.key);
    return keys;
}

void CALayer::stopped(const Ref<CAAnimation>& animation, bool finished)
{
    if (auto* d = dynamic_cast<CAAnimationDelegate*>(animation->delegate().get()))
        d->animationDidStop(animation.get(), finished);
}

void CALayer::removeAnimationForKey(const Ref<NSString>& key)
{
    if (!key) return;
    auto it = std::find_if(m_animations.begin(), m_animations.end(),
                           [&](const Attached& a) { return a.key && a.key->isEqualToString(key); });
    if (it == m_animations.end()) return;
    Attached gone = std::move(*it);
    m_animations.erase(it);
    if (!gone.ended) stopped(gone.animation, false);
}

void CALayer::removeAllAnimations()
{
    auto all = std::move(m_animations);
    m_animations.clear();
    for (auto& a : all)
        if (!a.ended) stopped(a.animation, false);
}

bool CALayer::hasRunningAnimations(NSTimeInterval now) const
{
    for (const auto& a : m_animations)
        if (!a.ended) return true;
    for (const auto& s : m_sublayers)
        if (s->hasRunningAnimations(now)) return true;
    return false;
}

void CALayer::collectEnded(NSTimeInterval now, std::vector<std::pair<Ref<CALayer>, Ref<CAAnimation>>>& ended)
{
    for (auto& a : m_animations)
        if (!a.ended && a.animation->hasEndedAtTime(now)) {
            a.ended = true;
            ended.emplace_back(this, a.animation);
        }
    std::erase_if(m_animations, [](const Attached& a) { return a.ended && a.animation->isRemovedOnCompletion(); });
    for (auto& s : std::vector<Ref<CALayer>>(m_sublayers)) s->collectEnded(now, ended);
}

void CALayer::advanceAnimations(NSTimeInterval now)
{
    Ref<CALayer> keep(this);
    std::vector<std::pair<Ref<CALayer>, Ref<CAAnimation>>> ended;
    collectEnded(now, ended);
    auto root = rootLayer();
    if (root->m_hostRedraw) {
        auto redraw = root->m_hostRedraw;
        redraw();
    }
    for (auto& [layer, animation] : ended) layer->stopped(animation, true);
}
