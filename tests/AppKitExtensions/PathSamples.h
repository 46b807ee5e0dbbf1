#pragma once
// Small paths and measures shared by the path tests.
#include <cmath>
#include <initializer_list>
#include <vector>

#include "AppKit/NSBezierPath.h"

namespace PathSamples {

// A polyline; closed on request.
inline Ref<NSBezierPath> polyline(std::initializer_list<NSPoint> points, bool close = false)
{
    auto path = NSBezierPath::bezierPath();
    for (NSPoint p : points) path->isEmpty() ? path->moveToPoint(p) : path->lineToPoint(p);
    if (close) path->closePath();
    return path;
}

inline Ref<NSBezierPath> curve(NSPoint a, NSPoint c1, NSPoint c2, NSPoint b)
{
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(a);
    path->curveToPoint(b, c1, c2);
    return path;
}

// The closed square of side 10 at the origin: move-to, three line-tos, close.
inline Ref<NSBezierPath> square() { return polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true); }

inline NSPoint cubicAt(const NSPoint v[4], double t)
{
    double u = 1 - t;
    return {u * u * u * v[0].x + 3 * u * u * t * v[1].x + 3 * u * t * t * v[2].x + t * t * t * v[3].x,
            u * u * u * v[0].y + 3 * u * u * t * v[1].y + 3 * u * t * t * v[2].y + t * t * t * v[3].y};
}

// The curve's length in double precision from many chords.
inline double referenceLength(const NSPoint v[4], int steps = 200000)
{
    double total = 0;
    NSPoint previous = v[0];
    for (int i = 1; i <= steps; ++i) {
        NSPoint p = cubicAt(v, static_cast<double>(i) / steps);
        total += std::hypot(p.x - previous.x, p.y - previous.y);
        previous = p;
    }
    return total;
}

inline std::vector<NSBezierPathElement> kinds(const Ref<NSBezierPath>& path)
{
    std::vector<NSBezierPathElement> result;
    for (NSInteger i = 0; i < path->elementCount(); ++i) result.push_back(path->elementAtIndex(i));
    return result;
}

}
