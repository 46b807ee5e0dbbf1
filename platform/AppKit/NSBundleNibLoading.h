#pragma once
// NSBundle's loading of interface files (loadNibNamed:owner:).
#include "AppKit/NSNib.h"

namespace NSBundleExt {

// Loads the main bundle's interface file with `owner` as its owner; the
// top-level objects stay alive. Answers NO (with one log line) for a missing
// or malformed file.
bool loadNibNamed(const Ref<NSString>& name, const Id& owner);

}
