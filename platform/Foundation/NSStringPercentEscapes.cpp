// Percent escapes of URL text, over the bytes of an encoding (UTF-8 in
// practice).
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSData.h"
#include "Foundation/NSString.h"
#include "Foundation/PercentEscapes.h"

#include <unicode/utf16.h>

namespace {

// Decodes every escape; nil on a malformed escape or bytes the encoding
// rejects.
Ref<NSString> removeEscapes(const NSString& s, NSStringEncoding encoding)
{
    StringChars chars(s);
    std::u16string_view text = chars.view();
    if (text.find(u'%') == std::u16string_view::npos) return NSString::stringWithUTF16(std::u16string(text));
    // Escapes stand for bytes; the characters between them are encoded first.
    std::vector<uint8_t> bytes;
    size_t i = 0;
    while (i < text.size()) {
        size_t percent = text.find(u'%', i);
        if (percent == std::u16string_view::npos) percent = text.size();
        if (percent > i) {
            Ref<NSData> part =
                NSString::stringWithUTF16(std::u16string(text.substr(i, percent - i)))->dataUsingEncoding(encoding);
            if (!part) return nullptr;
            bytes.insert(bytes.end(), part->bytes(), part->bytes() + part->length());
        }
        if (percent == text.size()) break;
        if (percent + 2 >= text.size()) return nullptr;
        int high = PercentEscapes::hexValue(text[percent + 1]), low = PercentEscapes::hexValue(text[percent + 2]);
        if (high < 0 || low < 0) return nullptr;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
        i = percent + 3;
    }
    return NSString::stringWithBytes(bytes.data(), bytes.size(), encoding);
}

bool urlCharacter(uint8_t b)
{
    // RFC 3986 unreserved and reserved characters.
    if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9')) return true;
    return std::string_view("-._~:/?#[]@!$&'()*+,;=").find(static_cast<char>(b)) != std::string_view::npos;
}

const char hexDigits[] = "0123456789ABCDEF";

void appendEscape(std::u16string& out, uint8_t b)
{
    out += u'%';
    out += static_cast<char16_t>(hexDigits[b >> 4]);
    out += static_cast<char16_t>(hexDigits[b & 15]);
}

}

Ref<NSString> NSString::stringByRemovingPercentEncoding() const { return removeEscapes(*this, NSUTF8StringEncoding); }

Ref<NSString> NSString::stringByReplacingPercentEscapesUsingEncoding(NSStringEncoding encoding) const
{
    return removeEscapes(*this, encoding);
}

Ref<NSString> NSString::stringByAddingPercentEscapesUsingEncoding(NSStringEncoding encoding) const
{
    Ref<NSData> bytes = dataUsingEncoding(encoding);
    if (!bytes) return nullptr;
    std::u16string out;
    for (uint8_t b : bytes->vector()) {
        if (urlCharacter(b)) out += static_cast<char16_t>(b);
        else appendEscape(out, b);
    }
    return stringWithUTF16(std::move(out));
}

Ref<NSString> NSString::stringByAddingPercentEncodingWithAllowedCharacters(const Ref<NSCharacterSet>& allowed) const
{
    StringChars chars(*this);
    std::u16string_view text = chars.view();
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        size_t start = i;
        UChar32 c;
        U16_NEXT(text.data(), i, text.size(), c);
        if (U_IS_SURROGATE(c)) return nullptr;  // a lone surrogate has no UTF-8 form
        if (allowed && allowed->longCharacterIsMember(static_cast<UTF32Char>(c))) {
            out.append(text.substr(start, i - start));
            continue;
        }
        for (char byte : ConvertUTF16ToUTF8(text.substr(start, i - start)))
            appendEscape(out, static_cast<uint8_t>(byte));
    }
    return stringWithUTF16(std::move(out));
}
