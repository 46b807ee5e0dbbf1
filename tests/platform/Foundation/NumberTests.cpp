// NSNumber.h first: it must compile with nothing included before it.
#include "Foundation/NSNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Foundation/NSDecimalNumber.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSGeometryStrings.h"
#include "Foundation/NSValue.h"

namespace {

using N = Ref<NSNumber>;

}

TEST(Number, EqualityAcrossKindsComparesExactValues)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        N a, b;
        int expected;  // compare(a, b)
    } cases[] = {
        {"int and double", NSNumber::numberWithInt(3), NSNumber::numberWithDouble(3.0), 0},
        {"bool and int", NSNumber::numberWithBool(true), NSNumber::numberWithInt(1), 0},
        {"char and unsigned", NSNumber::numberWithChar(-1), NSNumber::numberWithUnsignedInteger(NSUIntegerMax), -1},
        {"float and its widened double", NSNumber::numberWithFloat(0.56f),
         NSNumber::numberWithDouble(static_cast<double>(0.56f)), 0},
        {"float and the nearby double", NSNumber::numberWithFloat(0.56f), NSNumber::numberWithDouble(0.56), 1},
        {"float 0.1 and double 0.1", NSNumber::numberWithFloat(0.1f), NSNumber::numberWithDouble(0.1), 1},
        {"2^53 + 1 and 2^53", NSNumber::numberWithInteger((1LL << 53) + 1),
         NSNumber::numberWithDouble(9007199254740992.0), 1},
        {"largest unsigned and largest signed", NSNumber::numberWithUnsignedInteger(NSUIntegerMax),
         NSNumber::numberWithInteger(NSIntegerMax), 1},
        {"unsigned 2^63 and double 2^63", NSNumber::numberWithUnsignedInteger(1ULL << 63),
         NSNumber::numberWithDouble(9223372036854775808.0), 0},
        {"negative zero and zero", NSNumber::numberWithDouble(-0.0), NSNumber::numberWithInt(0), 0},
        {"NaN and NaN", NSNumber::numberWithDouble(nan), NSNumber::numberWithFloat(std::nanf("")), 0},
        {"NaN orders first", NSNumber::numberWithDouble(nan),
         NSNumber::numberWithInteger(std::numeric_limits<NSInteger>::min()), -1},
        {"long long and short", NSNumber::numberWithLongLong(-5), NSNumber::numberWithShort(-5), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a->compare(c.b), c.expected) << c.name;
        EXPECT_EQ(c.b->compare(c.a), -c.expected) << c.name;
        EXPECT_EQ(c.a->isEqual(c.b.get()), c.expected == 0) << c.name;
        // Equal numbers hash alike, so they find each other as keys.
        if (c.expected == 0) {
            EXPECT_EQ(c.a->hash(), c.b->hash()) << c.name;
            auto d = NSDictionary::dictionaryWithObjectForKey("found"_ns, c.a);
            EXPECT_TRUE(d->objectForKey(c.b)) << c.name;
        }
    }
}

