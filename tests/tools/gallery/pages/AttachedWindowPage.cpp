// The attached window: a panel with an arrow pointing at a spot of the
// page's window (a small marker), holding a label.
#include "AWAttachedWindow/AWAttachedWindow.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"

namespace {

const NSPoint kSpot = NSMakePoint(160, 190);

// The page's background with a marker at the spot the arrow points at.
class AttachedWindowPageView : public NSView {
    NS_OBJECT(AttachedWindowPageView, NSView)
public:
    AttachedWindowPageView() = default;
    Ref<AWAttachedWindow> attached;
    void drawRect(const NSRect& r) override
    {
        NSColor::colorWithCalibratedWhite(0.93, 1)->set();
        NSRectFill(r);
        NSColor::colorWithCalibratedRed(0.85, 0.2, 0.2, 1)->set();
        NSRectFill(NSMakeRect(kSpot.x - 4, kSpot.y, 8, 8));
    }
};
NS_CLASS_DEFINE(AttachedWindowPageView)

Ref<NSView> makeAttachedWindowPage(NSRect bounds)
{
    return NSObject::alloc<AttachedWindowPageView>()->initWithFrame(bounds);
}

void attach(const Ref<NSWindow>& window)
{
    auto page = dynamic_ref_cast<AttachedWindowPageView>(window->contentView());
    if (!page) return;
    auto label = static_ref_cast<NSTextField>(NSObject::alloc<NSTextField>()->initWithFrame(NSMakeRect(0, 0, 170, 40)));
    label->setStringValue("Points at the marker"_ns);
    label->setBezeled(false);
    label->setDrawsBackground(false);
    label->setEditable(false);
    page->attached = NSObject::alloc<AWAttachedWindow>()->initWithView(label, kSpot, window, AWPositionBottom, 2);
    page->attached->setBackgroundColor(NSColor::colorWithCalibratedRed(1.0, 0.98, 0.86, 1));
    page->attached->setBorderColor(NSColor::colorWithCalibratedWhite(0.35, 1));
    page->attached->orderFront(nullptr);
}

}  // namespace

GALLERY_PAGE(attachedWindow, {"attached-window", "Attached window", {320, 220}, makeAttachedWindowPage, attach});
