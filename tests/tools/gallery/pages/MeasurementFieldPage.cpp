// Text fields that show lengths in the application's units and whole
// numbers as ordinals, as a page-setup panel would.
#include "AppKit/NSTextField.h"
#include "FormatKit/FMTOrdinalNumberFormatter.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKAppMeasurementNumberFormatter.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKApplicationMeasurementCenter.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementTextField.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementUnits.h"
#include "ZAKAppKit/ZAKNumberValues/ZAKNumberValueFormatter.h"

namespace {

void addLabel(const Ref<NSView>& parent, NSRect frame, const char* text)
{
    auto label = NSTextField::labelWithString(NSString::stringWithUTF8String(text));
    label->setFrame(frame);
    label->setAlignment(NSRightTextAlignment);
    parent->addSubview(label);
}

Ref<NSTextField> addField(const Ref<NSView>& parent, NSRect frame, const Ref<NSFormatter>& formatter, const Id& value)
{
    auto field = static_ref_cast<NSTextField>(NSObject::alloc<ZAKAppMeasurementTextField>()->initWithFrame(frame));
    field->setFormatter(formatter);
    field->setObjectValue(value);
    parent->addSubview(field);
    return field;
}

Ref<NSView> makeMeasurementFields(NSRect bounds)
{
    auto view = NSObject::alloc<NSView>()->initWithFrame(bounds);
    auto page = NSObject::make<ZAKAppMeasurementNumberFormatter>();
    page->setNumberOfDigitsAfterPoint(2);
    addLabel(view, NSMakeRect(10, 152, 110, 20), "Width:");
    addField(view, NSMakeRect(130, 150, 190, 22), page, NSNumber::numberWithDouble(595.2755737304688));
    addLabel(view, NSMakeRect(10, 117, 110, 20), "Height:");
    addField(view, NSMakeRect(130, 115, 190, 22), page, NSNumber::numberWithDouble(841.8897705078125));

    auto line = NSObject::make<ZAKAppMeasurementNumberFormatter>();
    line->setAppUnitType(ZAKAppUnitLine);
    line->setNumberOfDigitsAfterPoint(1);
    addLabel(view, NSMakeRect(10, 82, 110, 20), "Line width:");
    addField(view, NSMakeRect(130, 80, 190, 22), line, NSNumber::numberWithDouble(2.5));

    addLabel(view, NSMakeRect(10, 47, 110, 20), "Opacity:");
    auto percent = NSObject::make<ZAKNumberValueFormatter>();
    auto opacity = NSObject::alloc<NSTextField>()->initWithFrame(NSMakeRect(130, 45, 190, 22));
    static_ref_cast<NSTextField>(opacity)->setFormatter(percent);
    static_ref_cast<NSTextField>(opacity)->setObjectValue(NSNumber::numberWithDouble(85));
    view->addSubview(opacity);

    addLabel(view, NSMakeRect(10, 12, 110, 20), "Copy:");
    auto ordinal = NSObject::alloc<NSTextField>()->initWithFrame(NSMakeRect(130, 10, 190, 22));
    static_ref_cast<NSTextField>(ordinal)->setFormatter(NSObject::make<FMTOrdinalNumberFormatter>());
    static_ref_cast<NSTextField>(ordinal)->setObjectValue(NSNumber::numberWithInt(3));
    view->addSubview(ordinal);
    return view;
}

}  // namespace

GALLERY_PAGE(measurementField, {"measurement-field", "Measurement Fields", {340, 190}, makeMeasurementFields});
