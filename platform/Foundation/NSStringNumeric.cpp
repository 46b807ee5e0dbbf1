// The numeric conversions of NSString.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

#include "Foundation/NSString.h"

namespace {
bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v' || c == 0x00A0 ||
           c == 0x2028 || c == 0x2029 || (c >= 0x2000 && c <= 0x200A) || c == 0x3000;
}

size_t skipSpace(const std::u16string& s)
{
    size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    return i;
}
}

NSInteger NSString::integerValue() const
{
    const std::u16string& s = m_chars;
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
    const std::u16string& s = m_chars;
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
    return std::strtod(ascii.c_str(), nullptr);
}

bool NSString::boolValue() const
{
    const std::u16string& s = m_chars;
    size_t i = skipSpace(s);
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
    while (i < s.size() && s[i] == u'0') ++i;
    if (i >= s.size()) return false;
    char16_t c = s[i];
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}
