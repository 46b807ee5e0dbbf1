// Quantities of information: scaled by 1024 or 1000, named with decimal or
// binary prefixes in bytes or bits, the number as ICU writes it in hundredths.
#include "FormatKit/FMTUnitOfInformationFormatter.h"
#include "FormatKitFixture.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "IcuNumberText.h"

TEST_F(FormatKitTest, UnitOfInformationScalesAndNamesTheUnit)
{
    struct Case {
        const char* locale;
        double bits;
        bool bytes, binaryCalculation, binaryDisplay;
        double shown;  // the number before the unit
        const char* unit;
        const char* enUS;  // the whole text in en_US, or null
    };
    const Case cases[] = {
        {"en_US", 12288, true, true, false, 1.5, "KB", "1.5 KB"},
        {"en_US", 32000, true, true, false, 3.90625, "KB", "3.91 KB"},
        {"en_US", 4000, true, true, false, 500, "bytes", "500 bytes"},
        {"en_US", 8, true, true, false, 1, "bytes", "1 bytes"},
        {"en_US", 8, false, true, false, 8, "bits", "8 bits"},
        {"en_US", 8388608, true, true, false, 1024, "KB", "1,024 KB"},
        {"en_US", 8388616, true, true, false, 1048577.0 / 1048576, "MB", "1 MB"},
        {"en_US", 8000, true, false, true, 1, "KiB", "1 KiB"},
        {"en_US", 8192, true, true, true, 1, "KiB", "1 KiB"},
        {"en_US", 8e12, false, false, false, 8, "Tbit", "8 Tbit"},
        {"en_US", 1e19 * 8, true, false, false, 10, "EB", "10 EB"},
        // Bits reach the exa step with names of their own.
        {"en_US", 3e18, false, false, false, 3, "Ebit", "3 Ebit"},
        {"en_US", -2048 * 8, true, true, false, -2048, "bytes", "-2,048 bytes"},
        {"de_DE", 12288, true, true, false, 1.5, "KB", nullptr},
        {"fr_FR", 8388608, true, true, false, 1024, "KB", nullptr},
        {"ar_EG", 32000, true, true, false, 3.90625, "KB", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + std::to_string(c.bits));
        useLocale(c.locale);
        auto f = NSObject::make<FMTUnitOfInformationFormatter>();
        f->setDisplaysInTermsOfBytes(c.bytes);
        f->setUsesIECBinaryPrefixesForCalculation(c.binaryCalculation);
        f->setUsesIECBinaryPrefixesForDisplay(c.binaryDisplay);
        const std::string text = utf8(f->stringFromNumberOfBits(NSNumber::numberWithDouble(c.bits)));
        EXPECT_EQ(text, icuHundredths(c.locale, c.shown) + " " + c.unit);
        if (c.enUS) {
            EXPECT_EQ(text, c.enUS);
        }
        EXPECT_EQ(utf8(f->stringForObjectValue(NSNumber::numberWithDouble(c.bits))), text);
    }
}

TEST_F(FormatKitTest, UnitOfInformationUnitsAndPrefixes)
{
    auto f = NSObject::make<FMTUnitOfInformationFormatter>();
    // Units of 1, 4, 8, 16 and 32 bits; unknown units count 0 bits.
    struct Case {
        NSInteger count;
        int32_t unit;
        const char* expected;
    };
    for (const Case& c : {Case{3, FMTByte, "3 bytes"}, Case{16, FMTNibble, "8 bytes"}, Case{4, FMTWord, "8 bytes"},
                          Case{2, FMTDoubleWord, "8 bytes"}, Case{24, FMTBit, "3 bytes"}, Case{9, 7, "0 bytes"},
                          Case{NSIntegerMax, FMTDoubleWord, "32 EB"}})
        EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithInteger(c.count), c.unit)), c.expected) << c.count;
    EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithInteger(3), FMTByte, 1)), "3 MB");
    EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithInteger(3), FMTByte, -1)), "3 bytes");

    const double binary[] = {1024.0, 1048576.0, 1073741824.0, 1099511627776.0, 1125899906842624.0,
                             1152921504606846976.0};
    for (NSInteger p = 0; p < 6; ++p) EXPECT_EQ(f->scaleFactorForPrefix(p), binary[p]);
    EXPECT_EQ(f->scaleFactorForPrefix(-1), 1);
    EXPECT_EQ(f->scaleFactorForPrefix(6), 1);
    EXPECT_EQ(f->prefixForInteger(1048576), 0);
    EXPECT_EQ(f->prefixForInteger(1048577), 1);
    EXPECT_EQ(f->prefixForInteger(UINT64_MAX), 5);
    f->setUsesIECBinaryPrefixesForCalculation(false);
    EXPECT_EQ(f->scaleFactorForPrefix(5), 1e18);
    EXPECT_EQ(f->prefixForInteger(1000000000000000001ull), 5);
    EXPECT_EQ(f->prefixForInteger(1000000000000000000ull), 4);
}

TEST_F(FormatKitTest, UnitOfInformationArchivesAndRefusesParsing)
{
    auto f = NSObject::make<FMTUnitOfInformationFormatter>();
    f->setDisplaysInTermsOfBytes(false);
    f->setUsesIECBinaryPrefixesForDisplay(true);
    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.push_back(&NSFormatter::staticClass());
    auto decoded = dynamic_ref_cast<FMTUnitOfInformationFormatter>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(f), allowed));
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(decoded->displaysInTermsOfBytes());
    EXPECT_TRUE(decoded->usesIECBinaryPrefixesForCalculation());
    EXPECT_TRUE(decoded->usesIECBinaryPrefixesForDisplay());
    EXPECT_EQ(utf8(decoded->stringFromNumberOfBits(NSNumber::numberWithInteger(3 << 20))), "3 Mibit");

    EXPECT_EQ(utf8(f->stringForObjectValue("12"_ns)), "<nil>");
    Id value = "untouched"_ns;
    Ref<NSString> error;
    EXPECT_FALSE(f->getObjectValue(&value, "1 KB"_ns, &error));
    EXPECT_FALSE(value);
    EXPECT_EQ(utf8(error), "This formatter cannot read text back into a value.");
}
