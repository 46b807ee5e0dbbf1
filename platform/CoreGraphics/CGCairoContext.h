#pragma once
// A graphics context drawing into a Cairo image surface (an ARGB32 CGImage).
#include <functional>
#include <vector>

#include "CoreGraphics/CGContext.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_pattern cairo_pattern_t;

class CGCairoContext : public CGContext {
    NS_OBJECT(CGCairoContext, CGContext)
protected:
    CGCairoContext() = default;

public:
    ~CGCairoContext() override;

    // Draws into the image; the initial transform is the identity (y down).
    static Ref<CGCairoContext> createForImage(const Ref<CGImage>& image);

    const Ref<CGImage>& image() const { return m_image; }
    CGSize deviceSize() const override;

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
    void drawLinearSamples(const std::vector<CGRGBA>& samples, CGPoint start, CGPoint end, uint32_t options) override;
    void drawRadialGradient(const std::vector<CGGradientStop>& stops, CGPoint startCenter, CGFloat startRadius,
                            CGPoint endCenter, CGFloat endRadius, uint32_t options) override;
    void showGlyphs(const Ref<CGFont>& font, CGFloat size, const std::vector<uint32_t>& glyphs,
                    const std::vector<CGPoint>& positions, const std::u16string& text) override;
    void flush() override;

    // Images drawn one image pixel to one device pixel take a shorter way
    // through Cairo; off, every image takes the general one (for comparing
    // the two).
    void setAlignedImageDrawing(bool enabled) { m_alignedImages = enabled; }

protected:
    void didSave() override;
    void didRestore() override;

private:
    using Painter = std::function<void(cairo_t*)>;
    // Draws one primitive with the current operation and shadow. draw paints
    // it with its own source; coverage paints its shape opaque.
    void render(const Painter& draw, const Painter& coverage);
    void renderShadow(const Painter& draw);
    // Paints a pattern laid along an axis, cut off beyond the ends that
    // `options` does not extend. A linear gradient ends along its axis by
    // itself; an image row padded across the axis does not.
    void paintAlongAxis(cairo_pattern_t* pattern, CGPoint start, CGPoint end, uint32_t options,
                        bool patternEndsAlongAxis);
    void compositeByFormula(const Painter& draw, const Painter& coverage);
    void applyState(cairo_t* cr) const;
    bool drawImageAligned(const Ref<CGImage>& image, const CGRect& sourcePixels, const CGAffineTransform& sourceToUser,
                          CGFloat fraction);
    void setPaint(cairo_t* cr, const CGPaint& paint) const;

    // The path a fill left in Cairo, so that a stroke of the same path can use it.
    struct PathKey {
        const CGPathElement* data;
        size_t size;
        CGAffineTransform ctm;
        CGFloat checksum;
        friend bool operator==(const PathKey&, const PathKey&) = default;
    };
    PathKey keyFor(const CGPathElements& path) const;

    Ref<CGImage> m_image;
    cairo_t* m_cr = nullptr;
    PathKey m_keptPath{};
    bool m_hasKeptPath = false;
    int m_scratchOperator = 0;
    bool m_alignedImages = true;
    // The clip leaves every pixel wholly in or out; saved with the state.
    bool m_clipOnWholePixels = true;
    std::vector<bool> m_clipStack;
};

// Bitmap contexts. Only 8-bit premultiplied ARGB in native order (bitmap info
// 8194 = 0x2002, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little)
// is supported; other layouts answer nil. With data, the context draws into
// the caller's memory. The initial user space is y up, origin bottom left.
inline constexpr uint32_t kCGImageAlphaPremultipliedFirst = 2;
inline constexpr uint32_t kCGBitmapByteOrder32Little = 0x2000;
Ref<CGContext> CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                     size_t bytesPerRow, const Ref<CGColorSpace>& space, uint32_t bitmapInfo);
// A copy of the context's pixels; nil for a context that is not a bitmap.
Ref<CGImage> CGBitmapContextCreateImage(const Ref<CGContext>& context);
