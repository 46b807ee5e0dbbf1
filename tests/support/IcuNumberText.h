#pragma once
// Number texts straight from ICU, for tests that compare a formatter with a
// DecimalFormat of the same settings made the way an ICU caller would.
#include <functional>
#include <memory>
#include <string>

#include <unicode/decimfmt.h>
#include <unicode/numfmt.h>

using IcuDecimalSetup = std::function<void(icu::DecimalFormat&)>;

inline std::string icuNumberText(const char* locale, UNumberFormatStyle style, const IcuDecimalSetup& setup,
                                 double value)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> made(icu::NumberFormat::createInstance(icu::Locale(locale), style, status));
    auto* format = dynamic_cast<icu::DecimalFormat*>(made.get());
    if (!format) return "<no ICU formatter>";
    if (setup) setup(*format);
    icu::UnicodeString text;
    format->format(value, text);
    std::string out;
    return text.toUTF8String(out);
}

// The decimal style rounded to hundredths.
inline std::string icuHundredths(const char* locale, double value)
{
    return icuNumberText(locale, UNUM_DECIMAL, [](icu::DecimalFormat& f) { f.setRoundingIncrement(0.01); }, value);
}

// The decimal style with at most two significant digits.
inline std::string icuTwoSignificant(const char* locale, double value)
{
    return icuNumberText(locale, UNUM_DECIMAL,
                         [](icu::DecimalFormat& f) {
                             f.setMaximumSignificantDigits(2);
                             f.setSignificantDigitsUsed(true);
                         },
                         value);
}
