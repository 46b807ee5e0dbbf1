#pragma once
// The Gregorian calendar in a time zone, through ICU.
#include "Foundation/NSDateComponents.h"
#include "Foundation/NSString.h"
#include "Foundation/NSTimeZone.h"

class NSDate;

using NSCalendarUnit = NSUInteger;
inline constexpr NSCalendarUnit NSYearCalendarUnit = 4;
inline constexpr NSCalendarUnit NSMonthCalendarUnit = 8;
inline constexpr NSCalendarUnit NSDayCalendarUnit = 16;
inline constexpr NSCalendarUnit NSHourCalendarUnit = 32;
inline constexpr NSCalendarUnit NSMinuteCalendarUnit = 64;
inline constexpr NSCalendarUnit NSSecondCalendarUnit = 128;
inline constexpr NSCalendarUnit NSWeekCalendarUnit = 256;
inline constexpr NSCalendarUnit NSCalendarUnitYear = NSYearCalendarUnit;
inline constexpr NSCalendarUnit NSCalendarUnitMonth = NSMonthCalendarUnit;
inline constexpr NSCalendarUnit NSCalendarUnitDay = NSDayCalendarUnit;
inline constexpr NSCalendarUnit NSCalendarUnitHour = NSHourCalendarUnit;
inline constexpr NSCalendarUnit NSCalendarUnitMinute = NSMinuteCalendarUnit;
inline constexpr NSCalendarUnit NSCalendarUnitSecond = NSSecondCalendarUnit;

class NSCalendar : public NSObject {
    NS_OBJECT(NSCalendar, NSObject)
protected:
    NSCalendar() = default;

public:
    // A Gregorian calendar in the default time zone at the time of the call.
    static Ref<NSCalendar> currentCalendar();

    Ref<NSString> calendarIdentifier() const { return "gregorian"_ns; }
    const Ref<NSTimeZone>& timeZone() const { return m_timeZone; }
    void setTimeZone(const Ref<NSTimeZone>& zone);

    // The difference from one date to the other in the units asked for,
    // largest unit first, each unit taking what the larger ones left. The
    // components are negative when toDate is earlier; units not asked for
    // are NSUndefinedDateComponent.
    Ref<NSDateComponents> components(NSCalendarUnit units, const Ref<NSDate>& fromDate, const Ref<NSDate>& toDate,
                                     NSUInteger options) const;

private:
    Ref<NSTimeZone> m_timeZone;
};
