#include <gtest/gtest.h>

#include "Foundation/NSException.h"
#include "Foundation/NSLocale.h"
#include "Foundation/NSString.h"

namespace {

constexpr NSUInteger notFound = static_cast<NSUInteger>(NSNotFound);

std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }

// Pins the current locale to en_US for the test's lifetime.
class StringSearch : public testing::Test {
protected:
    void SetUp() override { NSLocale::setCurrentLocale(NSLocale::localeWithLocaleIdentifier("en_US"_ns)); }
    void TearDown() override { NSLocale::setCurrentLocale(nullptr); }
};

}

TEST_F(StringSearch, CaseMappingOnNonASCII)
{
    struct Case {
        Ref<NSString> result;
        const char* expected;
    };
    Ref<NSLocale> turkish = NSLocale::localeWithLocaleIdentifier("tr_TR"_ns);
    Ref<NSLocale> dutch = NSLocale::localeWithLocaleIdentifier("nl_NL"_ns);
    const Case cases[] = {
        {u"stra\u00DFe"_ns->uppercaseString(), "STRASSE"},
        {u"\u00C0\u00C9\u00CE \u00D8"_ns->lowercaseString(), "\u00E0\u00E9\u00EE \u00F8"},
        {u"\u039F\u0394\u039F\u03A3"_ns->lowercaseString(), "\u03BF\u03B4\u03BF\u03C2"},  // final sigma
        {"istanbul"_ns->uppercaseString(), "ISTANBUL"},
        {"istanbul"_ns->uppercaseStringWithLocale(turkish), "\u0130STANBUL"},
        {"I"_ns->lowercaseStringWithLocale(turkish), "\u0131"},
        {u"hello wORLD\tfoo\nBAR"_ns->capitalizedString(), "Hello World\tFoo\nBar"},
        {"3d model"_ns->capitalizedString(), "3d Model"},
        {"hello-world"_ns->capitalizedString(), "Hello-world"},
        {u"\u01C6emal"_ns->capitalizedString(), "\u01C5emal"},
        {u"\u00E9t\u00E9 \u00E0 paris"_ns->capitalizedString(), "\u00C9t\u00E9 \u00C0 Paris"},
        {"ijsland"_ns->capitalizedStringWithLocale(dutch), "IJsland"},
        {"ijsland"_ns->capitalizedString(), "Ijsland"},
    };
    for (const Case& c : cases) EXPECT_EQ(utf8(c.result), c.expected);
}

TEST_F(StringSearch, SearchOptionsAndRanges)
{
    struct Case {
        Ref<NSString> text;
        Ref<NSString> target;
        NSStringCompareOptions options;
        NSRange range;  // {0, 0} means the whole text
        NSRange expected;
    };
    const NSRange whole{0, 0};
    const NSRange none{notFound, 0};
    const Case cases[] = {
        {"Hello world"_ns, "o"_ns, 0, whole, {4, 1}},
        {"Hello world"_ns, "o"_ns, NSBackwardsSearch, whole, {7, 1}},
        {"Hello world"_ns, "O"_ns, 0, whole, none},
        {"Hello world"_ns, "WORLD"_ns, NSCaseInsensitiveSearch, whole, {6, 5}},
        {"Hello world"_ns, "hello"_ns, NSCaseInsensitiveSearch | NSAnchoredSearch, whole, {0, 5}},
        {"Hello world"_ns, "world"_ns, NSAnchoredSearch, whole, none},
        {"Hello world"_ns, "world"_ns, NSAnchoredSearch | NSBackwardsSearch, whole, {6, 5}},
        {"Hello world"_ns, "Hello"_ns, NSAnchoredSearch | NSBackwardsSearch, whole, none},
        {"Hello world"_ns, "o"_ns, 0, {5, 6}, {7, 1}},
        {"Hello world"_ns, "o"_ns, NSBackwardsSearch, {0, 6}, {4, 1}},
        {"Hello world"_ns, "world"_ns, 0, {0, 10}, none},
        {"Hello world"_ns, ""_ns, 0, whole, none},
        {"aaa"_ns, "aa"_ns, NSBackwardsSearch, whole, {1, 2}},
        {u"Gr\u00FC\u00DFe aus K\u00D6LN"_ns, u"k\u00F6ln"_ns, NSCaseInsensitiveSearch, whole, {10, 4}},
        {u"Gr\u00FC\u00DFe aus K\u00D6LN"_ns, u"GR\u00DC\u00DFE"_ns, NSCaseInsensitiveSearch, whole, {0, 5}},
        // Sharp s folds to "ss": it matches "SS" as a whole but never half.
        {u"Die Stra\u00DFe"_ns, "STRASSE"_ns, NSCaseInsensitiveSearch, whole, {4, 6}},
        {u"stra\u00DFe"_ns, "ss"_ns, NSCaseInsensitiveSearch, whole, {4, 1}},
        {u"\u00DFs"_ns, "s"_ns, NSCaseInsensitiveSearch, whole, {1, 1}},
        {u"\u00DFs"_ns, "s"_ns, NSCaseInsensitiveSearch | NSBackwardsSearch, whole, {1, 1}},
        {u"\u00DF"_ns, "s"_ns, NSCaseInsensitiveSearch | NSBackwardsSearch, whole, none},
        // Canonically equivalent forms find each other unless the search is literal.
        {u"caf\u00E9 au lait"_ns, u"e\u0301"_ns, 0, whole, {3, 1}},
        {u"cafe\u0301"_ns, u"\u00E9"_ns, 0, whole, {3, 2}},
        {u"cafe\u0301"_ns, u"\u00C9"_ns, NSCaseInsensitiveSearch, whole, {3, 2}},
        {u"caf\u00E9"_ns, u"e\u0301"_ns, NSLiteralSearch, whole, none},
        {u"caf\u00E9"_ns, "e"_ns, 0, whole, none},                   // never half a composed letter
        {u"\uAC00\uB098"_ns, u"\u1100\u1161"_ns, 0, whole, {0, 1}},  // Hangul syllable and its jamo
        {u"\u03A3\u039F\u03A6\u0399\u0391"_ns, u"\u03C3\u03BF\u03C6"_ns, NSCaseInsensitiveSearch, whole, {0, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.text) + " / " + utf8(c.target) + " / " + std::to_string(c.options));
        NSRange range = c.range == whole ? NSMakeRange(0, c.text->length()) : c.range;
        EXPECT_EQ(c.text->rangeOfString(c.target, c.options, range), c.expected);
    }
    EXPECT_TRUE("Hello"_ns->hasPrefix("He"_ns));
    EXPECT_FALSE("Hello"_ns->hasPrefix("he"_ns));
    EXPECT_TRUE("Hello"_ns->hasSuffix("llo"_ns));
    EXPECT_TRUE("Hello"_ns->hasPrefix(""_ns));
    EXPECT_TRUE("objectAtIndex:"_ns->containsString("At"_ns));
    EXPECT_FALSE("objectAtIndex:"_ns->containsString(""_ns));
}

