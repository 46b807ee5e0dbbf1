#include "Foundation/NSDictionary.h"
#include "RegexLite/RegexLite.h"
#include "RegexTestSupport.h"

using namespace NSStringExt;

namespace {

constexpr NSUInteger kNotFound = static_cast<NSUInteger>(NSNotFound);

struct SplitCase {
    const char* subject;
    const char* regex;
    const char* pieces;  // joined with "|"
    size_t count;
};

// Arrays of matched texts for one pattern and subject.
struct ArrayCase {
    const char* what;
    std::function<Ref<NSArray>()> run;
    const char* expected;
    size_t count;
};

}  // namespace

TEST(RegexOperations, SplitPieces)
{
    const SplitCase cases[] = {
        {"a,b", ",", "a|b", 2},
        {",a", ",", "|a", 2},       // leading empty piece
        {"a,", ",", "a", 1},        // no trailing empty piece
        {"a,,b", ",", "a||b", 3},   // adjacent matches
        {"", ",", "", 0},           // empty subject: no piece
        {"abc", ",", "abc", 1},     // no match: the whole range
        {"abc", "x*", "a|b|c", 3},  // empty matches move on by one unit
        {"a\xF0\x9D\x84\x9E"
         "b",
         "\xF0\x9D\x84\x9E", "a|b", 2},
        {"\xF0\x9D\x84\x9E\xF0\x9D\x84\x9E", "x*", "\xF0\x9D\x84\x9E|\xF0\x9D\x84\x9E", 2},
    };
    for (const auto& c : cases) {
        Ref<NSArray> pieces = componentsSeparatedByRegex(ns(c.subject), ns(c.regex));
        ASSERT_TRUE(pieces) << c.subject;
        EXPECT_EQ(joined(pieces), c.pieces) << c.subject << " / " << c.regex;
        EXPECT_EQ(pieces->count(), c.count) << c.subject << " / " << c.regex;
    }
}

TEST(RegexOperations, MatchesAndCaptures)
{
    const Ref<NSString> text = ns("k1=v1, k2=, x");
    const ArrayCase cases[] = {
        {"all matches", [&] { return componentsMatchedByRegex(text, ns("\\w+=\\w*")); }, "k1=v1|k2=", 2},
        {"capture of every match", [&] { return componentsMatchedByRegex(text, ns("(\\w+)=(\\w*)"), 2); }, "v1|", 2},
        {"empty matches once each", [&] { return componentsMatchedByRegex(ns("ab"), ns("x*")); }, "||", 3},
        {"empty subject, empty match", [&] { return componentsMatchedByRegex(ns(""), ns("x*")); }, "", 1},
        {"first match only", [&] { return captureComponentsMatchedByRegex(text, ns("(\\w+)=(\\w*)")); }, "k1=v1|k1|v1",
         3},
        {"group that took no part", [&] { return captureComponentsMatchedByRegex(ns("b"), ns("(a)?(b)")); }, "b||b", 3},
        {"no match", [&] { return captureComponentsMatchedByRegex(ns("zzz"), ns("(a)")); }, "", 0},
        {"in a range", [&] { return componentsMatchedByRegex(ns("12 34 56"), ns("\\d+"), NSMakeRange(3, 5)); }, "34|56",
         2},
        {"split in a range", [&] { return componentsSeparatedByRegex(ns("a,b,c,d"), ns(","), NSMakeRange(2, 3)); },
         "b|c", 2},
        // An open length from a later location runs to the end of the subject.
        {"open length", [&] { return componentsSeparatedByRegex(ns("a,b,c"), ns(","), NSMakeRange(2, NSUIntegerMax)); },
         "b|c", 2},
    };
    for (const auto& c : cases) {
        Ref<NSArray> result = c.run();
        ASSERT_TRUE(result) << c.what;
        EXPECT_EQ(joined(result), c.expected) << c.what;
        EXPECT_EQ(result->count(), c.count) << c.what;
    }

    Ref<NSArray> perMatch = arrayOfCaptureComponentsMatchedByRegex(text, ns("(\\w+)=(\\w*)"));
    ASSERT_EQ(perMatch->count(), 2u);
    EXPECT_EQ(joined(static_ref_cast<NSArray>(perMatch->objectAtIndex(0))), "k1=v1|k1|v1");
    EXPECT_EQ(joined(static_ref_cast<NSArray>(perMatch->objectAtIndex(1))), "k2=|k2|");
    EXPECT_EQ(arrayOfCaptureComponentsMatchedByRegex(ns("none"), ns("(\\d)"))->count(), 0u);
}

