#pragma once
// Key names, modifier glyphs and spelled-out combinations, and the
// conversions between Cocoa event flags (shift 0x20000, control 0x40000,
// option 0x80000, command 0x100000, function key 0x800000) and hot-key
// (Carbon) flags (command 0x100, shift 0x200, option 0x800, control 0x1000;
// the function-key bit passes unchanged).
#include <cstdint>

#include "Foundation/NSString.h"

// The name of the key; nil when it has none.
Ref<NSString> KRKeyNameForCode(int64_t keyCode);

// Control, option, shift, command: the order of the glyphs.
Ref<NSString> KRGlyphsForCarbonModifiers(NSUInteger carbonFlags);
Ref<NSString> KRGlyphsForCocoaModifiers(NSUInteger cocoaFlags);
Ref<NSString> KRGlyphComboForCarbon(NSUInteger carbonFlags, int64_t keyCode);
Ref<NSString> KRGlyphComboForCocoa(NSUInteger cocoaFlags, int64_t keyCode);
// Command, option, control, shift: the order of the words.
Ref<NSString> KRSpelledComboForCarbon(NSUInteger carbonFlags, int64_t keyCode);
Ref<NSString> KRSpelledComboForCocoa(NSUInteger cocoaFlags, int64_t keyCode);

NSUInteger KRModifiersFromCarbon(NSUInteger carbonFlags);
NSUInteger KRModifiersToCarbon(NSUInteger cocoaFlags);

// The character the key types without modifiers in the current layout,
// capitalised; the key's name when the layout has none.
Ref<NSString> KRKeyCharacterForCocoaFlags(int64_t keyCode, NSUInteger cocoaFlags);
Ref<NSString> KRKeyCharacterForCarbonFlags(int64_t keyCode, NSUInteger carbonFlags);
