#pragma once
// The scalar types, status codes and modifier bits shared by the Carbon calls.
#include <cstdint>

using OSStatus = int32_t;
using OSType = uint32_t;
using FourCharCode = uint32_t;
using OptionBits = uint32_t;
using ItemCount = unsigned long;
using ByteCount = unsigned long;
using EventParamName = OSType;
using EventParamType = OSType;
using UInt32 = uint32_t;

// A four-character code from its text, as 'htk1' is written on the platform
// (multi-character literals are implementation-defined in C++).
constexpr OSType OSTypeFromChars(const char (&code)[5])
{
    return (OSType(uint8_t(code[0])) << 24) | (OSType(uint8_t(code[1])) << 16) | (OSType(uint8_t(code[2])) << 8) |
           OSType(uint8_t(code[3]));
}

enum : OSStatus {
    noErr = 0,
    paramErr = -50,
    eventNotHandledErr = -9874,
    eventParameterNotFoundErr = -9870,
    eventHotKeyExistsErr = -9878,
    eventHotKeyInvalidErr = -9879,
    eventInternalErr = -9868,
    errAECoercionFail = -1700,
};

// Carbon modifier bits (GetCurrentEventKeyModifiers, hot keys).
enum : UInt32 {
    cmdKey = 0x100,
    shiftKey = 0x200,
    alphaLock = 0x400,
    optionKey = 0x800,
    controlKey = 0x1000,
};
