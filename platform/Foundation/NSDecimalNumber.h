#pragma once
// Decimal numbers: a mantissa of up to 19 digits and a power of ten, so sums
// of values written in decimal ("0.1" + "0.2") stay exact. As an NSNumber it
// answers the nearest double.
#include "Foundation/NSNumber.h"

class NSDecimalNumber : public NSNumber {
    NS_OBJECT(NSDecimalNumber, NSNumber)
protected:
    NSDecimalNumber() = default;

public:
    static Ref<NSDecimalNumber> zero();
    static Ref<NSDecimalNumber> notANumber();
    // "[+-]digits[.digits][(e|E)[+-]digits]" with a period as the separator;
    // text without digits gives notANumber.
    static Ref<NSDecimalNumber> decimalNumberWithString(const Ref<NSString>& text);

    Ref<NSDecimalNumber> decimalNumberByAdding(const Ref<NSDecimalNumber>& other) const;
    bool isNotANumber() const { return m_nan; }

    // The exact decimal text ("0.3", "-12.5", "1000", "NaN").
    Ref<NSString> stringValue() const override;
    Id copy() const override { return const_cast<NSDecimalNumber*>(this); }

private:
    static Ref<NSDecimalNumber> make(bool negative, uint64_t mantissa, int exponent, bool nan = false);
    bool m_negative = false;
    uint64_t m_mantissa = 0;
    int m_exponent = 0;
    bool m_nan = false;
};
