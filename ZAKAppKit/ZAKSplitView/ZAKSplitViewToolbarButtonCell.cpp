#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarButtonCell.h"

#include <cmath>

#include "AppKit/NSGradient.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarButton.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarLook.h"

NS_CLASS_DEFINE(ZAKSplitViewToolbarButtonCell)

namespace {

constexpr double kDisabledOpacity = 0.42;
constexpr double kImageMargin = 10;

// The look every cell shares.
struct SharedLook {
    bool key = true;
};

SharedLook& sharedLook()
{
    static SharedLook look;
    return look;
}

Ref<NSGradient> restingGradient(bool key)
{
    static Ref<NSGradient> gradients[2];
    Ref<NSGradient>& g = gradients[key ? 1 : 0];
    if (!g) {
        using ZAKSplitViewToolbarLook::gray;
        using ZAKSplitViewToolbarLook::lightened;
        g = NSGradient::initWithStartingColor(lightened(gray(0.95), key), lightened(gray(0.75), key));
    }
    return g;
}

Ref<NSGradient> pressedGradient()
{
    static Ref<NSGradient> g =
        NSGradient::initWithStartingColor(ZAKSplitViewToolbarLook::gray(0.78), ZAKSplitViewToolbarLook::gray(0.9));
    return g;
}

}

void ZAKSplitViewToolbarButtonCell::describeClass(NSClassMembers<ZAKSplitViewToolbarButtonCell>& m)
{
    m.action("parentWindowDidBecomeKey", &ZAKSplitViewToolbarButtonCell::parentWindowDidBecomeKey);
    m.action("parentWindowDidResignKey", &ZAKSplitViewToolbarButtonCell::parentWindowDidResignKey);
}

Id ZAKSplitViewToolbarButtonCell::init()
{
    NSButtonCell::init();
    auto center = NSNotificationCenter::defaultCenter();
    center->addObserver(this, "parentWindowDidBecomeKey",
                        NSString::stringWithUTF8String(NSWindowDidBecomeKeyNotification), nullptr);
    center->addObserver(this, "parentWindowDidResignKey",
                        NSString::stringWithUTF8String(NSWindowDidResignKeyNotification), nullptr);
    return this;
}

void ZAKSplitViewToolbarButtonCell::parentWindowDidBecomeKey() { sharedLook().key = true; }

void ZAKSplitViewToolbarButtonCell::parentWindowDidResignKey() { sharedLook().key = false; }

double ZAKSplitViewToolbarButtonCell::sharedImageOpacity() { return sharedLook().key ? 1.0 : kDisabledOpacity; }

void ZAKSplitViewToolbarButtonCell::drawBezelWithFrame(const NSRect& frame, const Ref<NSView>&)
{
    (isHighlighted() ? pressedGradient() : restingGradient(sharedLook().key))->drawInRect(frame, 90);
}

void ZAKSplitViewToolbarButtonCell::drawImage(const Ref<NSImage>& image, const NSRect&, const Ref<NSView>& controlView)
{
    if (!image || !controlView) return;
    const NSSize s = image->size();
    const NSRect v = controlView->frame();
    NSRect r = NSMakeRect((v.size.width - s.width) * 0.5, (v.size.height - s.height) * 0.5, s.width, s.height);
    if (title()->length() > 0)
        r.origin.x = imagePosition() == NSImageRight ? v.size.width - s.width - kImageMargin : kImageMargin;
    r = NSIntegralRect(r);
    double opacity = kDisabledOpacity;  // images dim while disabled
    if (isEnabled()) {
        opacity = sharedImageOpacity();
        if (isHighlighted()) r.origin.y += 1;
    }
    image->drawInRect(r, NSZeroRect, NSCompositeSourceOver, opacity, true, nullptr);
}

NSRect ZAKSplitViewToolbarButtonCell::drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame,
                                                const Ref<NSView>& controlView)
{
    auto button = dynamic_ref_cast<ZAKSplitViewToolbarButton>(controlView);
    auto text = button ? button->attributedTitle() : nullptr;
    if (!text || text->length() == 0) return NSButtonCell::drawTitle(title, frame, controlView);
    NSRect r = frame;
    if (isHighlighted()) r.origin.y += 1;
    NSAttributedStringExt::drawWithRect(
        text, r, NSStringDrawingOptions(NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingUsesFontLeading));
    return r;
}
