// Conversion between strings and bytes in a text encoding. Decoding is
// strict: invalid or incomplete input gives nil, never replacement
// characters, because callers probe cut points and encodings by failure.
#include <bit>
#include <memory>

#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include "Foundation/NSData.h"
#include "Foundation/NSString.h"

namespace {

enum class Endian { Big, Little };
constexpr Endian hostEndian = std::endian::native == std::endian::little ? Endian::Little : Endian::Big;

const char* icuConverterName(NSStringEncoding encoding)
{
    switch (encoding) {
    case NSMacOSRomanStringEncoding: return "macintosh";
    case NSWindowsCP1252StringEncoding: return "windows-1252";
    default: return nullptr;
    }
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
    case NSUTF8StringEncoding: return stringWithUTF8String(std::string_view(reinterpret_cast<const char*>(bytes), length));
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
    NSStringChars chars(*this);
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
        std::string utf8 = NSConvertUTF16ToUTF8(text);
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

bool NSString::canBeConvertedToEncoding(NSStringEncoding encoding) const
{
    return static_cast<bool>(dataUsingEncoding(encoding));
}
