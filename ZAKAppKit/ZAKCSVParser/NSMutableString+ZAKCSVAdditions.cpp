#include "ZAKAppKit/ZAKCSVParser/NSMutableString+ZAKCSVAdditions.h"

#include <algorithm>

namespace NSMutableStringExt {

void trimString_csv(const Ref<NSMutableString>& string, const Ref<NSString>& s)
{
    if (!string || !s) return;
    NSUInteger count = std::min(s->length(), string->length());
    string->deleteCharactersInRange(NSMakeRange(0, count));
    count = std::min(s->length(), string->length());
    string->deleteCharactersInRange(NSMakeRange(string->length() - count, count));
}

void trimCharactersInSet_csv(const Ref<NSMutableString>& string, const Ref<NSCharacterSet>& set)
{
    if (!string || !set) return;
    string->setString(string->stringByTrimmingCharactersInSet(set));
}

void replaceOccurrencesOfString_withString_csv(const Ref<NSMutableString>& string, const Ref<NSString>& target,
                                               const Ref<NSString>& replacement)
{
    if (!string || !target || !replacement || !target->length()) return;
    string->replaceOccurrencesOfString(target, replacement, NSLiteralSearch, NSMakeRange(0, string->length()));
}

}
