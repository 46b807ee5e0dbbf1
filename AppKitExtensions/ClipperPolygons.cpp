#include "AppKitExtensions/ClipperPolygons.h"

#include <cmath>

#include "AppKit/NSAffineTransform.h"

namespace {

// Clipper refuses coordinates beyond hiRange; checking before the conversion
// also keeps NaN and huge values out of the double-to-integer cast.
constexpr double kMaxCoordinate = static_cast<double>(ClipperLib::hiRange);

bool toInteger(CGFloat v, ClipperLib::cInt& out)
{
    double rounded = std::round(v);
    if (!(std::fabs(rounded) <= kMaxCoordinate)) return false;
    out = static_cast<ClipperLib::cInt>(rounded);
    return true;
}

bool addPoint(ClipperLib::Path& polygon, NSPoint p)
{
    ClipperLib::IntPoint point;
    if (!toInteger(p.x, point.X) || !toInteger(p.y, point.Y)) return false;
    polygon.push_back(point);
    return true;
}

}

namespace ClipperPolygons {

bool fromPath(const Ref<NSBezierPath>& path, ClipperLib::Paths& polygons)
{
    polygons.clear();
    if (!path) return true;
    auto scaled = static_ref_cast<NSBezierPath>(path->copy());
    auto scale = NSAffineTransform::transform();
    scale->scaleBy(kScale);
    scaled->transformUsingAffineTransform(scale);
    // The explicit tolerance leaves the class's default flatness alone.
    auto flat = scaled->bezierPathByFlatteningPathWithTolerance(kFlatness);

    ClipperLib::Path polygon;
    NSPoint start = NSZeroPoint;
    auto finish = [&] {
        if (polygon.size() >= 3) polygons.push_back(std::move(polygon));
        polygon.clear();
    };
    for (const CGPathElement& e : flat->elements().elements) {
        bool ok = true;
        switch (e.kind) {
        case CGPathElementKind::MoveTo:
            finish();
            start = e.points[0];
            ok = addPoint(polygon, start);
            break;
        case CGPathElementKind::LineTo:
        case CGPathElementKind::CurveTo:
            // A segment after a close-path begins a new subpath at the start.
            if (polygon.empty()) ok = addPoint(polygon, start);
            ok = ok && addPoint(polygon, e.points[e.kind == CGPathElementKind::CurveTo ? 2 : 0]);
            break;
        case CGPathElementKind::Close: finish(); break;
        }
        if (!ok) {
            polygons.clear();
            return false;
        }
    }
    finish();
    return true;
}

Ref<NSBezierPath> toPath(const ClipperLib::Paths& polygons)
{
    auto path = NSBezierPath::bezierPath();
    auto point = [](const ClipperLib::IntPoint& p) {
        return NSMakePoint(static_cast<CGFloat>(p.X) / kScale, static_cast<CGFloat>(p.Y) / kScale);
    };
    for (const ClipperLib::Path& polygon : polygons) {
        if (polygon.empty()) continue;
        path->moveToPoint(point(polygon.front()));
        if (polygon.size() == 1) continue;
        for (size_t i = 1; i < polygon.size(); ++i) path->lineToPoint(point(polygon[i]));
        path->closePath();
    }
    return path;
}

}
