#include "CoreGraphics/CGContext.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CGContext)

void CGContext::saveGState()
{
    m_stack.push_back(m_state);
    didSave();
}

void CGContext::restoreGState()
{
    if (m_stack.empty()) return;
    m_state = std::move(m_stack.back());
    m_stack.pop_back();
    didRestore();
}

void CGContext::concatCTM(const CGAffineTransform& t) { m_state.ctm = CGAffineTransformConcat(t, m_state.ctm); }

void CGContext::setCTM(const CGAffineTransform& t) { m_state.ctm = t; }

void CGContext::drawLinearSamples(const std::vector<CGRGBA>& samples, CGPoint start, CGPoint end, uint32_t options)
{
    std::vector<CGGradientStop> stops;
    stops.reserve(samples.size());
    CGFloat last = samples.size() > 1 ? CGFloat(samples.size() - 1) : 1;
    for (size_t i = 0; i < samples.size(); ++i) stops.push_back({CGFloat(i) / last, samples[i]});
    drawLinearGradient(stops, start, end, options);
}

void CGContext::setLineDash(CGFloat phase, const CGFloat* lengths, size_t count)
{
    m_state.strokeStyle.dashPhase = phase;
    m_state.strokeStyle.dash.assign(lengths, lengths + (lengths ? count : 0));
}

void CGContext::setShadow(CGSize offset, CGFloat blur, const CGRGBA& color)
{
    m_state.shadow = {color.a > 0, offset, blur, color};
}

namespace {
CGPathElements rectPath(const CGRect& rect)
{
    CGPathElements path;
    CGRect r = CGRectStandardize(rect);
    path.moveTo(r.origin);
    path.lineTo({NSMaxX(r), NSMinY(r)});
    path.lineTo({NSMaxX(r), NSMaxY(r)});
    path.lineTo({NSMinX(r), NSMaxY(r)});
    path.close();
    return path;
}
}

void CGContext::clipToRect(const CGRect& rect) { clipToPath(rectPath(rect), CGPathFillRule::NonZero); }

void CGContext::clipToRects(const std::vector<CGRect>& rects)
{
    // Every outline runs the same way: under non-zero overlaps stay inside.
    CGPathElements path;
    for (const CGRect& r : rects) path.append(rectPath(r));
    clipToPath(path, CGPathFillRule::NonZero);
}

void CGContext::fillRect(const CGRect& rect) { fillPath(rectPath(rect), CGPathFillRule::NonZero); }

void CGContext::strokeRect(const CGRect& rect) { strokePath(rectPath(rect)); }

void CGContext::drawImageInRect(const CGRect& rect, const Ref<CGImage>& image)
{
    if (!image) return;
    CGRect r = CGRectStandardize(rect);
    CGFloat w = static_cast<CGFloat>(image->width()), h = static_cast<CGFloat>(image->height());
    // Pixel row 0 is the image's top, at the rectangle's max y.
    CGAffineTransform toUser{r.size.width / w, 0, 0, -r.size.height / h, r.origin.x, NSMaxY(r)};
    drawImage(image, CGRectMake(0, 0, w, h), toUser, 1);
}

bool CGContext::userSpaceIsYUp() const
{
    const CGAffineTransform& t = m_state.ctm;
    return t.a * t.d - t.b * t.c < 0;
}

void CGContextSetShadowWithColor(CGContextRef c, CGSize offset, CGFloat blur, const Ref<CGColor>& color)
{
    if (!color) {
        c->clearShadow();
        return;
    }
    c->setShadow(offset, blur, color->rgba());
}

void CGContextSetShadow(CGContextRef c, CGSize offset, CGFloat blur) { c->setShadow(offset, blur, {0, 0, 0, 1.0 / 3}); }
