#pragma once
// Reading the application's colours from the user defaults.
#include "AppKit/NSColor.h"

namespace AppDefaults {
// The colour archived under the key, black when there is none or it is damaged.
Ref<NSColor> colorForKey(const char* key);
}
