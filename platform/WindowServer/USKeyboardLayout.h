#pragma once
// Mac virtual key codes and the characters a US keyboard types with them.
// Backends, the headless driver and the key-naming services share this table.
#include <cstdint>
#include <optional>
#include <string>

#include "Foundation/NSTypes.h"

enum : uint16_t {
    kVK_ANSI_A = 0,
    kVK_ANSI_S = 1,
    kVK_ANSI_D = 2,
    kVK_ANSI_F = 3,
    kVK_ANSI_H = 4,
    kVK_ANSI_G = 5,
    kVK_ANSI_Z = 6,
    kVK_ANSI_X = 7,
    kVK_ANSI_C = 8,
    kVK_ANSI_V = 9,
    kVK_ANSI_B = 11,
    kVK_ANSI_Q = 12,
    kVK_ANSI_W = 13,
    kVK_ANSI_E = 14,
    kVK_ANSI_R = 15,
    kVK_ANSI_Y = 16,
    kVK_ANSI_T = 17,
    kVK_ANSI_1 = 18,
    kVK_ANSI_2 = 19,
    kVK_ANSI_3 = 20,
    kVK_ANSI_4 = 21,
    kVK_ANSI_6 = 22,
    kVK_ANSI_5 = 23,
    kVK_ANSI_Equal = 24,
    kVK_ANSI_9 = 25,
    kVK_ANSI_7 = 26,
    kVK_ANSI_Minus = 27,
    kVK_ANSI_8 = 28,
    kVK_ANSI_0 = 29,
    kVK_ANSI_RightBracket = 30,
    kVK_ANSI_O = 31,
    kVK_ANSI_U = 32,
    kVK_ANSI_LeftBracket = 33,
    kVK_ANSI_I = 34,
    kVK_ANSI_P = 35,
    kVK_Return = 36,
    kVK_ANSI_L = 37,
    kVK_ANSI_J = 38,
    kVK_ANSI_Quote = 39,
    kVK_ANSI_K = 40,
    kVK_ANSI_Semicolon = 41,
    kVK_ANSI_Backslash = 42,
    kVK_ANSI_Comma = 43,
    kVK_ANSI_Slash = 44,
    kVK_ANSI_N = 45,
    kVK_ANSI_M = 46,
    kVK_ANSI_Period = 47,
    kVK_Tab = 48,
    kVK_Space = 49,
    kVK_ANSI_Grave = 50,
    kVK_Delete = 51,
    kVK_Escape = 53,
    kVK_Command = 55,
    kVK_Shift = 56,
    kVK_CapsLock = 57,
    kVK_Option = 58,
    kVK_Control = 59,
    kVK_F17 = 64,
    kVK_ANSI_KeypadDecimal = 65,
    kVK_ANSI_KeypadMultiply = 67,
    kVK_ANSI_KeypadPlus = 69,
    kVK_ANSI_KeypadClear = 71,
    kVK_ANSI_KeypadDivide = 75,
    kVK_ANSI_KeypadEnter = 76,
    kVK_ANSI_KeypadMinus = 78,
    kVK_F18 = 79,
    kVK_F19 = 80,
    kVK_ANSI_KeypadEquals = 81,
    kVK_ANSI_Keypad0 = 82,
    kVK_ANSI_Keypad1 = 83,
    kVK_ANSI_Keypad2 = 84,
    kVK_ANSI_Keypad3 = 85,
    kVK_ANSI_Keypad4 = 86,
    kVK_ANSI_Keypad5 = 87,
    kVK_ANSI_Keypad6 = 88,
    kVK_ANSI_Keypad7 = 89,
    kVK_ANSI_Keypad8 = 91,
    kVK_ANSI_Keypad9 = 92,
    kVK_F5 = 96,
    kVK_F6 = 97,
    kVK_F7 = 98,
    kVK_F3 = 99,
    kVK_F8 = 100,
    kVK_F9 = 101,
    kVK_F11 = 103,
    kVK_F13 = 105,
    kVK_F16 = 106,
    kVK_F14 = 107,
    kVK_F10 = 109,
    kVK_F12 = 111,
    kVK_F15 = 113,
    kVK_Help = 114,
    kVK_Home = 115,
    kVK_PageUp = 116,
    kVK_ForwardDelete = 117,
    kVK_F4 = 118,
    kVK_End = 119,
    kVK_F2 = 120,
    kVK_PageDown = 121,
    kVK_F1 = 122,
    kVK_LeftArrow = 123,
    kVK_RightArrow = 124,
    kVK_DownArrow = 125,
    kVK_UpArrow = 126,
};

namespace USKeyboardLayout {

struct Key {
    char16_t unshifted = 0;
    char16_t shifted = 0;
    bool keypad = false;    // NSNumericPadKeyMask accompanies it
    bool function = false;  // NSFunctionKeyMask accompanies it
};

// The key of a virtual key code; nullopt for codes without one (modifiers).
std::optional<Key> key(uint16_t keyCode);
// The key code typing the character (shifted or not); nullopt when none does.
struct Stroke {
    uint16_t keyCode = 0;
    bool shift = false;
};
std::optional<Stroke> strokeForCharacter(char16_t c);

// The characters of a key press with the given modifier flags, and those
// ignoring every modifier but Shift. Control with a letter gives its control
// character; Command leaves the characters alone.
struct Characters {
    std::u16string characters;
    std::u16string ignoringModifiers;
};
Characters charactersFor(uint16_t keyCode, NSUInteger modifierFlags);
// The flags the key adds by itself (function keys, the keypad).
NSUInteger implicitFlags(uint16_t keyCode);

}
