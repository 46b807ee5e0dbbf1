#include <unicode/coll.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "../ValueFixture.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSNumber.h"
#include "ZAKAppKit/ZAKLocaleLists/ZAKCountryLocale.h"
#include "ZAKAppKit/ZAKLocaleLists/ZAKLanguageLocale.h"

namespace {

// ICU's own name of a country code in a locale; empty when ICU echoes the code.
std::u16string icuCountryName(const std::string& code, const char* locale)
{
    UChar buffer[256];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getDisplayCountry(("und_" + code).c_str(), locale, buffer, 256, &status);
    std::u16string name(reinterpret_cast<const char16_t*>(buffer), U_SUCCESS(status) ? length : 0);
    return name == std::u16string(code.begin(), code.end()) ? u"" : name;
}

std::vector<std::string> identifiers(const Ref<NSArray>& entries)
{
    std::vector<std::string> out;
    for (const Id& entry : *entries) out.push_back(static_ref_cast<ZAKLocaleEntry>(entry)->UTF8String());
    return out;
}

ptrdiff_t positionOf(const std::vector<std::string>& list, const char* code)
{
    return std::find(list.begin(), list.end(), code) - list.begin();
}

using CountryList = ValueTest;

TEST_F(CountryList, NamesAndOrderAreICUs)
{
    for (const char* locale : {"sv_SE", "de_DE", "en_US"}) {
        useLocale(locale);
        auto sorted = ZAKCountryLocale::supportedCountryLocalesSortedByDisplayName();
        ASSERT_GT(sorted->count(), 200u);
        // ICU's collator at secondary strength gives the same order of the same names.
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale(locale), status));
        collator->setStrength(icu::Collator::SECONDARY);
        std::vector<std::u16string> names;
        for (const Id& entry : *sorted) {
            auto country = static_ref_cast<ZAKCountryLocale>(entry);
            const std::u16string icuName = icuCountryName(country->UTF8String(), locale);
            EXPECT_EQ(country->displayName()->utf16(), icuName) << country->UTF8String();
            names.push_back(icuName);
        }
        EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [&](const std::u16string& a, const std::u16string& b) {
            UErrorCode s = U_ZERO_ERROR;
            return collator->compare(icu::UnicodeString(a.data(), int32_t(a.size())),
                                     icu::UnicodeString(b.data(), int32_t(b.size())), s) == UCOL_LESS;
        })) << locale;
    }
    useLocale("sv_SE");
    auto order = identifiers(ZAKCountryLocale::supportedCountryLocalesSortedByDisplayName());
    EXPECT_GT(positionOf(order, "AT"), positionOf(order, "ZW"));
    useLocale("de_DE");
    order = identifiers(ZAKCountryLocale::supportedCountryLocalesSortedByDisplayName());
    EXPECT_GT(positionOf(order, "AT"), positionOf(order, "OM"));
    EXPECT_LT(positionOf(order, "AT"), positionOf(order, "PK"));
}

TEST_F(CountryList, HoldsTheNamedCodesInICUsOrder)
{
    std::vector<std::string> expected;
    const Ref<NSArray> codes = NSLocale::ISOCountryCodes();
    for (const Id& code : *codes) {
        const std::string text = static_ref_cast<NSString>(code)->UTF8String();
        const std::u16string name = icuCountryName(text, "en_US");
        if (name.find_first_not_of(u" \t") != std::u16string::npos) expected.push_back(text);
    }
    EXPECT_EQ(identifiers(ZAKCountryLocale::supportedCountryLocales()), expected);
}

