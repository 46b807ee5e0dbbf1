#include "AppKitExtensions/NSBezierPath+ClipperExtensions.h"

#include <algorithm>
#include <cmath>

#include "AppKitExtensions/ClipperPolygons.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"

namespace {

// Offsets keep every computed point well inside Clipper's range, so that its
// double-to-integer rounding never overflows.
constexpr double kOffsetRange = static_cast<double>(ClipperLib::hiRange) / 2;
// Clipper's default arc tolerance for round joins, in scaled units.
constexpr double kArcTolerance = 0.25;
// For very large deltas the tolerance grows with them, so that round joins
// have at most about 22,000 vertices per full turn.
constexpr double kArcToleranceRatio = 1e-8;
// Whatever the miter limit, Clipper's miters reach at most this many deltas
// for limits up to 2, and the limit for larger ones.
constexpr double kMinimumMiterReach = 2;

double largestCoordinate(const ClipperLib::Paths& polygons)
{
    double largest = 0;
    for (const ClipperLib::Path& polygon : polygons)
        for (const ClipperLib::IntPoint& p : polygon)
            largest = std::max({largest, std::fabs(static_cast<double>(p.X)), std::fabs(static_cast<double>(p.Y))});
    return largest;
}

// The operands' polygons, kept per thread between operations: large paths
// otherwise have the allocator map and fault in fresh memory on every call.
// Storage beyond kKeptPoints is given back after the call.
struct Operands {
    static constexpr size_t kKeptPoints = size_t(1) << 22;  // 64 MB
    ClipperLib::Paths subject, clip;

    static Operands& forCurrentThread()
    {
        thread_local Operands operands;
        return operands;
    }
    void trim()
    {
        size_t points = 0;
        for (const auto* paths : {&subject, &clip})
            for (const ClipperLib::Path& p : *paths) points += p.capacity();
        if (points > kKeptPoints) subject = clip = {};
    }
};

ClipperLib::JoinType joinType(NSLineJoinStyle style)
{
    // Miter 0, round 1, bevel 2 map to Clipper's miter 2, round 1, square 0.
    if (style < 3) return static_cast<ClipperLib::JoinType>(2 - static_cast<int>(style));
    return ClipperLib::jtSquare;
}

}

namespace NSBezierPathExt {

Ref<NSBezierPath> bezierPathByIntersectingPath(const Ref<NSBezierPath>& path, const Ref<NSBezierPath>& other)
{
    return bezierPathByApplyingBooleanOperation(path, ZAKBooleanIntersection, other);
}

Ref<NSBezierPath> bezierPathByUnionWithPath(const Ref<NSBezierPath>& path, const Ref<NSBezierPath>& other)
{
    return bezierPathByApplyingBooleanOperation(path, ZAKBooleanUnion, other);
}

Ref<NSBezierPath> bezierPathByDifferenceWithPath(const Ref<NSBezierPath>& path, const Ref<NSBezierPath>& other)
{
    return bezierPathByApplyingBooleanOperation(path, ZAKBooleanDifference, other);
}

Ref<NSBezierPath> bezierPathByXORWithPath(const Ref<NSBezierPath>& path, const Ref<NSBezierPath>& other)
{
    return bezierPathByApplyingBooleanOperation(path, ZAKBooleanExclusiveOr, other);
}

Ref<NSBezierPath> bezierPathByApplyingBooleanOperation(const Ref<NSBezierPath>& path, NSInteger operation,
                                                       const Ref<NSBezierPath>& other)
{
    if (operation < ZAKBooleanIntersection || operation > ZAKBooleanExclusiveOr) return NSBezierPath::bezierPath();
    Operands& operands = Operands::forCurrentThread();
    ClipperLib::Paths solution;
    bool done = ClipperPolygons::fromPath(path, operands.subject) && ClipperPolygons::fromPath(other, operands.clip);
    try {
        if (done) {
            ClipperLib::Clipper clipper;
            clipper.AddPaths(operands.subject, ClipperLib::ptSubject, true);
            clipper.AddPaths(operands.clip, ClipperLib::ptClip, true);
            // Execute fails when there is no edge at all: the result is empty
            // then too.
            done = clipper.Execute(static_cast<ClipperLib::ClipType>(operation), solution, ClipperLib::pftEvenOdd,
                                   ClipperLib::pftEvenOdd);
        }
    } catch (const ClipperLib::clipperException&) {
        done = false;
    }
    operands.trim();
    return done ? ClipperPolygons::toPath(solution) : NSBezierPath::bezierPath();
}

Ref<NSBezierPath> bezierPathWithOffset(const Ref<NSBezierPath>& path, CGFloat delta, NSLineJoinStyle joinStyle,
                                       CGFloat miterLimit)
{
    if (!path || delta == 0) return path;
    ClipperLib::Paths polygons, solution;
    double scaledDelta = delta * ClipperPolygons::kScale;
    if (!std::isfinite(scaledDelta) || !ClipperPolygons::fromPath(path, polygons)) return NSBezierPath::bezierPath();
    double distance = std::fabs(scaledDelta);
    try {
        // Clipper offsets by orientation: even-odd normalisation makes holes
        // run against their outlines, so holes shrink while outlines grow.
        ClipperLib::SimplifyPolygons(polygons, ClipperLib::pftEvenOdd);
        double room = kOffsetRange - largestCoordinate(polygons);
        if (distance * kMinimumMiterReach > room) return NSBezierPath::bezierPath();
        // A miter reaches at most limit x delta; a limit that would leave
        // Clipper's range is lowered to the largest one that does not.
        double limit = miterLimit > room / distance ? room / distance : miterLimit;
        ClipperLib::ClipperOffset offset(limit, std::max(kArcTolerance, distance * kArcToleranceRatio));
        offset.AddPaths(polygons, joinType(joinStyle), ClipperLib::etClosedPolygon);
        offset.Execute(solution, scaledDelta);
    } catch (const ClipperLib::clipperException&) {
        return NSBezierPath::bezierPath();
    }
    return ClipperPolygons::toPath(solution);
}

Ref<NSBezierPath> bezierPathWithOffset(const Ref<NSBezierPath>& path, CGFloat delta)
{
    if (!path) return path;
    return bezierPathWithOffset(path, delta, path->lineJoinStyle(), path->miterLimit());
}

bool isClosed(const Ref<NSBezierPath>& path) { return subpathContainingElementIsClosed(path, 0); }

}
