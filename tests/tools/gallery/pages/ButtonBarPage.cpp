// The anchored button bar: a vertical split view whose panes end in bars of
// small square buttons. The left bar holds add, remove and an action pop-up
// with its handle at the right end; the right pane's bar drives the divider
// from the handle at its left end. A top bar sits above the right pane's
// content.
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSSplitView.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButton.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonBar.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKAnchoredPopUpButton.h"

namespace {

class ButtonBarPageFill : public NSView {
    NS_OBJECT(ButtonBarPageFill, NSView)
protected:
    ButtonBarPageFill() = default;

public:
    void drawRect(const NSRect& r) override
    {
        NSColor::whiteColor()->set();
        NSRectFill(r);
    }
};
NS_CLASS_DEFINE(ButtonBarPageFill)

Ref<ZAKAnchoredButton> button(NSRect frame, const char* imageName, const char* title = "")
{
    auto b = dynamic_ref_cast<ZAKAnchoredButton>(NSObject::alloc<ZAKAnchoredButton>()->initWithFrame(frame));
    b->setTitle(NSString::stringWithUTF8String(title));
    if (*imageName) {
        b->setImage(NSImage::imageNamed(NSString::stringWithUTF8String(imageName)));
        b->buttonCell()->setImagePosition(*title ? NSImageLeft : NSImageOnly);
    }
    return b;
}

Ref<ZAKAnchoredPopUpButton> actionPopUp(NSRect frame)
{
    auto p = NSObject::alloc<ZAKAnchoredPopUpButton>();
    p->initWithFrame(frame, true);
    p->addItemWithTitle(""_ns);
    p->itemAtIndex(0)->setImage(NSImage::imageNamed("NSActionTemplate"_ns));
    p->addItemWithTitle("Rename"_ns);
    p->addItemWithTitle("Duplicate"_ns);
    p->popUpCell()->setImagePosition(NSImageOnly);
    return p;
}

Ref<NSView> pane(NSRect frame, bool topBar)
{
    auto p = NSObject::alloc<NSView>()->initWithFrame(frame);
    auto content = NSObject::alloc<ButtonBarPageFill>()->initWithFrame(
        NSMakeRect(0, 23, frame.size.width, frame.size.height - 23 - (topBar ? 24 : 0)));
    content->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    p->addSubview(content);
    return p;
}

Ref<NSView> makeButtonBars(NSRect bounds)
{
    auto split = dynamic_ref_cast<NSSplitView>(NSObject::alloc<NSSplitView>()->initWithFrame(bounds));
    split->setVertical(true);
    split->setDividerStyle(NSSplitViewDividerStyleThin);
    const CGFloat h = bounds.size.height;
    auto left = pane(NSMakeRect(0, 0, 220, h), false);
    auto right = pane(NSMakeRect(0, 0, bounds.size.width - 221, h), true);
    split->addSubview(left);
    split->addSubview(right);
    split->adjustSubviews();

    auto leftBar = dynamic_ref_cast<ZAKAnchoredButtonBar>(
        NSObject::alloc<ZAKAnchoredButtonBar>()->initWithFrame(NSMakeRect(0, 0, left->frame().size.width, 23)));
    leftBar->setAutoresizingMask(NSViewWidthSizable);
    left->addSubview(leftBar);
    leftBar->addSubview(button(NSMakeRect(0, 0, 32, 23), "NSAddTemplate"));
    leftBar->addSubview(button(NSMakeRect(31, 0, 32, 23), "NSRemoveTemplate"));
    leftBar->addSubview(actionPopUp(NSMakeRect(62, 0, 44, 23)));
    leftBar->awakeFromNib();

    auto rightBar = dynamic_ref_cast<ZAKAnchoredButtonBar>(
        NSObject::alloc<ZAKAnchoredButtonBar>()->initWithFrame(NSMakeRect(0, 0, right->frame().size.width, 23)));
    rightBar->setAutoresizingMask(NSViewWidthSizable);
    right->addSubview(rightBar);
    rightBar->addSubview(button(NSMakeRect(20, 0, 80, 23), "", "Filter"));
    rightBar->addSubview(button(NSMakeRect(99, 0, 32, 23), "NSRefreshTemplate"));
    rightBar->awakeFromNib();

    auto topBar = dynamic_ref_cast<ZAKAnchoredButtonBar>(
        NSObject::alloc<ZAKAnchoredButtonBar>()->initWithFrame(NSMakeRect(0, h - 24, right->frame().size.width, 24)));
    topBar->setSelectedIndex(2);
    topBar->setIsAtBottom(false);
    topBar->setAutoresizingMask(NSViewWidthSizable | NSViewMinYMargin);
    right->addSubview(topBar);
    topBar->addSubview(button(NSMakeRect(0, 0, 70, 24), "", "Newest"));
    topBar->addSubview(button(NSMakeRect(69, 0, 70, 24), "", "Oldest"));
    topBar->addSubview(button(NSMakeRect(138, 0, 70, 24), "", "Starred"));
    return split;
}

}  // namespace

GALLERY_PAGE(buttonBar, {"button-bar", "Anchored button bar", {520, 260}, makeButtonBars});
