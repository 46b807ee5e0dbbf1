#include "FormatKit/FMTTimeIntervalFormatter.h"

#include <cmath>

#include "FormatKit/FMTFormatKit.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(FMTTimeIntervalFormatter)

namespace {

struct UnitNames {
    NSCalendarUnit unit;
    const char* singular;
    const char* plural;
    const char* shortSingular;
    const char* shortPlural;
};

// In the order the units are written.
constexpr UnitNames kUnits[] = {
    {NSYearCalendarUnit, "year", "years", "yr", "yrs"},    {NSMonthCalendarUnit, "month", "months", "mo", "mos"},
    {NSWeekCalendarUnit, "week", "weeks", "wk", "wks"},    {NSDayCalendarUnit, "day", "days", "day", "days"},
    {NSHourCalendarUnit, "hour", "hours", "hr", "hrs"},    {NSMinuteCalendarUnit, "minute", "minutes", "min", "mins"},
    {NSSecondCalendarUnit, "second", "seconds", "s", "s"},
};

constexpr NSCalendarUnit kAllUnits = 508;

// A component as a count: missing components (out-of-range dates) count 0.
NSUInteger magnitude(NSInteger component)
{
    if (component == NSUndefinedDateComponent) return 0;
    return component < 0 ? NSUInteger(0) - NSUInteger(component) : NSUInteger(component);
}

NSInteger componentOf(const Ref<NSDateComponents>& c, NSCalendarUnit unit)
{
    NSInteger v = 0;
    switch (unit) {
    case NSYearCalendarUnit: v = c->year(); break;
    case NSMonthCalendarUnit: v = c->month(); break;
    case NSWeekCalendarUnit: v = c->week(); break;
    case NSDayCalendarUnit: v = c->day(); break;
    case NSHourCalendarUnit: v = c->hour(); break;
    case NSMinuteCalendarUnit: v = c->minute(); break;
    case NSSecondCalendarUnit: v = c->second(); break;
    }
    return v == NSUndefinedDateComponent ? 0 : v;
}

// The idioms of one language, in the order they are tried.
struct Idioms {
    const char16_t* lastYear;
    const char16_t* lastMonth;
    const char16_t* lastWeek;
    const char16_t* yesterday;
    const char16_t* dayBeforeYesterday;
    const char16_t* nextYear;
    const char16_t* nextMonth;
    const char16_t* nextWeek;
    const char16_t* tomorrow;
    const char16_t* dayAfterTomorrow;
};

Ref<NSString> idiom(const Idioms& words, const Ref<NSDateComponents>& c)
{
    if (!c) return nullptr;
    const NSInteger year = componentOf(c, NSYearCalendarUnit);
    const NSInteger month = componentOf(c, NSMonthCalendarUnit);
    const NSInteger week = componentOf(c, NSWeekCalendarUnit);
    const NSInteger day = componentOf(c, NSDayCalendarUnit);
    const bool noYearMonth = year == 0 && month == 0;
    const bool onlyDays = noYearMonth && week == 0;
    const char16_t* text = nullptr;
    if (year == -1) text = words.lastYear;
    else if (month == -1 && year == 0) text = words.lastMonth;
    else if (week == -1 && noYearMonth) text = words.lastWeek;
    else if (day == -1 && onlyDays) text = words.yesterday;
    else if (day == -2 && onlyDays) text = words.dayBeforeYesterday;
    else if (year == 1) text = words.nextYear;
    else if (month == 1 && year == 0) text = words.nextMonth;
    else if (week == 1 && noYearMonth) text = words.nextWeek;
    else if (day == 1 && onlyDays) text = words.tomorrow;
    else if (day == 2 && onlyDays) text = words.dayAfterTomorrow;
    return text ? NSString::stringWithUTF16(text) : nullptr;
}

}  // namespace

