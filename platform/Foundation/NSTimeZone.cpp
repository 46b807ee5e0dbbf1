#include "Foundation/NSTimeZone.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unicode/ucal.h>

#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSTimeZone)

namespace {
struct Zones {
    std::mutex lock;
    Ref<NSTimeZone> system, byDefault;
};
Zones& zones()
{
    static auto* z = new Zones;
    return *z;
}
}

Ref<NSTimeZone> NSTimeZone::make(std::u16string icuID, const Ref<NSString>& name)
{
    auto z = alloc<NSTimeZone>();
    z->m_icuID = std::move(icuID);
    z->m_name = name;
    return z;
}

Ref<NSTimeZone> NSTimeZone::timeZoneWithName(const Ref<NSString>& name)
{
    if (!name || name->length() == 0) return nullptr;
    UChar canonical[128];
    UBool isSystemID = false;
    UErrorCode status = U_ZERO_ERROR;
    ucal_getCanonicalTimeZoneID(reinterpret_cast<const UChar*>(name->utf16().data()),
                                static_cast<int32_t>(name->length()), canonical, 128, &isSystemID, &status);
    if (U_FAILURE(status)) return nullptr;
    return make(name->utf16(), static_ref_cast<NSString>(name->copy()));
}

Ref<NSTimeZone> NSTimeZone::timeZoneForSecondsFromGMT(NSInteger seconds)
{
    if (seconds > 18 * 3600 || seconds < -18 * 3600) return nullptr;
    NSInteger magnitude = seconds < 0 ? -seconds : seconds;
    char sign = seconds < 0 ? '-' : '+';
    char icu[32], name[32];
    long h = magnitude / 3600, m = magnitude / 60 % 60, s = magnitude % 60;
    if (s) std::snprintf(icu, sizeof icu, "GMT%c%02ld:%02ld:%02ld", sign, h, m, s);
    else std::snprintf(icu, sizeof icu, "GMT%c%02ld:%02ld", sign, h, m);
    if (seconds == 0) std::snprintf(name, sizeof name, "GMT");
    else std::snprintf(name, sizeof name, "GMT%c%02ld%02ld", sign, h, m);
    std::u16string id(icu, icu + std::strlen(icu));
    return make(std::move(id), NSString::stringWithUTF8String(name));
}

static Ref<NSTimeZone> hostTimeZone()
{
    UChar id[128];
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucal_getHostTimeZone(id, 128, &status);
    if (U_FAILURE(status) || length <= 0 || length > 128) return NSTimeZone::timeZoneForSecondsFromGMT(0);
    std::u16string text(reinterpret_cast<const char16_t*>(id), static_cast<size_t>(length));
    // ICU answers "Etc/Unknown" for a TZ it cannot read; GMT is the useful stand-in.
    if (text == u"Etc/Unknown") return NSTimeZone::timeZoneForSecondsFromGMT(0);
    return NSTimeZone::timeZoneWithName(NSString::stringWithUTF16(text));
}

Ref<NSTimeZone> NSTimeZone::systemTimeZone()
{
    std::lock_guard guard(zones().lock);
    if (!zones().system) zones().system = hostTimeZone();
    return zones().system;
}

void NSTimeZone::resetSystemTimeZone()
{
    Ref<NSTimeZone> old;
    std::lock_guard guard(zones().lock);
    old = std::move(zones().system);
    zones().system = nullptr;
}

Ref<NSTimeZone> NSTimeZone::defaultTimeZone()
{
    {
        std::lock_guard guard(zones().lock);
        if (zones().byDefault) return zones().byDefault;
    }
    return systemTimeZone();
}

void NSTimeZone::setDefaultTimeZone(const Ref<NSTimeZone>& zone)
{
    Ref<NSTimeZone> old;
    std::lock_guard guard(zones().lock);
    old = std::exchange(zones().byDefault, zone);
}

NSInteger NSTimeZone::secondsFromGMT() const { return secondsFromGMTForDate(NSDate::date()); }

NSInteger NSTimeZone::secondsFromGMTForDate(const Ref<NSDate>& date) const
{
    UErrorCode status = U_ZERO_ERROR;
    UCalendar* cal = ucal_open(reinterpret_cast<const UChar*>(m_icuID.data()), static_cast<int32_t>(m_icuID.size()),
                               "en_US_POSIX", UCAL_GREGORIAN, &status);
    if (U_FAILURE(status)) return 0;
    double seconds = date ? date->timeIntervalSince1970() : 0;
    ucal_setMillis(cal, std::floor(seconds) * 1000.0, &status);
    int32_t offset = ucal_get(cal, UCAL_ZONE_OFFSET, &status) + ucal_get(cal, UCAL_DST_OFFSET, &status);
    ucal_close(cal);
    return U_FAILURE(status) ? 0 : offset / 1000;
}

bool NSTimeZone::isEqual(const NSObject* other) const
{
    auto* z = dynamic_cast<const NSTimeZone*>(other);
    return z && z->m_icuID == m_icuID;
}

NSUInteger NSTimeZone::hash() const { return std::hash<std::u16string>()(m_icuID); }
