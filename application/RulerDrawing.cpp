#include "RulerDrawing.h"

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
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
