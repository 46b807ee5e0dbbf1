#pragma once
// One country, by its ISO country code, shown by its name in the current
// locale. The supported list holds every ISO code ICU names with a
// non-blank name.
#include "ZAKAppKit/ZAKLocaleLists/ZAKLocaleEntry.h"

class ZAKCountryLocale : public ZAKLocaleEntry {
    NS_OBJECT(ZAKCountryLocale, ZAKLocaleEntry)
protected:
    ZAKCountryLocale() = default;

public:
    static Ref<ZAKCountryLocale> countryWithIdentifier(const Ref<NSString>& code);
    static Ref<NSArray> supportedCountryLocales();
    static Ref<NSArray> supportedCountryLocalesSortedByDisplayName();
    void setLocalIdentifier(const Ref<NSString>& code) { storeIdentifier(code); }

protected:
    Ref<NSString> displayNameKey() const override { return NSLocaleCountryCode(); }
};