Id FMTTimeIntervalFormatter::init()
{
    m_locale = NSLocale::currentLocale();
    m_calendar = NSCalendar::currentCalendar();
    m_pastDeicticExpression = FMTLocalizedString("ago");
    m_presentDeicticExpression = FMTLocalizedString("just now");
    m_futureDeicticExpression = FMTLocalizedString("from now");
    m_deicticExpressionFormat = FMTLocalizedString("Deictic Expression Format String", "%@ %@"_ns);
    m_approximateQualifierFormat = FMTLocalizedString("about %@");
    m_presentTimeIntervalMargin = 1.0;
    m_usesIdiomaticDeicticExpressions = false;
    m_usesApproximateQualifier = false;
    m_usesAbbreviatedCalendarUnits = false;
    m_numberOfSignificantUnits = 1;
    m_leastSignificantUnit = NSSecondCalendarUnit;
    return this;
}

std::u16string FMTTimeIntervalFormatter::languageCode() const
{
    if (!m_locale) return {};
    auto code = dynamic_ref_cast<NSString>(m_locale->objectForKey(NSLocaleLanguageCode()));
    return code ? code->utf16() : u"";
}

Ref<NSString> FMTTimeIntervalFormatter::stringForTimeInterval(NSTimeInterval seconds)
{
    auto now = NSDate::date();
    return stringForTimeIntervalFromDate(
        now, NSDate::dateWithTimeIntervalSinceReferenceDate(now->timeIntervalSinceReferenceDate() + seconds));
}

Ref<NSString> FMTTimeIntervalFormatter::stringForTimeIntervalFromDate(const Ref<NSDate>& from, const Ref<NSDate>& to)
{
    if (!from || !to) return nullptr;
    // Positive when `to` lies in the past of `from`.
    const double d = from->timeIntervalSinceDate(to);
    if (std::isnan(d)) return nullptr;
    if (m_presentTimeIntervalMargin > std::abs(d)) return m_presentDeicticExpression;
    Ref<NSCalendar> calendar = m_calendar ? m_calendar : NSCalendar::currentCalendar();
    Ref<NSDateComponents> components = calendar->components(kAllUnits, from, to, 0);
    if (m_usesIdiomaticDeicticExpressions)
        if (auto text = localizedIdiomaticDeicticExpressionForComponents(components)) return text;

    Ref<NSMutableString> text;
    NSUInteger count = 0;
    bool leftOut = false;
    for (const UnitNames& names : kUnits) {
        if (text && m_leastSignificantUnit < names.unit) continue;
        const NSUInteger v = magnitude(componentOf(components, names.unit));
        if (v == 0) continue;
        Ref<NSString> part = NSString::stringWithFormat("%@ %@", NSNumber::numberWithUnsignedInteger(v),
                                                        localizedStringForNumber(v, names.unit));
        if (!text) {
            text = NSMutableString::stringWithString(part);
        } else if (m_numberOfSignificantUnits == 0 || count < m_numberOfSignificantUnits) {
            text->appendString(" "_ns);
            text->appendString(part);
        } else {
            leftOut = true;
        }
        ++count;
    }
    if (!text) return nullptr;

    Ref<NSString> result = NSString::stringWithString(text);
    Ref<NSString> format = m_deicticExpressionFormat ? m_deicticExpressionFormat : "%@ %@"_ns;
    if (d > 0) {
        if (m_pastDeicticExpression && m_pastDeicticExpression->length()) {
            // Spanish puts the expression first ("hace 3 horas").
            result = languageCode() == u"es" ? NSString::stringWithFormat(format, m_pastDeicticExpression, result)
                                             : NSString::stringWithFormat(format, result, m_pastDeicticExpression);
        }
    } else if (m_futureDeicticExpression && m_futureDeicticExpression->length()) {
        result = NSString::stringWithFormat(format, result, m_futureDeicticExpression);
    }
    if (leftOut && m_usesApproximateQualifier && m_approximateQualifierFormat)
        result = NSString::stringWithFormat(m_approximateQualifierFormat, result);
    return result;
}

