#include <gtest/gtest.h>

#include <cstdlib>

#include "Foundation/NSCalendar.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSTimeZone.h"

namespace {

// 2014-03-05 07:08:09.123 UTC.
Ref<NSDate> fixedDate() { return NSDate::dateWithTimeIntervalSince1970(1394003289.123); }

// A date given in UTC parts.
Ref<NSDate> utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    struct tm t { };
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    return NSDate::dateWithTimeIntervalSince1970(static_cast<double>(timegm(&t)));
}

std::string format(const Ref<NSDate>& date, const char* fmt, const Ref<NSTimeZone>& zone)
{
    return date->descriptionWithCalendarFormat(NSString::stringWithUTF8String(fmt), zone)->UTF8String();
}

}

TEST(Date, TimeStampFormatInFixedZones)
{
    auto date = fixedDate();
    struct Case {
        const char* name;
        Ref<NSTimeZone> zone;
        const char* expected;
    } cases[] = {
        {"UTC", NSTimeZone::timeZoneWithName("UTC"_ns), "20140305070809+0000123"},
        {"one hour east", NSTimeZone::timeZoneForSecondsFromGMT(3600), "20140305080809+0100123"},
        {"five and a half hours west", NSTimeZone::timeZoneForSecondsFromGMT(-19800), "20140305013809-0530123"},
        {"crossing midnight backwards", NSTimeZone::timeZoneForSecondsFromGMT(-8 * 3600), "20140304230809-0800123"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.zone) << c.name;
        EXPECT_EQ(format(date, "%Y%m%d%H%M%S%z%F", c.zone), c.expected) << c.name;
    }
    // The default zone follows TZ, which the tests pin to UTC.
    EXPECT_EQ(date->descriptionWithCalendarFormat("%Y%m%d%H%M%S%z%F"_ns)->UTF8String(), "20140305070809+0000123");
}

TEST(Date, CalendarFormatDirectives)
{
    auto zone = NSTimeZone::timeZoneForSecondsFromGMT(0);
    struct Case {
        Ref<NSDate> date;
        const char* format;
        const char* expected;
    } cases[] = {
        {fixedDate(), "%y-%b-%e %a %I:%M %p %j", "14-Mar-5 Wed 07:08 AM 064"},
        {fixedDate(), "%A %B %d, 100%%", "Wednesday March 05, 100%"},
        {utc(2000, 12, 31, 12, 0, 0), "%I %p %j %w %Q", "12 PM 366 0 %Q"},
        {utc(1999, 1, 1, 0, 0, 0), "%I %p %y", "12 AM 99"},
        // Milliseconds: a value a hair below a millisecond counts as it,
        // never the one before; dates before 1970 count forwards too.
        {NSDate::dateWithTimeIntervalSince1970(0.007), "%S.%F", "00.007"},
        {NSDate::dateWithTimeIntervalSinceReferenceDate(0.999), "%H:%M:%S.%F", "00:00:00.999"},
        {NSDate::dateWithTimeIntervalSince1970(-0.25), "%Y %H:%M:%S.%F", "1969 23:59:59.750"},
    };
    for (const auto& c : cases) EXPECT_EQ(format(c.date, c.format, zone), c.expected) << c.format;
}

