#pragma once
// NSMutableString(ZAKCSVAdditions): the in-place edits of a CSV field.
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSString.h"

namespace NSMutableStringExt {

// Deletes as many characters as `s` has from the start and then from the
// end, without comparing them with `s` (so "\"" strips one enclosing quote
// from each end); a string too short to lose them all ends up empty.
void trimString_csv(const Ref<NSMutableString>& string, const Ref<NSString>& s);
// Trims characters of the set from both ends.
void trimCharactersInSet_csv(const Ref<NSMutableString>& string, const Ref<NSCharacterSet>& set);
// Replaces every occurrence, literally, over the whole string.
void replaceOccurrencesOfString_withString_csv(const Ref<NSMutableString>& string, const Ref<NSString>& target,
                                               const Ref<NSString>& replacement);

}
