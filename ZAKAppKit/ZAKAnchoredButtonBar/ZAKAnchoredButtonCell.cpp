#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonCell.h"

#include "AppKit/NSGradient.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKAnchoredPopUpButton.h"

NS_CLASS_DEFINE(ZAKAnchoredButtonCell)
NS_CLASS_DEFINE(ZAKUnanchoredButtonCell)
NS_CLASS_DEFINE(ZAKAnchoredPopUpButtonCell)

namespace {

Ref<NSColor> white(CGFloat w, CGFloat a = 1) { return NSColor::colorWithCalibratedWhite(w, a); }

void fillTile(const NSRect& f, bool pressed)
{
    auto gradient = NSGradient::initWithStartingColor(white(0.98), white(0.86));
    gradient->drawInRect(f, 90);
    if (!pressed) return;
    white(0, 0.35)->setFill();
    NSRectFillUsingOperation(f, NSCompositeSourceOver);
}

void line(const NSRect& r, const Ref<NSColor>& colour)
{
    colour->setFill();
    NSRectFillUsingOperation(r, NSCompositeSourceOver);
}

// The tile of the bar's cells: a top edge line, a bottom line and shaded
// sides; in a top bar the buttons at the bar's ends get an edge line there.
void drawAnchoredTile(const NSRect& f, bool pressed, bool leftEdge, bool rightEdge)
{
    fillTile(f, pressed);
    line(NSMakeRect(f.origin.x, f.origin.y, f.size.width, 1), white(170.0 / 255));
    line(NSMakeRect(f.origin.x, NSMaxY(f) - 1, f.size.width, 1), white(202.0 / 255));
    line(NSMakeRect(f.origin.x, f.origin.y + 1, 1, f.size.height - 2), white(0, leftEdge ? 1 : 0.2));
    line(NSMakeRect(NSMaxX(f) - 1, f.origin.y + 1, 1, f.size.height - 2), white(0, rightEdge ? 1 : 0.2));
}

}

Ref<NSCell> ZAKAnchoredButtonCell::initTextCell(const Ref<NSString>& text)
{
    NSButtonCell::initTextCell(text);
    setup();
    return this;
}

Id ZAKAnchoredButtonCell::initWithCoder(NSCoder* coder)
{
    NSButtonCell::initWithCoder(coder);
    setup();
    return this;
}

void ZAKAnchoredButtonCell::setup()
{
    setButtonType(NSMomentaryPushInButton);
    setBordered(true);
    setBezeled(true);
    setBezelStyle(NSTexturedSquareBezelStyle);
    setControlSize(1);
}

void ZAKAnchoredButtonCell::drawBezelWithFrame(const NSRect& frame, const Ref<NSView>&)
{
    drawAnchoredTile(frame, isHighlighted(), false, false);
}

void ZAKUnanchoredButtonCell::drawBezelWithFrame(const NSRect& f, const Ref<NSView>&)
{
    fillTile(NSInsetRect(f, 0, 2), isHighlighted());
    line(NSMakeRect(f.origin.x, f.origin.y + 1, f.size.width, 1), white(151.0 / 255));
    line(NSMakeRect(f.origin.x, NSMaxY(f) - 2, f.size.width, 1), white(126.0 / 255));
    line(NSMakeRect(f.origin.x, f.origin.y + 2, 1, f.size.height - 4), white(151.0 / 255));
    line(NSMakeRect(NSMaxX(f) - 1, f.origin.y + 2, 1, f.size.height - 4), white(151.0 / 255));
}

void ZAKAnchoredPopUpButtonCell::drawBorderAndBackgroundWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    auto button = dynamic_ref_cast<ZAKAnchoredPopUpButton>(view);
    drawAnchoredTile(frame, isHighlighted(), button && button->isAtLeftEdgeOfBar(),
                     button && button->isAtRightEdgeOfBar());
}
