#pragma once
// Writes a quantity of information as a number and a unit ("1.5 KB",
// "3 MiB", "8 bits"): the quantity is scaled by powers of 1024 or 1000 and
// named with decimal (SI) or binary (IEC) prefixes, in bytes or in bits.
// Prefix indexes 0 to 5 are kilo to exa; an index outside them scales by 1.
// Reading text back is not offered.
//
// Keyed archive (after the formatter's keys): "displaysInTermsOfBytes",
// "usesIECBinaryPrefixesForCalculation", "usesIECBinaryPrefixesForDisplay",
// "numberFormatter".
#include "Foundation/NSNumberFormatter.h"

// Units of stringFromNumber:ofUnit: and their size in bits; other codes count
// as 0 bits.
enum FMTUnitOfInformation : int32_t {
    FMTBit = 0,
    FMTNibble = 1,
    FMTByte = 2,
    FMTWord = 3,
    FMTDoubleWord = 4,
};

class FMTUnitOfInformationFormatter : public NSFormatter {
    NS_OBJECT(FMTUnitOfInformationFormatter, NSFormatter)
protected:
    FMTUnitOfInformationFormatter() = default;

public:
    Id init() override;

    // Decimal style, rounded to hundredths.
    Ref<NSNumberFormatter> numberFormatter() const { return m_numberFormatter; }
    bool displaysInTermsOfBytes() const { return m_displaysInTermsOfBytes; }
    void setDisplaysInTermsOfBytes(bool flag) { m_displaysInTermsOfBytes = flag; }
    bool usesIECBinaryPrefixesForCalculation() const { return m_usesIECBinaryPrefixesForCalculation; }
    void setUsesIECBinaryPrefixesForCalculation(bool flag) { m_usesIECBinaryPrefixesForCalculation = flag; }
    bool usesIECBinaryPrefixesForDisplay() const { return m_usesIECBinaryPrefixesForDisplay; }
    void setUsesIECBinaryPrefixesForDisplay(bool flag) { m_usesIECBinaryPrefixesForDisplay = flag; }

    Ref<NSString> stringFromNumberOfBits(const Ref<NSNumber>& bits);
    Ref<NSString> stringFromNumber(const Ref<NSNumber>& number, int32_t unit);
    Ref<NSString> stringFromNumber(const Ref<NSNumber>& number, int32_t unit, NSInteger prefix);
    double scaleFactorForPrefix(NSInteger prefix) const;
    NSInteger prefixForInteger(uint64_t value) const;

    Ref<NSString> stringForObjectValue(const Id& object) override;
    bool getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copySettingsFrom(const NSFormatter& other) override;

private:
    // The prefix of a (possibly fractional, huge or NaN) quantity, as
    // prefixForInteger gives it for the quantity's whole part.
    NSInteger prefixForQuantity(double value) const;
    Ref<NSString> stringFromBits(double bits);

    Ref<NSNumberFormatter> m_numberFormatter;
    bool m_displaysInTermsOfBytes = true;
    bool m_usesIECBinaryPrefixesForCalculation = true;
    bool m_usesIECBinaryPrefixesForDisplay = false;
};
