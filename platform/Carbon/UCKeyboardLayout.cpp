#include "Carbon/UCKeyboardLayout.h"

OSStatus UCKeyTranslate(const UCKeyboardLayout* keyLayoutPtr, uint16_t virtualKeyCode, uint16_t keyAction,
                        UInt32 modifierKeyState, UInt32, OptionBits, UInt32* deadKeyState, UniCharCount maxStringLength,
                        UniCharCount* actualStringLength, UniChar unicodeString[])
{
    if (!keyLayoutPtr || keyLayoutPtr->magic != kUCKeyboardLayoutMagic || !deadKeyState || !actualStringLength)
        return paramErr;
    if (keyAction > kUCKeyActionDisplay) return paramErr;
    *actualStringLength = 0;
    *deadKeyState = 0;
    if (keyAction == kUCKeyActionUp || virtualKeyCode >= keyLayoutPtr->keyCount ||
        virtualKeyCode >= kUCKeyboardLayoutKeyCount)
        return noErr;
    const UCKeyLayoutKey& key = keyLayoutPtr->keys[virtualKeyCode];
    const UniChar c = (modifierKeyState & (shiftKey >> 8)) ? key.shifted : key.unshifted;
    if (!c) return noErr;
    if (maxStringLength < 1 || !unicodeString) return kUCOutputBufferTooSmall;
    unicodeString[0] = c;
    *actualStringLength = 1;
    return noErr;
}

uint8_t LMGetKbdType() { return 40; }
