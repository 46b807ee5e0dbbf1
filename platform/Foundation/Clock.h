#pragma once
// The process clock. It reads real time until a test switches it to a virtual
// clock, which moves only when someone advances it. Timers, NSDate, event
// time stamps and animations all read this one clock, so a test that advances
// it sees every time-driven behaviour move together.
#include "Foundation/NSTypes.h"

namespace Clock {

// Absolute time: seconds since the reference date (CFAbsoluteTimeGetCurrent).
NSTimeInterval now();
// Seconds since a fixed point in the past (system start on the real clock);
// event time stamps use it.
NSTimeInterval systemUptime();

// Switches to the virtual clock, starting at the given absolute time or, in
// the second form, at the current real time.
void useVirtualClock(NSTimeInterval startTime);
void useVirtualClock();
void useRealClock();
bool isVirtual();

// Moves the virtual clock forward and wakes every run loop so that each sees
// the new time. The clock never goes back: a time in the past is ignored.
// Raises NSInternalInconsistencyException on the real clock.
void advance(NSTimeInterval seconds);
void advanceTo(NSTimeInterval time);

// With this set, a run loop that has nothing to do before a date jumps the
// virtual clock to that date instead of waiting for someone to advance it.
// Off by default: time moves only when a test says so.
void setAdvancesWhenIdle(bool flag);
bool advancesWhenIdle();

}
