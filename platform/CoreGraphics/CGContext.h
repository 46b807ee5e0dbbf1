#pragma once
// The drawing interface every graphics context implements: a state stack
// (transform, clip, colours, line style, shadow, antialiasing, compositing
// operation, alpha) kept here, and drawing operations that each backend
// carries out with that state: Cairo image surfaces (CGCairoContext) and a
// recording context that logs what was drawn (CGRecordingContext).
//
// The transform is the full user-to-device matrix; device space is a y-down
// pixel image.
#include <string>
#include <vector>

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGCompositing.h"
#include "CoreGraphics/CGImage.h"
#include "CoreGraphics/CGPathElements.h"

class CGFont;

enum CGLineCap : int32_t { kCGLineCapButt = 0, kCGLineCapRound = 1, kCGLineCapSquare = 2 };
enum CGLineJoin : int32_t { kCGLineJoinMiter = 0, kCGLineJoinRound = 1, kCGLineJoinBevel = 2 };
enum CGInterpolationQuality : int32_t {
    kCGInterpolationDefault = 0,
    kCGInterpolationNone = 1,
    kCGInterpolationLow = 2,
    kCGInterpolationHigh = 3,
    kCGInterpolationMedium = 4,
};
enum CGGradientDrawingOptions : uint32_t {
    kCGGradientDrawsBeforeStartLocation = 1,
    kCGGradientDrawsAfterEndLocation = 2,
};

struct CGStrokeStyle {
    CGFloat lineWidth = 1;  // 0: one device pixel wide
    CGLineCap cap = kCGLineCapButt;
    CGLineJoin join = kCGLineJoinMiter;
    CGFloat miterLimit = 10;
    std::vector<CGFloat> dash;
    CGFloat dashPhase = 0;
    friend bool operator==(const CGStrokeStyle&, const CGStrokeStyle&) = default;
};

// A fill or stroke source: a colour, or an image tiled from the device
// origin (pattern colours).
struct CGPaint {
    CGRGBA color;
    Ref<CGImage> pattern;
};

// The offset is in base space (y up, device pixels), so (0, -1) lies one
// pixel below the shape however the user space is flipped.
struct CGShadowStyle {
    bool enabled = false;
    CGSize offset;
    CGFloat blurRadius = 0;
    CGRGBA color{0, 0, 0, 1.0 / 3};
};

struct CGGradientStop {
    CGFloat location = 0;
    CGRGBA color;
};

struct CGGState {
    CGAffineTransform ctm;
    CGPaint fill{{0, 0, 0, 1}, nullptr};
    CGPaint stroke{{0, 0, 0, 1}, nullptr};
    CGStrokeStyle strokeStyle;
    bool antialias = true;
    NSCompositingOperation operation = NSCompositingOperationSourceOver;
    CGFloat alpha = 1;
    CGInterpolationQuality interpolation = kCGInterpolationDefault;
    CGShadowStyle shadow;
    // Fills and strokes draw only a focus ring around their shape, in this
    // colour (NSSetFocusRingStyle).
    bool focusRingOnly = false;
    CGRGBA focusRingColor;
};

class CGContext : public NSObject {
    NS_OBJECT(CGContext, NSObject)
public:
    // Device size in pixels.
    virtual CGSize deviceSize() const = 0;

    // --- State ---
    void saveGState();
    // An unbalanced restore is ignored.
    void restoreGState();
    size_t gstateDepth() const { return m_stack.size(); }
    const CGGState& gstate() const { return m_state; }

    const CGAffineTransform& getCTM() const { return m_state.ctm; }
    // Prepends: the new transform applies to user coordinates first.
    void concatCTM(const CGAffineTransform& t);
    // Replaces the whole user-to-device matrix (NSAffineTransform set).
    void setCTM(const CGAffineTransform& t);
    void translateCTM(CGFloat tx, CGFloat ty) { concatCTM(CGAffineTransformMakeTranslation(tx, ty)); }
    void scaleCTM(CGFloat sx, CGFloat sy) { concatCTM(CGAffineTransformMakeScale(sx, sy)); }
    void rotateCTM(CGFloat radians) { concatCTM(CGAffineTransformMakeRotation(radians)); }

