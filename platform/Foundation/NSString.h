#pragma once
// UTF-16 strings. Lengths and ranges count UTF-16 code units. Every ordinary
// string keeps its text in one contiguous buffer that callers may read
// directly; copy of an immutable string answers the receiver.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/NSObject.h"

class NSString;
class NSArray;
class NSCharacterSet;
class NSData;
class NSLocale;

using NSStringCompareOptions = NSUInteger;
inline constexpr NSStringCompareOptions NSCaseInsensitiveSearch = 1;
inline constexpr NSStringCompareOptions NSLiteralSearch = 2;
inline constexpr NSStringCompareOptions NSBackwardsSearch = 4;
inline constexpr NSStringCompareOptions NSAnchoredSearch = 8;
inline constexpr NSStringCompareOptions NSNumericSearch = 64;

// Encodings keep the platform's numbers, which callers store and compare.
// An encoding without a constant of its own is 0x80000000 plus its Core
// Foundation number (GB 18030 is 0x80000632, Big 5 0x80000A03).
using NSStringEncoding = NSUInteger;
inline constexpr NSStringEncoding NSASCIIStringEncoding = 1;
inline constexpr NSStringEncoding NSNEXTSTEPStringEncoding = 2;
inline constexpr NSStringEncoding NSJapaneseEUCStringEncoding = 3;
inline constexpr NSStringEncoding NSUTF8StringEncoding = 4;
inline constexpr NSStringEncoding NSISOLatin1StringEncoding = 5;
inline constexpr NSStringEncoding NSSymbolStringEncoding = 6;
inline constexpr NSStringEncoding NSNonLossyASCIIStringEncoding = 7;
inline constexpr NSStringEncoding NSShiftJISStringEncoding = 8;
inline constexpr NSStringEncoding NSISOLatin2StringEncoding = 9;
inline constexpr NSStringEncoding NSWindowsCP1251StringEncoding = 11;
inline constexpr NSStringEncoding NSWindowsCP1252StringEncoding = 12;
inline constexpr NSStringEncoding NSWindowsCP1253StringEncoding = 13;
inline constexpr NSStringEncoding NSWindowsCP1254StringEncoding = 14;
inline constexpr NSStringEncoding NSWindowsCP1250StringEncoding = 15;
inline constexpr NSStringEncoding NSISO2022JPStringEncoding = 21;
inline constexpr NSStringEncoding NSUnicodeStringEncoding = 10;
inline constexpr NSStringEncoding NSUTF16StringEncoding = NSUnicodeStringEncoding;
inline constexpr NSStringEncoding NSMacOSRomanStringEncoding = 30;
inline constexpr NSStringEncoding NSUTF16BigEndianStringEncoding = 0x90000100;
inline constexpr NSStringEncoding NSUTF16LittleEndianStringEncoding = 0x94000100;
inline constexpr NSStringEncoding NSUTF32StringEncoding = 0x8C000100;
inline constexpr NSStringEncoding NSUTF32BigEndianStringEncoding = 0x98000100;
inline constexpr NSStringEncoding NSUTF32LittleEndianStringEncoding = 0x9C000100;

// One argument of a format. Objects print their description (%@), integers
// and floating-point values keep their kind so that a directive can be checked
// against the argument it consumes.
struct FormatArg {
    enum class Kind { Signed, Unsigned, Double, CString, UTF16String, Object };
    Kind kind;
    int64_t i = 0;
    uint64_t u = 0;
    double d = 0;
    const char* s = nullptr;
    const char16_t* s16 = nullptr;
    Id object;

    template <class T, class = std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>>>
    FormatArg(T v)
        : kind(std::is_signed_v<T> || std::is_enum_v<T> ? Kind::Signed : Kind::Unsigned)
    {
        if constexpr (std::is_enum_v<T> || std::is_signed_v<T>)
            i = static_cast<int64_t>(v), u = static_cast<uint64_t>(v);
        else u = static_cast<uint64_t>(v), i = static_cast<int64_t>(v);
    }
    FormatArg(double v)
        : kind(Kind::Double)
        , d(v)
    { }
    FormatArg(float v)
        : kind(Kind::Double)
        , d(v)
    { }
    FormatArg(const char* v)
        : kind(Kind::CString)
        , s(v)
    { }
    FormatArg(const std::string& v)
        : kind(Kind::CString)
        , s(v.c_str())
    { }
    // %S: a zero-terminated UTF-16 string.
    FormatArg(const char16_t* v)
        : kind(Kind::UTF16String)
        , s16(v)
    { }
    FormatArg(std::nullptr_t)
        : kind(Kind::Object)
    { }
    FormatArg(const NSObject* v)
        : kind(Kind::Object)
        , object(const_cast<NSObject*>(v))
    { }
    template <class T>
    FormatArg(const Ref<T>& v)
        : kind(Kind::Object)
        , object(v)
    { }
};

