#include "Foundation/NSLocale.h"

#include <cstdlib>
#include <mutex>

#include <unicode/uloc.h>
#include <unicode/unum.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSLocale)

Ref<NSString> NSLocaleIdentifier() { return "kCFLocaleIdentifierKey"_ns; }
Ref<NSString> NSLocaleLanguageCode() { return "kCFLocaleLanguageCodeKey"_ns; }
Ref<NSString> NSLocaleCountryCode() { return "kCFLocaleCountryCodeKey"_ns; }
Ref<NSString> NSLocaleDecimalSeparator() { return "kCFLocaleDecimalSeparatorKey"_ns; }

namespace {
std::mutex g_currentLock;
Ref<NSLocale>& currentSlot()
{
    static auto* slot = new Ref<NSLocale>;
    return *slot;
}

std::string icuCanonical(const std::string& identifier)
{
    char buffer[ULOC_FULLNAME_CAPACITY];
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = uloc_canonicalize(identifier.c_str(), buffer, sizeof buffer, &status);
    if (U_FAILURE(status) || n >= static_cast<int32_t>(sizeof buffer)) return identifier;
    return std::string(buffer, n);
}

Ref<NSString> icuString(int32_t (*get)(const char*, char*, int32_t, UErrorCode*), const std::string& id)
{
    char buffer[ULOC_FULLNAME_CAPACITY];
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = get(id.c_str(), buffer, sizeof buffer, &status);
    if (U_FAILURE(status) || n <= 0 || n >= static_cast<int32_t>(sizeof buffer)) return nullptr;
    return NSString::stringWithUTF8String(std::string_view(buffer, n));
}

Ref<NSString> decimalSeparator(const std::string& id)
{
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat* format = unum_open(UNUM_DECIMAL, nullptr, 0, id.c_str(), nullptr, &status);
    if (U_FAILURE(status)) return "."_ns;
    UChar symbol[16];
    int32_t n = unum_getSymbol(format, UNUM_DECIMAL_SEPARATOR_SYMBOL, symbol, 16, &status);
    unum_close(format);
    if (U_FAILURE(status) || n <= 0 || n > 16) return "."_ns;
    return NSString::stringWithCharacters(symbol, n);
}
}

Ref<NSLocale> NSLocale::localeWithLocaleIdentifier(const Ref<NSString>& identifier)
{
    Ref<NSLocale> locale = alloc<NSLocale>();
    locale->m_identifier = identifier ? static_ref_cast<NSString>(identifier->copy()) : NSString::string();
    locale->m_icuID = icuCanonical(locale->m_identifier->UTF8String());
    return locale;
}

Ref<NSString> NSLocale::environmentLocaleIdentifier()
{
    std::string value;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) {
            value = v;
            break;
        }
    }
    // "de_DE.UTF-8@euro" names the locale de_DE.
    value = value.substr(0, value.find_first_of(".@"));
    if (value.empty() || value == "C" || value == "POSIX") return "en_US_POSIX"_ns;
    Ref<NSString> id = NSString::stringWithUTF8String(value);
    return id ? id : "en_US_POSIX"_ns;
}

Ref<NSLocale> NSLocale::currentLocale()
{
    std::lock_guard lock(g_currentLock);
    Ref<NSLocale>& slot = currentSlot();
    if (!slot) slot = localeWithLocaleIdentifier(environmentLocaleIdentifier());
    return slot;
}

void NSLocale::setCurrentLocale(const Ref<NSLocale>& locale)
{
    std::lock_guard lock(g_currentLock);
    currentSlot() = locale;
}

Id NSLocale::objectForKey(const Ref<NSString>& key) const
{
    if (!key) return nullptr;
    if (key->isEqualToString(NSLocaleIdentifier())) return m_identifier;
    if (key->isEqualToString(NSLocaleLanguageCode())) return icuString(uloc_getLanguage, m_icuID);
    if (key->isEqualToString(NSLocaleCountryCode())) return icuString(uloc_getCountry, m_icuID);
    if (key->isEqualToString(NSLocaleDecimalSeparator())) return decimalSeparator(m_icuID);
    return nullptr;
}

bool NSLocale::isEqual(const NSObject* other) const
{
    auto* locale = dynamic_cast<const NSLocale*>(other);
    return locale && locale->m_identifier->isEqualToString(m_identifier);
}

namespace {

using DisplayFunction = int32_t (*)(const char*, const char*, UChar*, int32_t, UErrorCode*);

std::u16string displayText(DisplayFunction get, const std::string& code, const std::string& inLocale)
{
    UChar buffer[256];
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = get(code.c_str(), inLocale.c_str(), buffer, 256, &status);
    if (U_FAILURE(status) || n <= 0 || n > 256) return {};
    return std::u16string(buffer, size_t(n));
}

std::u16string asciiUTF16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

}

Ref<NSString> NSLocale::displayNameForKey(const Ref<NSString>& key, const Id& value) const
{
    auto code = dynamic_ref_cast<NSString>(value);
    if (!key || !code || code->length() == 0) return nullptr;
    const std::string text = code->UTF8String();
    if (key->isEqualToString(NSLocaleCountryCode())) {
        // ICU answers a code it has no name for with the code itself.
        std::u16string name = displayText(uloc_getDisplayCountry, "und_" + text, m_icuID);
        if (name.empty() || name == asciiUTF16(text)) return nullptr;
        return NSString::stringWithUTF16(std::move(name));
    }
    if (key->isEqualToString(NSLocaleIdentifier())) {
        const std::string id = icuCanonical(text);
        char language[ULOC_LANG_CAPACITY];
        UErrorCode status = U_ZERO_ERROR;
        int32_t n = uloc_getLanguage(id.c_str(), language, sizeof language, &status);
        if (U_FAILURE(status) || n <= 0 || n >= int32_t(sizeof language)) return nullptr;
        const std::u16string languageName = displayText(uloc_getDisplayLanguage, id, m_icuID);
        if (languageName.empty() || languageName == asciiUTF16(std::string(language, size_t(n)))) return nullptr;
        std::u16string name = displayText(uloc_getDisplayName, id, m_icuID);
        if (name.empty()) return nullptr;
        return NSString::stringWithUTF16(std::move(name));
    }
    return nullptr;
}

Ref<NSArray> NSLocale::ISOCountryCodes()
{
    auto codes = NSMutableArray::array();
    for (const char* const* code = uloc_getISOCountries(); *code; ++code)
        codes->addObject(NSString::stringWithUTF8String(*code));
    return codes;
}

Ref<NSArray> NSLocale::availableLocaleIdentifiers()
{
    auto identifiers = NSMutableArray::array();
    const int32_t count = uloc_countAvailable();
    for (int32_t i = 0; i < count; ++i)
        if (const char* id = uloc_getAvailable(i)) identifiers->addObject(NSString::stringWithUTF8String(id));
    return identifiers;
}
