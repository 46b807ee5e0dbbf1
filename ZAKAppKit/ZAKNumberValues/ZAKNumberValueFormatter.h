#pragma once
// A number formatter with a fixed count of decimals and an optional sign
// written after the number: none (0), percent (1), degree (2) or the third
// sign (any other value). The sign texts come from the string table
// "ZAKNumberTextField" of ZAKNumberTextField's bundle and are literal text:
// a percent sign never multiplies by 100.
//
// Keyed archive: "showType" and "numberOfDigitsAfterPoint" after the number
// formatter's keys. A non-keyed archive holds only the number formatter's
// part, so such a formatter decodes with sign 0 and 0 decimals.
#include "Foundation/NSNumberFormatter.h"

enum ZAKNumberValueSign : int32_t {
    ZAKNumberValueNoSign = 0,
    ZAKNumberValuePercentSign = 1,
    ZAKNumberValueDegreeSign = 2,
};

class ZAKNumberValueFormatter : public NSNumberFormatter {
    NS_OBJECT(ZAKNumberValueFormatter, NSNumberFormatter)
protected:
    ZAKNumberValueFormatter() = default;

public:
    // Percent sign, 2 decimals.
    Id init() override;

    uint32_t numberOfDigitsAfterPoint() const { return m_numberOfDigitsAfterPoint; }
    void setNumberOfDigitsAfterPoint(uint32_t digits);
    int32_t showNumberType() const { return m_showType; }
    void setShowNumberType(int32_t sign);
    // Sets "#0" with the decimals and the sign as the format, localized,
    // without thousands separators.
    void setNewFormatString();

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copySettingsFrom(const NSFormatter& other) override;

private:
    uint32_t m_numberOfDigitsAfterPoint = 0;
    int32_t m_showType = 0;
};
