#include "Foundation/NSString.h"

#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSString)
NS_CLASS_DEFINE(NSMutableString)

// Ill-formed input becomes `substitute`, or fails with U_SENTINEL.
static bool convertUTF8(std::string_view in, std::u16string& out, UChar32 substitute)
{
    out.assign(in.size(), u'\0');
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &written, in.data(),
                         static_cast<int32_t>(in.size()), substitute, nullptr, &status);
    if (U_FAILURE(status)) {
        out.clear();
        return false;
    }
    out.resize(written);
    return true;
}

bool ConvertUTF8ToUTF16(std::string_view in, std::u16string& out) { return convertUTF8(in, out, U_SENTINEL); }

std::u16string ConvertUTF8ToUTF16Replacing(std::string_view in)
{
    std::u16string out;
    convertUTF8(in, out, 0xFFFD);
    return out;
}

std::string ConvertUTF16ToUTF8(std::u16string_view in)
{
    std::string out(in.size() * 3, '\0');
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    // Lone surrogates become U+FFFD rather than failing the conversion.
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &written, in.data(),
                       static_cast<int32_t>(in.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return {};
    out.resize(written);
    return out;
}

StringChars::StringChars(const NSString& s)
{
    NSUInteger length = s.length();
    if (const unichar* chars = s.characters()) {
        m_view = std::u16string_view(chars, length);
        return;
    }
    m_copy.resize(length);
    s.getCharacters(m_copy.data(), NSMakeRange(0, length));
    m_view = m_copy;
}

Ref<NSString> operator""_ns(const char* utf8, size_t length)
{
    return NSString::stringWithUTF8String(std::string_view(utf8, length));
}

Ref<NSString> operator""_ns(const char16_t* utf16, size_t length)
{
    return NSString::stringWithCharacters(utf16, length);
}

Ref<NSString> NSString::string() { return alloc<NSString>(); }

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
    if (!ConvertUTF8ToUTF16(utf8, text)) return nullptr;
    return stringWithUTF16(std::move(text));
}

Ref<NSString> NSString::stringWithString(const Ref<NSString>& other)
{
    if (!other) NSException::raise(NSInvalidArgumentException, "-[NSPlaceholderString initWithString:]: nil argument");
    return stringWithUTF16(std::u16string(StringChars(*other).view()));
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
        NSException::raise(NSRangeException, "-[" + realClass().name() + " characterAtIndex:]: Index " +
                                                 std::to_string(index) + " out of bounds; string length " +
                                                 std::to_string(length()));
    return m_chars[index];
}

void NSString::getCharacters(unichar* buffer, NSRange range) const
{
    checkRange(range, "getCharacters:range:");
    std::copy_n(m_chars.data() + range.location, range.length, buffer);
}

std::string NSString::UTF8String() const { return ConvertUTF16ToUTF8(StringChars(*this).view()); }

bool NSString::isEqual(const NSObject* other) const
{
    if (other == this) return true;
    auto* s = dynamic_cast<const NSString*>(other);
    return s && s->length() == length() && StringChars(*s).view() == StringChars(*this).view();
}

bool NSString::isEqualToString(const Ref<NSString>& other) const { return other && isEqual(other.get()); }

// Over every code unit, so any change in place changes the hash with high
// probability; never 0, which stands for "not computed yet".
static NSUInteger hashUTF16(std::u16string_view chars)
{
    NSUInteger h = HashFNV1a(chars);
    return h == 0 ? 1 : h;
}

NSUInteger NSString::hash() const
{
    NSUInteger h = m_hash.load(std::memory_order_relaxed);
    if (h == 0) {
        h = hashUTF16(StringChars(*this).view());
        m_hash.store(h, std::memory_order_relaxed);
    }
    return h;
}

Id NSString::copy() const { return const_cast<NSString*>(this); }

Id NSString::mutableCopy() const { return NSMutableString::stringWithString(const_cast<NSString*>(this)); }

Ref<NSString> NSString::substringWithRange(NSRange range) const
{
    checkRange(range, "substringWithRange:");
    return stringWithUTF16(std::u16string(StringChars(*this).view().substr(range.location, range.length)));
}

Ref<NSString> NSString::substringToIndex(NSUInteger index) const
{
    checkRange(NSMakeRange(0, index), "substringToIndex:");
    return substringWithRange(NSMakeRange(0, index));
}

