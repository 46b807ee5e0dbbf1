#include "Foundation/CFStringEncoding.h"

#include <cstring>
#include <strings.h>

#include <unicode/ucnv.h>

#include "Foundation/NSStringDecoding.h"

namespace {

struct Pair {
    NSStringEncoding ns;
    CFStringEncoding cf;
};

// The string encodings with constants of their own; every other one is
// 0x80000000 plus its Core Foundation number.
constexpr Pair kOwnConstants[] = {
    {NSASCIIStringEncoding, kCFStringEncodingASCII},
    {NSNEXTSTEPStringEncoding, kCFStringEncodingNextStepLatin},
    {NSJapaneseEUCStringEncoding, kCFStringEncodingEUC_JP},
    {NSUTF8StringEncoding, kCFStringEncodingUTF8},
    {NSISOLatin1StringEncoding, kCFStringEncodingISOLatin1},
    {NSSymbolStringEncoding, kCFStringEncodingMacSymbol},
    {NSNonLossyASCIIStringEncoding, kCFStringEncodingNonLossyASCII},
    {NSShiftJISStringEncoding, kCFStringEncodingDOSJapanese},
    {NSISOLatin2StringEncoding, kCFStringEncodingISOLatin2},
    {NSUnicodeStringEncoding, kCFStringEncodingUnicode},
    {NSWindowsCP1251StringEncoding, kCFStringEncodingWindowsCyrillic},
    {NSWindowsCP1252StringEncoding, kCFStringEncodingWindowsLatin1},
    {NSWindowsCP1253StringEncoding, kCFStringEncodingWindowsGreek},
    {NSWindowsCP1254StringEncoding, kCFStringEncodingWindowsLatin5},
    {NSWindowsCP1250StringEncoding, kCFStringEncodingWindowsLatin2},
    {NSISO2022JPStringEncoding, kCFStringEncodingISO_2022_JP},
    {NSMacOSRomanStringEncoding, kCFStringEncodingMacRoman},
};

bool known(NSStringEncoding encoding) { return NSString::localizedNameOfStringEncoding(encoding)->length() > 0; }

// The Mac encodings closest to the others, by script.
struct MacPair {
    CFStringEncoding encoding;
    CFStringEncoding mac;
};
constexpr MacPair kMacEncodings[] = {
    {kCFStringEncodingASCII, kCFStringEncodingMacRoman},
    {kCFStringEncodingNextStepLatin, kCFStringEncodingMacRoman},
    {kCFStringEncodingNonLossyASCII, kCFStringEncodingMacRoman},
    {kCFStringEncodingISOLatin1, kCFStringEncodingMacRoman},
    {kCFStringEncodingWindowsLatin1, kCFStringEncodingMacRoman},
    {0x0203, kCFStringEncodingMacRoman},  // ISO Latin 3
    {0x020A, kCFStringEncodingMacRoman},  // ISO Latin 6
    {0x020E, kCFStringEncodingMacRoman},  // ISO Latin 8
    {0x020F, kCFStringEncodingMacRoman},  // ISO Latin 9
    {kCFStringEncodingEUC_JP, kCFStringEncodingMacJapanese},
    {kCFStringEncodingDOSJapanese, kCFStringEncodingMacJapanese},
    {kCFStringEncodingShiftJIS, kCFStringEncodingMacJapanese},
    {kCFStringEncodingISO_2022_JP, kCFStringEncodingMacJapanese},
    {kCFStringEncodingBig5, kCFStringEncodingMacChineseTrad},
    {0x0940, kCFStringEncodingMacKorean},  // EUC-KR
    {0x0840, kCFStringEncodingMacKorean},  // ISO 2022-KR
    {0x0206, kCFStringEncodingMacArabic},
    {0x0506, kCFStringEncodingMacArabic},
    {0x0208, kCFStringEncodingMacHebrew},
    {0x0505, kCFStringEncodingMacHebrew},
    {0x0207, kCFStringEncodingMacGreek},
    {kCFStringEncodingWindowsGreek, kCFStringEncodingMacGreek},
    {kCFStringEncodingWindowsCyrillic, kCFStringEncodingMacCyrillic},
    {0x0205, kCFStringEncodingMacCyrillic},
    {0x0A02, kCFStringEncodingMacCyrillic},  // KOI8-R
    {0x0A08, kCFStringEncodingMacCyrillic},  // KOI8-U
    {0x020B, kCFStringEncodingMacThai},
    {kCFStringEncodingGB_18030_2000, kCFStringEncodingMacChineseSimp},
    {0x0930, kCFStringEncodingMacChineseSimp},  // GB 2312
    {kCFStringEncodingISOLatin2, kCFStringEncodingMacCentralEurRoman},
    {0x0204, kCFStringEncodingMacCentralEurRoman},  // ISO Latin 4
    {0x020D, kCFStringEncodingMacCentralEurRoman},  // ISO Latin 7
    {kCFStringEncodingWindowsLatin2, kCFStringEncodingMacCentralEurRoman},
    {0x0507, kCFStringEncodingMacCentralEurRoman},  // Windows Baltic
    {kCFStringEncodingWindowsLatin5, kCFStringEncodingMacTurkish},
    {0x0209, kCFStringEncodingMacTurkish},
    {0x0508, kCFStringEncodingMacVietnamese},
};

// The name ICU knows the encoding by for its IANA alias: the Unicode forms
// with and without a stated byte order, the others their converter.
const char* aliasOf(NSStringEncoding encoding)
{
    switch (encoding) {
    case NSUnicodeStringEncoding: return "UTF-16";
    case NSUTF32StringEncoding: return "UTF-32";
    default: return NSStringEncodingConverterName(encoding);
    }
}

const char* ianaNameOf(NSStringEncoding encoding)
{
    const char* alias = aliasOf(encoding);
    if (!alias) return nullptr;
    // The alias itself when IANA lists it (Shift_JIS and Windows-31J share
    // one converter but are two names), else the converter's IANA name.
    UErrorCode status = U_ZERO_ERROR;
    if (ucnv_getCanonicalName(alias, "IANA", &status) && U_SUCCESS(status)) return alias;
    status = U_ZERO_ERROR;
    const char* name = ucnv_getStandardName(alias, "IANA", &status);
    return U_SUCCESS(status) && name ? name : nullptr;
}

const char* converterOf(const char* alias)
{
    UErrorCode status = U_ZERO_ERROR;
    const char* name = ucnv_getAlias(alias, 0, &status);
    return U_SUCCESS(status) ? name : nullptr;
}

}

