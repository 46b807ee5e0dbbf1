#include "AppKit/NSBitmapImageRep.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "AppKit/NSColor.h"
#include "AppKit/NSColorSpace.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSBitmapImageRep)

namespace {
constexpr NSInteger kMaxSide = 32767;

uint8_t toByte(CGFloat v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }
}

void NSBitmapImageRep::allocate(NSInteger w, NSInteger h, NSInteger spp)
{
    m_pixelsWide = w;
    m_pixelsHigh = h;
    m_samplesPerPixel = spp;
    m_hasAlpha = spp == 4;
    m_bytesPerRow = w * spp;
    m_size = NSMakeSize(static_cast<CGFloat>(w), static_cast<CGFloat>(h));
    m_bytes.assign(static_cast<size_t>(m_bytesPerRow * h), 0);
    if (!m_colorSpaceName) m_colorSpaceName = NSCalibratedRGBColorSpace;
    m_cache = nullptr;
}

Ref<NSBitmapImageRep> NSBitmapImageRep::initWithBitmapDataPlanes(unsigned char** planes, NSInteger pixelsWide,
                                                                 NSInteger pixelsHigh, NSInteger bitsPerSample,
                                                                 NSInteger samplesPerPixel, bool hasAlpha,
                                                                 bool isPlanar, const Ref<NSString>& colorSpaceName,
                                                                 NSInteger bytesPerRow, NSInteger bitsPerPixel)
{
    if (planes && planes[0]) return nullptr;
    if (bitsPerSample != 8 || isPlanar || pixelsWide <= 0 || pixelsHigh <= 0 || pixelsWide > kMaxSide ||
        pixelsHigh > kMaxSide)
        return nullptr;
    if (!((samplesPerPixel == 3 && !hasAlpha) || (samplesPerPixel == 4 && hasAlpha))) return nullptr;
    if ((bytesPerRow != 0 && bytesPerRow != pixelsWide * samplesPerPixel) ||
        (bitsPerPixel != 0 && bitsPerPixel != samplesPerPixel * 8))
        return nullptr;
    auto rep = alloc<NSBitmapImageRep>();
    rep->m_colorSpaceName = colorSpaceName ? colorSpaceName : NSCalibratedRGBColorSpace;
    rep->allocate(pixelsWide, pixelsHigh, samplesPerPixel);
    return rep;
}

Ref<NSBitmapImageRep> NSBitmapImageRep::initWithCGImage(const Ref<::CGImage>& image)
{
    if (!image) return nullptr;
    auto rep = alloc<NSBitmapImageRep>();
    rep->allocate(static_cast<NSInteger>(image->width()), static_cast<NSInteger>(image->height()), 4);
    rep->setPixelsFromImage(image);
    return rep;
}

Ref<NSBitmapImageRep> NSBitmapImageRep::imageRepWithData(const Ref<NSData>& data)
{
    return initWithCGImage(::CGImage::createWithPNGData(data));
}

unsigned char* NSBitmapImageRep::bitmapData()
{
    // The caller may write through the pointer.
    m_cache = nullptr;
    return m_bytes.data();
}

Ref<::CGImage> NSBitmapImageRep::CGImage() const
{
    if (m_cache) return m_cache;
    auto image = ::CGImage::create(static_cast<size_t>(m_pixelsWide), static_cast<size_t>(m_pixelsHigh));
    if (!image) return nullptr;
    uint8_t* out = image->data();
    for (NSInteger y = 0; y < m_pixelsHigh; ++y)
        for (NSInteger x = 0; x < m_pixelsWide; ++x) {
            const unsigned char* p = &m_bytes[static_cast<size_t>(y * m_bytesPerRow + x * m_samplesPerPixel)];
            uint32_t a = m_samplesPerPixel == 4 ? p[3] : 255;
            // Premultiplied data cannot hold a colour brighter than its alpha.
            uint32_t pixel = a << 24 | std::min<uint32_t>(p[0], a) << 16 | std::min<uint32_t>(p[1], a) << 8 |
                             std::min<uint32_t>(p[2], a);
            std::memcpy(out + y * static_cast<NSInteger>(image->bytesPerRow()) + x * 4, &pixel, 4);
        }
    image->markDirty();
    m_cache = image;
    return image;
}

void NSBitmapImageRep::setPixelsFromImage(const Ref<::CGImage>& image)
{
    if (!image || static_cast<NSInteger>(image->width()) != m_pixelsWide ||
        static_cast<NSInteger>(image->height()) != m_pixelsHigh)
        return;
    const uint8_t* in = image->data();
    for (NSInteger y = 0; y < m_pixelsHigh; ++y)
        for (NSInteger x = 0; x < m_pixelsWide; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, in + y * static_cast<NSInteger>(image->bytesPerRow()) + x * 4, 4);
            unsigned char* p = &m_bytes[static_cast<size_t>(y * m_bytesPerRow + x * m_samplesPerPixel)];
            p[0] = (pixel >> 16) & 0xff;
            p[1] = (pixel >> 8) & 0xff;
            p[2] = pixel & 0xff;
            if (m_samplesPerPixel == 4) p[3] = pixel >> 24;
        }
    m_cache = nullptr;
}

Ref<NSColor> NSBitmapImageRep::colorAtX(NSInteger x, NSInteger y) const
{
    if (x < 0 || y < 0 || x >= m_pixelsWide || y >= m_pixelsHigh) return nullptr;
    const unsigned char* p = &m_bytes[static_cast<size_t>(y * m_bytesPerRow + x * m_samplesPerPixel)];
    CGFloat a = m_samplesPerPixel == 4 ? p[3] / 255.0 : 1;
    auto un = [&](unsigned char v) { return a > 0 ? std::min(1.0, v / 255.0 / a) : 0.0; };
    return NSColor::colorWithCalibratedRed(un(p[0]), un(p[1]), un(p[2]), a);
}

void NSBitmapImageRep::setColor(const Ref<NSColor>& color, NSInteger x, NSInteger y)
{
    if (!color || x < 0 || y < 0 || x >= m_pixelsWide || y >= m_pixelsHigh) return;
    CGRGBA c = color->rgba();
    CGFloat a = m_samplesPerPixel == 4 ? std::clamp(c.a, 0.0, 1.0) : 1;
    unsigned char* p = &bitmapData()[static_cast<size_t>(y * m_bytesPerRow + x * m_samplesPerPixel)];
    p[0] = toByte(c.r * a);
    p[1] = toByte(c.g * a);
    p[2] = toByte(c.b * a);
    if (m_samplesPerPixel == 4) p[3] = toByte(a);
}

Ref<NSData> NSBitmapImageRep::representationUsingType(NSBitmapImageFileType type, const Ref<NSObject>&) const
{
    if (type != NSBitmapImageFileTypePNG && type != NSBitmapImageFileTypeTIFF) return nullptr;
    auto image = CGImage();
    return image ? image->PNGRepresentation() : nullptr;
}

Id NSBitmapImageRep::copy() const
{
    auto rep = alloc<NSBitmapImageRep>();
    rep->m_size = m_size;
    rep->m_pixelsWide = m_pixelsWide;
    rep->m_pixelsHigh = m_pixelsHigh;
    rep->m_hasAlpha = m_hasAlpha;
    rep->m_bytes = m_bytes;
    rep->m_bytesPerRow = m_bytesPerRow;
    rep->m_samplesPerPixel = m_samplesPerPixel;
    rep->m_colorSpaceName = m_colorSpaceName;
    return rep;
}
