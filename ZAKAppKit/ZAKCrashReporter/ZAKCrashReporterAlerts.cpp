// The crash reporter's alerts: the question at launch and a report not sent.
#include "AppKit/NSAlert.h"
#include "AppKit/NSApplication.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "FoundationExtensions/ZAKNSObject.Extension.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"

namespace {

Ref<NSString> localized(const char* key)
{
    return NSObjectExt::bundle(ZAKCrashReporter::classRecord())
        ->localizedStringForKey(NSString::stringWithUTF8String(key), ""_ns, "ZAKCrashReporterAdditional"_ns);
}

Ref<NSString> executable()
{
    auto name =
        dynamic_ref_cast<NSString>(NSBundle::mainBundle()->infoDictionary()->objectForKey("CFBundleExecutable"_ns));
    return name ? name : ""_ns;
}

}

void ZAKCrashReporter::checkForCrash()
{
    try {
        if (!dateOfCrashLogToOffer()) return;
        Ref<NSAlert> alert =
            NSAlert::alertWithMessageText(localized("WANT_TO_SEND_CRASH_TITLE"), localized("WANT_TO_SEND_CRASH_SEND"),
                                          localized("WANT_TO_SEND_CRASH_DONT_SEND"), nullptr,
                                          offerMessage(localized("WANT_TO_SEND_CRASH"), executable()));
        if (alert->runModal() == NSAlertAlternateReturn) {
            storeCheckDate(NSDate::date());
            return;
        }
        Ref<ZAKCrashReporter> reporter = NSObject::make<ZAKCrashReporter>();
        reporter->showReporterDialog();
    } catch (const NSException& exception) {
        NSLog("Exception during check for crash: %@",
              NSString::stringWithFormat("%@: %@", exception.name(), exception.reason()));
    }
}

void ZAKCrashReporter::runNotSentAlert(ZAKMultipartForm::PostResult result)
{
    Ref<NSString> message = result == ZAKMultipartForm::PostResult::NoAddress ? localized("CRASH_REPORT_NO_ADDRESS")
                                                                              : localized("CRASH_REPORT_NOT_SENT");
    NSAlert::alertWithMessageText(localized("CRASH_REPORT_NOT_SENT_TITLE"), localized("CRASH_REPORT_OK"), nullptr,
                                  nullptr, message)
        ->runModal();
}
