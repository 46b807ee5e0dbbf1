#include "QuartzCore/CATransform3D.h"

#include <cmath>
#include <optional>

namespace {

using Matrix = double[4][4];

void toArray(const CATransform3D& t, Matrix m)
{
    const double v[16] = {t.m11, t.m12, t.m13, t.m14, t.m21, t.m22, t.m23, t.m24,
                          t.m31, t.m32, t.m33, t.m34, t.m41, t.m42, t.m43, t.m44};
    for (int i = 0; i < 16; ++i) m[i / 4][i % 4] = v[i];
}

CATransform3D fromArray(const Matrix m)
{
    return {m[0][0], m[0][1], m[0][2], m[0][3], m[1][0], m[1][1], m[1][2], m[1][3],
            m[2][0], m[2][1], m[2][2], m[2][3], m[3][0], m[3][1], m[3][2], m[3][3]};
}

// A rotation by `angle` about y followed by the perspective m34 = d.
struct YRotation {
    double angle, d;
};

CATransform3D yRotation(const YRotation& r)
{
    return CATransform3DConcat(CATransform3DMakeRotation(r.angle, 0, 1, 0), [&] {
        CATransform3D p;
        p.m34 = r.d;
        return p;
    }());
}

std::optional<YRotation> asYRotation(const CATransform3D& t)
{
    const double angle = std::atan2(-t.m13, t.m11);
    // The perspective term sits in m14 (-sin a * d) and m34 (cos a * d).
    const double c = std::cos(angle), s = std::sin(angle);
    const double d = std::fabs(c) >= std::fabs(s) ? t.m34 / c : -t.m14 / s;
    const CATransform3D rebuilt = yRotation({angle, d});
    const double* a = &t.m11;
    const double* b = &rebuilt.m11;
    for (int i = 0; i < 16; ++i)
        if (std::fabs(a[i] - b[i]) > 1e-9) return std::nullopt;
    return YRotation{angle, d};
}

}

bool CATransform3DIsIdentity(const CATransform3D& t) { return t == CATransform3DIdentity; }

bool CATransform3DEqualToTransform(const CATransform3D& a, const CATransform3D& b) { return a == b; }

CATransform3D CATransform3DMakeTranslation(double tx, double ty, double tz)
{
    CATransform3D t;
    t.m41 = tx;
    t.m42 = ty;
    t.m43 = tz;
    return t;
}

CATransform3D CATransform3DMakeScale(double sx, double sy, double sz)
{
    CATransform3D t;
    t.m11 = sx;
    t.m22 = sy;
    t.m33 = sz;
    return t;
}

CATransform3D CATransform3DMakeRotation(double angle, double x, double y, double z)
{
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return CATransform3DIdentity;
    x /= length;
    y /= length;
    z /= length;
    const double c = std::cos(angle), s = std::sin(angle), k = 1 - c;
    // Row vectors: the transpose of the column-vector rotation matrix.
    CATransform3D t;
    t.m11 = c + x * x * k;
    t.m12 = x * y * k + z * s;
    t.m13 = x * z * k - y * s;
    t.m21 = x * y * k - z * s;
    t.m22 = c + y * y * k;
    t.m23 = y * z * k + x * s;
    t.m31 = x * z * k + y * s;
    t.m32 = y * z * k - x * s;
    t.m33 = c + z * z * k;
    return t;
}

CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b)
{
    Matrix x, y, r;
    toArray(a, x);
    toArray(b, y);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += x[i][k] * y[k][j];
            r[i][j] = sum;
        }
    return fromArray(r);
}

CATransform3D CATransform3DTranslate(const CATransform3D& t, double tx, double ty, double tz)
{
    return CATransform3DConcat(CATransform3DMakeTranslation(tx, ty, tz), t);
}

CATransform3D CATransform3DScale(const CATransform3D& t, double sx, double sy, double sz)
{
    return CATransform3DConcat(CATransform3DMakeScale(sx, sy, sz), t);
}

CATransform3D CATransform3DRotate(const CATransform3D& t, double angle, double x, double y, double z)
{
    return CATransform3DConcat(CATransform3DMakeRotation(angle, x, y, z), t);
}

CATransform3D CATransform3DInvert(const CATransform3D& t)
{
    // Gauss-Jordan with partial pivoting; a singular matrix answers itself.
    Matrix a, inv;
    toArray(t, a);
    toArray(CATransform3DIdentity, inv);
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-12) return t;
        for (int k = 0; k < 4; ++k) {
            std::swap(a[col][k], a[pivot][k]);
            std::swap(inv[col][k], inv[pivot][k]);
        }
        const double p = a[col][col];
        for (int k = 0; k < 4; ++k) {
            a[col][k] /= p;
            inv[col][k] /= p;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == col) continue;
            const double f = a[r][col];
            for (int k = 0; k < 4; ++k) {
                a[r][k] -= f * a[col][k];
                inv[r][k] -= f * inv[col][k];
            }
        }
    }
    return fromArray(inv);
}

CAProjectedPoint CATransform3DProjectPoint(const CATransform3D& t, double x, double y)
{
    const double X = x * t.m11 + y * t.m21 + t.m41;
    const double Y = x * t.m12 + y * t.m22 + t.m42;
    const double W = x * t.m14 + y * t.m24 + t.m44;
    if (W == 0) return {X, Y, 0};
    return {X / W, Y / W, W};
}

CATransform3D CATransform3DInterpolate(const CATransform3D& from, const CATransform3D& to, double f)
{
    if (f <= 0) return from;
    if (f >= 1) return to;
    const auto a = asYRotation(from), b = asYRotation(to);
    if (a && b) {
        double delta = std::remainder(b->angle - a->angle, 2 * M_PI);  // in [-pi, pi]
        if (delta <= -M_PI + 1e-12) delta = M_PI;                      // a half turn goes forward
        return yRotation({a->angle + delta * f, a->d + (b->d - a->d) * f});
    }
    CATransform3D r;
    const double* x = &from.m11;
    const double* y = &to.m11;
    double* out = &r.m11;
    for (int i = 0; i < 16; ++i) out[i] = x[i] + (y[i] - x[i]) * f;
    return r;
}
