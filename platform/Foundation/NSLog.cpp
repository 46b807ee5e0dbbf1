#include "Foundation/NSLog.h"

#include <cstdio>
#include <mutex>
#include <unistd.h>

#include "Foundation/ConsoleLog.h"

namespace {
std::mutex& sinkLock()
{
    static std::mutex m;
    return m;
}
LogSink& currentSink()
{
    static LogSink sink;
    return sink;
}
}

LogSink SetLogSink(LogSink sink)
{
    std::lock_guard lock(sinkLock());
    return std::exchange(currentSink(), std::move(sink));
}

void LogMessage(const Ref<NSString>& message)
{
    std::string text = message ? message->UTF8String() : "(null)";
    {
        std::lock_guard lock(sinkLock());
        if (currentSink()) {
            currentSink()(text);
            return;
        }
        std::fprintf(stderr, "%s[%d] %s\n", program_invocation_short_name, getpid(), text.c_str());
    }
    // The program's own console log, which the crash reporter reads back.
    ConsoleLogAppend(text);
}
