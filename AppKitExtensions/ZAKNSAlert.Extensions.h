#pragma once
// NSAlert(ZAKExtensions): alerts the user can switch off. An alert shown
// with a suppression identifier offers the "do not show again" check box;
// once the user ticks it, the identifier's flag in the standard user
// defaults says "suppressed", and later calls answer their completion block
// at once with the caller's code, showing nothing. The alert runs as a sheet
// on a window, or modally without one; either way the block gets 1 for the
// first button, 0 for the second and -1 for any other ending.
//
// ZAKBeginAlertSheet and ZAKRunAlertPanel build such an alert from texts and
// an informative-text format in one call.
#include <functional>

#include "AppKit/NSAlert.h"
#include "Foundation/NSString.h"

class _ZAKAlertSheetCompletionHandlerRunner;

using ZAKAlertCompletionHandler = std::function<void(const Ref<NSAlert>& alert, NSInteger returnCode)>;

namespace NSAlertExt {

// zakBeginSheetModalForWindow:suppressAlertIdentifier:returnCodeOnSuppress:completionHandler:
// A nil window runs the alert modally (the block runs before this returns).
void zakBeginSheetModalForWindow(const Ref<NSAlert>& alert, const Ref<NSWindow>& window,
                                 const Ref<NSString>& suppressAlertIdentifier, NSInteger returnCodeOnSuppress,
                                 const ZAKAlertCompletionHandler& completionHandler);

// The runner attached to the alert while it is shown.
Ref<_ZAKAlertSheetCompletionHandlerRunner> myZAKAlertSheetCompletionHandlerRunner(const Ref<NSAlert>& alert);
void setMyZAKAlertSheetCompletionHandlerRunner(const Ref<NSAlert>& alert,
                                               const Ref<_ZAKAlertSheetCompletionHandlerRunner>& runner);

}  // namespace NSAlertExt

// Turns the alert's delegate-and-selector ending into the completion block.
class _ZAKAlertSheetCompletionHandlerRunner : public NSObject {
    NS_OBJECT(_ZAKAlertSheetCompletionHandlerRunner, NSObject)
protected:
    _ZAKAlertSheetCompletionHandlerRunner() = default;

public:
    Ref<_ZAKAlertSheetCompletionHandlerRunner> initWithAlert(const Ref<NSAlert>& alert,
                                                             const Ref<NSString>& suppressAlertIdentifier,
                                                             NSInteger returnCodeOnSuppress,
                                                             const ZAKAlertCompletionHandler& completionHandler);
    // A sheet on the window, or modal without one.
    void startOnWindow(const Ref<NSWindow>& window);
    // alertDidEnd:returnCode:contextInfo: — stores the suppression when the
    // box is ticked, calls the block, and lets the alert go of the runner.
    void alertDidEnd(const Ref<NSAlert>& alert, NSInteger returnCode, void* contextInfo);

    NSInteger suppressReturnCode() const { return m_suppressReturnCode; }

    static void describeClass(NSClassMembers<_ZAKAlertSheetCompletionHandlerRunner>& m);

private:
    // The alert's did-end message, by name: the alert and the code as a number.
    void alertDidEndAction(const Id& alert, const Id& code);

    Ref<NSAlert> m_alert;
    ZAKAlertCompletionHandler m_completionHandler;
    Ref<NSString> m_suppressIdentifier;
    NSInteger m_suppressReturnCode = 0;
};

void ZAKBeginAlertSheetWithText(const Ref<NSString>& messageText, const Ref<NSString>& defaultButton,
                                const Ref<NSString>& alternateButton, const Ref<NSString>& otherButton,
                                const Ref<NSWindow>& window, const Ref<NSString>& suppressAlertIdentifier,
                                NSInteger returnCodeOnSuppress, const ZAKAlertCompletionHandler& completionHandler,
                                const Ref<NSString>& informativeText);

// ZAKBeginAlertSheet: a nil format leaves the informative text nil.
template <class... A>
void ZAKBeginAlertSheet(const Ref<NSString>& messageText, const Ref<NSString>& defaultButton,
                        const Ref<NSString>& alternateButton, const Ref<NSString>& otherButton,
                        const Ref<NSWindow>& window, const Ref<NSString>& suppressAlertIdentifier,
                        NSInteger returnCodeOnSuppress, const ZAKAlertCompletionHandler& completionHandler,
                        const char* informativeFormat, const A&... args)
{
    ZAKBeginAlertSheetWithText(messageText, defaultButton, alternateButton, otherButton, window,
                               suppressAlertIdentifier, returnCodeOnSuppress, completionHandler,
                               informativeFormat ? NSString::stringWithFormat(informativeFormat, args...) : nullptr);
}

// ZAKRunAlertPanel: the same without a window; the block runs before it returns.
template <class... A>
void ZAKRunAlertPanel(const Ref<NSString>& messageText, const Ref<NSString>& defaultButton,
                      const Ref<NSString>& alternateButton, const Ref<NSString>& otherButton,
                      const Ref<NSString>& suppressAlertIdentifier, NSInteger returnCodeOnSuppress,
                      const ZAKAlertCompletionHandler& completionHandler, const char* informativeFormat,
                      const A&... args)
{
    ZAKBeginAlertSheetWithText(messageText, defaultButton, alternateButton, otherButton, nullptr,
                               suppressAlertIdentifier, returnCodeOnSuppress, completionHandler,
                               informativeFormat ? NSString::stringWithFormat(informativeFormat, args...) : nullptr);
}
