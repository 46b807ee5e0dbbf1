#include "Foundation/NSDecimalNumber.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "Foundation/NSClass.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSDecimalNumber)

static constexpr uint64_t kMaxMantissa = std::numeric_limits<uint64_t>::max();

static std::string decimalText(bool negative, uint64_t mantissa, int exponent)
{
    if (mantissa == 0) return "0";
    std::string digits = std::to_string(mantissa);
    std::string text;
    if (negative) text += '-';
    if (exponent >= 0) {
        text += digits;
        text.append(static_cast<size_t>(exponent), '0');
        return text;
    }
    size_t fraction = static_cast<size_t>(-exponent);
    if (digits.size() <= fraction) {
        text += "0.";
        text.append(fraction - digits.size(), '0');
        text += digits;
        return text;
    }
    text.append(digits, 0, digits.size() - fraction);
    text += '.';
    text.append(digits, digits.size() - fraction, std::string::npos);
    return text;
}

Ref<NSDecimalNumber> NSDecimalNumber::make(bool negative, uint64_t mantissa, int exponent, bool nan)
{
    auto n = alloc<NSDecimalNumber>();
    // Keep one form per value: no trailing zeros in the mantissa, no -0.
    while (mantissa && mantissa % 10 == 0 && exponent < 127) mantissa /= 10, ++exponent;
    if (mantissa == 0) negative = false, exponent = 0;
    n->m_negative = negative;
    n->m_mantissa = mantissa;
    n->m_exponent = exponent;
    n->m_nan = nan;
    if (nan) {
        n->setDouble(std::numeric_limits<double>::quiet_NaN());
    } else {
        std::string text = decimalText(negative, mantissa, exponent);
        double d = 0;
        std::from_chars(text.data(), text.data() + text.size(), d);
        n->setDouble(d);
    }
    return n;
}

Ref<NSDecimalNumber> NSDecimalNumber::zero()
{
    static NSDecimalNumber* instance = make(false, 0, 0).leak();  // never destroyed
    return instance;
}

Ref<NSDecimalNumber> NSDecimalNumber::notANumber()
{
    static NSDecimalNumber* instance = make(false, 0, 0, true).leak();  // never destroyed
    return instance;
}

Ref<NSDecimalNumber> NSDecimalNumber::decimalNumberWithString(const Ref<NSString>& text)
{
    if (!text) return notANumber();
    std::string s = text->UTF8String();
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    uint64_t mantissa = 0;
    long exponent = 0;
    bool sawDigit = false, inFraction = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c == '.' && !inFraction) {
            inFraction = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        sawDigit = true;
        // Digits beyond the mantissa's room are dropped (whole-number digits
        // still count towards the exponent).
        if (mantissa <= (kMaxMantissa - 9) / 10) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
            if (inFraction) --exponent;
        } else if (!inFraction) {
            ++exponent;
        }
    }
    if (!sawDigit) return notANumber();
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) expNegative = s[j++] == '-';
        long e = 0;
        bool expDigit = false;
        for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j) {
            expDigit = true;
            if (e < 100000) e = e * 10 + (s[j] - '0');
        }
        if (expDigit) exponent += expNegative ? -e : e;
    }
    if (mantissa && (exponent > 127 || exponent < -128 - 19)) return notANumber();
    // Fold very small exponents into the mantissa's precision.
    while (exponent < -128 && mantissa) mantissa /= 10, ++exponent;
    return make(negative, mantissa, static_cast<int>(exponent));
}

Ref<NSDecimalNumber> NSDecimalNumber::decimalNumberByAdding(const Ref<NSDecimalNumber>& other) const
{
    if (!other || m_nan || other->m_nan) return notANumber();
    uint64_t a = m_mantissa, b = other->m_mantissa;
    int ea = m_exponent, eb = other->m_exponent;
    if (a == 0) return make(other->m_negative, b, eb);
    if (b == 0) return make(m_negative, a, ea);
    // Bring both to the smaller exponent; when a mantissa would overflow,
    // round the other one instead (precision beyond 19 digits is dropped).
    auto align = [](uint64_t& high, int& eh, uint64_t& low, int& el) {
        while (eh > el) {
            if (high <= kMaxMantissa / 10) {
                high *= 10, --eh;
            } else {
                low = low / 10 + (low % 10 >= 5 ? 1 : 0), ++el;
            }
        }
    };
    if (ea > eb) align(a, ea, b, eb);
    else align(b, eb, a, ea);
    int exponent = ea;
    if (m_negative == other->m_negative) {
        while (a > kMaxMantissa - b) {
            a = a / 10 + (a % 10 >= 5 ? 1 : 0);
            b = b / 10 + (b % 10 >= 5 ? 1 : 0);
            ++exponent;
        }
        return make(m_negative, a + b, exponent);
    }
    if (a >= b) return make(m_negative, a - b, exponent);
    return make(other->m_negative, b - a, exponent);
}

Ref<NSString> NSDecimalNumber::stringValue() const
{
    if (m_nan) return "NaN"_ns;
    return NSString::stringWithUTF8String(decimalText(m_negative, m_mantissa, m_exponent));
}
