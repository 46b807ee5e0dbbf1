// The platform's own controls, as every themed page is compared with them.
#include "AppKit/NSButton.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSColorWell.h"
#include "AppKit/NSPopUpButton.h"
#include "AppKit/NSSlider.h"
#include "AppKit/NSTextField.h"
#include "GalleryPage.h"

namespace {
template <typename T> Ref<T> place(const Ref<NSView>& parent, NSRect frame)
{
    auto view = NSObject::alloc<T>()->initWithFrame(frame);
    parent->addSubview(view);
    return static_ref_cast<T>(view);
}

Ref<NSButton> button(const Ref<NSView>& parent, NSRect frame, const char* title, NSButtonType type)
{
    auto b = place<NSButton>(parent, frame);
    b->setButtonType(type);
    if (type == NSMomentaryPushInButton) b->setBezelStyle(NSRoundedBezelStyle);
    b->setTitle(NSString::stringWithUTF8String(title));
    return b;
}

Ref<NSView> makeControls(NSRect bounds)
{
    auto view = NSObject::alloc<NSView>()->initWithFrame(bounds);
    button(view, NSMakeRect(20, 250, 110, 32), "Push", NSMomentaryPushInButton);
    button(view, NSMakeRect(140, 250, 110, 32), "Default", NSMomentaryPushInButton)->setKeyEquivalent("\r"_ns);
    button(view, NSMakeRect(20, 215, 150, 18), "Check box", NSSwitchButton)->setState(1);
    button(view, NSMakeRect(20, 190, 150, 18), "Radio button", NSRadioButton)->setState(1);
    auto field = place<NSTextField>(view, NSMakeRect(20, 150, 230, 22));
    field->setStringValue("Text field"_ns);
    auto popUp = place<NSPopUpButton>(view, NSMakeRect(20, 110, 160, 26));
    popUp->addItemsWithTitles(NSArray::arrayWithObjects({"First"_ns, "Second"_ns, "Third"_ns}));
    auto slider = place<NSSlider>(view, NSMakeRect(20, 75, 230, 22));
    slider->setDoubleValue(0.3);
    auto well = place<NSColorWell>(view, NSMakeRect(20, 25, 52, 30));
    well->setColor(NSColor::colorWithCalibratedRed(0.2, 0.4, 0.8, 1));
    return view;
}
}  // namespace

GALLERY_PAGE(controls, {"controls", "Controls", {280, 300}, makeControls});
