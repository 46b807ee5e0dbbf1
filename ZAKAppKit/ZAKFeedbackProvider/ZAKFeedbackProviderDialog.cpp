// The feedback dialog and its alerts.
#include "AppKit/NSAlert.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSNib.h"
#include "AppKit/NSWorkspace.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSURL.h"
#include "FoundationExtensions/ZAKNSObject.Extension.h"
#include "ZAKAppKit/ZAKFeedbackProvider/ZAKFeedbackProvider.h"

namespace {

Ref<NSString> localized(const char* key)
{
    return NSObjectExt::bundle(ZAKFeedbackProvider::classRecord())
        ->localizedStringForKey(NSString::stringWithUTF8String(key), ""_ns, "ZAKFeedbackProviderAdditional"_ns);
}

// The texts are shown as they stand, never used as formats.
void runAlert(const char* title, const Ref<NSString>& message)
{
    NSAlert::alertWithMessageText(localized(title), localized("FEEDBACK_OK"), nullptr, nullptr, message)->runModal();
}

}

void ZAKFeedbackProvider::describeClass(NSClassMembers<ZAKFeedbackProvider>& m)
{
    m.property("feedbackWindow", &ZAKFeedbackProvider::feedbackWindow, &ZAKFeedbackProvider::setFeedbackWindow);
    m.property("subjectField", &ZAKFeedbackProvider::subjectField, &ZAKFeedbackProvider::setSubjectField);
    m.property("emailAdress", &ZAKFeedbackProvider::emailAdress, &ZAKFeedbackProvider::setEmailAdress);
    m.property("messageText", &ZAKFeedbackProvider::messageText, &ZAKFeedbackProvider::setMessageText);
    m.property("sendMeACopyButton", &ZAKFeedbackProvider::sendMeACopyButton,
               &ZAKFeedbackProvider::setSendMeACopyButton);
    m.action("sendFeedbackButtonAction:", &ZAKFeedbackProvider::sendFeedbackButtonAction);
    m.action("closeFeedbackWindow:", &ZAKFeedbackProvider::closeFeedbackWindow);
    m.action("openURL:", &ZAKFeedbackProvider::openURL);
}

void ZAKFeedbackProvider::showFeedbackProviderDialog()
{
    // Again here: a fresh set of standard defaults has lost the registration.
    initialize();
    auto provider = NSObject::make<ZAKFeedbackProvider>();
    provider->showDialog();
}

Id ZAKFeedbackProvider::init()
{
    NSObject::init();
    Ref<NSNib> nib = NSNib::alloc<NSNib>()->initWithNibNamed("ZAKFeedbackProvider"_ns, nullptr);
    Ref<NSArray> objects;
    if (!nib || !nib->instantiateWithOwner(Id(this), &objects) || !m_feedbackWindow)
        NSException::raise("View initialization failed", "ZAKFeedbackProvider: Could not load views resources!");
    m_topLevelObjects = objects;
    return Id(this);
}

Ref<NSString> ZAKFeedbackProvider::message() const
{
    auto text = m_messageText ? m_messageText->string() : nullptr;
    return text ? text : ""_ns;
}

void ZAKFeedbackProvider::setMessage(const Ref<NSString>& text)
{
    if (m_messageText) m_messageText->setString(text);
}

void ZAKFeedbackProvider::showDialog()
{
    m_sendMeACopyButton->setState(rememberedSendMeACopy() ? NSOnState : NSOffState);
    m_emailAdress->setStringValue(rememberedAddress());
    setMessage(""_ns);
    m_subjectField->selectItemAtIndex(0);
    NSApp->runModalForWindow(m_feedbackWindow);
}

void ZAKFeedbackProvider::sendFeedbackButtonAction(const Id& sender)
{
    Ref<NSString> text = message();
    Ref<NSString> address = m_emailAdress->stringValue();
    Ref<NSString> subject = subjectWithPrefix(m_subjectField->stringValue());
    m_feedbackWindow->makeFirstResponder(m_feedbackWindow);
    bool sendMeACopy = m_sendMeACopyButton->state() != NSOffState;
    rememberSender(address, sendMeACopy);
    auto result = sendFeedback(subject, address, text, sendMeACopy);
    if (result == ZAKMultipartForm::PostResult::Sent) {
        closeFeedbackWindow(sender);
        runAlert("FEEDBACK_SUCCESS_TITLE", localized("FEEDBACK_SUCCESS_MESSAGE"));
        return;
    }
    runAlert("FEEDBACK_ERROR_TITLE",
             localized(result == ZAKMultipartForm::PostResult::NoAddress ? "FEEDBACK_NO_ADDRESS_MESSAGE"
                                                                         : "FEEDBACK_ERROR_MESSAGE"));
}

void ZAKFeedbackProvider::closeFeedbackWindow(const Id&)
{
    setMessage(""_ns);
    m_subjectField->selectItemAtIndex(0);
    m_feedbackWindow->orderOut(nullptr);
    NSApp->stopModal();
}

void ZAKFeedbackProvider::openURL(const Id& sender)
{
    Ref<NSDictionary> info = NSBundle::mainBundle()->infoDictionary();
    auto address = info ? dynamic_ref_cast<NSString>(info->objectForKey("ZAKFeedbackURL"_ns)) : nullptr;
    Ref<NSURL> url = address ? NSURL::URLWithString(address) : nullptr;
    if (url) NSWorkspace::sharedWorkspace()->openURL(url);
    else NSLog("No web page for feedback is configured (ZAKFeedbackURL)");
    closeFeedbackWindow(sender);
}
