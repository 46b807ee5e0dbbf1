#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonCell.h"

#include <cmath>

#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSShadow.h"
#include "AppKitExtensions/NSColor+ZAKExtension.h"
#include "AppKitExtensions/NSImage+ZAKNSImage_Extension.h"
#include "AppKitExtensions/ZAKMultiGradient.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButton.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonBar.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKAnchoredPopUpButton.h"

NS_CLASS_DEFINE(ZAKAnchoredButtonCell)
NS_CLASS_DEFINE(ZAKUnanchoredButtonCell)
NS_CLASS_DEFINE(ZAKAnchoredPopUpButtonCell)

namespace {

Ref<NSColor> white(CGFloat w, CGFloat a = 1) { return NSColor::colorWithCalibratedWhite(w, a); }

// The drawing objects of the anchored cells, made once.
struct TileLook {
    Ref<ZAKMultiGradient> background = ZAKMultiGradient::aquaNormalGradient();
    Ref<NSColor> bottomBarLine = white(202.0 / 255);
    Ref<NSColor> edgeLine = white(170.0 / 255);
    Ref<NSColor> topBarLine = white(190.0 / 255);
    Ref<NSColor> innerHighlight = white(1, 0.5);
    Ref<NSColor> bottomBarSideShade = white(0, 0.2);
    Ref<NSColor> topBarSideShade = white(0, 0.25);
    Ref<NSColor> pressedOverlay = white(0, 0.35);
    Ref<NSColor> text = white(10.0 / 255);
    Ref<NSColor> disabledText = white(10.0 / 255, 0.6);
    Ref<NSColor> image = white(72.0 / 255);
    Ref<NSColor> disabledImage = white(72.0 / 255, 0.6);
    Ref<NSShadow> textShadow = [] {
        auto shadow = NSShadow::shadow();
        shadow->setShadowOffset(NSMakeSize(0, -1));
        shadow->setShadowColor(white(1, 0.75));
        return shadow;
    }();
};

const TileLook& tile()
{
    static const TileLook* shared = new TileLook;
    return *shared;
}

// The free-standing cell's own set.
struct UnanchoredLook {
    Ref<ZAKMultiGradient> background = ZAKMultiGradient::aquaNormalGradient();
    Ref<NSColor> bottomShade = white(0, 0.08);
    Ref<NSColor> lowerLine = white(126.0 / 255);
    Ref<NSColor> upperAndSideLine = white(151.0 / 255);
    Ref<NSColor> topHighlight = white(1, 0.54);
};

const UnanchoredLook& unanchored()
{
    static const UnanchoredLook* shared = new UnanchoredLook;
    return *shared;
}

Ref<NSImage> arrowImage()
{
    // Served by the PNG of the same base name: the platform layer reads no PDF.
    static const Ref<NSImage> arrow = [] {
        auto path = NSBundle::bundleForClass(ZAKAnchoredPopUpButtonCell::staticClass())
                        ->pathForImageResource("ButtonBarPullDownArrow"_ns);
        return path ? NSImage::initByReferencingFile(path) : Ref<NSImage>();
    }();
    return arrow;
}

// A one-pixel line `position` pixels in from the frame's bottom or left
// edge, or from its top or right edge when fromTopOrRight, whichever way
// the control view is flipped (the pixel-line helper counts from the top
// of a flipped view).
void line(const Ref<NSColor>& color, NSInteger position, NSInteger inset, const NSRect& frame, const Ref<NSView>& view,
          bool horizontal, bool fromTopOrRight)
{
    const bool flip = horizontal && view && view->isFlipped() ? !fromTopOrRight : fromTopOrRight;
    NSColorExt::zakDrawPixelThickLineAtPosition(color, position, inset, frame, view, horizontal, flip);
}

// The action template is shared by name: draw a 10 x 10 copy of it.
Ref<NSImage> forDrawing(const Ref<NSImage>& image)
{
    if (!image || !image->name() || !image->name()->isEqualToString("NSActionTemplate"_ns)) return image;
    auto copy = dynamic_ref_cast<NSImage>(image->copy());
    copy->setScalesWhenResized(true);
    copy->setSize(NSMakeSize(10, 10));
    return copy;
}

Ref<NSDictionary> withTitleLook(const Ref<NSDictionary>& base, const Ref<NSColor>& color)
{
    auto attributes = NSMutableDictionary::dictionaryWithDictionary(base);
    attributes->setObject(color, NSForegroundColorAttributeName);
    attributes->setObject(NSFont::systemFontOfSize(11), NSFontAttributeName);
    attributes->setObject(tile().textShadow, NSShadowAttributeName);
    return attributes;
}

void overlayPressed(const NSRect& rect)
{
    tile().pressedOverlay->setFill();
    NSRectFillUsingOperation(rect, NSCompositeSourceOver);
}

// The anchored tile: gradient, edge line on top, inner highlights, then the
// lines of a bottom or a top bar.
void drawAnchoredBezel(const NSRect& f, const Ref<NSView>& view)
{
    const auto& look = tile();
    auto bar = view ? dynamic_ref_cast<ZAKAnchoredButtonBar>(view->superview()) : nullptr;
    const bool atBottom = bar && bar->isAtBottom();
    look.background->fillRect(f, 90);
    line(look.edgeLine, 0, 0, f, view, true, true);
    line(look.innerHighlight, 1, 1, f, view, false, false);
    line(look.innerHighlight, 1, 1, f, view, false, true);
    if (atBottom) {
        line(look.bottomBarLine, 0, 0, f, view, true, false);
        line(look.bottomBarSideShade, 0, 1, f, view, false, false);
        line(look.bottomBarSideShade, 0, 1, f, view, false, true);
        return;
    }
    line(look.topBarLine, 0, 0, f, view, true, false);
    line(look.topBarSideShade, 0, 1, f, view, false, false);
    line(look.topBarSideShade, 0, 1, f, view, false, true);
    bool left = false, right = false;
    if (auto button = dynamic_ref_cast<ZAKAnchoredButton>(view)) {
        left = button->isAtLeftEdgeOfBar();
        right = button->isAtRightEdgeOfBar();
    } else if (auto popUp = dynamic_ref_cast<ZAKAnchoredPopUpButton>(view)) {
        left = popUp->isAtLeftEdgeOfBar();
        right = popUp->isAtRightEdgeOfBar();
    }
    if (left) line(look.edgeLine, 0, 1, f, view, false, false);
    if (right) line(look.edgeLine, 0, 1, f, view, false, true);
}

// Translate by (0, height), scale by (1, -1).
Ref<NSAffineTransform> flipOver(CGFloat height)
{
    auto flip = NSAffineTransform::transform();
    flip->translateXBy(0, height);
    flip->scaleXBy(1, -1);
    return flip;
}

void undo(const Ref<NSAffineTransform>& transform)
{
    auto inverse = NSAffineTransform::transformWithTransform(transform);
    inverse->invert();
    inverse->concat();
}

}

