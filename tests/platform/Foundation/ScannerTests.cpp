#include <gtest/gtest.h>

#include "Foundation/NSException.h"
#include "Foundation/NSScanner.h"

namespace {
std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }
}

TEST(Scanner, ScansNumbersAndTextInTurn)
{
    auto scanner = NSScanner::scannerWithString(u"  42 apples,\n 3.5e1 kg \u00C9T\u00C9 rest"_ns);
    NSInteger count = 0;
    ASSERT_TRUE(scanner->scanInteger(&count));
    EXPECT_EQ(count, 42);
    Ref<NSString> word;
    EXPECT_TRUE(scanner->scanString("APPLES"_ns, &word));  // not case-sensitive by default
    EXPECT_EQ(utf8(word), "apples");
    EXPECT_TRUE(scanner->scanString(","_ns, nullptr));
    double weight = 0;
    ASSERT_TRUE(scanner->scanDouble(&weight));
    EXPECT_EQ(weight, 35.0);
    Ref<NSString> unit;
    EXPECT_TRUE(scanner->scanCharactersFromSet(NSCharacterSet::letterCharacterSet(), &unit));
    EXPECT_EQ(utf8(unit), "kg");
    EXPECT_TRUE(scanner->scanString(u"\u00E9t\u00E9"_ns, nullptr));
    Ref<NSString> rest;
    EXPECT_FALSE(scanner->isAtEnd());
    EXPECT_TRUE(scanner->scanUpToString("nothing"_ns, &rest));
    EXPECT_EQ(utf8(rest), "rest");
    EXPECT_TRUE(scanner->isAtEnd());
    EXPECT_FALSE(scanner->scanUpToString("x"_ns, &rest));
}

TEST(Scanner, FailuresLeaveTheLocationUnchanged)
{
    auto scanner = NSScanner::scannerWithString(" abc 21st"_ns);
    NSInteger value = 7;
    EXPECT_FALSE(scanner->scanInteger(&value));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(scanner->scanLocation(), 0u);
    EXPECT_FALSE(scanner->scanFloat(nullptr));
    EXPECT_FALSE(scanner->scanString("abd"_ns, nullptr));
    EXPECT_EQ(scanner->scanLocation(), 0u);
    EXPECT_TRUE(scanner->scanUpToCharactersFromSet(NSCharacterSet::decimalDigitCharacterSet(), nullptr));
    EXPECT_EQ(scanner->scanLocation(), 5u);
    EXPECT_FALSE(scanner->scanUpToCharactersFromSet(NSCharacterSet::decimalDigitCharacterSet(), nullptr));
    EXPECT_TRUE(scanner->scanInteger(nullptr));  // "21st" gives 21
    EXPECT_EQ(scanner->scanLocation(), 7u);
    scanner->setScanLocation(1);
    EXPECT_EQ(scanner->scanLocation(), 1u);
    EXPECT_THROW(scanner->setScanLocation(10), NSException);
}

TEST(Scanner, NumberForms)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
        NSUInteger location;  // after the scan
    };
    const Case cases[] = {
        {"-12.5", true, -12.5, 5}, {"+.5x", true, 0.5, 3},   {"7.", true, 7, 2},   {"2e", true, 2, 1},
        {"2e+", true, 2, 1},       {"1E-2!", true, 0.01, 4}, {".", false, 0, 0},   {"-", false, 0, 0},
        {"nan", false, 0, 0},      {"\n\t 3", true, 3, 4},   {"3,25", true, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto scanner = NSScanner::scannerWithString(NSString::stringWithUTF8String(c.text));
        double value = 0;
        EXPECT_EQ(scanner->scanDouble(&value), c.ok);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(scanner->scanLocation(), c.location);
    }
    NSInteger big = 0;
    EXPECT_TRUE(NSScanner::scannerWithString("99999999999999999999"_ns)->scanInteger(&big));
    EXPECT_EQ(big, INT64_MAX);
    int32_t small = 0;
    EXPECT_TRUE(NSScanner::scannerWithString("-3000000000"_ns)->scanInt(&small));
    EXPECT_EQ(small, INT32_MIN);
    float f = 0;
    EXPECT_TRUE(NSScanner::scannerWithString("0.1"_ns)->scanFloat(&f));
    EXPECT_EQ(f, 0.1f);
}

TEST(Scanner, LocaleSkippingAndCase)
{
    auto german = NSScanner::scannerWithString("3,25"_ns);
    german->setLocale(NSLocale::localeWithLocaleIdentifier("de_DE"_ns));
    float value = 0;
    EXPECT_TRUE(german->scanFloat(&value));
    EXPECT_EQ(value, 3.25f);
    EXPECT_TRUE(german->isAtEnd());

    auto strict = NSScanner::scannerWithString(" 5"_ns);
    strict->setCharactersToBeSkipped(nullptr);
    EXPECT_FALSE(strict->scanInteger(nullptr));
    strict->setCharactersToBeSkipped(NSCharacterSet::whitespaceCharacterSet());
    EXPECT_TRUE(strict->scanInteger(nullptr));

    auto cased = NSScanner::scannerWithString("Hello hello"_ns);
    cased->setCaseSensitive(true);
    EXPECT_FALSE(cased->scanString("hello"_ns, nullptr));
    Ref<NSString> upTo;
    EXPECT_TRUE(cased->scanUpToString("hello"_ns, &upTo));
    EXPECT_EQ(utf8(upTo), "Hello ");
}
