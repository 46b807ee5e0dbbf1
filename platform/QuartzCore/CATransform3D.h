#pragma once
// 4 x 4 transforms of points in the platform's row-vector convention: a
// point (x, y, z, 1) times the matrix gives (X, Y, Z, W), and the projected
// point is (X / W, Y / W). Concat(a, b) applies a first, then b. Perspective
// comes from m34 = -1 / distance.
#include "Foundation/NSTypes.h"

struct CATransform3D {
    double m11 = 1, m12 = 0, m13 = 0, m14 = 0;
    double m21 = 0, m22 = 1, m23 = 0, m24 = 0;
    double m31 = 0, m32 = 0, m33 = 1, m34 = 0;
    double m41 = 0, m42 = 0, m43 = 0, m44 = 1;

    bool operator==(const CATransform3D&) const = default;
};

inline constexpr CATransform3D CATransform3DIdentity{};

bool CATransform3DIsIdentity(const CATransform3D& t);
bool CATransform3DEqualToTransform(const CATransform3D& a, const CATransform3D& b);
CATransform3D CATransform3DMakeTranslation(double tx, double ty, double tz);
CATransform3D CATransform3DMakeScale(double sx, double sy, double sz);
// Right-handed about the axis (x, y, z): about +y, x' = x cos a + z sin a and
// z' = -x sin a + z cos a. A zero axis gives the identity.
CATransform3D CATransform3DMakeRotation(double angle, double x, double y, double z);
CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b);
// t applied after the translation, scale or rotation.
CATransform3D CATransform3DTranslate(const CATransform3D& t, double tx, double ty, double tz);
CATransform3D CATransform3DScale(const CATransform3D& t, double sx, double sy, double sz);
CATransform3D CATransform3DRotate(const CATransform3D& t, double angle, double x, double y, double z);
CATransform3D CATransform3DInvert(const CATransform3D& t);

// A point of the plane z = 0 through the transform; w is the divisor, which
// is not positive for points at or behind the eye.
struct CAProjectedPoint {
    double x = 0, y = 0, w = 1;
};
CAProjectedPoint CATransform3DProjectPoint(const CATransform3D& t, double x, double y);

// Interpolation of two transforms at a fraction: when both are a rotation
// about y followed by the same kind of perspective (the flip's transforms),
// the angle turns (ending at the to-angle, a half turn going forward) and the
// perspective is interpolated; otherwise the elements are interpolated.
CATransform3D CATransform3DInterpolate(const CATransform3D& from, const CATransform3D& to, double fraction);
