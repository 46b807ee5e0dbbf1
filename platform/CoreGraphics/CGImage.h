#pragma once
// Bitmap images: premultiplied ARGB, 32 bits per pixel in native byte order
// (bitmap info 8194 on a little-endian machine), rows from the top. Backed
// by a Cairo image surface, which drawing uses directly.
#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSData.h"
#include "Foundation/NSObject.h"

typedef struct _cairo_surface cairo_surface_t;

class CGImage : public NSObject {
    NS_OBJECT(CGImage, NSObject)
protected:
    CGImage() = default;

public:
    ~CGImage() override;

    // A transparent image; nil for a size that is not positive or too large.
    static Ref<CGImage> create(size_t width, size_t height);
    // Takes over one reference to an ARGB32 image surface.
    static Ref<CGImage> adoptSurface(cairo_surface_t* surface);
    // nil for data that is not a PNG image.
    static Ref<CGImage> createWithPNGData(const Ref<NSData>& data);
    static Ref<CGImage> createWithPNGFile(const Ref<NSString>& path);

    size_t width() const;
    size_t height() const;
    size_t bytesPerRow() const;
    // Pixels as premultiplied 0xAARRGGBB words, rows from the top.
    uint8_t* data() const;
    uint32_t pixel(size_t x, size_t y) const;
    // The image surface, flushed; callers that write through data() call
    // markDirty() afterwards.
    cairo_surface_t* surface() const { return m_surface; }
    void markDirty() const;

    Ref<NSData> PNGRepresentation() const;
    Ref<CGImage> copyImage() const;
    // The pixels of a rectangle in pixel coordinates from the top left.
    Ref<CGImage> createWithImageInRect(const CGRect& rect) const;

private:
    cairo_surface_t* m_surface = nullptr;
};
using CGImageRef = Ref<CGImage>;

inline size_t CGImageGetWidth(const Ref<CGImage>& image) { return image ? image->width() : 0; }
inline size_t CGImageGetHeight(const Ref<CGImage>& image) { return image ? image->height() : 0; }
inline size_t CGImageGetBytesPerRow(const Ref<CGImage>& image) { return image ? image->bytesPerRow() : 0; }
inline Ref<CGImage> CGImageCreateCopy(const Ref<CGImage>& image) { return image ? image->copyImage() : nullptr; }
inline Ref<CGImage> CGImageCreateWithImageInRect(const Ref<CGImage>& image, const CGRect& rect)
{
    return image ? image->createWithImageInRect(rect) : nullptr;
}