Ref<NSString> FMTTimeIntervalFormatter::localizedStringForNumber(NSUInteger number, NSCalendarUnit unit) const
{
    for (const UnitNames& names : kUnits) {
        if (names.unit != unit) continue;
        const bool one = number == 1;
        if (m_usesAbbreviatedCalendarUnits) return FMTLocalizedString(one ? names.shortSingular : names.shortPlural);
        return FMTLocalizedString(one ? names.singular : names.plural);
    }
    return nullptr;
}

Ref<NSString> FMTTimeIntervalFormatter::localizedIdiomaticDeicticExpressionForComponents(
    const Ref<NSDateComponents>& components) const
{
    const std::u16string language = languageCode();
    if (language == u"en") return enRelativeDateStringForComponents(components);
    if (language == u"es") return esRelativeDateStringForComponents(components);
    if (language == u"nl") return nlRelativeDateStringForComponents(components);
    return nullptr;
}

Ref<NSString> FMTTimeIntervalFormatter::enRelativeDateStringForComponents(const Ref<NSDateComponents>& c) const
{
    static constexpr Idioms words = {u"last year", u"last month", u"last week", u"yesterday", nullptr,
                                     u"next year", u"next month", u"next week", u"tomorrow",  nullptr};
    return idiom(words, c);
}

Ref<NSString> FMTTimeIntervalFormatter::esRelativeDateStringForComponents(const Ref<NSDateComponents>& c) const
{
    static constexpr Idioms words = {
        u"a\u00F1o pasado",       u"mes pasado",       u"semana pasada",       u"ayer",        nullptr,
        u"pr\u00F3ximo a\u00F1o", u"pr\u00F3ximo mes", u"pr\u00F3xima semana", u"ma\u00F1ana", nullptr};
    return idiom(words, c);
}

Ref<NSString> FMTTimeIntervalFormatter::nlRelativeDateStringForComponents(const Ref<NSDateComponents>& c) const
{
    static constexpr Idioms words = {u"vorig jaar",   u"vorige maand",   u"vorige week",   u"gisteren", u"eergisteren",
                                     u"volgend jaar", u"volgende maand", u"volgende week", u"morgen",   u"overmorgen"};
    return idiom(words, c);
}

Ref<NSString> FMTTimeIntervalFormatter::stringForObjectValue(const Id& object)
{
    auto number = dynamic_ref_cast<NSNumber>(object);
    return number ? stringForTimeInterval(number->doubleValue()) : nullptr;
}

bool FMTTimeIntervalFormatter::getObjectValue(Id* object, const Ref<NSString>&, Ref<NSString>* error)
{
    return FMTRefuseParsing(object, error);
}

void FMTTimeIntervalFormatter::copySettingsFrom(const NSFormatter& other)
{
    NSFormatter::copySettingsFrom(other);
    auto* s = dynamic_cast<const FMTTimeIntervalFormatter*>(&other);
    if (!s) return;
    m_locale = s->m_locale;
    m_calendar = s->m_calendar;
    m_pastDeicticExpression = s->m_pastDeicticExpression;
    m_presentDeicticExpression = s->m_presentDeicticExpression;
    m_futureDeicticExpression = s->m_futureDeicticExpression;
    m_deicticExpressionFormat = s->m_deicticExpressionFormat;
    m_approximateQualifierFormat = s->m_approximateQualifierFormat;
    m_presentTimeIntervalMargin = s->m_presentTimeIntervalMargin;
    m_usesIdiomaticDeicticExpressions = s->m_usesIdiomaticDeicticExpressions;
    m_usesApproximateQualifier = s->m_usesApproximateQualifier;
    m_usesAbbreviatedCalendarUnits = s->m_usesAbbreviatedCalendarUnits;
    m_numberOfSignificantUnits = s->m_numberOfSignificantUnits;
    m_leastSignificantUnit = s->m_leastSignificantUnit;
}

