#pragma once
// Timing functions: the cubic Bezier curve from (0, 0) to (1, 1) through two
// control points, mapping the elapsed fraction of an animation to the
// fraction of its change.
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

inline const Ref<NSString> kCAMediaTimingFunctionLinear = "linear"_ns;
inline const Ref<NSString> kCAMediaTimingFunctionEaseIn = "easeIn"_ns;
inline const Ref<NSString> kCAMediaTimingFunctionEaseOut = "easeOut"_ns;
inline const Ref<NSString> kCAMediaTimingFunctionEaseInEaseOut = "easeInEaseOut"_ns;

class CAMediaTimingFunction : public NSObject {
    NS_OBJECT(CAMediaTimingFunction, NSObject)
protected:
    CAMediaTimingFunction() = default;

public:
    // Linear (0, 0, 1, 1), ease-in (0.42, 0, 1, 1), ease-out (0, 0, 0.58, 1),
    // ease-in-ease-out (0.42, 0, 0.58, 1); an unknown name gives linear.
    static Ref<CAMediaTimingFunction> functionWithName(const Ref<NSString>& name);
    static Ref<CAMediaTimingFunction> functionWithControlPoints(float c1x, float c1y, float c2x, float c2y);

    // The control point 1 or 2 (0 and 3 are the ends).
    void getControlPointAtIndex(size_t index, float values[2]) const;
    // The change's fraction at an elapsed fraction in [0, 1].
    double valueAtFraction(double elapsed) const;

private:
    double m_c1x = 0, m_c1y = 0, m_c2x = 1, m_c2y = 1;
};
