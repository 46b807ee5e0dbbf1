#pragma once
// A number field whose formatter shows a fixed number of decimals and an
// optional unit after the number: a percent sign (type 1), a degree sign
// (type 2) or the third unit (any other type but 0), read from the
// "ZAKNumberTextField" string table, which the number value formatter
// shares. The unit is literal text: 0.5 shows as "0.5000%", not 50.
//
// Keyed archives add "showType" and "numberOfDigitsAfterPoint" after the
// field's keys; a sequential archive leaves both 0.
#include "AppKit/NSTextField.h"
#include "Foundation/NSNumber.h"

class ZAKNumberTextField : public NSTextField {
    NS_OBJECT(ZAKNumberTextField, NSTextField)
protected:
    ZAKNumberTextField() = default;

public:
    static constexpr uint32_t kMaximumDigitsAfterPoint = 20;

    // A localizing number formatter, percent, four decimals, value 0.
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    int32_t showNumberType() const { return m_showType; }
    void setShowNumberType(int32_t type);
    uint32_t numberOfDigitsAfterPoint() const { return m_numberOfDigitsAfterPoint; }
    // At most 20 decimals: more are taken as 20.
    void setNumberOfDigitsAfterPoint(uint32_t digits);

    // The formatter's limits (nil without a number formatter).
    Ref<NSNumber> minimum() const;
    void setMinimum(const Ref<NSNumber>& minimum);
    Ref<NSNumber> maximum() const;
    void setMaximum(const Ref<NSNumber>& maximum);

    // Rebuilds the formatter's format from the decimals and the unit; does
    // nothing without a number formatter on the cell.
    void setNewFormatString();
    // The unit's text for a type ("" for type 0).
    static Ref<NSString> unitForType(int32_t type);

    // The class interface-builder tools show for the field.
    Ref<NSString> inspectorClassName() const { return "ZAKNumberTextFieldInspector"_ns; }

private:
    int32_t m_showType = 0;
    uint32_t m_numberOfDigitsAfterPoint = 0;
};