void FMTTimeIntervalFormatter::encodeWithCoder(NSCoder* coder) const
{
    NSFormatter::encodeWithCoder(coder);
    Ref<NSString> localeID = m_locale ? m_locale->localeIdentifier() : nullptr;
    if (!coder->allowsKeyedCoding()) {
        for (const Id& object :
             {Id(localeID), Id(m_pastDeicticExpression), Id(m_presentDeicticExpression), Id(m_futureDeicticExpression),
              Id(m_deicticExpressionFormat), Id(m_approximateQualifierFormat)})
            coder->encodeObject(object);
        coder->encodeDouble(m_presentTimeIntervalMargin);
        coder->encodeChar(m_usesAbbreviatedCalendarUnits);
        coder->encodeChar(m_usesApproximateQualifier);
        coder->encodeChar(m_usesIdiomaticDeicticExpressions);
        return;
    }
    coder->encodeObject(localeID, "locale"_ns);
    coder->encodeObject(m_pastDeicticExpression, "pastDeicticExpression"_ns);
    coder->encodeObject(m_presentDeicticExpression, "presentDeicticExpression"_ns);
    coder->encodeObject(m_futureDeicticExpression, "futureDeicticExpression"_ns);
    coder->encodeObject(m_deicticExpressionFormat, "deicticExpressionFormat"_ns);
    coder->encodeObject(m_approximateQualifierFormat, "approximateQualifierFormat"_ns);
    coder->encodeDouble(m_presentTimeIntervalMargin, "presentTimeIntervalMargin"_ns);
    coder->encodeBool(m_usesAbbreviatedCalendarUnits, "usesAbbreviatedCalendarUnits"_ns);
    coder->encodeBool(m_usesApproximateQualifier, "usesApproximateQualifier"_ns);
    coder->encodeBool(m_usesIdiomaticDeicticExpressions, "usesIdiomaticDeicticExpressions"_ns);
}

Id FMTTimeIntervalFormatter::initWithCoder(NSCoder* coder)
{
    NSFormatter::initWithCoder(coder);
    auto string = [](const Id& object) { return dynamic_ref_cast<NSString>(object); };
    Ref<NSString> localeID;
    if (!coder->allowsKeyedCoding()) {
        localeID = string(coder->decodeObject());
        m_pastDeicticExpression = string(coder->decodeObject());
        m_presentDeicticExpression = string(coder->decodeObject());
        m_futureDeicticExpression = string(coder->decodeObject());
        m_deicticExpressionFormat = string(coder->decodeObject());
        m_approximateQualifierFormat = string(coder->decodeObject());
        m_presentTimeIntervalMargin = coder->decodeDouble();
        m_usesAbbreviatedCalendarUnits = coder->decodeChar();
        m_usesApproximateQualifier = coder->decodeChar();
        m_usesIdiomaticDeicticExpressions = coder->decodeChar();
    } else {
        localeID = string(coder->decodeObjectForKey("locale"_ns));
        m_pastDeicticExpression = string(coder->decodeObjectForKey("pastDeicticExpression"_ns));
        m_presentDeicticExpression = string(coder->decodeObjectForKey("presentDeicticExpression"_ns));
        m_futureDeicticExpression = string(coder->decodeObjectForKey("futureDeicticExpression"_ns));
        m_deicticExpressionFormat = string(coder->decodeObjectForKey("deicticExpressionFormat"_ns));
        m_approximateQualifierFormat = string(coder->decodeObjectForKey("approximateQualifierFormat"_ns));
        m_presentTimeIntervalMargin = coder->decodeDoubleForKey("presentTimeIntervalMargin"_ns);
        m_usesAbbreviatedCalendarUnits = coder->decodeBoolForKey("usesAbbreviatedCalendarUnits"_ns);
        m_usesApproximateQualifier = coder->decodeBoolForKey("usesApproximateQualifier"_ns);
        m_usesIdiomaticDeicticExpressions = coder->decodeBoolForKey("usesIdiomaticDeicticExpressions"_ns);
    }
    m_locale = localeID ? NSLocale::localeWithLocaleIdentifier(localeID) : nullptr;
    // What the archive does not hold takes the defaults of a new formatter.
    m_calendar = NSCalendar::currentCalendar();
    m_numberOfSignificantUnits = 1;
    m_leastSignificantUnit = NSSecondCalendarUnit;
    return this;
}
