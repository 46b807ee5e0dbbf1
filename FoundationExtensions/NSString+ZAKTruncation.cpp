#include "FoundationExtensions/NSString+ZAKTruncation.h"

namespace NSStringExt {

Ref<NSString> ellipsis()
{
    static const Ref<NSString> text = u"\u2026"_ns;
    return text;
}

Ref<NSString> stringWithEllipsisByTruncatingToLength(const Ref<NSString>& string, NSUInteger length)
{
    if (string->length() <= length || length == 0) return static_ref_cast<NSString>(string->copy());
    NSUInteger cut = length - 1;
    const unichar last = cut > 0 ? string->characterAtIndex(cut - 1) : 0;
    if (last >= 0xD800 && last <= 0xDBFF) --cut;
    return string->substringToIndex(cut)->stringByAppendingString(ellipsis());
}

}