Ref<NSString> NSString::substringFromIndex(NSUInteger index) const
{
    checkRange(NSMakeRange(index, 0), "substringFromIndex:");
    return substringWithRange(NSMakeRange(index, length() - index));
}

Ref<NSString> NSString::stringByAppendingString(const Ref<NSString>& other) const
{
    if (!other) NSException::raise(NSInvalidArgumentException, "-[NSString stringByAppendingString:]: nil argument");
    std::u16string text(StringChars(*this).view());
    text += StringChars(*other).view();
    return stringWithUTF16(std::move(text));
}

Ref<NSString> NSString::stringByPaddingToLength(NSUInteger newLength, const Ref<NSString>& pad,
                                                NSUInteger padIndex) const
{
    StringChars chars(*this);
    if (newLength <= chars.size()) return stringWithUTF16(std::u16string(chars.view().substr(0, newLength)));
    if (!pad || pad->length() == 0 || padIndex >= pad->length())
        NSException::raise(NSRangeException,
                           "-[NSString stringByPaddingToLength:withString:startingAtIndex:]: bad pad string or index");
    StringChars padChars(*pad);
    std::u16string text(chars.view());
    text.reserve(newLength);
    for (size_t i = padIndex; text.size() < newLength; i = (i + 1) % padChars.size()) text += padChars[i];
    return stringWithUTF16(std::move(text));
}

bool NSString::hasPrefix(const Ref<NSString>& prefix) const
{
    if (!prefix) return false;
    return StringChars(*this).view().starts_with(StringChars(*prefix).view());
}

bool NSString::hasSuffix(const Ref<NSString>& suffix) const
{
    if (!suffix) return false;
    return StringChars(*this).view().ends_with(StringChars(*suffix).view());
}

bool NSString::containsString(const Ref<NSString>& text) const
{
    return rangeOfString(text).location != static_cast<NSUInteger>(NSNotFound);
}

// Splitting and trimming

Ref<NSArray> NSString::componentsSeparatedByString(const Ref<NSString>& separator) const
{
    if (!separator)
        NSException::raise(NSInvalidArgumentException, "-[NSString componentsSeparatedByString:]: nil argument");
    StringChars chars(*this);
    StringChars sep(*separator);
    std::vector<Id> parts;
    if (sep.size() == 0) return NSArray::arrayWithObject(copy());
    size_t start = 0;
    for (;;) {
        size_t found = chars.view().find(sep.view(), start);
        if (found == std::u16string_view::npos) break;
        parts.push_back(stringWithUTF16(std::u16string(chars.view().substr(start, found - start))));
        start = found + sep.size();
    }
    parts.push_back(stringWithUTF16(std::u16string(chars.view().substr(start))));
    return NSArray::arrayWithVector(std::move(parts));
}

Ref<NSArray> NSString::componentsSeparatedByCharactersInSet(const Ref<NSCharacterSet>& set) const
{
    if (!set)
        NSException::raise(NSInvalidArgumentException,
                           "-[NSString componentsSeparatedByCharactersInSet:]: nil argument");
    StringChars chars(*this);
    std::vector<Id> parts;
    size_t start = 0;
    for (size_t i = 0; i < chars.size();) {
        size_t at = i;
        UChar32 c;
        U16_NEXT(chars.view().data(), i, chars.size(), c);
        if (!set->longCharacterIsMember(static_cast<UTF32Char>(c))) continue;
        parts.push_back(stringWithUTF16(std::u16string(chars.view().substr(start, at - start))));
        start = i;
    }
    parts.push_back(stringWithUTF16(std::u16string(chars.view().substr(start))));
    return NSArray::arrayWithVector(std::move(parts));
}

Ref<NSString> NSString::stringByTrimmingCharactersInSet(const Ref<NSCharacterSet>& set) const
{
    if (!set)
        NSException::raise(NSInvalidArgumentException, "-[NSString stringByTrimmingCharactersInSet:]: nil argument");
    StringChars chars(*this);
    const char16_t* text = chars.view().data();
    size_t start = 0, end = chars.size();
    while (start < end) {
        size_t next = start;
        UChar32 c;
        U16_NEXT(text, next, end, c);
        if (!set->longCharacterIsMember(static_cast<UTF32Char>(c))) break;
        start = next;
    }
    while (end > start) {
        size_t previous = end;
        UChar32 c;
        U16_PREV(text, start, previous, c);
        if (!set->longCharacterIsMember(static_cast<UTF32Char>(c))) break;
        end = previous;
    }
    if (start == 0 && end == chars.size()) return static_ref_cast<NSString>(copy());
    return stringWithUTF16(std::u16string(chars.view().substr(start, end - start)));
}

