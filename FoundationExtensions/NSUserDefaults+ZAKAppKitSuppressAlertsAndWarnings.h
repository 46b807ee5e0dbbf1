#pragma once
// NSUserDefaults(ZAKAppKitSuppressAlertsAndWarnings): per alert identifier,
// whether an alert that offers "don't show again" is still to be shown. The
// flags live under one key as a dictionary from identifier to a boolean
// number (YES: show); a missing dictionary or entry means "show".
#include "Foundation/NSUserDefaults.h"

namespace NSUserDefaultsExt {

// "HSKAppKitSuppressedAlertsIdentifierDictionary".
Ref<NSString> suppressedAlertsKey();

bool shouldShowAlertWithIdentifier(const Ref<NSUserDefaults>& defaults, const Ref<NSString>& identifier);
// Stores the whole dictionary again with the identifier's flag set; the
// other entries stay. The defaults are not synchronized here.
void setShowState(const Ref<NSUserDefaults>& defaults, bool show, const Ref<NSString>& identifier);
// Every alert is shown again.
void resetAlertsAndWarnings(const Ref<NSUserDefaults>& defaults);

}
