#pragma once
// Boxed numbers that remember their C type, so archives and user defaults keep
// float apart from double and BOOL apart from integers.
#include "Foundation/NSObject.h"

class NSNumber : public NSObject {
    NS_OBJECT(NSNumber, NSObject)
public:
    enum class Kind { Bool, Char, Short, Int, Integer, Unsigned, Float, Double };

    NSNumber() = default;
    static Ref<NSNumber> numberWithBool(bool v);
    static Ref<NSNumber> numberWithChar(int8_t v);
    static Ref<NSNumber> numberWithShort(int16_t v);
    static Ref<NSNumber> numberWithInt(int32_t v);
    static Ref<NSNumber> numberWithInteger(NSInteger v);
    static Ref<NSNumber> numberWithUnsignedInt(uint32_t v) { return numberWithUnsignedInteger(v); }
    static Ref<NSNumber> numberWithUnsignedInteger(NSUInteger v);
    static Ref<NSNumber> numberWithFloat(float v);
    static Ref<NSNumber> numberWithDouble(double v);

    Kind kind() const { return m_kind; }
    bool isFloatingPoint() const { return m_kind == Kind::Float || m_kind == Kind::Double; }
    // The Objective-C type code of the stored value ("c", "s", "i", "q", "Q", "f", "d"; BOOL is "c").
    const char* objCType() const;

    bool boolValue() const;
    int8_t charValue() const { return static_cast<int8_t>(integerValue()); }
    int32_t intValue() const { return static_cast<int32_t>(integerValue()); }
    NSInteger integerValue() const;
    NSUInteger unsignedIntegerValue() const;
    uint64_t unsignedLongValue() const { return unsignedIntegerValue(); }
    float floatValue() const { return static_cast<float>(doubleValue()); }
    double doubleValue() const;
    Ref<NSString> stringValue() const;

    // -1, 0 or 1, comparing exact values across kinds.
    int compare(const Ref<NSNumber>& other) const;
    bool isEqualToNumber(const Ref<NSNumber>& other) const;
    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override { return stringValue(); }
    Id copy() const override { return const_cast<NSNumber*>(this); }

private:
    static Ref<NSNumber> make(Kind kind, int64_t i, uint64_t u, double d);
    Kind m_kind = Kind::Integer;
    int64_t m_integer = 0;
    uint64_t m_unsigned = 0;
    double m_double = 0;
};

// [NSNull null]: the one object that stands for "no value" in collections.
class NSNull : public NSObject {
    NS_OBJECT(NSNull, NSObject)
public:
    NSNull() = default;
    static Ref<NSNull> null();
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSNull*>(this); }
};
