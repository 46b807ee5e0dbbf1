#include "Foundation/NSString.h"

#include <unicode/ustring.h>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSString)
NS_CLASS_DEFINE(NSMutableString)

bool NSConvertUTF8ToUTF16(std::string_view in, std::u16string& out)
{
    out.assign(in.size(), u'\0');
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(out.data(), static_cast<int32_t>(out.size()), &written, in.data(), static_cast<int32_t>(in.size()), &status);
    if (U_FAILURE(status)) {
        out.clear();
        return false;
    }
    out.resize(written);
    return true;
}

std::string NSConvertUTF16ToUTF8(std::u16string_view in)
{
    std::string out(in.size() * 3, '\0');
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    // Lone surrogates become U+FFFD rather than failing the conversion.
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &written, in.data(), static_cast<int32_t>(in.size()),
                       0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return {};
    out.resize(written);
    return out;
}

Ref<NSString> operator""_ns(const char* utf8, size_t length)
{
    return NSString::stringWithUTF8String(std::string_view(utf8, length));
}

Ref<NSString> operator""_ns(const char16_t* utf16, size_t length)
{
    return NSString::stringWithCharacters(utf16, length);
}

Ref<NSString> NSString::string()
{
    return alloc<NSString>();
}

Ref<NSString> NSString::stringWithUTF16(std::u16string text)
{
    Ref<NSString> s = alloc<NSString>();
    s->m_chars = std::move(text);
    return s;
}

Ref<NSString> NSString::stringWithCharacters(const unichar* chars, NSUInteger length)
{
    return stringWithUTF16(std::u16string(chars, length));
}

Ref<NSString> NSString::stringWithUTF8String(std::string_view utf8)
{
    std::u16string text;
    if (!NSConvertUTF8ToUTF16(utf8, text)) return nullptr;
    return stringWithUTF16(std::move(text));
}

Ref<NSString> NSString::stringWithString(const Ref<NSString>& other)
{
    if (!other) NSException::raise(NSInvalidArgumentException, "-[NSPlaceholderString initWithString:]: nil argument");
    return stringWithUTF16(other->m_chars);
}

void NSString::checkRange(NSRange range, const char* method) const
{
    NSUInteger len = length();
    if (range.location > len || range.length > len - range.location)
        NSException::raise(NSRangeException, std::string("-[") + realClass().name() + " " + method + "]: Range {" +
                                                 std::to_string(range.location) + ", " + std::to_string(range.length) +
                                                 "} out of bounds; string length " + std::to_string(len));
}

unichar NSString::characterAtIndex(NSUInteger index) const
{
    if (index >= length())
        NSException::raise(NSRangeException, "-[" + realClass().name() + " characterAtIndex:]: Index " + std::to_string(index) +
                                                 " out of bounds; string length " + std::to_string(length()));
    return m_chars[index];
}

void NSString::getCharacters(unichar* buffer, NSRange range) const
{
    checkRange(range, "getCharacters:range:");
    std::copy_n(m_chars.data() + range.location, range.length, buffer);
}

std::string NSString::UTF8String() const
{
    return NSConvertUTF16ToUTF8(m_chars);
}

bool NSString::isEqual(const NSObject* other) const
{
    if (other == this) return true;
    auto* s = dynamic_cast<const NSString*>(other);
    return s && s->m_chars == m_chars;
}

bool NSString::isEqualToString(const Ref<NSString>& other) const
{
    return other && other->m_chars == m_chars;
}

static NSUInteger hashUTF16(const std::u16string& chars)
{
    // FNV-1a over every code unit: equal strings hash alike, and any change
    // in place changes the hash with high probability.
    uint64_t h = 1469598103934665603ull;
    for (char16_t c : chars) {
        h ^= static_cast<uint64_t>(c);
        h *= 1099511628211ull;
    }
    return h == 0 ? 1 : h;
}

NSUInteger NSString::hash() const
{
    NSUInteger h = m_hash.load(std::memory_order_relaxed);
    if (h == 0) {
        h = hashUTF16(m_chars);
        m_hash.store(h, std::memory_order_relaxed);
    }
    return h;
}

Id NSString::copy() const
{
    return const_cast<NSString*>(this);
}

Id NSString::mutableCopy() const
{
    return NSMutableString::stringWithString(const_cast<NSString*>(this));
}

Ref<NSString> NSString::substringWithRange(NSRange range) const
{
    checkRange(range, "substringWithRange:");
    return stringWithUTF16(m_chars.substr(range.location, range.length));
}

Ref<NSString> NSString::stringByAppendingString(const Ref<NSString>& other) const
{
    if (!other) NSException::raise(NSInvalidArgumentException, "-[NSString stringByAppendingString:]: nil argument");
    return stringWithUTF16(m_chars + other->m_chars);
}

// NSMutableString

Ref<NSMutableString> NSMutableString::string()
{
    return alloc<NSMutableString>();
}

Ref<NSMutableString> NSMutableString::stringWithString(const Ref<NSString>& other)
{
    Ref<NSMutableString> s = alloc<NSMutableString>();
    if (other) s->m_chars = other->utf16();
    return s;
}

void NSMutableString::didMutate()
{
    ++m_mutations;
}

void NSMutableString::replaceCharactersInRange(NSRange range, const Ref<NSString>& text)
{
    checkRange(range, "replaceCharactersInRange:withString:");
    if (!text) NSException::raise(NSInvalidArgumentException, "-[NSMutableString replaceCharactersInRange:withString:]: nil argument");
    m_chars.replace(range.location, range.length, text->utf16());
    didMutate();
}

void NSMutableString::appendString(const Ref<NSString>& text)
{
    replaceCharactersInRange(NSMakeRange(length(), 0), text);
}

void NSMutableString::insertString(const Ref<NSString>& text, NSUInteger index)
{
    replaceCharactersInRange(NSMakeRange(index, 0), text);
}

void NSMutableString::deleteCharactersInRange(NSRange range)
{
    replaceCharactersInRange(range, NSString::string());
}

void NSMutableString::setString(const Ref<NSString>& text)
{
    replaceCharactersInRange(NSMakeRange(0, length()), text ? text : NSString::string());
}

NSUInteger NSMutableString::hash() const
{
    return hashUTF16(m_chars);
}

Id NSMutableString::copy() const
{
    return NSString::stringWithUTF16(m_chars);
}
