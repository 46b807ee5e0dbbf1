#include "AppKitExtensions/NSColor+ZAKExtension.h"

#include <cfloat>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSScreen.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"

namespace {

// Values beyond single precision's range become infinities rather than an
// undefined conversion.
float toSingle(CGFloat v)
{
    if (v > FLT_MAX) return INFINITY;
    if (v < -FLT_MAX) return -INFINITY;
    return static_cast<float>(v);
}

CGFloat userSpaceScale()
{
    auto screen = NSScreen::mainScreen();
    // Without a screen there is nothing to scale for.
    return screen ? screen->userSpaceScaleFactor() : 1.0;
}

}

namespace NSColorExt {

Ref<NSColor> disabledColor(const Ref<NSColor>& color)
{
    if (!color) return nullptr;
    return color->colorWithAlphaComponent(std::trunc(color->alphaComponent()) * 0.5);
}

bool isTransparent(const Ref<NSColor>& color) { return color && color->alphaComponent() == 0; }

Ref<::CGColor> CGColor(const Ref<NSColor>& color)
{
    auto rgb = color ? color->colorUsingColorSpaceName(NSCalibratedRGBColorSpace) : nullptr;
    if (!rgb) return nullptr;
    CGFloat components[4];
    rgb->getRed(&components[0], &components[1], &components[2], &components[3]);
    auto space = CGColorSpaceCreateWithName(kCGColorSpaceGenericRGB);
    return CGColorCreate(space, components);
}

Ref<NSImage> colorImageWithSize(const Ref<NSColor>& color, NSSize size)
{
    auto image = NSImage::initWithSize(size);
    if (!color) return image;
    auto previous = NSGraphicsContext::currentContext();
    image->lockFocus();
    auto context = NSGraphicsContext::currentContext();
    // An image too large for a bitmap gets no context; drawing would then
    // land in the caller's.
    if (!context || context == previous) return image;
    const NSRect bounds{{0, 0}, size};
    context->setShouldAntialias(false);
    color->set();
    NSRectFill(bounds);
    NSColor::blackColor()->set();
    if (isTransparent(color)) NSBezierPathExt::bezierPathWith45CrossInRect(bounds)->stroke();
    NSFrameRect(bounds);
    context->setShouldAntialias(true);
    image->unlockFocus();
    return image;
}

void zakDrawPixelThickLineAtPosition(const Ref<NSColor>& color, NSInteger position, NSInteger inset, const NSRect& rect,
                                     const Ref<NSView>& view, bool horizontal, bool flip)
{
    if (!color) return;
    NSRect r = view ? NSIntegralRect(view->convertRectToView(rect, nullptr)) : NSZeroRect;
    // Half a pixel in, so that a one-pixel stroke covers one whole row or column.
    if (!horizontal) r.origin.x += 0.5;
    else if (view && view->isFlipped()) r.origin.y -= 0.5;
    else r.origin.y += 0.5;
    const NSSize windowSize = r.size;
    r = view ? view->convertRectFromView(r, nullptr) : NSZeroRect;

    CGFloat offset = static_cast<CGFloat>(position);
    if (flip) offset = std::trunc((horizontal ? windowSize.height : windowSize.width) - offset - 1);
    const float scale = toSingle(userSpaceScale());
    const float along = toSingle(offset) / scale, shortened = toSingle(static_cast<CGFloat>(inset)) / scale;

    NSPoint from, to;
    if (horizontal) {
        from = {toSingle(r.origin.x + shortened), toSingle(r.origin.y + along)};
        to = {toSingle(r.origin.x + r.size.width - shortened), toSingle(r.origin.y + along)};
    } else {
        from = {toSingle(r.origin.x + along), toSingle(r.origin.y + shortened)};
        to = {toSingle(r.origin.x + along), toSingle(r.origin.y + r.size.height - shortened)};
    }
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(from);
    path->lineToPoint(to);
    path->setLineWidth(0);
    color->set();
    path->stroke();
}

}