// --- The anchored button cell ---

Ref<NSCell> ZAKAnchoredButtonCell::initTextCell(const Ref<NSString>& text)
{
    NSButtonCell::initTextCell(text);
    setUp();
    return this;
}

Id ZAKAnchoredButtonCell::initWithCoder(NSCoder* coder)
{
    NSButtonCell::initWithCoder(coder);
    setUp();
    return this;
}

void ZAKAnchoredButtonCell::setUp()
{
    setButtonType(NSMomentaryPushInButton);
    // The platform's cells are either bezeled or bordered; a button cell
    // draws its bezel when bordered, so that flag is set last.
    setBezeled(true);
    setBordered(true);
    setBezelStyle(NSTexturedSquareBezelStyle);
}

Ref<NSColor> ZAKAnchoredButtonCell::textColor() const { return isEnabled() ? tile().text : tile().disabledText; }

Ref<NSColor> ZAKAnchoredButtonCell::imageColor() const { return isEnabled() ? tile().image : tile().disabledImage; }

Ref<NSDictionary> ZAKAnchoredButtonCell::textAttributes() const
{
    return withTitleLook(NSButtonCell::textAttributes(), textColor());
}

NSRect ZAKAnchoredButtonCell::titleRectForBounds(const NSRect& bounds) const
{
    return NSOffsetRect(NSButtonCell::titleRectForBounds(bounds), 0, 1);
}

void ZAKAnchoredButtonCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    NSButtonCell::drawWithFrame(frame, controlView);
    if (isHighlighted()) overlayPressed(highlightRectForBounds(frame));
}

void ZAKAnchoredButtonCell::drawImage(const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView)
{
    NSButtonCell::drawImage(forDrawing(image), NSOffsetRect(frame, 0, 1), controlView);
}

