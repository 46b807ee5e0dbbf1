// Ordinals: the indicator of the locale's language (by gender and number
// where the language has them) around the number ICU writes; ordinals read
// back as their integer.
#include "FormatKit/FMTOrdinalNumberFormatter.h"
#include "FormatKitFixture.h"
#include "IcuNumberText.h"

namespace {

// The whole number as ICU writes it with no style (no grouping, rounded down).
std::string icuWhole(const char* locale, double value)
{
    return icuNumberText(locale, UNUM_DECIMAL,
                         [](icu::DecimalFormat& f) {
                             f.setGroupingUsed(false);
                             f.setMaximumFractionDigits(0);
                             f.setRoundingMode(icu::DecimalFormat::kRoundFloor);
                         },
                         value);
}

}  // namespace

TEST_F(FormatKitTest, OrdinalsTakeTheIndicatorOfTheLanguage)
{
    struct Case {
        const char* locale;
        int32_t gender, number;
        double value;
        const char* indicator;
        bool prefix;
    };
    const Case cases[] = {
        {"en_US", 0, 0, 1, "st", false},    {"en_US", 0, 0, 2, "nd", false},    {"en_US", 0, 0, 3, "rd", false},
        {"en_US", 0, 0, 4, "th", false},    {"en_US", 0, 0, 11, "th", false},   {"en_US", 0, 0, 12, "th", false},
        {"en_US", 0, 0, 13, "th", false},   {"en_US", 0, 0, 21, "st", false},   {"en_US", 0, 0, 111, "th", false},
        {"en_US", 0, 0, 112, "th", false},  {"en_US", 0, 0, 122, "nd", false},  {"en_US", 0, 0, 1001, "st", false},
        {"en_US", 0, 0, 2.9, "nd", false},  {"fr_FR", 2, 0, 1, "re", false},    {"fr_FR", 1, 0, 1, "er", false},
        {"fr_FR", 0, 0, 2, "e", false},     {"fr_FR", 1, 6, 1, "ers", false},   {"fr_FR", 2, 2, 1, "res", false},
        {"fr_FR", 0, 5, 3, "e", false},     {"nl_NL", 0, 0, 8, "e", false},     {"es_ES", 0, 0, 1, ".", false},
        {"es_ES", 1, 0, 1, "\u00BA", false}, {"it_IT", 2, 0, 3, "\u00AA", false}, {"pt_BR", 1, 0, 5, "\u00BA", false},
        {"ga_IE", 0, 0, 4, "\u00FA", false}, {"ja_JP", 0, 0, 1, "\u756A", false}, {"zh_Hans_CN", 0, 0, 1, "\u7B2C", true},
        {"de_DE", 0, 0, 3, ".", false},     {"ar_EG", 0, 0, 7, ".", false},     {"sv_SE", 0, 0, 1234, ".", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + std::to_string(c.value));
        useLocale(c.locale);
        auto f = NSObject::make<FMTOrdinalNumberFormatter>();
        f->setGrammaticalGender(c.gender);
        f->setGrammaticalNumber(c.number);
        const std::string number = icuWhole(c.locale, c.value);
        const std::string expected = c.prefix ? c.indicator + number : number + c.indicator;
        EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithDouble(c.value))), expected);
        EXPECT_EQ(utf8(f->stringForObjectValue(NSNumber::numberWithDouble(c.value))), expected);
    }
    // Literal texts of the languages, in their own locales.
    struct Literal {
        const char* locale;
        int32_t gender, number, value;
        const char* text;
    };
    for (const Literal& l : {Literal{"en_US", 0, 0, 1, "1st"}, Literal{"en_US", 0, 0, 122, "122nd"},
                             Literal{"fr_FR", 2, 0, 1, "1re"}, Literal{"fr_FR", 1, 6, 1, "1ers"},
                             Literal{"es_ES", 1, 0, 1, "1\u00BA"}, Literal{"zh_Hans_CN", 0, 0, 1, "\u7B2C1"}}) {
        useLocale(l.locale);
        auto f = NSObject::make<FMTOrdinalNumberFormatter>();
        f->setGrammaticalGender(l.gender);
        f->setGrammaticalNumber(l.number);
        EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithInteger(l.value))), l.text) << l.locale;
    }
}

TEST_F(FormatKitTest, OrdinalIndicatorSetReplacesTheRulesAndNegativesEndInTh)
{
    auto f = NSObject::make<FMTOrdinalNumberFormatter>();
    f->setOrdinalIndicator("#"_ns);
    EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithInteger(2))), "2#");
    useLocale("zh_Hans_CN");
    EXPECT_EQ(utf8(f->stringFromNumber(NSNumber::numberWithInteger(2))), "#2") << "Chinese keeps it a prefix";
    // The English rule keeps the remainder's sign: every negative number ends in "th".
    for (NSInteger n : {-1, -2, -3, -21})
        EXPECT_EQ(utf8(f->enOrdinalIndicatorStringFromNumber(NSNumber::numberWithInteger(n))), "th") << n;
    EXPECT_EQ(utf8(f->deOrdinalIndicatorStringFromNumber(NSNumber::numberWithInteger(1))), ".");
    // The formatter's settings.
    EXPECT_EQ(f->numberStyle(), NSNumberFormatterNoStyle);
    EXPECT_FALSE(f->allowsFloats());
    EXPECT_EQ(f->roundingMode(), NSNumberFormatterRoundFloor);
    EXPECT_EQ(f->minimum()->integerValue(), 0);
    EXPECT_TRUE(f->isLenient());
}

TEST_F(FormatKitTest, OrdinalsReadBackAsIntegers)
{
    auto f = NSObject::make<FMTOrdinalNumberFormatter>();
    struct Case {
        const char* text;
        bool ok;
        NSInteger value;
    };
    for (const Case& c : {Case{"21st", true, 21}, Case{"7th", true, 7}, Case{" 3", true, 3}, Case{"1re", true, 1},
                          Case{"first", false, 0}, Case{"", false, 0}}) {
        SCOPED_TRACE(c.text);
        Id value;
        Ref<NSString> error;
        EXPECT_EQ(f->getObjectValue(&value, NSString::stringWithUTF8String(c.text), &error), c.ok);
        if (c.ok) {
            ASSERT_TRUE(dynamic_ref_cast<NSNumber>(value));
            EXPECT_EQ(dynamic_ref_cast<NSNumber>(value)->integerValue(), c.value);
        } else {
            EXPECT_EQ(utf8(error), "The text does not begin with a whole number.");
        }
    }
}
