// Conversion between strings and bytes in a text encoding. Decoding is
// strict: invalid or incomplete input gives nil, never replacement
// characters, because callers probe cut points and encodings by failure.
#include <algorithm>
#include <bit>
#include <memory>
#include <vector>

#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include "Foundation/NSData.h"
#include "Foundation/NSString.h"
#include "Foundation/NSStringDecoding.h"

namespace {

enum class Endian { Big, Little };
constexpr Endian hostEndian = std::endian::native == std::endian::little ? Endian::Little : Endian::Big;

// An encoding known by its platform number. Native ones are converted here
// without a converter; the others through the ICU converter named, or not at
// all when ICU has none (the name is still known, as menus list it).
struct EncodingEntry {
    NSStringEncoding encoding;
    const char* name;
    const char* converter;
    bool native = false;
};

// A Core Foundation number as a string encoding.
constexpr NSStringEncoding fromCF(uint32_t cf) { return 0x80000000u | cf; }

// ICU has no converter for the Mac Japanese, Chinese and Korean encodings;
// their closest relatives stand in for them (the text they hold in practice
// converts the same).
constexpr EncodingEntry kEncodings[] = {
    {NSUTF8StringEncoding, "Unicode (UTF-8)", nullptr, true},
    {NSUnicodeStringEncoding, "Unicode (UTF-16)", nullptr, true},
    {NSUTF16BigEndianStringEncoding, "Unicode (UTF-16BE)", nullptr, true},
    {NSUTF16LittleEndianStringEncoding, "Unicode (UTF-16LE)", nullptr, true},
    {NSUTF32StringEncoding, "Unicode (UTF-32)", nullptr, true},
    {NSUTF32BigEndianStringEncoding, "Unicode (UTF-32BE)", nullptr, true},
    {NSUTF32LittleEndianStringEncoding, "Unicode (UTF-32LE)", nullptr, true},
    {NSASCIIStringEncoding, "Western (ASCII)", "US-ASCII"},
    {NSNonLossyASCIIStringEncoding, "Non-lossy ASCII", nullptr},
    {NSMacOSRomanStringEncoding, "Western (Mac OS Roman)", "macintosh"},
    {NSISOLatin1StringEncoding, "Western (ISO Latin 1)", "ISO-8859-1"},
    {NSWindowsCP1252StringEncoding, "Western (Windows Latin 1)", "windows-1252"},
    {NSNEXTSTEPStringEncoding, "Western (NextStep)", nullptr},
    {NSSymbolStringEncoding, "Symbol (Mac OS)", nullptr},
    {fromCF(0x0203), "Western (ISO Latin 3)", "ISO-8859-3"},
    {fromCF(0x020F), "Western (ISO Latin 9)", "ISO-8859-15"},
    {NSISOLatin2StringEncoding, "Central European (ISO Latin 2)", "ISO-8859-2"},
    {fromCF(0x0204), "Central European (ISO Latin 4)", "ISO-8859-4"},
    {NSWindowsCP1250StringEncoding, "Central European (Windows Latin 2)", "windows-1250"},
    {fromCF(0x001D), "Central European (Mac OS)", "x-mac-centraleurroman"},
    {NSWindowsCP1251StringEncoding, "Cyrillic (Windows)", "windows-1251"},
    {fromCF(0x0205), "Cyrillic (ISO 8859-5)", "ISO-8859-5"},
    {fromCF(0x0A02), "Cyrillic (KOI8-R)", "KOI8-R"},
    {fromCF(0x0007), "Cyrillic (Mac OS)", "x-mac-cyrillic"},
    {fromCF(0x0A08), "Ukrainian (KOI8-U)", "KOI8-U"},
    {NSWindowsCP1253StringEncoding, "Greek (Windows)", "windows-1253"},
    {fromCF(0x0207), "Greek (ISO 8859-7)", "ISO-8859-7"},
    {fromCF(0x0006), "Greek (Mac OS)", "x-mac-greek"},
    {NSWindowsCP1254StringEncoding, "Turkish (Windows Latin 5)", "windows-1254"},
    {fromCF(0x0209), "Turkish (ISO Latin 5)", "ISO-8859-9"},
    {fromCF(0x0023), "Turkish (Mac OS)", "x-mac-turkish"},
    {fromCF(0x020A), "Nordic (ISO Latin 6)", "ISO-8859-10"},
    {fromCF(0x020D), "Baltic (ISO Latin 7)", "ISO-8859-13"},
    {fromCF(0x0507), "Baltic (Windows)", "windows-1257"},
    {fromCF(0x020E), "Celtic (ISO Latin 8)", "ISO-8859-14"},
    {fromCF(0x0206), "Arabic (ISO 8859-6)", "ISO-8859-6"},
    {fromCF(0x0506), "Arabic (Windows)", "windows-1256"},
    {fromCF(0x0208), "Hebrew (ISO 8859-8)", "ISO-8859-8"},
    {fromCF(0x0505), "Hebrew (Windows)", "windows-1255"},
    {fromCF(0x020B), "Thai (ISO 8859-11)", "ISO-8859-11"},
    {fromCF(0x0508), "Vietnamese (Windows)", "windows-1258"},
    {NSJapaneseEUCStringEncoding, "Japanese (EUC)", "EUC-JP"},
    {NSShiftJISStringEncoding, "Japanese (Windows, DOS)", "windows-31j"},
    {fromCF(0x0A01), "Japanese (Shift JIS)", "Shift_JIS"},
    {NSISO2022JPStringEncoding, "Japanese (ISO 2022-JP)", "ISO-2022-JP"},
    {fromCF(0x0001), "Japanese (Mac OS)", "Shift_JIS"},
    {fromCF(0x0632), "Chinese (GB 18030)", "GB18030"},
    {fromCF(0x0930), "Simplified Chinese (GB 2312)", "GB2312"},
    {fromCF(0x0019), "Simplified Chinese (Mac OS)", "GB2312"},
    {fromCF(0x0A03), "Traditional Chinese (Big 5)", "Big5"},
    {fromCF(0x0002), "Traditional Chinese (Mac OS)", "Big5"},
    {fromCF(0x0940), "Korean (EUC)", "EUC-KR"},
    {fromCF(0x0840), "Korean (ISO 2022-KR)", "ISO-2022-KR"},
    {fromCF(0x0003), "Korean (Mac OS)", "EUC-KR"},
};

const EncodingEntry* findEncoding(NSStringEncoding encoding)
{
    for (const auto& entry : kEncodings)
        if (entry.encoding == encoding) return &entry;
    return nullptr;
}

const char* icuConverterName(NSStringEncoding encoding)
{
    // The Unicode forms also have converters, for callers that decode a
    // stream piece by piece (NSStringAppendDecodablePrefix).
    switch (encoding) {
    case NSUTF8StringEncoding: return "UTF-8";
    case NSUnicodeStringEncoding:
    case NSUTF16BigEndianStringEncoding: return "UTF-16BE";
    case NSUTF16LittleEndianStringEncoding: return "UTF-16LE";
    case NSUTF32StringEncoding:
    case NSUTF32BigEndianStringEncoding: return "UTF-32BE";
    case NSUTF32LittleEndianStringEncoding: return "UTF-32LE";
    default: break;
    }
    const EncodingEntry* entry = findEncoding(encoding);
    return entry ? entry->converter : nullptr;
}

using Converter = std::unique_ptr<UConverter, void (*)(UConverter*)>;

Converter openConverter(const char* name)
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status), ucnv_close);
    if (U_FAILURE(status)) converter.reset();
    return converter;
}

