#pragma once
// A measurement formatter that shows lengths in the application's unit for
// one purpose (page, font, line, text ruler) of the measurement centre, and
// re-formats itself when that purpose's unit changes. A number container is
// shown as its number followed by a space and its info string.
//
// Only a formatter made with init follows the centre; one decoded from an
// interface file keeps the number formatter's archived settings.
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementNumberFormatter.h"

class NSNotification;

class ZAKAppMeasurementNumberFormatter : public ZAKMeasurementNumberFormatter {
    NS_OBJECT(ZAKAppMeasurementNumberFormatter, ZAKMeasurementNumberFormatter)
protected:
    ZAKAppMeasurementNumberFormatter() = default;

public:
    static void describeClass(NSClassMembers<ZAKAppMeasurementNumberFormatter>& m);

    // Observes the centre's unit changes and takes the page unit.
    Id init() override;

    int32_t appUnitType() const { return m_appUnitType; }
    // Takes the purpose's unit from the measurement centre and rebuilds the format.
    void setAppUnitType(int32_t purpose);
    void handleZAKApplicationMeasurementCenterZAKAppUnitDidChangedNotification(const Ref<NSNotification>& notification);

    Ref<NSString> stringForObjectValue(const Id& object) override;
    Ref<NSAttributedString> attributedStringForObjectValue(const Id& object,
                                                           const Ref<NSDictionary>& defaultAttributes) override;

protected:
    void copySettingsFrom(const NSFormatter& other) override;

private:
    int32_t m_appUnitType = 0;
};