TEST(Date, CalendarComponentsLargestUnitFirst)
{
    auto calendar = NSCalendar::currentCalendar();
    calendar->setTimeZone(NSTimeZone::timeZoneWithName("UTC"_ns));
    const NSCalendarUnit all = NSYearCalendarUnit | NSMonthCalendarUnit | NSDayCalendarUnit | NSHourCalendarUnit |
                               NSMinuteCalendarUnit | NSSecondCalendarUnit;
    const NSInteger U = NSUndefinedDateComponent;
    struct Case {
        const char* name;
        Ref<NSDate> from, to;
        NSCalendarUnit units;
        NSInteger year, month, week, day, hour, minute, second;
    } cases[] = {
        {"forwards", utc(2012, 1, 15, 10, 0, 0), utc(2013, 3, 1, 9, 30, 15), all, 1, 1, U, 13, 23, 30, 15},
        {"backwards gives negative components", utc(2013, 3, 1, 9, 30, 15), utc(2012, 1, 15, 10, 0, 0), all, -1, -1, U,
         -16, -23, -30, -15},
        // A month from the 31st lands on the month's last day.
        {"month from the 31st", utc(2013, 1, 31, 10, 0, 0), utc(2013, 3, 1, 9, 0, 0), all, 0, 1, U, 0, 23, 0, 0},
        {"same instant", utc(2013, 3, 1), utc(2013, 3, 1), all, 0, 0, U, 0, 0, 0, 0},
        {"weeks and days", utc(2014, 1, 1), utc(2014, 1, 20, 5),
         NSWeekCalendarUnit | NSDayCalendarUnit | NSHourCalendarUnit, U, U, 2, 5, 5, U, U},
        {"days only", utc(2014, 1, 1), utc(2013, 12, 1), NSDayCalendarUnit, U, U, U, -31, U, U, U},
        {"seconds only", utc(2014, 1, 1), utc(2014, 1, 2, 0, 0, 1), NSSecondCalendarUnit, U, U, U, U, U, U, 86401},
        {"leap day to a year later", utc(2012, 2, 29), utc(2013, 2, 28), NSYearCalendarUnit | NSDayCalendarUnit, 1, U,
         U, 0, U, U, U},
        {"leap day to a day short of a year", utc(2012, 2, 29), utc(2013, 2, 27),
         NSYearCalendarUnit | NSDayCalendarUnit, 0, U, U, 364, U, U, U},
    };
    for (const auto& c : cases) {
        auto d = calendar->components(c.units, c.from, c.to, 0);
        EXPECT_EQ(d->year(), c.year) << c.name;
        EXPECT_EQ(d->month(), c.month) << c.name;
        EXPECT_EQ(d->week(), c.week) << c.name;
        EXPECT_EQ(d->day(), c.day) << c.name;
        EXPECT_EQ(d->hour(), c.hour) << c.name;
        EXPECT_EQ(d->minute(), c.minute) << c.name;
        EXPECT_EQ(d->second(), c.second) << c.name;
    }
}

TEST(Date, TimeZonesFromNamesOffsetsAndTZ)
{
    auto paris = NSTimeZone::timeZoneWithName("Europe/Paris"_ns);
    ASSERT_TRUE(paris);
    EXPECT_EQ(paris->secondsFromGMTForDate(utc(2014, 1, 15)), 3600);
    EXPECT_EQ(paris->secondsFromGMTForDate(utc(2014, 7, 15)), 7200);
    EXPECT_FALSE(NSTimeZone::timeZoneWithName("Nowhere/Special"_ns));
    EXPECT_FALSE(NSTimeZone::timeZoneForSecondsFromGMT(19 * 3600));
    EXPECT_EQ(NSTimeZone::timeZoneForSecondsFromGMT(-19800)->name()->UTF8String(), "GMT-0530");
    EXPECT_EQ(NSTimeZone::timeZoneForSecondsFromGMT(-19800)->secondsFromGMT(), -19800);

    // The system zone is read from TZ once, until reset.
    const char* saved = std::getenv("TZ");
    std::string previous = saved ? saved : "";
    setenv("TZ", "Asia/Tokyo", 1);
    NSTimeZone::resetSystemTimeZone();
    EXPECT_EQ(NSTimeZone::systemTimeZone()->secondsFromGMT(), 9 * 3600);
    EXPECT_EQ(NSTimeZone::localTimeZone()->name()->UTF8String(), "Asia/Tokyo");
    NSTimeZone::setDefaultTimeZone(NSTimeZone::timeZoneForSecondsFromGMT(3600));
    EXPECT_EQ(NSTimeZone::localTimeZone()->secondsFromGMT(), 3600);
    NSTimeZone::setDefaultTimeZone(nullptr);
    if (saved) setenv("TZ", previous.c_str(), 1);
    else unsetenv("TZ");
    NSTimeZone::resetSystemTimeZone();
}

TEST(Date, EarlierLaterAndEquality)
{
    auto a = NSDate::dateWithTimeIntervalSinceReferenceDate(10);
    auto b = NSDate::dateWithTimeIntervalSinceReferenceDate(20);
    auto a2 = NSDate::dateWithTimeIntervalSinceReferenceDate(10);
    EXPECT_EQ(a->earlierDate(b).get(), a.get());
    EXPECT_EQ(b->earlierDate(a).get(), a.get());
    EXPECT_EQ(a->laterDate(b).get(), b.get());
    EXPECT_EQ(a->earlierDate(a2).get(), a.get());  // equal: the receiver
    EXPECT_TRUE(a->isEqualToDate(a2));
    EXPECT_FALSE(a->isEqualToDate(b));
    EXPECT_FALSE(a->isEqualToDate(nullptr));
    EXPECT_EQ(a->compare(b), -1);
}
