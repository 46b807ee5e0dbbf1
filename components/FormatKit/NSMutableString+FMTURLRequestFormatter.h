#pragma once
// NSMutableString(FMTURLRequestFormatter): builds command lines.
#include "Foundation/NSString.h"

namespace NSMutableStringExt {

// Appends one space and the argument with spaces and tabs (not line breaks)
// trimmed from both ends.
void appendCommandLineArgument(const Ref<NSMutableString>& line, const Ref<NSString>& argument);

}
