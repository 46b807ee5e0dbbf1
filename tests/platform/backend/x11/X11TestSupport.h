#pragma once
// What the X11 test programs share: running the program's loop until the
// server has answered.
#include <chrono>
#include <functional>

#include "AppKit/NSApplication.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"

// Dispatches events and runs the loop until the condition holds (five
// seconds at most); answers the condition.
inline bool waitFor(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        while (auto e = NSApp->nextEventMatchingMask(NSAnyEventMask, NSDate::dateWithTimeIntervalSinceNow(0.01),
                                                     NSDefaultRunLoopMode, true))
            NSApp->sendEvent(e);
        if (condition()) return true;
    }
    return condition();
}
