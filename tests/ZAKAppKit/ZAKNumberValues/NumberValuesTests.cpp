#include "../ValueFixture.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSUnarchiver.h"
#include "IcuNumberText.h"
#include "ZAKAppKit/ZAKNumberValues/ZAK0_1to0_100ValueTransformer.h"
#include "ZAKAppKit/ZAKNumberValues/ZAKNumberContainer.h"
#include "ZAKAppKit/ZAKNumberValues/ZAKNumberValueFormatter.h"

namespace {

using NumberContainer = ValueTest;

TEST_F(NumberContainer, ComparesAndEqualsAsItsNumber)
{
    auto five = ZAKNumberContainer::numberContainerWithNumber(NSNumber::numberWithInt(5), "five"_ns);
    auto otherFive = ZAKNumberContainer::numberContainerWithNumber(NSNumber::numberWithDouble(5), "V"_ns);
    auto six = NSNumber::numberWithInt(6);
    EXPECT_TRUE(five->isEqual(NSNumber::numberWithInt(5).get()));
    EXPECT_TRUE(five->isEqual(otherFive.get()));
    EXPECT_FALSE(five->isEqual(six.get()));
    EXPECT_FALSE(five->isEqual("5"_ns.get()));
    EXPECT_FALSE(five->isEqual(nullptr));
    EXPECT_EQ(five->hash(), otherFive->hash());
    EXPECT_EQ(five->compare(six), NSOrderedAscending);
    EXPECT_EQ(five->compare(ZAKNumberContainer::numberContainerWithNumber(six, nullptr)), NSOrderedAscending);
    EXPECT_EQ(five->compare(otherFive), NSOrderedSame);
    EXPECT_EQ(five->compare(NSNumber::numberWithInt(4)), NSOrderedDescending);
}

TEST_F(NumberContainer, StartsAtZeroAndCopiesShareTheValues)
{
    auto empty = NSObject::make<ZAKNumberContainer>();
    EXPECT_TRUE(empty->numberObject()->isEqual(NSNumber::numberWithFloat(0).get()));
    EXPECT_FALSE(empty->infoString());

    auto info = NSMutableString::stringWithString("mm"_ns);
    auto container = ZAKNumberContainer::numberContainerWithNumber(NSNumber::numberWithFloat(2.5f), info);
    auto copy = static_ref_cast<ZAKNumberContainer>(container->copy());
    EXPECT_NE(copy.get(), container.get());
    EXPECT_EQ(copy->numberObject().get(), container->numberObject().get());
    EXPECT_EQ(copy->infoString().get(), info.get());
}

TEST_F(NumberContainer, RoundTripsThroughBothArchives)
{
    auto container = ZAKNumberContainer::numberContainerWithNumber(NSNumber::numberWithFloat(2.5f), "mm"_ns);
    const NSClassList allowed{&ZAKNumberContainer::staticClass(), &NSNumber::staticClass(), &NSString::staticClass()};
    Id decoded[] = {
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(container), allowed),
        NSUnarchiver::unarchiveObjectWithData(NSArchiver::archivedDataWithRootObject(container), allowed),
    };
    for (const Id& object : decoded) {
        auto copy = dynamic_ref_cast<ZAKNumberContainer>(object);
        ASSERT_TRUE(copy);
        EXPECT_TRUE(copy->isEqual(container.get()));
        EXPECT_EQ(utf8(copy->infoString()), "mm");
    }
}

using ValueTransformer = ValueTest;

TEST_F(ValueTransformer, MapsFractionsToPercentagesBothWays)
{
    auto transformer = NSObject::make<ZAK0_1to0_100ValueTransformer>();
    EXPECT_TRUE(transformer->allowsReverseTransformation());
    EXPECT_EQ(&transformer->transformedValueClass(), &NSNumber::staticClass());
    auto value = [](const Id& object) { return static_ref_cast<NSNumber>(object)->doubleValue(); };
    EXPECT_EQ(value(transformer->transformedValue(NSNumber::numberWithDouble(0.25))), 25);
    EXPECT_EQ(value(transformer->reverseTransformedValue(NSNumber::numberWithInt(25))), 0.25);
    EXPECT_EQ(value(transformer->transformedValue("0.5"_ns)), 50);
    EXPECT_EQ(value(transformer->transformedValue(nullptr)), 0);
    EXPECT_EQ(value(transformer->reverseTransformedValue(nullptr)), 0);
    // Single precision, as the model's values are.
    EXPECT_EQ(value(transformer->transformedValue(NSNumber::numberWithDouble(0.1))), double(0.1f * 100));
}

