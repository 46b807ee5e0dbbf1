#pragma once
// Stand-ins for services other parts of the system provide; each is replaced
// by the real component when it lands (see the notes in AppServices.cpp).
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

namespace AppServices {
// Checks for a crash log of the previous run (crash reporter; nothing yet).
void checkForCrash();
// Opens the feedback dialog (nothing yet).
void showFeedbackProviderDialog();

// A modal alert with a default and an alternate button; answers true for
// the default button.
bool confirm(const Ref<NSString>& title, const Ref<NSString>& message, const Ref<NSString>& yes,
             const Ref<NSString>& no);
}  // namespace AppServices
