#include "AppServices.h"
#include "Foundation/NSClass.h"

#include "AppKit/NSAlert.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"
#include "ZAKAppKit/ZAKFeedbackProvider/ZAKFeedbackProvider.h"

namespace AppServices {

void checkForCrash() { ZAKCrashReporter::checkForCrash(); }

void showFeedbackProviderDialog() { ZAKFeedbackProvider::showFeedbackProviderDialog(); }

// --- Confirmation ---

bool confirm(const Ref<NSString>& title, const Ref<NSString>& message, const Ref<NSString>& yes,
             const Ref<NSString>& no)
{
    auto alert = NSAlert::alertWithMessageText(title, yes, no, nullptr, message);
    return alert->runModal() == NSAlertDefaultReturn;
}

}  // namespace AppServices
