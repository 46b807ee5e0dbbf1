// Number formatters: texts equal those of an ICU DecimalFormat of the same
// settings in several locales; the older format keeps unit text literal;
// parsing uses the whole string; settings survive archives and copies.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "Foundation/NSArchiver.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSDecimalNumber.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNumberFormatter.h"
#include "Foundation/NSUnarchiver.h"
#include "IcuNumberText.h"

namespace {

std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }

Ref<NSNumberFormatter> formatterIn(const char* locale)
{
    auto f = NSObject::make<NSNumberFormatter>();
    f->setLocale(NSLocale::localeWithLocaleIdentifier(NSString::stringWithUTF8String(locale)));
    return f;
}

const double kValues[] = {0,
                          1,
                          1.5,
                          2.675,
                          -1234.5678,
                          1048576,
                          1e300,
                          -0.0,
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};

}  // namespace

TEST(NumberFormatter, FormatsAsDecimalFormatOfTheSameSettings)
{
    struct Case {
        const char* name;
        std::function<void(NSNumberFormatter&)> ours;
        UNumberFormatStyle style;
        IcuDecimalSetup icu;
    };
    const Case cases[] = {
        {"decimal", [](NSNumberFormatter& f) { f.setNumberStyle(NSNumberFormatterDecimalStyle); }, UNUM_DECIMAL, {}},
        {"hundredths as a float increment",
         [](NSNumberFormatter& f) {
             f.setNumberStyle(NSNumberFormatterDecimalStyle);
             f.setRoundingIncrement(NSNumber::numberWithFloat(0.01f));
         },
         UNUM_DECIMAL, [](icu::DecimalFormat& d) { d.setRoundingIncrement(0.01); }},
        {"two significant digits",
         [](NSNumberFormatter& f) {
             f.setNumberStyle(NSNumberFormatterDecimalStyle);
             f.setMaximumSignificantDigits(2);
             f.setUsesSignificantDigits(true);
         },
         UNUM_DECIMAL,
         [](icu::DecimalFormat& d) {
             d.setMaximumSignificantDigits(2);
             d.setSignificantDigitsUsed(true);
         }},
        {"no style, rounding down", [](NSNumberFormatter& f) { f.setRoundingMode(NSNumberFormatterRoundFloor); },
         UNUM_DECIMAL,
         [](icu::DecimalFormat& d) {
             d.setGroupingUsed(false);
             d.setMaximumFractionDigits(0);
             d.setRoundingMode(icu::DecimalFormat::kRoundFloor);
         }},
        {"percent", [](NSNumberFormatter& f) { f.setNumberStyle(NSNumberFormatterPercentStyle); }, UNUM_PERCENT, {}},
        {"suffix and prefix set",
         [](NSNumberFormatter& f) {
             f.setNumberStyle(NSNumberFormatterDecimalStyle);
             f.setPositiveSuffix("st"_ns);
             f.setNegativePrefix("minus "_ns);
         },
         UNUM_DECIMAL,
         [](icu::DecimalFormat& d) {
             d.setPositiveSuffix(u"st");
             d.setNegativePrefix(u"minus ");
         }},
    };
    for (const char* locale : {"en_US", "de_DE", "fr_FR", "ar_EG"}) {
        for (const Case& c : cases) {
            auto f = formatterIn(locale);
            c.ours(*f);
            for (double v : kValues) {
                SCOPED_TRACE(std::string(locale) + " " + c.name + " " + std::to_string(v));
                EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithDouble(v))),
                          icuNumberText(locale, c.style, c.icu, v));
            }
        }
    }
}

