#include "AppKit/NSBezierPath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSBezierPath)

namespace {
// Class defaults, read and written from any thread.
std::atomic<CGFloat> g_defaultLineWidth{1.0};
std::atomic<CGFloat> g_defaultFlatness{0.6};
std::atomic<CGFloat> g_defaultMiterLimit{10.0};
std::atomic<NSWindingRule> g_defaultWindingRule{NSNonZeroWindingRule};
std::atomic<NSLineCapStyle> g_defaultLineCap{NSButtLineCapStyle};
std::atomic<NSLineJoinStyle> g_defaultLineJoin{NSMiterLineJoinStyle};

// Control-point distance for a quarter circle drawn as one cubic.
constexpr CGFloat kKappa = 0.55228474983079339840;

CGContext* currentPort()
{
    auto context = NSGraphicsContext::currentContext();
    return context ? context->graphicsPort() : nullptr;
}
}

NSBezierPath::NSBezierPath()
{
    m_style.lineWidth = g_defaultLineWidth.load();
    m_style.miterLimit = g_defaultMiterLimit.load();
    m_style.cap = static_cast<CGLineCap>(g_defaultLineCap.load());
    m_style.join = static_cast<CGLineJoin>(g_defaultLineJoin.load());
    m_flatness = g_defaultFlatness.load();
    m_windingRule = g_defaultWindingRule.load();
}

Ref<NSBezierPath> NSBezierPath::bezierPath() { return make<NSBezierPath>(); }

Ref<NSBezierPath> NSBezierPath::bezierPathWithRect(const NSRect& rect)
{
    auto path = bezierPath();
    path->appendBezierPathWithRect(rect);
    return path;
}

Ref<NSBezierPath> NSBezierPath::bezierPathWithOvalInRect(const NSRect& rect)
{
    auto path = bezierPath();
    path->appendBezierPathWithOvalInRect(rect);
    return path;
}

Ref<NSBezierPath> NSBezierPath::bezierPathWithRoundedRect(const NSRect& rect, CGFloat xRadius, CGFloat yRadius)
{
    auto path = bezierPath();
    path->appendBezierPathWithRoundedRect(rect, xRadius, yRadius);
    return path;
}

void NSBezierPath::fillRect(const NSRect& rect) { bezierPathWithRect(rect)->fill(); }
void NSBezierPath::strokeRect(const NSRect& rect) { bezierPathWithRect(rect)->stroke(); }
void NSBezierPath::clipRect(const NSRect& rect) { bezierPathWithRect(rect)->addClip(); }

void NSBezierPath::strokeLineFromPoint(NSPoint from, NSPoint to)
{
    auto path = bezierPath();
    path->moveToPoint(from);
    path->lineToPoint(to);
    path->stroke();
}

CGFloat NSBezierPath::defaultLineWidth() { return g_defaultLineWidth.load(); }
void NSBezierPath::setDefaultLineWidth(CGFloat width) { g_defaultLineWidth.store(width); }
CGFloat NSBezierPath::defaultFlatness() { return g_defaultFlatness.load(); }
void NSBezierPath::setDefaultFlatness(CGFloat flatness) { g_defaultFlatness.store(flatness); }
NSWindingRule NSBezierPath::defaultWindingRule() { return g_defaultWindingRule.load(); }
void NSBezierPath::setDefaultWindingRule(NSWindingRule rule) { g_defaultWindingRule.store(rule); }
NSLineCapStyle NSBezierPath::defaultLineCapStyle() { return g_defaultLineCap.load(); }
void NSBezierPath::setDefaultLineCapStyle(NSLineCapStyle style) { g_defaultLineCap.store(style); }
NSLineJoinStyle NSBezierPath::defaultLineJoinStyle() { return g_defaultLineJoin.load(); }
void NSBezierPath::setDefaultLineJoinStyle(NSLineJoinStyle style) { g_defaultLineJoin.store(style); }
CGFloat NSBezierPath::defaultMiterLimit() { return g_defaultMiterLimit.load(); }
void NSBezierPath::setDefaultMiterLimit(CGFloat limit) { g_defaultMiterLimit.store(limit); }

void NSBezierPath::requireCurrentPoint(const char* method) const
{
    if (m_path.empty())
        NSException::raise(NSGenericException, std::string("NSBezierPath ") + method + ": no current point");
}

