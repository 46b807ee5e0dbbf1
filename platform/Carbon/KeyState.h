#pragma once
// The keyboard's state now: which keys are down (GetKeys) and which modifier
// keys are held (GetCurrentEventKeyModifiers), plus the conversions between
// Carbon and Cocoa modifier bits. A backend that can ask the keyboard (x11:
// QueryKeymap) installs a query; otherwise the keys marked down through
// setKeyDown count (the headless server and tests mark them).
#include <cstdint>
#include <functional>

#include "Carbon/CarbonTypes.h"
#include "Foundation/NSTypes.h"

// 128 bits, one per virtual key code: bit (code & 7) of byte (code >> 3).
using KeyMap = uint32_t[4];

void GetKeys(KeyMap keys);
// The modifier keys held now, as Carbon bits (cmdKey, shiftKey, alphaLock,
// optionKey, controlKey), from the last event's Cocoa flags.
UInt32 GetCurrentEventKeyModifiers();

// Command, shift, caps lock, option and control; other bits are dropped.
UInt32 CarbonModifiersFromCocoa(NSUInteger cocoaFlags);
NSUInteger CocoaModifiersFromCarbon(UInt32 carbonModifiers);

namespace KeyState {

using Query = std::function<bool(uint16_t keyCode)>;
// Null goes back to the marked keys.
void setQuery(Query query);
void setKeyDown(uint16_t keyCode, bool down);
void releaseAllKeys();
bool isKeyDown(uint16_t keyCode);

}
