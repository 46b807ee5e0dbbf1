#pragma once
// Core Foundation's encoding numbers and their conversions: to the string
// encodings, to IANA character-set names, and the most compatible Mac
// encoding of each (the key menus sort by).
#include <cstdint>
#include <vector>

#include "Foundation/NSString.h"

using CFStringEncoding = uint32_t;

inline constexpr CFStringEncoding kCFStringEncodingInvalidId = 0xFFFFFFFFu;
inline constexpr CFStringEncoding kCFStringEncodingMacRoman = 0;
inline constexpr CFStringEncoding kCFStringEncodingMacJapanese = 1;
inline constexpr CFStringEncoding kCFStringEncodingMacChineseTrad = 2;
inline constexpr CFStringEncoding kCFStringEncodingMacKorean = 3;
inline constexpr CFStringEncoding kCFStringEncodingMacArabic = 4;
inline constexpr CFStringEncoding kCFStringEncodingMacHebrew = 5;
inline constexpr CFStringEncoding kCFStringEncodingMacGreek = 6;
inline constexpr CFStringEncoding kCFStringEncodingMacCyrillic = 7;
inline constexpr CFStringEncoding kCFStringEncodingMacThai = 21;
inline constexpr CFStringEncoding kCFStringEncodingMacChineseSimp = 25;
inline constexpr CFStringEncoding kCFStringEncodingMacCentralEurRoman = 29;
inline constexpr CFStringEncoding kCFStringEncodingMacVietnamese = 30;
inline constexpr CFStringEncoding kCFStringEncodingMacSymbol = 33;
inline constexpr CFStringEncoding kCFStringEncodingMacTurkish = 35;
inline constexpr CFStringEncoding kCFStringEncodingUnicode = 0x0100;
inline constexpr CFStringEncoding kCFStringEncodingUTF16 = kCFStringEncodingUnicode;
inline constexpr CFStringEncoding kCFStringEncodingISOLatin1 = 0x0201;
inline constexpr CFStringEncoding kCFStringEncodingISOLatin2 = 0x0202;
inline constexpr CFStringEncoding kCFStringEncodingDOSJapanese = 0x0421;
inline constexpr CFStringEncoding kCFStringEncodingWindowsLatin1 = 0x0500;
inline constexpr CFStringEncoding kCFStringEncodingWindowsLatin2 = 0x0501;
inline constexpr CFStringEncoding kCFStringEncodingWindowsCyrillic = 0x0502;
inline constexpr CFStringEncoding kCFStringEncodingWindowsGreek = 0x0503;
inline constexpr CFStringEncoding kCFStringEncodingWindowsLatin5 = 0x0504;
inline constexpr CFStringEncoding kCFStringEncodingASCII = 0x0600;
inline constexpr CFStringEncoding kCFStringEncodingGB_18030_2000 = 0x0632;
inline constexpr CFStringEncoding kCFStringEncodingISO_2022_JP = 0x0820;
inline constexpr CFStringEncoding kCFStringEncodingEUC_JP = 0x0920;
inline constexpr CFStringEncoding kCFStringEncodingShiftJIS = 0x0A01;
inline constexpr CFStringEncoding kCFStringEncodingBig5 = 0x0A03;
inline constexpr CFStringEncoding kCFStringEncodingNextStepLatin = 0x0B01;
inline constexpr CFStringEncoding kCFStringEncodingNonLossyASCII = 0x0BFF;
inline constexpr CFStringEncoding kCFStringEncodingUTF8 = 0x08000100;
inline constexpr CFStringEncoding kCFStringEncodingUTF32 = 0x0C000100;
inline constexpr CFStringEncoding kCFStringEncodingUTF16BE = 0x10000100;
inline constexpr CFStringEncoding kCFStringEncodingUTF16LE = 0x14000100;
inline constexpr CFStringEncoding kCFStringEncodingUTF32BE = 0x18000100;
inline constexpr CFStringEncoding kCFStringEncodingUTF32LE = 0x1C000100;

// The string encoding of a Core Foundation encoding: the platform's own
// constant where it has one (UTF-16 is 10, UTF-8 4, Mac Roman 30, Windows
// Latin 1 12), else 0x80000000 plus the number; kCFStringEncodingInvalidId
// for a number no string converts.
NSStringEncoding CFStringConvertEncodingToNSStringEncoding(CFStringEncoding encoding);
// The inverse; kCFStringEncodingInvalidId for an unknown string encoding.
CFStringEncoding CFStringConvertNSStringEncodingToEncoding(NSStringEncoding encoding);
// Every encoding strings convert, in the order of availableStringEncodings.
std::vector<CFStringEncoding> CFStringGetListOfAvailableEncodings();
// The Mac encoding closest to the encoding (kCFStringEncodingUnicode for
// every Unicode form); kCFStringEncodingInvalidId when unknown.
CFStringEncoding CFStringGetMostCompatibleMacStringEncoding(CFStringEncoding encoding);
// IANA names through ICU's alias table, compared without regard to case;
// nil or kCFStringEncodingInvalidId when there is none.
Ref<NSString> CFStringConvertEncodingToIANACharSetName(CFStringEncoding encoding);
CFStringEncoding CFStringConvertIANACharSetNameToEncoding(const Ref<NSString>& name);
// The encoding of C strings when nothing else is said: Mac Roman.
CFStringEncoding CFStringGetSystemEncoding();
