#pragma once
// The system user-interface mode (menu bar and Dock shown, hidden or
// suppressed). There is no Dock or system menu bar to hide here: the mode is
// only recorded and answered back.
#include "Carbon/CarbonTypes.h"

using SystemUIMode = UInt32;
using SystemUIOptions = OptionBits;

enum : SystemUIMode {
    kUIModeNormal = 0,
    kUIModeContentSuppressed = 1,
    kUIModeContentHidden = 2,
    kUIModeAllHidden = 3,
    kUIModeAllSuppressed = 4,
};

// paramErr for an unknown mode.
OSStatus SetSystemUIMode(SystemUIMode inMode, SystemUIOptions inOptions);
// Either pointer may be null.
void GetSystemUIMode(SystemUIMode* outMode, SystemUIOptions* outOptions);
