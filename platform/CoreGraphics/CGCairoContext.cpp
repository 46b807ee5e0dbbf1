#include "CoreGraphics/CGCairoContext.h"

#include <cairo-ft.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "CoreGraphics/CGCaches.h"
#include "CoreGraphics/CGFont.h"
#include "CoreGraphics/CGShadowBlur.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CGCairoContext)

namespace {

cairo_matrix_t toCairo(const CGAffineTransform& t) { return {t.a, t.b, t.c, t.d, t.tx, t.ty}; }

void appendPath(cairo_t* cr, const CGPathElements& path)
{
    cairo_new_path(cr);
    for (const CGPathElement& e : path.elements) {
        const CGPoint* p = e.points;
        switch (e.kind) {
        case CGPathElementKind::MoveTo: cairo_move_to(cr, p[0].x, p[0].y); break;
        case CGPathElementKind::LineTo: cairo_line_to(cr, p[0].x, p[0].y); break;
        case CGPathElementKind::CurveTo: cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y); break;
        case CGPathElementKind::Close: cairo_close_path(cr); break;
        }
    }
}

cairo_fill_rule_t fillRule(CGPathFillRule rule)
{
    return rule == CGPathFillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
}

cairo_pattern_t* gradientStops(cairo_pattern_t* pattern, const std::vector<CGGradientStop>& stops, CGFloat alpha)
{
    for (const CGGradientStop& s : stops)
        cairo_pattern_add_color_stop_rgba(pattern, s.location, s.color.r, s.color.g, s.color.b,
                                          std::clamp(s.color.a, 0.0, 1.0) * alpha);
    return pattern;
}

// Sets up line attributes; a zero width is drawn one device pixel wide by
// stroking the path in device space.
void strokeWith(cairo_t* cr, const CGPathElements& path, const CGStrokeStyle& style, const CGAffineTransform& ctm)
{
    cairo_set_line_cap(cr, static_cast<cairo_line_cap_t>(style.cap));
    cairo_set_line_join(cr, static_cast<cairo_line_join_t>(style.join));
    cairo_set_miter_limit(cr, style.miterLimit);
    cairo_set_dash(cr, style.dash.data(), static_cast<int>(style.dash.size()), style.dashPhase);
    if (style.lineWidth > 0) {
        cairo_set_line_width(cr, style.lineWidth);
        appendPath(cr, path);
        cairo_stroke(cr);
        return;
    }
    // A view at a fractional offset in its window still draws its hairlines
    // on whole pixel rows: the offset is rounded when the transform only
    // moves, flips or turns by quarters.
    CGAffineTransform device = ctm;
    auto unit = [](CGFloat v) { return v == 0 || v == 1 || v == -1; };
    if (unit(ctm.a) && unit(ctm.b) && unit(ctm.c) && unit(ctm.d)) {
        device.tx = std::round(ctm.tx);
        device.ty = std::round(ctm.ty);
    }
    cairo_identity_matrix(cr);
    cairo_set_line_width(cr, 1);
    appendPath(cr, path.transformed(device));
    cairo_stroke(cr);
}

bool wholePixel(CGFloat v) { return v == std::trunc(v) && std::fabs(v) < 1e7; }

// Whether a path, in device space, has only horizontal and vertical edges on
// whole pixels: a clip to it leaves every pixel wholly inside or outside.
bool coversWholePixels(const CGPathElements& path, const CGAffineTransform& ctm)
{
    auto straight = [](CGPoint a, CGPoint b) { return a.x == b.x || a.y == b.y; };
    CGPoint start{}, last{};
    bool open = false;
    for (const CGPathElement& e : path.elements) {
        if (e.kind == CGPathElementKind::CurveTo) return false;
        if (e.kind == CGPathElementKind::Close) {
            if (open && !straight(last, start)) return false;
            last = start;
            continue;
        }
        const CGPoint p = CGPointApplyAffineTransform(e.points[0], ctm);
        if (!wholePixel(p.x) || !wholePixel(p.y)) return false;
        if (e.kind == CGPathElementKind::MoveTo || !open) {
            if (open && !straight(last, start)) return false;
            start = last = p;
            open = true;
            continue;
        }
        if (!straight(last, p)) return false;
        last = p;
    }
    return !open || straight(last, start);
}

}

