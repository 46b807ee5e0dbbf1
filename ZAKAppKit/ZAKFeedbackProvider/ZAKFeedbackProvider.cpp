#include "ZAKAppKit/ZAKFeedbackProvider/ZAKFeedbackProvider.h"

#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"

NS_CLASS_DEFINE(ZAKFeedbackProvider)

static Ref<NSString> addressKey() { return "ZAKFeedbackProvidereMailAddressDefaultKey"_ns; }
static Ref<NSString> sendMeACopyKey() { return "ZAKFeedbackProviderSendMeACopyDefaultKey"_ns; }

static Ref<NSString> mainInfoString(const char* key)
{
    Ref<NSDictionary> info = NSBundle::mainBundle()->infoDictionary();
    auto value = info ? dynamic_ref_cast<NSString>(info->objectForKey(NSString::stringWithUTF8String(key))) : nullptr;
    return value ? value : ""_ns;
}

static std::string utf8(const Ref<NSString>& text) { return text ? text->UTF8String() : std::string(); }

void ZAKFeedbackProvider::initialize()
{
    Ref<NSMutableDictionary> defaults = NSMutableDictionary::dictionary();
    defaults->setObject(""_ns, addressKey());
    defaults->setObject(NSNumber::numberWithBool(true), sendMeACopyKey());
    NSUserDefaults::standardUserDefaults()->registerDefaults(defaults);
}

Ref<NSString> ZAKFeedbackProvider::rememberedAddress()
{
    Ref<NSString> address = NSUserDefaults::standardUserDefaults()->stringForKey(addressKey());
    return address ? address : ""_ns;
}

bool ZAKFeedbackProvider::rememberedSendMeACopy()
{
    return NSUserDefaults::standardUserDefaults()->boolForKey(sendMeACopyKey());
}

void ZAKFeedbackProvider::rememberSender(const Ref<NSString>& address, bool sendMeACopy)
{
    Ref<NSUserDefaults> defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObject(address ? address : ""_ns, addressKey());
    defaults->setBool(sendMeACopy, sendMeACopyKey());
}

Ref<NSString> ZAKFeedbackProvider::subjectWithPrefix(const Ref<NSString>& subject)
{
    return mainInfoString("ZAKFeedbackSubjectPrefix")->stringByAppendingString(subject ? subject : ""_ns);
}

ZAKMultipartForm::Fields ZAKFeedbackProvider::feedbackFields(const Ref<NSString>& subject, const Ref<NSString>& from,
                                                             const Ref<NSString>& message, bool sendMeACopy)
{
    return {{"subject", utf8(subject)},
            {"from", utf8(from)},
            {"message", utf8(message)},
            {"sendmeacopy", sendMeACopy ? "YES" : "NO"},
            {"appversion", utf8(mainInfoString("CFBundleShortVersionString"))}};
}

ZAKMultipartForm::PostResult ZAKFeedbackProvider::sendFeedback(const Ref<NSString>& subject, const Ref<NSString>& from,
                                                               const Ref<NSString>& message, bool sendMeACopy)
{
    Ref<NSString> address = mainInfoString("ZAKFeedbackProviderCGIURL");
    auto result = ZAKMultipartForm::post(address, "ZAKFeedbackProvider",
                                         feedbackFields(subject, from, message, sendMeACopy), true);
    if (result == ZAKMultipartForm::PostResult::NoAddress)
        NSLog("No address for feedback is configured (ZAKFeedbackProviderCGIURL); nothing was sent");
    return result;
}