void NSBezierPath::moveToPoint(NSPoint p) { m_path.moveTo(p); }

void NSBezierPath::lineToPoint(NSPoint p)
{
    requireCurrentPoint("lineToPoint:");
    m_path.lineTo(p);
}

void NSBezierPath::curveToPoint(NSPoint end, NSPoint control1, NSPoint control2)
{
    requireCurrentPoint("curveToPoint:controlPoint1:controlPoint2:");
    m_path.curveTo(control1, control2, end);
}

void NSBezierPath::relativeMoveToPoint(NSPoint d)
{
    requireCurrentPoint("relativeMoveToPoint:");
    NSPoint c = currentPoint();
    m_path.moveTo({c.x + d.x, c.y + d.y});
}

void NSBezierPath::relativeLineToPoint(NSPoint d)
{
    requireCurrentPoint("relativeLineToPoint:");
    NSPoint c = currentPoint();
    m_path.lineTo({c.x + d.x, c.y + d.y});
}

void NSBezierPath::relativeCurveToPoint(NSPoint end, NSPoint control1, NSPoint control2)
{
    requireCurrentPoint("relativeCurveToPoint:controlPoint1:controlPoint2:");
    NSPoint c = currentPoint();
    m_path.curveTo({c.x + control1.x, c.y + control1.y}, {c.x + control2.x, c.y + control2.y},
                   {c.x + end.x, c.y + end.y});
}

void NSBezierPath::closePath()
{
    if (!m_path.empty() && m_path.elements.back().kind != CGPathElementKind::Close) m_path.close();
}

NSPoint NSBezierPath::currentPoint() const
{
    NSPoint p;
    if (!m_path.currentPoint(p)) NSException::raise(NSGenericException, "NSBezierPath currentPoint: no current point");
    return p;
}

void NSBezierPath::appendBezierPath(const Ref<NSBezierPath>& other)
{
    if (other) m_path.append(other->m_path);
}

void NSBezierPath::appendBezierPathWithRect(const NSRect& rect)
{
    m_path.moveTo({NSMinX(rect), NSMinY(rect)});
    m_path.lineTo({NSMaxX(rect), NSMinY(rect)});
    m_path.lineTo({NSMaxX(rect), NSMaxY(rect)});
    m_path.lineTo({NSMinX(rect), NSMaxY(rect)});
    m_path.close();
}

void NSBezierPath::appendBezierPathWithOvalInRect(const NSRect& r)
{
    CGFloat rx = r.size.width / 2, ry = r.size.height / 2, cx = NSMidX(r), cy = NSMidY(r);
    CGFloat kx = rx * kKappa, ky = ry * kKappa;
    m_path.moveTo({cx + rx, cy});
    m_path.curveTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
    m_path.curveTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
    m_path.curveTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
    m_path.curveTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
    m_path.close();
}

void NSBezierPath::appendBezierPathWithRoundedRect(const NSRect& r, CGFloat xRadius, CGFloat yRadius)
{
    xRadius = std::min(xRadius, r.size.width / 2);
    yRadius = std::min(yRadius, r.size.height / 2);
    if (!(xRadius > 0 && yRadius > 0)) {
        appendBezierPathWithRect(r);
        return;
    }
    CGFloat x0 = NSMinX(r), y0 = NSMinY(r), x1 = NSMaxX(r), y1 = NSMaxY(r);
    CGFloat kx = xRadius * (1 - kKappa), ky = yRadius * (1 - kKappa);
    m_path.elements.reserve(m_path.size() + 10);
    m_path.moveTo({x0 + xRadius, y0});
    m_path.lineTo({x1 - xRadius, y0});
    m_path.curveTo({x1 - kx, y0}, {x1, y0 + ky}, {x1, y0 + yRadius});
    m_path.lineTo({x1, y1 - yRadius});
    m_path.curveTo({x1, y1 - ky}, {x1 - kx, y1}, {x1 - xRadius, y1});
    m_path.lineTo({x0 + xRadius, y1});
    m_path.curveTo({x0 + kx, y1}, {x0, y1 - ky}, {x0, y1 - yRadius});
    m_path.lineTo({x0, y0 + yRadius});
    m_path.curveTo({x0, y0 + ky}, {x0 + kx, y0}, {x0 + xRadius, y0});
    m_path.close();
}

