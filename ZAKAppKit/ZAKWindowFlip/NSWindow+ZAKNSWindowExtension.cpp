#include "ZAKAppKit/ZAKWindowFlip/NSWindow+ZAKNSWindowExtension.h"

#include <cmath>

#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSViewLayer.h"
#include "QuartzCore/CABasicAnimation.h"
#include "ZAKAppKit/ZAKWindowFlip/NSWindowFlipperDelegate.h"

namespace {

constexpr CGFloat kFlipMargin = 100;

Ref<CGImage> photograph(const Ref<NSView>& frameView)
{
    auto rep = frameView->bitmapImageRepForCachingDisplayInRect(frameView->bounds());
    frameView->cacheDisplayInRect(frameView->bounds(), rep);
    return rep->CGImage();
}

Ref<NSWindow> makeFlipWindow(const Ref<NSWindow>& window)
{
    auto flip =
        NSObject::alloc<NSWindow>()->initWithContentRect(NSInsetRect(window->frame(), -kFlipMargin, -kFlipMargin),
                                                         NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    flip->setOpaque(false);
    flip->setHasShadow(false);
    flip->setBackgroundColor(NSColor::clearColor());
    return flip;
}

Ref<NSView> layerBackedView(const NSRect& frame)
{
    auto view = NSObject::alloc<NSView>()->initWithFrame(frame);
    view->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    NSViewExt::setWantsLayer(view, true);
    return view;
}

Ref<CALayer> pictureLayer(const NSRect& bounds, const Ref<CGImage>& picture, bool shadowed)
{
    auto layer = CALayer::layer();
    layer->setFrame(bounds);
    layer->setContents(picture);
    layer->setDoubleSided(false);
    layer->setContentsGravity(kCAGravityCenter);
    if (shadowed) {
        layer->setShadowColor(CGColor::createGenericRGB(0, 0, 0, 1));
        layer->setShadowRadius(14);
        layer->setShadowOffset(CGSizeMake(0, -22.5));
        layer->setShadowOpacity(0.4f);
    }
    return layer;
}

CATransform3D yRotation(double angle) { return CATransform3DMakeRotation(angle, 0, 1, 0); }

double durationForModifiers(double duration)
{
    const NSUInteger flags = NSEvent::modifierFlagsNow();
    if (!(flags & NSShiftKeyMask)) return duration;
    return flags & NSControlKeyMask ? duration * 8 : duration * 2;
}

}

namespace NSWindowExt {

NSPoint midpoint(const Ref<NSWindow>& window)
{
    const NSRect f = window->frame();
    return NSMakePoint(f.origin.x + f.size.width / 2, f.origin.y + f.size.height / 2);
}

void setMidpoint(const Ref<NSWindow>& window, NSPoint point)
{
    NSRect f = window->frame();
    f.origin = NSMakePoint(point.x - f.size.width / 2, point.y - f.size.height / 2);
    window->setFrame(f, true);
}

CATransform3D flipPerspective()
{
    CATransform3D p = CATransform3DIdentity;
    p.m34 = -1.0 / 850;
    return p;
}

void flipToWindow(const Ref<NSWindow>& window, const Ref<NSWindow>& toWindow, double duration, bool shadowed)
{
    flipWithArguments(window, NSObject::alloc<FlipArguments>()->initWithToWindow(toWindow, duration, shadowed));
}

void flipToWindow(const Ref<NSWindow>& window, const Ref<NSWindow>& toWindow, bool adjustWindowFrame, double duration,
                  bool shadowed)
{
    if (adjustWindowFrame && toWindow) toWindow->setFrame(window->frame(), false);
    flipToWindow(window, toWindow, duration, shadowed);
}

void flipWithArguments(const Ref<NSWindow>& window, const Ref<FlipArguments>& arguments)
{
    auto target = arguments ? arguments->toWindow() : nullptr;
    if (!window || !target || target == window) return;
    // 1. The target, centred on the source.
    setMidpoint(target, midpoint(window));
    target->display();

    // 2 to 7. Flip windows showing photographs on single-sided layers.
    auto fromFlip = makeFlipWindow(window), toFlip = makeFlipWindow(target);
    auto fromFrameView = window->contentView()->superview(), toFrameView = target->contentView()->superview();
    if (!fromFrameView) fromFrameView = window->contentView();
    if (!toFrameView) toFrameView = target->contentView();
    const Ref<CGImage> fromPicture = photograph(fromFrameView), toPicture = photograph(toFrameView);
    auto fromView = layerBackedView(fromFrameView->bounds()), toView = layerBackedView(toFrameView->bounds());
    fromFlip->setContentView(fromView);
    toFlip->setContentView(toView);
    auto fromLayer = pictureLayer(fromFrameView->bounds(), fromPicture, arguments->shadowed());
    auto toLayer = pictureLayer(toFrameView->bounds(), toPicture, arguments->shadowed());
    toLayer->setTransform(yRotation(M_PI));  // facing away
    NSViewExt::setLayer(fromView, fromLayer);
    NSViewExt::setLayer(toView, toLayer);

    // 8. Swap the windows for the flip windows in one screen update.
    NSDisableScreenUpdates();
    toFlip->orderFront(nullptr);
    fromFlip->orderFront(nullptr);
    toFlip->display();
    fromFlip->display();
    window->orderOut(nullptr);
    target->setAlphaValue(0);
    target->orderFront(nullptr);
    NSEnableScreenUpdates();

    // 9 to 12. The turns, the target's telling when the flip is over.
    const CATransform3D fromEnd = CATransform3DConcat(yRotation(M_PI), flipPerspective());
    const CATransform3D toEnd = CATransform3DConcat(yRotation(2 * M_PI), flipPerspective());
    auto easeInOut = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
    const double duration = durationForModifiers(arguments->duration());
    auto fromTurn = CABasicAnimation::animationWithKeyPath("transform"_ns);
    fromTurn->setFromValue(CATransform3DIdentity);
    fromTurn->setToValue(fromEnd);
    auto toTurn = CABasicAnimation::animationWithKeyPath("transform"_ns);
    toTurn->setFromValue(yRotation(M_PI));
    toTurn->setToValue(toEnd);
    for (const auto& turn : {fromTurn, toTurn}) {
        turn->setRemovedOnCompletion(false);
        turn->setTimingFunction(easeInOut);
        turn->setDuration(duration);
    }
    toTurn->setDelegate(
        NSObject::alloc<NSWindowFlipperDelegate>()->initWithFromWindow(window, target, fromFlip, toFlip));
    fromLayer->setTransform(fromEnd);
    toLayer->setTransform(toEnd);
    fromLayer->addAnimation(fromTurn, "transform"_ns);
    toLayer->addAnimation(toTurn, "transform"_ns);
}

}
