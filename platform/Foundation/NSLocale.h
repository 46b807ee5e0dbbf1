#pragma once
// Locales by identifier ("en_US", "fr_FR"). The current locale is read once
// from LC_ALL, LC_MESSAGES or LANG ("C" and "POSIX" stand for en_US_POSIX)
// and can be replaced, so tests pin one.
#include <string>

#include "Foundation/NSString.h"

class NSArray;

// Keys of objectForKey.
Ref<NSString> NSLocaleIdentifier();
Ref<NSString> NSLocaleLanguageCode();
Ref<NSString> NSLocaleCountryCode();
Ref<NSString> NSLocaleDecimalSeparator();

class NSLocale : public NSObject {
    NS_OBJECT(NSLocale, NSObject)
protected:
    NSLocale() = default;

public:
    static Ref<NSLocale> localeWithLocaleIdentifier(const Ref<NSString>& identifier);
    static Ref<NSLocale> currentLocale();
    // Replaces the current locale for the whole process; nil goes back to the
    // environment's.
    static void setCurrentLocale(const Ref<NSLocale>& locale);
    // The identifier of the environment's locale.
    static Ref<NSString> environmentLocaleIdentifier();

    Ref<NSString> localeIdentifier() const { return m_identifier; }
    // The language code ("en"), the country code ("US", nil when none) and
    // the decimal separator; nil for other keys.
    Id objectForKey(const Ref<NSString>& key) const;
    // The name, in this locale's language, of a country code (key
    // NSLocaleCountryCode) or a locale identifier (key NSLocaleIdentifier);
    // nil for other keys and for codes ICU has no name for.
    Ref<NSString> displayNameForKey(const Ref<NSString>& key, const Id& value) const;
    // The two-letter ISO 3166 country codes and the identifiers of the
    // locales ICU has data for, each in ICU's order.
    static Ref<NSArray> ISOCountryCodes();
    static Ref<NSArray> availableLocaleIdentifiers();
    // The identifier in ICU's canonical form, for ICU calls.
    const std::string& icuLocaleID() const { return m_icuID; }

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return m_identifier->hash(); }
    Ref<NSString> description() const override { return m_identifier; }
    Id copy() const override { return const_cast<NSLocale*>(this); }

private:
    Ref<NSString> m_identifier;
    std::string m_icuID;
};
