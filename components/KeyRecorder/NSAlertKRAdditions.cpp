#include "KeyRecorder/NSAlertKRAdditions.h"

#include "Foundation/NSArray.h"
#include "KeyRecorder/KRDummyClass.h"

namespace NSAlertExt {

Ref<NSAlert> alertWithNonRecoverableError(const Ref<NSError>& error)
{
    auto alert = NSObject::make<NSAlert>();
    const Ref<NSArray> options = error ? error->localizedRecoveryOptions() : nullptr;
    const auto button =
        options && options->count() > 0 ? dynamic_ref_cast<NSString>(options->objectAtIndex(0)) : nullptr;
    alert->setMessageText(error ? error->localizedDescription() : NSString::string());
    alert->addButtonWithTitle(button ? button : KRLocalizedString("OK"));
    // Taken as it stands: its placeholders were filled when the error was
    // made, and a '%' in a name must not be read as one.
    const Ref<NSString> suggestion = error ? error->localizedRecoverySuggestion() : nullptr;
    alert->setInformativeText(suggestion ? suggestion : NSString::string());
    return alert;
}

}
