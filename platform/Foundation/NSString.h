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

// One argument of a format. Objects print their description (%@), integers
// and floating-point values keep their kind so that a directive can be checked
// against the argument it consumes.
struct NSFormatArg {
    enum class Kind { Signed, Unsigned, Double, CString, Object };
    Kind kind;
    int64_t i = 0;
    uint64_t u = 0;
    double d = 0;
    const char* s = nullptr;
    Id object;

    template <class T, class = std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>>>
    NSFormatArg(T v) : kind(std::is_signed_v<T> || std::is_enum_v<T> ? Kind::Signed : Kind::Unsigned)
    {
        if constexpr (std::is_enum_v<T> || std::is_signed_v<T>) i = static_cast<int64_t>(v), u = static_cast<uint64_t>(v);
        else u = static_cast<uint64_t>(v), i = static_cast<int64_t>(v);
    }
    NSFormatArg(double v) : kind(Kind::Double), d(v) {}
    NSFormatArg(float v) : kind(Kind::Double), d(v) {}
    NSFormatArg(const char* v) : kind(Kind::CString), s(v) {}
    NSFormatArg(const std::string& v) : kind(Kind::CString), s(v.c_str()) {}
    NSFormatArg(std::nullptr_t) : kind(Kind::Object) {}
    NSFormatArg(const NSObject* v) : kind(Kind::Object), object(const_cast<NSObject*>(v)) {}
    template <class T>
    NSFormatArg(const Ref<T>& v) : kind(Kind::Object), object(v) {}
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

    // Formats with the platform's directives; a directive whose argument is
    // missing or of another kind raises NSInvalidArgumentException.
    static Ref<NSString> stringWithFormatArguments(const Ref<NSString>& format, std::span<const NSFormatArg> args);
    template <class... A>
    static Ref<NSString> stringWithFormat(const Ref<NSString>& format, const A&... args)
    {
        const NSFormatArg list[] = {NSFormatArg(args)..., NSFormatArg(nullptr)};
        return stringWithFormatArguments(format, std::span(list, sizeof...(A)));
    }
    template <class... A>
    static Ref<NSString> stringWithFormat(const char* format, const A&... args)
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
    // The whole text as UTF-16 and as UTF-8.
    const std::u16string& utf16() const { return m_chars; }
    std::string UTF8String() const;

    bool isEqual(const NSObject* other) const override;
    bool isEqualToString(const Ref<NSString>& other) const;
    NSUInteger hash() const override;
    Ref<NSString> description() const override { return const_cast<NSString*>(this); }
    Id copy() const override;
    Id mutableCopy() const override;

    // Numeric conversions by the platform's rules: leading white space is
    // skipped, then a sign and digits up to the first other character; 0 when
    // there are none ("300H" gives 300).
    int32_t intValue() const;
    NSInteger integerValue() const;
    long long longLongValue() const { return integerValue(); }
    float floatValue() const { return static_cast<float>(doubleValue()); }
    double doubleValue() const;
    // YES when, after white space, a sign and leading zeros, the text begins
    // with "Y", "y", "T", "t" or a digit 1-9.
    bool boolValue() const;

    Ref<NSString> substringWithRange(NSRange range) const;
    Ref<NSString> stringByAppendingString(const Ref<NSString>& other) const;

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

    void replaceCharactersInRange(NSRange range, const Ref<NSString>& text);
    void appendString(const Ref<NSString>& text);
    void insertString(const Ref<NSString>& text, NSUInteger index);
    void deleteCharactersInRange(NSRange range);
    void setString(const Ref<NSString>& text);

    // Counts every change, so a cached view of the text can tell it is stale
    // even when the length stayed the same.
    uint64_t mutationCount() const { return m_mutations; }
    NSUInteger hash() const override;
    Id copy() const override;

protected:
    void didMutate();
    uint64_t m_mutations = 0;
};

// "text"_ns makes an NSString from a UTF-8 literal.
Ref<NSString> operator""_ns(const char* utf8, size_t length);
Ref<NSString> operator""_ns(const char16_t* utf16, size_t length);

// UTF-8 <-> UTF-16 conversion. Answers false on invalid input.
bool NSConvertUTF8ToUTF16(std::string_view in, std::u16string& out);
std::string NSConvertUTF16ToUTF8(std::u16string_view in);
