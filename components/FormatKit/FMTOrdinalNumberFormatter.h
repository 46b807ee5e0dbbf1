#pragma once
// Writes whole numbers as ordinals ("1st", "2e", "1re", "第3") with the
// indicator of the locale's language, by grammatical gender and number where
// the language has them, and reads an ordinal back as its integer. Each
// stringFromNumber sets the formatter's positive prefix and suffix, so one
// formatter is not to be shared between threads.
//
// Keyed archive (after the number formatter's keys): "ordinalIndicator",
// "grammaticalGender", "grammaticalNumber".
#include "Foundation/NSNumberFormatter.h"

enum FMTGrammaticalGender : int32_t { FMTMasculineGender = 1, FMTFeminineGender = 2 };

class FMTOrdinalNumberFormatter : public NSNumberFormatter {
    NS_OBJECT(FMTOrdinalNumberFormatter, NSNumberFormatter)
protected:
    FMTOrdinalNumberFormatter() = default;

public:
    // No style, no floats, rounding down (floor), minimum 0, lenient.
    Id init() override;

    // When set, used for every number in place of the language's rules.
    Ref<NSString> ordinalIndicator() const { return m_ordinalIndicator; }
    void setOrdinalIndicator(const Ref<NSString>& indicator) { m_ordinalIndicator = indicator; }
    int32_t grammaticalGender() const { return m_grammaticalGender; }
    void setGrammaticalGender(int32_t gender) { m_grammaticalGender = gender; }
    // 2, 3, 4 and 6 ask for a plural indicator where the language has one.
    int32_t grammaticalNumber() const { return m_grammaticalNumber; }
    void setGrammaticalNumber(int32_t number) { m_grammaticalNumber = number; }

    Ref<NSString> stringFromNumber(const Ref<NSNumber>& number) override;
    Ref<NSString> stringForObjectValue(const Id& object) override;
    // An integer scanned from the start of the string ("21st" reads 21).
    bool getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error) override;

    // The indicator by the locale's language ("." for languages without a rule).
    Ref<NSString> localizedOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number);
    Ref<NSString> enOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const;
    Ref<NSString> frOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const;
    Ref<NSString> nlOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const;
    Ref<NSString> itOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const;
    Ref<NSString> ptOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const;
    Ref<NSString> esOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const;
    Ref<NSString> gaOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const;
    Ref<NSString> jaOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const;
    Ref<NSString> zhHansOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const;
    Ref<NSString> deOrdinalIndicatorStringFromNumber(const Ref<NSNumber>& number) const;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copySettingsFrom(const NSFormatter& other) override;

private:
    // The language code of the formatter's locale, kept per locale.
    const std::u16string& languageCode();
    // The masculine, feminine or plain indicator of Italian, Portuguese and Spanish.
    Ref<NSString> genderedIndicator() const;

    Ref<NSString> m_ordinalIndicator;
    int32_t m_grammaticalGender = 0;
    int32_t m_grammaticalNumber = 0;
    Ref<NSLocale> m_languageLocale;
    std::u16string m_languageCode;
};
