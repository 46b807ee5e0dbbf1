#include "ZAKAppKit/ZAKLocaleLists/ZAKCountryLocale.h"

#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKCountryLocale)

Ref<ZAKCountryLocale> ZAKCountryLocale::countryWithIdentifier(const Ref<NSString>& code)
{
    return static_ref_cast<ZAKCountryLocale>(alloc<ZAKCountryLocale>()->initWithLocaleIdentifier(code));
}

Ref<NSArray> ZAKCountryLocale::supportedCountryLocales()
{
    static SupportedList list;
    return supportedEntries(list, [] {
        auto entries = NSMutableArray::array();
        const Ref<NSLocale> current = NSLocale::currentLocale();
        const Ref<NSCharacterSet> blanks = NSCharacterSet::whitespaceCharacterSet();
        const Ref<NSArray> codes = NSLocale::ISOCountryCodes();
        for (const Id& code : *codes) {
            const Ref<NSString> name = current->displayNameForKey(NSLocaleCountryCode(), code);
            if (!name || name->stringByTrimmingCharactersInSet(blanks)->length() == 0) continue;
            entries->addObject(countryWithIdentifier(static_ref_cast<NSString>(code)));
        }
        return Ref<NSArray>(entries);
    });
}

Ref<NSArray> ZAKCountryLocale::supportedCountryLocalesSortedByDisplayName()
{
    return sortedByDisplayName(supportedCountryLocales());
}
