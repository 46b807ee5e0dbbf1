#pragma once
// Sets of Unicode code points (not UTF-16 units), backed by ICU's UnicodeSet.
// The standard sets are shared instances; copy of an immutable set answers
// the receiver.
#include <memory>

#include <unicode/uversion.h>

#include "Foundation/NSString.h"

U_NAMESPACE_BEGIN
class UnicodeSet;
U_NAMESPACE_END

using UTF32Char = uint32_t;

class NSCharacterSet : public NSObject {
    NS_OBJECT(NSCharacterSet, NSObject)
protected:
    NSCharacterSet();

public:
    ~NSCharacterSet() override;

    // Zs and U+0009.
    static Ref<NSCharacterSet> whitespaceCharacterSet();
    // U+000A-U+000D, U+0085, U+2028, U+2029.
    static Ref<NSCharacterSet> newlineCharacterSet();
    static Ref<NSCharacterSet> whitespaceAndNewlineCharacterSet();
    static Ref<NSCharacterSet> decimalDigitCharacterSet();     // Nd
    static Ref<NSCharacterSet> punctuationCharacterSet();      // P*
    static Ref<NSCharacterSet> letterCharacterSet();           // L*, M*
    static Ref<NSCharacterSet> alphanumericCharacterSet();     // L*, M*, N*
    static Ref<NSCharacterSet> uppercaseLetterCharacterSet();  // Lu, Lt
    static Ref<NSCharacterSet> lowercaseLetterCharacterSet();  // Ll
    // Every code point of the string (a surrogate pair counts as one).
    static Ref<NSCharacterSet> characterSetWithCharactersInString(const Ref<NSString>& text);
    // Code points location ... location + length - 1.
    static Ref<NSCharacterSet> characterSetWithRange(NSRange range);

    bool characterIsMember(unichar c) const;
    bool longCharacterIsMember(UTF32Char c) const;
    Ref<NSCharacterSet> invertedSet() const;
    bool isSupersetOfSet(const Ref<NSCharacterSet>& other) const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Id copy() const override;
    Id mutableCopy() const override;

    const icu::UnicodeSet& unicodeSet() const { return *m_set; }

protected:
    static Ref<NSCharacterSet> frozen(const char16_t* pattern);
    // An immutable set holding a copy of the given code points.
    static Ref<NSCharacterSet> frozenCopy(const icu::UnicodeSet& set);
    std::unique_ptr<icu::UnicodeSet> m_set;
};

class NSMutableCharacterSet : public NSCharacterSet {
    NS_OBJECT(NSMutableCharacterSet, NSCharacterSet)
protected:
    NSMutableCharacterSet() = default;

public:
    static Ref<NSMutableCharacterSet> characterSet();
    static Ref<NSMutableCharacterSet> characterSetWithSet(const Ref<NSCharacterSet>& other);

    void addCharactersInString(const Ref<NSString>& text);
    void addCharactersInRange(NSRange range);
    void removeCharactersInString(const Ref<NSString>& text);
    void removeCharactersInRange(NSRange range);
    void formUnionWithCharacterSet(const Ref<NSCharacterSet>& other);
    void formIntersectionWithCharacterSet(const Ref<NSCharacterSet>& other);
    void invert();
    Id copy() const override;
};
