#include "Foundation/NSNumberFormatter.h"

#include <cmath>

#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/fmtable.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/parsepos.h>

#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSDecimalNumber.h"
#include "Foundation/NSDictionary.h"

NS_CLASS_DEFINE(NSNumberFormatter)

namespace {

enum Affix { PositivePrefix, PositiveSuffix, NegativePrefix, NegativeSuffix, AffixCount };

std::atomic<NSNumberFormatterBehavior> g_defaultBehavior{NSNumberFormatterBehavior10_4};

icu::UnicodeString icuText(const Ref<NSString>& s)
{
    if (!s) return {};
    NSStringChars chars(*s);
    return icu::UnicodeString(chars.view().data(), int32_t(chars.size()));
}

std::u16string utf16Of(const Ref<NSString>& s) { return s ? std::u16string(NSStringChars(*s).view()) : u""; }

std::u16string utf16Of(const icu::UnicodeString& s) { return std::u16string(s.getBuffer(), size_t(s.length())); }

Ref<NSString> nsText(const std::u16string& s) { return NSString::stringWithUTF16(s); }

// One part of the older format ("#,##0.00 mm") as an ICU pattern: the run of
// number characters stays, the text around it becomes quoted literal text.
std::u16string patternFromFormatPart(std::u16string_view part)
{
    auto isNumberChar = [](char16_t c) {
        return c == u'#' || c == u'@' || c == u'.' || c == u',' || (c >= u'0' && c <= u'9');
    };
    auto isStart = [](char16_t c) { return c == u'#' || c == u'@' || (c >= u'0' && c <= u'9'); };
    size_t begin = 0;
    while (begin < part.size() && !isStart(part[begin])) ++begin;
    size_t end = begin;
    while (end < part.size() && isNumberChar(part[end])) ++end;
    auto quoted = [](std::u16string_view text) {
        if (text.empty()) return std::u16string();
        std::u16string out = u"'";
        for (char16_t c : text) {
            if (c == u'\'') out += u'\'';
            out += c;
        }
        return out + u"'";
    };
    std::u16string number(part.substr(begin, end - begin));
    if (number.empty()) number = u"#";
    return quoted(part.substr(0, begin)) + number + quoted(part.substr(end));
}

icu::DecimalFormat::ERoundingMode icuRounding(NSNumberFormatterRoundingMode mode)
{
    switch (mode) {
    case NSNumberFormatterRoundCeiling: return icu::DecimalFormat::kRoundCeiling;
    case NSNumberFormatterRoundFloor: return icu::DecimalFormat::kRoundFloor;
    case NSNumberFormatterRoundDown: return icu::DecimalFormat::kRoundDown;
    case NSNumberFormatterRoundUp: return icu::DecimalFormat::kRoundUp;
    case NSNumberFormatterRoundHalfDown: return icu::DecimalFormat::kRoundHalfDown;
    case NSNumberFormatterRoundHalfUp: return icu::DecimalFormat::kRoundHalfUp;
    default: return icu::DecimalFormat::kRoundHalfEven;
    }
}

// A float increment as the decimal it was written as (0.01f is 0.01).
double incrementValue(const Ref<NSNumber>& n)
{
    if (!n) return 0;
    if (n->kind() == NSNumber::Kind::Float) return NSParseDecimal(NSShortestDecimalText(n->doubleValue(), true));
    return n->doubleValue();
}

}  // namespace

struct NSNumberFormatter::Settings {
    NSNumberFormatterStyle style = NSNumberFormatterNoStyle;
    NSNumberFormatterBehavior behavior = g_defaultBehavior.load();
    Ref<NSLocale> locale;
    // The older format as set, and the ICU patterns (from it or set directly).
    Ref<NSString> format;
    std::optional<std::u16string> positivePattern;
    std::optional<std::u16string> negativePattern;
    bool localizesFormat = true;
    std::optional<std::u16string> affix[AffixCount];
    Ref<NSString> nilSymbol;
    std::optional<bool> grouping;
    std::optional<NSUInteger> minInteger, maxInteger, minFraction, maxFraction;
    std::optional<bool> usesSignificant;
    std::optional<NSUInteger> minSignificant, maxSignificant;
    Ref<NSNumber> roundingIncrement;
    NSNumberFormatterRoundingMode roundingMode = NSNumberFormatterRoundHalfEven;
    Ref<NSNumber> minimum, maximum;
    bool allowsFloats = true;
    bool generatesDecimalNumbers = false;
    bool lenient = false;

    // What a pattern decides; a new pattern or style clears them.
    void clearPatternOverrides()
    {
        for (auto& a : affix) a.reset();
        minInteger.reset();
        maxInteger.reset();
        minFraction.reset();
        maxFraction.reset();
        usesSignificant.reset();
        minSignificant.reset();
        maxSignificant.reset();
    }
};