TEST(RegexOperations, RangesCountUtf16UnitsAcrossSurrogatePairs)
{
    const Ref<NSString> text = ns("a\xF0\x9D\x84\x9E"
                                  "b");  // a, U+1D11E (two units), b
    EXPECT_EQ(rangeOfRegex(text, ns("b")), NSMakeRange(3, 1));
    EXPECT_EQ(rangeOfRegex(text, ns("\xF0\x9D\x84\x9E")), NSMakeRange(1, 2));
    EXPECT_EQ(rangeOfRegex(text, ns("(.)b"), 1), NSMakeRange(1, 2));
    EXPECT_EQ(rangeOfRegex(text, ns("."), NSMakeRange(3, 1)), NSMakeRange(3, 1));
    EXPECT_EQ(str(stringByMatching(text, ns("."), NSMakeRange(1, 3))), "\xF0\x9D\x84\x9E");
}

TEST(RegexOperations, EarlierSearchesDoNotHideAnEmptyMatchAtTheEnd)
{
    // The first search of every operation starts afresh, even when the
    // previous operation on the same subject ended on an empty match there.
    const Ref<NSString> empty = ns("");
    const Ref<NSString> ab = ns("ab");
    EXPECT_EQ(rangeOfRegex(empty, ns("x*")), NSMakeRange(0, 0));
    EXPECT_EQ(componentsMatchedByRegex(empty, ns("x*"))->count(), 1u);
    EXPECT_EQ(rangeOfRegex(ab, ns("x*"), NSMakeRange(2, 0)), NSMakeRange(2, 0));
    EXPECT_EQ(rangeOfRegex(ab, ns("x*"), NSMakeRange(2, 0)), NSMakeRange(2, 0));
    EXPECT_EQ(componentsMatchedByRegex(ab, ns("x*"), NSMakeRange(2, 0))->count(), 1u);
}

TEST(RegexOperations, FirstMatchRangeAndText)
{
    EXPECT_EQ(rangeOfRegex(ns("xaby"), ns("(a)(z)?b"), 2), (NSRange{kNotFound, 0}));
    EXPECT_EQ(rangeOfRegex(ns("xaby"), ns("(a)(z)?b"), 1), NSMakeRange(1, 1));
    EXPECT_EQ(rangeOfRegex(ns("xyz"), ns("q")), (NSRange{kNotFound, 0}));
    EXPECT_FALSE(stringByMatching(ns("xaby"), ns("(a)(z)?b"), 2));
    EXPECT_FALSE(stringByMatching(ns("xyz"), ns("q")));
    EXPECT_EQ(str(stringByMatching(ns("xaby"), ns("a(b)"), 1)), "b");
    EXPECT_TRUE(isMatchedByRegex(ns("xyz"), ns("y")));
    EXPECT_FALSE(isMatchedByRegex(ns("xyz"), ns("y"), NSMakeRange(2, 1)));
    // The range is the subject the pattern sees: anchors hold at its edges.
    EXPECT_TRUE(isMatchedByRegex(ns("xyz"), ns("^y$"), NSMakeRange(1, 1)));
}

TEST(RegexOperations, ReplacementTemplates)
{
    struct Case {
        const char* subject;
        const char* regex;
        const char* replacement;
        const char* expected;
    } cases[] = {
        {"a1b22", "(\\d+)", "<$1>", "a<1>b<22>"},
        {"a1b22", "(\\d+)", "\\$1", "a$1b$1"},
        {"x12y3", "(?<n>\\d+)", "<${n}>", "x<12>y<3>"},
        {"ab", "b", "$0$0", "abb"},
        {"aaa", "x", "y", "aaa"},
        {"abc", ".", "", ""},
        {"", "x*", "-", "-"},
        {"a\xF0\x9D\x84\x9E"
         "b",
         "\xF0\x9D\x84\x9E", "_", "a_b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(ns(c.subject), ns(c.regex), ns(c.replacement))), c.expected)
            << c.subject << " / " << c.regex << " / " << c.replacement;
}

TEST(RegexOperations, ReplacementGrowsPastItsFirstBuffer)
{
    std::string subject, expected;
    for (int i = 0; i < 500; ++i) subject += "w ", expected += "[[[[w]]]] ";
    EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(ns(subject.c_str()), ns("(\\w+)"), ns("[[[[$1]]]]"))), expected);
    // A group may reach beyond its match (a look-ahead): one short match
    // then writes far more than the text holds.
    const std::string bs(1000, 'b');
    EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(ns(("a" + bs).c_str()), ns("a(?=(b+))"), ns("$1$1$1"))),
              bs + bs + bs + bs);
    // "$0" copies the whole match, also in a pattern without groups.
    const std::string word(300, 'x');
    EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(ns(word.c_str()), ns("x+"), ns("<$0$0>"))),
              "<" + word + word + ">");
}

