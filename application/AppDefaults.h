#pragma once
// Reading the application's colours and hot key from the user defaults.
#include "AppKit/NSColor.h"

namespace AppDefaults {
// The colour archived under the key, black when there is none or it is damaged.
Ref<NSColor> colorForKey(const char* key);
// The stored "GuidelineKeyCode": a virtual key code (16 bits), or -1 for no
// hot key when it is negative. A value outside that range is damaged: it is logged and read as -1,
// never cut down to another key.
NSInteger hotKeyCode();
}
