#pragma once
// One language locale, by its identifier, shown by its name in the current
// locale. The supported list holds every available locale ICU names.
#include "ZAKAppKit/ZAKLocaleLists/ZAKLocaleEntry.h"

class ZAKLanguageLocale : public ZAKLocaleEntry {
    NS_OBJECT(ZAKLanguageLocale, ZAKLocaleEntry)
protected:
    ZAKLanguageLocale() = default;

public:
    static Ref<ZAKLanguageLocale> languageWithIdentifier(const Ref<NSString>& identifier);
    static Ref<NSArray> supportedLanguageLocales();
    static Ref<NSArray> supportedLanguageLocalesSortedByDisplayName();
    void setLocaleIdentifier(const Ref<NSString>& identifier) { storeIdentifier(identifier); }

protected:
    Ref<NSString> displayNameKey() const override { return NSLocaleIdentifier(); }
};
