#include "CoreGraphics/CGRecordingContext.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CGRecordingContext)

Ref<CGRecordingContext> CGRecordingContext::create(CGSize deviceSize)
{
    auto context = alloc<CGRecordingContext>();
    context->m_size = deviceSize;
    return context;
}

CGRecordedOperation& CGRecordingContext::record(CGRecordedOperation::Kind kind)
{
    CGRecordedOperation& op = m_operations.emplace_back();
    const CGGState& s = gstate();
    op.kind = kind;
    op.ctm = s.ctm;
    op.paint = s.fill;
    op.strokeStyle = s.strokeStyle;
    op.operation = s.operation;
    op.alpha = s.alpha;
    op.antialias = s.antialias;
    op.shadow = s.shadow;
    return op;
}

void CGRecordingContext::clipToPath(const CGPathElements& path, CGPathFillRule rule)
{
    auto& op = record(CGRecordedOperation::Kind::Clip);
    op.path = path;
    op.rule = rule;
}

void CGRecordingContext::replaceClip(const CGPathElements& path, CGPathFillRule rule)
{
    auto& op = record(CGRecordedOperation::Kind::ReplaceClip);
    op.path = path;
    op.rule = rule;
}

void CGRecordingContext::clipToMask(const CGRect& rect, const Ref<CGImage>& mask)
{
    auto& op = record(CGRecordedOperation::Kind::ClipToMask);
    op.rect = rect;
    op.image = mask;
}

void CGRecordingContext::fillPath(const CGPathElements& path, CGPathFillRule rule)
{
    auto& op = record(CGRecordedOperation::Kind::Fill);
    op.path = path;
    op.rule = rule;
}

void CGRecordingContext::strokePath(const CGPathElements& path, const CGStrokeStyle& style)
{
    auto& op = record(CGRecordedOperation::Kind::Stroke);
    op.path = path;
    op.paint = gstate().stroke;
    op.strokeStyle = style;
}

void CGRecordingContext::drawImage(const Ref<CGImage>& image, const CGRect& sourcePixels,
                                   const CGAffineTransform& sourceToUser, CGFloat fraction)
{
    auto& op = record(CGRecordedOperation::Kind::Image);
    op.image = image;
    op.rect = sourcePixels;
    op.imageToUser = sourceToUser;
    op.fraction = fraction;
}

void CGRecordingContext::drawLinearGradient(const std::vector<CGGradientStop>& stops, CGPoint start, CGPoint end,
                                            uint32_t options)
{
    auto& op = record(CGRecordedOperation::Kind::LinearGradient);
    op.stops = stops;
    op.start = start;
    op.end = end;
    op.options = options;
}

void CGRecordingContext::drawRadialGradient(const std::vector<CGGradientStop>& stops, CGPoint startCenter,
                                            CGFloat startRadius, CGPoint endCenter, CGFloat endRadius, uint32_t options)
{
    auto& op = record(CGRecordedOperation::Kind::RadialGradient);
    op.stops = stops;
    op.start = startCenter;
    op.startRadius = startRadius;
    op.end = endCenter;
    op.endRadius = endRadius;
    op.options = options;
}

void CGRecordingContext::showGlyphs(const Ref<CGFont>& font, CGFloat size, const std::vector<uint32_t>& glyphs,
                                    const std::vector<CGPoint>& positions, const std::u16string& text)
{
    auto& op = record(CGRecordedOperation::Kind::Glyphs);
    op.font = font;
    op.fontSize = size;
    op.glyphs = glyphs;
    op.positions = positions;
    op.text = text;
}
