// Calendar formats ("%Y%m%d%H%M%S%z%F") for NSDate, fields broken down by ICU.
#include <cmath>
#include <cstdio>
#include <string>
#include <unicode/ucal.h>

#include "Foundation/NSDate.h"
#include "Foundation/NSString.h"
#include "Foundation/NSTimeZone.h"

double DateMillisecondsSince1970(NSTimeInterval sinceReferenceDate)
{
    double seconds = sinceReferenceDate + NSTimeIntervalSince1970;
    double whole = std::floor(seconds);
    // A microsecond of slack absorbs the representation error of the fraction.
    double millis = std::floor((seconds - whole) * 1000.0 + 0.001);
    return whole * 1000.0 + millis;
}

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

struct Fields {
    int32_t year, month, day, hour, minute, second, millisecond, weekday, dayOfYear, offsetSeconds;
};

bool breakDown(double millis, const std::u16string& zone, Fields& f)
{
    UErrorCode status = U_ZERO_ERROR;
    UCalendar* cal = ucal_open(reinterpret_cast<const UChar*>(zone.data()), static_cast<int32_t>(zone.size()),
                               "en_US_POSIX", UCAL_GREGORIAN, &status);
    if (U_FAILURE(status)) return false;
    ucal_setMillis(cal, millis, &status);
    f.year = ucal_get(cal, UCAL_EXTENDED_YEAR, &status);
    f.month = ucal_get(cal, UCAL_MONTH, &status) + 1;
    f.day = ucal_get(cal, UCAL_DATE, &status);
    f.hour = ucal_get(cal, UCAL_HOUR_OF_DAY, &status);
    f.minute = ucal_get(cal, UCAL_MINUTE, &status);
    f.second = ucal_get(cal, UCAL_SECOND, &status);
    f.millisecond = ucal_get(cal, UCAL_MILLISECOND, &status);
    f.weekday = ucal_get(cal, UCAL_DAY_OF_WEEK, &status) - 1;
    f.dayOfYear = ucal_get(cal, UCAL_DAY_OF_YEAR, &status);
    f.offsetSeconds = (ucal_get(cal, UCAL_ZONE_OFFSET, &status) + ucal_get(cal, UCAL_DST_OFFSET, &status)) / 1000;
    ucal_close(cal);
    return U_SUCCESS(status);
}

std::string number(long value, int width)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*ld", width, value);
    return buffer;
}

}

Ref<NSString> NSDate::descriptionWithCalendarFormat(const Ref<NSString>& format, const Ref<NSTimeZone>& timeZone,
                                                    const Id&) const
{
    if (!format) return nullptr;
    Ref<NSTimeZone> zone = timeZone ? timeZone : NSTimeZone::defaultTimeZone();
    Fields f{};
    if (!breakDown(DateMillisecondsSince1970(m_time), zone->icuIdentifier(), f)) return nullptr;
    std::string in = format->UTF8String(), out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%' || i + 1 == in.size()) {
            out += in[i];
            continue;
        }
        char c = in[++i];
        switch (c) {
        case '%': out += '%'; break;
        case 'Y': out += std::to_string(f.year); break;
        case 'y': out += number(std::abs(f.year) % 100, 2); break;
        case 'm': out += number(f.month, 2); break;
        case 'd': out += number(f.day, 2); break;
        case 'e': out += std::to_string(f.day); break;
        case 'H': out += number(f.hour, 2); break;
        case 'I': out += number(f.hour % 12 == 0 ? 12 : f.hour % 12, 2); break;
        case 'p': out += f.hour < 12 ? "AM" : "PM"; break;
        case 'M': out += number(f.minute, 2); break;
        case 'S': out += number(f.second, 2); break;
        case 'F': out += number(f.millisecond, 3); break;
        case 'j': out += number(f.dayOfYear, 3); break;
        case 'w': out += std::to_string(f.weekday); break;
        case 'a': out += std::string(kWeekdays[f.weekday], 3); break;
        case 'A': out += kWeekdays[f.weekday]; break;
        case 'b': out += std::string(kMonths[f.month - 1], 3); break;
        case 'B': out += kMonths[f.month - 1]; break;
        case 'z': {
            int32_t magnitude = std::abs(f.offsetSeconds);
            out += f.offsetSeconds < 0 ? '-' : '+';
            out += number(magnitude / 3600, 2) + number(magnitude / 60 % 60, 2);
            break;
        }
        default:
            // Unknown directives are kept as written.
            out += '%';
            out += c;
        }
    }
    return NSString::stringWithUTF8String(out);
}