bool validUTF16(std::u16string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (U16_IS_LEAD(text[i]) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1])) {
            ++i;
            continue;
        }
        if (U16_IS_SURROGATE(text[i])) return false;
    }
    return true;
}

uint32_t readUnit(const uint8_t* p, int size, Endian endian)
{
    uint32_t v = 0;
    for (int k = 0; k < size; ++k) v = endian == Endian::Big ? (v << 8) | p[k] : v | (uint32_t(p[k]) << (8 * k));
    return v;
}

void writeUnit(std::vector<uint8_t>& out, uint32_t v, int size, Endian endian)
{
    for (int k = 0; k < size; ++k) {
        int shift = endian == Endian::Big ? 8 * (size - 1 - k) : 8 * k;
        out.push_back(static_cast<uint8_t>(v >> shift));
    }
}

// UTF-16 with a byte-order mark read and dropped when allowed.
Ref<NSString> decodeUTF16(const uint8_t* bytes, size_t length, Endian endian, bool readMark)
{
    if (length % 2) return nullptr;
    size_t start = 0;
    if (readMark && length >= 2) {
        if (bytes[0] == 0xFE && bytes[1] == 0xFF) endian = Endian::Big, start = 2;
        else if (bytes[0] == 0xFF && bytes[1] == 0xFE) endian = Endian::Little, start = 2;
    }
    std::u16string text;
    text.reserve((length - start) / 2);
    for (size_t i = start; i < length; i += 2) text += static_cast<char16_t>(readUnit(bytes + i, 2, endian));
    if (!validUTF16(text)) return nullptr;
    return NSString::stringWithUTF16(std::move(text));
}