// Lines and paragraphs

namespace {
bool isLineEnd(char16_t c, bool paragraphsOnly)
{
    return c == u'\n' || c == u'\r' || c == 0x0085 || c == 0x2029 || (!paragraphsOnly && c == 0x2028);
}

void lineBounds(std::u16string_view text, NSRange range, bool paragraphsOnly, NSUInteger* startOut, NSUInteger* endOut,
                NSUInteger* contentsEndOut)
{
    auto isCRLF = [&](size_t i) { return i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n'; };
    // The LF of a CR LF pair belongs to the line the CR ends.
    size_t start = range.location;
    if (start > 0 && start < text.size() && isCRLF(start - 1)) --start;
    while (start > 0 && !isLineEnd(text[start - 1], paragraphsOnly)) --start;

    size_t last = range.length > 0 ? range.location + range.length - 1 : range.location;
    size_t contentsEnd = last, end = last;
    if (last < text.size() && last > 0 && isCRLF(last - 1)) {
        contentsEnd = last - 1;
        end = last + 1;
    } else {
        while (contentsEnd < text.size() && !isLineEnd(text[contentsEnd], paragraphsOnly)) ++contentsEnd;
        end = contentsEnd == text.size() ? contentsEnd : contentsEnd + (isCRLF(contentsEnd) ? 2 : 1);
    }
    if (startOut) *startOut = start;
    if (endOut) *endOut = end;
    if (contentsEndOut) *contentsEndOut = contentsEnd;
}
}

void NSString::getLineStart(NSUInteger* start, NSUInteger* end, NSUInteger* contentsEnd, NSRange range) const
{
    checkRange(range, "getLineStart:end:contentsEnd:forRange:");
    lineBounds(StringChars(*this).view(), range, false, start, end, contentsEnd);
}

void NSString::getParagraphStart(NSUInteger* start, NSUInteger* end, NSUInteger* contentsEnd, NSRange range) const
{
    checkRange(range, "getParagraphStart:end:contentsEnd:forRange:");
    lineBounds(StringChars(*this).view(), range, true, start, end, contentsEnd);
}

NSRange NSString::lineRangeForRange(NSRange range) const
{
    NSUInteger start = 0, end = 0;
    getLineStart(&start, &end, nullptr, range);
    return NSMakeRange(start, end - start);
}

NSRange NSString::paragraphRangeForRange(NSRange range) const
{
    NSUInteger start = 0, end = 0;
    getParagraphStart(&start, &end, nullptr, range);
    return NSMakeRange(start, end - start);
}

// NSMutableString

Ref<NSMutableString> NSMutableString::string() { return alloc<NSMutableString>(); }

Ref<NSMutableString> NSMutableString::stringWithString(const Ref<NSString>& other)
{
    Ref<NSMutableString> s = alloc<NSMutableString>();
    if (other) s->m_chars = StringChars(*other).view();
    return s;
}

void NSMutableString::didMutate() { ++m_mutations; }

void NSMutableString::replaceCharactersInRange(NSRange range, const Ref<NSString>& text)
{
    checkRange(range, "replaceCharactersInRange:withString:");
    if (!text)
        NSException::raise(NSInvalidArgumentException,
                           "-[NSMutableString replaceCharactersInRange:withString:]: nil argument");
    // Copy first: the text may be the receiver itself.
    std::u16string replacement(StringChars(*text).view());
    m_chars.replace(range.location, range.length, replacement);
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

void NSMutableString::deleteCharactersInRange(NSRange range) { replaceCharactersInRange(range, NSString::string()); }

void NSMutableString::setString(const Ref<NSString>& text)
{
    replaceCharactersInRange(NSMakeRange(0, length()), text ? text : NSString::string());
}

NSUInteger NSMutableString::hash() const { return hashUTF16(m_chars); }

Id NSMutableString::copy() const { return NSString::stringWithUTF16(m_chars); }
