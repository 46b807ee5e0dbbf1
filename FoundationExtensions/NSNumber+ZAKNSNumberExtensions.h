#pragma once
// NSNumber(ZAKNSNumberExtensions): a number written as decimal, letters or
// roman numerals, as list and outline numbering shows it.
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace NSNumberExt {

// The receiver's unsignedLongValue written as
//   0  decimal ("42")
//   1  letters A-Z, bijective base 26 (1 "A", 26 "Z", 27 "AA")
//   2  letters a-z, the same
//   3  roman numerals I V X L C D M (1994 "MCMXCIV"), up to 4999 ("MMMMCMXCIX")
//   4  roman numerals i v x l c d m
// nil for any other type. 0, and a roman numeral above 4999, give "NUL".
Ref<NSString> numberToStringWithType(const Ref<NSNumber>& number, NSInteger type);

}
