#pragma once
// The system's own keyboard shortcuts ("symbolic hot keys") and their
// suspension while a program records a shortcut. The list starts empty and
// copies successfully, which is what a Linux desktop answers; headless runs
// and tests configure it. Pushing a mode that disables the shortcuts
// suspends them until the matching pop; the x11 backend grabs the keyboard
// for that time through the suspension handler.
#include <functional>
#include <vector>

#include "Carbon/CarbonTypes.h"
#include "Foundation/NSArray.h"

inline constexpr char kHISymbolicHotKeyCode[] = "kHISymbolicHotKeyCode";
inline constexpr char kHISymbolicHotKeyModifiers[] = "kHISymbolicHotKeyModifiers";
inline constexpr char kHISymbolicHotKeyEnabled[] = "kHISymbolicHotKeyEnabled";

enum : OptionBits {
    kHIHotKeyModeAllEnabled = 0,
    kHIHotKeyModeAllDisabled = 1u << 0,
    kHIHotKeyModeAllDisabledExceptUniversalAccess = 1u << 1,
};

// Dictionaries of kHISymbolicHotKeyCode (16-bit number), kHISymbolicHotKeyModifiers
// (Carbon modifiers) and kHISymbolicHotKeyEnabled (boolean).
OSStatus CopySymbolicHotKeys(Ref<NSArray>* outHotKeyArray);
// Answers the token that ends the mode.
void* PushSymbolicHotKeyMode(OptionBits options);
// Ends the token's mode, also one pushed before others; an unknown token is
// ignored.
void PopSymbolicHotKeyMode(void* token);

namespace SymbolicHotKeys {

struct Entry {
    uint16_t keyCode = 0;
    UInt32 modifiers = 0;
    bool enabled = true;
};

void setEntries(std::vector<Entry> entries);
// While set, CopySymbolicHotKeys fails (eventInternalErr) and answers nil.
void setCopyFails(bool fails);
// Modes pushed and not yet popped.
size_t pushedModeCount();
bool isSuspended();
// Called with true when the shortcuts become suspended, false when they come
// back; null removes it.
void setSuspensionHandler(std::function<void(bool suspended)> handler);

}
