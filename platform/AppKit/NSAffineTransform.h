#pragma once
// A mutable affine transform. The builder methods prepend: after translate,
// rotate and scale, a point is scaled first, then rotated, then translated.
#include "CoreGraphics/CGAffineTransform.h"
#include "Foundation/NSObject.h"

class NSBezierPath;

struct NSAffineTransformStruct {
    CGFloat m11 = 1, m12 = 0, m21 = 0, m22 = 1, tX = 0, tY = 0;
    friend bool operator==(const NSAffineTransformStruct&, const NSAffineTransformStruct&) = default;
};

class NSAffineTransform : public NSObject {
    NS_OBJECT(NSAffineTransform, NSObject)
protected:
    NSAffineTransform() = default;

public:
    // The identity.
    static Ref<NSAffineTransform> transform();
    static Ref<NSAffineTransform> transformWithTransform(const Ref<NSAffineTransform>& other);
    static Ref<NSAffineTransform> transformWithStruct(const NSAffineTransformStruct& s);

    void translateXBy(CGFloat dx, CGFloat dy);
    void rotateByDegrees(CGFloat degrees);
    void rotateByRadians(CGFloat radians);
    void scaleBy(CGFloat s) { scaleXBy(s, s); }
    void scaleXBy(CGFloat sx, CGFloat sy);
    // The receiver, then other.
    void appendTransform(const Ref<NSAffineTransform>& other);
    // Other, then the receiver.
    void prependTransform(const Ref<NSAffineTransform>& other);
    // A singular transform raises NSGenericException, as the platform's does.
    void invert();

    NSPoint transformPoint(NSPoint p) const;
    // Without the translation.
    NSSize transformSize(NSSize s) const;
    Ref<NSBezierPath> transformBezierPath(const Ref<NSBezierPath>& path) const;

    NSAffineTransformStruct transformStruct() const;
    void setTransformStruct(const NSAffineTransformStruct& s);
    const CGAffineTransform& cgTransform() const { return m_t; }
    void setCGTransform(const CGAffineTransform& t) { m_t = t; }

    // Onto the current graphics context: concat prepends to its transform,
    // set replaces the whole user-to-device matrix.
    void concat() const;
    void set() const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Id copy() const override;
    Ref<NSString> description() const override;

private:
    CGAffineTransform m_t;
};
