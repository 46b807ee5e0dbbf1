#include "../ValueFixture.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "IcuNumberText.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKAppMeasurementNumberFormatter.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKMeasurementUnits.h"
#include "ZAKAppKit/ZAKNumberValues/ZAKNumberContainer.h"

namespace {

Ref<ZAKMeasurementNumberFormatter> formatterIn(NSInteger unit, uint32_t digits)
{
    auto formatter = NSObject::make<ZAKMeasurementNumberFormatter>();
    formatter->setShowType(unit);
    formatter->setNumberOfDigitsAfterPoint(digits);
    return formatter;
}

double pointsRead(const Ref<NSFormatter>& formatter, const char* text, bool* failed = nullptr)
{
    Id value;
    Ref<NSString> error = "untouched"_ns;
    const bool read = formatter->getObjectValue(&value, NSString::stringWithUTF8String(text), &error);
    EXPECT_TRUE(read) << text;
    EXPECT_FALSE(error) << text;
    auto number = dynamic_ref_cast<NSNumber>(value);
    EXPECT_TRUE(number) << text;
    return number ? number->doubleValue() : -1;
}

using MeasurementFormatter = ValueTest;

TEST_F(MeasurementFormatter, ShowsPointsInItsUnitInEveryLocale)
{
    for (const char* locale : {"en_US", "de_DE", "fr_FR", "ar_EG"}) {
        useLocale(locale);
        const std::string expected = icuNumberText(
            locale, UNUM_DECIMAL,
            [](icu::DecimalFormat& f) {
                UErrorCode status = U_ZERO_ERROR;
                f.applyPattern(u"#0.00' mm'", status);
            },
            double(25.4f));
        EXPECT_EQ(utf8(formatterIn(ZAKUnitMillimeter, 2)->stringForObjectValue(NSNumber::numberWithInt(72))), expected)
            << locale;
    }
    useLocale("en_US");
    EXPECT_EQ(utf8(formatterIn(ZAKUnitMillimeter, 2)->stringForObjectValue(NSNumber::numberWithInt(72))), "25.40 mm");
    EXPECT_EQ(utf8(formatterIn(ZAKUnitCentimeter, 1)->stringForObjectValue("283.4645690917969"_ns)), "10.0 cm");
    EXPECT_EQ(utf8(formatterIn(ZAKUnitPoint, 0)->stringForObjectValue(NSNumber::numberWithDouble(12345.6))),
              "12346 pt");
}

TEST_F(MeasurementFormatter, StartsInInchesWithFourDecimals)
{
    auto formatter = NSObject::make<ZAKMeasurementNumberFormatter>();
    EXPECT_EQ(formatter->showType(), ZAKUnitInch);
    EXPECT_EQ(formatter->numberOfDigitsAfterPoint(), 4u);
    EXPECT_EQ(formatter->formatterBehavior(), NSNumberFormatterBehavior10_4);
    EXPECT_EQ(utf8(formatter->format()), "#0.0000 in");
    EXPECT_EQ(utf8(formatter->stringForObjectValue(NSNumber::numberWithInt(36))), "0.5000 in");
    // Zero goes to the number formatter as it is; nil shows nothing.
    EXPECT_EQ(utf8(formatter->stringForObjectValue(NSNumber::numberWithInt(0))), "0.0000 in");
    EXPECT_EQ(utf8(formatter->stringForObjectValue(nullptr)), "");
    EXPECT_FALSE(formatter->attributedStringForObjectValue(NSNumber::numberWithInt(1), nullptr));
}

TEST_F(MeasurementFormatter, ReadsTypedLengthsIntoPoints)
{
    struct Case {
        const char* locale;
        const char* text;
        double points;
    } cases[] = {
        {"en_US", "1 in", 72},
        {"en_US", "1in", 72},
        {"en_US", "2.54 cm", 72},
        {"en_US", "2.54", 72},
        {"en_US", "25.4 mm", 72},
        {"en_US", "12.5mm", 35.43307113647461},
        {"de_DE", "12,5 mm", 35.43307113647461},
        {"en_US", "mm", 0},
        {"en_US", "no digits", 0},
        {"en_US", "-1 in", -72},
    };
    for (const Case& c : cases) {
        useLocale(c.locale);
        EXPECT_EQ(pointsRead(formatterIn(ZAKUnitCentimeter, 2), c.text), c.points) << c.locale << " " << c.text;
    }
    Id value = "untouched"_ns;
    EXPECT_TRUE(formatterIn(ZAKUnitCentimeter, 2)->getObjectValue(&value, ""_ns, nullptr));
    EXPECT_FALSE(value);
}

using AppMeasurementFormatter = ValueTest;

TEST_F(AppMeasurementFormatter, FollowsItsPurposeOnly)
{
    auto center = ZAKApplicationMeasurementCenter::informationCenter();
    auto page = NSObject::make<ZAKAppMeasurementNumberFormatter>();
    auto line = NSObject::make<ZAKAppMeasurementNumberFormatter>();
    line->setAppUnitType(ZAKAppUnitLine);
    EXPECT_EQ(page->appUnitType(), ZAKAppUnitPage);
    EXPECT_EQ(page->showType(), ZAKUnitCentimeter);
    EXPECT_EQ(line->showType(), ZAKUnitMillimeter);
    EXPECT_EQ(utf8(page->stringForObjectValue(NSNumber::numberWithInt(72))), "2.5400 cm");

    center->setMeasurementUnitType(ZAKUnitInch, ZAKAppUnitPage);
    EXPECT_EQ(page->showType(), ZAKUnitInch);
    EXPECT_EQ(utf8(page->stringForObjectValue(NSNumber::numberWithInt(72))), "1.0000 in");
    EXPECT_EQ(line->showType(), ZAKUnitMillimeter);
    EXPECT_EQ(utf8(line->stringForObjectValue(NSNumber::numberWithInt(72))), "25.4000 mm");
}

TEST_F(AppMeasurementFormatter, ShowsAContainersInfoString)
{
    auto formatter = NSObject::make<ZAKAppMeasurementNumberFormatter>();
    formatter->setNumberOfDigitsAfterPoint(1);
    auto container = ZAKNumberContainer::numberContainerWithNumber(NSNumber::numberWithInt(72), "(A4)"_ns);
    EXPECT_EQ(utf8(formatter->stringForObjectValue(container)), "2.5 cm (A4)");
    container->setInfoString(nullptr);
    EXPECT_EQ(utf8(formatter->stringForObjectValue(container)), "2.5 cm");
}

TEST_F(AppMeasurementFormatter, DecodedFormattersKeepOnlyTheNumberFormattersSettings)
{
    auto formatter = NSObject::make<ZAKAppMeasurementNumberFormatter>();
    formatter->setNumberOfDigitsAfterPoint(1);
    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.push_back(&ZAKAppMeasurementNumberFormatter::staticClass());
    auto decoded = dynamic_ref_cast<ZAKAppMeasurementNumberFormatter>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(formatter), allowed));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->showType(), 0);
    EXPECT_EQ(decoded->numberOfDigitsAfterPoint(), 0u);
    EXPECT_EQ(decoded->appUnitType(), 0);
    EXPECT_EQ(utf8(decoded->format()), "#0.0 cm");
    // It does not follow the centre.
    ZAKApplicationMeasurementCenter::informationCenter()->setMeasurementUnitType(ZAKUnitInch, ZAKAppUnitPage);
    EXPECT_EQ(decoded->showType(), 0);
}

}  // namespace
