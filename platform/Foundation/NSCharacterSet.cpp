#include "Foundation/NSCharacterSet.h"

#include <unicode/uniset.h>
#include <unicode/utf16.h>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSCharacterSet)
NS_CLASS_DEFINE(NSMutableCharacterSet)

NSCharacterSet::NSCharacterSet()
    : m_set(std::make_unique<icu::UnicodeSet>())
{ }

NSCharacterSet::~NSCharacterSet() = default;

Ref<NSCharacterSet> NSCharacterSet::frozen(const char16_t* pattern)
{
    UErrorCode status = U_ZERO_ERROR;
    auto set = std::make_unique<icu::UnicodeSet>(icu::UnicodeString(pattern), status);
    if (U_FAILURE(status)) NSException::raise(NSInternalInconsistencyException, "bad character-set pattern");
    set->freeze();
    Ref<NSCharacterSet> result = alloc<NSCharacterSet>();
    result->m_set = std::move(set);
    return result;
}

// The standard sets live for the whole process, so callers may compare them
// by identity as on the platform.
#define STANDARD_SET(name, pattern)                                                                                    \
    Ref<NSCharacterSet> NSCharacterSet::name()                                                                         \
    {                                                                                                                  \
        static const Ref<NSCharacterSet> set = frozen(pattern);                                                        \
        return set;                                                                                                    \
    }

STANDARD_SET(whitespaceCharacterSet, u"[\\p{Zs}\\u0009]")
STANDARD_SET(newlineCharacterSet, u"[\\u000A-\\u000D\\u0085\\u2028\\u2029]")
STANDARD_SET(whitespaceAndNewlineCharacterSet, u"[\\p{Zs}\\u0009-\\u000D\\u0085\\u2028\\u2029]")
STANDARD_SET(decimalDigitCharacterSet, u"[\\p{Nd}]")
STANDARD_SET(punctuationCharacterSet, u"[\\p{P}]")
STANDARD_SET(letterCharacterSet, u"[\\p{L}\\p{M}]")
STANDARD_SET(alphanumericCharacterSet, u"[\\p{L}\\p{M}\\p{N}]")
STANDARD_SET(uppercaseLetterCharacterSet, u"[\\p{Lu}\\p{Lt}]")
STANDARD_SET(lowercaseLetterCharacterSet, u"[\\p{Ll}]")

#undef STANDARD_SET

namespace {
void addString(icu::UnicodeSet& set, const Ref<NSString>& text, bool remove)
{
    if (!text) return;
    StringChars chars(*text);
    for (size_t i = 0; i < chars.size();) {
        UChar32 c;
        U16_NEXT(chars.view().data(), i, chars.size(), c);
        if (remove) set.remove(c);
        else set.add(c);
    }
}

bool rangeBounds(NSRange range, UChar32& first, UChar32& last)
{
    if (range.length == 0 || range.location > 0x10FFFF) return false;
    first = static_cast<UChar32>(range.location);
    last = static_cast<UChar32>(std::min<NSUInteger>(0x10FFFF, range.location + range.length - 1));
    return true;
}
}

Ref<NSCharacterSet> NSCharacterSet::characterSetWithCharactersInString(const Ref<NSString>& text)
{
    Ref<NSCharacterSet> result = alloc<NSCharacterSet>();
    addString(*result->m_set, text, false);
    result->m_set->freeze();
    return result;
}

Ref<NSCharacterSet> NSCharacterSet::characterSetWithRange(NSRange range)
{
    Ref<NSCharacterSet> result = alloc<NSCharacterSet>();
    UChar32 first, last;
    if (rangeBounds(range, first, last)) result->m_set->add(first, last);
    result->m_set->freeze();
    return result;
}

bool NSCharacterSet::characterIsMember(unichar c) const { return m_set->contains(c); }

bool NSCharacterSet::longCharacterIsMember(UTF32Char c) const
{
    return c <= 0x10FFFF && m_set->contains(static_cast<UChar32>(c));
}

Ref<NSCharacterSet> NSCharacterSet::frozenCopy(const icu::UnicodeSet& set)
{
    Ref<NSCharacterSet> result = alloc<NSCharacterSet>();
    *result->m_set = set;
    result->m_set->freeze();
    return result;
}

Ref<NSCharacterSet> NSCharacterSet::invertedSet() const
{
    // A copy of a frozen set is frozen too; complement needs a thawed one.
    std::unique_ptr<icu::UnicodeSet> inverted(m_set->cloneAsThawed());
    inverted->complement();
    return frozenCopy(*inverted);
}

bool NSCharacterSet::isSupersetOfSet(const Ref<NSCharacterSet>& other) const
{
    return other && m_set->containsAll(*other->m_set);
}

bool NSCharacterSet::isEqual(const NSObject* other) const
{
    if (other == this) return true;
    auto* set = dynamic_cast<const NSCharacterSet*>(other);
    return set && *set->m_set == *m_set;
}

NSUInteger NSCharacterSet::hash() const { return static_cast<NSUInteger>(static_cast<uint32_t>(m_set->hashCode())); }

Id NSCharacterSet::copy() const { return const_cast<NSCharacterSet*>(this); }

Id NSCharacterSet::mutableCopy() const
{
    return NSMutableCharacterSet::characterSetWithSet(const_cast<NSCharacterSet*>(this));
}

// NSMutableCharacterSet

Ref<NSMutableCharacterSet> NSMutableCharacterSet::characterSet() { return alloc<NSMutableCharacterSet>(); }

Ref<NSMutableCharacterSet> NSMutableCharacterSet::characterSetWithSet(const Ref<NSCharacterSet>& other)
{
    Ref<NSMutableCharacterSet> result = alloc<NSMutableCharacterSet>();
    if (other) result->m_set.reset(other->unicodeSet().cloneAsThawed());
    return result;
}

void NSMutableCharacterSet::addCharactersInString(const Ref<NSString>& text) { addString(*m_set, text, false); }

void NSMutableCharacterSet::addCharactersInRange(NSRange range)
{
    UChar32 first, last;
    if (rangeBounds(range, first, last)) m_set->add(first, last);
}

void NSMutableCharacterSet::removeCharactersInString(const Ref<NSString>& text) { addString(*m_set, text, true); }

void NSMutableCharacterSet::removeCharactersInRange(NSRange range)
{
    UChar32 first, last;
    if (rangeBounds(range, first, last)) m_set->remove(first, last);
}

void NSMutableCharacterSet::formUnionWithCharacterSet(const Ref<NSCharacterSet>& other)
{
    if (other) m_set->addAll(other->unicodeSet());
}

void NSMutableCharacterSet::formIntersectionWithCharacterSet(const Ref<NSCharacterSet>& other)
{
    if (other) m_set->retainAll(other->unicodeSet());
    else m_set->clear();
}

void NSMutableCharacterSet::invert() { m_set->complement(); }

Id NSMutableCharacterSet::copy() const { return frozenCopy(*m_set); }