class NSString : public NSObject {
    NS_OBJECT(NSString, NSObject)
public:
    NSString() = default;

    static Ref<NSString> string();
    static Ref<NSString> stringWithCharacters(const unichar* chars, NSUInteger length);
    static Ref<NSString> stringWithUTF16(std::u16string text);
    // nil when the bytes are not valid UTF-8.
    static Ref<NSString> stringWithUTF8String(std::string_view utf8);
    static Ref<NSString> stringWithString(const Ref<NSString>& other);
    // initWithData:encoding: / initWithBytes:length:encoding:. nil when the
    // bytes are invalid or incomplete in the encoding, or the encoding is not
    // supported. NSUnicodeStringEncoding and NSUTF32StringEncoding read a
    // byte-order mark (dropped) and default to big-endian without one.
    static Ref<NSString> stringWithData(const Ref<NSData>& data, NSStringEncoding encoding);
    static Ref<NSString> stringWithBytes(const void* bytes, NSUInteger length, NSStringEncoding encoding);

    // Formats with the platform's directives; a directive whose argument is
    // missing or of another kind raises NSInvalidArgumentException.
    static Ref<NSString> stringWithFormatArguments(const Ref<NSString>& format, std::span<const FormatArg> args);
    template <class... A> static Ref<NSString> stringWithFormat(const Ref<NSString>& format, const A&... args)
    {
        const FormatArg list[] = {FormatArg(args)..., FormatArg(nullptr)};
        return stringWithFormatArguments(format, std::span(list, sizeof...(A)));
    }
    template <class... A> static Ref<NSString> stringWithFormat(const char* format, const A&... args)
    {
        return stringWithFormat(stringWithUTF8String(format), args...);
    }

    // Character access.
    virtual NSUInteger length() const { return m_chars.size(); }
    virtual unichar characterAtIndex(NSUInteger index) const;
    virtual void getCharacters(unichar* buffer, NSRange range) const;
    // The contiguous UTF-16 buffer, or null for a string without one. A
    // mutable string's buffer may move when it changes.
    virtual const unichar* characters() const { return m_chars.data(); }
    // The whole text as UTF-16 (strings with a contiguous buffer) and as UTF-8.
    const std::u16string& utf16() const { return m_chars; }
    std::string UTF8String() const;

    bool isEqual(const NSObject* other) const override;
    bool isEqualToString(const Ref<NSString>& other) const;
    NSUInteger hash() const override;
    Ref<NSString> description() const override { return const_cast<NSString*>(this); }
    Id copy() const override;
    Id mutableCopy() const override;

    // Numeric conversions by the platform's rules, independent of the C
    // locale: leading white space is skipped, then a sign and digits up to the
    // first other character; 0 when there are none ("300H" gives 300).
    // Floating-point forms also take a fraction and an exponent; "nan" and
    // "inf" are not numbers.
    int32_t intValue() const;
    NSInteger integerValue() const;
    long long longLongValue() const { return integerValue(); }
    float floatValue() const { return static_cast<float>(doubleValue()); }
    double doubleValue() const;
    // YES when, after white space, a sign and leading zeros, the text begins
    // with "Y", "y", "T", "t" or a digit 1-9.
    bool boolValue() const;

    // Substrings. Ranges outside the string raise NSRangeException.
    Ref<NSString> substringWithRange(NSRange range) const;
    Ref<NSString> substringToIndex(NSUInteger index) const;
    Ref<NSString> substringFromIndex(NSUInteger index) const;
    Ref<NSString> stringByAppendingString(const Ref<NSString>& other) const;
    // stringByPaddingToLength:withString:startingAtIndex:
    Ref<NSString> stringByPaddingToLength(NSUInteger newLength, const Ref<NSString>& pad, NSUInteger padIndex) const;

