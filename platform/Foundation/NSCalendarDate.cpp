#include "Foundation/NSCalendarDate.h"

#include <unicode/ucal.h>

#include <cmath>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSCalendarDate)

namespace {

// A Gregorian calendar of the zone; the caller closes it.
UCalendar* openCalendar(const Ref<NSTimeZone>& zone)
{
    const std::u16string& id = zone->icuIdentifier();
    UErrorCode status = U_ZERO_ERROR;
    UCalendar* cal = ucal_open(reinterpret_cast<const UChar*>(id.data()), int32_t(id.size()), "en_US_POSIX",
                               UCAL_GREGORIAN, &status);
    if (U_FAILURE(status)) return nullptr;
    // Proleptic Gregorian, as the platform's calendar dates are.
    ucal_setGregorianChange(cal, -8.64e15, &status);
    return cal;
}

}  // namespace

Ref<NSCalendarDate> NSCalendarDate::calendarDate() { return dateWithDate(NSDate::date(), nullptr); }

Ref<NSCalendarDate> NSCalendarDate::dateWithDate(const Ref<NSDate>& date, const Ref<NSTimeZone>& zone)
{
    auto result = NSObject::alloc<NSCalendarDate>();
    result->m_time = date ? date->timeIntervalSinceReferenceDate() : 0;
    result->m_zone = zone ? zone : NSTimeZone::defaultTimeZone();
    return result;
}

Ref<NSCalendarDate> NSCalendarDate::dateWithYear(NSInteger year, NSUInteger month, NSUInteger day, NSUInteger hour,
                                                 NSUInteger minute, NSUInteger second, const Ref<NSTimeZone>& zone)
{
    auto result = NSObject::alloc<NSCalendarDate>();
    result->m_zone = zone ? zone : NSTimeZone::defaultTimeZone();
    UCalendar* cal = openCalendar(result->m_zone);
    if (!cal) return result;
    UErrorCode status = U_ZERO_ERROR;
    ucal_clear(cal);
    ucal_setDateTime(cal, int32_t(year), int32_t(month) - 1, int32_t(day), int32_t(hour), int32_t(minute),
                     int32_t(second), &status);
    const UDate millis = ucal_getMillis(cal, &status);
    ucal_close(cal);
    if (U_SUCCESS(status)) result->m_time = millis / 1000.0 - NSTimeIntervalSince1970;
    return result;
}

void NSCalendarDate::setTimeZone(const Ref<NSTimeZone>& zone) { m_zone = zone ? zone : NSTimeZone::defaultTimeZone(); }

NSInteger NSCalendarDate::field(Field which) const
{
    UCalendar* cal = openCalendar(m_zone ? m_zone : NSTimeZone::defaultTimeZone());
    if (!cal) return 0;
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(cal, DateMillisecondsSince1970(m_time), &status);
    static const UCalendarDateFields fields[] = {UCAL_EXTENDED_YEAR, UCAL_MONTH,  UCAL_DATE,
                                                 UCAL_HOUR_OF_DAY,   UCAL_MINUTE, UCAL_SECOND};
    NSInteger value = ucal_get(cal, fields[int(which)], &status);
    ucal_close(cal);
    if (U_FAILURE(status)) return 0;
    return which == Field::Month ? value + 1 : value;
}
