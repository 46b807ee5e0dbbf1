#include "ZAKAppKit/ZAKViewExtensions/NSView+ZAKNSViewExtension.h"

#include "AppKit/NSAnimationContext.h"
#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSScreen.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSViewAnimator.h"
#include "AppKit/NSWindow.h"
#include "AppKitExtensions/NSScreen+ZAKExtension.h"
#include "Foundation/NSClass.h"

namespace NSViewExt {

namespace {

NSComparisonResult frontLast(NSView* a, NSView* b, void* context)
{
    if (a == context) return NSOrderedDescending;
    if (b == context) return NSOrderedAscending;
    return NSOrderedSame;
}

void collect(const NSView& view, const NSClass* cls, NSMutableArray& into)
{
    for (const auto& sub : view.subviews()) {
        if (!cls || sub->isKindOfClass(*cls)) into.addObject(sub);
        collect(*sub, cls, into);
    }
}

ZAKOverlayView* hooks(const Ref<NSView>& view) { return dynamic_cast<ZAKOverlayView*>(view.get()); }

}

void zakBringToFront(const Ref<NSView>& view)
{
    if (auto superview = view ? view->superview() : nullptr)
        superview->sortSubviewsUsingFunction(frontLast, view.get());
}

Ref<NSMutableArray> descendantsKindOfClass(const Ref<NSView>& view, const NSClass* cls)
{
    auto result = NSMutableArray::array();
    if (view) collect(*view, cls, *result);
    return result;
}

Ref<NSImage> imageWithSubviews(const Ref<NSView>& view)
{
    const NSRect b = view->bounds();
    NSPoint p = NSZeroPoint;
    if (auto scrollView = view->enclosingScrollView()) {
        const NSRect sb = scrollView->bounds();
        NSPoint corner = NSMakePoint(sb.origin.x, sb.origin.y + (scrollView->isFlipped() ? sb.size.height : 0));
        auto content = scrollView->window() ? scrollView->window()->contentView() : nullptr;
        p = scrollView->convertPointToView(corner, content);
    }
    const NSRect r = NSMakeRect(b.origin.x - p.x, b.origin.y - p.y, b.size.width + p.x, b.size.height + p.y);
    auto rep = view->bitmapImageRepForCachingDisplayInRect(r);
    view->cacheDisplayInRect(r, rep);
    auto image = NSImage::initWithSize(b.size);
    image->lockFocus();
    rep->drawAtPoint(r.origin);
    image->unlockFocus();
    return image;
}

NSSize scale(const Ref<NSView>& view) { return view->convertSizeToView(NSMakeSize(1, 1), nullptr); }

void setScale(const Ref<NSView>& view, NSSize size)
{
    resetScaling(view);
    view->scaleUnitSquareToSize(size);
    view->setNeedsDisplay(true);
}

void resetScaling(const Ref<NSView>& view)
{
    view->scaleUnitSquareToSize(view->convertSizeFromView(NSMakeSize(1, 1), nullptr));
}

NSSize effectiveScreenResolution(const Ref<NSView>& view)
{
    auto window = view ? view->window() : nullptr;
    auto screen = window ? window->screen() : nullptr;
    return NSScreenExt::effectiveScreenResolution(screen ? screen : NSScreen::mainScreen());
}

NSSize effectiveScreenResolutionScaleFactor(const Ref<NSView>& view)
{
    const NSSize dpi = effectiveScreenResolution(view);
    return NSMakeSize(dpi.width / 72, dpi.height / 72);
}

void addOverlayView(const Ref<NSView>& view, const Ref<NSView>& overlay, NSInteger ordering)
{
    if (auto h = hooks(overlay)) h->viewWillBecomeOverlay();
    NSAnimationContext::beginGrouping();
    NSAnimationContext::currentContext()->setDuration(0.5);
    if (auto superview = view->superview())
        superview->animator()->addSubview(overlay, ordering == 1 ? NSWindowAbove : NSWindowBelow, view);
    NSAnimationContext::endGrouping();
    if (auto h = hooks(overlay)) h->viewDidBecomeOverlay();
}

void addOverlayView(const Ref<NSView>& view, const Ref<NSView>& overlay, NSInteger ordering, bool)
{
    addOverlayView(view, overlay, ordering);
}

void removeOverlayView(const Ref<NSView>&, const Ref<NSView>& overlay)
{
    if (auto h = hooks(overlay)) h->viewWillResignOverlay();
    NSAnimationContext::beginGrouping();
    NSAnimationContext::currentContext()->setDuration(0.5);
    overlay->animator()->removeFromSuperview();
    NSAnimationContext::endGrouping();
    if (auto h = hooks(overlay)) h->viewDidResignOverlay();
}

NSRect adjustedFrameForOverlay(const Ref<NSView>& view) { return view->frame(); }

}
