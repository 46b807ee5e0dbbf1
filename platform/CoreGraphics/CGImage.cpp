#include "CoreGraphics/CGImage.h"

#include <cairo.h>

#include <cstring>
#include <vector>

#include "CoreGraphics/CGCaches.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CGImage)

namespace {
// Cairo refuses larger images.
constexpr size_t kMaxSide = 32767;

struct ReadCursor {
    const uint8_t* bytes;
    size_t length;
    size_t offset = 0;
};

cairo_status_t readFromData(void* closure, unsigned char* out, unsigned int length)
{
    auto* cursor = static_cast<ReadCursor*>(closure);
    if (cursor->length - cursor->offset < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, cursor->bytes + cursor->offset, length);
    cursor->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t appendToVector(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::vector<uint8_t>*>(closure)->insert(static_cast<std::vector<uint8_t>*>(closure)->end(), data,
                                                        data + length);
    return CAIRO_STATUS_SUCCESS;
}

// PNG files may be RGB24 or A8; everything here is ARGB32.
cairo_surface_t* toARGB(cairo_surface_t* surface)
{
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    if (cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32) return surface;
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(argb);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return argb;
}
}

CGImage::~CGImage()
{
    if (m_surface) cairo_surface_destroy(m_surface);
}

Ref<CGImage> CGImage::create(size_t width, size_t height)
{
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    GraphicsRegisterCacheRelease();
    return adoptSurface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height)));
}

Ref<CGImage> CGImage::adoptSurface(cairo_surface_t* surface)
{
    if (!surface) return nullptr;
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    GraphicsRegisterCacheRelease();
    auto image = alloc<CGImage>();
    image->m_surface = surface;
    return image;
}

Ref<CGImage> CGImage::createWithPNGData(const Ref<NSData>& data)
{
    if (!data || data->length() < 8) return nullptr;
    GraphicsRegisterCacheRelease();
    ReadCursor cursor{data->bytes(), data->length()};
    return adoptSurface(toARGB(cairo_image_surface_create_from_png_stream(readFromData, &cursor)));
}

Ref<CGImage> CGImage::createWithPNGFile(const Ref<NSString>& path)
{
    return createWithPNGData(NSData::dataWithContentsOfFile(path));
}

size_t CGImage::width() const { return static_cast<size_t>(cairo_image_surface_get_width(m_surface)); }
size_t CGImage::height() const { return static_cast<size_t>(cairo_image_surface_get_height(m_surface)); }
size_t CGImage::bytesPerRow() const { return static_cast<size_t>(cairo_image_surface_get_stride(m_surface)); }

uint8_t* CGImage::data() const
{
    cairo_surface_flush(m_surface);
    return cairo_image_surface_get_data(m_surface);
}

uint32_t CGImage::pixel(size_t x, size_t y) const
{
    if (x >= width() || y >= height()) return 0;
    uint32_t value;
    std::memcpy(&value, data() + y * bytesPerRow() + x * 4, 4);
    return value;
}

void CGImage::markDirty() const { cairo_surface_mark_dirty(m_surface); }

Ref<NSData> CGImage::PNGRepresentation() const
{
    std::vector<uint8_t> bytes;
    cairo_surface_flush(m_surface);
    if (cairo_surface_write_to_png_stream(m_surface, appendToVector, &bytes) != CAIRO_STATUS_SUCCESS) return nullptr;
    return NSData::dataWithVector(std::move(bytes));
}

Ref<CGImage> CGImage::copyImage() const
{
    return createWithImageInRect(CGRectMake(0, 0, static_cast<CGFloat>(width()), static_cast<CGFloat>(height())));
}

Ref<CGImage> CGImage::createWithImageInRect(const CGRect& rect) const
{
    CGRect bounds = CGRectMake(0, 0, static_cast<CGFloat>(width()), static_cast<CGFloat>(height()));
    CGRect r = CGRectIntersection(CGRectIntegral(rect), bounds);
    if (CGRectIsEmpty(r)) return nullptr;
    auto copy = create(static_cast<size_t>(r.size.width), static_cast<size_t>(r.size.height));
    if (!copy) return nullptr;
    cairo_t* cr = cairo_create(copy->m_surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, m_surface, -r.origin.x, -r.origin.y);
    cairo_paint(cr);
    cairo_destroy(cr);
    return copy;
}
