#pragma once
// Boxed numbers that remember their C type, so archives and user defaults keep
// float apart from double and BOOL apart from integers.
#include <string>

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// The shortest decimal text, %g style, that reads back as the same value
// ("10", "0.5", "0.1", "1e+21"); with asFloat, as the same float.
std::string ShortestDecimalText(double value, bool asFloat = false);

class NSNumber : public NSObject {
    NS_OBJECT(NSNumber, NSObject)
protected:
    NSNumber() = default;

public:
    enum class Kind { Bool, Char, Short, Int, Integer, Unsigned, Float, Double };

    static Ref<NSNumber> numberWithBool(bool v);
    static Ref<NSNumber> numberWithChar(int8_t v);
    static Ref<NSNumber> numberWithShort(int16_t v);
    static Ref<NSNumber> numberWithInt(int32_t v);
    static Ref<NSNumber> numberWithInteger(NSInteger v);
    static Ref<NSNumber> numberWithLongLong(long long v) { return numberWithInteger(v); }
    static Ref<NSNumber> numberWithUnsignedInt(uint32_t v) { return numberWithUnsignedInteger(v); }
    static Ref<NSNumber> numberWithUnsignedInteger(NSUInteger v);
    static Ref<NSNumber> numberWithUnsignedLongLong(unsigned long long v) { return numberWithUnsignedInteger(v); }
    static Ref<NSNumber> numberWithFloat(float v);
    static Ref<NSNumber> numberWithDouble(double v);

    Kind kind() const { return m_kind; }
    bool isFloatingPoint() const { return m_kind == Kind::Float || m_kind == Kind::Double; }
    // The Objective-C type code of the stored value ("c", "s", "i", "q", "Q", "f", "d"; BOOL is "c").
    const char* objCType() const;

    bool boolValue() const;
    int8_t charValue() const { return static_cast<int8_t>(integerValue()); }
    int16_t shortValue() const { return static_cast<int16_t>(integerValue()); }
    int32_t intValue() const { return static_cast<int32_t>(integerValue()); }
    uint32_t unsignedIntValue() const { return static_cast<uint32_t>(unsignedIntegerValue()); }
    long long longLongValue() const { return integerValue(); }
    unsigned long long unsignedLongLongValue() const { return unsignedIntegerValue(); }
    NSInteger integerValue() const;
    NSUInteger unsignedIntegerValue() const;
    uint64_t unsignedLongValue() const { return unsignedIntegerValue(); }
    float floatValue() const { return static_cast<float>(doubleValue()); }
    double doubleValue() const;
    virtual Ref<NSString> stringValue() const;

    // -1, 0 or 1, comparing exact values across kinds. NaN equals NaN and
    // orders before every other number, so sorting and hashing stay consistent.
    int compare(const Ref<NSNumber>& other) const;
    bool isEqualToNumber(const Ref<NSNumber>& other) const;
    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    // Integers their digits, BOOL 1 or 0, floating point the shortest text
    // that reads back as the same value.
    Ref<NSString> description() const override { return stringValue(); }
    Id copy() const override { return const_cast<NSNumber*>(this); }

protected:
    void setDouble(double v)
    {
        m_kind = Kind::Double;
        m_double = v;
    }

private:
    static Ref<NSNumber> make(Kind kind, int64_t i, uint64_t u, double d);
    Kind m_kind = Kind::Integer;
    int64_t m_integer = 0;
    uint64_t m_unsigned = 0;
    double m_double = 0;
};
