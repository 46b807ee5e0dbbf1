#include "FoundationExtensions/ZAKNSStringExtension.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "Foundation/NSBundle.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSTimeZone.h"
#include "Foundation/NSUUID.h"
#include "FoundationExtensions/NSMutableString+ZAKMutableStringExtension.h"

namespace {

constexpr NSUInteger kNotFound = NSNotFound;

Ref<NSString> trimmed(const Ref<NSString>& string)
{
    return string->stringByTrimmingCharactersInSet(NSCharacterSet::whitespaceCharacterSet());
}

Ref<NSString> character(char16_t c) { return NSString::stringWithCharacters(&c, 1); }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
int digitValue(char16_t c) { return isDigit(c) ? c - u'0' : 0; }

// Adds one to a decimal number written out in full, so a counter taken from a
// long run of digits keeps its value.
void incrementDecimal(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// Inside the string: found at an index above 0 and below the last character.
bool occursInside(const Ref<NSString>& string, const Ref<NSString>& text)
{
    NSRange r = string->rangeOfString(text);
    return r.location != kNotFound && r.location > 0 && r.location + 1 < string->length();
}

std::mutex& drawingLock()
{
    static std::mutex lock;
    return lock;
}

NSStringExt::DrawingFunction& drawingFunction()
{
    static NSStringExt::DrawingFunction function;
    return function;
}

}

namespace NSStringExt {

// --- Making strings ---

Ref<NSString> stringWithData(const Ref<NSData>& data, NSStringEncoding encoding)
{
    return data ? NSString::stringWithData(data, encoding) : nullptr;
}

Ref<NSString> stringWithString(const Ref<NSString>& string, NSInteger times)
{
    std::u16string text;
    if (!string) return NSString::string();
    StringChars chars(string);
    for (NSInteger i = 0; i < times; ++i) text += chars.view();
    return NSString::stringWithUTF16(std::move(text));
}

Ref<NSString> stringWithStrings(std::initializer_list<Ref<NSString>> strings)
{
    std::u16string text;
    for (const auto& string : strings) {
        if (!string) break;
        text += StringChars(string).view();
    }
    return NSString::stringWithUTF16(std::move(text));
}

Ref<NSString> UUID() { return NSUUID::UUID()->UUIDString(); }

Ref<NSString> timeStampForFileOperation()
{
    return NSDate::date()->descriptionWithCalendarFormat("%Y%m%d%H%M%S%z%F"_ns);
}

Ref<NSString> stringForRating(NSUInteger rating)
{
    if (rating == 0) return "-"_ns;
    return NSString::stringWithUTF16(std::u16string(std::min<NSUInteger>(rating, 5), u'\u272D'));
}

Ref<NSString> stringForKeyEquivalent(const Ref<NSString>& key, NSUInteger modifierMask)
{
    static constexpr struct {
        NSUInteger flag;
        char16_t glyph;
    } kModifiers[] = {{1 << 20, u'\u2318'}, {1 << 19, u'\u2325'}, {1 << 18, u'^'}, {1 << 17, u'\u21E7'}};
    std::u16string text;
    for (const auto& m : kModifiers)
        if (modifierMask & m.flag) text += m.glyph;
    if (key) text += StringChars(key).view();
    return NSString::stringWithUTF16(std::move(text));
}

// --- Unique names ---

Ref<NSString> uniqueStringWithString(const Ref<NSString>& name, const Ref<NSArray>& list)
{
    if (!name || !list || !list->containsObject(name)) return name;
    StringChars chars(name);
    // The trailing digits, never the first character.
    size_t digitsStart = chars.size();
    while (digitsStart > 1 && isDigit(chars[digitsStart - 1])) --digitsStart;
    // The number's decimal digits without leading zeros; "0" without any.
    std::string digits;
    for (size_t i = digitsStart; i < chars.size(); ++i) digits += static_cast<char>(chars[i]);
    size_t significant = digits.find_first_not_of('0');
    std::string counter = significant == std::string::npos ? std::string(1, '0') : digits.substr(significant);
    Ref<NSString> base = trimmed(name->substringToIndex(digitsStart));
    Ref<NSString> candidate;
    do {
        incrementDecimal(counter);
        candidate = NSString::stringWithFormat("%@ %s", base, counter);
    } while (list->containsObject(candidate));
    return candidate;
}

Ref<NSString> uniqueCopyStringWithString(const Ref<NSString>& name, const Ref<NSArray>& list)
{
    if (!name) return nullptr;
    Ref<NSString> copyWord = NSBundle::bundleForClassNamed("ZAKMeasurementTextField")
                                 ->localizedStringForKey("ACopyString"_ns, ""_ns, "ZAKNSStringExtensions"_ns);
    Ref<NSString> copyName = name;
    if (!name->containsString(copyWord)) copyName = NSString::stringWithFormat("%@ %@", trimmed(name), copyWord);
    return uniqueStringWithString(copyName, list);
}

Ref<NSString> uniqueFilenameWithString(const Ref<NSString>& name, const Ref<NSArray>& filenames)
{
    if (!name) return nullptr;
    Ref<NSString> extension = name->pathExtension();
    Ref<NSString> bareName = name->stringByDeletingPathExtension();
    auto bareNames = NSMutableArray::array();
    if (filenames)
        for (const Id& filename : filenames->snapshot())
            if (auto text = dynamic_ref_cast<NSString>(filename))
                bareNames->addObject(text->stringByDeletingPathExtension());
    if (bareNames->containsObject(bareName)) bareName = uniqueCopyStringWithString(bareName, bareNames);
    return extension->length() ? bareName->stringByAppendingPathExtension(extension) : bareName;
}

// --- Tests and URLs ---

bool validateEMailAddress(const Ref<NSString>& string)
{
    return string && occursInside(string, "@"_ns) && occursInside(string, "."_ns);
}

bool validateURL(const Ref<NSString>& string) { return string && occursInside(string, "."_ns); }

Ref<NSString> completedURLStringForString(const Ref<NSString>& string)
{
    if (!string) return nullptr;
    if (string->containsString("://"_ns)) return static_ref_cast<NSString>(string->copy());
    return NSString::stringWithFormat("http://%@", string);
}

Ref<NSString> convertToURLConformString(const Ref<NSString>& string)
{
    if (!string) return nullptr;
    Ref<NSString> decoded = string->stringByReplacingPercentEscapesUsingEncoding(NSUTF8StringEncoding);
    return (decoded ? decoded : string)->stringByAddingPercentEscapesUsingEncoding(NSUTF8StringEncoding);
}

Ref<NSString> percentEncodedRfc3986String(const Ref<NSString>& string)
{
    static constexpr const char* kEscapes[][2] = {
        {";", "%3B"}, {"/", "%2F"}, {"?", "%3F"}, {":", "%3A"}, {"@", "%40"}, {"&", "%26"},
        {"=", "%3D"}, {"+", "%2B"}, {"$", "%24"}, {",", "%2C"}, {"[", "%5B"}, {"]", "%5D"},
        {"#", "%23"}, {"!", "%21"}, {"'", "%27"}, {"(", "%28"}, {")", "%29"}, {"*", "%2A"},
    };
    if (!string) return nullptr;
    auto encoded = NSMutableString::stringWithString(string);
    for (const auto& [character, escape] : kEscapes)
        encoded->replaceOccurrencesOfString(NSString::stringWithUTF8String(character),
                                            NSString::stringWithUTF8String(escape), NSLiteralSearch,
                                            NSMakeRange(0, encoded->length()));
    return encoded;
}

Ref<NSString> decodeAllPercentEscapes(const Ref<NSString>& string)
{
    return string ? string->stringByReplacingPercentEscapesUsingEncoding(NSUTF8StringEncoding) : nullptr;
}

// --- Special characters ---

Ref<NSString> stringWithCharacter(UTF32Char c)
{
    if (c <= 0xFFFF) return character(static_cast<char16_t>(c));
    const char16_t pair[2] = {static_cast<char16_t>((((c >> 10) - 64) & 0x3FF) | 0xD800),
                              static_cast<char16_t>((c & 0x3FF) | 0xDC00)};
    return NSString::stringWithCharacters(pair, 2);
}

// Function-local statics: made once, safely from any thread.
Ref<NSString> horizontalEllipsisString()
{
    static const Ref<NSString> s = stringWithCharacter(0x2026);
    return s;
}
Ref<NSString> leftPointingDoubleAngleQuotationMarkString()
{
    static const Ref<NSString> s = stringWithCharacter(0x00AB);
    return s;
}
Ref<NSString> rightPointingDoubleAngleQuotationMarkString()
{
    static const Ref<NSString> s = stringWithCharacter(0x00BB);
    return s;
}
Ref<NSString> emdashString()
{
    static const Ref<NSString> s = stringWithCharacter(0x2014);
    return s;
}
Ref<NSString> endashString()
{
    static const Ref<NSString> s = stringWithCharacter(0x2013);
    return s;
}
Ref<NSString> commandKeyIndicatorString()
{
    static const Ref<NSString> s = stringWithCharacter(0x2318);
    return s;
}
Ref<NSString> alternateKeyIndicatorString()
{
    static const Ref<NSString> s = stringWithCharacter(0x2325);
    return s;
}
Ref<NSString> shiftKeyIndicatorString()
{
    static const Ref<NSString> s = stringWithCharacter(0x21E7);
    return s;
}

// --- Converting ---

Ref<NSMutableString> stringByConvertCharactersToHTML(const Ref<NSString>& string)
{
    if (!string) return nullptr;
    auto converted = NSMutableString::stringWithString(string);
    NSMutableStringExt::HTMLEntities(converted);
    return converted;
}

Ref<NSMutableString> stringByConvertCharactersToXML(const Ref<NSString>& string)
{
    if (!string) return nullptr;
    auto converted = NSMutableString::stringWithString(string);
    NSMutableStringExt::XMLEntities(converted);
    return converted;
}

Ref<NSMutableString> stringByConvertXMLToChars(const Ref<NSString>& string)
{
    if (!string) return nullptr;
    auto converted = NSMutableString::stringWithString(string);
    NSMutableStringExt::XMLEntitiesToChars(converted);
    return converted;
}

Ref<NSString> stringByReplacNotFilenameConformCharacters(const Ref<NSString>& string)
{
    auto result = NSMutableString::stringWithString(string);
    for (const char* c : {"/", ":", "\\"})
        result->replaceOccurrencesOfString(NSString::stringWithUTF8String(c), "-"_ns, NSCaseInsensitiveSearch,
                                           NSMakeRange(0, result->length()));
    return result;
}

Ref<NSString> stringByRemovingCharactersInSet(const Ref<NSString>& string, const Ref<NSCharacterSet>& set,
                                              NSStringCompareOptions options)
{
    options &= ~NSBackwardsSearch;
    const NSUInteger length = string->length();
    StringChars chars(string);
    std::u16string kept;
    NSUInteger position = 0;
    while (position < length) {
        NSRange found = string->rangeOfCharacterFromSet(set, options, NSMakeRange(position, length - position));
        if (found.location == kNotFound) break;
        kept += chars.view().substr(position, found.location - position);
        position = NSMaxRange(found);
    }
    if (position < length) kept += chars.view().substr(position);
    return NSString::stringWithUTF16(std::move(kept));
}

Ref<NSString> stringByRemovingCharacter(const Ref<NSString>& string, unichar c)
{
    return stringByRemovingCharactersInSet(string, NSCharacterSet::characterSetWithRange(NSMakeRange(c, 1)));
}

Ref<NSString> stringByAppendingEllipsis(const Ref<NSString>& string)
{
    return string->stringByAppendingString(horizontalEllipsisString());
}

Ref<NSMutableString> stringByReplaceOccurrencesOfString(const Ref<NSString>& string, const Ref<NSString>& target,
                                                        const Ref<NSString>& replacement,
                                                        NSStringCompareOptions options, NSRange range)
{
    auto result = NSMutableString::stringWithString(string);
    result->replaceOccurrencesOfString(target, replacement, options, range);
    return result;
}

Ref<NSString> displayStringForRange(const Ref<NSString>& string, NSRange range, NSUInteger maxCharacters)
{
    const NSUInteger length = string->length();
    if (range.location == kNotFound || maxCharacters >= length) return string;
    NSUInteger start = range.location;
    const NSUInteger shown = std::min(range.length, maxCharacters);
    if (shown < maxCharacters) {
        const NSUInteger slack = maxCharacters - shown;
        start = slack >= range.location ? 0 : range.location - slack / 2;
    }
    // A window that runs past the end ends at the end.
    if (start > length - maxCharacters) start = length - maxCharacters;

    auto snippet = NSMutableString::stringWithString(string->substringWithRange(NSMakeRange(start, maxCharacters)));
    if (start > 0) snippet->insertString(horizontalEllipsisString(), 0);
    if (start + maxCharacters < length) snippet->appendString(horizontalEllipsisString());
    for (const char* lineBreak : {"\r", "\n"})
        snippet->replaceOccurrencesOfString(NSString::stringWithUTF8String(lineBreak), " "_ns, NSLiteralSearch,
                                            NSMakeRange(0, snippet->length()));
    snippet->replaceOccurrencesOfString("  "_ns, " "_ns, NSLiteralSearch, NSMakeRange(0, snippet->length()));
    return snippet;
}

Ref<NSMutableString> convertISBN10ToISBN13(const Ref<NSString>& string)
{
    std::u16string isbn = u"9780000000000";
    StringChars chars(string);
    if (chars.size() >= 10)
        for (size_t i = 0; i < 9; ++i) isbn[3 + i] = chars[i];
    int sum = 0;
    for (size_t i = 0; i < 12; ++i) sum += digitValue(isbn[i]) * (i % 2 ? 3 : 1);
    isbn[12] = static_cast<char16_t>(u'0' + (10 - sum % 10) % 10);
    return NSMutableString::stringWithString(NSString::stringWithUTF16(std::move(isbn)));
}

Ref<NSMutableString> convertISBN13ToISBN10(const Ref<NSString>& string)
{
    std::u16string isbn = u"0000000000";
    StringChars chars(string);
    if (chars.size() >= 13)
        for (size_t i = 0; i < 9; ++i) isbn[i] = chars[3 + i];
    int sum = 0;
    for (size_t i = 1; i <= 9; ++i) sum += digitValue(isbn[i - 1]) * static_cast<int>(i);
    const int check = sum % 11;
    isbn[9] = check == 10 ? u'X' : static_cast<char16_t>(u'0' + check);
    return NSMutableString::stringWithString(NSString::stringWithUTF16(std::move(isbn)));
}

Ref<NSArray> firstAndLastNameOfNameString(const Ref<NSString>& string)
{
    auto pair = [](const Ref<NSString>& first, const Ref<NSString>& last) {
        return NSArray::arrayWithObjects({first, last});
    };
    const NSUInteger length = string->length();
    if (length == 0) return pair(NSString::string(), NSString::string());

    NSRange separator = string->rangeOfString(","_ns);
    if (separator.location == kNotFound) separator = string->rangeOfString(";"_ns);
    if (separator.location != kNotFound)
        return pair(trimmed(string->substringFromIndex(NSMaxRange(separator))),
                    trimmed(string->substringToIndex(separator.location)));

    // "von" belongs to the last name.
    NSRange von = string->rangeOfString(" von "_ns, NSCaseInsensitiveSearch);
    if (von.location != kNotFound)
        return pair(trimmed(string->substringToIndex(von.location)), trimmed(string->substringFromIndex(von.location)));

    NSRange blank = string->rangeOfCharacterFromSet(NSCharacterSet::whitespaceCharacterSet(), NSBackwardsSearch);
    if (blank.location == kNotFound) return pair(NSString::string(), string);
    return pair(trimmed(string->substringToIndex(blank.location)),
                trimmed(string->substringFromIndex(NSMaxRange(blank))));
}

// --- Drawing ---

void setDrawingFunction(DrawingFunction function)
{
    std::lock_guard guard(drawingLock());
    drawingFunction() = std::move(function);
}

void drawWithFontAttributes(const Ref<NSString>& string, const Ref<NSDictionary>& attributes, NSInteger alignment,
                            bool verticallyCenter, const NSRect& rectangle)
{
    DrawingFunction draw;
    {
        std::lock_guard guard(drawingLock());
        draw = drawingFunction();
    }
    if (draw) draw(string, attributes, alignment, verticallyCenter, rectangle);
}

void drawWithFontAttributes(const Ref<NSString>& string, const Ref<NSDictionary>& attributes, NSInteger alignment,
                            const NSRect& rectangle)
{
    drawWithFontAttributes(string, attributes, alignment, false, rectangle);
}

void drawWithFont(const Ref<NSString>& string, const Id& font, const Id& color, NSInteger alignment,
                  bool verticallyCenter, const NSRect& rectangle)
{
    // The platform's NSFontAttributeName and NSForegroundColorAttributeName.
    auto attributes = NSMutableDictionary::dictionary();
    if (font) attributes->setObject(font, "NSFont"_ns);
    if (color) attributes->setObject(color, "NSColor"_ns);
    drawWithFontAttributes(string, attributes, alignment, verticallyCenter, rectangle);
}

void drawWithFont(const Ref<NSString>& string, const Id& font, const Id& color, NSInteger alignment,
                  const NSRect& rectangle)
{
    drawWithFont(string, font, color, alignment, false, rectangle);
}

}