CGCairoContext::~CGCairoContext()
{
    if (m_cr) cairo_destroy(m_cr);
}

Ref<CGCairoContext> CGCairoContext::createForImage(const Ref<CGImage>& image)
{
    if (!image) return nullptr;
    GraphicsRegisterCacheRelease();
    auto context = alloc<CGCairoContext>();
    context->m_image = image;
    context->m_cr = cairo_create(image->surface());
    return context;
}

CGSize CGCairoContext::deviceSize() const
{
    return {static_cast<CGFloat>(m_image->width()), static_cast<CGFloat>(m_image->height())};
}

void CGCairoContext::didSave()
{
    cairo_save(m_cr);
    m_clipStack.push_back(m_clipOnWholePixels);
}

void CGCairoContext::didRestore()
{
    cairo_restore(m_cr);
    if (m_clipStack.empty()) return;
    m_clipOnWholePixels = m_clipStack.back();
    m_clipStack.pop_back();
}

void CGCairoContext::flush() { cairo_surface_flush(m_image->surface()); }

void CGCairoContext::applyState(cairo_t* cr) const
{
    cairo_matrix_t m = toCairo(gstate().ctm);
    cairo_set_matrix(cr, &m);
    cairo_set_antialias(cr, gstate().antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void CGCairoContext::setPaint(cairo_t* cr, const CGPaint& paint) const
{
    CGFloat alpha = std::clamp(gstate().alpha, 0.0, 1.0);
    if (!paint.pattern) {
        const CGRGBA& c = paint.color;
        cairo_set_source_rgba(cr, c.r, c.g, c.b, std::clamp(c.a, 0.0, 1.0) * alpha);
        return;
    }
    // Pattern images tile from the device origin.
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(paint.pattern->surface());
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_matrix_t m = toCairo(gstate().ctm);
    cairo_pattern_set_matrix(pattern, &m);
    if (alpha < 1) {
        cairo_push_group(cr);
        cairo_set_source(cr, pattern);
        cairo_paint_with_alpha(cr, alpha);
        cairo_pattern_destroy(pattern);
        pattern = cairo_pop_group(cr);
        cairo_matrix_t id;
        cairo_matrix_init_identity(&id);
        cairo_pattern_set_matrix(pattern, &id);
    }
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

void CGCairoContext::render(const Painter& draw, const Painter& coverage)
{
    if (gstate().shadow.enabled) renderShadow(draw);
    int op;
    if (!CGCompositingCairoOperator(gstate().operation, op)) {
        compositeByFormula(draw, coverage);
        return;
    }
    // Every drawing sets all the Cairo state it uses, so no save is needed.
    applyState(m_cr);
    cairo_set_operator(m_cr, static_cast<cairo_operator_t>(op));
    draw(m_cr);
}

void CGCairoContext::renderShadow(const Painter& draw)
{
    flush();
    const CGShadowStyle& shadow = gstate().shadow;
    int w = static_cast<int>(m_image->width()), h = static_cast<int>(m_image->height());
    // The shape alone, unclipped, so a shadow may fall inside the clip from a
    // shape outside it.
    cairo_surface_t* shape = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(shape);
    applyState(cr);
    draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(shape);
    CGTintedBlur(cairo_image_surface_get_data(shape), w, h, cairo_image_surface_get_stride(shape),
                 shadow.blurRadius / 2, shadow.color.r, shadow.color.g, shadow.color.b,
                 std::clamp(shadow.color.a, 0.0, 1.0));
    cairo_surface_mark_dirty(shape);
    cairo_save(m_cr);
    cairo_identity_matrix(m_cr);
    cairo_set_operator(m_cr, CAIRO_OPERATOR_OVER);
    // Base space has y up; the device has y down.
    cairo_set_source_surface(m_cr, shape, shadow.offset.width, -shadow.offset.height);
    cairo_paint(m_cr);
    cairo_restore(m_cr);
    cairo_surface_destroy(shape);
}

void CGCairoContext::compositeByFormula(const Painter& draw, const Painter& coverage)
{
    flush();
    int w = static_cast<int>(m_image->width()), h = static_cast<int>(m_image->height());
    // The source as drawn (premultiplied, times its coverage) and the
    // coverage alone, both within the clip.
    cairo_save(m_cr);
    applyState(m_cr);
    cairo_push_group_with_content(m_cr, CAIRO_CONTENT_COLOR_ALPHA);
    draw(m_cr);
    cairo_pattern_t* sourceGroup = cairo_pop_group(m_cr);
    cairo_push_group_with_content(m_cr, CAIRO_CONTENT_ALPHA);
    applyState(m_cr);
    cairo_set_source_rgba(m_cr, 0, 0, 0, 1);
    coverage(m_cr);
    cairo_pattern_t* maskGroup = cairo_pop_group(m_cr);
    cairo_restore(m_cr);

    // Bring both to full-size surfaces so pixels line up with the target.
    auto materialise = [&](cairo_pattern_t* group, cairo_format_t format) {
        cairo_surface_t* s = cairo_image_surface_create(format, w, h);
        cairo_t* cr = cairo_create(s);
        cairo_set_source(cr, group);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        cairo_pattern_destroy(group);
        return s;
    };
    cairo_surface_t* src = materialise(sourceGroup, CAIRO_FORMAT_ARGB32);
    cairo_surface_t* mask = materialise(maskGroup, CAIRO_FORMAT_A8);

    NSCompositingOperation op = gstate().operation;
    uint8_t* dst = m_image->data();
    size_t dstStride = m_image->bytesPerRow();
    const uint8_t* srcData = cairo_image_surface_get_data(src);
    const uint8_t* maskData = cairo_image_surface_get_data(mask);
    int srcStride = cairo_image_surface_get_stride(src), maskStride = cairo_image_surface_get_stride(mask);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t m8 = maskData[y * maskStride + x];
            if (m8 == 0) continue;
            CGFloat m = m8 / 255.0;
            uint32_t s32, d32;
            std::memcpy(&s32, srcData + y * srcStride + x * 4, 4);
            std::memcpy(&d32, dst + y * dstStride + x * 4, 4);
            CGFloat sa = std::min(1.0, ((s32 >> 24) & 0xff) / 255.0 / m);
            CGFloat da = ((d32 >> 24) & 0xff) / 255.0;
            uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                CGFloat s = std::min(1.0, ((s32 >> shift) & 0xff) / 255.0 / m);
                CGFloat d = ((d32 >> shift) & 0xff) / 255.0;
                CGFloat r = CGCompositeChannel(op, s, sa, d, da);
                CGFloat v = d + (r - d) * m;
                out |= static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)) << shift;
            }
            std::memcpy(dst + y * dstStride + x * 4, &out, 4);
        }
    }
    m_image->markDirty();
    cairo_surface_destroy(src);
    cairo_surface_destroy(mask);
}

