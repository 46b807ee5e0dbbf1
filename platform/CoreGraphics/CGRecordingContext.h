#pragma once
// A graphics context that draws nothing and logs every operation with the
// state it was drawn in, for tests of drawing geometry.
#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/CGFont.h"

struct CGRecordedOperation {
    enum class Kind { Fill, Stroke, Clip, ReplaceClip, ClipToMask, Image, LinearGradient, RadialGradient, Glyphs };
    Kind kind = Kind::Fill;
    CGAffineTransform ctm;  // user to device, at the time
    CGPathElements path;    // fills, strokes and clips, in user space
    CGPathFillRule rule = CGPathFillRule::NonZero;
    CGPaint paint;  // fill paint, or stroke paint for strokes
    CGStrokeStyle strokeStyle;
    NSCompositingOperation operation = NSCompositingOperationSourceOver;
    CGFloat alpha = 1;
    bool antialias = true;
    CGShadowStyle shadow;
    Ref<CGImage> image;  // images and masks
    CGRect rect;         // image source pixels, mask rectangle
    CGAffineTransform imageToUser;
    CGFloat fraction = 1;
    std::vector<CGGradientStop> stops;
    CGPoint start, end;  // gradient axis or centres
    CGFloat startRadius = 0, endRadius = 0;
    uint32_t options = 0;
    Ref<CGFont> font;
    CGFloat fontSize = 0;
    std::vector<uint32_t> glyphs;
    std::vector<CGPoint> positions;
    std::u16string text;
};

class CGRecordingContext : public CGContext {
    NS_OBJECT(CGRecordingContext, CGContext)
protected:
    CGRecordingContext() = default;

public:
    // A device of the given pixel size; the initial transform is the identity.
    static Ref<CGRecordingContext> create(CGSize deviceSize);

    CGSize deviceSize() const override { return m_size; }
    const std::vector<CGRecordedOperation>& operations() const { return m_operations; }
    void clear() { m_operations.clear(); }

    void clipToPath(const CGPathElements& path, CGPathFillRule rule) override;
    void replaceClip(const CGPathElements& path, CGPathFillRule rule) override;
    void clipToMask(const CGRect& rect, const Ref<CGImage>& mask) override;
    void fillPath(const CGPathElements& path, CGPathFillRule rule) override;
    void strokePath(const CGPathElements& path, const CGStrokeStyle& style) override;
    using CGContext::strokePath;
    void drawImage(const Ref<CGImage>& image, const CGRect& sourcePixels, const CGAffineTransform& sourceToUser,
                   CGFloat fraction) override;
    void drawLinearGradient(const std::vector<CGGradientStop>& stops, CGPoint start, CGPoint end,
                            uint32_t options) override;
    void drawRadialGradient(const std::vector<CGGradientStop>& stops, CGPoint startCenter, CGFloat startRadius,
                            CGPoint endCenter, CGFloat endRadius, uint32_t options) override;
    void showGlyphs(const Ref<CGFont>& font, CGFloat size, const std::vector<uint32_t>& glyphs,
                    const std::vector<CGPoint>& positions, const std::u16string& text) override;

private:
    CGRecordedOperation& record(CGRecordedOperation::Kind kind);
    CGSize m_size;
    std::vector<CGRecordedOperation> m_operations;
};
