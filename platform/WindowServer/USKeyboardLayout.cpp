#include "WindowServer/USKeyboardLayout.h"

#include <array>

#include "WindowServer/WSEvent.h"

namespace USKeyboardLayout {

namespace {

struct Entry {
    uint16_t code;
    Key key;
};

constexpr Key typed(char16_t u, char16_t s) { return {u, s, false, false}; }
constexpr Key pad(char16_t c) { return {c, c, true, false}; }
constexpr Key fn(char16_t c) { return {c, c, false, true}; }

constexpr Entry kTable[] = {
    {kVK_ANSI_A, typed(u'a', u'A')},
    {kVK_ANSI_S, typed(u's', u'S')},
    {kVK_ANSI_D, typed(u'd', u'D')},
    {kVK_ANSI_F, typed(u'f', u'F')},
    {kVK_ANSI_H, typed(u'h', u'H')},
    {kVK_ANSI_G, typed(u'g', u'G')},
    {kVK_ANSI_Z, typed(u'z', u'Z')},
    {kVK_ANSI_X, typed(u'x', u'X')},
    {kVK_ANSI_C, typed(u'c', u'C')},
    {kVK_ANSI_V, typed(u'v', u'V')},
    {kVK_ANSI_B, typed(u'b', u'B')},
    {kVK_ANSI_Q, typed(u'q', u'Q')},
    {kVK_ANSI_W, typed(u'w', u'W')},
    {kVK_ANSI_E, typed(u'e', u'E')},
    {kVK_ANSI_R, typed(u'r', u'R')},
    {kVK_ANSI_Y, typed(u'y', u'Y')},
    {kVK_ANSI_T, typed(u't', u'T')},
    {kVK_ANSI_1, typed(u'1', u'!')},
    {kVK_ANSI_2, typed(u'2', u'@')},
    {kVK_ANSI_3, typed(u'3', u'#')},
    {kVK_ANSI_4, typed(u'4', u'$')},
    {kVK_ANSI_6, typed(u'6', u'^')},
    {kVK_ANSI_5, typed(u'5', u'%')},
    {kVK_ANSI_Equal, typed(u'=', u'+')},
    {kVK_ANSI_9, typed(u'9', u'(')},
    {kVK_ANSI_7, typed(u'7', u'&')},
    {kVK_ANSI_Minus, typed(u'-', u'_')},
    {kVK_ANSI_8, typed(u'8', u'*')},
    {kVK_ANSI_0, typed(u'0', u')')},
    {kVK_ANSI_RightBracket, typed(u']', u'}')},
    {kVK_ANSI_O, typed(u'o', u'O')},
    {kVK_ANSI_U, typed(u'u', u'U')},
    {kVK_ANSI_LeftBracket, typed(u'[', u'{')},
    {kVK_ANSI_I, typed(u'i', u'I')},
    {kVK_ANSI_P, typed(u'p', u'P')},
    {kVK_Return, typed(u'\r', u'\r')},
    {kVK_ANSI_L, typed(u'l', u'L')},
    {kVK_ANSI_J, typed(u'j', u'J')},
    {kVK_ANSI_Quote, typed(u'\'', u'"')},
    {kVK_ANSI_K, typed(u'k', u'K')},
    {kVK_ANSI_Semicolon, typed(u';', u':')},
    {kVK_ANSI_Backslash, typed(u'\\', u'|')},
    {kVK_ANSI_Comma, typed(u',', u'<')},
    {kVK_ANSI_Slash, typed(u'/', u'?')},
    {kVK_ANSI_N, typed(u'n', u'N')},
    {kVK_ANSI_M, typed(u'm', u'M')},
    {kVK_ANSI_Period, typed(u'.', u'>')},
    {kVK_Tab, typed(u'\t', 0x19)},
    {kVK_Space, typed(u' ', u' ')},
    {kVK_ANSI_Grave, typed(u'`', u'~')},
    {kVK_Delete, typed(0x7F, 0x7F)},
    {kVK_Escape, typed(0x1B, 0x1B)},
    {kVK_ANSI_KeypadDecimal, pad(u'.')},
    {kVK_ANSI_KeypadMultiply, pad(u'*')},
    {kVK_ANSI_KeypadPlus, pad(u'+')},
    {kVK_ANSI_KeypadClear, pad(0xF739)},
    {kVK_ANSI_KeypadDivide, pad(u'/')},
    {kVK_ANSI_KeypadEnter, pad(0x03)},
    {kVK_ANSI_KeypadMinus, pad(u'-')},
    {kVK_ANSI_KeypadEquals, pad(u'=')},
    {kVK_ANSI_Keypad0, pad(u'0')},
    {kVK_ANSI_Keypad1, pad(u'1')},
    {kVK_ANSI_Keypad2, pad(u'2')},
    {kVK_ANSI_Keypad3, pad(u'3')},
    {kVK_ANSI_Keypad4, pad(u'4')},
    {kVK_ANSI_Keypad5, pad(u'5')},
    {kVK_ANSI_Keypad6, pad(u'6')},
    {kVK_ANSI_Keypad7, pad(u'7')},
    {kVK_ANSI_Keypad8, pad(u'8')},
    {kVK_ANSI_Keypad9, pad(u'9')},
    {kVK_F1, fn(0xF704)},
    {kVK_F2, fn(0xF705)},
    {kVK_F3, fn(0xF706)},
    {kVK_F4, fn(0xF707)},
    {kVK_F5, fn(0xF708)},
    {kVK_F6, fn(0xF709)},
    {kVK_F7, fn(0xF70A)},
    {kVK_F8, fn(0xF70B)},
    {kVK_F9, fn(0xF70C)},
    {kVK_F10, fn(0xF70D)},
    {kVK_F11, fn(0xF70E)},
    {kVK_F12, fn(0xF70F)},
    {kVK_F13, fn(0xF710)},
    {kVK_F14, fn(0xF711)},
    {kVK_F15, fn(0xF712)},
    {kVK_F16, fn(0xF713)},
    {kVK_F17, fn(0xF714)},
    {kVK_F18, fn(0xF715)},
    {kVK_F19, fn(0xF716)},
    {kVK_Help, fn(NSHelpFunctionKey)},
    {kVK_Home, fn(NSHomeFunctionKey)},
    {kVK_PageUp, fn(NSPageUpFunctionKey)},
    {kVK_ForwardDelete, fn(NSDeleteFunctionKey)},
    {kVK_End, fn(NSEndFunctionKey)},
    {kVK_PageDown, fn(NSPageDownFunctionKey)},
    {kVK_LeftArrow, fn(NSLeftArrowFunctionKey)},
    {kVK_RightArrow, fn(NSRightArrowFunctionKey)},
    {kVK_DownArrow, fn(NSDownArrowFunctionKey)},
    {kVK_UpArrow, fn(NSUpArrowFunctionKey)},
};

}

std::optional<Key> key(uint16_t keyCode)
{
    for (const auto& e : kTable)
        if (e.code == keyCode) return e.key;
    return std::nullopt;
}

std::optional<Stroke> strokeForCharacter(char16_t c)
{
    if (c == u'\n') c = u'\r';
    for (const auto& e : kTable) {
        if (e.key.keypad || e.key.function) continue;
        if (e.key.unshifted == c) return Stroke{e.code, false};
    }
    for (const auto& e : kTable) {
        if (e.key.keypad || e.key.function) continue;
        if (e.key.shifted == c) return Stroke{e.code, true};
    }
    return std::nullopt;
}

NSUInteger implicitFlags(uint16_t keyCode)
{
    auto k = key(keyCode);
    if (!k) return 0;
    NSUInteger flags = 0;
    if (k->keypad) flags |= NSNumericPadKeyMask;
    if (k->function) flags |= NSFunctionKeyMask;
    // Arrow keys carry both on the platform.
    if (keyCode >= kVK_LeftArrow && keyCode <= kVK_UpArrow) flags |= NSNumericPadKeyMask;
    return flags;
}

Characters charactersFor(uint16_t keyCode, NSUInteger modifierFlags)
{
    auto k = key(keyCode);
    if (!k) return {};
    const bool shift = modifierFlags & NSShiftKeyMask;
    const bool caps = modifierFlags & NSAlphaShiftKeyMask;
    char16_t ignoring = shift ? k->shifted : k->unshifted;
    char16_t c = ignoring;
    const bool letter = k->unshifted >= u'a' && k->unshifted <= u'z';
    if (letter && caps && !shift) c = k->shifted;
    if ((modifierFlags & NSControlKeyMask) && letter) c = static_cast<char16_t>(k->unshifted - u'a' + 1);
    return {std::u16string(1, c), std::u16string(1, ignoring)};
}

}
