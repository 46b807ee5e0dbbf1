#include "Foundation/NSDateComponents.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSDateComponents)

void NSDateComponents::describeClass(NSClassMembers<NSDateComponents>& m)
{
    m.property("year", &NSDateComponents::year, &NSDateComponents::setYear);
    m.property("month", &NSDateComponents::month, &NSDateComponents::setMonth);
    m.property("week", &NSDateComponents::week, &NSDateComponents::setWeek);
    m.property("day", &NSDateComponents::day, &NSDateComponents::setDay);
    m.property("hour", &NSDateComponents::hour, &NSDateComponents::setHour);
    m.property("minute", &NSDateComponents::minute, &NSDateComponents::setMinute);
    m.property("second", &NSDateComponents::second, &NSDateComponents::setSecond);
}