Ref<NSString> decodeUTF32(const uint8_t* bytes, size_t length, Endian endian, bool readMark)
{
    if (length % 4) return nullptr;
    size_t start = 0;
    if (readMark && length >= 4) {
        if (readUnit(bytes, 4, Endian::Big) == 0xFEFF) endian = Endian::Big, start = 4;
        else if (readUnit(bytes, 4, Endian::Little) == 0xFEFF) endian = Endian::Little, start = 4;
    }
    std::u16string text;
    text.reserve((length - start) / 4);
    for (size_t i = start; i < length; i += 4) {
        uint32_t c = readUnit(bytes + i, 4, endian);
        if (c > 0x10FFFF || U_IS_SURROGATE(c)) return nullptr;
        if (c <= 0xFFFF) text += static_cast<char16_t>(c);
        else text += {static_cast<char16_t>(U16_LEAD(c)), static_cast<char16_t>(U16_TRAIL(c))};
    }
    return NSString::stringWithUTF16(std::move(text));
}

Ref<NSString> decodeWithICU(const char* name, const uint8_t* bytes, size_t length)
{
    Converter converter = openConverter(name);
    if (!converter) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    const char* source = reinterpret_cast<const char*>(bytes);
    auto sourceLength = static_cast<int32_t>(length);
    int32_t n = ucnv_toUChars(converter.get(), nullptr, 0, source, sourceLength, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return nullptr;
    std::u16string text(n, u'\0');
    status = U_ZERO_ERROR;
    ucnv_toUChars(converter.get(), text.data(), n, source, sourceLength, &status);
    if (U_FAILURE(status)) return nullptr;
    return NSString::stringWithUTF16(std::move(text));
}

// Code points of the text; a lone surrogate is an error unless replaced.
bool codePoints(std::u16string_view text, bool lossy, std::vector<uint32_t>& out)
{
    for (size_t i = 0; i < text.size();) {
        UChar32 c;
        U16_NEXT(text.data(), i, text.size(), c);
        if (U_IS_SURROGATE(c)) {
            if (!lossy) return false;
            c = '?';
        }
        out.push_back(static_cast<uint32_t>(c));
    }
    return true;
}

Ref<NSData> encodeWithICU(const char* name, std::u16string_view text, bool lossy)
{
    Converter converter = openConverter(name);
    if (!converter) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    if (lossy) {
        ucnv_setSubstChars(converter.get(), "?", 1, &status);
        ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
    } else {
        ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    }
    if (U_FAILURE(status)) return nullptr;
    auto sourceLength = static_cast<int32_t>(text.size());
    int32_t n = ucnv_fromUChars(converter.get(), nullptr, 0, text.data(), sourceLength, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return nullptr;
    std::vector<uint8_t> bytes(n);
    status = U_ZERO_ERROR;
    ucnv_fromUChars(converter.get(), reinterpret_cast<char*>(bytes.data()), n, text.data(), sourceLength, &status);
    if (U_FAILURE(status)) return nullptr;
    return NSData::dataWithVector(std::move(bytes));
}

}

Ref<NSString> NSString::stringWithData(const Ref<NSData>& data, NSStringEncoding encoding)
{
    if (!data) return nullptr;
    return stringWithBytes(data->bytes(), data->length(), encoding);
}

Ref<NSString> NSString::stringWithBytes(const void* rawBytes, NSUInteger length, NSStringEncoding encoding)
{
    if (!rawBytes && length) return nullptr;
    auto* bytes = static_cast<const uint8_t*>(rawBytes);
    static const uint8_t nothing = 0;
    if (!bytes) bytes = &nothing;
    switch (encoding) {
    case NSUTF8StringEncoding:
        return stringWithUTF8String(std::string_view(reinterpret_cast<const char*>(bytes), length));
    case NSUnicodeStringEncoding: return decodeUTF16(bytes, length, Endian::Big, true);
    case NSUTF16BigEndianStringEncoding: return decodeUTF16(bytes, length, Endian::Big, false);
    case NSUTF16LittleEndianStringEncoding: return decodeUTF16(bytes, length, Endian::Little, false);
    case NSUTF32StringEncoding: return decodeUTF32(bytes, length, Endian::Big, true);
    case NSUTF32BigEndianStringEncoding: return decodeUTF32(bytes, length, Endian::Big, false);
    case NSUTF32LittleEndianStringEncoding: return decodeUTF32(bytes, length, Endian::Little, false);
    default: break;
    }
    const char* name = icuConverterName(encoding);
    return name ? decodeWithICU(name, bytes, length) : nullptr;
}

Ref<NSData> NSString::dataUsingEncoding(NSStringEncoding encoding, bool allowLossyConversion) const
{
    StringChars chars(*this);
    std::u16string_view text = chars.view();
    std::vector<uint8_t> bytes;
    switch (encoding) {
    case NSUTF8StringEncoding: {
        std::u16string clean;
        if (!validUTF16(text)) {
            // A lone surrogate has no UTF-8 form.
            if (!allowLossyConversion) return nullptr;
            for (size_t i = 0; i < text.size();) {
                size_t start = i;
                UChar32 c;
                U16_NEXT(text.data(), i, text.size(), c);
                if (U_IS_SURROGATE(c)) clean += u'?';
                else clean.append(text.substr(start, i - start));
            }
            text = clean;
        }
        std::string utf8 = ConvertUTF16ToUTF8(text);
        return NSData::dataWithBytes(utf8.data(), utf8.size());
    }
    case NSUnicodeStringEncoding:
    case NSUTF16BigEndianStringEncoding:
    case NSUTF16LittleEndianStringEncoding: {
        Endian endian = encoding == NSUTF16BigEndianStringEncoding      ? Endian::Big
                        : encoding == NSUTF16LittleEndianStringEncoding ? Endian::Little
                                                                        : hostEndian;
        if (encoding == NSUnicodeStringEncoding) writeUnit(bytes, 0xFEFF, 2, endian);
        for (char16_t c : text) writeUnit(bytes, c, 2, endian);
        return NSData::dataWithVector(std::move(bytes));
    }
    case NSUTF32StringEncoding:
    case NSUTF32BigEndianStringEncoding:
    case NSUTF32LittleEndianStringEncoding: {
        Endian endian = encoding == NSUTF32BigEndianStringEncoding      ? Endian::Big
                        : encoding == NSUTF32LittleEndianStringEncoding ? Endian::Little
                                                                        : hostEndian;
        std::vector<uint32_t> points;
        if (!codePoints(text, allowLossyConversion, points)) return nullptr;
        if (encoding == NSUTF32StringEncoding) writeUnit(bytes, 0xFEFF, 4, endian);
        for (uint32_t c : points) writeUnit(bytes, c, 4, endian);
        return NSData::dataWithVector(std::move(bytes));
    }
    default: break;
    }
    const char* name = icuConverterName(encoding);
    return name ? encodeWithICU(name, text, allowLossyConversion) : nullptr;
}

NSStringDecodedPrefix NSStringAppendDecodablePrefix(const void* rawBytes, NSUInteger length, NSStringEncoding encoding,
                                                    std::u16string& out)
{
    NSStringDecodedPrefix result;
    const char* name = icuConverterName(encoding);
    Converter converter = name ? openConverter(name) : Converter(nullptr, ucnv_close);
    if (!converter) return result;
    result.invalidOffset = NSNotFound;
    if (!length) return result;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    const char* start = static_cast<const char*>(rawBytes);
    const char* source = start;
    const char* sourceLimit = start + length;
    size_t begin = out.size();
    // Almost every encoding gives at most one unit per byte; a few map a byte
    // to more, which the overflow branch makes room for.
    size_t produced = begin;
    out.resize(begin + length + 16);
    for (;;) {
        char16_t* target = out.data() + produced;
        char16_t* targetStart = target;
        status = U_ZERO_ERROR;
        // No flush: a character cut short at the end stays pending in the
        // converter instead of counting as an error.
        ucnv_toUnicode(converter.get(), &target, out.data() + out.size(), &source, sourceLimit, nullptr, false,
                       &status);
        produced += static_cast<size_t>(target - targetStart);
        if (status != U_BUFFER_OVERFLOW_ERROR) break;
        out.resize(out.size() + length / 2 + 16);
    }
    out.resize(produced);
    auto consumed = static_cast<NSUInteger>(source - start);
    if (U_FAILURE(status)) {
        char invalid[32];
        int8_t invalidLength = sizeof invalid;
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidChars(converter.get(), invalid, &invalidLength, &ignored);
        result.usedLength = consumed - static_cast<NSUInteger>(invalidLength);
        result.invalidOffset = result.usedLength;
        return result;
    }
    UErrorCode pendingStatus = U_ZERO_ERROR;
    int32_t pending = ucnv_toUCountPending(converter.get(), &pendingStatus);
    result.usedLength = consumed - static_cast<NSUInteger>(std::max(pending, 0));
    return result;
}

const char* NSStringEncodingConverterName(NSStringEncoding encoding) { return icuConverterName(encoding); }

bool NSString::canBeConvertedToEncoding(NSStringEncoding encoding) const
{
    return static_cast<bool>(dataUsingEncoding(encoding));
}

std::span<const NSStringEncoding> NSString::availableStringEncodings()
{
    // Only what the installed ICU can really open, so that a listed encoding
    // always converts.
    static const std::vector<NSStringEncoding> available = [] {
        std::vector<NSStringEncoding> list;
        for (const auto& entry : kEncodings)
            if (entry.native || (entry.converter && openConverter(entry.converter))) list.push_back(entry.encoding);
        return list;
    }();
    return available;
}

NSStringEncoding NSString::defaultCStringEncoding() { return NSMacOSRomanStringEncoding; }

Ref<NSString> NSString::localizedNameOfStringEncoding(NSStringEncoding encoding)
{
    const EncodingEntry* entry = findEncoding(encoding);
    return NSString::stringWithUTF8String(entry ? entry->name : "");
}
