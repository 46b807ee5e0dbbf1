#include "AppKit/NSAffineTransform.h"

#include <numbers>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSAffineTransform)

Ref<NSAffineTransform> NSAffineTransform::transform() { return make<NSAffineTransform>(); }

Ref<NSAffineTransform> NSAffineTransform::transformWithTransform(const Ref<NSAffineTransform>& other)
{
    auto t = transform();
    if (other) t->m_t = other->m_t;
    return t;
}

Ref<NSAffineTransform> NSAffineTransform::transformWithStruct(const NSAffineTransformStruct& s)
{
    auto t = transform();
    t->setTransformStruct(s);
    return t;
}

void NSAffineTransform::translateXBy(CGFloat dx, CGFloat dy) { m_t = CGAffineTransformTranslate(m_t, dx, dy); }
void NSAffineTransform::rotateByDegrees(CGFloat degrees) { rotateByRadians(degrees * std::numbers::pi / 180); }
void NSAffineTransform::rotateByRadians(CGFloat radians) { m_t = CGAffineTransformRotate(m_t, radians); }
void NSAffineTransform::scaleXBy(CGFloat sx, CGFloat sy) { m_t = CGAffineTransformScale(m_t, sx, sy); }

void NSAffineTransform::appendTransform(const Ref<NSAffineTransform>& other)
{
    if (other) m_t = CGAffineTransformConcat(m_t, other->m_t);
}

void NSAffineTransform::prependTransform(const Ref<NSAffineTransform>& other)
{
    if (other) m_t = CGAffineTransformConcat(other->m_t, m_t);
}

void NSAffineTransform::invert()
{
    if (!CGAffineTransformIsInvertible(m_t))
        NSException::raise(NSGenericException, "NSAffineTransform: the transform has no inverse");
    m_t = CGAffineTransformInvert(m_t);
}

NSPoint NSAffineTransform::transformPoint(NSPoint p) const { return CGPointApplyAffineTransform(p, m_t); }
NSSize NSAffineTransform::transformSize(NSSize s) const { return CGSizeApplyAffineTransform(s, m_t); }

Ref<NSBezierPath> NSAffineTransform::transformBezierPath(const Ref<NSBezierPath>& path) const
{
    if (!path) return nullptr;
    auto copy = static_ref_cast<NSBezierPath>(path->copy());
    copy->transformUsingAffineTransform(const_cast<NSAffineTransform*>(this));
    return copy;
}

NSAffineTransformStruct NSAffineTransform::transformStruct() const
{
    return {m_t.a, m_t.b, m_t.c, m_t.d, m_t.tx, m_t.ty};
}

void NSAffineTransform::setTransformStruct(const NSAffineTransformStruct& s)
{
    m_t = {s.m11, s.m12, s.m21, s.m22, s.tX, s.tY};
}

void NSAffineTransform::concat() const
{
    if (auto context = NSGraphicsContext::currentContext()) context->graphicsPort()->concatCTM(m_t);
}

void NSAffineTransform::set() const
{
    if (auto context = NSGraphicsContext::currentContext()) context->graphicsPort()->setCTM(m_t);
}

bool NSAffineTransform::isEqual(const NSObject* other) const
{
    auto o = dynamic_cast<const NSAffineTransform*>(other);
    return o && o->m_t == m_t;
}

NSUInteger NSAffineTransform::hash() const { return std::hash<double>()(m_t.a) ^ std::hash<double>()(m_t.tx); }

Id NSAffineTransform::copy() const { return transformWithTransform(const_cast<NSAffineTransform*>(this)); }

Ref<NSString> NSAffineTransform::description() const
{
    return NSString::stringWithFormat("NSAffineTransform {m11=%g m12=%g m21=%g m22=%g tX=%g tY=%g}", m_t.a, m_t.b,
                                      m_t.c, m_t.d, m_t.tx, m_t.ty);
}
