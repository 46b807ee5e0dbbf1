#pragma once
// Layers: a rectangle of content placed in its superlayer by position,
// anchor point and a 3-D transform about the anchor, with an image as
// contents, an optional shadow and sublayers. Animations added to a layer
// change what is shown (the presentation) while the model keeps its values;
// a finished animation that stays (not removed on completion) no longer
// changes the presentation.
//
// A root layer is hosted by something that shows it (a layer-backed view):
// the host's redraw handler runs at every frame while an animation runs in
// the tree, and once more when it ends.
#include <functional>
#include <vector>

#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGGeometry.h"
#include "CoreGraphics/CGImage.h"
#include "Foundation/NSString.h"
#include "QuartzCore/CABasicAnimation.h"
#include "QuartzCore/CATransform3D.h"

inline const Ref<NSString> kCAGravityCenter = "center"_ns;
inline const Ref<NSString> kCAGravityResize = "resize"_ns;

class CALayer : public NSObject {
    NS_OBJECT(CALayer, NSObject)
protected:
    CALayer() = default;

public:
    ~CALayer() override;
    static Ref<CALayer> layer() { return make<CALayer>(); }

    // --- Geometry ---
    CGRect bounds() const { return m_bounds; }
    void setBounds(const CGRect& bounds) { m_bounds = bounds; }
    CGPoint position() const { return m_position; }
    void setPosition(CGPoint p) { m_position = p; }
    CGPoint anchorPoint() const { return m_anchorPoint; }
    void setAnchorPoint(CGPoint p) { m_anchorPoint = p; }
    // The bounds placed by position and anchor, the transform ignored.
    CGRect frame() const;
    void setFrame(const CGRect& frame);
    CATransform3D transform() const { return m_transform; }
    void setTransform(const CATransform3D& t) { m_transform = t; }
    // The transform shown now: that of a running "transform" animation, else
    // the model's.
    CATransform3D presentationTransform(NSTimeInterval now) const;
    // Layer coordinates to the superlayer's, through the given transform of
    // the layer (about its anchor point).
    CATransform3D transformToSuperlayer(const CATransform3D& layerTransform) const;

    // --- Appearance ---
    Ref<CGImage> contents() const { return m_contents; }
    void setContents(const Ref<CGImage>& image) { m_contents = image; }
    Ref<NSString> contentsGravity() const { return m_contentsGravity; }
    void setContentsGravity(const Ref<NSString>& gravity) { m_contentsGravity = gravity; }
    bool isDoubleSided() const { return m_doubleSided; }
    void setDoubleSided(bool flag) { m_doubleSided = flag; }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool flag) { m_hidden = flag; }
    Ref<CGColor> shadowColor() const { return m_shadowColor; }
    void setShadowColor(const Ref<CGColor>& colour) { m_shadowColor = colour; }
    CGFloat shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(CGFloat r) { m_shadowRadius = r; }
    CGSize shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(CGSize offset) { m_shadowOffset = offset; }
    float shadowOpacity() const { return m_shadowOpacity; }
    void setShadowOpacity(float opacity) { m_shadowOpacity = opacity; }

    // --- Tree ---
    const std::vector<Ref<CALayer>>& sublayers() const { return m_sublayers; }
    Ref<CALayer> superlayer() const { return m_superlayer.get(); }
    void addSublayer(const Ref<CALayer>& layer);
    void removeFromSuperlayer();

    // --- Animations ---
    // Adds a copy started now, replacing one under the same key (whose
    // delegate hears it stopped unfinished).
    void addAnimation(const Ref<CAAnimation>& animation, const Ref<NSString>& key);
    Ref<CAAnimation> animationForKey(const Ref<NSString>& key) const;
    std::vector<Ref<NSString>> animationKeys() const;
    void removeAnimationForKey(const Ref<NSString>& key);
    void removeAllAnimations();
    // An animation in the tree has not yet ended.
    bool hasRunningAnimations(NSTimeInterval now) const;

    // --- Hosting ---
    // Called at each frame of a running animation in the tree (and when one
    // ends) on the root layer's host.
    void setHostRedrawHandler(std::function<void()> handler) { m_hostRedraw = std::move(handler); }
    // One frame: ends the animations whose time ran out (removing those
    // removed on completion and telling their delegates after the host
    // redrew) and asks the host to redraw. Run by the frame clock.
    void advanceAnimations(NSTimeInterval now);

private:
    struct Attached {
        Ref<NSString> key;
        Ref<CAAnimation> animation;
        bool ended = false;
    };
    void stopped(const Ref<CAAnimation>& animation, bool finished);
    void collectEnded(NSTimeInterval now, std::vector<std::pair<Ref<CALayer>, Ref<CAAnimation>>>& ended);
    Ref<CALayer> rootLayer();

    CGRect m_bounds = CGRectZero;
    CGPoint m_position = CGPointZero;
    CGPoint m_anchorPoint = CGPointMake(0.5, 0.5);
    CATransform3D m_transform;
    Ref<CGImage> m_contents;
    Ref<NSString> m_contentsGravity = kCAGravityResize;
    bool m_doubleSided = true;
    bool m_hidden = false;
    Ref<CGColor> m_shadowColor;
    CGFloat m_shadowRadius = 3;
    CGSize m_shadowOffset = CGSizeMake(0, -3);
    float m_shadowOpacity = 0;
    std::vector<Ref<CALayer>> m_sublayers;
    Weak<CALayer> m_superlayer;
    std::vector<Attached> m_animations;
    std::function<void()> m_hostRedraw;
};
