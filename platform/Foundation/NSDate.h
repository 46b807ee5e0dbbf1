#pragma once
// Points in time, as seconds since 2001-01-01 00:00:00 UTC (the reference date).
#include "Foundation/NSObject.h"

inline constexpr NSTimeInterval NSTimeIntervalSince1970 = 978307200.0;

// The current absolute time (seconds since the reference date). It follows
// the process clock, which tests may replace with a virtual clock.
NSTimeInterval NSCurrentAbsoluteTime();
inline NSTimeInterval CFAbsoluteTimeGetCurrent() { return NSCurrentAbsoluteTime(); }

class NSDate : public NSObject {
    NS_OBJECT(NSDate, NSObject)
public:
    NSDate() = default;
    static Ref<NSDate> date();
    static Ref<NSDate> dateWithTimeIntervalSinceNow(NSTimeInterval seconds);
    static Ref<NSDate> dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds);
    static Ref<NSDate> dateWithTimeIntervalSince1970(NSTimeInterval seconds);
    static Ref<NSDate> distantFuture();
    static Ref<NSDate> distantPast();

    NSTimeInterval timeIntervalSinceReferenceDate() const { return m_time; }
    NSTimeInterval timeIntervalSince1970() const { return m_time + NSTimeIntervalSince1970; }
    NSTimeInterval timeIntervalSinceNow() const { return m_time - NSCurrentAbsoluteTime(); }
    NSTimeInterval timeIntervalSinceDate(const Ref<NSDate>& other) const { return m_time - other->m_time; }
    Ref<NSDate> dateByAddingTimeInterval(NSTimeInterval seconds) const;
    // -1, 0 or 1.
    int compare(const Ref<NSDate>& other) const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSDate*>(this); }

private:
    NSTimeInterval m_time = 0;
};
