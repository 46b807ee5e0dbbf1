// Offscreen pictures of a view with its subviews.
#include <cmath>

#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSView.h"
#include "AppKit/NSViewLayer.h"

Ref<NSBitmapImageRep> NSView::bitmapImageRepForCachingDisplayInRect(const NSRect& rect) const
{
    const NSInteger wide = std::max<NSInteger>(1, NSInteger(std::ceil(rect.size.width)));
    const NSInteger high = std::max<NSInteger>(1, NSInteger(std::ceil(rect.size.height)));
    return NSBitmapImageRep::initWithBitmapDataPlanes(nullptr, wide, high, 8, 4, true, false,
                                                      "NSDeviceRGBColorSpace"_ns, 0, 0);
}

void NSView::cacheDisplayInRect(const NSRect& rect, const Ref<NSBitmapImageRep>& rep)
{
    auto context = NSGraphicsContext::graphicsContextWithBitmapImageRep(rep);
    if (!context) return;
    CGContext* port = context->graphicsPort();
    // The context's user space is y up over the representation: put the
    // rectangle's origin at its corner, upside down for a flipped view.
    const CGAffineTransform toRep =
        isFlipped() ? CGAffineTransform{1, 0, 0, -1, -rect.origin.x, rect.origin.y + rect.size.height}
                    : CGAffineTransform{1, 0, 0, 1, -rect.origin.x, -rect.origin.y};
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(context);
    port->saveGState();
    port->clipToRect(CGRectApplyAffineTransform(rect, toRep));
    drawOffscreen(port, CGAffineTransformConcat(toRep, port->getCTM()), *this);
    port->restoreGState();
    NSGraphicsContext::restoreGraphicsState();
    context->flushGraphics();
}

void NSView::drawOffscreen(CGContext* port, const CGAffineTransform& rootToDestination, const NSView& root)
{
    if (isHidden()) return;
    auto context = NSGraphicsContext::currentContext();
    const CGAffineTransform toRoot =
        this == &root ? CGAffineTransformIdentity
                      : CGAffineTransformConcat(transformToWindow(), CGAffineTransformInvert(root.transformToWindow()));
    port->saveGState();
    port->setCTM(CGAffineTransformConcat(toRoot, rootToDestination));
    port->setAlpha(effectiveAlpha());
    port->clipToRect(bounds());
    const bool wasFlipped = context->isFlipped();
    context->setFlipped(isFlipped());
    m_rectsBeingDrawn = {bounds()};
    Ref<NSView> self(this);
    drawRect(bounds());
    NSViewDrawLayerIfBacked(*this, port);
    m_rectsBeingDrawn.clear();
    context->setFlipped(wasFlipped);
    port->restoreGState();
    for (auto& v : std::vector<Ref<NSView>>(m_subviews)) v->drawOffscreen(port, rootToDestination, root);
}