TEST_F(CountryList, EveryRequestIsACopy)
{
    auto first = ZAKCountryLocale::supportedCountryLocales();
    auto second = ZAKCountryLocale::supportedCountryLocales();
    EXPECT_NE(first.get(), second.get());
    EXPECT_TRUE(first->isEqual(second.get()));
    const NSUInteger count = second->count();
    static_ref_cast<NSMutableArray>(first)->removeAllObjects();
    static_ref_cast<NSMutableArray>(second)->removeObjectAtIndex(0);
    EXPECT_EQ(ZAKCountryLocale::supportedCountryLocales()->count(), count);
    // Membership stays as built while names follow the locale.
    useLocale("fr_FR");
    EXPECT_EQ(ZAKCountryLocale::supportedCountryLocales()->count(), count);
}

using LocaleEntries = ValueTest;

TEST_F(LocaleEntries, EqualByClassAndIdentifier)
{
    auto austria = ZAKCountryLocale::countryWithIdentifier("AT"_ns);
    auto german = ZAKLanguageLocale::languageWithIdentifier("de"_ns);
    struct Case {
        Id other;
        bool equal;
    } cases[] = {
        {ZAKCountryLocale::countryWithIdentifier("AT"_ns), true},
        {ZAKCountryLocale::countryWithIdentifier("DE"_ns), false},
        {ZAKLanguageLocale::languageWithIdentifier("AT"_ns), false},
        {"AT"_ns, true},
        {NSMutableString::stringWithString("AT"_ns), false},
        {"at"_ns, false},
        {NSNumber::numberWithInt(1), false},
        {nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(austria->isEqual(c.other.get()), c.equal) << utf8(c.other ? c.other->description() : nullptr);
    EXPECT_TRUE(german->isEqual(ZAKLanguageLocale::languageWithIdentifier("de"_ns).get()));

    EXPECT_EQ(utf8(austria->displayName()), "Austria");
    EXPECT_EQ(utf8(austria->description()), "Austria");
    EXPECT_EQ(austria->UTF8String(), "AT");
    austria->setLocalIdentifier("CH"_ns);
    EXPECT_EQ(utf8(austria->displayName()), "Switzerland");
    useLocale("de_DE");
    EXPECT_EQ(utf8(german->displayName()), "Deutsch");
    german->setLocaleIdentifier("fr_CA"_ns);
    EXPECT_EQ(utf8(german->localeIdentifier()), "fr_CA");
}

TEST_F(LocaleEntries, SortByNameNotIdentifier)
{
    auto byName = [](const char* a, const char* b) {
        return ZAKCountryLocale::countryWithIdentifier(NSString::stringWithUTF8String(a))
            ->caseInsensitiveDisplayNameCompare(
                ZAKCountryLocale::countryWithIdentifier(NSString::stringWithUTF8String(b)));
    };
    EXPECT_EQ(byName("DE", "AT"), NSOrderedDescending);  // Germany after Austria
    EXPECT_EQ(byName("CH", "SE"), NSOrderedDescending);  // Switzerland after Sweden
    EXPECT_EQ(byName("AT", "AT"), NSOrderedSame);
    useLocale("de_DE");
    EXPECT_EQ(byName("DE", "AT"), NSOrderedAscending);  // Deutschland before Österreich
}

using LanguageList = ValueTest;

TEST_F(LanguageList, HoldsTheNamedLocales)
{
    auto languages = ZAKLanguageLocale::supportedLanguageLocales();
    ASSERT_GT(languages->count(), 100u);
    EXPECT_LE(languages->count(), NSLocale::availableLocaleIdentifiers()->count());
    for (const Id& entry : *languages) EXPECT_TRUE(static_ref_cast<ZAKLanguageLocale>(entry)->displayName());
    EXPECT_TRUE(languages->containsObject(ZAKLanguageLocale::languageWithIdentifier("de_AT"_ns)));
    EXPECT_NE(languages.get(), ZAKLanguageLocale::supportedLanguageLocales().get());

    auto sorted = identifiers(ZAKLanguageLocale::supportedLanguageLocalesSortedByDisplayName());
    EXPECT_LT(positionOf(sorted, "en"), positionOf(sorted, "de"));  // English before German
    EXPECT_EQ(sorted.size(), languages->count());
}

}  // namespace
