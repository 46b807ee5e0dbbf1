// The collapsible split view: three panes with toolbars along their bottom
// edges, a grip in the first pane's bar that drags its divider, and a button
// beside it that collapses and expands the last pane.
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitSubview.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitView.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewController.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbar.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarButton.h"

namespace {

// The page's root: keeps the split view's controller, which the split view
// does not retain.
class PaneToolbarPageRoot : public NSView {
    NS_OBJECT(PaneToolbarPageRoot, NSView)
protected:
    PaneToolbarPageRoot() = default;

public:
    Ref<ZAKSplitViewController> controller;
};
NS_CLASS_DEFINE(PaneToolbarPageRoot)

class PaneToolbarPageFill : public NSView {
    NS_OBJECT(PaneToolbarPageFill, NSView)
protected:
    PaneToolbarPageFill() = default;

public:
    Ref<NSColor> colour;
    void drawRect(const NSRect& r) override
    {
        colour->set();
        NSRectFill(r);
    }
};
NS_CLASS_DEFINE(PaneToolbarPageFill)

Ref<ZAKSplitSubview> pane(double width, double height, double gray)
{
    auto p = static_ref_cast<ZAKSplitSubview>(
        NSObject::alloc<ZAKSplitSubview>()->initWithFrame(NSMakeRect(0, 0, width, height)));
    auto content =
        static_ref_cast<PaneToolbarPageFill>(NSObject::alloc<PaneToolbarPageFill>()->initWithFrame(p->bounds()));
    content->colour = NSColor::colorWithCalibratedWhite(gray, 1);
    content->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    p->addSubview(content);
    p->installToolbar();
    return p;
}

Ref<ZAKSplitViewToolbarButton> item(int image, int align, const char* title = "")
{
    auto b = NSObject::make<ZAKSplitViewToolbarButton>();
    b->setToolbarButtonAlign(align);
    b->setToolbarButtonImage(image);
    b->setTitle(NSString::stringWithUTF8String(title));
    return b;
}

Ref<NSView> makePaneToolbars(NSRect bounds)
{
    auto root = static_ref_cast<PaneToolbarPageRoot>(NSObject::alloc<PaneToolbarPageRoot>()->initWithFrame(bounds));
    auto sv = static_ref_cast<ZAKSplitView>(NSObject::alloc<ZAKSplitView>()->initWithFrame(bounds));
    sv->setVertical(true);
    sv->setDividerStyle(NSSplitViewDividerStyleThin);
    sv->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    const double h = bounds.size.height;
    auto left = pane(180, h, 0.97);
    auto middle = pane(218, h, 1.0);
    auto right = pane(160, h, 0.95);
    left->setMinSize(120);
    middle->setMinSize(150);
    right->setMinSize(100);
    right->setIsCollapsible(true);
    right->setSiblingResizeMode(0);
    for (auto& p : {left, middle, right}) sv->addSubview(p);
    root->controller = static_ref_cast<ZAKSplitViewController>(
        NSObject::alloc<ZAKSplitViewController>()->initWithNibName(nullptr, nullptr));
    sv->setDelegate(root->controller);
    sv->adjustSubviews();

    // The last pane's toggle stands right of the add, remove and action
    // items, beside the grip.
    auto leftBar = left->toolbar();
    leftBar->addItem(item(1, 0));
    leftBar->addItem(item(2, 0));
    leftBar->addItem(item(4, 0));
    auto toggle = item(10, 1);
    toggle->setTarget(right);
    toggle->setAction("toggleCollapse:");
    leftBar->addItem(toggle);
    leftBar->setDrawDraggingButton(true);

    auto middleBar = middle->toolbar();
    middleBar->setContentAlign(1);
    middleBar->addItem(item(6, 0));
    middleBar->addItem(item(7, 0));
    middleBar->addItem(item(0, 0, "Filter"));

    auto rightBar = right->toolbar();
    rightBar->addItem(item(8, 0));
    rightBar->addItem(item(13, 1));
    for (auto& bar : {leftBar, middleBar, rightBar}) bar->recalculateItemPositions();
    root->addSubview(sv);
    return root;
}

}  // namespace

GALLERY_PAGE(splitPaneToolbar, {"split-pane-toolbar", "Split view pane toolbar", {560, 320}, makePaneToolbars});
