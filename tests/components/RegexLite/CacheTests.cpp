#include "Foundation/NonContiguousString.h"
#include "RegexLite/RXLCacheTesting.h"
#include "RegexLite/RegexLite.h"
#include "RegexTestSupport.h"

using namespace NSStringExt;
namespace T = RXLCacheTesting;

namespace {

class RegexCache : public testing::Test {
protected:
    void SetUp() override { clearStringCache(); }
    void TearDown() override { clearStringCache(); }
};

// `count` distinct patterns that fall into one set.
std::vector<Ref<NSString>> patternsOfOneSet(size_t count)
{
    std::vector<Ref<NSString>> found;
    unsigned set = T::setOf(ns("p0"));
    for (int i = 0; found.size() < count; ++i) {
        auto p = NSString::stringWithFormat("p%d", i);
        if (T::setOf(p) == set) found.push_back(p);
    }
    return found;
}

}  // namespace

TEST_F(RegexCache, LeastRecentlyUsedWordOrdersTheWays)
{
    uint16_t word = 0x0137;
    std::vector<unsigned> order;
    for (int i = 0; i < 4; ++i) {
        unsigned way = T::leastRecentWay(word);
        order.push_back(way);
        word = static_cast<uint16_t>((word | (0xFu << (4 * way))) & ~(0x1111u << (3 - way)));
    }
    EXPECT_EQ(order, (std::vector<unsigned>{3, 2, 1, 0}));
}

TEST_F(RegexCache, OneSetFillsItsWaysAndEvictsTheLeastRecentlyUsed)
{
    auto p = patternsOfOneSet(5);
    const int base = static_cast<int>(T::setOf(p[0])) * 4;
    const uint64_t compiled = T::compileCount();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(captureCount(p[i]), 0);
        EXPECT_EQ(T::entryIndexOf(p[i]), base + 3 - i) << i;  // ways 3, 2, 1, 0
    }
    EXPECT_EQ(T::compileCount(), compiled + 4);
    // p[0] is used again, so p[1] is now the least recently used.
    EXPECT_EQ(captureCount(p[0]), 0);
    EXPECT_EQ(T::compileCount(), compiled + 4);
    EXPECT_EQ(captureCount(p[4]), 0);
    EXPECT_EQ(T::entryIndexOf(p[4]), base + 2);
    EXPECT_EQ(T::entryIndexOf(p[1]), -1);
    // The survivors are found again without compiling, also as equal but
    // distinct string objects.
    const uint64_t afterFifth = T::compileCount();
    for (int i : {0, 2, 3}) EXPECT_EQ(captureCount(NSString::stringWithString(p[i])), 0);
    EXPECT_EQ(T::compileCount(), afterFifth);

    clearStringCache();
    for (int i : {0, 2, 3, 4}) captureCount(p[i]);
    EXPECT_EQ(T::compileCount(), afterFifth + 4);
}

TEST_F(RegexCache, SamePatternWithOtherOptionsIsAnotherEntry)
{
    const uint64_t compiled = T::compileCount();
    captureCountWithOptions(ns("abc"), 0, nullptr);
    captureCountWithOptions(ns("abc"), RXLCaseless, nullptr);
    captureCountWithOptions(ns("abc"), 0, nullptr);
    EXPECT_EQ(T::compileCount(), compiled + 2);
}

TEST_F(RegexCache, SubjectChangedInPlaceAtTheSameLengthIsSeen)
{
    auto subject = NSMutableString::stringWithString(ns("abc 123"));
    const Ref<NSString> digits = ns("[0-9]+");
    EXPECT_EQ(rangeOfRegex(subject, digits), NSMakeRange(4, 3));
    subject->replaceCharactersInRange(NSMakeRange(0, 3), ns("456"));  // "456 123"
    EXPECT_EQ(rangeOfRegex(subject, digits), NSMakeRange(0, 3));
    subject->replaceCharactersInRange(NSMakeRange(0, 3), ns("xyz"));  // "xyz 123"
    EXPECT_EQ(str(stringByMatching(subject, digits)), "123");
    EXPECT_EQ(joined(componentsSeparatedByRegex(subject, ns(" "))), "xyz|123");

    EXPECT_TRUE(T::anyEntryAttachedTo(subject.get()));
    flushCachedRegexData(subject);
    EXPECT_FALSE(T::anyEntryAttachedTo(subject.get()));
}

