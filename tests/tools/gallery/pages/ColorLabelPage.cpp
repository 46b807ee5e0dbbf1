// The colour-label picker, enabled with a label chosen, showing a mixed
// selection, and disabled; beside them a rating level indicator.
#include "AppKit/NSLevelIndicator.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSNumber.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKColorLabelWidget/ZAKColorLabelWidget.h"

namespace {

Ref<NSView> makeColorLabel(NSRect bounds)
{
    auto view = NSObject::alloc<NSView>()->initWithFrame(bounds);
    const CGFloat top = bounds.size.height - 40;
    auto row = [&](int index, const char* title, const std::function<void(const Ref<ZAKColorLabelWidget>&)>& setUp) {
        const CGFloat y = top - index * 34;
        auto label = NSTextField::labelWithString(NSString::stringWithUTF8String(title));
        label->setFrame(NSMakeRect(16, y, 110, 18));
        view->addSubview(label);
        auto widget = NSObject::alloc<ZAKColorLabelWidget>();
        widget->initWithFrame(NSMakeRect(130, y + 1, 128, 16));
        setUp(widget);
        view->addSubview(widget);
    };
    row(0, "Label:", [](const auto& w) { w->setColorLabelType(3); });
    row(1, "Mixed:", [](const auto& w) {
        w->setObjectValue(NSArray::arrayWithObjects({NSNumber::numberWithInteger(2), NSNumber::numberWithInteger(5)}));
    });
    row(2, "Disabled:", [](const auto& w) {
        w->setColorLabelType(6);
        w->setEnabled(false);
    });
    auto ratingLabel = NSTextField::labelWithString("Rating:"_ns);
    ratingLabel->setFrame(NSMakeRect(16, top - 3 * 34, 110, 18));
    view->addSubview(ratingLabel);
    auto rating = NSObject::alloc<NSLevelIndicator>();
    rating->initWithFrame(NSMakeRect(130, top - 3 * 34 + 2, 65, 13));
    rating->setLevelIndicatorStyle(NSRatingLevelIndicatorStyle);
    rating->setMaxValue(5);
    rating->setIntegerValue(3);
    rating->cell()->setEditable(true);
    view->addSubview(rating);
    return view;
}

}  // namespace

GALLERY_PAGE(colorLabel, {"color-label", "Colour Labels", {290, 170}, makeColorLabel});
