#include "RulerDrawing.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKitExtensions/NSImage+ZAKNSImage_Extension.h"

namespace RulerDrawing {
Ref<NSDictionary> smallAttributes()
{
    return NSDictionary::dictionaryWithEntries({{NSFontAttributeName, NSFont::systemFontOfSize(10)}});
}

Ref<NSDictionary> markerAttributes()
{
    return NSDictionary::dictionaryWithEntries({{NSFontAttributeName, NSFont::boldSystemFontOfSize(9)},
                                                {NSForegroundColorAttributeName, NSColor::redColor()}});
}

Ref<NSImage> redImage(NSSize size)
{
    return NSImage::imageWithSize(size, false, [](NSRect rect) {
        NSColor::redColor()->setFill();
        NSBezierPath::fillRect(rect);
        return true;
    });
}

void drawImage(const Ref<NSImage>& image, NSPoint point)
{
    if (image) NSImageExt::drawAtPoint(image, point, NSCompositeSourceOver);
}

void drawText(const Ref<NSString>& text, NSPoint point, const Ref<NSDictionary>& attributes)
{
    NSStringExt::drawAtPoint(text, point, attributes);
}

void drawText(const Ref<NSString>& text, const NSRect& rect, const Ref<NSDictionary>& attributes)
{
    NSStringExt::drawInRect(text, rect, attributes);
}

bool touches(const NSRect& a, const NSRect& b)
{
    return a.origin.x < b.origin.x + b.size.width && b.origin.x < a.origin.x + a.size.width &&
           a.origin.y < b.origin.y + b.size.height && b.origin.y < a.origin.y + a.size.height;
}

void fillWhiteAndStroke(const NSRect& bounds, bool fill)
{
    if (fill) {
        NSColor::whiteColor()->setFill();
        NSBezierPath::fillRect(bounds);
        return;
    }
    NSColor::blackColor()->setStroke();
    auto outline = NSBezierPath::bezierPathWithRect(bounds);
    outline->setLineWidth(1);
    outline->stroke();
}
}  // namespace RulerDrawing

Ref<NSImage> RulerDrawing::iconImage()
{
    constexpr CGFloat kSide = 22;
    return NSImage::imageWithSize(NSMakeSize(kSide, kSide), true, [](NSRect) {
        NSColor::colorWithCalibratedRed(0x2d / 255.0, 0x6f / 255.0, 0xd2 / 255.0, 1)->setFill();
        NSRectFill(NSMakeRect(0, 0, kSide, kSide));
        // A bar across the middle with ticks standing on it (y down).
        NSColor::whiteColor()->setFill();
        const CGFloat left = std::floor(kSide / 8), bar = std::floor(kSide / 2), tick = std::floor(kSide / 5);
        NSRectFill(NSMakeRect(left, bar, kSide - 2 * left, std::max<CGFloat>(2, std::floor(kSide / 6))));
        for (CGFloat x = left; x < kSide - left; x += std::max<CGFloat>(3, std::floor(kSide / 6)))
            NSRectFill(NSMakeRect(x, bar - tick, 1, tick));
        return true;
    });
}