struct NSNumberFormatter::Engine {
    // Formats the digits only: every affix is empty.
    std::unique_ptr<icu::DecimalFormat> core;
    // The same with the affixes, for parsing; made on first use.
    std::unique_ptr<icu::DecimalFormat> parser;
    Ref<NSLocale> locale;
    std::u16string patternAffix[AffixCount];
    std::u16string affix[AffixCount];
    bool stale = false;

    icu::DecimalFormat& parsing()
    {
        if (!parser) {
            parser.reset(core->clone());
            parser->setPositivePrefix(
                icu::UnicodeString(affix[PositivePrefix].data(), int32_t(affix[PositivePrefix].size())));
            parser->setPositiveSuffix(
                icu::UnicodeString(affix[PositiveSuffix].data(), int32_t(affix[PositiveSuffix].size())));
            parser->setNegativePrefix(
                icu::UnicodeString(affix[NegativePrefix].data(), int32_t(affix[NegativePrefix].size())));
            parser->setNegativeSuffix(
                icu::UnicodeString(affix[NegativeSuffix].data(), int32_t(affix[NegativeSuffix].size())));
        }
        return *parser;
    }
};

NSNumberFormatter::NSNumberFormatter()
    : m_settings(std::make_unique<Settings>())
{ }

NSNumberFormatter::~NSNumberFormatter() = default;

template <class F> void NSNumberFormatter::change(F&& edit)
{
    std::lock_guard lock(m_lock);
    edit(*m_settings);
    if (m_engine) m_engine->stale = true;
}

NSNumberFormatter::Engine& NSNumberFormatter::engine() const
{
    const Settings& s = *m_settings;
    Ref<NSLocale> locale = s.locale ? s.locale : NSLocale::currentLocale();
    if (m_engine && !m_engine->stale && m_engine->locale.get() == locale.get()) return *m_engine;

    auto fresh = std::make_unique<Engine>();
    fresh->locale = locale;
    const icu::Locale icuLocale(locale->icuLocaleID().c_str());
    UErrorCode status = U_ZERO_ERROR;
    if (s.positivePattern) {
        auto symbols = std::make_unique<icu::DecimalFormatSymbols>(icuLocale, status);
        if (!s.localizesFormat && U_SUCCESS(status)) {
            symbols->setSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol, u".");
            symbols->setSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol, u",");
            symbols->setSymbol(icu::DecimalFormatSymbols::kMonetarySeparatorSymbol, u".");
            symbols->setSymbol(icu::DecimalFormatSymbols::kMonetaryGroupingSeparatorSymbol, u",");
        }
        std::u16string pattern = *s.positivePattern;
        if (s.negativePattern) pattern += u";" + *s.negativePattern;
        if (U_SUCCESS(status))
            fresh->core = std::make_unique<icu::DecimalFormat>(
                icu::UnicodeString(pattern.data(), int32_t(pattern.size())), symbols.release(), status);
        if (U_FAILURE(status)) fresh->core.reset();
        status = U_ZERO_ERROR;
    }
    if (!fresh->core) {
        UNumberFormatStyle style = UNUM_DECIMAL;
        if (s.style == NSNumberFormatterCurrencyStyle) style = UNUM_CURRENCY;
        else if (s.style == NSNumberFormatterPercentStyle) style = UNUM_PERCENT;
        else if (s.style == NSNumberFormatterScientificStyle) style = UNUM_SCIENTIFIC;
        std::unique_ptr<icu::NumberFormat> made(icu::NumberFormat::createInstance(icuLocale, style, status));
        if (U_FAILURE(status) || !dynamic_cast<icu::DecimalFormat*>(made.get())) {
            status = U_ZERO_ERROR;
            made.reset(icu::NumberFormat::createInstance(icu::Locale::getRoot(), UNUM_DECIMAL, status));
        }
        fresh->core.reset(static_cast<icu::DecimalFormat*>(made.release()));
        if (s.style == NSNumberFormatterNoStyle && !s.positivePattern) {
            fresh->core->setGroupingUsed(false);
            fresh->core->setMaximumFractionDigits(0);
        }
    }
    icu::DecimalFormat& f = *fresh->core;
    if (s.grouping) f.setGroupingUsed(*s.grouping);
    if (s.minInteger) f.setMinimumIntegerDigits(int32_t(std::min<NSUInteger>(*s.minInteger, 999)));
    if (s.maxInteger) f.setMaximumIntegerDigits(int32_t(std::min<NSUInteger>(*s.maxInteger, 999)));
    if (s.minFraction) f.setMinimumFractionDigits(int32_t(std::min<NSUInteger>(*s.minFraction, 999)));
    if (s.maxFraction) f.setMaximumFractionDigits(int32_t(std::min<NSUInteger>(*s.maxFraction, 999)));
    if (s.usesSignificant) f.setSignificantDigitsUsed(*s.usesSignificant);
    if (s.minSignificant) f.setMinimumSignificantDigits(int32_t(std::clamp<NSUInteger>(*s.minSignificant, 1, 999)));
    if (s.maxSignificant) f.setMaximumSignificantDigits(int32_t(std::clamp<NSUInteger>(*s.maxSignificant, 1, 999)));
    const double increment = incrementValue(s.roundingIncrement);
    if (increment > 0 && std::isfinite(increment)) f.setRoundingIncrement(increment);
    f.setRoundingMode(icuRounding(s.roundingMode));
    f.setLenient(s.lenient);
    f.setParseIntegerOnly(!s.allowsFloats);

    icu::UnicodeString text;
    fresh->patternAffix[PositivePrefix] = utf16Of(f.getPositivePrefix(text));
    fresh->patternAffix[PositiveSuffix] = utf16Of(f.getPositiveSuffix(text));
    fresh->patternAffix[NegativePrefix] = utf16Of(f.getNegativePrefix(text));
    fresh->patternAffix[NegativeSuffix] = utf16Of(f.getNegativeSuffix(text));
    for (int i = 0; i < AffixCount; ++i) fresh->affix[i] = s.affix[i].value_or(fresh->patternAffix[i]);
    f.setPositivePrefix(icu::UnicodeString());
    f.setPositiveSuffix(icu::UnicodeString());
    f.setNegativePrefix(icu::UnicodeString());
    f.setNegativeSuffix(icu::UnicodeString());
    m_engine = std::move(fresh);
    return *m_engine;
}

