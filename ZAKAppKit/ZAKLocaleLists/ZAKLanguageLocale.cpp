#include "ZAKAppKit/ZAKLocaleLists/ZAKLanguageLocale.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKLanguageLocale)

Ref<ZAKLanguageLocale> ZAKLanguageLocale::languageWithIdentifier(const Ref<NSString>& identifier)
{
    return static_ref_cast<ZAKLanguageLocale>(alloc<ZAKLanguageLocale>()->initWithLocaleIdentifier(identifier));
}

Ref<NSArray> ZAKLanguageLocale::supportedLanguageLocales()
{
    static SupportedList list;
    return supportedEntries(list, [] {
        auto entries = NSMutableArray::array();
        const Ref<NSLocale> current = NSLocale::currentLocale();
        const Ref<NSArray> identifiers = NSLocale::availableLocaleIdentifiers();
        for (const Id& identifier : *identifiers) {
            if (!current->displayNameForKey(NSLocaleIdentifier(), identifier)) continue;
            entries->addObject(languageWithIdentifier(static_ref_cast<NSString>(identifier)));
        }
        return Ref<NSArray>(entries);
    });
}

Ref<NSArray> ZAKLanguageLocale::supportedLanguageLocalesSortedByDisplayName()
{
    return sortedByDisplayName(supportedLanguageLocales());
}
