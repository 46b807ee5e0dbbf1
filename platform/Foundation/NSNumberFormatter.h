#pragma once
// Number formatting and parsing over one icu::DecimalFormat per formatter,
// rebuilt only when a setting that ICU holds changes. The prefixes and
// suffixes are kept here and put around ICU's digits, so changing them (an
// ordinal suffix per value) costs no rebuild.
//
// Settings follow the platform's rules: a number style gives the locale's
// pattern and resets the digit settings; the later setters refine it.
// setFormat reads the older "#,##0.00" format: "#", "0", ",", "." (and "@"
// for significant digits) make up the number and every other character is
// literal text, so "#0.00%" shows a percent sign without multiplying by 100.
// positiveFormat and negativeFormat are ICU patterns. With localizesFormat
// NO, "." and "," always print as a period and a comma.
//
// Parsing must use the whole string; an unparsable text, a fraction when
// floats are not allowed, or a value outside minimum/maximum is refused with
// a description. Values parse to NSNumber (an integer when the text is a
// whole number) or, with generatesDecimalNumbers, NSDecimalNumber.
//
// Archives: keyed, one key per setting that was set ("NSNumberStyle",
// "NSPositiveFormat"...; docs/INTERFACE_FILES.md); non-keyed, one dictionary
// of the same keys. The formatter is safe to use from several threads.
#include <memory>
#include <mutex>
#include <optional>

#include "Foundation/NSFormatter.h"
#include "Foundation/NSLocale.h"
#include "Foundation/NSNumber.h"

class NSMutableDictionary;

enum NSNumberFormatterStyle : NSUInteger {
    NSNumberFormatterNoStyle = 0,
    NSNumberFormatterDecimalStyle = 1,
    NSNumberFormatterCurrencyStyle = 2,
    NSNumberFormatterPercentStyle = 3,
    NSNumberFormatterScientificStyle = 4,
};

enum NSNumberFormatterBehavior : NSUInteger {
    NSNumberFormatterBehaviorDefault = 0,
    NSNumberFormatterBehavior10_0 = 1000,
    NSNumberFormatterBehavior10_4 = 1040,
};

enum NSNumberFormatterRoundingMode : NSUInteger {
    NSNumberFormatterRoundCeiling = 0,
    NSNumberFormatterRoundFloor = 1,
    NSNumberFormatterRoundDown = 2,
    NSNumberFormatterRoundUp = 3,
    NSNumberFormatterRoundHalfEven = 4,
    NSNumberFormatterRoundHalfDown = 5,
    NSNumberFormatterRoundHalfUp = 6,
};

class NSNumberFormatter : public NSFormatter {
    NS_OBJECT(NSNumberFormatter, NSFormatter)
protected:
    NSNumberFormatter();

public:
    ~NSNumberFormatter() override;

    static Ref<NSString> localizedStringFromNumber(const Ref<NSNumber>& number, NSNumberFormatterStyle style);

    // --- Formatting and parsing ---
    virtual Ref<NSString> stringFromNumber(const Ref<NSNumber>& number);
    Ref<NSNumber> numberFromString(const Ref<NSString>& string);
    // A number, or nil (the nil symbol); nil for objects of other classes.
    Ref<NSString> stringForObjectValue(const Id& object) override;
    bool getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error) override;

    // --- Style, behaviour and locale ---
    NSNumberFormatterStyle numberStyle() const;
    void setNumberStyle(NSNumberFormatterStyle style);
    NSNumberFormatterBehavior formatterBehavior() const;
    void setFormatterBehavior(NSNumberFormatterBehavior behavior);
    static void setDefaultFormatterBehavior(NSNumberFormatterBehavior behavior);
    // The current locale unless set.
    Ref<NSLocale> locale() const;
    void setLocale(const Ref<NSLocale>& locale);

    // --- Formats ---
    Ref<NSString> format() const;
    void setFormat(const Ref<NSString>& format);
    bool localizesFormat() const;
    void setLocalizesFormat(bool flag);
    Ref<NSString> positiveFormat() const;
    void setPositiveFormat(const Ref<NSString>& pattern);
    Ref<NSString> negativeFormat() const;
    void setNegativeFormat(const Ref<NSString>& pattern);

    // --- Affixes and symbols ---
    Ref<NSString> positivePrefix() const;
    void setPositivePrefix(const Ref<NSString>& text);
    Ref<NSString> positiveSuffix() const;
    void setPositiveSuffix(const Ref<NSString>& text);
    Ref<NSString> negativePrefix() const;
    void setNegativePrefix(const Ref<NSString>& text);
    Ref<NSString> negativeSuffix() const;
    void setNegativeSuffix(const Ref<NSString>& text);
    Ref<NSString> nilSymbol() const;
    void setNilSymbol(const Ref<NSString>& text);
    Ref<NSString> decimalSeparator() const;
    Ref<NSString> groupingSeparator() const;

    // --- Digits and rounding ---
    bool hasThousandSeparators() const;
    void setHasThousandSeparators(bool flag);
    bool usesGroupingSeparator() const { return hasThousandSeparators(); }
    void setUsesGroupingSeparator(bool flag) { setHasThousandSeparators(flag); }
    NSUInteger minimumIntegerDigits() const;
    void setMinimumIntegerDigits(NSUInteger n);
    NSUInteger maximumIntegerDigits() const;
    void setMaximumIntegerDigits(NSUInteger n);
    NSUInteger minimumFractionDigits() const;
    void setMinimumFractionDigits(NSUInteger n);
    NSUInteger maximumFractionDigits() const;
    void setMaximumFractionDigits(NSUInteger n);
    bool usesSignificantDigits() const;
    void setUsesSignificantDigits(bool flag);
    NSUInteger minimumSignificantDigits() const;
    void setMinimumSignificantDigits(NSUInteger n);
    NSUInteger maximumSignificantDigits() const;
    void setMaximumSignificantDigits(NSUInteger n);
    // Values are rounded to a multiple of the increment (nil or 0: none). A
    // float increment counts as its shortest decimal, so 0.01f rounds to
    // hundredths rather than to multiples of 0.00999999977648258.
    Ref<NSNumber> roundingIncrement() const;
    void setRoundingIncrement(const Ref<NSNumber>& increment);
    NSNumberFormatterRoundingMode roundingMode() const;
    void setRoundingMode(NSNumberFormatterRoundingMode mode);

    // --- Parsing ---
    Ref<NSNumber> minimum() const;
    void setMinimum(const Ref<NSNumber>& value);
    Ref<NSNumber> maximum() const;
    void setMaximum(const Ref<NSNumber>& value);
    bool allowsFloats() const;
    void setAllowsFloats(bool flag);
    bool generatesDecimalNumbers() const;
    void setGeneratesDecimalNumbers(bool flag);
    bool isLenient() const;
    void setLenient(bool flag);

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copySettingsFrom(const NSFormatter& other) override;

private:
    struct Settings;
    struct Engine;
    // What ICU is built from; a change marks the engine stale.
    template <class F> void change(F&& edit);
    Ref<NSString> affix(int which) const;
    void setAffix(int which, const Ref<NSString>& text);
    // Builds the engine when stale; call with m_lock held.
    Engine& engine() const;
    Ref<NSMutableDictionary> settingsDictionary() const;
    void applySettingsDictionary(const Ref<class NSDictionary>& values);

    mutable std::mutex m_lock;
    std::unique_ptr<Settings> m_settings;
    mutable std::unique_ptr<Engine> m_engine;
};
