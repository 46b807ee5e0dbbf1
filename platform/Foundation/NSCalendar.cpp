#include "Foundation/NSCalendar.h"

#include <cmath>
#include <unicode/ucal.h>

#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"

NS_CLASS_DEFINE(NSCalendar)

Ref<NSCalendar> NSCalendar::currentCalendar()
{
    auto c = alloc<NSCalendar>();
    c->m_timeZone = NSTimeZone::defaultTimeZone();
    return c;
}

void NSCalendar::setTimeZone(const Ref<NSTimeZone>& zone) { m_timeZone = zone ? zone : NSTimeZone::defaultTimeZone(); }

Ref<NSDateComponents> NSCalendar::components(NSCalendarUnit units, const Ref<NSDate>& fromDate,
                                             const Ref<NSDate>& toDate, NSUInteger) const
{
    auto result = alloc<NSDateComponents>();
    if (!fromDate || !toDate) return result;
    const std::u16string& zone = m_timeZone->icuIdentifier();
    UErrorCode status = U_ZERO_ERROR;
    UCalendar* cal = ucal_open(reinterpret_cast<const UChar*>(zone.data()), static_cast<int32_t>(zone.size()),
                               "en_US_POSIX", UCAL_GREGORIAN, &status);
    if (U_FAILURE(status)) return result;
    ucal_setMillis(cal, DateMillisecondsSince1970(fromDate->timeIntervalSinceReferenceDate()), &status);
    UDate target = DateMillisecondsSince1970(toDate->timeIntervalSinceReferenceDate());
    // Largest unit first: each difference moves the calendar on by that
    // many units, so the smaller units count only the remainder.
    struct Step {
        NSCalendarUnit unit;
        UCalendarDateFields field;
        void (NSDateComponents::*set)(NSInteger);
    };
    static const Step steps[] = {
        {NSYearCalendarUnit, UCAL_YEAR, &NSDateComponents::setYear},
        {NSMonthCalendarUnit, UCAL_MONTH, &NSDateComponents::setMonth},
        {NSWeekCalendarUnit, UCAL_WEEK_OF_YEAR, &NSDateComponents::setWeek},
        {NSDayCalendarUnit, UCAL_DATE, &NSDateComponents::setDay},
        {NSHourCalendarUnit, UCAL_HOUR_OF_DAY, &NSDateComponents::setHour},
        {NSMinuteCalendarUnit, UCAL_MINUTE, &NSDateComponents::setMinute},
        {NSSecondCalendarUnit, UCAL_SECOND, &NSDateComponents::setSecond},
    };
    for (const Step& step : steps) {
        if (!(units & step.unit)) continue;
        int32_t difference = ucal_getFieldDifference(cal, target, step.field, &status);
        if (U_FAILURE(status)) break;
        (result.get()->*step.set)(difference);
    }
    ucal_close(cal);
    return result;
}