// The older format: number characters make the number, everything else is
// literal, so a percent sign or an apostrophe in a unit text stays as typed.
TEST(NumberFormatter, FormatKeepsTheTextAroundTheNumberLiteral)
{
    struct Case {
        const char* locale;
        const char* format;
        bool localizes;
        bool grouping;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"en_US", "#0.00%", true, false, 3.14159, "3.14%"},
        {"de_DE", "#0.00%", true, false, 3.14159, "3,14%"},
        {"de_DE", "#0.00%", false, false, 3.14159, "3.14%"},
        {"en_US", "#0.0 o'clock", true, false, 5, "5.0 o'clock"},
        {"en_US", "#0.0000\u2009in", true, false, 1, "1.0000\u2009in"},
        {"en_US", "#,##0.00;0;(#,##0.00)", true, true, -1234.5, "(1,234.50)"},
        {"de_DE", "#,##0.00", true, true, 1234.5, "1.234,50"},
        {"de_DE", "#,##0.00", false, true, 1234.5, "1,234.50"},
        {"en_US", "#,##0.00", true, false, 1234.5, "1234.50"},
        {"en_US", "#0", true, false, 2.5, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.format);
        auto f = formatterIn(c.locale);
        f->setFormatterBehavior(NSNumberFormatterBehavior10_4);
        f->setNumberStyle(NSNumberFormatterDecimalStyle);
        f->setLocalizesFormat(c.localizes);
        f->setHasThousandSeparators(c.grouping);
        f->setFormat(NSString::stringWithUTF8String(c.format));
        EXPECT_EQ(utf8(f->format()), c.format);
        EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithDouble(c.value))), c.expected);
    }
}

TEST(NumberFormatter, SettingsReadBackAndStyleResetsThem)
{
    auto f = formatterIn("en_US");
    f->setNumberStyle(NSNumberFormatterDecimalStyle);
    EXPECT_EQ(f->maximumFractionDigits(), 3u);
    EXPECT_TRUE(f->hasThousandSeparators());
    f->setMaximumFractionDigits(1);
    f->setPositivePrefix("~"_ns);
    EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithDouble(1234.56))), "~1,234.6");
    EXPECT_EQ(utf8(f->positivePrefix()), "~");
    EXPECT_EQ(utf8(f->decimalSeparator()), ".");
    EXPECT_EQ(utf8(f->roundingIncrement()->stringValue()), "0");
    // A style starts again from the locale's pattern.
    f->setNumberStyle(NSNumberFormatterDecimalStyle);
    EXPECT_EQ(f->maximumFractionDigits(), 3u);
    EXPECT_EQ(utf8(f->positivePrefix()), "");
    f->setRoundingIncrement(NSNumber::numberWithFloat(0.01f));
    EXPECT_EQ(f->roundingIncrement()->kind(), NSNumber::Kind::Float);
    // Affixes follow each call without losing the digits' settings.
    for (const char* suffix : {"st", "nd", "rd"}) {
        f->setPositiveSuffix(NSString::stringWithUTF8String(suffix));
        EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithInteger(1234))), std::string("1,234") + suffix);
    }
    // The current locale unless one is set.
    auto plain = NSObject::make<NSNumberFormatter>();
    EXPECT_TRUE(plain->locale()->isEqual(NSLocale::currentLocale().get()));
    EXPECT_EQ(utf8(plain->stringForObjectValue(nullptr)), "");
    EXPECT_EQ(utf8(plain->stringForObjectValue("12"_ns)), "<nil>");
}

