#pragma once
// Text fields for lengths, meant to carry a measurement formatter. The
// application variant remembers a purpose of the measurement centre (page,
// font, line, text ruler), taken from its interface file (archive key
// "_calUnitType"; non-keyed, one "i" value) and 0 for a field made in code.
// It observes the centre's unit changes but refreshes nothing itself: the
// formatter it carries follows the unit.
#include "AppKit/NSTextField.h"

class NSNotification;

class ZAKMeasurementTextField : public NSTextField {
    NS_OBJECT(ZAKMeasurementTextField, NSTextField)
protected:
    ZAKMeasurementTextField() = default;

public:
};

class ZAKAppMeasurementTextField : public ZAKMeasurementTextField {
    NS_OBJECT(ZAKAppMeasurementTextField, ZAKMeasurementTextField)
protected:
    ZAKAppMeasurementTextField() = default;

public:
    static void describeClass(NSClassMembers<ZAKAppMeasurementTextField>& m);

    Ref<NSView> initWithFrame(const NSRect& frame) override;
    Id initWithCoder(NSCoder* coder) override;
    void encodeWithCoder(NSCoder* coder) const override;

    NSInteger calUnitType() const { return m_calUnitType; }
    // Keeps the decoded purpose: the field's purpose comes from its interface file.
    void setCalUnitType(NSInteger) { }
    void handleZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification(const Ref<NSNotification>& notification);

private:
    void observeUnitChanges();

    NSInteger m_calUnitType = 0;
};