TEST_F(RegexCache, NonContiguousSubjectsUseTheBufferPools)
{
    // 2047 units use a fixed buffer, 2048 a dynamic one.
    auto shortText = NonContiguousString::stringWithUTF16(std::u16string(2046, u'a') + u"1");
    auto longText = NonContiguousString::stringWithUTF16(std::u16string(2047, u'a') + u"1");
    EXPECT_EQ(rangeOfRegex(shortText, ns("[0-9]")), NSMakeRange(2046, 1));
    EXPECT_EQ(rangeOfRegex(longText, ns("[0-9]")), NSMakeRange(2047, 1));
    const int fixedIndex = T::fixedBufferHolding(shortText.get());
    EXPECT_NE(fixedIndex, -1);
    EXPECT_EQ(T::dynamicBufferHolding(shortText.get()), -1);
    EXPECT_NE(T::dynamicBufferHolding(longText.get()), -1);
    EXPECT_EQ(T::fixedBufferHolding(longText.get()), -1);

    // The copy is reused by other patterns while it holds the subject.
    const uint64_t copies = shortText->getCharactersCount();
    EXPECT_EQ(joined(componentsMatchedByRegex(shortText, ns("\\d"))), "1");
    EXPECT_EQ(shortText->getCharactersCount(), copies);

    flushCachedRegexData(shortText);
    EXPECT_EQ(T::fixedBufferHolding(shortText.get()), -1);
    EXPECT_FALSE(T::anyEntryAttachedTo(shortText.get()));
}

TEST_F(RegexCache, FixedBuffersAreReusedLeastRecentlyUsedFirst)
{
    std::vector<Ref<NonContiguousString>> texts;
    for (int i = 0; i < 5; ++i)
        texts.push_back(NonContiguousString::stringWithUTF16(u"text " + std::u16string(1, u'0' + i)));
    std::vector<const unichar*> arrays;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(str(stringByMatching(texts[i], ns("\\d"))), std::to_string(i));
        const int index = T::fixedBufferHolding(texts[i].get());
        ASSERT_NE(index, -1);
        arrays.push_back(T::fixedBufferArray(index));
    }
    // Four distinct buffers, no allocation: the arrays are the fixed ones.
    std::sort(arrays.begin(), arrays.end());
    EXPECT_EQ(std::unique(arrays.begin(), arrays.end()), arrays.end());
    // texts[0] is least recently used; the fifth subject takes its buffer.
    const int oldest = T::fixedBufferHolding(texts[0].get());
    EXPECT_EQ(str(stringByMatching(texts[4], ns("\\d"))), "4");
    EXPECT_EQ(T::fixedBufferHolding(texts[4].get()), oldest);
    EXPECT_EQ(T::fixedBufferHolding(texts[0].get()), -1);
    // And texts[0] is copied in again, correctly, when searched once more.
    EXPECT_EQ(str(stringByMatching(texts[0], ns("\\d"))), "0");
    EXPECT_EQ(str(stringByMatching(texts[4], ns("\\d"))), "4");
}

TEST_F(RegexCache, NonContiguousPatternsAndReplacements)
{
    auto pattern = NonContiguousString::stringWithString(ns("(b+)"));
    auto replacement = NonContiguousString::stringWithString(ns("<$1>"));
    auto subject = NonContiguousString::stringWithString(ns("abbc"));
    EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(subject, pattern, replacement)), "a<bb>c");
}

TEST_F(RegexCache, MutablePatternChangedInPlaceIsCompiledAgain)
{
    auto pattern = NSMutableString::stringWithString(ns("a+"));
    EXPECT_EQ(str(stringByMatching(ns("xaab"), pattern)), "aa");
    pattern->setString(ns("b+"));
    EXPECT_EQ(str(stringByMatching(ns("xaab"), pattern)), "b");
}

TEST_F(RegexCache, FlushAlsoForgetsEqualStrings)
{
    const Ref<NSString> subject = ns("a 1");
    EXPECT_TRUE(isMatchedByRegex(subject, ns("\\d")));
    auto nonContiguous = NonContiguousString::stringWithString(subject);
    EXPECT_TRUE(isMatchedByRegex(nonContiguous, ns("[0-9]")));
    ASSERT_TRUE(T::anyEntryAttachedTo(subject.get()));
    flushCachedRegexData(NSString::stringWithString(subject));  // equal, not the same object
    EXPECT_FALSE(T::anyEntryAttachedTo(subject.get()));
    EXPECT_EQ(T::fixedBufferHolding(nonContiguous.get()), -1);
}

