#pragma once
// A recorded shortcut: Cocoa modifier flags (shift 0x20000, control 0x40000,
// option 0x80000, command 0x100000, function key 0x800000) and a virtual key
// code. The empty combination is flags 0 with code -1.
#include "Foundation/NSTypes.h"

struct _KeyCombo {
    NSUInteger flags = 0;
    NSInteger code = -1;
    bool operator==(const _KeyCombo&) const = default;
};

inline _KeyCombo KRMakeKeyCombo(NSUInteger flags, NSInteger code) { return {flags, code}; }
inline constexpr NSUInteger KRAllModifierFlags = 0x9E0000;