// --- Formatting and parsing ---

Ref<NSString> NSNumberFormatter::localizedStringFromNumber(const Ref<NSNumber>& number, NSNumberFormatterStyle style)
{
    auto formatter = make<NSNumberFormatter>();
    formatter->setNumberStyle(style);
    return formatter->stringFromNumber(number);
}

Ref<NSString> NSNumberFormatter::stringFromNumber(const Ref<NSNumber>& number)
{
    if (!number) return nullptr;
    std::lock_guard lock(m_lock);
    Engine& e = engine();
    icu::UnicodeString digits;
    // ICU writes NaN with the positive affixes and -0 with the negative ones.
    bool negative = false;
    UErrorCode status = U_ZERO_ERROR;
    auto decimal = dynamic_ref_cast<NSDecimalNumber>(number);
    if (decimal && !decimal->isNotANumber()) {
        const std::string text = decimal->stringValue()->UTF8String();
        negative = !text.empty() && text[0] == '-';
        e.core->format(icu::StringPiece(text.c_str()), digits, nullptr, status);
    } else if (number->isFloatingPoint()) {
        const double v = number->doubleValue();
        negative = !std::isnan(v) && std::signbit(v);
        e.core->format(v, digits);
    } else if (number->kind() == NSNumber::Kind::Unsigned && number->unsignedIntegerValue() > uint64_t(INT64_MAX)) {
        const std::string text = std::to_string(number->unsignedIntegerValue());
        e.core->format(icu::StringPiece(text.c_str()), digits, nullptr, status);
    } else {
        const int64_t v = number->integerValue();
        negative = v < 0;
        e.core->format(v, digits);
    }
    if (U_FAILURE(status)) return nullptr;
    const std::u16string& prefix = e.affix[negative ? NegativePrefix : PositivePrefix];
    const std::u16string& suffix = e.affix[negative ? NegativeSuffix : PositiveSuffix];
    std::u16string out;
    out.reserve(prefix.size() + size_t(digits.length()) + suffix.size());
    out += prefix;
    out.append(digits.getBuffer(), size_t(digits.length()));
    out += suffix;
    return nsText(out);
}

Ref<NSNumber> NSNumberFormatter::numberFromString(const Ref<NSString>& string)
{
    Id value;
    if (!getObjectValue(&value, string, nullptr)) return nullptr;
    return dynamic_ref_cast<NSNumber>(value);
}

Ref<NSString> NSNumberFormatter::stringForObjectValue(const Id& object)
{
    if (!object) return nilSymbol();
    auto number = dynamic_ref_cast<NSNumber>(object);
    return number ? stringFromNumber(number) : nullptr;
}

