// The framework's boxes and background views: container boxes with and
// without a gradient and some edges, rounded boxes with a tab, a full title
// bar and selected, a blended background view, and a centring clip view
// holding a small document.
#include "AppKit/NSGraphics.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKCenteringClipView/ZAKCenteringClipView.h"
#include "ZAKAppKit/ZAKColorBackgroundView/ZAKColorBackgroundView.h"
#include "ZAKAppKit/ZAKContainerBox/ZAKContainerBox.h"
#include "ZAKAppKit/ZAKRoundedBox/ZAKRoundedBox.h"

namespace {

Ref<NSView> makePage(NSRect bounds)
{
    auto view = NSObject::alloc<NSView>()->initWithFrame(bounds);

    auto plain = dynamic_ref_cast<ZAKContainerBox>(
        NSObject::alloc<ZAKContainerBox>()->initWithFrame(NSMakeRect(20, 190, 150, 90)));
    view->addSubview(plain);
    auto gradient = dynamic_ref_cast<ZAKContainerBox>(
        NSObject::alloc<ZAKContainerBox>()->initWithFrame(NSMakeRect(190, 190, 150, 90)));
    gradient->setHasGradient(true);
    gradient->setHasBottomLine(false);
    gradient->setTopLineWidth(3);
    gradient->setLeftLineWidth(2);
    gradient->setRightLineWidth(2);
    view->addSubview(gradient);

    auto blended = dynamic_ref_cast<ZAKColorBackgroundView>(
        NSObject::alloc<ZAKColorBackgroundView>()->initWithFrame(NSMakeRect(360, 190, 150, 90)));
    blended->setBackgroundColor(NSColor::colorWithCalibratedRed(0.35, 0.55, 0.85, 1));
    blended->setBlended(1);
    view->addSubview(blended);

    struct Rounded {
        NSRect frame;
        const char* title;
        bool fullBar;
        bool selected;
    };
    for (const Rounded& r : {Rounded{NSMakeRect(20, 20, 150, 150), "General", false, false},
                             Rounded{NSMakeRect(190, 20, 150, 150), "Full Title Bar", true, false},
                             Rounded{NSMakeRect(360, 20, 150, 150), "Selected", false, true}}) {
        auto box = dynamic_ref_cast<ZAKRoundedBox>(NSObject::alloc<ZAKRoundedBox>()->initWithFrame(r.frame));
        box->setTitle(NSString::stringWithUTF8String(r.title));
        box->setDrawsFullTitleBar(r.fullBar);
        box->setSelected(r.selected);
        view->addSubview(box);
    }

    // A small document kept in the middle of a larger clip view.
    auto clip = dynamic_ref_cast<ZAKCenteringClipView>(
        NSObject::alloc<ZAKCenteringClipView>()->initWithFrame(NSMakeRect(530, 20, 150, 260)));
    clip->setBackgroundColor(NSColor::colorWithCalibratedWhite(0.75, 1));
    clip->setDrawsBackground(true);
    auto document = dynamic_ref_cast<ZAKColorBackgroundView>(
        NSObject::alloc<ZAKColorBackgroundView>()->initWithFrame(NSMakeRect(0, 0, 80, 80)));
    document->setBackgroundColor(NSColor::whiteColor());
    clip->setDocumentView(document);
    view->addSubview(clip);
    return view;
}

}  // namespace

GALLERY_PAGE(boxes, {"boxes", "Boxes", {700, 300}, makePage});
