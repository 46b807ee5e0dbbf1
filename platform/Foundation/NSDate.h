#pragma once
// Points in time, as seconds since 2001-01-01 00:00:00 UTC (the reference date).
#include "Foundation/Clock.h"
#include "Foundation/NSObject.h"

inline constexpr NSTimeInterval NSTimeIntervalSince1970 = 978307200.0;

// The current absolute time (seconds since the reference date). It follows
// the process clock, which tests may replace with a virtual clock.
inline NSTimeInterval CFAbsoluteTimeGetCurrent() { return Clock::now(); }

// Whole milliseconds since 1970 for an absolute time, as ICU's calendars take
// them. A time a hair below a millisecond boundary (binary representation)
// counts as that millisecond.
double DateMillisecondsSince1970(NSTimeInterval sinceReferenceDate);

class NSTimeZone;

class NSDate : public NSObject {
    NS_OBJECT(NSDate, NSObject)
public:
    NSDate() = default;
    static Ref<NSDate> date();
    static Ref<NSDate> dateWithTimeIntervalSinceNow(NSTimeInterval seconds);
    static Ref<NSDate> dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds);
    static Ref<NSDate> dateWithTimeIntervalSince1970(NSTimeInterval seconds);
    static Ref<NSDate> distantFuture();
    static Ref<NSDate> distantPast();

    NSTimeInterval timeIntervalSinceReferenceDate() const { return m_time; }
    NSTimeInterval timeIntervalSince1970() const { return m_time + NSTimeIntervalSince1970; }
    NSTimeInterval timeIntervalSinceNow() const { return m_time - Clock::now(); }
    NSTimeInterval timeIntervalSinceDate(const Ref<NSDate>& other) const { return m_time - other->m_time; }
    Ref<NSDate> dateByAddingTimeInterval(NSTimeInterval seconds) const;
    // -1, 0 or 1.
    int compare(const Ref<NSDate>& other) const;
    bool isEqualToDate(const Ref<NSDate>& other) const { return other && other->m_time == m_time; }
    // The receiver when the two are equal.
    Ref<NSDate> earlierDate(const Ref<NSDate>& other) const;
    Ref<NSDate> laterDate(const Ref<NSDate>& other) const;

    // The date written with a calendar format in the zone (nil: the default
    // zone): %Y year, %y two-digit year, %m month, %d day, %e day without a
    // leading zero, %H hour, %I 12-hour hour, %p AM/PM, %M minute, %S second,
    // %F milliseconds (3 digits), %z zone offset (+0100), %j day of the year,
    // %w weekday (0 = Sunday), %a %A weekday names, %b %B month names, %%.
    // Names are English; the locale argument is accepted for the platform's
    // signature only.
    Ref<NSString> descriptionWithCalendarFormat(const Ref<NSString>& format, const Ref<NSTimeZone>& timeZone = nullptr,
                                                const Id& locale = nullptr) const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSDate*>(this); }

protected:
    NSTimeInterval m_time = 0;
};
