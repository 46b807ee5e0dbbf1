#include "AppKitExtensions/NSImage+ZAKNSImage_Extension.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSColorSpace.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "CoreGraphics/CGCairoContext.h"
#include "Foundation/NSClass.h"

namespace {

// A point length as whole pixels: truncated, 0 for NaN and negatives, and
// bounded so that it converts safely.
NSInteger wholePixels(CGFloat length)
{
    if (!(length >= 1)) return 0;
    return static_cast<NSInteger>(std::min(length, 1e9));
}

// How much each channel of the colour lowers a byte: 1 for a full channel,
// 256 for an empty one.
int darkening(CGFloat component)
{
    if (!(component >= 0)) component = 0;
    if (component > 1) component = 1;
    return static_cast<int>(std::trunc(256 - component * 255));
}

Ref<NSBitmapImageRep> firstRepresentationAsBitmap(const Ref<NSImage>& image)
{
    auto reps = image->representations();
    if (!reps || reps->count() == 0) return nullptr;
    const NSClass* bitmapClass = NSClassFromString("NSBitmapImageRep"_ns);
    Id first = reps->objectAtIndex(0);
    if (!bitmapClass || !first->isKindOfClass(*bitmapClass)) return nullptr;
    return dynamic_ref_cast<NSBitmapImageRep>(first);
}

}

namespace NSImageExt {

void drawAtPoint(const Ref<NSImage>& image, NSPoint point, NSCompositingOperation operation)
{
    drawAtPoint(image, point, operation, 1.0);
}

void drawAtPoint(const Ref<NSImage>& image, NSPoint point, NSCompositingOperation operation, CGFloat fraction)
{
    if (image) image->drawAtPoint(point, NSZeroRect, operation, fraction);
}

Ref<NSImage> zakTintedImageWithColor(const Ref<NSImage>& image, const Ref<NSColor>& color)
{
    if (!image) return nullptr;
    auto tinted = static_ref_cast<NSImage>(image->copy());
    if (!color) return tinted;
    auto previous = NSGraphicsContext::currentContext();
    tinted->lockFocus();
    // An image too large for a bitmap gets no context; drawing would then
    // land in the caller's.
    if (NSGraphicsContext::currentContext() == previous) return tinted;
    color->set();
    NSRectFillUsingOperation({{0, 0}, tinted->size()}, NSCompositingOperationSourceAtop);
    tinted->unlockFocus();
    return tinted;
}

Ref<NSImage> darkenedImageWithColor(const Ref<NSImage>& image, const Ref<NSColor>& color)
{
    if (!image || !color) return nullptr;
    auto rgb = color->colorUsingColorSpaceName(NSCalibratedRGBColorSpace);
    auto source = firstRepresentationAsBitmap(image);
    if (!rgb || !source) return nullptr;

    const NSSize size = image->size();
    const bool alpha = source->hasAlpha();
    auto target =
        NSBitmapImageRep::initWithBitmapDataPlanes(nullptr, wholePixels(size.width), wholePixels(size.height), 8,
                                                   alpha ? 4 : 3, alpha, false, NSCalibratedRGBColorSpace, 0, 0);
    if (!target) return nullptr;
    auto result = NSImage::initWithSize(size);
    result->addRepresentation(target);

    CGFloat r, g, b, a;
    rgb->getRed(&r, &g, &b, &a);
    const int lower[3] = {darkening(r), darkening(g), darkening(b)};

    // Each buffer is addressed through its own layout, over the pixels both have.
    const NSInteger sourcePixel = source->bitsPerPixel() / 8, targetPixel = target->bitsPerPixel() / 8;
    const NSInteger sourceRow = source->bytesPerRow(), targetRow = target->bytesPerRow();
    const NSInteger width = std::min(source->pixelsWide(), target->pixelsWide());
    const NSInteger height = std::min(source->pixelsHigh(), target->pixelsHigh());
    const bool copyAlpha = alpha && sourcePixel >= 4 && targetPixel >= 4;
    if (sourcePixel < 3 || targetPixel < 3) return result;
    const unsigned char* from = static_cast<const NSBitmapImageRep&>(*source).bitmapData();
    unsigned char* to = target->bitmapData();
    for (NSInteger y = 0; y < height; ++y) {
        for (NSInteger x = 0; x < width; ++x) {
            const unsigned char* in = from + y * sourceRow + x * sourcePixel;
            unsigned char* out = to + y * targetRow + x * targetPixel;
            for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>(std::max(in[c] - lower[c], 0));
            if (copyAlpha) out[3] = in[3];
        }
    }
    return result;
}

Ref<NSImage> normalizeSize(const Ref<NSImage>& image)
{
    if (!image) return image;
    auto reps = image->representations();
    for (NSUInteger i = 0; reps && i < reps->count(); ++i) {
        auto bitmap = dynamic_ref_cast<NSBitmapImageRep>(reps->objectAtIndex(i));
        if (!bitmap) continue;
        const NSSize pixels{static_cast<CGFloat>(bitmap->pixelsWide()), static_cast<CGFloat>(bitmap->pixelsHigh())};
        image->setSize(pixels);
        bitmap->setSize(pixels);
        break;
    }
    return image;
}

Ref<::CGImage> imageRefCopy(const Ref<NSImage>& image)
{
    if (!image) return nullptr;
    const NSSize size = image->size();
    auto space = NSColorSpace::genericRGBColorSpace()->CGColorSpace();
    auto bitmap = CGBitmapContextCreate(nullptr, static_cast<size_t>(wholePixels(size.width)),
                                        static_cast<size_t>(wholePixels(size.height)), 8, 0, space,
                                        kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little);
    if (!bitmap) return nullptr;
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(bitmap, false));
    image->drawInRect({{0, 0}, size}, NSZeroRect, NSCompositingOperationCopy, 1.0);
    NSGraphicsContext::restoreGraphicsState();
    return CGBitmapContextCreateImage(bitmap);
}

}
