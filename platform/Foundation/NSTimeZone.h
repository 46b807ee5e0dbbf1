#pragma once
// Time zones through ICU: named zones, fixed offsets from GMT, and the
// system zone (the TZ environment variable, else the host's setting).
#include <string>

#include "Foundation/NSObject.h"

class NSDate;

class NSTimeZone : public NSObject {
    NS_OBJECT(NSTimeZone, NSObject)
protected:
    NSTimeZone() = default;

public:
    // nil for a name ICU does not know.
    static Ref<NSTimeZone> timeZoneWithName(const Ref<NSString>& name);
    // A zone at a fixed offset (named like "GMT+0100"); nil beyond 18 hours.
    static Ref<NSTimeZone> timeZoneForSecondsFromGMT(NSInteger seconds);
    // Read once and kept until resetSystemTimeZone.
    static Ref<NSTimeZone> systemTimeZone();
    static void resetSystemTimeZone();
    // The process's zone: the default zone when one was set, else the system zone.
    static Ref<NSTimeZone> defaultTimeZone();
    static void setDefaultTimeZone(const Ref<NSTimeZone>& zone);
    static Ref<NSTimeZone> localTimeZone() { return defaultTimeZone(); }

    const Ref<NSString>& name() const { return m_name; }
    NSInteger secondsFromGMT() const;
    NSInteger secondsFromGMTForDate(const Ref<NSDate>& date) const;
    // The zone identifier ICU's calendars take.
    const std::u16string& icuIdentifier() const { return m_icuID; }

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override { return m_name; }
    Id copy() const override { return const_cast<NSTimeZone*>(this); }

private:
    static Ref<NSTimeZone> make(std::u16string icuID, const Ref<NSString>& name);
    Ref<NSString> m_name;
    std::u16string m_icuID;
};
