#pragma once
// Alerts: a message, informative text and buttons in a modal window.
// runModal shows the window at the modal-panel level, runs it with
// NSApp runModalForWindow: and answers the code of the button pressed:
// 1000, 1001, 1002... for buttons added with addButtonWithTitle: (the
// first is the default), and 1 (default), 0 (alternate) and -1 (other) for
// alerts made by alertWithMessageText:... and for NSRunAlertPanel. Return
// presses the default button, Escape the button titled "Cancel". Every alert
// shown is recorded in AlertLog with its style, texts, buttons and result.
//
// beginSheetModalForWindow:... attaches the alert to the window as a sheet
// and returns at once; the button pressed ends the sheet, orders the alert
// out and sends the delegate its did-end selector with the alert and the
// code (an NSNumber; a one-argument method gets the alert). The context is
// available as contextInfo() during that call.
//
// With setShowsSuppressionButton: the alert offers a check box, "Do not show
// this message again", under its texts; its state is the caller's to read
// when the alert ended. The log records the box, its place on the screen and
// whether it was ticked.
#include <vector>

#include "AppKit/NSApplication.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSString.h"

enum NSAlertStyle : NSUInteger {
    NSWarningAlertStyle = 0,
    NSInformationalAlertStyle = 1,
    NSCriticalAlertStyle = 2,
};

inline constexpr NSInteger NSAlertFirstButtonReturn = 1000;
inline constexpr NSInteger NSAlertSecondButtonReturn = 1001;
inline constexpr NSInteger NSAlertThirdButtonReturn = 1002;
inline constexpr NSInteger NSAlertDefaultReturn = 1;
inline constexpr NSInteger NSAlertAlternateReturn = 0;
inline constexpr NSInteger NSAlertOtherReturn = -1;
inline constexpr NSInteger NSAlertErrorReturn = -2;

class NSAlert : public NSObject {
    NS_OBJECT(NSAlert, NSObject)
protected:
    NSAlert() = default;

public:
    ~NSAlert() override;

    // alertWithMessageText:defaultButton:alternateButton:otherButton:informativeTextWithFormat:
    // A nil default title means "OK"; nil alternate or other titles leave
    // the button out.
    static Ref<NSAlert> alertWithMessageText(const Ref<NSString>& message, const Ref<NSString>& defaultButton,
                                             const Ref<NSString>& alternateButton, const Ref<NSString>& otherButton,
                                             const Ref<NSString>& informativeText);
    template <class... A>
    static Ref<NSAlert> alertWithMessageText(const Ref<NSString>& message, const Ref<NSString>& defaultButton,
                                             const Ref<NSString>& alternateButton, const Ref<NSString>& otherButton,
                                             const char* informativeFormat, const A&... args)
    {
        return alertWithMessageText(message, defaultButton, alternateButton, otherButton,
                                    NSString::stringWithFormat(informativeFormat, args...));
    }

    Ref<NSString> messageText() const { return m_messageText; }
    void setMessageText(const Ref<NSString>& text);
    Ref<NSString> informativeText() const { return m_informativeText; }
    void setInformativeText(const Ref<NSString>& text);
    NSAlertStyle alertStyle() const { return m_style; }
    void setAlertStyle(NSAlertStyle style) { m_style = style; }
    // Answers the button; its tag is the code it answers.
    Ref<NSButton> addButtonWithTitle(const Ref<NSString>& title);
    const std::vector<Ref<NSButton>>& buttons() const { return m_buttons; }
    // The alert's window (made on first use).
    Ref<NSWindow> window();

    bool showsSuppressionButton() const { return m_showsSuppressionButton; }
    void setShowsSuppressionButton(bool flag) { m_showsSuppressionButton = flag; }
    // The check box (made on first use, off), shown only when asked for.
    Ref<NSButton> suppressionButton();

    NSModalResponse runModal();
    void beginSheetModalForWindow(const Ref<NSWindow>& window, const Id& delegate, const SEL& didEndSelector,
                                  void* contextInfo);
    void* contextInfo() const { return m_contextInfo; }

    // The buttons' action: ends the modal run or the sheet with the
    // button's code.
    void buttonPressed(const Id& sender);
    static void initialize();

    static void describeClass(NSClassMembers<NSAlert>& m);

private:
    void layout();
    NSModalResponse runWindow();
    size_t recordShown();
    void recordEnd(size_t index, NSInteger code);
    void recordSuppressionButtonFrame(size_t index);
    void sheetDidEnd(const Ref<NSWindow>& sheet, NSInteger returnCode, void* contextInfo);
    Ref<NSButton> makeButton(const Ref<NSString>& title, NSInteger code);

    Ref<NSString> m_messageText;
    Ref<NSString> m_informativeText;
    NSAlertStyle m_style = NSWarningAlertStyle;
    std::vector<Ref<NSButton>> m_buttons;
    bool m_showsSuppressionButton = false;
    Ref<NSButton> m_suppressionButton;
    Ref<NSWindow> m_window;
    void* m_contextInfo = nullptr;
    // While shown as a sheet: the alert keeps itself, its log entry and the
    // caller's delegate (not retained) and did-end selector.
    Ref<NSAlert> m_selfWhileSheet;
    size_t m_logIndex = 0;
    Weak<NSObject> m_sheetDelegate;
    SEL m_sheetDidEnd;
};

// NSRunAlertPanel: a legacy alert run at once; answers 1, 0 or -1.
NSInteger NSRunAlertPanel(const Ref<NSString>& title, const Ref<NSString>& message, const Ref<NSString>& defaultButton,
                          const Ref<NSString>& alternateButton, const Ref<NSString>& otherButton);
NSInteger NSRunCriticalAlertPanel(const Ref<NSString>& title, const Ref<NSString>& message,
                                  const Ref<NSString>& defaultButton, const Ref<NSString>& alternateButton,
                                  const Ref<NSString>& otherButton);
NSInteger NSRunInformationalAlertPanel(const Ref<NSString>& title, const Ref<NSString>& message,
                                       const Ref<NSString>& defaultButton, const Ref<NSString>& alternateButton,
                                       const Ref<NSString>& otherButton);
