#pragma once
// NSString(ZAKTruncation): cutting a text to a length with an ellipsis, as
// tab titles are shortened.
#include "Foundation/NSString.h"

namespace NSStringExt {

// The one-character string U+2026 (horizontal ellipsis).
Ref<NSString> ellipsis();
// A string longer than the length becomes its first length - 1 characters
// followed by the ellipsis, so it has exactly that length; a cut that would
// split a surrogate pair keeps the whole pair out (one character shorter).
// A shorter string, and any string at length 0, is answered as a copy.
Ref<NSString> stringWithEllipsisByTruncatingToLength(const Ref<NSString>& string, NSUInteger length);

}