void CGCairoContext::clipToPath(const CGPathElements& path, CGPathFillRule rule)
{
    m_hasKeptPath = false;
    m_clipOnWholePixels = m_clipOnWholePixels && coversWholePixels(path, gstate().ctm);
    applyState(m_cr);
    appendPath(m_cr, path);
    cairo_set_fill_rule(m_cr, fillRule(rule));
    cairo_clip(m_cr);
}

void CGCairoContext::replaceClip(const CGPathElements& path, CGPathFillRule rule)
{
    m_hasKeptPath = false;
    cairo_reset_clip(m_cr);
    m_clipOnWholePixels = true;
    if (hasBaseClip()) {
        const CGRect& r = baseClip();
        m_clipOnWholePixels =
            wholePixel(r.origin.x) && wholePixel(r.origin.y) && wholePixel(r.size.width) && wholePixel(r.size.height);
        cairo_identity_matrix(m_cr);
        cairo_new_path(m_cr);
        cairo_rectangle(m_cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
        cairo_clip(m_cr);
    }
    clipToPath(path, rule);
}

void CGCairoContext::clipToMask(const CGRect& rect, const Ref<CGImage>& mask)
{
    if (!mask) return;
    // Cairo clips only to paths; an image mask clips everything drawn until
    // the state is restored, so it becomes a group finished at restore time.
    // Here the mask's opaque area is traced as pixel rectangles instead,
    // which keeps the clip a path.
    CGFloat w = static_cast<CGFloat>(mask->width()), h = static_cast<CGFloat>(mask->height());
    CGAffineTransform toUser{rect.size.width / w, 0, 0, -rect.size.height / h, rect.origin.x, NSMaxY(rect)};
    CGPathElements path;
    for (size_t y = 0; y < mask->height(); ++y) {
        size_t x = 0;
        while (x < mask->width()) {
            if ((mask->pixel(x, y) >> 24) < 128) {
                ++x;
                continue;
            }
            size_t start = x;
            while (x < mask->width() && (mask->pixel(x, y) >> 24) >= 128) ++x;
            CGFloat y0 = static_cast<CGFloat>(y), x0 = static_cast<CGFloat>(start), x1 = static_cast<CGFloat>(x);
            CGPathElements run;
            run.moveTo({x0, y0});
            run.lineTo({x1, y0});
            run.lineTo({x1, y0 + 1});
            run.lineTo({x0, y0 + 1});
            run.close();
            path.append(run.transformed(toUser));
        }
    }
    clipToPath(path, CGPathFillRule::NonZero);
}

CGCairoContext::PathKey CGCairoContext::keyFor(const CGPathElements& path) const
{
    PathKey key{path.elements.data(), path.size(), gstate().ctm, 0};
    for (const CGPathElement& e : path.elements)
        for (int i = 0; i < e.pointCount(); ++i)
            key.checksum += e.points[i].x * 3 + e.points[i].y * 7 + static_cast<int>(e.kind);
    return key;
}

void CGCairoContext::fillPath(const CGPathElements& path, CGPathFillRule rule)
{
    auto shape = [&](cairo_t* cr) {
        appendPath(cr, path);
        cairo_set_fill_rule(cr, fillRule(rule));
        cairo_fill(cr);
    };
    if (!gstate().shadow.enabled && CGCompositingCairoOperator(gstate().operation, m_scratchOperator)) {
        // The common case keeps Cairo's path, so a stroke of the same path
        // that follows need not build it again.
        applyState(m_cr);
        cairo_set_operator(m_cr, static_cast<cairo_operator_t>(m_scratchOperator));
        setPaint(m_cr, gstate().fill);
        appendPath(m_cr, path);
        cairo_set_fill_rule(m_cr, fillRule(rule));
        cairo_fill_preserve(m_cr);
        m_keptPath = keyFor(path);
        m_hasKeptPath = true;
        return;
    }
    m_hasKeptPath = false;
    render(
        [&](cairo_t* cr) {
            setPaint(cr, gstate().fill);
            shape(cr);
        },
        shape);
}

void CGCairoContext::strokePath(const CGPathElements& path, const CGStrokeStyle& style)
{
    CGAffineTransform ctm = gstate().ctm;
    bool reuse = m_hasKeptPath && style.lineWidth > 0 && !gstate().shadow.enabled && m_keptPath == keyFor(path);
    m_hasKeptPath = false;
    if (reuse && CGCompositingCairoOperator(gstate().operation, m_scratchOperator)) {
        applyState(m_cr);
        cairo_set_operator(m_cr, static_cast<cairo_operator_t>(m_scratchOperator));
        setPaint(m_cr, gstate().stroke);
        cairo_set_line_cap(m_cr, static_cast<cairo_line_cap_t>(style.cap));
        cairo_set_line_join(m_cr, static_cast<cairo_line_join_t>(style.join));
        cairo_set_miter_limit(m_cr, style.miterLimit);
        cairo_set_dash(m_cr, style.dash.data(), static_cast<int>(style.dash.size()), style.dashPhase);
        cairo_set_line_width(m_cr, style.lineWidth);
        cairo_stroke(m_cr);
        return;
    }
    auto shape = [&](cairo_t* cr) { strokeWith(cr, path, style, ctm); };
    render(
        [&](cairo_t* cr) {
            setPaint(cr, gstate().stroke);
            shape(cr);
        },
        shape);
}

void CGCairoContext::drawImage(const Ref<CGImage>& image, const CGRect& sourcePixels,
                               const CGAffineTransform& sourceToUser, CGFloat fraction)
{
    m_hasKeptPath = false;
    if (!image || CGRectIsEmpty(sourcePixels)) return;
    fraction = std::clamp(fraction, 0.0, 1.0) * std::clamp(gstate().alpha, 0.0, 1.0);
    if (m_alignedImages && drawImageAligned(image, sourcePixels, sourceToUser, fraction)) return;
    cairo_matrix_t toUser = toCairo(sourceToUser);
    CGRect src = CGRectStandardize(sourcePixels);
    cairo_filter_t filter = gstate().interpolation == kCGInterpolationNone ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD;
    auto area = [&](cairo_t* cr) {
        cairo_transform(cr, &toUser);
        cairo_new_path(cr);
        cairo_rectangle(cr, 0, 0, src.size.width, src.size.height);
    };
    auto draw = [&](cairo_t* cr) {
        cairo_save(cr);
        area(cr);
        cairo_clip(cr);
        // The fraction belongs to the source, not to its coverage: with the
        // copy operation a half-faded image replaces what was there.
        if (fraction < 1) cairo_push_group(cr);
        cairo_set_source_surface(cr, image->surface(), -src.origin.x, -src.origin.y);
        cairo_pattern_set_filter(cairo_get_source(cr), filter);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        if (fraction < 1) {
            cairo_paint_with_alpha(cr, fraction);
            cairo_pop_group_to_source(cr);
        }
        cairo_paint(cr);
        cairo_restore(cr);
    };
    auto coverage = [&](cairo_t* cr) {
        cairo_save(cr);
        area(cr);
        cairo_fill(cr);
        cairo_restore(cr);
    };
    render(draw, coverage);
}

// Most images are drawn at their size on whole device pixels, upright or
// flipped (icons, handles): each image pixel then covers exactly one device
// pixel, and filling the image's device rectangle with the image as source
// gives the pixels the clipped paint gives, without saving Cairo's state or
// building a clip per image.
bool CGCairoContext::drawImageAligned(const Ref<CGImage>& image, const CGRect& sourcePixels,
                                      const CGAffineTransform& sourceToUser, CGFloat fraction)
{
    // A clip with partly covered pixels rounds differently for a fill than
    // for a paint.
    if (fraction < 1 || !m_clipOnWholePixels || gstate().shadow.enabled ||
        !CGCompositingCairoOperator(gstate().operation, m_scratchOperator))
        return false;
    const CGAffineTransform m = CGAffineTransformConcat(sourceToUser, gstate().ctm);
    if (m.b != 0 || m.c != 0 || std::fabs(m.a) != 1 || std::fabs(m.d) != 1 || !wholePixel(m.tx) || !wholePixel(m.ty))
        return false;
    // The general path pads a source rectangle that reaches past the image;
    // here every pixel drawn must lie inside it.
    const CGRect src = CGRectStandardize(sourcePixels);
    if (!wholePixel(src.origin.x) || !wholePixel(src.origin.y) || !wholePixel(src.size.width) ||
        !wholePixel(src.size.height))
        return false;
    if (src.origin.x < 0 || src.origin.y < 0 || NSMaxX(src) > static_cast<CGFloat>(image->width()) ||
        NSMaxY(src) > static_cast<CGFloat>(image->height()))
        return false;
    const auto op = static_cast<cairo_operator_t>(m_scratchOperator);
    cairo_identity_matrix(m_cr);
    cairo_set_operator(m_cr, op);
    cairo_set_source_surface(m_cr, image->surface(), 0, 0);
    // Device pixels to image pixels: the inverse of the unit transform.
    cairo_matrix_t toImage{m.a, 0, 0, m.d, src.origin.x - m.a * m.tx, src.origin.y - m.d * m.ty};
    cairo_pattern_set_matrix(cairo_get_source(m_cr), &toImage);
    // Outside the image the source is clear, which leaves the destination
    // as it was for every operation but clear and copy: those, and a part of
    // the image, need the rectangle as the shape.
    const bool wholeImage = src.size.width == static_cast<CGFloat>(image->width()) &&
                            src.size.height == static_cast<CGFloat>(image->height());
    if (wholeImage && op != CAIRO_OPERATOR_CLEAR && op != CAIRO_OPERATOR_SOURCE) {
        cairo_paint(m_cr);
        return true;
    }
    const CGFloat x = m.a > 0 ? m.tx : m.tx - src.size.width, y = m.d > 0 ? m.ty : m.ty - src.size.height;
    cairo_new_path(m_cr);
    cairo_rectangle(m_cr, x, y, src.size.width, src.size.height);
    cairo_fill(m_cr);
    return true;
}

namespace {

// Clips away the half plane beyond one end of an axis: before its start, or
// after its end.
void clipBeyondAxisEnd(cairo_t* cr, CGPoint start, CGPoint end, bool beforeStart)
{
    CGFloat dx = end.x - start.x, dy = end.y - start.y, len = std::hypot(dx, dy), far = 1e6;
    if (!(len > 0)) return;
    CGPoint edge = beforeStart ? start : end;
    CGFloat sign = beforeStart ? 1 : -1;  // towards the side kept
    CGPoint across{-dy / len * far, dx / len * far}, along{sign * dx / len * far, sign * dy / len * far};
    cairo_new_path(cr);
    cairo_move_to(cr, edge.x + across.x, edge.y + across.y);
    cairo_line_to(cr, edge.x - across.x, edge.y - across.y);
    cairo_line_to(cr, edge.x - across.x + along.x, edge.y - across.y + along.y);
    cairo_line_to(cr, edge.x + across.x + along.x, edge.y + across.y + along.y);
    cairo_close_path(cr);
    cairo_clip(cr);
}

}

void CGCairoContext::paintAlongAxis(cairo_pattern_t* pattern, CGPoint start, CGPoint end, uint32_t options,
                                    bool patternEndsAlongAxis)
{
    bool before = options & kCGGradientDrawsBeforeStartLocation, after = options & kCGGradientDrawsAfterEndLocation;
    // The pattern pads its ends; an end not extended is cut off by a half
    // plane. A pattern that ends along the axis by itself needs no cut when
    // neither end extends (clipping to a slanted band is far slower).
    const bool selfEnding = patternEndsAlongAxis && !before && !after;
    cairo_pattern_set_extend(pattern, selfEnding ? CAIRO_EXTEND_NONE : CAIRO_EXTEND_PAD);
    auto paintLimited = [&](cairo_t* cr, cairo_pattern_t* source) {
        cairo_save(cr);
        if (!source || !selfEnding) {
            if (!before) clipBeyondAxisEnd(cr, start, end, true);
            if (!after) clipBeyondAxisEnd(cr, start, end, false);
        }
        if (source) cairo_set_source(cr, source);
        cairo_paint(cr);
        cairo_restore(cr);
    };
    render([&](cairo_t* cr) { paintLimited(cr, pattern); }, [&](cairo_t* cr) { paintLimited(cr, nullptr); });
}

void CGCairoContext::drawLinearGradient(const std::vector<CGGradientStop>& stops, CGPoint start, CGPoint end,
                                        uint32_t options)
{
    m_hasKeptPath = false;
    if (stops.empty()) return;
    // An axis of no length cuts nothing off: not extended, it paints nothing.
    const uint32_t extended = kCGGradientDrawsBeforeStartLocation | kCGGradientDrawsAfterEndLocation;
    if (start.x == end.x && start.y == end.y && !(options & extended)) return;
    CGFloat alpha = std::clamp(gstate().alpha, 0.0, 1.0);
    cairo_pattern_t* pattern = gradientStops(cairo_pattern_create_linear(start.x, start.y, end.x, end.y), stops, alpha);
    paintAlongAxis(pattern, start, end, options, true);
    cairo_pattern_destroy(pattern);
}

void CGCairoContext::drawLinearSamples(const std::vector<CGRGBA>& samples, CGPoint start, CGPoint end, uint32_t options)
{
    m_hasKeptPath = false;
    CGFloat dx = end.x - start.x, dy = end.y - start.y, len2 = dx * dx + dy * dy;
    if (samples.empty() || !(len2 > 0) || !std::isfinite(len2)) return;
    CGFloat alpha = std::clamp(gstate().alpha, 0.0, 1.0);
    int n = static_cast<int>(samples.size());
    cairo_surface_t* row = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, n, 1);
    cairo_surface_flush(row);
    auto* texels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(row));
    auto channel = [](CGFloat v, CGFloat a) {
        return static_cast<uint32_t>(std::lround(std::clamp(std::isnan(v) ? 0.0 : v, 0.0, 1.0) * a * 255));
    };
    for (int i = 0; i < n; ++i) {
        const CGRGBA& c = samples[size_t(i)];
        CGFloat a = std::clamp(std::isnan(c.a) ? 0.0 : c.a, 0.0, 1.0) * alpha;
        texels[i] = channel(1, a) << 24 | channel(c.r, a) << 16 | channel(c.g, a) << 8 | channel(c.b, a);
    }
    cairo_surface_mark_dirty(row);
    // User space to texel space: along the axis 0 at the start and n at the
    // end; across it any row (the image is one row, padded).
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(row);
    CGFloat len = std::sqrt(len2);
    cairo_matrix_t m;
    cairo_matrix_init(&m, dx / len2 * n, -dy / len, dy / len2 * n, dx / len, -(start.x * dx + start.y * dy) / len2 * n,
                      (start.x * dy - start.y * dx) / len);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    paintAlongAxis(pattern, start, end, options, false);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(row);
}