    // Search. Without a range the whole string is searched; {NSNotFound, 0}
    // when there is no match (or the searched text is empty). Unless the
    // search is literal, canonically equivalent forms match ("e" + U+0301
    // finds U+00E9); case-insensitive search uses full case folding ("SS"
    // finds U+00DF). A match never splits a character.
    NSRange rangeOfString(const Ref<NSString>& text, NSStringCompareOptions options = 0) const;
    NSRange rangeOfString(const Ref<NSString>& text, NSStringCompareOptions options, NSRange range) const;
    NSRange rangeOfCharacterFromSet(const Ref<NSCharacterSet>& set, NSStringCompareOptions options = 0) const;
    NSRange rangeOfCharacterFromSet(const Ref<NSCharacterSet>& set, NSStringCompareOptions options,
                                    NSRange range) const;
    bool hasPrefix(const Ref<NSString>& prefix) const;
    bool hasSuffix(const Ref<NSString>& suffix) const;
    bool containsString(const Ref<NSString>& text) const;

    // Comparison in UTF-16 order, after canonical decomposition unless
    // literal; NSNumericSearch compares runs of digits by value. A nil
    // argument sorts first.
    NSComparisonResult compare(const Ref<NSString>& other, NSStringCompareOptions options = 0) const;
    NSComparisonResult compare(const Ref<NSString>& other, NSStringCompareOptions options, NSRange range) const;
    NSComparisonResult caseInsensitiveCompare(const Ref<NSString>& other) const;
    // Collation in the current locale (ICU); the case-insensitive form ignores
    // case differences but not accents.
    NSComparisonResult localizedCompare(const Ref<NSString>& other) const;
    NSComparisonResult localizedCaseInsensitiveCompare(const Ref<NSString>& other) const;

    // Case. The plain forms use the language-neutral mappings, as the
    // platform's do; the locale forms apply the locale's rules (Turkish i,
    // Dutch ij). A nil locale is language-neutral.
    Ref<NSString> lowercaseString() const;
    Ref<NSString> uppercaseString() const;
    // First character of every word (runs between white space) in title case,
    // the rest in lower case.
    Ref<NSString> capitalizedString() const;
    Ref<NSString> lowercaseStringWithLocale(const Ref<NSLocale>& locale) const;
    Ref<NSString> uppercaseStringWithLocale(const Ref<NSLocale>& locale) const;
    Ref<NSString> capitalizedStringWithLocale(const Ref<NSLocale>& locale) const;

    // Splitting, trimming and replacing.
    Ref<NSArray> componentsSeparatedByString(const Ref<NSString>& separator) const;
    Ref<NSArray> componentsSeparatedByCharactersInSet(const Ref<NSCharacterSet>& set) const;
    Ref<NSString> stringByTrimmingCharactersInSet(const Ref<NSCharacterSet>& set) const;
    Ref<NSString> stringByReplacingOccurrencesOfString(const Ref<NSString>& target,
                                                       const Ref<NSString>& replacement) const;
    Ref<NSString> stringByReplacingOccurrencesOfString(const Ref<NSString>& target, const Ref<NSString>& replacement,
                                                       NSStringCompareOptions options, NSRange range) const;

    // Composed character sequences (grapheme clusters); CR and LF always stay
    // two separate sequences.
    NSRange rangeOfComposedCharacterSequenceAtIndex(NSUInteger index) const;
    NSRange rangeOfComposedCharacterSequencesForRange(NSRange range) const;

    // Lines end at LF, CR, CR LF, U+0085, U+2028 or U+2029; paragraphs at the
    // same except U+2028. Output pointers may be null.
    void getLineStart(NSUInteger* start, NSUInteger* end, NSUInteger* contentsEnd, NSRange range) const;
    void getParagraphStart(NSUInteger* start, NSUInteger* end, NSUInteger* contentsEnd, NSRange range) const;
    NSRange lineRangeForRange(NSRange range) const;
    NSRange paragraphRangeForRange(NSRange range) const;

    // Encodings. nil when a character cannot be represented (unless lossy,
    // which substitutes "?"). NSUnicodeStringEncoding and NSUTF32StringEncoding
    // write a byte-order mark and host byte order.
    Ref<NSData> dataUsingEncoding(NSStringEncoding encoding, bool allowLossyConversion = false) const;
    bool canBeConvertedToEncoding(NSStringEncoding encoding) const;
    // Every encoding the strings convert to and from, in a fixed order.
    static std::span<const NSStringEncoding> availableStringEncodings();
    // The encoding of C strings when nothing else is said: Mac Roman.
    static NSStringEncoding defaultCStringEncoding();
    // The name menus show for the encoding ("Unicode (UTF-8)", "Western (Mac
    // OS Roman)"), in English; "" for an encoding nobody knows.
    static Ref<NSString> localizedNameOfStringEncoding(NSStringEncoding encoding);

