#pragma once
// Stand-ins for services other parts of the system provide; each is replaced
// by the real component when it lands (see the notes in AppServices.cpp).
#include <cstdint>
#include <string>

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

namespace AppServices {
// Checks for a crash log of the previous run (crash reporter; nothing yet).
void checkForCrash();
// Opens the feedback dialog (nothing yet).
void showFeedbackProviderDialog();

// The global hot key: the platform modifier flags are converted to the hot-key
// encoding; the action is sent to the target when the key is released.
// Answers false when the system refuses the combination.
bool registerHotKey(uint16_t keyCode, uint64_t modifierFlags, const Id& target, const SEL& action);
void unregisterHotKeysWithTarget(const Id& target);
// The hot-key encoding of platform modifier flags (command 0x100, shift 0x200,
// option 0x800, control 0x1000).
uint32_t carbonModifiers(uint64_t modifierFlags);
// Forgets every registration (the program may be started again in a process).
void resetHotKeys();

// A modal alert with a default and an alternate button; answers true for
// the default button.
bool confirm(const Ref<NSString>& title, const Ref<NSString>& message, const Ref<NSString>& yes,
             const Ref<NSString>& no);
}  // namespace AppServices
