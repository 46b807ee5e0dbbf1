#pragma once
// NSUserDefaults(KQAppKitExtensions): colours kept in the defaults as
// non-keyed archives.
#include "AppKit/NSColor.h"
#include "Foundation/NSUserDefaults.h"

namespace NSUserDefaultsExt {

// Stores the colour's archive under the key; a nil colour removes the key.
void setColor(const Ref<NSUserDefaults>& defaults, const Ref<NSColor>& color, const Ref<NSString>& key);
// The colour archived under the key; nil when the key holds no data, or data
// that is not a colour's archive (logged).
Ref<NSColor> colorForKey(const Ref<NSUserDefaults>& defaults, const Ref<NSString>& key);

}