void NSBezierPath::appendBezierPathWithPoints(const NSPoint* points, NSInteger count)
{
    if (!points) return;
    for (NSInteger i = 0; i < count; ++i) {
        if (m_path.empty()) m_path.moveTo(points[i]);
        else m_path.lineTo(points[i]);
    }
}

void NSBezierPath::appendBezierPathWithArcWithCenter(NSPoint center, CGFloat radius, CGFloat startAngle,
                                                     CGFloat endAngle, bool clockwise)
{
    // The sweep, in the direction asked, reduced to at most one turn.
    CGFloat sweep = clockwise ? startAngle - endAngle : endAngle - startAngle;
    if (sweep > 360) sweep = std::fmod(sweep, 360.0);
    if (sweep < 0) sweep = std::fmod(sweep, 360.0) + 360;
    if (clockwise) sweep = -sweep;
    constexpr CGFloat toRadians = std::numbers::pi / 180;
    m_path.appendArc(center, radius, radius, startAngle * toRadians, sweep * toRadians);
}

void NSBezierPath::appendBezierPathWithArcFromPoint(NSPoint p1, NSPoint p2, CGFloat radius)
{
    requireCurrentPoint("appendBezierPathWithArcFromPoint:toPoint:radius:");
    NSPoint p0 = currentPoint();
    CGFloat ax = p0.x - p1.x, ay = p0.y - p1.y, bx = p2.x - p1.x, by = p2.y - p1.y;
    CGFloat la = std::hypot(ax, ay), lb = std::hypot(bx, by);
    CGFloat cross = ax * by - ay * bx;
    // Without a corner (a point repeated, or all on one line) arct draws a
    // line to the first point.
    if (radius <= 0 || la == 0 || lb == 0 || std::fabs(cross) < 1e-12 * la * lb) {
        m_path.lineTo(p1);
        return;
    }
    ax /= la, ay /= la, bx /= lb, by /= lb;
    CGFloat theta = std::acos(std::clamp(ax * bx + ay * by, -1.0, 1.0));
    CGFloat tangentDistance = radius / std::tan(theta / 2);
    NSPoint t1{p1.x + ax * tangentDistance, p1.y + ay * tangentDistance};
    NSPoint t2{p1.x + bx * tangentDistance, p1.y + by * tangentDistance};
    CGFloat mx = ax + bx, my = ay + by, ml = std::hypot(mx, my);
    CGFloat centerDistance = radius / std::sin(theta / 2);
    NSPoint c{p1.x + mx / ml * centerDistance, p1.y + my / ml * centerDistance};
    CGFloat a1 = std::atan2(t1.y - c.y, t1.x - c.x), a2 = std::atan2(t2.y - c.y, t2.x - c.x);
    CGFloat sweep = a2 - a1;
    while (sweep > std::numbers::pi) sweep -= 2 * std::numbers::pi;
    while (sweep < -std::numbers::pi) sweep += 2 * std::numbers::pi;
    size_t lineIndex = m_path.size();
    m_path.appendArc(c, radius, radius, a1, sweep);
    // Start and end exactly on the tangent points, not on cos/sin round-off.
    m_path.elements[lineIndex].points[0] = t1;
    m_path.elements.back().points[2] = t2;
}

void NSBezierPath::appendBezierPathWithGlyph(uint32_t glyph, const Ref<NSFont>& font)
{
    appendBezierPathWithGlyphs(&glyph, 1, font);
}

void NSBezierPath::appendBezierPathWithGlyphs(const uint32_t* glyphs, NSInteger count, const Ref<NSFont>& font)
{
    requireCurrentPoint("appendBezierPathWithGlyphs:count:inFont:");
    if (!font || !glyphs) return;
    NSPoint pen = currentPoint();
    for (NSInteger i = 0; i < count; ++i) {
        font->cgFont()->appendGlyphOutline(glyphs[i], font->pointSize(), pen, m_path);
        pen.x += font->advancementForGlyph(glyphs[i]).width;
    }
    m_path.moveTo(pen);
}

bool NSBezierPath::containsPoint(NSPoint p) const { return m_path.contains(p, fillRule()); }

NSBezierPathElement NSBezierPath::elementAtIndex(NSInteger index) const { return elementAtIndex(index, nullptr); }

