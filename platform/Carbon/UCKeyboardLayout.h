#pragma once
// Unicode key layouts: the characters each virtual key code types, as the
// bytes a keyboard input source hands out under kTISPropertyUnicodeKeyLayoutData
// (an NSData whose bytes are a UCKeyboardLayout), and UCKeyTranslate over
// them. The layouts know Shift only; a dead key answers its own (display)
// character in every action, so the dead-key state stays 0.
#include <cstdint>

#include "Carbon/CarbonTypes.h"

using UniChar = char16_t;
using UniCharCount = unsigned long;

enum : uint16_t {
    kUCKeyActionDown = 0,
    kUCKeyActionUp = 1,
    kUCKeyActionAutoKey = 2,
    kUCKeyActionDisplay = 3,
};

enum : OptionBits {
    kUCKeyTranslateNoDeadKeysBit = 0,
    kUCKeyTranslateNoDeadKeysMask = 1u << kUCKeyTranslateNoDeadKeysBit,
};

enum : OSStatus {
    kUCOutputBufferTooSmall = -25340,
};

enum : uint16_t {
    kUCKeyDead = 1,  // UCKeyLayoutKey flag
};

struct UCKeyLayoutKey {
    UniChar unshifted;
    UniChar shifted;
    uint16_t flags;
};

inline constexpr uint32_t kUCKeyboardLayoutMagic = OSTypeFromChars("uchr");
inline constexpr uint32_t kUCKeyboardLayoutKeyCount = 128;

struct UCKeyboardLayout {
    uint32_t magic;     // kUCKeyboardLayoutMagic
    uint32_t keyCount;  // kUCKeyboardLayoutKeyCount
    UCKeyLayoutKey keys[kUCKeyboardLayoutKeyCount];
};

// modifierKeyState is the Carbon modifiers shifted right by 8 (shiftKey >> 8
// selects the shifted character). Answers paramErr for a missing layout,
// length or state, kUCOutputBufferTooSmall when the character does not fit;
// a code without a character answers noErr and length 0.
OSStatus UCKeyTranslate(const UCKeyboardLayout* keyLayoutPtr, uint16_t virtualKeyCode, uint16_t keyAction,
                        UInt32 modifierKeyState, UInt32 keyboardType, OptionBits keyTranslateOptions,
                        UInt32* deadKeyState, UniCharCount maxStringLength, UniCharCount* actualStringLength,
                        UniChar unicodeString[]);

// The physical keyboard's type (an ANSI keyboard); layouts here ignore it.
uint8_t LMGetKbdType();