void CGCairoContext::drawRadialGradient(const std::vector<CGGradientStop>& stops, CGPoint startCenter,
                                        CGFloat startRadius, CGPoint endCenter, CGFloat endRadius, uint32_t options)
{
    m_hasKeptPath = false;
    if (stops.empty()) return;
    CGFloat alpha = std::clamp(gstate().alpha, 0.0, 1.0);
    bool extend = options & (kCGGradientDrawsBeforeStartLocation | kCGGradientDrawsAfterEndLocation);
    auto draw = [&](cairo_t* cr) {
        cairo_pattern_t* p = gradientStops(
            cairo_pattern_create_radial(startCenter.x, startCenter.y, startRadius, endCenter.x, endCenter.y, endRadius),
            stops, alpha);
        cairo_pattern_set_extend(p, extend ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
    };
    render(draw, [](cairo_t* cr) { cairo_paint(cr); });
}

void CGCairoContext::showGlyphs(const Ref<CGFont>& font, CGFloat size, const std::vector<uint32_t>& glyphs,
                                const std::vector<CGPoint>& positions, const std::u16string&)
{
    m_hasKeptPath = false;
    if (!font || glyphs.empty()) return;
    std::vector<cairo_glyph_t> list(glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i) list[i] = {glyphs[i], positions[i].x, positions[i].y};
    // Cairo's glyphs are upright in a y-down space; a y-up user space flips them.
    CGFloat ySize = userSpaceIsYUp() ? -size : size;
    bool antialias = gstate().antialias;
    auto setup = [&](cairo_t* cr) {
        cairo_set_font_face(cr, font->cairoFace());
        cairo_matrix_t fm;
        cairo_matrix_init_scale(&fm, size, ySize);
        cairo_set_font_matrix(cr, &fm);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
        cairo_set_font_options(cr, options);
        cairo_font_options_destroy(options);
    };
    auto draw = [&](cairo_t* cr) {
        setup(cr);
        setPaint(cr, gstate().fill);
        cairo_show_glyphs(cr, list.data(), static_cast<int>(list.size()));
    };
    auto coverage = [&](cairo_t* cr) {
        setup(cr);
        cairo_show_glyphs(cr, list.data(), static_cast<int>(list.size()));
    };
    render(draw, coverage);
}

Ref<CGContext> CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                     size_t bytesPerRow, const Ref<CGColorSpace>& space, uint32_t bitmapInfo)
{
    if (bitsPerComponent != 8 || bitmapInfo != (kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little))
        return nullptr;
    if (space && space->model() != CGColorSpaceModel::RGB) return nullptr;
    Ref<CGImage> image;
    if (!data) {
        image = CGImage::create(width, height);
    } else {
        int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, static_cast<int>(width));
        if (bytesPerRow == 0) bytesPerRow = static_cast<size_t>(stride);
        if (width == 0 || height == 0 || bytesPerRow < width * 4 || bytesPerRow % 4 != 0) return nullptr;
        image = CGImage::adoptSurface(cairo_image_surface_create_for_data(
            static_cast<unsigned char*>(data), CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height),
            static_cast<int>(bytesPerRow)));
    }
    auto context = CGCairoContext::createForImage(image);
    if (!context) return nullptr;
    context->setCTM({1, 0, 0, -1, 0, static_cast<CGFloat>(height)});
    return context;
}

Ref<CGImage> CGBitmapContextCreateImage(const Ref<CGContext>& context)
{
    auto cairoContext = dynamic_ref_cast<CGCairoContext>(context);
    if (!cairoContext) return nullptr;
    cairoContext->flush();
    return cairoContext->image()->copyImage();
}
