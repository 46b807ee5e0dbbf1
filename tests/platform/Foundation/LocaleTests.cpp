#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

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
