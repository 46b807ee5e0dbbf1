#pragma once
// The one log sink of the process. Messages go to standard error unless a
// test installs a sink of its own.
#include <functional>
#include <string>

#include "Foundation/NSString.h"

using LogSink = std::function<void(const std::string& message)>;

// Installs a sink and answers the previous one; an empty sink restores stderr.
LogSink SetLogSink(LogSink sink);
void LogMessage(const Ref<NSString>& message);

template <class... A> void NSLog(const char* format, const A&... args)
{
    LogMessage(NSString::stringWithFormat(format, args...));
}
template <class... A> void NSLog(const Ref<NSString>& format, const A&... args)
{
    LogMessage(NSString::stringWithFormat(format, args...));
}
