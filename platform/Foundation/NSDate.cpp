#include "Foundation/NSDate.h"

#include <cstring>
#include <ctime>

#include "Foundation/NSClass.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSDate)

Ref<NSDate> NSDate::dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds)
{
    auto d = alloc<NSDate>();
    d->m_time = seconds;
    return d;
}

Ref<NSDate> NSDate::date() { return dateWithTimeIntervalSinceReferenceDate(Clock::now()); }
Ref<NSDate> NSDate::dateWithTimeIntervalSinceNow(NSTimeInterval s)
{
    return dateWithTimeIntervalSinceReferenceDate(Clock::now() + s);
}
Ref<NSDate> NSDate::dateWithTimeIntervalSince1970(NSTimeInterval s)
{
    return dateWithTimeIntervalSinceReferenceDate(s - NSTimeIntervalSince1970);
}
Ref<NSDate> NSDate::distantFuture() { return dateWithTimeIntervalSinceReferenceDate(63113904000.0); }
Ref<NSDate> NSDate::distantPast() { return dateWithTimeIntervalSinceReferenceDate(-63114076800.0); }

Ref<NSDate> NSDate::dateByAddingTimeInterval(NSTimeInterval seconds) const
{
    return dateWithTimeIntervalSinceReferenceDate(m_time + seconds);
}

int NSDate::compare(const Ref<NSDate>& other) const
{
    if (!other) return 1;
    return m_time < other->m_time ? -1 : (m_time > other->m_time ? 1 : 0);
}

Ref<NSDate> NSDate::earlierDate(const Ref<NSDate>& other) const
{
    return !other || m_time <= other->m_time ? Ref<NSDate>(const_cast<NSDate*>(this)) : other;
}

Ref<NSDate> NSDate::laterDate(const Ref<NSDate>& other) const
{
    return !other || m_time >= other->m_time ? Ref<NSDate>(const_cast<NSDate*>(this)) : other;
}

bool NSDate::isEqual(const NSObject* other) const
{
    auto* d = dynamic_cast<const NSDate*>(other);
    return d && d->m_time == m_time;
}

NSUInteger NSDate::hash() const
{
    uint64_t bits;
    std::memcpy(&bits, &m_time, sizeof bits);
    return bits;
}

Ref<NSString> NSDate::description() const
{
    time_t seconds = static_cast<time_t>(timeIntervalSince1970());
    struct tm utc;
    gmtime_r(&seconds, &utc);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &utc);
    return NSString::stringWithUTF8String(text);
}
