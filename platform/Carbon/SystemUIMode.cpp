#include "Carbon/SystemUIMode.h"

#include <atomic>

namespace {

std::atomic<SystemUIMode> g_mode{kUIModeNormal};
std::atomic<SystemUIOptions> g_options{0};

}

OSStatus SetSystemUIMode(SystemUIMode inMode, SystemUIOptions inOptions)
{
    if (inMode > kUIModeAllSuppressed) return paramErr;
    g_mode.store(inMode);
    g_options.store(inOptions);
    return noErr;
}

void GetSystemUIMode(SystemUIMode* outMode, SystemUIOptions* outOptions)
{
    if (outMode) *outMode = g_mode.load();
    if (outOptions) *outOptions = g_options.load();
}
