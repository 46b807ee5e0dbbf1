#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include <unicode/uloc.h>
#include <unicode/unistr.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSLocale.h"

namespace {

std::string utf8(const Id& s)
{
    auto text = dynamic_ref_cast<NSString>(s);
    return text ? text->UTF8String() : std::string("<nil>");
}

// Saves and restores the locale variables around each test.
class Locale : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : names)
            if (const char* v = std::getenv(name)) m_saved[name] = v;
    }
    void TearDown() override
    {
        for (const char* name : names) {
            if (m_saved.count(name)) setenv(name, m_saved[name].c_str(), 1);
            else unsetenv(name);
        }
        NSLocale::setCurrentLocale(nullptr);
    }
    static void set(const char* all, const char* messages, const char* lang)
    {
        const char* values[] = {all, messages, lang};
        for (int i = 0; i < 3; ++i) {
            if (values[i]) setenv(names[i], values[i], 1);
            else unsetenv(names[i]);
        }
    }
    static constexpr const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};

private:
    std::map<std::string, std::string> m_saved;
};

}

TEST_F(Locale, KeysOfNamedLocales)
{
    struct Case {
        const char* identifier;
        const char* language;
        const char* country;
        const char* decimal;
    };
    const Case cases[] = {
        {"en_US", "en", "US", "."}, {"fr_FR", "fr", "FR", ","}, {"de_CH", "de", "CH", "."},
        {"nl", "nl", "<nil>", ","}, {"pt-BR", "pt", "BR", ","},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.identifier);
        auto locale = NSLocale::localeWithLocaleIdentifier(NSString::stringWithUTF8String(c.identifier));
        EXPECT_EQ(utf8(locale->localeIdentifier()), c.identifier);
        EXPECT_EQ(utf8(locale->objectForKey(NSLocaleIdentifier())), c.identifier);
        EXPECT_EQ(utf8(locale->objectForKey(NSLocaleLanguageCode())), c.language);
        EXPECT_EQ(utf8(locale->objectForKey(NSLocaleCountryCode())), c.country);
        EXPECT_EQ(utf8(locale->objectForKey(NSLocaleDecimalSeparator())), c.decimal);
    }
    EXPECT_FALSE(NSLocale::localeWithLocaleIdentifier("en_US"_ns)->objectForKey("unknown"_ns));
}

TEST_F(Locale, CurrentLocaleFromTheEnvironment)
{
    struct Case {
        const char* all;
        const char* messages;
        const char* lang;
        const char* expected;
    };
    const Case cases[] = {
        {"de_DE.UTF-8@euro", "fr_FR", "it_IT", "de_DE"}, {"", "fr_CA.UTF-8", "it_IT", "fr_CA"},
        {nullptr, nullptr, "it_IT.UTF-8", "it_IT"},      {"C.UTF-8", nullptr, "it_IT", "en_US_POSIX"},
        {nullptr, nullptr, "POSIX", "en_US_POSIX"},      {nullptr, nullptr, nullptr, "en_US_POSIX"},
    };
    for (const Case& c : cases) {
        set(c.all, c.messages, c.lang);
        EXPECT_EQ(utf8(NSLocale::environmentLocaleIdentifier()), c.expected);
    }
    set("ja_JP.UTF-8", nullptr, nullptr);
    NSLocale::setCurrentLocale(nullptr);
    EXPECT_EQ(utf8(NSLocale::currentLocale()->localeIdentifier()), "ja_JP");
    EXPECT_EQ(NSLocale::currentLocale().get(), NSLocale::currentLocale().get());
    NSLocale::setCurrentLocale(NSLocale::localeWithLocaleIdentifier("en_US"_ns));
    EXPECT_EQ(utf8(NSLocale::currentLocale()->objectForKey(NSLocaleLanguageCode())), "en");
}

namespace {

std::string icuDisplay(int32_t (*get)(const char*, const char*, UChar*, int32_t, UErrorCode*), const char* code,
                       const char* inLocale)
{
    UChar buffer[256];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = get(code, inLocale, buffer, 256, &status);
    std::string out;
    return icu::UnicodeString(buffer, n).toUTF8String(out);
}

}

TEST_F(Locale, DisplayNamesAreICUsAndMissingNamesAreNil)
{
    for (const char* in : {"en_US", "de_DE", "sv_SE", "ar_EG"}) {
        SCOPED_TRACE(in);
        auto locale = NSLocale::localeWithLocaleIdentifier(NSString::stringWithUTF8String(in));
        for (const char* country : {"DE", "AT", "US", "CI", "AX"})
            EXPECT_EQ(utf8(locale->displayNameForKey(NSLocaleCountryCode(), NSString::stringWithUTF8String(country))),
                      icuDisplay(uloc_getDisplayCountry, (std::string("und_") + country).c_str(), in));
        for (const char* id : {"de_DE", "zh_Hans", "pt_BR", "fr"})
            EXPECT_EQ(utf8(locale->displayNameForKey(NSLocaleIdentifier(), NSString::stringWithUTF8String(id))),
                      icuDisplay(uloc_getDisplayName, id, in));
    }
    auto english = NSLocale::localeWithLocaleIdentifier("en_US"_ns);
    EXPECT_EQ(utf8(english->displayNameForKey(NSLocaleCountryCode(), "QQ"_ns)), "<nil>");
    EXPECT_EQ(utf8(english->displayNameForKey(NSLocaleIdentifier(), "xx"_ns)), "<nil>");
    EXPECT_EQ(utf8(english->displayNameForKey(NSLocaleCountryCode(), ""_ns)), "<nil>");
    EXPECT_EQ(utf8(english->displayNameForKey(NSLocaleLanguageCode(), "de"_ns)), "<nil>");
    EXPECT_EQ(utf8(english->displayNameForKey(NSLocaleCountryCode(), Id(NSLocale::currentLocale()))), "<nil>");

    auto codes = NSLocale::ISOCountryCodes();
    size_t icuCount = 0;
    for (const char* const* code = uloc_getISOCountries(); *code; ++code) ++icuCount;
    EXPECT_EQ(codes->count(), icuCount);
    EXPECT_TRUE(codes->containsObject("DE"_ns));
    auto identifiers = NSLocale::availableLocaleIdentifiers();
    EXPECT_EQ(identifiers->count(), NSUInteger(uloc_countAvailable()));
    EXPECT_TRUE(identifiers->containsObject("en_US"_ns));
}