TEST(RegexOperations, ReplacementWithinARange)
{
    // Only the range's text comes back, replaced.
    EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(ns("1 2 3 4"), ns("\\d"), ns("#"), NSMakeRange(2, 3))), "# #");
    // In place, only the range changes.
    auto text = NSMutableString::stringWithString(ns("1 2 3 4"));
    EXPECT_EQ(NSMutableStringExt::replaceOccurrencesOfRegex(text, ns("\\d"), ns("#"), NSMakeRange(2, 3)), 2);
    EXPECT_EQ(str(text), "1 # # 4");
    EXPECT_EQ(NSMutableStringExt::replaceOccurrencesOfRegex(text, ns("\\d"), ns("#")), 2);
    EXPECT_EQ(str(text), "# # # #");
    const uint64_t before = text->mutationCount();
    EXPECT_EQ(NSMutableStringExt::replaceOccurrencesOfRegex(text, ns("\\d"), ns("#")), 0);
    EXPECT_EQ(text->mutationCount(), before);  // untouched without a match
}

TEST(RegexOperations, KeyedCaptures)
{
    const RXLKeyCapture keys[] = {{ns("key"), 1}, {ns("value"), 2}, {ns("sign"), 3}};
    const Ref<NSString> regex = ns("(\\w+)=(\\w*)(!)?");
    Ref<NSDictionary> first = dictionaryByMatchingRegex(ns("a=1, b=, c=3!"), regex, keys);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->count(), 2u);  // "sign" took no part: no entry
    EXPECT_EQ(str(static_ref_cast<NSString>(first->objectForKey(ns("key")))), "a");
    EXPECT_EQ(str(static_ref_cast<NSString>(first->objectForKey(ns("value")))), "1");

    Ref<NSArray> all = arrayOfDictionariesByMatchingRegex(ns("a=1, b=, c=3!"), regex, keys);
    ASSERT_EQ(all->count(), 3u);
    auto second = static_ref_cast<NSDictionary>(all->objectAtIndex(1));
    EXPECT_EQ(str(static_ref_cast<NSString>(second->objectForKey(ns("value")))), "");  // matched the empty string
    auto third = static_ref_cast<NSDictionary>(all->objectAtIndex(2));
    EXPECT_EQ(str(static_ref_cast<NSString>(third->objectForKey(ns("sign")))), "!");

    EXPECT_EQ(dictionaryByMatchingRegex(ns("none"), regex, keys)->count(), 0u);
    EXPECT_EQ(arrayOfDictionariesByMatchingRegex(ns("none"), regex, keys)->count(), 0u);

    // The same pairs in the first-key layout and as two arrays.
    const RXLCaptureThenKey rest[] = {{1, ns("value")}, {2, nullptr}, {3, ns("ignored")}};
    Ref<NSDictionary> viaArguments =
        dictionaryByMatchingRegex(ns("a=1"), regex, 0, RXLWholeRange, nullptr, ns("key"), rest);
    EXPECT_EQ(viaArguments->count(), 2u);
    EXPECT_EQ(str(static_ref_cast<NSString>(viaArguments->objectForKey(ns("value")))), "1");
    const Id keyArray[] = {ns("whole"), ns("value")};
    const int32_t captureArray[] = {0, 2};
    Ref<NSDictionary> viaArrays =
        dictionaryByMatchingRegex(ns("a=1"), regex, 0, RXLWholeRange, nullptr, keyArray, captureArray, 2);
    EXPECT_EQ(str(static_ref_cast<NSString>(viaArrays->objectForKey(ns("whole")))), "a=1");
}

TEST(RegexOperations, AtMost62KeyPairsAreRead)
{
    std::string pattern;
    for (int i = 0; i < 70; ++i) pattern += "(a)";
    std::string subject(70, 'a');
    std::vector<RXLKeyCapture> pairs;
    for (int i = 1; i <= 70; ++i) pairs.push_back({NSString::stringWithFormat("k%d", i), i});
    Ref<NSDictionary> result = dictionaryByMatchingRegex(ns(subject.c_str()), ns(pattern.c_str()), pairs);
    EXPECT_EQ(result->count(), 62u);
    EXPECT_FALSE(result->objectForKey(ns("k63")));
}
