#include "AppKitExtensions/ZAKNSAlert.Extensions.h"

#include "AppKit/NSApplicationSheets.h"
#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSObjectAssociation.h"
#include "Foundation/NSUserDefaults.h"
#include "FoundationExtensions/NSUserDefaults+ZAKAppKitSuppressAlertsAndWarnings.h"

NS_CLASS_DEFINE(_ZAKAlertSheetCompletionHandlerRunner)

namespace {

// The association's key: this variable's address.
const char kRunnerKey = 0;
constexpr char kDidEndSelector[] = "alertDidEnd:returnCode:contextInfo:";

NSInteger blockCodeForPlatformCode(NSInteger code)
{
    if (code == NSAlertFirstButtonReturn) return 1;
    if (code == NSAlertSecondButtonReturn) return 0;
    return -1;
}

}  // namespace

namespace NSAlertExt {

Ref<_ZAKAlertSheetCompletionHandlerRunner> myZAKAlertSheetCompletionHandlerRunner(const Ref<NSAlert>& alert)
{
    return dynamic_ref_cast<_ZAKAlertSheetCompletionHandlerRunner>(objc_getAssociatedObject(alert, &kRunnerKey));
}

void setMyZAKAlertSheetCompletionHandlerRunner(const Ref<NSAlert>& alert,
                                               const Ref<_ZAKAlertSheetCompletionHandlerRunner>& runner)
{
    objc_setAssociatedObject(alert, &kRunnerKey, runner, OBJC_ASSOCIATION_RETAIN_NONATOMIC);
}

void zakBeginSheetModalForWindow(const Ref<NSAlert>& alert, const Ref<NSWindow>& window,
                                 const Ref<NSString>& suppressAlertIdentifier, NSInteger returnCodeOnSuppress,
                                 const ZAKAlertCompletionHandler& completionHandler)
{
    if (!alert) return;
    if (suppressAlertIdentifier) {
        alert->setShowsSuppressionButton(true);
        if (!NSUserDefaultsExt::shouldShowAlertWithIdentifier(NSUserDefaults::standardUserDefaults(),
                                                              suppressAlertIdentifier)) {
            if (completionHandler) completionHandler(alert, returnCodeOnSuppress);
            return;
        }
    }
    auto runner = NSObject::alloc<_ZAKAlertSheetCompletionHandlerRunner>()->initWithAlert(
        alert, suppressAlertIdentifier, returnCodeOnSuppress, completionHandler);
    setMyZAKAlertSheetCompletionHandlerRunner(alert, runner);
    runner->startOnWindow(window);
}

}  // namespace NSAlertExt

void _ZAKAlertSheetCompletionHandlerRunner::describeClass(NSClassMembers<_ZAKAlertSheetCompletionHandlerRunner>& m)
{
    m.action(kDidEndSelector, &_ZAKAlertSheetCompletionHandlerRunner::alertDidEndAction);
}

void _ZAKAlertSheetCompletionHandlerRunner::alertDidEndAction(const Id& alert, const Id& code)
{
    auto number = dynamic_ref_cast<NSNumber>(code);
    alertDidEnd(dynamic_ref_cast<NSAlert>(alert), number ? number->integerValue() : NSModalResponseAbort, nullptr);
}

Ref<_ZAKAlertSheetCompletionHandlerRunner> _ZAKAlertSheetCompletionHandlerRunner::initWithAlert(
    const Ref<NSAlert>& alert, const Ref<NSString>& suppressAlertIdentifier, NSInteger returnCodeOnSuppress,
    const ZAKAlertCompletionHandler& completionHandler)
{
    m_alert = alert;
    m_completionHandler = completionHandler;
    m_suppressIdentifier = suppressAlertIdentifier ? NSString::stringWithString(suppressAlertIdentifier) : nullptr;
    m_suppressReturnCode = returnCodeOnSuppress;
    return Ref<_ZAKAlertSheetCompletionHandlerRunner>(this);
}

void _ZAKAlertSheetCompletionHandlerRunner::startOnWindow(const Ref<NSWindow>& window)
{
    Ref<_ZAKAlertSheetCompletionHandlerRunner> self(this);
    if (!window) {
        const NSInteger code = m_alert->runModal();
        alertDidEnd(m_alert, code, nullptr);
        return;
    }
    m_alert->beginSheetModalForWindow(window, Id(this), kDidEndSelector, nullptr);
    // A window that already shows a sheet takes no second one: the alert
    // ended unseen, and the caller hears so rather than waiting forever.
    if (m_alert && !NSApplicationExt::isSheet(m_alert->window())) alertDidEnd(m_alert, NSModalResponseAbort, nullptr);
}

void _ZAKAlertSheetCompletionHandlerRunner::alertDidEnd(const Ref<NSAlert>& endedAlert, NSInteger returnCode, void*)
{
    // A copy: the caller may pass the runner's own reference, which goes below.
    const Ref<NSAlert> alert = endedAlert;
    if (alert != m_alert) {
        NSAssertionHandler::currentHandler()->handleFailureInMethod(
            kDidEndSelector, this, "AppKitExtensions/ZAKNSAlert.Extensions.cpp"_ns, __LINE__,
            "Got a alert different from what I expected -- This should never happen"_ns);
        return;
    }
    Ref<_ZAKAlertSheetCompletionHandlerRunner> self(this);
    const NSInteger code = blockCodeForPlatformCode(returnCode);
    if (m_suppressIdentifier && alert->suppressionButton()->state() == NSOnState)
        NSUserDefaultsExt::setShowState(NSUserDefaults::standardUserDefaults(), false, m_suppressIdentifier);
    auto handler = std::move(m_completionHandler);
    m_completionHandler = nullptr;
    // The alert and its runner part here: each held the other while shown.
    NSAlertExt::setMyZAKAlertSheetCompletionHandlerRunner(alert, nullptr);
    m_alert = nullptr;
    if (handler) handler(alert, code);
}

void ZAKBeginAlertSheetWithText(const Ref<NSString>& messageText, const Ref<NSString>& defaultButton,
                                const Ref<NSString>& alternateButton, const Ref<NSString>& otherButton,
                                const Ref<NSWindow>& window, const Ref<NSString>& suppressAlertIdentifier,
                                NSInteger returnCodeOnSuppress, const ZAKAlertCompletionHandler& completionHandler,
                                const Ref<NSString>& informativeText)
{
    auto alert = NSObject::make<NSAlert>();
    alert->setMessageText(messageText);
    alert->addButtonWithTitle(defaultButton);
    if (alternateButton) alert->addButtonWithTitle(alternateButton);
    if (otherButton) alert->addButtonWithTitle(otherButton);
    alert->setInformativeText(informativeText);
    NSAlertExt::zakBeginSheetModalForWindow(alert, window, suppressAlertIdentifier, returnCodeOnSuppress,
                                            completionHandler);
}