TEST(NumberFormatter, ParsingUsesTheWholeString)
{
    struct Case {
        const char* name;
        const char* locale;
        std::function<void(NSNumberFormatter&)> setup;
        const char* text;
        const char* value;  // description of the parsed number, "<nil>" for none
        const char* error;  // nullptr when it succeeds
    };
    auto decimal = [](NSNumberFormatter& f) { f.setNumberStyle(NSNumberFormatterDecimalStyle); };
    const Case cases[] = {
        {"grouped", "en_US", decimal, "1,234.5", "1234.5", nullptr},
        {"trailing text", "en_US", decimal, "12abc", "<nil>", "Invalid number"},
        {"leading space, strict", "en_US", decimal, " 12", "<nil>", "Invalid number"},
        {"leading space, lenient", "en_US",
         [](NSNumberFormatter& f) {
             f.setNumberStyle(NSNumberFormatterDecimalStyle);
             f.setLenient(true);
         },
         " 12", "12", nullptr},
        {"empty", "en_US", decimal, "", "<nil>", nullptr},
        {"german", "de_DE", decimal, "1.234,5", "1234.5", nullptr},
        {"floats refused", "en_US",
         [](NSNumberFormatter& f) {
             f.setPositiveFormat("#0"_ns);
             f.setAllowsFloats(false);
         },
         "1.5", "<nil>", "Invalid number"},
        {"whole number with floats refused", "en_US", [](NSNumberFormatter& f) { f.setAllowsFloats(false); }, "15",
         "15", nullptr},
        {"below the minimum", "en_US", [](NSNumberFormatter& f) { f.setMinimum(NSNumber::numberWithInteger(0)); }, "-3",
         "<nil>", "The number is less than the minimum"},
        {"above the maximum", "en_US", [](NSNumberFormatter& f) { f.setMaximum(NSNumber::numberWithInteger(10)); },
         "11", "<nil>", "The number is greater than the maximum"},
        {"percent", "en_US", [](NSNumberFormatter& f) { f.setNumberStyle(NSNumberFormatterPercentStyle); }, "50%",
         "0.5", nullptr},
        {"unit text", "en_US", [](NSNumberFormatter& f) { f.setFormat("#0.00%"_ns); }, "3.25%", "3.25", nullptr},
        {"suffix set", "en_US", [](NSNumberFormatter& f) { f.setPositiveSuffix("th"_ns); }, "7th", "7", nullptr},
        {"decimal numbers", "en_US", [](NSNumberFormatter& f) { f.setGeneratesDecimalNumbers(true); }, "0.1", "0.1",
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto f = formatterIn(c.locale);
        c.setup(*f);
        Id value = "untouched"_ns;
        Ref<NSString> error;
        const bool ok = f->getObjectValue(&value, NSString::stringWithUTF8String(c.text), &error);
        EXPECT_EQ(ok, c.error == nullptr);
        EXPECT_EQ(utf8(value ? value->description() : nullptr), c.value);
        EXPECT_EQ(utf8(error), c.error ? c.error : "<nil>");
    }
    auto decimals = formatterIn("en_US");
    decimals->setGeneratesDecimalNumbers(true);
    EXPECT_TRUE(dynamic_ref_cast<NSDecimalNumber>(decimals->numberFromString("2.5"_ns)));
    EXPECT_FALSE(formatterIn("en_US")->numberFromString(nullptr));
}

TEST(NumberFormatter, ArchivesAndCopiesKeepTheSettings)
{
    auto f = formatterIn("de_DE");
    f->setNumberStyle(NSNumberFormatterDecimalStyle);
    f->setLocalizesFormat(true);
    f->setFormat("#0.000 mm"_ns);
    f->setMinimum(NSNumber::numberWithInteger(-5));
    f->setRoundingMode(NSNumberFormatterRoundUp);
    f->setNegativeSuffix(" below"_ns);
    f->setLenient(true);
    auto check = [&](const Ref<NSNumberFormatter>& g) {
        ASSERT_TRUE(g);
        EXPECT_EQ(utf8(g->format()), "#0.000 mm");
        EXPECT_EQ(utf8(g->locale()->localeIdentifier()), "de_DE");
        EXPECT_EQ(g->roundingMode(), NSNumberFormatterRoundUp);
        EXPECT_TRUE(g->isLenient());
        EXPECT_EQ(g->minimum()->integerValue(), -5);
        for (double v : {1.2341, -2.5, 1e6})
            EXPECT_EQ(utf8(g->stringFromNumber(NSNumber::numberWithDouble(v))),
                      utf8(f->stringFromNumber(NSNumber::numberWithDouble(v))));
    };
    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.push_back(&NSNumberFormatter::staticClass());
    check(dynamic_ref_cast<NSNumberFormatter>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(f), allowed)));
    check(dynamic_ref_cast<NSNumberFormatter>(
        NSUnarchiver::unarchiveObjectWithData(NSArchiver::archivedDataWithRootObject(f), allowed)));
    auto copy = dynamic_ref_cast<NSNumberFormatter>(f->copy());
    check(copy);
    copy->setFormat("#0"_ns);
    EXPECT_EQ(utf8(f->format()), "#0.000 mm");
    EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithDouble(-2.5))), "-2,500 below");
}