TEST_F(StringSearch, Comparison)
{
    struct Case {
        Ref<NSString> a;
        Ref<NSString> b;
        NSStringCompareOptions options;
        NSComparisonResult expected;
    };
    const Case cases[] = {
        {"a"_ns, "b"_ns, 0, NSOrderedAscending},
        {"b"_ns, "a"_ns, 0, NSOrderedDescending},
        {"abc"_ns, "abc"_ns, 0, NSOrderedSame},
        {"ab"_ns, "abc"_ns, 0, NSOrderedAscending},
        {"B"_ns, "a"_ns, 0, NSOrderedAscending},
        {"B"_ns, "a"_ns, NSCaseInsensitiveSearch, NSOrderedDescending},
        {"abc"_ns, "ABC"_ns, NSCaseInsensitiveSearch, NSOrderedSame},
        {u"\u00C4PFEL"_ns, u"\u00E4pfel"_ns, NSCaseInsensitiveSearch, NSOrderedSame},
        {"file9"_ns, "file10"_ns, 0, NSOrderedDescending},
        {"file9"_ns, "file10"_ns, NSNumericSearch, NSOrderedAscending},
        {"file010"_ns, "file9"_ns, NSNumericSearch, NSOrderedDescending},
        {"v2.10"_ns, "v2.9"_ns, NSNumericSearch, NSOrderedDescending},
        {u"\u00E9"_ns, u"e\u0301"_ns, 0, NSOrderedSame},  // canonically equivalent
        {u"\u00E9"_ns, u"e\u0301"_ns, NSLiteralSearch, NSOrderedDescending},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.a) + " vs " + utf8(c.b));
        EXPECT_EQ(c.a->compare(c.b, c.options), c.expected);
    }
    EXPECT_EQ("xHelloy"_ns->compare("hello"_ns, NSCaseInsensitiveSearch, NSMakeRange(1, 5)), NSOrderedSame);
    EXPECT_EQ(u"\u00C9T\u00C9"_ns->caseInsensitiveCompare(u"\u00E9t\u00E9"_ns), NSOrderedSame);
    EXPECT_EQ("a"_ns->compare(nullptr), NSOrderedDescending);
}

