#pragma once
// Texts of the main string table, looked up by key in the main bundle.
#include "Foundation/NSString.h"

namespace AppText {
Ref<NSString> text(const char* key);
}