bool NSNumberFormatter::getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error)
{
    auto fail = [&](const char* why) {
        if (object) *object = nullptr;
        if (error) *error = NSString::stringWithUTF8String(why);
        return false;
    };
    if (error) *error = nullptr;
    if (!string) return fail("Invalid number");
    if (string->length() == 0) {
        if (object) *object = nullptr;
        return true;
    }
    const icu::UnicodeString text = icuText(string);
    icu::Formattable result;
    Ref<NSNumber> minimum, maximum;
    bool decimal = false;
    {
        std::lock_guard lock(m_lock);
        icu::ParsePosition position(0);
        engine().parsing().parse(text, result, position);
        if (position.getIndex() != text.length() || position.getErrorIndex() >= 0) return fail("Invalid number");
        minimum = m_settings->minimum;
        maximum = m_settings->maximum;
        decimal = m_settings->generatesDecimalNumbers;
    }
    UErrorCode status = U_ZERO_ERROR;
    Ref<NSNumber> number;
    if (decimal) {
        icu::StringPiece digits = result.getDecimalNumber(status);
        if (U_FAILURE(status)) return fail("Invalid number");
        number = NSDecimalNumber::decimalNumberWithString(
            NSString::stringWithUTF8String(std::string_view(digits.data(), size_t(digits.size()))));
    } else if (result.getType() == icu::Formattable::kLong || result.getType() == icu::Formattable::kInt64) {
        number = NSNumber::numberWithInteger(result.getInt64(status));
    } else {
        number = NSNumber::numberWithDouble(result.getDouble(status));
    }
    if (!number || U_FAILURE(status)) return fail("Invalid number");
    if (minimum && number->compare(minimum) < 0) return fail("The number is less than the minimum");
    if (maximum && number->compare(maximum) > 0) return fail("The number is greater than the maximum");
    if (object) *object = number;
    return true;
}

// --- Style, behaviour and locale ---

NSNumberFormatterStyle NSNumberFormatter::numberStyle() const
{
    std::lock_guard lock(m_lock);
    return m_settings->style;
}

void NSNumberFormatter::setNumberStyle(NSNumberFormatterStyle style)
{
    change([&](Settings& s) {
        s.style = style;
        s.format = nullptr;
        s.positivePattern.reset();
        s.negativePattern.reset();
        s.grouping.reset();
        s.clearPatternOverrides();
    });
}

NSNumberFormatterBehavior NSNumberFormatter::formatterBehavior() const
{
    std::lock_guard lock(m_lock);
    return m_settings->behavior;
}

void NSNumberFormatter::setFormatterBehavior(NSNumberFormatterBehavior behavior)
{
    std::lock_guard lock(m_lock);
    m_settings->behavior = behavior == NSNumberFormatterBehaviorDefault ? g_defaultBehavior.load() : behavior;
}

void NSNumberFormatter::setDefaultFormatterBehavior(NSNumberFormatterBehavior behavior)
{
    g_defaultBehavior = behavior == NSNumberFormatterBehaviorDefault ? NSNumberFormatterBehavior10_4 : behavior;
}

Ref<NSLocale> NSNumberFormatter::locale() const
{
    std::lock_guard lock(m_lock);
    return m_settings->locale ? m_settings->locale : NSLocale::currentLocale();
}

void NSNumberFormatter::setLocale(const Ref<NSLocale>& locale)
{
    change([&](Settings& s) { s.locale = locale; });
}

// --- Formats ---

Ref<NSString> NSNumberFormatter::format() const
{
    std::lock_guard lock(m_lock);
    if (m_settings->format) return m_settings->format;
    Engine& e = engine();
    icu::DecimalFormat full(*e.core);
    full.setPositivePrefix(icu::UnicodeString(e.affix[PositivePrefix].data(), int32_t(e.affix[PositivePrefix].size())));
    full.setPositiveSuffix(icu::UnicodeString(e.affix[PositiveSuffix].data(), int32_t(e.affix[PositiveSuffix].size())));
    icu::UnicodeString pattern;
    full.toPattern(pattern);
    return nsText(utf16Of(pattern));
}

void NSNumberFormatter::setFormat(const Ref<NSString>& format)
{
    change([&](Settings& s) {
        s.clearPatternOverrides();
        s.format = format ? static_ref_cast<NSString>(format->copy()) : nullptr;
        s.positivePattern.reset();
        s.negativePattern.reset();
        if (!format) return;
        const std::u16string text = utf16Of(format);
        std::vector<std::u16string_view> parts;
        size_t start = 0;
        for (size_t semicolon; (semicolon = text.find(u';', start)) != std::u16string::npos; start = semicolon + 1)
            parts.push_back(std::u16string_view(text).substr(start, semicolon - start));
        parts.push_back(std::u16string_view(text).substr(start));
        // "positive;zero;negative": the zero part has no ICU counterpart.
        s.positivePattern = patternFromFormatPart(parts.front());
        if (parts.size() > 1) s.negativePattern = patternFromFormatPart(parts.back());
    });
}

