#pragma once
// Writes a list as running text ("a, b, and c") with a delimiter, a
// separator and a conjunction before the last element, and can report where
// each element landed; splits such text back into its pieces.
//
// Keyed archive (after the formatter's keys): "arrayStyle", "delimiter",
// "separator", "conjunction", "abbreviatedConjunction",
// "usesAbbreviatedConjunction", "usesSerialDelimiter".
#include "Foundation/NSArray.h"
#include "Foundation/NSFormatter.h"

enum FMTArrayStyle : int32_t { FMTArraySentenceStyle = 0, FMTArrayPlainStyle = 1 };

class FMTArrayFormatter : public NSFormatter {
    NS_OBJECT(FMTArrayFormatter, NSFormatter)
protected:
    FMTArrayFormatter() = default;

public:
    // Sentence style; the localized ",", " ", "and" and "&"; serial delimiter.
    Id init() override;

    static Ref<NSString> localizedStringFromArray(const Ref<NSArray>& array, int32_t style);

    // 1 is a plain list without a conjunction; any other value a sentence.
    int32_t arrayStyle() const { return m_arrayStyle; }
    void setArrayStyle(int32_t style) { m_arrayStyle = style; }
    Ref<NSString> delimiter() const { return m_delimiter; }
    void setDelimiter(const Ref<NSString>& text) { m_delimiter = text; }
    Ref<NSString> separator() const { return m_separator; }
    void setSeparator(const Ref<NSString>& text) { m_separator = text; }
    Ref<NSString> conjunction() const { return m_conjunction; }
    void setConjunction(const Ref<NSString>& text) { m_conjunction = text; }
    Ref<NSString> abbreviatedConjunction() const { return m_abbreviatedConjunction; }
    void setAbbreviatedConjunction(const Ref<NSString>& text) { m_abbreviatedConjunction = text; }
    bool usesAbbreviatedConjunction() const { return m_usesAbbreviatedConjunction; }
    void setUsesAbbreviatedConjunction(bool flag) { m_usesAbbreviatedConjunction = flag; }
    // The delimiter also before the conjunction when there are three or more.
    bool usesSerialDelimiter() const { return m_usesSerialDelimiter; }
    void setUsesSerialDelimiter(bool flag) { m_usesSerialDelimiter = flag; }

    Ref<NSString> stringFromArray(const Ref<NSArray>& array);
    // With ranges, one range value per element written: where its text is.
    Ref<NSString> stringFromArray(const Ref<NSArray>& array, Ref<NSArray>* ranges);
    Ref<NSArray> arrayFromString(const Ref<NSString>& string);

    Ref<NSString> stringForObjectValue(const Id& object) override;
    // Splits at the delimiter and at the conjunction of the last piece; the
    // separators stay in the pieces.
    bool getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copySettingsFrom(const NSFormatter& other) override;

private:
    int32_t m_arrayStyle = 0;
    Ref<NSString> m_delimiter;
    Ref<NSString> m_separator;
    Ref<NSString> m_conjunction;
    Ref<NSString> m_abbreviatedConjunction;
    bool m_usesAbbreviatedConjunction = false;
    bool m_usesSerialDelimiter = true;
};
