#include "QuartzCore/CAMediaTimingFunction.h"

#include "Foundation/NSClass.h"

#include <algorithm>
#include <cmath>

NS_CLASS_DEFINE(CAMediaTimingFunction)

Ref<CAMediaTimingFunction> CAMediaTimingFunction::functionWithName(const Ref<NSString>& name)
{
    if (name && name->isEqualToString(kCAMediaTimingFunctionEaseIn)) return functionWithControlPoints(0.42f, 0, 1, 1);
    if (name && name->isEqualToString(kCAMediaTimingFunctionEaseOut)) return functionWithControlPoints(0, 0, 0.58f, 1);
    if (name && name->isEqualToString(kCAMediaTimingFunctionEaseInEaseOut))
        return functionWithControlPoints(0.42f, 0, 0.58f, 1);
    return functionWithControlPoints(0, 0, 1, 1);
}

Ref<CAMediaTimingFunction> CAMediaTimingFunction::functionWithControlPoints(float c1x, float c1y, float c2x, float c2y)
{
    auto f = make<CAMediaTimingFunction>();
    f->m_c1x = std::clamp(double(c1x), 0.0, 1.0);
    f->m_c1y = c1y;
    f->m_c2x = std::clamp(double(c2x), 0.0, 1.0);
    f->m_c2y = c2y;
    return f;
}

void CAMediaTimingFunction::getControlPointAtIndex(size_t index, float values[2]) const
{
    const double points[4][2] = {{0, 0}, {m_c1x, m_c1y}, {m_c2x, m_c2y}, {1, 1}};
    const size_t i = std::min<size_t>(index, 3);
    values[0] = float(points[i][0]);
    values[1] = float(points[i][1]);
}

double CAMediaTimingFunction::valueAtFraction(double x) const
{
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    auto bezier = [](double t, double p1, double p2) {
        const double u = 1 - t;
        return 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t;
    };
    // x(t) grows with t since both control x values lie in [0, 1]: bisect.
    double lo = 0, hi = 1, t = x;
    for (int i = 0; i < 60; ++i) {
        t = (lo + hi) / 2;
        (bezier(t, m_c1x, m_c2x) < x ? lo : hi) = t;
    }
    return bezier((lo + hi) / 2, m_c1y, m_c2y);
}
