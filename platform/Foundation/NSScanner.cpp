#include "Foundation/NSScanner.h"

#include <charconv>

#include <unicode/utf16.h>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSScanner)

Ref<NSScanner> NSScanner::scannerWithString(const Ref<NSString>& string)
{
    Ref<NSScanner> scanner = alloc<NSScanner>();
    scanner->m_string = string ? static_ref_cast<NSString>(string->copy()) : NSString::string();
    scanner->m_skip = NSCharacterSet::whitespaceAndNewlineCharacterSet();
    return scanner;
}

Ref<NSScanner> NSScanner::localizedScannerWithString(const Ref<NSString>& string)
{
    Ref<NSScanner> scanner = scannerWithString(string);
    scanner->m_locale = NSLocale::currentLocale();
    return scanner;
}

void NSScanner::setScanLocation(NSUInteger location)
{
    if (location > m_string->length())
        NSException::raise(NSRangeException, "-[NSScanner setScanLocation:]: Index " + std::to_string(location) +
                                                 " out of bounds; string length " + std::to_string(m_string->length()));
    m_location = location;
}

NSUInteger NSScanner::skipped(NSUInteger from) const
{
    if (!m_skip) return from;
    NSStringChars chars(*m_string);
    size_t i = from;
    while (i < chars.size()) {
        size_t next = i;
        UChar32 c;
        U16_NEXT(chars.view().data(), next, chars.size(), c);
        if (!m_skip->longCharacterIsMember(static_cast<UTF32Char>(c))) break;
        i = next;
    }
    return i;
}

bool NSScanner::isAtEnd() const { return skipped(m_location) >= m_string->length(); }

// Collects sign, digits and (for fractions) the locale's decimal separator
// and an exponent as ASCII, advancing m_location only on success.
bool NSScanner::scanNumber(std::string& ascii, bool fraction)
{
    NSStringChars chars(*m_string);
    std::u16string_view text = chars.view();
    size_t i = skipped(m_location);
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ascii += static_cast<char>(text[i++]);
    auto isDigit = [&](size_t k) { return k < text.size() && text[k] >= u'0' && text[k] <= u'9'; };
    size_t digits = 0;
    for (; isDigit(i); ++i, ++digits) ascii += static_cast<char>(text[i]);
    if (fraction) {
        std::u16string separator = u".";
        if (m_locale) {
            if (auto s = dynamic_ref_cast<NSString>(m_locale->objectForKey(NSLocaleDecimalSeparator()));
                s && s->length())
                separator = std::u16string(NSStringChars(*s).view());
        }
        if (text.substr(i, separator.size()) == separator) {
            size_t k = i + separator.size();
            std::string fractionDigits;
            for (; isDigit(k); ++k) fractionDigits += static_cast<char>(text[k]);
            if (digits || !fractionDigits.empty()) {
                ascii += '.';
                ascii += fractionDigits;
                digits += fractionDigits.size();
                i = k;
            }
        }
        if (digits && i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
            size_t k = i + 1;
            std::string exponent = "e";
            if (k < text.size() && (text[k] == u'+' || text[k] == u'-')) exponent += static_cast<char>(text[k++]);
            size_t expDigits = 0;
            for (; isDigit(k); ++k, ++expDigits) exponent += static_cast<char>(text[k]);
            if (expDigits) {
                ascii += exponent;
                i = k;
            }
        }
    }
    if (!digits) return false;
    m_location = i;
    return true;
}

bool NSScanner::scanLongLong(long long* result)
{
    std::string ascii;
    if (!scanNumber(ascii, false)) return false;
    const char* begin = ascii.data() + (ascii[0] == '+' ? 1 : 0);
    long long value = 0;
    auto [ptr, error] = std::from_chars(begin, ascii.data() + ascii.size(), value);
    if (error == std::errc::result_out_of_range) value = ascii[0] == '-' ? LLONG_MIN : LLONG_MAX;
    if (result) *result = value;
    return true;
}

bool NSScanner::scanInteger(NSInteger* result)
{
    long long value = 0;
    if (!scanLongLong(&value)) return false;
    if (result) *result = static_cast<NSInteger>(value);
    return true;
}

bool NSScanner::scanInt(int32_t* result)
{
    long long value = 0;
    if (!scanLongLong(&value)) return false;
    if (result) *result = static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
    return true;
}

bool NSScanner::scanDouble(double* result)
{
    std::string ascii;
    if (!scanNumber(ascii, true)) return false;
    if (result) *result = NSParseDecimal(ascii);
    return true;
}

bool NSScanner::scanFloat(float* result)
{
    double value = 0;
    if (!scanDouble(&value)) return false;
    if (result) *result = static_cast<float>(value);
    return true;
}

bool NSScanner::scanString(const Ref<NSString>& text, Ref<NSString>* result)
{
    if (!text || text->length() == 0) return false;
    NSUInteger start = skipped(m_location);
    NSUInteger rest = m_string->length() - start;
    NSStringCompareOptions options = NSAnchoredSearch | (m_caseSensitive ? NSLiteralSearch : NSCaseInsensitiveSearch);
    NSRange found = m_string->rangeOfString(text, options, NSMakeRange(start, rest));
    if (found.location == static_cast<NSUInteger>(NSNotFound)) return false;
    if (result) *result = m_string->substringWithRange(found);
    m_location = NSMaxRange(found);
    return true;
}

bool NSScanner::scanCharactersFromSet(const Ref<NSCharacterSet>& set, Ref<NSString>* result)
{
    if (!set) return false;
    NSStringChars chars(*m_string);
    size_t start = skipped(m_location), i = start;
    while (i < chars.size()) {
        size_t next = i;
        UChar32 c;
        U16_NEXT(chars.view().data(), next, chars.size(), c);
        if (!set->longCharacterIsMember(static_cast<UTF32Char>(c))) break;
        i = next;
    }
    if (i == start) return false;
    if (result) *result = m_string->substringWithRange(NSMakeRange(start, i - start));
    m_location = i;
    return true;
}

bool NSScanner::scanUpToString(const Ref<NSString>& stop, Ref<NSString>* result)
{
    if (!stop) return false;
    NSUInteger start = skipped(m_location);
    NSUInteger length = m_string->length();
    if (start >= length) return false;
    NSStringCompareOptions options = m_caseSensitive ? NSLiteralSearch : NSCaseInsensitiveSearch;
    NSRange found = m_string->rangeOfString(stop, options, NSMakeRange(start, length - start));
    NSUInteger end = found.location == static_cast<NSUInteger>(NSNotFound) ? length : found.location;
    if (end == start) return false;
    if (result) *result = m_string->substringWithRange(NSMakeRange(start, end - start));
    m_location = end;
    return true;
}

bool NSScanner::scanUpToCharactersFromSet(const Ref<NSCharacterSet>& set, Ref<NSString>* result)
{
    if (!set) return false;
    NSUInteger start = skipped(m_location);
    NSUInteger length = m_string->length();
    if (start >= length) return false;
    NSRange found = m_string->rangeOfCharacterFromSet(set, 0, NSMakeRange(start, length - start));
    NSUInteger end = found.location == static_cast<NSUInteger>(NSNotFound) ? length : found.location;
    if (end == start) return false;
    if (result) *result = m_string->substringWithRange(NSMakeRange(start, end - start));
    m_location = end;
    return true;
}