    void setFillColor(const CGRGBA& c) { m_state.fill = {c, nullptr}; }
    void setStrokeColor(const CGRGBA& c) { m_state.stroke = {c, nullptr}; }
    void setFillPaint(const CGPaint& p) { m_state.fill = p; }
    void setStrokePaint(const CGPaint& p) { m_state.stroke = p; }
    void setStrokeStyle(const CGStrokeStyle& s) { m_state.strokeStyle = s; }
    void setLineWidth(CGFloat w) { m_state.strokeStyle.lineWidth = w; }
    void setLineCap(CGLineCap cap) { m_state.strokeStyle.cap = cap; }
    void setLineJoin(CGLineJoin join) { m_state.strokeStyle.join = join; }
    void setMiterLimit(CGFloat limit) { m_state.strokeStyle.miterLimit = limit; }
    void setLineDash(CGFloat phase, const CGFloat* lengths, size_t count);
    void setShouldAntialias(bool on) { m_state.antialias = on; }
    void setCompositingOperation(NSCompositingOperation op) { m_state.operation = op; }
    void setAlpha(CGFloat a) { m_state.alpha = a; }
    void setInterpolationQuality(CGInterpolationQuality q) { m_state.interpolation = q; }
    void setShadow(CGSize offset, CGFloat blur, const CGRGBA& color);
    void clearShadow() { m_state.shadow = {}; }
    void setFocusRingOnly(bool on, const CGRGBA& color) { m_state.focusRingOnly = on, m_state.focusRingColor = color; }

    // --- Clipping (in user space, intersecting) ---
    virtual void clipToPath(const CGPathElements& path, CGPathFillRule rule) = 0;
    void clipToRect(const CGRect& rect);
    // To the union of the rectangles.
    void clipToRects(const std::vector<CGRect>& rects);
    // Replaces the clip: the base clip intersected with the path.
    virtual void replaceClip(const CGPathElements& path, CGPathFillRule rule) = 0;
    // The clip a replacing clip starts from (a view's bounds), in device space;
    // none means the whole device.
    void setBaseClip(const CGRect& deviceRect)
    {
        m_baseClip = deviceRect;
        m_hasBaseClip = true;
    }
    // Clips to the alpha of an image drawn into a user-space rectangle.
    virtual void clipToMask(const CGRect& rect, const Ref<CGImage>& mask) = 0;

    // --- Drawing with the current state ---
    virtual void fillPath(const CGPathElements& path, CGPathFillRule rule) = 0;
    virtual void strokePath(const CGPathElements& path, const CGStrokeStyle& style) = 0;
    void strokePath(const CGPathElements& path) { strokePath(path, m_state.strokeStyle); }
    void fillRect(const CGRect& rect);
    void strokeRect(const CGRect& rect);
    // Draws the part of an image given by a pixel rectangle (from the top left)
    // through a transform from that rectangle's pixel space (y down, origin at
    // its top left) to user space.
    virtual void drawImage(const Ref<CGImage>& image, const CGRect& sourcePixels, const CGAffineTransform& sourceToUser,
                           CGFloat fraction) = 0;
    // Draws an image upright into a user rectangle whose bottom edge is at
    // its min y in y-up space, as CGContextDrawImage does.
    void drawImageInRect(const CGRect& rect, const Ref<CGImage>& image);
    // Gradients fill the current clip.
    virtual void drawLinearGradient(const std::vector<CGGradientStop>& stops, CGPoint start, CGPoint end,
                                    uint32_t options) = 0;
    virtual void drawRadialGradient(const std::vector<CGGradientStop>& stops, CGPoint startCenter, CGFloat startRadius,
                                    CGPoint endCenter, CGFloat endRadius, uint32_t options) = 0;
    // Equal colour samples along the axis, the first at the start, the last
    // at the end, each colour held over its share (nearest, no blending). The
    // default draws them as a gradient of as many stops.
    virtual void drawLinearSamples(const std::vector<CGRGBA>& samples, CGPoint start, CGPoint end, uint32_t options);
    // Glyphs at baseline positions in user space, upright on the device
    // whichever way the user space is flipped, in the fill paint. The text is
    // what they show (for the recording).
    virtual void showGlyphs(const Ref<CGFont>& font, CGFloat size, const std::vector<uint32_t>& glyphs,
                            const std::vector<CGPoint>& positions, const std::u16string& text) = 0;
    // Makes pending drawing visible in the backing store.
    virtual void flush() { }

