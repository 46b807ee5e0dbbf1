#pragma once
// A date that carries the time zone its calendar fields are read in (the
// Gregorian calendar through ICU).
#include "Foundation/NSDate.h"
#include "Foundation/NSString.h"
#include "Foundation/NSTimeZone.h"

class NSCalendarDate : public NSDate {
    NS_OBJECT(NSCalendarDate, NSDate)
public:
    NSCalendarDate() = default;

    // Now, in the default time zone.
    static Ref<NSCalendarDate> calendarDate();
    // The date of those calendar fields in the zone (nil: the default zone).
    static Ref<NSCalendarDate> dateWithYear(NSInteger year, NSUInteger month, NSUInteger day, NSUInteger hour,
                                            NSUInteger minute, NSUInteger second, const Ref<NSTimeZone>& zone);
    // The same instant in the zone (nil: the default zone).
    static Ref<NSCalendarDate> dateWithDate(const Ref<NSDate>& date, const Ref<NSTimeZone>& zone);

    Ref<NSTimeZone> timeZone() const { return m_zone; }
    void setTimeZone(const Ref<NSTimeZone>& zone);

    NSInteger yearOfCommonEra() const { return field(Field::Year); }
    NSInteger monthOfYear() const { return field(Field::Month); }
    NSInteger dayOfMonth() const { return field(Field::Day); }
    NSInteger hourOfDay() const { return field(Field::Hour); }
    NSInteger minuteOfHour() const { return field(Field::Minute); }
    NSInteger secondOfMinute() const { return field(Field::Second); }

    Id copy() const override { return const_cast<NSCalendarDate*>(this); }

private:
    enum class Field { Year, Month, Day, Hour, Minute, Second };
    NSInteger field(Field which) const;
    Ref<NSTimeZone> m_zone;
};
