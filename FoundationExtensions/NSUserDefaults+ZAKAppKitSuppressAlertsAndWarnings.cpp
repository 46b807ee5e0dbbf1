#include "FoundationExtensions/NSUserDefaults+ZAKAppKitSuppressAlertsAndWarnings.h"

#include "Foundation/NSNumber.h"

namespace NSUserDefaultsExt {

Ref<NSString> suppressedAlertsKey() { return "HSKAppKitSuppressedAlertsIdentifierDictionary"_ns; }

bool shouldShowAlertWithIdentifier(const Ref<NSUserDefaults>& defaults, const Ref<NSString>& identifier)
{
    Ref<NSDictionary> flags = defaults->dictionaryForKey(suppressedAlertsKey());
    if (!flags || !identifier) return true;
    Id flag = flags->objectForKey(identifier);
    if (auto number = dynamic_ref_cast<NSNumber>(flag)) return number->boolValue();
    if (auto text = dynamic_ref_cast<NSString>(flag)) return text->boolValue();
    return true;
}

void setShowState(const Ref<NSUserDefaults>& defaults, bool show, const Ref<NSString>& identifier)
{
    auto flags = NSMutableDictionary::dictionary();
    if (Ref<NSDictionary> stored = defaults->dictionaryForKey(suppressedAlertsKey()))
        flags->addEntriesFromDictionary(stored);
    flags->setObject(NSNumber::numberWithBool(show), identifier);
    defaults->setObject(flags, suppressedAlertsKey());
}

void resetAlertsAndWarnings(const Ref<NSUserDefaults>& defaults)
{
    defaults->setObject(NSDictionary::dictionary(), suppressedAlertsKey());
}

}
