#pragma once
// A date's parts, or the difference between two dates, unit by unit.
#include "Foundation/NSObject.h"

// A component that was not asked for.
inline constexpr NSInteger NSUndefinedDateComponent = NSIntegerMax;

class NSDateComponents : public NSObject {
    NS_OBJECT(NSDateComponents, NSObject)
protected:
    NSDateComponents() = default;

public:
    NSInteger year() const { return m_year; }
    NSInteger month() const { return m_month; }
    NSInteger week() const { return m_week; }
    NSInteger day() const { return m_day; }
    NSInteger hour() const { return m_hour; }
    NSInteger minute() const { return m_minute; }
    NSInteger second() const { return m_second; }
    void setYear(NSInteger v) { m_year = v; }
    void setMonth(NSInteger v) { m_month = v; }
    void setWeek(NSInteger v) { m_week = v; }
    void setDay(NSInteger v) { m_day = v; }
    void setHour(NSInteger v) { m_hour = v; }
    void setMinute(NSInteger v) { m_minute = v; }
    void setSecond(NSInteger v) { m_second = v; }

    static void describeClass(NSClassMembers<NSDateComponents>& m);

private:
    NSInteger m_year = NSUndefinedDateComponent;
    NSInteger m_month = NSUndefinedDateComponent;
    NSInteger m_week = NSUndefinedDateComponent;
    NSInteger m_day = NSUndefinedDateComponent;
    NSInteger m_hour = NSUndefinedDateComponent;
    NSInteger m_minute = NSUndefinedDateComponent;
    NSInteger m_second = NSUndefinedDateComponent;
};