bool NSNumberFormatter::localizesFormat() const
{
    std::lock_guard lock(m_lock);
    return m_settings->localizesFormat;
}

void NSNumberFormatter::setLocalizesFormat(bool flag)
{
    change([&](Settings& s) { s.localizesFormat = flag; });
}

namespace {

std::u16string corePositivePattern(const icu::DecimalFormat& core)
{
    icu::UnicodeString pattern;
    core.toPattern(pattern);
    const std::u16string text = utf16Of(pattern);
    return text.substr(0, text.find(u';'));
}

}  // namespace

Ref<NSString> NSNumberFormatter::positiveFormat() const
{
    std::lock_guard lock(m_lock);
    if (m_settings->positivePattern) return nsText(*m_settings->positivePattern);
    return nsText(corePositivePattern(*engine().core));
}

void NSNumberFormatter::setPositiveFormat(const Ref<NSString>& pattern)
{
    change([&](Settings& s) {
        s.clearPatternOverrides();
        s.format = nullptr;
        if (pattern) s.positivePattern = utf16Of(pattern);
        else s.positivePattern.reset();
    });
}

Ref<NSString> NSNumberFormatter::negativeFormat() const
{
    std::lock_guard lock(m_lock);
    if (m_settings->negativePattern) return nsText(*m_settings->negativePattern);
    Engine& e = engine();
    const std::u16string positive = m_settings->positivePattern.value_or(corePositivePattern(*e.core));
    return nsText(e.affix[NegativePrefix] + positive + e.affix[NegativeSuffix]);
}

void NSNumberFormatter::setNegativeFormat(const Ref<NSString>& pattern)
{
    std::lock_guard lock(m_lock);
    Settings& s = *m_settings;
    // The negative pattern goes with a positive one: the style's, if none was set.
    if (!s.positivePattern) s.positivePattern = corePositivePattern(*engine().core);
    s.format = nullptr;
    if (pattern) s.negativePattern = utf16Of(pattern);
    else s.negativePattern.reset();
    m_engine->stale = true;
}

// --- Affixes and symbols ---

Ref<NSString> NSNumberFormatter::affix(int which) const
{
    std::lock_guard lock(m_lock);
    return nsText(engine().affix[which]);
}

void NSNumberFormatter::setAffix(int which, const Ref<NSString>& text)
{
    std::lock_guard lock(m_lock);
    auto& slot = m_settings->affix[which];
    if (text) slot = utf16Of(text);
    else slot.reset();
    // The digits do not change: only the text around them and the parser.
    if (m_engine && !m_engine->stale) {
        m_engine->affix[which] = slot.value_or(m_engine->patternAffix[which]);
        m_engine->parser.reset();
    }
}

Ref<NSString> NSNumberFormatter::positivePrefix() const { return affix(PositivePrefix); }
void NSNumberFormatter::setPositivePrefix(const Ref<NSString>& text) { setAffix(PositivePrefix, text); }
Ref<NSString> NSNumberFormatter::positiveSuffix() const { return affix(PositiveSuffix); }
void NSNumberFormatter::setPositiveSuffix(const Ref<NSString>& text) { setAffix(PositiveSuffix, text); }
Ref<NSString> NSNumberFormatter::negativePrefix() const { return affix(NegativePrefix); }
void NSNumberFormatter::setNegativePrefix(const Ref<NSString>& text) { setAffix(NegativePrefix, text); }
Ref<NSString> NSNumberFormatter::negativeSuffix() const { return affix(NegativeSuffix); }
void NSNumberFormatter::setNegativeSuffix(const Ref<NSString>& text) { setAffix(NegativeSuffix, text); }

Ref<NSString> NSNumberFormatter::nilSymbol() const
{
    std::lock_guard lock(m_lock);
    return m_settings->nilSymbol ? m_settings->nilSymbol : NSString::string();
}

void NSNumberFormatter::setNilSymbol(const Ref<NSString>& text)
{
    std::lock_guard lock(m_lock);
    m_settings->nilSymbol = text ? static_ref_cast<NSString>(text->copy()) : nullptr;
}

Ref<NSString> NSNumberFormatter::decimalSeparator() const
{
    std::lock_guard lock(m_lock);
    const auto* symbols = engine().core->getDecimalFormatSymbols();
    return nsText(utf16Of(symbols->getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol)));
}

Ref<NSString> NSNumberFormatter::groupingSeparator() const
{
    std::lock_guard lock(m_lock);
    const auto* symbols = engine().core->getDecimalFormatSymbols();
    return nsText(utf16Of(symbols->getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol)));
}

// --- Digits and rounding ---

