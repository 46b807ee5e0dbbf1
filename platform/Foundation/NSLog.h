#pragma once
// The one log sink of the process. Messages go to standard error unless a
// test installs a sink of its own.
#include <functional>
#include <string>

#include "Foundation/NSString.h"

using NSLogSink = std::function<void(const std::string& message)>;

// Installs a sink and answers the previous one; an empty sink restores stderr.
NSLogSink NSSetLogSink(NSLogSink sink);
void NSLogMessage(const Ref<NSString>& message);

template <class... A> void NSLog(const char* format, const A&... args)
{
    NSLogMessage(NSString::stringWithFormat(format, args...));
}
template <class... A> void NSLog(const Ref<NSString>& format, const A&... args)
{
    NSLogMessage(NSString::stringWithFormat(format, args...));
}
