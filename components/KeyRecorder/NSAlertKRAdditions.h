#pragma once
// The alert the shortcut recorder shows for a refused combination.
#include "AppKit/NSAlert.h"
#include "Foundation/NSError.h"

namespace NSAlertExt {

// alertWithNonRecoverableError: the error's description as message, its
// first recovery option as the only button, its recovery suggestion as
// informative text. A nil error gives a plain alert with an "OK" button.
Ref<NSAlert> alertWithNonRecoverableError(const Ref<NSError>& error);

}
