#include "Foundation/NSClass.h"
#include "AppServices.h"

#include "AppKit/NSAlert.h"

namespace AppServices {

// TODO(crash reporter): call ZAKCrashReporter's checkForCrash once it exists.
void checkForCrash() {}

// TODO(feedback dialog): call ZAKFeedbackProvider's showFeedbackProviderDialog once it exists.
void showFeedbackProviderDialog() {}

// --- Confirmation ---

bool confirm(const Ref<NSString>& title, const Ref<NSString>& message, const Ref<NSString>& yes, const Ref<NSString>& no)
{
    auto alert = NSAlert::alertWithMessageText(title, yes, no, nullptr, message);
    return alert->runModal() == NSAlertDefaultReturn;
}

}  // namespace AppServices