bool NSNumberFormatter::hasThousandSeparators() const
{
    std::lock_guard lock(m_lock);
    return engine().core->isGroupingUsed();
}

void NSNumberFormatter::setHasThousandSeparators(bool flag)
{
    change([&](Settings& s) { s.grouping = flag; });
}

#define NS_NUMBER_FORMATTER_DIGITS(Getter, Setter, field, icuGetter)                                                   \
    NSUInteger NSNumberFormatter::Getter() const                                                                       \
    {                                                                                                                  \
        std::lock_guard lock(m_lock);                                                                                  \
        return NSUInteger(std::max(0, engine().core->icuGetter()));                                                    \
    }                                                                                                                  \
    void NSNumberFormatter::Setter(NSUInteger n)                                                                       \
    {                                                                                                                  \
        change([&](Settings& s) { s.field = n; });                                                                     \
    }

NS_NUMBER_FORMATTER_DIGITS(minimumIntegerDigits, setMinimumIntegerDigits, minInteger, getMinimumIntegerDigits)
NS_NUMBER_FORMATTER_DIGITS(maximumIntegerDigits, setMaximumIntegerDigits, maxInteger, getMaximumIntegerDigits)
NS_NUMBER_FORMATTER_DIGITS(minimumFractionDigits, setMinimumFractionDigits, minFraction, getMinimumFractionDigits)
NS_NUMBER_FORMATTER_DIGITS(maximumFractionDigits, setMaximumFractionDigits, maxFraction, getMaximumFractionDigits)
NS_NUMBER_FORMATTER_DIGITS(minimumSignificantDigits, setMinimumSignificantDigits, minSignificant,
                           getMinimumSignificantDigits)
NS_NUMBER_FORMATTER_DIGITS(maximumSignificantDigits, setMaximumSignificantDigits, maxSignificant,
                           getMaximumSignificantDigits)
#undef NS_NUMBER_FORMATTER_DIGITS

bool NSNumberFormatter::usesSignificantDigits() const
{
    std::lock_guard lock(m_lock);
    return engine().core->areSignificantDigitsUsed();
}

void NSNumberFormatter::setUsesSignificantDigits(bool flag)
{
    change([&](Settings& s) { s.usesSignificant = flag; });
}

Ref<NSNumber> NSNumberFormatter::roundingIncrement() const
{
    std::lock_guard lock(m_lock);
    if (m_settings->roundingIncrement) return m_settings->roundingIncrement;
    return NSNumber::numberWithDouble(engine().core->getRoundingIncrement());
}

void NSNumberFormatter::setRoundingIncrement(const Ref<NSNumber>& increment)
{
    change([&](Settings& s) { s.roundingIncrement = increment; });
}

NSNumberFormatterRoundingMode NSNumberFormatter::roundingMode() const
{
    std::lock_guard lock(m_lock);
    return m_settings->roundingMode;
}

void NSNumberFormatter::setRoundingMode(NSNumberFormatterRoundingMode mode)
{
    change([&](Settings& s) { s.roundingMode = mode; });
}

// --- Parsing ---

Ref<NSNumber> NSNumberFormatter::minimum() const
{
    std::lock_guard lock(m_lock);
    return m_settings->minimum;
}

void NSNumberFormatter::setMinimum(const Ref<NSNumber>& value)
{
    std::lock_guard lock(m_lock);
    m_settings->minimum = value;
}

Ref<NSNumber> NSNumberFormatter::maximum() const
{
    std::lock_guard lock(m_lock);
    return m_settings->maximum;
}

void NSNumberFormatter::setMaximum(const Ref<NSNumber>& value)
{
    std::lock_guard lock(m_lock);
    m_settings->maximum = value;
}

bool NSNumberFormatter::allowsFloats() const
{
    std::lock_guard lock(m_lock);
    return m_settings->allowsFloats;
}

void NSNumberFormatter::setAllowsFloats(bool flag)
{
    change([&](Settings& s) { s.allowsFloats = flag; });
}

bool NSNumberFormatter::generatesDecimalNumbers() const
{
    std::lock_guard lock(m_lock);
    return m_settings->generatesDecimalNumbers;
}

void NSNumberFormatter::setGeneratesDecimalNumbers(bool flag)
{
    std::lock_guard lock(m_lock);
    m_settings->generatesDecimalNumbers = flag;
}

bool NSNumberFormatter::isLenient() const
{
    std::lock_guard lock(m_lock);
    return m_settings->lenient;
}

void NSNumberFormatter::setLenient(bool flag)
{
    change([&](Settings& s) { s.lenient = flag; });
}

// --- Copying and coding ---

