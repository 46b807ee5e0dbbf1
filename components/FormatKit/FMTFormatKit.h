#pragma once
// What the kit's formatters share: every word they show comes from the main
// bundle's string table "ZAKFMTFormatKit" (a missing entry shows its key),
// and those that cannot read text back refuse it the same way.
#include "Foundation/NSString.h"

// The entry for the key, else the value, else the key itself.
Ref<NSString> FMTLocalizedString(const char* key, const Ref<NSString>& value = nullptr);

// getObjectValue of a formatter that reads nothing: NO, with the localized
// "Method Not Implemented" as the description.
bool FMTRefuseParsing(Id* object, Ref<NSString>* error);
