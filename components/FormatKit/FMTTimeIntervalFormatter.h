#pragma once
// Writes the distance between two moments as relative text: "just now"
// within a margin, else the largest calendar units with a past or future
// expression ("3 hours ago", "2 days from now"), optionally with short unit
// names, an approximate qualifier when units were left out ("about 1 hour
// ago") and, for English, Spanish and Dutch, idioms such as "yesterday".
// Reading text back is not offered.
//
// Keyed archive (after the formatter's keys): "locale",
// "pastDeicticExpression", "presentDeicticExpression",
// "futureDeicticExpression", "deicticExpressionFormat",
// "approximateQualifierFormat", "presentTimeIntervalMargin",
// "usesAbbreviatedCalendarUnits", "usesApproximateQualifier",
// "usesIdiomaticDeicticExpressions". The calendar and the two unit settings
// are not archived: a decoded formatter takes the current calendar, one
// significant unit and seconds as the least significant unit.
#include "Foundation/NSCalendar.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSFormatter.h"
#include "Foundation/NSLocale.h"

class FMTTimeIntervalFormatter : public NSFormatter {
    NS_OBJECT(FMTTimeIntervalFormatter, NSFormatter)
protected:
    FMTTimeIntervalFormatter() = default;

public:
    Id init() override;

    Ref<NSLocale> locale() const { return m_locale; }
    void setLocale(const Ref<NSLocale>& locale) { m_locale = locale; }
    Ref<NSCalendar> calendar() const { return m_calendar; }
    void setCalendar(const Ref<NSCalendar>& calendar) { m_calendar = calendar; }
    Ref<NSString> pastDeicticExpression() const { return m_pastDeicticExpression; }
    void setPastDeicticExpression(const Ref<NSString>& text) { m_pastDeicticExpression = text; }
    Ref<NSString> presentDeicticExpression() const { return m_presentDeicticExpression; }
    void setPresentDeicticExpression(const Ref<NSString>& text) { m_presentDeicticExpression = text; }
    Ref<NSString> futureDeicticExpression() const { return m_futureDeicticExpression; }
    void setFutureDeicticExpression(const Ref<NSString>& text) { m_futureDeicticExpression = text; }
    // Joins the units text and the past or future expression ("%@ %@").
    Ref<NSString> deicticExpressionFormat() const { return m_deicticExpressionFormat; }
    void setDeicticExpressionFormat(const Ref<NSString>& format) { m_deicticExpressionFormat = format; }
    Ref<NSString> approximateQualifierFormat() const { return m_approximateQualifierFormat; }
    void setApproximateQualifierFormat(const Ref<NSString>& format) { m_approximateQualifierFormat = format; }
    // Below this distance in seconds the present expression is the text.
    NSTimeInterval presentTimeIntervalMargin() const { return m_presentTimeIntervalMargin; }
    void setPresentTimeIntervalMargin(NSTimeInterval seconds) { m_presentTimeIntervalMargin = seconds; }
    bool usesIdiomaticDeicticExpressions() const { return m_usesIdiomaticDeicticExpressions; }
    void setUsesIdiomaticDeicticExpressions(bool flag) { m_usesIdiomaticDeicticExpressions = flag; }
    bool usesApproximateQualifier() const { return m_usesApproximateQualifier; }
    void setUsesApproximateQualifier(bool flag) { m_usesApproximateQualifier = flag; }
    bool usesAbbreviatedCalendarUnits() const { return m_usesAbbreviatedCalendarUnits; }
    void setUsesAbbreviatedCalendarUnits(bool flag) { m_usesAbbreviatedCalendarUnits = flag; }
    // The most units written; 0 means no limit.
    NSUInteger numberOfSignificantUnits() const { return m_numberOfSignificantUnits; }
    void setNumberOfSignificantUnits(NSUInteger n) { m_numberOfSignificantUnits = n; }
    // A unit whose code is greater than this is written only as the first.
    NSCalendarUnit leastSignificantUnit() const { return m_leastSignificantUnit; }
    void setLeastSignificantUnit(NSCalendarUnit unit) { m_leastSignificantUnit = unit; }

    // From now to the moment that many seconds later (earlier when negative).
    Ref<NSString> stringForTimeInterval(NSTimeInterval seconds);
    // nil when no unit is non-zero (or a date is missing or out of range).
    Ref<NSString> stringForTimeIntervalFromDate(const Ref<NSDate>& from, const Ref<NSDate>& to);
    // The unit's name, singular for exactly 1; nil for other unit codes.
    Ref<NSString> localizedStringForNumber(NSUInteger number, NSCalendarUnit unit) const;
    Ref<NSString> localizedIdiomaticDeicticExpressionForComponents(const Ref<NSDateComponents>& components) const;
    Ref<NSString> enRelativeDateStringForComponents(const Ref<NSDateComponents>& components) const;
    Ref<NSString> esRelativeDateStringForComponents(const Ref<NSDateComponents>& components) const;
    Ref<NSString> nlRelativeDateStringForComponents(const Ref<NSDateComponents>& components) const;

    // A number: stringForTimeInterval of its value.
    Ref<NSString> stringForObjectValue(const Id& object) override;
    bool getObjectValue(Id* object, const Ref<NSString>& string, Ref<NSString>* error) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copySettingsFrom(const NSFormatter& other) override;

private:
    std::u16string languageCode() const;

    Ref<NSLocale> m_locale;
    Ref<NSCalendar> m_calendar;
    Ref<NSString> m_pastDeicticExpression;
    Ref<NSString> m_presentDeicticExpression;
    Ref<NSString> m_futureDeicticExpression;
    Ref<NSString> m_deicticExpressionFormat;
    Ref<NSString> m_approximateQualifierFormat;
    NSTimeInterval m_presentTimeIntervalMargin = 1.0;
    bool m_usesIdiomaticDeicticExpressions = false;
    bool m_usesApproximateQualifier = false;
    bool m_usesAbbreviatedCalendarUnits = false;
    NSUInteger m_numberOfSignificantUnits = 1;
    NSCalendarUnit m_leastSignificantUnit = NSSecondCalendarUnit;
};
