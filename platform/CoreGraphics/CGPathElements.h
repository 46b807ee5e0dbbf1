#pragma once
// The layer's own path model: a list of move, line, curve and close elements,
// with the geometry the drawing classes need (exact bounds, flattening,
// reversal, hit testing). Cairo sees a path only when it is drawn.
#include <cstddef>
#include <vector>

#include "CoreGraphics/CGAffineTransform.h"

enum class CGPathElementKind : uint8_t { MoveTo = 0, LineTo = 1, CurveTo = 2, Close = 3 };

struct CGPathElement {
    CGPathElementKind kind = CGPathElementKind::MoveTo;
    // MoveTo and LineTo use points[0]; CurveTo is control 1, control 2, end.
    CGPoint points[3];
    int pointCount() const { return kind == CGPathElementKind::CurveTo ? 3 : kind == CGPathElementKind::Close ? 0 : 1; }
    friend bool operator==(const CGPathElement& a, const CGPathElement& b)
    {
        if (a.kind != b.kind) return false;
        for (int i = 0; i < a.pointCount(); ++i)
            if (!(a.points[i] == b.points[i])) return false;
        return true;
    }
};

enum class CGPathFillRule : uint8_t { NonZero = 0, EvenOdd = 1 };

struct CGPathElements {
    std::vector<CGPathElement> elements;

    bool empty() const { return elements.empty(); }
    size_t size() const { return elements.size(); }
    void moveTo(CGPoint p) { elements.push_back({CGPathElementKind::MoveTo, {p}}); }
    void lineTo(CGPoint p) { elements.push_back({CGPathElementKind::LineTo, {p}}); }
    void curveTo(CGPoint c1, CGPoint c2, CGPoint end)
    {
        elements.push_back({CGPathElementKind::CurveTo, {c1, c2, end}});
    }
    void close() { elements.push_back({CGPathElementKind::Close, {}}); }
    void append(const CGPathElements& other)
    {
        elements.insert(elements.end(), other.elements.begin(), other.elements.end());
    }

    // The current point: the last end point, or the start of the subpath after
    // a close. False on an empty path.
    bool currentPoint(CGPoint& out) const;
    // Appends an ellipse arc as curves (angles in radians, positive sweep
    // runs counterclockwise in y-up space); begins with a line or move to the
    // arc's start.
    void appendArc(CGPoint center, CGFloat rx, CGFloat ry, CGFloat startAngle, CGFloat sweep);

    // The exact bounds of the drawn geometry (curve extrema, not control
    // points); the zero rectangle for an empty path.
    CGRect bounds() const;
    CGRect controlPointBounds() const;
    // Curves replaced by line segments that stay within tolerance of them.
    CGPathElements flattened(CGFloat tolerance) const;
    // Each subpath reversed in place; a closed subpath keeps its start point.
    CGPathElements reversed() const;
    // Winding test; every subpath counts as closed.
    bool contains(CGPoint p, CGPathFillRule rule) const;
    CGPathElements transformed(const CGAffineTransform& t) const;
    void transform(const CGAffineTransform& t);

    friend bool operator==(const CGPathElements&, const CGPathElements&) = default;
};