NSStringEncoding CFStringConvertEncodingToNSStringEncoding(CFStringEncoding encoding)
{
    for (const auto& pair : kOwnConstants)
        if (pair.cf == encoding) return pair.ns;
    NSStringEncoding ns = 0x80000000u | encoding;
    if (encoding == kCFStringEncodingInvalidId || (encoding & 0x80000000u) || !known(ns))
        return kCFStringEncodingInvalidId;
    return ns;
}

CFStringEncoding CFStringConvertNSStringEncodingToEncoding(NSStringEncoding encoding)
{
    for (const auto& pair : kOwnConstants)
        if (pair.ns == encoding) return pair.cf;
    if (!(encoding & 0x80000000u) || encoding > 0xFFFFFFFFu || !known(encoding)) return kCFStringEncodingInvalidId;
    return static_cast<CFStringEncoding>(encoding & 0x7FFFFFFFu);
}

std::vector<CFStringEncoding> CFStringGetListOfAvailableEncodings()
{
    std::vector<CFStringEncoding> list;
    for (NSStringEncoding encoding : NSString::availableStringEncodings())
        list.push_back(CFStringConvertNSStringEncodingToEncoding(encoding));
    return list;
}

CFStringEncoding CFStringGetMostCompatibleMacStringEncoding(CFStringEncoding encoding)
{
    switch (encoding) {
    case kCFStringEncodingUnicode:
    case kCFStringEncodingUTF8:
    case kCFStringEncodingUTF32:
    case kCFStringEncodingUTF16BE:
    case kCFStringEncodingUTF16LE:
    case kCFStringEncodingUTF32BE:
    case kCFStringEncodingUTF32LE: return kCFStringEncodingUnicode;
    default: break;
    }
    if (encoding < 0x100)
        return CFStringConvertEncodingToNSStringEncoding(encoding) == kCFStringEncodingInvalidId
                   ? kCFStringEncodingInvalidId
                   : encoding;
    for (const auto& pair : kMacEncodings)
        if (pair.encoding == encoding) return pair.mac;
    return kCFStringEncodingInvalidId;
}

Ref<NSString> CFStringConvertEncodingToIANACharSetName(CFStringEncoding encoding)
{
    NSStringEncoding ns = CFStringConvertEncodingToNSStringEncoding(encoding);
    if (ns == kCFStringEncodingInvalidId) return nullptr;
    const char* name = ianaNameOf(ns);
    return name ? NSString::stringWithUTF8String(name) : nullptr;
}

CFStringEncoding CFStringConvertIANACharSetNameToEncoding(const Ref<NSString>& name)
{
    if (!name) return kCFStringEncodingInvalidId;
    std::string wanted = name->UTF8String();
    auto available = NSString::availableStringEncodings();
    // The encoding whose IANA name it is, then one that ICU reads with the
    // same converter (an alias such as "latin1" or "sjis").
    for (NSStringEncoding encoding : available) {
        const char* iana = ianaNameOf(encoding);
        if (iana && ::strcasecmp(iana, wanted.c_str()) == 0) return CFStringConvertNSStringEncodingToEncoding(encoding);
    }
    const char* converter = converterOf(wanted.c_str());
    if (!converter) return kCFStringEncodingInvalidId;
    for (NSStringEncoding encoding : available) {
        const char* alias = aliasOf(encoding);
        const char* other = alias ? converterOf(alias) : nullptr;
        if (other && ::strcmp(other, converter) == 0) return CFStringConvertNSStringEncodingToEncoding(encoding);
    }
    return kCFStringEncodingInvalidId;
}

CFStringEncoding CFStringGetSystemEncoding()
{
    return CFStringConvertNSStringEncodingToEncoding(NSString::defaultCStringEncoding());
}
