#include "CoreGraphics/CGPathElements.h"
#include "CoreGraphics/CGPathFlattening.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

CGPoint lerp(CGPoint a, CGPoint b, CGFloat t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

CGFloat cubicAt(CGFloat p0, CGFloat p1, CGFloat p2, CGFloat p3, CGFloat t)
{
    CGFloat u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

// Parameters in (0, 1) where one coordinate of a cubic has a turning point.
int cubicExtrema(CGFloat p0, CGFloat p1, CGFloat p2, CGFloat p3, CGFloat out[2])
{
    // Derivative / 3 = a t^2 + b t + c.
    CGFloat a = -p0 + 3 * p1 - 3 * p2 + p3;
    CGFloat b = 2 * (p0 - 2 * p1 + p2);
    CGFloat c = p1 - p0;
    int n = 0;
    auto keep = [&](CGFloat t) {
        if (t > 0 && t < 1) out[n++] = t;
    };
    if (std::fabs(a) < 1e-12) {
        if (std::fabs(b) > 1e-12) keep(-c / b);
        return n;
    }
    CGFloat disc = b * b - 4 * a * c;
    if (disc < 0) return 0;
    CGFloat root = std::sqrt(disc);
    keep((-b + root) / (2 * a));
    keep((-b - root) / (2 * a));
    return n;
}

struct Box {
    CGFloat x0 = std::numeric_limits<CGFloat>::infinity(), y0 = x0, x1 = -x0, y1 = -x0;
    void add(CGPoint p)
    {
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    CGRect rect() const { return x0 > x1 ? CGRectZero : CGRectMake(x0, y0, x1 - x0, y1 - y0); }
};

// Distance of the control points from the chord bounds the curve's distance
// from it (the curve lies in the control polygon's hull).
bool flatEnough(CGPoint p0, CGPoint c1, CGPoint c2, CGPoint p3, CGFloat tolerance)
{
    CGFloat dx = p3.x - p0.x, dy = p3.y - p0.y;
    CGFloat len = std::hypot(dx, dy);
    auto dist = [&](CGPoint p) {
        if (len < 1e-12) return std::hypot(p.x - p0.x, p.y - p0.y);
        return std::fabs((p.x - p0.x) * dy - (p.y - p0.y) * dx) / len;
    };
    return std::max(dist(c1), dist(c2)) <= tolerance;
}

// Hands the end of each line the curve is replaced by to `lineTo`, which
// answers false to stop; answers false when stopped.
template <class LineTo>
bool flattenCurve(CGPoint p0, CGPoint c1, CGPoint c2, CGPoint p3, CGFloat tolerance, int depth, LineTo& lineTo)
{
    if (depth >= 16 || flatEnough(p0, c1, c2, p3, tolerance)) return lineTo(p3);
    CGPoint ab = lerp(p0, c1, 0.5), bc = lerp(c1, c2, 0.5), cd = lerp(c2, p3, 0.5);
    CGPoint abc = lerp(ab, bc, 0.5), bcd = lerp(bc, cd, 0.5), mid = lerp(abc, bcd, 0.5);
    return flattenCurve(p0, ab, abc, mid, tolerance, depth + 1, lineTo) &&
           flattenCurve(mid, bcd, cd, p3, tolerance, depth + 1, lineTo);
}

// One subpath as a start point and segments, for reversal.
struct Segment {
    CGPathElementKind kind;
    CGPoint c1, c2, end;
};

void emitReversed(CGPoint start, const std::vector<Segment>& segs, bool closed, CGPathElements& out)
{
    if (closed) {
        out.moveTo(start);
        CGPoint last = segs.empty() ? start : segs.back().end;
        if (!(last == start)) out.lineTo(last);
    } else {
        out.moveTo(segs.empty() ? start : segs.back().end);
    }
    for (size_t i = segs.size(); i-- > 0;) {
        CGPoint to = i == 0 ? start : segs[i - 1].end;
        const Segment& s = segs[i];
        if (s.kind == CGPathElementKind::CurveTo) {
            out.curveTo(s.c2, s.c1, to);
        } else if (!(closed && i == 0)) {
            // The close draws a closed subpath's last line back to the start.
            out.lineTo(to);
        }
    }
    if (closed) out.close();
}

}

bool CGPathElements::currentPoint(CGPoint& out) const
{
    if (elements.empty()) return false;
    CGPoint start{}, current{};
    for (const CGPathElement& e : elements) {
        switch (e.kind) {
        case CGPathElementKind::MoveTo: start = current = e.points[0]; break;
        case CGPathElementKind::LineTo: current = e.points[0]; break;
        case CGPathElementKind::CurveTo: current = e.points[2]; break;
        case CGPathElementKind::Close: current = start; break;
        }
    }
    out = current;
    return true;
}

void CGPathElements::appendArc(CGPoint center, CGFloat rx, CGFloat ry, CGFloat startAngle, CGFloat sweep)
{
    auto at = [&](CGFloat angle) { return CGPoint{center.x + rx * std::cos(angle), center.y + ry * std::sin(angle)}; };
    CGPoint first = at(startAngle);
    if (elements.empty()) moveTo(first);
    else lineTo(first);
    if (sweep == 0) return;
    int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    CGFloat step = sweep / pieces;
    CGFloat k = 4.0 / 3.0 * std::tan(step / 4);
    CGFloat a = startAngle;
    for (int i = 0; i < pieces; ++i) {
        CGFloat b = a + step;
        CGFloat ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
        CGPoint c1{center.x + rx * (ca - k * sa), center.y + ry * (sa + k * ca)};
        CGPoint c2{center.x + rx * (cb + k * sb), center.y + ry * (sb - k * cb)};
        curveTo(c1, c2, at(b));
        a = b;
    }
}

CGRect CGPathElements::bounds() const
{
    Box box;
    CGPoint start{}, current{};
    for (const CGPathElement& e : elements) {
        switch (e.kind) {
        case CGPathElementKind::MoveTo:
            start = current = e.points[0];
            box.add(current);
            break;
        case CGPathElementKind::LineTo:
            current = e.points[0];
            box.add(current);
            break;
        case CGPathElementKind::CurveTo: {
            const CGPoint* c = e.points;
            CGFloat ts[2];
            int n = cubicExtrema(current.x, c[0].x, c[1].x, c[2].x, ts);
            for (int i = 0; i < n; ++i) box.add({cubicAt(current.x, c[0].x, c[1].x, c[2].x, ts[i]), current.y});
            n = cubicExtrema(current.y, c[0].y, c[1].y, c[2].y, ts);
            for (int i = 0; i < n; ++i) box.add({current.x, cubicAt(current.y, c[0].y, c[1].y, c[2].y, ts[i])});
            current = c[2];
            box.add(current);
            break;
        }
        case CGPathElementKind::Close: current = start; break;
        }
    }
    return box.rect();
}

CGRect CGPathElements::controlPointBounds() const
{
    Box box;
    for (const CGPathElement& e : elements)
        for (int i = 0; i < e.pointCount(); ++i) box.add(e.points[i]);
    return box.rect();
}

CGPathElements CGPathElements::flattened(CGFloat tolerance) const
{
    tolerance = std::max(tolerance, CGFloat(1e-3));
    CGPathElements out;
    out.elements.reserve(elements.size());
    CGPoint start{}, current{};
    for (const CGPathElement& e : elements) {
        switch (e.kind) {
        case CGPathElementKind::MoveTo:
            start = current = e.points[0];
            out.elements.push_back(e);
            break;
        case CGPathElementKind::LineTo:
            current = e.points[0];
            out.elements.push_back(e);
            break;
        case CGPathElementKind::CurveTo: {
            auto lineTo = [&out](CGPoint p) {
                out.lineTo(p);
                return true;
            };
            flattenCurve(current, e.points[0], e.points[1], e.points[2], tolerance, 0, lineTo);
            current = e.points[2];
            break;
        }
        case CGPathElementKind::Close:
            current = start;
            out.elements.push_back(e);
            break;
        }
    }
    return out;
}

void CGPathVisitFlattened(const CGPathElements& path, const CGAffineTransform& transform, CGFloat tolerance,
                          const std::function<bool(CGPathElementKind, CGPoint)>& visit)
{
    tolerance = std::max(tolerance, CGFloat(1e-3));
    auto at = [&transform](CGPoint p) { return CGPointApplyAffineTransform(p, transform); };
    auto lineTo = [&visit](CGPoint p) { return visit(CGPathElementKind::LineTo, p); };
    CGPoint start{}, current{};
    for (const CGPathElement& e : path.elements) {
        switch (e.kind) {
        case CGPathElementKind::MoveTo:
            start = current = at(e.points[0]);
            if (!visit(CGPathElementKind::MoveTo, current)) return;
            break;
        case CGPathElementKind::LineTo:
            current = at(e.points[0]);
            if (!visit(CGPathElementKind::LineTo, current)) return;
            break;
        case CGPathElementKind::CurveTo: {
            const CGPoint end = at(e.points[2]);
            if (!flattenCurve(current, at(e.points[0]), at(e.points[1]), end, tolerance, 0, lineTo)) return;
            current = end;
            break;
        }
        case CGPathElementKind::Close:
            current = start;
            if (!visit(CGPathElementKind::Close, start)) return;
            break;
        }
    }
}

CGPathElements CGPathElements::reversed() const
{
    CGPathElements out;
    out.elements.reserve(elements.size() + 2);
    CGPoint start{};
    std::vector<Segment> segs;
    bool open = false;  // a subpath has started
    auto flush = [&](bool closed) {
        if (open) emitReversed(start, segs, closed, out);
        segs.clear();
        open = false;
    };
    for (const CGPathElement& e : elements) {
        switch (e.kind) {
        case CGPathElementKind::MoveTo:
            flush(false);
            start = e.points[0];
            open = true;
            break;
        case CGPathElementKind::LineTo:
        case CGPathElementKind::CurveTo:
            // A segment after a close starts a new subpath at the old start.
            open = true;
            if (e.kind == CGPathElementKind::LineTo) segs.push_back({e.kind, {}, {}, e.points[0]});
            else segs.push_back({e.kind, e.points[0], e.points[1], e.points[2]});
            break;
        case CGPathElementKind::Close:
            if (!open) break;
            flush(true);
            break;
        }
    }
    flush(false);
    return out;
}

bool CGPathElements::contains(CGPoint p, CGPathFillRule rule) const
{
    CGPathElements flat = flattened(0.01);
    int winding = 0;
    CGPoint start{}, current{};
    bool open = false;
    auto edge = [&](CGPoint a, CGPoint b) {
        // Upward edges count +1, downward -1, half-open in y.
        if (a.y <= p.y) {
            if (b.y > p.y && (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y) > 0) ++winding;
        } else if (b.y <= p.y && (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y) < 0) {
            --winding;
        }
    };
    for (const CGPathElement& e : flat.elements) {
        switch (e.kind) {
        case CGPathElementKind::MoveTo:
            if (open) edge(current, start);
            start = current = e.points[0];
            open = true;
            break;
        case CGPathElementKind::LineTo:
            edge(current, e.points[0]);
            current = e.points[0];
            open = true;
            break;
        case CGPathElementKind::CurveTo: break;  // none after flattening
        case CGPathElementKind::Close:
            edge(current, start);
            current = start;
            open = false;
            break;
        }
    }
    if (open) edge(current, start);
    return rule == CGPathFillRule::EvenOdd ? (winding & 1) != 0 : winding != 0;
}

void CGPathElements::transform(const CGAffineTransform& t)
{
    for (CGPathElement& e : elements)
        for (int i = 0; i < e.pointCount(); ++i) e.points[i] = CGPointApplyAffineTransform(e.points[i], t);
}

CGPathElements CGPathElements::transformed(const CGAffineTransform& t) const
{
    CGPathElements copy = *this;
    copy.transform(t);
    return copy;
}
