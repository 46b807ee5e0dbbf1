#include "Foundation/NSNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "Foundation/NSClass.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSNumber)

Ref<NSNumber> NSNumber::make(Kind kind, int64_t i, uint64_t u, double d)
{
    auto n = alloc<NSNumber>();
    n->m_kind = kind;
    n->m_integer = i;
    n->m_unsigned = u;
    n->m_double = d;
    return n;
}

Ref<NSNumber> NSNumber::numberWithBool(bool v) { return make(Kind::Bool, v ? 1 : 0, v ? 1 : 0, v ? 1 : 0); }
Ref<NSNumber> NSNumber::numberWithChar(int8_t v) { return make(Kind::Char, v, static_cast<uint64_t>(v), v); }
Ref<NSNumber> NSNumber::numberWithShort(int16_t v) { return make(Kind::Short, v, static_cast<uint64_t>(v), v); }
Ref<NSNumber> NSNumber::numberWithInt(int32_t v) { return make(Kind::Int, v, static_cast<uint64_t>(v), v); }
Ref<NSNumber> NSNumber::numberWithInteger(NSInteger v)
{
    return make(Kind::Integer, v, static_cast<uint64_t>(v), static_cast<double>(v));
}
Ref<NSNumber> NSNumber::numberWithUnsignedInteger(NSUInteger v)
{
    return make(Kind::Unsigned, static_cast<int64_t>(v), v, static_cast<double>(v));
}
Ref<NSNumber> NSNumber::numberWithFloat(float v) { return make(Kind::Float, 0, 0, v); }
Ref<NSNumber> NSNumber::numberWithDouble(double v) { return make(Kind::Double, 0, 0, v); }

const char* NSNumber::objCType() const
{
    switch (m_kind) {
    case Kind::Bool:
    case Kind::Char: return "c";
    case Kind::Short: return "s";
    case Kind::Int: return "i";
    case Kind::Integer: return "q";
    case Kind::Unsigned: return "Q";
    case Kind::Float: return "f";
    case Kind::Double: return "d";
    }
    return "q";
}

bool NSNumber::boolValue() const
{
    if (isFloatingPoint()) return m_double != 0;
    return m_integer != 0;
}

NSInteger NSNumber::integerValue() const
{
    if (isFloatingPoint()) {
        // Out-of-range conversions saturate instead of being undefined.
        if (std::isnan(m_double)) return 0;
        if (m_double >= 9.2233720368547758e18) return NSIntegerMax;
        if (m_double <= -9.2233720368547758e18) return std::numeric_limits<NSInteger>::min();
        return static_cast<NSInteger>(m_double);
    }
    return m_integer;
}

NSUInteger NSNumber::unsignedIntegerValue() const
{
    if (isFloatingPoint()) {
        if (std::isnan(m_double) || m_double <= -9.2233720368547758e18) return 0;
        if (m_double >= 1.8446744073709552e19) return NSUIntegerMax;
        if (m_double < 0) return static_cast<NSUInteger>(static_cast<NSInteger>(m_double));
        return static_cast<NSUInteger>(m_double);
    }
    return m_unsigned;
}

double NSNumber::doubleValue() const
{
    if (isFloatingPoint()) return m_double;
    if (m_kind == Kind::Unsigned) return static_cast<double>(m_unsigned);
    return static_cast<double>(m_integer);
}

std::string ShortestDecimalText(double value, bool asFloat)
{
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buffer[64];
    // The shortest digits that read back as the value, from the scientific form.
    auto scientific = asFloat ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value),
                                              std::chars_format::scientific)
                              : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string_view text(buffer, scientific.ptr);
    size_t e = text.find('e');
    int digits = 0;
    for (char c : text.substr(0, e)) digits += c >= '0' && c <= '9';
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);
    // %g style with at least the integer digits, so 10 prints "10", not "1e+01".
    int precision = exponent < 17 ? std::max(digits, exponent + 1) : digits;
    auto general = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    return std::string(buffer, general.ptr);
}

Ref<NSString> NSNumber::stringValue() const
{
    switch (m_kind) {
    case Kind::Unsigned: return NSString::stringWithUTF8String(std::to_string(m_unsigned));
    case Kind::Float: return NSString::stringWithUTF8String(ShortestDecimalText(m_double, true));
    case Kind::Double: return NSString::stringWithUTF8String(ShortestDecimalText(m_double));
    default: return NSString::stringWithUTF8String(std::to_string(m_integer));
    }
}

int NSNumber::compare(const Ref<NSNumber>& other) const
{
    if (!other) return 1;
    auto sign = [](auto a, auto b) { return a < b ? -1 : (a > b ? 1 : 0); };
    bool aFloat = isFloatingPoint(), bFloat = other->isFloatingPoint();
    if (aFloat || bFloat) {
        bool aNaN = aFloat && std::isnan(m_double), bNaN = bFloat && std::isnan(other->m_double);
        if (aNaN || bNaN) return aNaN == bNaN ? 0 : (aNaN ? -1 : 1);
        // Compare exact values: a float equals a double only when the double
        // is the float's widened value.
        long double a =
            aFloat ? m_double : (m_kind == Kind::Unsigned ? (long double)m_unsigned : (long double)m_integer);
        long double b =
            bFloat ? other->m_double
                   : (other->m_kind == Kind::Unsigned ? (long double)other->m_unsigned : (long double)other->m_integer);
        return sign(a, b);
    }
    bool aU = m_kind == Kind::Unsigned, bU = other->m_kind == Kind::Unsigned;
    if (aU && bU) return sign(m_unsigned, other->m_unsigned);
    if (aU) return other->m_integer < 0 ? 1 : sign(m_unsigned, static_cast<uint64_t>(other->m_integer));
    if (bU) return m_integer < 0 ? -1 : sign(static_cast<uint64_t>(m_integer), other->m_unsigned);
    return sign(m_integer, other->m_integer);
}

bool NSNumber::isEqualToNumber(const Ref<NSNumber>& other) const { return other && compare(other) == 0; }

bool NSNumber::isEqual(const NSObject* other) const
{
    auto* n = dynamic_cast<const NSNumber*>(other);
    return n && isEqualToNumber(const_cast<NSNumber*>(n));
}

NSUInteger NSNumber::hash() const
{
    // Equal numbers of different kinds must hash alike.
    double d = doubleValue();
    if (d == 0) return 0;         // 0 and -0 are equal
    if (std::isnan(d)) return 1;  // every NaN is equal to every other
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits * 0x9E3779B97F4A7C15ull;
}
