#pragma once
// The feedback dialog's sending: the fields the makers' web form reads, the
// remembered sender address and copy choice, and the post to the address in
// the main bundle's "ZAKFeedbackProviderCGIURL". Only a 2xx answer counts as
// sent; anything else keeps what the user wrote.
#include "AppKit/NSButton.h"
#include "AppKit/NSComboBox.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKMultipartForm.h"

class ZAKFeedbackProvider : public NSObject {
    NS_OBJECT(ZAKFeedbackProvider, NSObject)
protected:
    ZAKFeedbackProvider() = default;

public:
    // Makes a provider and runs its dialog; returns when the dialog ends.
    static void showFeedbackProviderDialog();
    // Loads the interface file "ZAKFeedbackProvider" with the provider as its
    // owner; raises "View initialization failed" when it cannot.
    Id init() override;
    // Fills the dialog from the remembered defaults and runs it modally.
    void showDialog();
    // Sends; only a 2xx answer empties and closes the dialog. Otherwise an
    // alert says so and the subject, address and message stay as typed.
    void sendFeedbackButtonAction(const Id& sender);
    void closeFeedbackWindow(const Id& sender);
    // Opens the makers' web page ("ZAKFeedbackURL") and closes the dialog.
    void openURL(const Id& sender);

    Ref<NSWindow> feedbackWindow() const { return m_feedbackWindow; }
    void setFeedbackWindow(const Ref<NSWindow>& window) { m_feedbackWindow = window; }
    Ref<NSComboBox> subjectField() const { return m_subjectField; }
    void setSubjectField(const Ref<NSComboBox>& field) { m_subjectField = field; }
    Ref<NSTextField> emailAdress() const { return m_emailAdress; }
    void setEmailAdress(const Ref<NSTextField>& field) { m_emailAdress = field; }
    Ref<NSTextView> messageText() const { return m_messageText; }
    void setMessageText(const Ref<NSTextView>& view) { m_messageText = view; }
    Ref<NSButton> sendMeACopyButton() const { return m_sendMeACopyButton; }
    void setSendMeACopyButton(const Ref<NSButton>& button) { m_sendMeACopyButton = button; }
    static void describeClass(NSClassMembers<ZAKFeedbackProvider>& m);
    // Registers the remembered address ("") and copy choice (YES).
    static void initialize();

    static Ref<NSString> rememberedAddress();
    static bool rememberedSendMeACopy();
    static void rememberSender(const Ref<NSString>& address, bool sendMeACopy);

    // "ZAKFeedbackSubjectPrefix" of the main bundle followed directly by the
    // chosen subject.
    static Ref<NSString> subjectWithPrefix(const Ref<NSString>& subject);
    // subject, from, message, sendmeacopy, appversion.
    static ZAKMultipartForm::Fields feedbackFields(const Ref<NSString>& subject, const Ref<NSString>& from,
                                                   const Ref<NSString>& message, bool sendMeACopy);
    // Posts feedback (the subject already prefixed); logs when the bundle
    // names no address.
    static ZAKMultipartForm::PostResult sendFeedback(const Ref<NSString>& subject, const Ref<NSString>& from,
                                                     const Ref<NSString>& message, bool sendMeACopy);

private:
    Ref<NSString> message() const;
    void setMessage(const Ref<NSString>& text);

    Ref<NSWindow> m_feedbackWindow;
    Ref<NSComboBox> m_subjectField;
    Ref<NSTextField> m_emailAdress;
    Ref<NSTextView> m_messageText;
    Ref<NSButton> m_sendMeACopyButton;
    Ref<NSArray> m_topLevelObjects;
};
