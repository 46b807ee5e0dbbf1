#include "AppKitExtensions/ClipperPolygons.h"

#include <cmath>

#include "AppKit/NSAffineTransform.h"
#include "CoreGraphics/CGPathFlattening.h"

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
    // The polygons already there are filled again: their storage is reused
    // (callers keep it between operations).
    size_t used = 0;
    auto next = [&]() -> ClipperLib::Path& {
        if (used == polygons.size()) polygons.emplace_back();
        polygons[used].clear();
        return polygons[used];
    };
    if (!path) {
        polygons.clear();
        return true;
    }
    auto scale = NSAffineTransform::transform();
    scale->scaleBy(kScale);
    // Scaled and flattened point by point straight into the polygons: no
    // scaled copy and no flattened path are made. The explicit tolerance
    // leaves the class's default flatness alone.
    ClipperLib::Path* polygon = &next();
    NSPoint start = NSZeroPoint;
    auto finish = [&] {
        if (polygon->size() >= 3) {
            ++used;
            polygon = &next();
        }
        polygon->clear();
    };
    bool ok = true;
    CGPathVisitFlattened(path->elements(), scale->cgTransform(), kFlatness, [&](CGPathElementKind kind, CGPoint p) {
        switch (kind) {
        case CGPathElementKind::MoveTo:
            finish();
            start = p;
            ok = addPoint(*polygon, start);
            break;
        case CGPathElementKind::LineTo:
        case CGPathElementKind::CurveTo:
            // A segment after a close-path begins a new subpath at the start.
            if (polygon->empty()) ok = addPoint(*polygon, start);
            ok = ok && addPoint(*polygon, p);
            break;
        case CGPathElementKind::Close: finish(); break;
        }
        return ok;
    });
    if (!ok) {
        polygons.clear();
        return false;
    }
    finish();
    polygons.resize(used);
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
