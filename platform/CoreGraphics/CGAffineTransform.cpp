#include "CoreGraphics/CGAffineTransform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
// sin and cos with quarter turns exact, so rotated rulers stay on whole pixels.
void sinCos(CGFloat radians, CGFloat& s, CGFloat& c)
{
    CGFloat quarters = radians / (std::numbers::pi / 2);
    if (quarters == std::round(quarters)) {
        static constexpr CGFloat sines[] = {0, 1, 0, -1};
        long q = static_cast<long>(std::fmod(std::round(quarters), 4.0));
        if (q < 0) q += 4;
        s = sines[q];
        c = sines[(q + 1) % 4];
        return;
    }
    s = std::sin(radians);
    c = std::cos(radians);
}
}

CGAffineTransform CGAffineTransformMakeRotation(CGFloat radians)
{
    CGFloat s, c;
    sinCos(radians, s, c);
    return {c, s, -s, c, 0, 0};
}

CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2)
{
    return {t1.a * t2.a + t1.b * t2.c, t1.a * t2.b + t1.b * t2.d,           t1.c * t2.a + t1.d * t2.c,
            t1.c * t2.b + t1.d * t2.d, t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

CGAffineTransform CGAffineTransformTranslate(const CGAffineTransform& t, CGFloat tx, CGFloat ty)
{
    return CGAffineTransformConcat(CGAffineTransformMakeTranslation(tx, ty), t);
}

CGAffineTransform CGAffineTransformScale(const CGAffineTransform& t, CGFloat sx, CGFloat sy)
{
    return CGAffineTransformConcat(CGAffineTransformMakeScale(sx, sy), t);
}

CGAffineTransform CGAffineTransformRotate(const CGAffineTransform& t, CGFloat radians)
{
    return CGAffineTransformConcat(CGAffineTransformMakeRotation(radians), t);
}

bool CGAffineTransformIsInvertible(const CGAffineTransform& t)
{
    CGFloat det = t.a * t.d - t.b * t.c;
    return det != 0 && std::isfinite(det);
}

CGAffineTransform CGAffineTransformInvert(const CGAffineTransform& t)
{
    if (!CGAffineTransformIsInvertible(t)) return t;
    CGFloat det = t.a * t.d - t.b * t.c;
    CGAffineTransform r{t.d / det, -t.b / det, -t.c / det, t.a / det, 0, 0};
    r.tx = -(r.a * t.tx + r.c * t.ty);
    r.ty = -(r.b * t.tx + r.d * t.ty);
    return r;
}

CGRect CGRectApplyAffineTransform(const CGRect& r, const CGAffineTransform& t)
{
    CGRect s = CGRectStandardize(r);
    CGPoint corners[] = {
        CGPointApplyAffineTransform(s.origin, t), CGPointApplyAffineTransform({NSMaxX(s), NSMinY(s)}, t),
        CGPointApplyAffineTransform({NSMinX(s), NSMaxY(s)}, t), CGPointApplyAffineTransform({NSMaxX(s), NSMaxY(s)}, t)};
    CGFloat x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const CGPoint& p : corners) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
    return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}
