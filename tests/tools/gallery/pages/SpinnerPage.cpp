// The spinning progress indicator: spinning fins at several sizes and
// colours, one stopped, one on a background, and determinate pies.
#include "AppKit/NSColor.h"
#include "GalleryPage.h"
#include "SPISpinningProgressIndicator/SPISpinningProgressIndicator.h"

namespace {

Ref<SPISpinningProgressIndicator> spinner(const Ref<NSView>& root, NSRect frame)
{
    auto s = static_ref_cast<SPISpinningProgressIndicator>(
        NSObject::alloc<SPISpinningProgressIndicator>()->initWithFrame(frame));
    root->addSubview(s);
    return s;
}

Ref<NSView> makeSpinnerPage(NSRect bounds)
{
    auto root = NSObject::alloc<NSView>()->initWithFrame(bounds);
    spinner(root, NSMakeRect(20, 110, 16, 16))->startAnimation(nullptr);
    spinner(root, NSMakeRect(56, 102, 32, 32))->startAnimation(nullptr);
    auto blue = spinner(root, NSMakeRect(108, 86, 64, 64));
    blue->setColor(NSColor::colorWithCalibratedRed(0.1, 0.3, 0.8, 1));
    blue->startAnimation(nullptr);
    auto threaded = spinner(root, NSMakeRect(192, 86, 64, 64));
    threaded->setColor(NSColor::whiteColor());
    threaded->setBackgroundColor(NSColor::colorWithCalibratedWhite(0.2, 1));
    threaded->setDrawsBackground(true);
    threaded->setUsesThreadedAnimation(true);
    threaded->startAnimation(nullptr);
    spinner(root, NSMakeRect(276, 86, 64, 64));  // stopped: every fin faint

    double x = 20;
    for (double value : {0.0, 25.0, 60.0, 100.0}) {
        auto pie = spinner(root, NSMakeRect(x, 16, 48, 48));
        pie->setDoubleValue(value);
        x += 68;
    }
    return root;
}

}  // namespace

GALLERY_PAGE(spinner, {"spinner", "Spinning progress indicator", {360, 160}, makeSpinnerPage});
