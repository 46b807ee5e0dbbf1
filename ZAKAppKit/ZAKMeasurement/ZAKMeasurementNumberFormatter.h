#pragma once
// Shows a length stored in points in a chosen unit, with the unit's
// abbreviation after the number ("25.40 mm"), and reads a typed length back
// into points. A unit typed by the user wins over the shown one ("1 in" in a
// centimetre field is 72 points); entry never fails: text without digits
// reads as 0.
//
// Nothing of its own is archived: decoded from an interface file it keeps
// the number formatter's archived settings, with unit 0 and 0 decimals.
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSNumberFormatter.h"

class ZAKMeasurementNumberFormatter : public NSNumberFormatter {
    NS_OBJECT(ZAKMeasurementNumberFormatter, NSNumberFormatter)
protected:
    ZAKMeasurementNumberFormatter() = default;

public:
    // Inches with 4 decimals, decimal style, 10.4 behaviour.
    Id init() override;

    NSInteger showType() const { return m_showType; }
    void setShowType(NSInteger unit);
    uint32_t numberOfDigitsAfterPoint() const { return m_numberOfDigitsAfterPoint; }
    void setNumberOfDigitsAfterPoint(uint32_t digits);
    // The format "#0", the decimals, the separator of the string table
    // "ZAKMeasurementTextField" and the unit's abbreviation; localized,
    // without thousands separators.
    void setNewFormatString();

    // nil gives the empty string; a non-zero number or numeric string is
    // shown in the unit; zero and other objects go to the number formatter.
    Ref<NSString> stringForObjectValue(const Id& object) override;
    // Always succeeds: the empty string gives nil, anything else a number of
    // points.
    bool getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error) override;
    // Plain strings only.
    Ref<NSAttributedString> attributedStringForObjectValue(const Id& object,
                                                           const Ref<NSDictionary>& defaultAttributes) override;

    Id initWithCoder(NSCoder* coder) override;

protected:
    void copySettingsFrom(const NSFormatter& other) override;

private:
    // Reads the number and a typed unit from text the number formatter refused.
    float pointsFromTypedString(const Ref<NSString>& string) const;

    NSInteger m_showType = 0;
    uint32_t m_numberOfDigitsAfterPoint = 0;
};