void NSNumberFormatter::copySettingsFrom(const NSFormatter& other)
{
    NSFormatter::copySettingsFrom(other);
    auto* source = dynamic_cast<const NSNumberFormatter*>(&other);
    if (!source || source == this) return;
    Settings copied;
    {
        std::lock_guard lock(source->m_lock);
        copied = *source->m_settings;
    }
    change([&](Settings& s) { s = std::move(copied); });
}

namespace {

// The archive keys, in the order they are written.
constexpr const char* kStyle = "NSNumberStyle";
constexpr const char* kBehavior = "NSFormatterBehavior";
constexpr const char* kLocale = "NSLocaleIdentifier";
constexpr const char* kFormat = "NSFormat";
constexpr const char* kPositiveFormat = "NSPositiveFormat";
constexpr const char* kNegativeFormat = "NSNegativeFormat";
constexpr const char* kLocalizesFormat = "NSLocalizesFormat";
constexpr const char* kAffix[AffixCount] = {"NSPositivePrefix", "NSPositiveSuffix", "NSNegativePrefix",
                                            "NSNegativeSuffix"};
constexpr const char* kNilSymbol = "NSNilSymbol";
constexpr const char* kGrouping = "NSHasThousandSeparators";
constexpr const char* kMinInteger = "NSMinimumIntegerDigits";
constexpr const char* kMaxInteger = "NSMaximumIntegerDigits";
constexpr const char* kMinFraction = "NSMinimumFractionDigits";
constexpr const char* kMaxFraction = "NSMaximumFractionDigits";
constexpr const char* kUsesSignificant = "NSUsesSignificantDigits";
constexpr const char* kMinSignificant = "NSMinimumSignificantDigits";
constexpr const char* kMaxSignificant = "NSMaximumSignificantDigits";
constexpr const char* kRoundingIncrement = "NSRoundingIncrement";
constexpr const char* kRoundingMode = "NSRoundingMode";
constexpr const char* kMinimum = "NSMinimum";
constexpr const char* kMaximum = "NSMaximum";
constexpr const char* kAllowsFloats = "NSAllowsFloats";
constexpr const char* kGeneratesDecimalNumbers = "NSGeneratesDecimalNumbers";
constexpr const char* kLenient = "NSLenient";

constexpr const char* kAllKeys[] = {kStyle,
                                    kBehavior,
                                    kLocale,
                                    kFormat,
                                    kPositiveFormat,
                                    kNegativeFormat,
                                    kLocalizesFormat,
                                    kAffix[0],
                                    kAffix[1],
                                    kAffix[2],
                                    kAffix[3],
                                    kNilSymbol,
                                    kGrouping,
                                    kMinInteger,
                                    kMaxInteger,
                                    kMinFraction,
                                    kMaxFraction,
                                    kUsesSignificant,
                                    kMinSignificant,
                                    kMaxSignificant,
                                    kRoundingIncrement,
                                    kRoundingMode,
                                    kMinimum,
                                    kMaximum,
                                    kAllowsFloats,
                                    kGeneratesDecimalNumbers,
                                    kLenient};

Ref<NSString> key(const char* name) { return NSString::stringWithUTF8String(name); }

}  // namespace

Ref<NSMutableDictionary> NSNumberFormatter::settingsDictionary() const
{
    std::lock_guard lock(m_lock);
    const Settings& s = *m_settings;
    auto d = NSMutableDictionary::dictionary();
    auto put = [&](const char* name, const Id& value) {
        if (value) d->setObject(value, key(name));
    };
    auto putCount = [&](const char* name, const std::optional<NSUInteger>& n) {
        if (n) put(name, NSNumber::numberWithUnsignedInteger(*n));
    };
    put(kStyle, NSNumber::numberWithUnsignedInteger(s.style));
    put(kBehavior, NSNumber::numberWithUnsignedInteger(s.behavior));
    if (s.locale) put(kLocale, s.locale->localeIdentifier());
    if (s.format) put(kFormat, s.format);
    else if (s.positivePattern) put(kPositiveFormat, nsText(*s.positivePattern));
    if (!s.format && s.negativePattern) put(kNegativeFormat, nsText(*s.negativePattern));
    put(kLocalizesFormat, NSNumber::numberWithBool(s.localizesFormat));
    for (int i = 0; i < AffixCount; ++i)
        if (s.affix[i]) put(kAffix[i], nsText(*s.affix[i]));
    put(kNilSymbol, s.nilSymbol);
    if (s.grouping) put(kGrouping, NSNumber::numberWithBool(*s.grouping));
    putCount(kMinInteger, s.minInteger);
    putCount(kMaxInteger, s.maxInteger);
    putCount(kMinFraction, s.minFraction);
    putCount(kMaxFraction, s.maxFraction);
    if (s.usesSignificant) put(kUsesSignificant, NSNumber::numberWithBool(*s.usesSignificant));
    putCount(kMinSignificant, s.minSignificant);
    putCount(kMaxSignificant, s.maxSignificant);
    put(kRoundingIncrement, s.roundingIncrement);
    put(kRoundingMode, NSNumber::numberWithUnsignedInteger(s.roundingMode));
    put(kMinimum, s.minimum);
    put(kMaximum, s.maximum);
    put(kAllowsFloats, NSNumber::numberWithBool(s.allowsFloats));
    put(kGeneratesDecimalNumbers, NSNumber::numberWithBool(s.generatesDecimalNumbers));
    put(kLenient, NSNumber::numberWithBool(s.lenient));
    return d;
}