    // The transform's y axis points up on the device (an unflipped space).
    bool userSpaceIsYUp() const;

protected:
    CGContext() = default;
    virtual void didSave() { }
    virtual void didRestore() { }
    bool hasBaseClip() const { return m_hasBaseClip; }
    const CGRect& baseClip() const { return m_baseClip; }

private:
    CGGState m_state;
    std::vector<CGGState> m_stack;
    CGRect m_baseClip;
    bool m_hasBaseClip = false;
};
using CGContextRef = CGContext*;

// --- The C interface, over the current state ---
inline void CGContextSaveGState(CGContextRef c) { c->saveGState(); }
inline void CGContextRestoreGState(CGContextRef c) { c->restoreGState(); }
inline CGAffineTransform CGContextGetCTM(CGContextRef c) { return c->getCTM(); }
inline void CGContextConcatCTM(CGContextRef c, const CGAffineTransform& t) { c->concatCTM(t); }
inline void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty) { c->translateCTM(tx, ty); }
inline void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy) { c->scaleCTM(sx, sy); }
inline void CGContextRotateCTM(CGContextRef c, CGFloat radians) { c->rotateCTM(radians); }
inline void CGContextClipToRect(CGContextRef c, const CGRect& r) { c->clipToRect(r); }
inline void CGContextClipToMask(CGContextRef c, const CGRect& r, const Ref<CGImage>& mask) { c->clipToMask(r, mask); }
inline void CGContextSetShouldAntialias(CGContextRef c, bool on) { c->setShouldAntialias(on); }
inline void CGContextSetAlpha(CGContextRef c, CGFloat a) { c->setAlpha(a); }
inline void CGContextSetBlendMode(CGContextRef c, CGBlendMode mode)
{
    c->setCompositingOperation(CGCompositingOperationForBlendMode(mode));
}
inline void CGContextSetInterpolationQuality(CGContextRef c, CGInterpolationQuality q)
{
    c->setInterpolationQuality(q);
}
inline void CGContextSetRGBFillColor(CGContextRef c, CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    c->setFillColor({r, g, b, a});
}
inline void CGContextSetRGBStrokeColor(CGContextRef c, CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    c->setStrokeColor({r, g, b, a});
}
inline void CGContextSetFillColorWithColor(CGContextRef c, const Ref<CGColor>& color)
{
    if (color) c->setFillColor(color->rgba());
}
inline void CGContextSetStrokeColorWithColor(CGContextRef c, const Ref<CGColor>& color)
{
    if (color) c->setStrokeColor(color->rgba());
}
inline void CGContextSetLineWidth(CGContextRef c, CGFloat w) { c->setLineWidth(w); }
inline void CGContextSetLineCap(CGContextRef c, CGLineCap cap) { c->setLineCap(cap); }
inline void CGContextSetLineJoin(CGContextRef c, CGLineJoin join) { c->setLineJoin(join); }
inline void CGContextSetLineDash(CGContextRef c, CGFloat phase, const CGFloat* lengths, size_t count)
{
    c->setLineDash(phase, lengths, count);
}
inline void CGContextFillRect(CGContextRef c, const CGRect& r) { c->fillRect(r); }
inline void CGContextStrokeRect(CGContextRef c, const CGRect& r) { c->strokeRect(r); }
inline void CGContextDrawImage(CGContextRef c, const CGRect& r, const Ref<CGImage>& image)
{
    c->drawImageInRect(r, image);
}
void CGContextSetShadowWithColor(CGContextRef c, CGSize offset, CGFloat blur, const Ref<CGColor>& color);
void CGContextSetShadow(CGContextRef c, CGSize offset, CGFloat blur);
