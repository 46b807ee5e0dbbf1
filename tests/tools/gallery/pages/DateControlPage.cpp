// The small date control: the fields in the system's order with its
// separator, each with its stepper beside it, in the flat and the bevelled
// look; the first one with a field taken up for editing.
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSStepper.h"
#include "AppKit/NSTextField.h"
#include "DCSmallDateControl/DCSmallDateControl.h"
#include "GalleryPage.h"

namespace {

Ref<DCSmallDateControl> dateControl(const Ref<NSView>& root, NSPoint origin, NSInteger appearance, NSInteger y,
                                    NSInteger m, NSInteger d)
{
    auto c = static_ref_cast<DCSmallDateControl>(
        NSObject::alloc<DCSmallDateControl>()->initWithFrame(NSMakeRect(origin.x, origin.y, 10, 10)));
    c->setAppearance(appearance);
    c->setYear(y);
    c->setMonth(m);
    c->setDay(d);
    c->updateCells();
    root->addSubview(c);
    auto stepper = static_ref_cast<NSStepper>(NSObject::alloc<NSStepper>()->initWithFrame(NSMakeRect(0, 0, 13, 22)));
    stepper->cell()->setControlSize(NSSmallControlSize);
    stepper->setTarget(c);
    stepper->setAction("handleStepperClick:");
    root->addSubview(stepper);
    c->setStepper(stepper);
    c->awakeFromNib();
    return c;
}

void label(const Ref<NSView>& root, NSRect frame, const char* text)
{
    auto l = static_ref_cast<NSTextField>(NSObject::alloc<NSTextField>()->initWithFrame(frame));
    l->setStringValue(NSString::stringWithUTF8String(text));
    l->setBezeled(false);
    l->setDrawsBackground(false);
    l->setEditable(false);
    l->setFontSize(11);
    root->addSubview(l);
}

Ref<NSView> makeDateControlPage(NSRect bounds)
{
    auto root = NSObject::alloc<NSView>()->initWithFrame(bounds);
    label(root, NSMakeRect(16, 84, 90, 18), "Flat:");
    dateControl(root, NSMakePoint(100, 80), DCSmallDateControl::Flat, 2004, 2, 29);
    label(root, NSMakeRect(16, 36, 90, 18), "Bevelled:");
    auto bevelled = dateControl(root, NSMakePoint(100, 32), DCSmallDateControl::Bevelled, 1999, 12, 31);
    bevelled->setSelected(2);
    return root;
}

}  // namespace

GALLERY_PAGE(dateControl,
             {"date-control", "Small date control", {260, 130}, makeDateControlPage, [](const Ref<NSWindow>& w) {
                  // Take the first control's day up, as a click would.
                  for (auto& v : w->contentView()->subviews())
                      if (auto c = dynamic_ref_cast<DCSmallDateControl>(v)) {
                          w->makeFirstResponder(c);
                          c->editCell(1);
                          break;
                      }
              }});
