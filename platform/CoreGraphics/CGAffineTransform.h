#pragma once
// Affine transforms: x' = a x + c y + tx, y' = b x + d y + ty. The builders
// (Translate, Scale, Rotate) prepend, so the new operation applies first.
#include "CoreGraphics/CGGeometry.h"

struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    friend bool operator==(const CGAffineTransform&, const CGAffineTransform&) = default;
};

inline constexpr CGAffineTransform CGAffineTransformIdentity{};

inline constexpr CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx,
                                                         CGFloat ty)
{
    return {a, b, c, d, tx, ty};
}
inline constexpr CGAffineTransform CGAffineTransformMakeTranslation(CGFloat tx, CGFloat ty)
{
    return {1, 0, 0, 1, tx, ty};
}
inline constexpr CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy) { return {sx, 0, 0, sy, 0, 0}; }
// Quarter turns are exact (cos 90 degrees is 0, not 6e-17).
CGAffineTransform CGAffineTransformMakeRotation(CGFloat radians);
// t1 first, then t2.
CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2);
CGAffineTransform CGAffineTransformTranslate(const CGAffineTransform& t, CGFloat tx, CGFloat ty);
CGAffineTransform CGAffineTransformScale(const CGAffineTransform& t, CGFloat sx, CGFloat sy);
CGAffineTransform CGAffineTransformRotate(const CGAffineTransform& t, CGFloat radians);
// A singular transform is answered unchanged.
CGAffineTransform CGAffineTransformInvert(const CGAffineTransform& t);
bool CGAffineTransformIsInvertible(const CGAffineTransform& t);
inline bool CGAffineTransformIsIdentity(const CGAffineTransform& t) { return t == CGAffineTransformIdentity; }
inline bool CGAffineTransformEqualToTransform(const CGAffineTransform& a, const CGAffineTransform& b) { return a == b; }

inline constexpr CGPoint CGPointApplyAffineTransform(CGPoint p, const CGAffineTransform& t)
{
    return {t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}
inline constexpr CGSize CGSizeApplyAffineTransform(CGSize s, const CGAffineTransform& t)
{
    return {t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height};
}
// The bounding box of the transformed rectangle.
CGRect CGRectApplyAffineTransform(const CGRect& r, const CGAffineTransform& t);