void NSNumberFormatter::applySettingsDictionary(const Ref<NSDictionary>& values)
{
    if (!values) return;
    auto number = [&](const char* name) { return dynamic_ref_cast<NSNumber>(values->objectForKey(key(name))); };
    auto text = [&](const char* name) { return dynamic_ref_cast<NSString>(values->objectForKey(key(name))); };
    auto count = [&](const char* name) -> std::optional<NSUInteger> {
        auto n = number(name);
        if (!n || n->integerValue() < 0) return std::nullopt;
        return NSUInteger(n->integerValue());
    };
    auto flag = [&](const char* name) -> std::optional<bool> {
        auto n = number(name);
        return n ? std::optional<bool>(n->boolValue()) : std::nullopt;
    };
    // Each setter in the order a caller would use them: the style first, then
    // the format, then what refines it.
    if (auto n = number(kStyle))
        setNumberStyle(NSNumberFormatterStyle(std::min<NSUInteger>(n->unsignedIntegerValue(), 4)));
    if (auto n = number(kBehavior)) setFormatterBehavior(NSNumberFormatterBehavior(n->unsignedIntegerValue()));
    if (auto s = text(kLocale)) setLocale(NSLocale::localeWithLocaleIdentifier(s));
    if (auto f = flag(kLocalizesFormat)) setLocalizesFormat(*f);
    if (auto s = text(kFormat)) setFormat(s);
    if (auto s = text(kPositiveFormat)) setPositiveFormat(s);
    if (auto s = text(kNegativeFormat)) setNegativeFormat(s);
    if (auto f = flag(kGrouping)) setHasThousandSeparators(*f);
    change([&](Settings& s) {
        if (auto n = count(kMinInteger)) s.minInteger = n;
        if (auto n = count(kMaxInteger)) s.maxInteger = n;
        if (auto n = count(kMinFraction)) s.minFraction = n;
        if (auto n = count(kMaxFraction)) s.maxFraction = n;
        if (auto f = flag(kUsesSignificant)) s.usesSignificant = f;
        if (auto n = count(kMinSignificant)) s.minSignificant = n;
        if (auto n = count(kMaxSignificant)) s.maxSignificant = n;
        if (auto n = number(kRoundingIncrement)) s.roundingIncrement = n;
        if (auto n = number(kRoundingMode))
            s.roundingMode = NSNumberFormatterRoundingMode(std::min<NSUInteger>(n->unsignedIntegerValue(), 6));
        if (auto f = flag(kAllowsFloats)) s.allowsFloats = *f;
        if (auto f = flag(kGeneratesDecimalNumbers)) s.generatesDecimalNumbers = *f;
        if (auto f = flag(kLenient)) s.lenient = *f;
        s.minimum = number(kMinimum);
        s.maximum = number(kMaximum);
        if (auto t = text(kNilSymbol)) s.nilSymbol = t;
    });
    for (int i = 0; i < AffixCount; ++i)
        if (auto s = text(kAffix[i])) setAffix(i, s);
}

void NSNumberFormatter::encodeWithCoder(NSCoder* coder) const
{
    NSFormatter::encodeWithCoder(coder);
    auto values = settingsDictionary();
    if (!coder->allowsKeyedCoding()) return coder->encodeObject(values);
    for (const char* name : kAllKeys)
        if (auto value = values->objectForKey(key(name))) coder->encodeObject(value, key(name));
}

Id NSNumberFormatter::initWithCoder(NSCoder* coder)
{
    NSFormatter::initWithCoder(coder);
    if (!m_settings) m_settings = std::make_unique<Settings>();
    if (!coder->allowsKeyedCoding()) {
        applySettingsDictionary(dynamic_ref_cast<NSDictionary>(coder->decodeObject()));
        return this;
    }
    auto values = NSMutableDictionary::dictionary();
    for (const char* name : kAllKeys)
        if (auto value = coder->decodeObjectForKey(key(name))) values->setObject(value, key(name));
    applySettingsDictionary(values);
    return this;
}