    // Paths ("/" separated; "~" is the home folder).
    Ref<NSArray> pathComponents() const;
    Ref<NSString> lastPathComponent() const;
    Ref<NSString> pathExtension() const;
    Ref<NSString> stringByDeletingLastPathComponent() const;
    Ref<NSString> stringByDeletingPathExtension() const;
    Ref<NSString> stringByAppendingPathComponent(const Ref<NSString>& component) const;
    Ref<NSString> stringByAppendingPathExtension(const Ref<NSString>& extension) const;
    Ref<NSString> stringByExpandingTildeInPath() const;
    Ref<NSString> stringByStandardizingPath() const;
    bool isAbsolutePath() const;

    // Percent escapes over UTF-8. Decoding answers nil when an escape is
    // malformed or the bytes are not valid in the encoding.
    Ref<NSString> stringByRemovingPercentEncoding() const;
    Ref<NSString> stringByReplacingPercentEscapesUsingEncoding(NSStringEncoding encoding) const;
    // Escapes every byte outside the URL's unreserved and reserved characters
    // ("%", space and non-ASCII are escaped, "/" and "?" are not).
    Ref<NSString> stringByAddingPercentEscapesUsingEncoding(NSStringEncoding encoding) const;
    Ref<NSString> stringByAddingPercentEncodingWithAllowedCharacters(const Ref<NSCharacterSet>& allowed) const;

protected:
    // Raises NSRangeException unless the range lies inside the string.
    void checkRange(NSRange range, const char* method) const;
    std::u16string m_chars;
    mutable std::atomic<NSUInteger> m_hash{0};
};

class NSMutableString : public NSString {
    NS_OBJECT(NSMutableString, NSString)
public:
    static Ref<NSMutableString> string();
    static Ref<NSMutableString> stringWithString(const Ref<NSString>& other);

    // Every change goes through replaceCharactersInRange or bumps the count.
    void replaceCharactersInRange(NSRange range, const Ref<NSString>& text);
    void appendString(const Ref<NSString>& text);
    void insertString(const Ref<NSString>& text, NSUInteger index);
    void deleteCharactersInRange(NSRange range);
    void setString(const Ref<NSString>& text);
    template <class... A> void appendFormat(const Ref<NSString>& format, const A&... args)
    {
        appendString(stringWithFormat(format, args...));
    }
    template <class... A> void appendFormat(const char* format, const A&... args)
    {
        appendString(stringWithFormat(format, args...));
    }
    // Literal or case-insensitive (NSBackwardsSearch and NSAnchoredSearch
    // too); answers how many occurrences were replaced.
    NSUInteger replaceOccurrencesOfString(const Ref<NSString>& target, const Ref<NSString>& replacement,
                                          NSStringCompareOptions options, NSRange range);

    // Counts every change, so a cached view of the text can tell it is stale
    // even when the length stayed the same.
    uint64_t mutationCount() const { return m_mutations; }
    NSUInteger hash() const override;
    Id copy() const override;

protected:
    void didMutate();
    uint64_t m_mutations = 0;
};

// The text of any string as a view: the buffer itself when the string has
// one, else a copy read through getCharacters. Valid while the string is
// unchanged and this object lives.
class StringChars {
public:
    explicit StringChars(const NSString& s);
    explicit StringChars(const Ref<NSString>& s)
        : StringChars(*s)
    { }
    std::u16string_view view() const { return m_view; }
    size_t size() const { return m_view.size(); }
    char16_t operator[](size_t i) const { return m_view[i]; }

private:
    std::u16string m_copy;
    std::u16string_view m_view;
};

// "text"_ns makes an NSString from a UTF-8 literal.
Ref<NSString> operator""_ns(const char* utf8, size_t length);
Ref<NSString> operator""_ns(const char16_t* utf16, size_t length);

// A decimal number in ASCII (optional sign, digits, fraction, exponent) read
// the same whatever the C locale is; out of range gives infinity or zero,
// anything unreadable 0. The numeric conversions and NSScanner share it.
double ParseDecimal(const std::string& ascii);

// UTF-8 <-> UTF-16 conversion. Answers false on invalid input.
bool ConvertUTF8ToUTF16(std::string_view in, std::u16string& out);
// Never fails: each ill-formed part of the input becomes U+FFFD (file names,
// environment values).
std::u16string ConvertUTF8ToUTF16Replacing(std::string_view in);
std::string ConvertUTF16ToUTF8(std::u16string_view in);