TEST_F(StringSearch, LocalizedComparisonCollates)
{
    // Collation puts "apple" before "Banana" where code units do not.
    EXPECT_EQ("apple"_ns->compare("Banana"_ns), NSOrderedDescending);
    EXPECT_EQ("apple"_ns->localizedCaseInsensitiveCompare("Banana"_ns), NSOrderedAscending);
    EXPECT_EQ("Apple"_ns->localizedCaseInsensitiveCompare("apple"_ns), NSOrderedSame);
    // Accents still count at secondary strength.
    EXPECT_EQ(u"r\u00E9sum\u00E9"_ns->localizedCaseInsensitiveCompare("RESUME"_ns), NSOrderedDescending);
    EXPECT_EQ(u"\u00C9clair"_ns->localizedCaseInsensitiveCompare("eclairs"_ns), NSOrderedAscending);
    EXPECT_NE("Apple"_ns->localizedCompare("apple"_ns), NSOrderedSame);
    EXPECT_EQ("a"_ns->localizedCompare("B"_ns), NSOrderedAscending);
}

TEST_F(StringSearch, ReplacingOccurrences)
{
    Ref<NSMutableString> m = NSMutableString::stringWithString("Ab ab AB"_ns);
    EXPECT_EQ(m->replaceOccurrencesOfString("ab"_ns, "x"_ns, NSLiteralSearch, NSMakeRange(0, m->length())), 1u);
    EXPECT_EQ(utf8(m), "Ab x AB");
    m->setString("Ab ab AB"_ns);
    EXPECT_EQ(m->replaceOccurrencesOfString("ab"_ns, "xyz"_ns, NSCaseInsensitiveSearch, NSMakeRange(0, m->length())),
              3u);
    EXPECT_EQ(utf8(m), "xyz xyz xyz");
    m->setString("aaaa"_ns);
    EXPECT_EQ(m->replaceOccurrencesOfString("aa"_ns, "b"_ns, 0, NSMakeRange(1, 3)), 1u);
    EXPECT_EQ(utf8(m), "aba");
    m->setString("aaaa"_ns);
    EXPECT_EQ(m->replaceOccurrencesOfString("a"_ns, "b"_ns, NSAnchoredSearch, NSMakeRange(0, 4)), 1u);
    EXPECT_EQ(m->replaceOccurrencesOfString(
                  "A"_ns, "c"_ns, NSAnchoredSearch | NSBackwardsSearch | NSCaseInsensitiveSearch, NSMakeRange(0, 4)),
              1u);
    EXPECT_EQ(utf8(m), "baac");
    EXPECT_EQ(m->replaceOccurrencesOfString("a"_ns, "xy"_ns, NSBackwardsSearch, NSMakeRange(0, 4)), 2u);
    EXPECT_EQ(utf8(m), "bxyxyc");
    uint64_t count = m->mutationCount();
    EXPECT_EQ(m->replaceOccurrencesOfString("z"_ns, "y"_ns, 0, NSMakeRange(0, m->length())), 0u);
    EXPECT_EQ(m->mutationCount(), count);
    EXPECT_THROW(m->replaceOccurrencesOfString("a"_ns, "b"_ns, 0, NSMakeRange(2, 5)), NSException);

    EXPECT_EQ(utf8(u"na\u00EFve na\u00CFVE"_ns->stringByReplacingOccurrencesOfString(
                  u"NA\u00CFVE"_ns, "x"_ns, NSCaseInsensitiveSearch, NSMakeRange(0, 11))),
              "x x");
    EXPECT_EQ(utf8("a.b.c"_ns->stringByReplacingOccurrencesOfString("."_ns, "::"_ns)), "a::b::c");
    Ref<NSString> same = "abc"_ns;
    EXPECT_EQ(same->stringByReplacingOccurrencesOfString("z"_ns, "y"_ns).get(), same.get());
}

TEST_F(StringSearch, ComposedSequencesKeepCRAndLFApart)
{
    // e + combining acute, CR, LF, thumbs up + skin tone, x, a flag.
    Ref<NSString> s = u"e\u0301\r\n\U0001F44D\U0001F3FDx\U0001F1EB\U0001F1F7"_ns;
    struct Case {
        NSUInteger index;
        NSRange expected;
    };
    const Case cases[] = {{0, {0, 2}}, {1, {0, 2}}, {2, {2, 1}}, {3, {3, 1}}, {4, {4, 4}},
                          {7, {4, 4}}, {8, {8, 1}}, {9, {9, 4}}, {12, {9, 4}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(s->rangeOfComposedCharacterSequenceAtIndex(c.index), c.expected);
    }
    EXPECT_EQ(s->rangeOfComposedCharacterSequencesForRange(NSMakeRange(1, 4)), NSMakeRange(0, 8));
    EXPECT_EQ("a\r\nb"_ns->rangeOfComposedCharacterSequenceAtIndex(1), NSMakeRange(1, 1));
    EXPECT_EQ("a\r\nb"_ns->rangeOfComposedCharacterSequenceAtIndex(2), NSMakeRange(2, 1));
    EXPECT_THROW(s->rangeOfComposedCharacterSequenceAtIndex(13), NSException);
}