using NumberValueFormatter = ValueTest;

TEST_F(NumberValueFormatter, ShowsTheSignAsTextInEveryLocale)
{
    for (const char* locale : {"en_US", "de_DE", "fr_FR", "ar_EG"}) {
        useLocale(locale);
        auto formatter = NSObject::make<ZAKNumberValueFormatter>();
        EXPECT_EQ(formatter->showNumberType(), ZAKNumberValuePercentSign);
        EXPECT_EQ(formatter->numberOfDigitsAfterPoint(), 2u);
        const std::string expected = icuNumberText(
            locale, UNUM_DECIMAL,
            [](icu::DecimalFormat& f) {
                UErrorCode status = U_ZERO_ERROR;
                f.applyPattern(u"#0.00'%'", status);
            },
            3.14159);
        EXPECT_EQ(utf8(formatter->stringForObjectValue(NSNumber::numberWithDouble(3.14159))), expected) << locale;
    }
    useLocale("en_US");
    auto formatter = NSObject::make<ZAKNumberValueFormatter>();
    EXPECT_EQ(utf8(formatter->stringForObjectValue(NSNumber::numberWithDouble(3.14159))), "3.14%");
    formatter->setShowNumberType(ZAKNumberValueDegreeSign);
    formatter->setNumberOfDigitsAfterPoint(1);
    EXPECT_EQ(utf8(formatter->stringForObjectValue(NSNumber::numberWithDouble(12345.66))), "12345.7\u00B0");
    formatter->setShowNumberType(7);
    EXPECT_EQ(utf8(formatter->stringForObjectValue(NSNumber::numberWithInt(300))), "300.0 dpi");
    formatter->setShowNumberType(ZAKNumberValueNoSign);
    formatter->setNumberOfDigitsAfterPoint(0);
    EXPECT_EQ(utf8(formatter->format()), "#0");
    EXPECT_EQ(utf8(formatter->stringForObjectValue(NSNumber::numberWithDouble(2.6))), "3");
}

TEST_F(NumberValueFormatter, ReadsItsOwnTextBack)
{
    auto formatter = NSObject::make<ZAKNumberValueFormatter>();
    formatter->setMinimum(NSNumber::numberWithInt(0));
    formatter->setMaximum(NSNumber::numberWithInt(100));
    Id value;
    ASSERT_TRUE(formatter->getObjectValue(&value, "42.50%"_ns, nullptr));
    EXPECT_EQ(static_ref_cast<NSNumber>(value)->doubleValue(), 42.5);
    Ref<NSString> error;
    EXPECT_FALSE(formatter->getObjectValue(&value, "142.00%"_ns, &error));
    EXPECT_TRUE(error);
    EXPECT_EQ(formatter->maximum()->intValue(), 100);
}

TEST_F(NumberValueFormatter, ArchivesKeepTheSignOnlyWhenKeyed)
{
    auto formatter = NSObject::make<ZAKNumberValueFormatter>();
    formatter->setShowNumberType(ZAKNumberValueDegreeSign);
    formatter->setNumberOfDigitsAfterPoint(3);
    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.push_back(&ZAKNumberValueFormatter::staticClass());

    auto keyed = dynamic_ref_cast<ZAKNumberValueFormatter>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(formatter), allowed));
    ASSERT_TRUE(keyed);
    EXPECT_EQ(keyed->showNumberType(), ZAKNumberValueDegreeSign);
    EXPECT_EQ(keyed->numberOfDigitsAfterPoint(), 3u);
    EXPECT_EQ(utf8(keyed->stringForObjectValue(NSNumber::numberWithDouble(1.5))), "1.500\u00B0");

    auto plain = dynamic_ref_cast<ZAKNumberValueFormatter>(
        NSUnarchiver::unarchiveObjectWithData(NSArchiver::archivedDataWithRootObject(formatter), allowed));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->showNumberType(), ZAKNumberValueNoSign);
    EXPECT_EQ(plain->numberOfDigitsAfterPoint(), 0u);
    EXPECT_EQ(utf8(plain->format()), "#0");
}

}  // namespace