NSBezierPathElement NSBezierPath::elementAtIndex(NSInteger index, NSPoint* points) const
{
    if (index < 0 || index >= elementCount())
        NSException::raise(NSRangeException, "NSBezierPath elementAtIndex: index out of range");
    const CGPathElement& e = m_path.elements[static_cast<size_t>(index)];
    if (points)
        for (int i = 0; i < e.pointCount(); ++i) points[i] = e.points[i];
    return static_cast<NSBezierPathElement>(e.kind);
}

void NSBezierPath::setAssociatedPoints(const NSPoint* points, NSInteger index)
{
    if (index < 0 || index >= elementCount())
        NSException::raise(NSRangeException, "NSBezierPath setAssociatedPoints:atIndex: index out of range");
    if (!points) return;
    CGPathElement& e = m_path.elements[static_cast<size_t>(index)];
    for (int i = 0; i < e.pointCount(); ++i) e.points[i] = points[i];
}

Ref<NSBezierPath> NSBezierPath::bezierPathByFlatteningPath() const
{
    return bezierPathByFlatteningPathWithTolerance(defaultFlatness());
}

Ref<NSBezierPath> NSBezierPath::bezierPathByFlatteningPathWithTolerance(CGFloat tolerance) const
{
    auto path = static_ref_cast<NSBezierPath>(copy());
    path->m_path = m_path.flattened(tolerance);
    return path;
}

Ref<NSBezierPath> NSBezierPath::bezierPathByReversingPath() const
{
    auto path = static_ref_cast<NSBezierPath>(copy());
    path->m_path = m_path.reversed();
    return path;
}

void NSBezierPath::transformUsingAffineTransform(const Ref<NSAffineTransform>& transform)
{
    if (transform) m_path.transform(transform->cgTransform());
}

void NSBezierPath::setLineDash(const CGFloat* pattern, NSInteger count, CGFloat phase)
{
    m_style.dash.assign(pattern, pattern + (pattern && count > 0 ? count : 0));
    m_style.dashPhase = phase;
}

void NSBezierPath::getLineDash(CGFloat* pattern, NSInteger* count, CGFloat* phase) const
{
    if (pattern) std::copy(m_style.dash.begin(), m_style.dash.end(), pattern);
    if (count) *count = static_cast<NSInteger>(m_style.dash.size());
    if (phase) *phase = m_style.dashPhase;
}

void NSBezierPath::fill() const
{
    CGContext* port = currentPort();
    if (!port) return;
    if (port->gstate().focusRingOnly) return DrawFocusRingForPath(*this);
    port->fillPath(m_path, fillRule());
}

void NSBezierPath::stroke() const
{
    CGContext* port = currentPort();
    if (!port) return;
    if (port->gstate().focusRingOnly) return DrawFocusRingForPath(*this);
    port->strokePath(m_path, m_style);
}

void NSBezierPath::addClip() const
{
    if (CGContext* port = currentPort()) port->clipToPath(m_path, fillRule());
}

void NSBezierPath::setClip() const
{
    if (CGContext* port = currentPort()) port->replaceClip(m_path, fillRule());
}

Id NSBezierPath::copy() const
{
    auto path = alloc<NSBezierPath>();
    path->m_path = m_path;
    path->m_style = m_style;
    path->m_flatness = m_flatness;
    path->m_windingRule = m_windingRule;
    return path;
}

Ref<NSString> NSBezierPath::description() const
{
    std::string text = "NSBezierPath {";
    char buffer[160];
    for (const CGPathElement& e : m_path.elements) {
        const CGPoint* p = e.points;
        switch (e.kind) {
        case CGPathElementKind::MoveTo: std::snprintf(buffer, sizeof buffer, " %g %g moveto", p[0].x, p[0].y); break;
        case CGPathElementKind::LineTo: std::snprintf(buffer, sizeof buffer, " %g %g lineto", p[0].x, p[0].y); break;
        case CGPathElementKind::CurveTo:
            std::snprintf(buffer, sizeof buffer, " %g %g %g %g %g %g curveto", p[0].x, p[0].y, p[1].x, p[1].y, p[2].x,
                          p[2].y);
            break;
        case CGPathElementKind::Close: std::snprintf(buffer, sizeof buffer, " closepath"); break;
        }
        text += buffer;
    }
    return NSString::stringWithUTF8String(text + " }");
}
