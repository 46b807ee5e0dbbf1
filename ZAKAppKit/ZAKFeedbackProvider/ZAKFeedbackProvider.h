#pragma once
// The feedback dialog's sending: the fields the makers' web form reads, the
// remembered sender address and copy choice, and the post to the address in
// the main bundle's "ZAKFeedbackProviderCGIURL". Only a 2xx answer counts as
// sent; anything else keeps what the user wrote.
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKMultipartForm.h"

class ZAKFeedbackProvider : public NSObject {
    NS_OBJECT(ZAKFeedbackProvider, NSObject)
public:
    ZAKFeedbackProvider() = default;
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
};
