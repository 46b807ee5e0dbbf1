#include <gtest/gtest.h>
#include <unicode/uloc.h>

#include <string>

#include "Carbon/IntlResources.h"
#include "Foundation/CFStringEncoding.h"

namespace {

TEST(IntlResources, DateOrderAndSeparatorComeFromTheShortDatePattern)
{
    struct Case {
        std::u16string pattern;
        int order;
        std::string separator;
    };
    for (const Case& c :
         {Case{u"M/d/yy", mdy, "/"}, Case{u"dd.MM.yy", dmy, "."}, Case{u"y/MM/dd", ymd, "/"},
          Case{u"yy-MM-dd", ymd, "-"}, Case{u"MM y d", myd, " "}, Case{u"d/y/M", dym, "/"}, Case{u"y. d. M.", ydm, "."},
          Case{u"d\u2013M\u2013y", dmy, "\u2013"}, Case{u"'Le' d/M/y", dmy, "/"}}) {
        SCOPED_TRACE(c.separator);
        auto rec = IntlSettings::fromDatePattern(c.pattern);
        ASSERT_TRUE(rec);
        EXPECT_EQ(rec->dateOrder, c.order);
        EXPECT_EQ(rec->dateSep, c.separator);
    }
    EXPECT_FALSE(IntlSettings::fromDatePattern(u"HH:mm"));
}

TEST(IntlResources, CurrentLocaleAnswersResourceZero)
{
    struct Case {
        const char* locale;
        int order;
        std::string separator;
    };
    const std::string saved = uloc_getDefault();
    for (const Case& c : {Case{"en_US", mdy, "/"}, Case{"de_DE", dmy, "."}, Case{"ja_JP", ymd, "/"}}) {
        SCOPED_TRACE(c.locale);
        UErrorCode status = U_ZERO_ERROR;
        uloc_setDefault(c.locale, &status);
        auto rec = GetIntlResource(0);
        ASSERT_TRUE(rec);
        EXPECT_EQ(rec->dateOrder, c.order);
        EXPECT_EQ(rec->dateSep, c.separator);
    }
    UErrorCode status = U_ZERO_ERROR;
    uloc_setDefault(saved.c_str(), &status);
    EXPECT_FALSE(GetIntlResource(1));

    IntlSettings::inject({ydm, "::"});
    EXPECT_EQ(GetIntlResource(0)->dateOrder, ydm);
    EXPECT_EQ(GetIntlResource(0)->dateSep, "::");
    IntlSettings::reset();
}

TEST(IntlResources, SystemScriptIsInUtf8)
{
    EXPECT_EQ(GetScriptManagerVariable(smSysScript), smRoman);
    TextEncoding encoding = 0;
    EXPECT_EQ(UpgradeScriptInfoToTextEncoding(smRoman, kTextLanguageDontCare, kTextRegionDontCare, nullptr, &encoding),
              noErr);
    EXPECT_EQ(encoding, kCFStringEncodingUTF8);
    EXPECT_NE(UpgradeScriptInfoToTextEncoding(1, kTextLanguageDontCare, kTextRegionDontCare, nullptr, &encoding),
              noErr);
}

}  // namespace
