// Nested split views: a vertical split view whose middle pane is a coupled
// split view of two stacked panes, dividers drawn with an image, the layout
// saved under the autosave name "Gallery", and a resize grip in the first
// pane's bottom bar.
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "QXSplitView/QXSplitView.h"
#include "ZAKAppKit/ZAKSplitSubviewResizeButton/ZAKSplitSubviewResizeButton.h"

namespace {

// A pane's content: a colour with its name in the top-left corner.
class SplitViewsPageArea : public NSView {
    NS_OBJECT(SplitViewsPageArea, NSView)
protected:
    SplitViewsPageArea() = default;

public:
    Ref<NSColor> fill;
    Ref<NSString> name;
    void drawRect(const NSRect& r) override
    {
        fill->set();
        NSRectFill(r);
        NSStringExt::drawAtPoint(name, NSMakePoint(10, bounds().size.height - 24), nullptr);
    }
};
NS_CLASS_DEFINE(SplitViewsPageArea)

Ref<SplitViewsPageArea> area(const char* name, double gray, NSRect frame)
{
    auto a = static_ref_cast<SplitViewsPageArea>(NSObject::alloc<SplitViewsPageArea>()->initWithFrame(frame));
    a->fill = NSColor::colorWithCalibratedWhite(gray, 1);
    a->name = NSString::stringWithUTF8String(name);
    a->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    return a;
}

Ref<QXSplitSubview> pane(const char* name, double gray, NSSize size, double minimum)
{
    auto p = static_ref_cast<QXSplitSubview>(
        NSObject::alloc<QXSplitSubview>()->initWithFrame(NSMakeRect(0, 0, size.width, size.height)));
    p->setIdentifier(NSString::stringWithUTF8String(name));
    p->setMinDimension(minimum, 0);
    p->addSubview(area(name, gray, p->bounds()));
    return p;
}

// A six-point divider: a soft bar with a dimple in the middle.
Ref<NSImage> dividerImage()
{
    auto image = NSImage::initWithSize(NSMakeSize(6, 6));
    image->lockFocus();
    NSColor::colorWithCalibratedWhite(0.78, 1)->set();
    NSRectFill(NSMakeRect(0, 0, 6, 6));
    NSColor::colorWithCalibratedWhite(0.55, 1)->set();
    NSBezierPath::bezierPathWithOvalInRect(NSMakeRect(1.5, 1.5, 3, 3))->fill();
    image->unlockFocus();
    return image;
}

Ref<NSView> makeSplitViews(NSRect bounds)
{
    auto root = NSObject::alloc<NSView>()->initWithFrame(bounds);
    auto outer = static_ref_cast<QXSplitView>(NSObject::alloc<QXSplitView>()->initWithFrame(bounds));
    outer->setVertical(true);
    outer->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    outer->setDivider(dividerImage());
    outer->setDividerThickness(6);
    outer->setBackground(NSColor::colorWithCalibratedWhite(0.9, 1));

    // The first pane carries a bar with the resize grip at its right end.
    auto sources = pane("Sources", 0.96, NSMakeSize(170, bounds.size.height), 120);
    sources->setCanCollapse(true);
    auto bottomBar = area("", 0.86, NSMakeRect(0, 0, 170, 22));
    bottomBar->setAutoresizingMask(NSViewWidthSizable | NSViewMaxYMargin);
    sources->addSubview(bottomBar);
    auto grip = static_ref_cast<ZAKSplitSubviewResizeButton>(
        NSObject::alloc<ZAKSplitSubviewResizeButton>()->initWithFrame(NSMakeRect(148, 0, 22, 22)));
    grip->setTitle(""_ns);
    grip->setAutoresizingMask(NSViewMinXMargin | NSViewMaxYMargin);
    bottomBar->addSubview(grip);

    auto middle = static_ref_cast<QXSplitView>(
        NSObject::alloc<QXSplitView>()->initWithFrame(NSMakeRect(0, 0, 300, bounds.size.height)));
    middle->setIdentifier("Messages and preview"_ns);
    middle->addSubview(pane("Messages", 1.0, NSMakeSize(300, 150), 60));
    middle->addSubview(pane("Preview", 0.93, NSMakeSize(300, 244), 60));
    auto inspector = pane("Inspector", 0.96, NSMakeSize(158, bounds.size.height), 100);
    inspector->setCanCollapse(true);

    outer->addSubview(sources);
    outer->addSubview(middle);
    outer->addSubview(inspector);
    middle->setCoupled(true);
    outer->adjustSubviews();
    grip->awakeFromNib();
    root->addSubview(outer);
    outer->setAutosaveName("Gallery"_ns, true);
    outer->restoreState(true);
    return root;
}

}  // namespace

GALLERY_PAGE(splitViews, {"split-views", "Split views", {640, 400}, makeSplitViews});
