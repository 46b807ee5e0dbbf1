// The numeric conversions of NSString. They never depend on the C locale:
// "1.5" is one and a half whatever setlocale says.
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <string>

#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSString.h"

namespace {
size_t skipSpace(std::u16string_view s)
{
    // White space and newlines, all of them BMP characters.
    const Ref<NSCharacterSet> space = NSCharacterSet::whitespaceAndNewlineCharacterSet();
    size_t i = 0;
    while (i < s.size() && space->characterIsMember(s[i])) ++i;
    return i;
}
}

double ParseDecimal(const std::string& ascii)
{
    if (ascii.empty()) return 0;
    // from_chars takes no "+" sign.
    const char* begin = ascii.data() + (ascii[0] == '+' ? 1 : 0);
    const char* end = ascii.data() + ascii.size();
    double value = 0;
    auto [ptr, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Out of range: infinity or zero, as strtod answers in the C locale.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
        return strtod_l(ascii.c_str(), nullptr, cLocale);
    }
    return error == std::errc() ? value : 0;
}

NSInteger NSString::integerValue() const
{
    StringChars chars(*this);
    std::u16string_view s = chars.view();
    size_t i = skipSpace(s);
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    // Accumulate as unsigned and saturate, as the platform does on overflow.
    uint64_t value = 0;
    bool overflow = false;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
        uint64_t digit = s[i] - u'0';
        if (value > (UINT64_MAX - digit) / 10) overflow = true;
        else value = value * 10 + digit;
    }
    if (negative) {
        if (overflow || value > uint64_t(INT64_MAX) + 1) return INT64_MIN;
        return value == uint64_t(INT64_MAX) + 1 ? INT64_MIN : -static_cast<int64_t>(value);
    }
    if (overflow || value > uint64_t(INT64_MAX)) return INT64_MAX;
    return static_cast<int64_t>(value);
}

int32_t NSString::intValue() const
{
    NSInteger v = integerValue();
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

double NSString::doubleValue() const
{
    // Only decimal syntax: sign, digits, fraction, exponent. "nan" and "inf"
    // are not numbers here.
    StringChars chars(*this);
    std::u16string_view s = chars.view();
    size_t i = skipSpace(s);
    std::string ascii;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ascii += static_cast<char>(s[i++]);
    size_t digits = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i, ++digits) ascii += static_cast<char>(s[i]);
    if (i < s.size() && s[i] == u'.') {
        ascii += '.';
        for (++i; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i, ++digits) ascii += static_cast<char>(s[i]);
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) exponent += static_cast<char>(s[j++]);
        size_t expDigits = 0;
        for (; j < s.size() && s[j] >= u'0' && s[j] <= u'9'; ++j, ++expDigits) exponent += static_cast<char>(s[j]);
        if (expDigits) ascii += exponent;
    }
    return ParseDecimal(ascii);
}

bool NSString::boolValue() const
{
    StringChars chars(*this);
    std::u16string_view s = chars.view();
    size_t i = skipSpace(s);
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
    while (i < s.size() && s[i] == u'0') ++i;
    if (i >= s.size()) return false;
    char16_t c = s[i];
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}