TEST(Number, DescriptionsAndAccessors)
{
    struct Case {
        N number;
        const char* text;
    } cases[] = {
        {NSNumber::numberWithBool(true), "1"},
        {NSNumber::numberWithBool(false), "0"},
        {NSNumber::numberWithInt(-42), "-42"},
        {NSNumber::numberWithUnsignedInteger(NSUIntegerMax), "18446744073709551615"},
        {NSNumber::numberWithUnsignedInt(4000000000u), "4000000000"},
        {NSNumber::numberWithDouble(10), "10"},
        {NSNumber::numberWithDouble(0.1), "0.1"},
        {NSNumber::numberWithDouble(1.0 / 3), "0.3333333333333333"},
        {NSNumber::numberWithDouble(static_cast<double>(0.56f)), "0.5600000023841858"},
        {NSNumber::numberWithFloat(0.56f), "0.56"},
        {NSNumber::numberWithDouble(1e21), "1e+21"},
        {NSNumber::numberWithDouble(0.0001), "0.0001"},
        {NSNumber::numberWithDouble(-2.5), "-2.5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.number->description()->UTF8String(), c.text);
        EXPECT_EQ(c.number->stringValue()->UTF8String(), c.text);
    }
    auto big = NSNumber::numberWithUnsignedLongLong(NSUIntegerMax);
    EXPECT_EQ(big->unsignedLongLongValue(), NSUIntegerMax);
    EXPECT_EQ(big->unsignedIntValue(), 0xFFFFFFFFu);
    EXPECT_EQ(NSNumber::numberWithInt(70000)->shortValue(), static_cast<int16_t>(70000));
    EXPECT_EQ(NSNumber::numberWithDouble(-3.9)->longLongValue(), -3);
    EXPECT_STREQ(NSNumber::numberWithFloat(1)->objCType(), "f");
}

TEST(Number, DecimalSumsStayExact)
{
    auto sum = NSDecimalNumber::zero();
    // Summed from the last element to the first, as callers do.
    const char* values[] = {"0.1", "0.2", "-0.05", "1e2", "12.345"};
    for (int i = 4; i >= 0; --i)
        sum = sum->decimalNumberByAdding(
            NSDecimalNumber::decimalNumberWithString(NSString::stringWithUTF8String(values[i])));
    EXPECT_EQ(sum->description()->UTF8String(), "112.595");
    EXPECT_DOUBLE_EQ(sum->doubleValue(), 112.595);
    EXPECT_TRUE(sum->isEqual(NSNumber::numberWithDouble(112.595).get()));

    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"0", "0"},      {"-0.0", "0"},
        {"1.50", "1.5"}, {"+7", "7"},
        {"-.5", "-0.5"}, {"2.5e-3", "0.0025"},
        {"12abc", "12"}, {"abc", "NaN"},
        {"", "NaN"},     {"123456789012345678901234", "123456789012345678900000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NSDecimalNumber::decimalNumberWithString(NSString::stringWithUTF8String(c.text))
                      ->stringValue()
                      ->UTF8String(),
                  c.expected)
            << c.text;
    EXPECT_EQ(
        NSDecimalNumber::zero()->decimalNumberByAdding(NSDecimalNumber::notANumber())->stringValue()->UTF8String(),
        "NaN");
    // Mantissas that overflow when aligned lose low digits, not magnitude.
    auto huge = NSDecimalNumber::decimalNumberWithString("18000000000000000000"_ns);
    EXPECT_NEAR(huge->decimalNumberByAdding(huge)->doubleValue(), 3.6e19, 1e5);
    EXPECT_EQ(NSDecimalNumber::decimalNumberWithString("0.1"_ns)
                  ->decimalNumberByAdding(NSDecimalNumber::decimalNumberWithString("-0.3"_ns))
                  ->stringValue()
                  ->UTF8String(),
              "-0.2");
}

TEST(Number, GeometryStringsRoundTrip)
{
    EXPECT_EQ(NSStringFromRange(NSMakeRange(3, 40))->UTF8String(), "{3, 40}");
    EXPECT_EQ(NSStringFromPoint(NSMakePoint(10, 0.5))->UTF8String(), "{10, 0.5}");
    EXPECT_EQ(NSStringFromSize(NSMakeSize(-2, 1e-7))->UTF8String(), "{-2, 1e-07}");
    EXPECT_EQ(NSStringFromRect(NSMakeRect(1.25, 2, 300, 0.1))->UTF8String(), "{{1.25, 2}, {300, 0.1}}");

    NSRect r = NSMakeRect(0.1, -7.5, 1.0 / 3, 1234567.0);
    EXPECT_EQ(NSRectFromString(NSStringFromRect(r)), r);
    EXPECT_EQ(NSRangeFromString("{12, 5}"_ns), NSMakeRange(12, 5));
    EXPECT_EQ(NSPointFromString("{+3, -4.5}"_ns), NSMakePoint(3, -4.5));
    EXPECT_EQ(NSSizeFromString("{7"_ns), NSMakeSize(7, 0));
    EXPECT_EQ(NSRectFromString("garbage"_ns), NSZeroRect);
    EXPECT_EQ(NSRangeFromString(nullptr), NSMakeRange(0, 0));
}

TEST(Number, NonretainedObjectValueReadsNilOnceTheObjectIsGone)
{
    Ref<NSValue> value, same;
    {
        auto object = NSString::stringWithUTF8String("held elsewhere");
        value = NSValue::valueWithNonretainedObject(object);
        same = NSValue::valueWithNonretainedObject(object);
        EXPECT_EQ(object->retainCount(), 1u);
        EXPECT_EQ(value->nonretainedObjectValue().get(), object.get());
        EXPECT_TRUE(value->isEqual(same.get()));
    }
    EXPECT_FALSE(value->nonretainedObjectValue());
    EXPECT_TRUE(value->isEqual(same.get()));
    int x = 0;
    EXPECT_EQ(NSValue::valueWithPointer(&x)->pointerValue(), &x);
    EXPECT_TRUE(NSValue::valueWithPointer(&x)->isEqual(NSValue::valueWithPointer(&x).get()));
    EXPECT_EQ(NSValue::valueWithRect(NSMakeRect(1, 2, 3, 4.5))->description()->UTF8String(),
              "NSRect: {{1, 2}, {3, 4.5}}");
}