TEST_F(RegexCache, OnePatternObjectOverChangingSubjectsAndRanges)
{
    // The same pattern object used call after call stays attached to the last
    // subject; every kind of subject, range and result must still come out
    // right when the next call reuses or replaces that attachment.
    const Ref<NSString> digits = ns("[0-9]+");
    const Ref<NSString> text = ns("ab12cd345");
    const Ref<NSString> other = ns("9");
    auto changing = NSMutableString::stringWithString(ns("ab12"));
    auto scattered = NonContiguousString::stringWithString(ns("x77"));
    const NSRange whole = RXLWholeRange;
    const NSRange none{static_cast<NSUInteger>(NSNotFound), 0};
    struct Step {
        Ref<NSString> subject;
        NSRange range;
        NSRange expected;
        const char* change;  // applied to `changing` before the step
    } steps[] = {
        {text, whole, NSMakeRange(2, 2), nullptr},
        {text, whole, NSMakeRange(2, 2), nullptr},
        {text, NSMakeRange(4, 5), NSMakeRange(6, 3), nullptr},
        {text, NSMakeRange(4, 2), none, nullptr},
        {text, NSMakeRange(9, 0), none, nullptr},
        {other, whole, NSMakeRange(0, 1), nullptr},
        {text, whole, NSMakeRange(2, 2), nullptr},
        {changing, whole, NSMakeRange(2, 2), nullptr},
        {changing, whole, NSMakeRange(3, 1), "abc1"},
        {scattered, whole, NSMakeRange(1, 2), nullptr},
        {text, NSMakeRange(3, 6), NSMakeRange(3, 1), nullptr},
        {ns(""), whole, none, nullptr},
    };
    const uint64_t compiled = T::compileCount();
    for (size_t i = 0; i < std::size(steps); ++i) {
        if (steps[i].change) changing->setString(ns(steps[i].change));
        EXPECT_EQ(rangeOfRegex(steps[i].subject, digits, steps[i].range), steps[i].expected) << "step " << i;
    }
    EXPECT_LE(T::compileCount(), compiled + 1);

    // A bad range still raises, with the lock free afterwards.
    auto [name, reason] = raised([&] { rangeOfRegex(text, digits, NSMakeRange(8, 2)); });
    EXPECT_EQ(name, NSRangeException);
    EXPECT_EQ(reason, "*** -[NSString rangeOfRegex:inRange:]: Range or index out of bounds.");
    EXPECT_FALSE(T::lockIsHeld());

    // The attachment holds its subject only until the next subject replaces it.
    auto temporary = ns("temporary 1");
    EXPECT_EQ(rangeOfRegex(temporary, digits), NSMakeRange(10, 1));
    EXPECT_GT(temporary->retainCount(), 1u);
    EXPECT_EQ(rangeOfRegex(text, digits), NSMakeRange(2, 2));
    EXPECT_EQ(temporary->retainCount(), 1u);
}

TEST_F(RegexCache, EqualPatternObjectsShareOneEntry)
{
    const Ref<NSString> subject = ns("ab12");
    const Ref<NSString> first = ns("[0-9]+");
    EXPECT_EQ(rangeOfRegex(subject, first), NSMakeRange(2, 2));
    const uint64_t compiled = T::compileCount();
    const Ref<NSString> second = ns("[0-9]+");
    auto changing = NSMutableString::stringWithString(ns("[0-9]+"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rangeOfRegex(subject, second), NSMakeRange(2, 2));
        EXPECT_EQ(rangeOfRegex(subject, first, NSMakeRange(3, 1)), NSMakeRange(3, 1));
        EXPECT_EQ(rangeOfRegex(subject, second), NSMakeRange(2, 2));
        EXPECT_EQ(rangeOfRegex(ns("x7"), changing), NSMakeRange(1, 1));
    }
    EXPECT_EQ(T::compileCount(), compiled);
    EXPECT_EQ(T::entryIndexOf(first), T::entryIndexOf(second));

    // The mutable pattern only ever matched by content: changed in place, it
    // is a new pattern, and the entry of the others still answers for them.
    changing->setString(ns("[a-z]+"));
    EXPECT_EQ(rangeOfRegex(subject, changing), NSMakeRange(0, 2));
    EXPECT_EQ(rangeOfRegex(subject, second), NSMakeRange(2, 2));
    EXPECT_EQ(rangeOfRegex(subject, first), NSMakeRange(2, 2));
}