NSRect ZAKAnchoredButtonCell::drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame, const Ref<NSView>&)
{
    return drawAttributedTitle(title, frame);
}

void ZAKAnchoredButtonCell::drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    drawAnchoredBezel(frame, controlView);
}

// --- The unanchored button cell ---

NSRect ZAKUnanchoredButtonCell::highlightRectForBounds(const NSRect& bounds) const { return NSInsetRect(bounds, 0, 1); }

void ZAKUnanchoredButtonCell::drawBezelWithFrame(const NSRect& f, const Ref<NSView>& view)
{
    const auto& look = unanchored();
    look.background->fillRect(NSInsetRect(f, 0, 2), 270);
    line(look.bottomShade, 0, 0, f, view, true, false);
    line(look.lowerLine, 1, 0, f, view, true, false);
    line(look.upperAndSideLine, 1, 0, f, view, true, true);
    line(look.topHighlight, 0, 0, f, view, true, true);
    line(look.upperAndSideLine, 0, 2, f, view, false, true);
    line(look.upperAndSideLine, 0, 2, f, view, false, false);
}

// --- The anchored pop-up button cell ---

Ref<NSColor> ZAKAnchoredPopUpButtonCell::textColor() const { return isEnabled() ? tile().text : tile().disabledText; }

Ref<NSColor> ZAKAnchoredPopUpButtonCell::imageColor() const
{
    return isEnabled() ? tile().image : tile().disabledImage;
}

Ref<NSDictionary> ZAKAnchoredPopUpButtonCell::textAttributes() const
{
    return withTitleLook(NSPopUpButtonCell::textAttributes(), textColor());
}

NSRect ZAKAnchoredPopUpButtonCell::titleRectForBounds(const NSRect& bounds) const
{
    NSRect r = NSPopUpButtonCell::titleRectForBounds(bounds);
    r.origin.y -= 1;
    return NSInsetRect(r, 3, 0);
}

NSRect ZAKAnchoredPopUpButtonCell::imageRectForBounds(const NSRect& bounds) const
{
    NSRect r = NSPopUpButtonCell::imageRectForBounds(bounds);
    if (auto picture = image(); picture && picture->size().width > r.size.width) r.size.width += 1;
    r.origin.x += 1;
    return r;
}

void ZAKAnchoredPopUpButtonCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    NSPopUpButtonCell::drawWithFrame(frame, controlView);
    if (isHighlighted()) overlayPressed(highlightRectForBounds(frame));
}

NSRect ZAKAnchoredPopUpButtonCell::drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame,
                                             const Ref<NSView>&)
{
    return drawAttributedTitle(title, frame);
}

void ZAKAnchoredPopUpButtonCell::drawBorderAndBackgroundWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    drawAnchoredBezel(frame, controlView);
    drawArrowInFrame(frame);
}

void ZAKAnchoredPopUpButtonCell::drawArrowInFrame(const NSRect& frame)
{
    auto arrow = arrowImage();
    if (!arrow) return;
    auto tinted = NSImageExt::zakTintedImageWithColor(arrow, imageColor());
    if (!tinted) return;
    const CGFloat x = frame.origin.x + frame.size.width - 11;
    const CGFloat m = std::round(float(frame.size.height / 2));
    NSGraphicsContext::saveGraphicsState();
    auto flip = flipOver(frame.size.height);
    flip->concat();
    tile().textShadow->set();
    if (pullsDown()) {
        NSImageExt::drawAtPoint(tinted, NSMakePoint(x, m - 2), NSCompositeSourceOver, 1);
    } else {
        NSImageExt::drawAtPoint(tinted, NSMakePoint(x, m - 4), NSCompositeSourceOver, 1);
        auto second = flipOver(frame.size.height);
        second->concat();
        NSImageExt::drawAtPoint(tinted, NSMakePoint(x, m - 5), NSCompositeSourceOver, 1);
        undo(second);
    }
    undo(flip);
    NSGraphicsContext::restoreGraphicsState();
}

void ZAKAnchoredPopUpButtonCell::drawImageWithFrame(const NSRect& frame, const Ref<NSView>&)
{
    auto picture = image();
    if (!picture) return;
    picture = forDrawing(picture);
    auto flip = flipOver(frame.size.height);
    flip->concat();
    picture->drawInRect(imageRectForBounds(frame), NSZeroRect, NSCompositeSourceOver, 1);
    undo(flip);
}
