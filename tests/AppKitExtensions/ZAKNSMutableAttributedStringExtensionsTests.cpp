// Appending, rewriting matched ranges and attribute runs, and link detection
// on mutable attributed strings.
#include <gtest/gtest.h>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSURL.h"
#include "FoundationExtensions/ZAKNSMutableAttributedStringExtensions.h"

namespace {

class CountingString : public NSMutableAttributedString {
    NS_OBJECT(CountingString, NSMutableAttributedString)
protected:
    CountingString() = default;

public:
    void beginEditing() override { ++begins; }
    void endEditing() override { ++ends; }
    int begins = 0, ends = 0;
};

Ref<NSDictionary> bold() { return NSDictionary::dictionaryWithObjectForKey(NSNumber::numberWithBool(true), "B"_ns); }

Ref<CountingString> counting(const char* text)
{
    auto s = NSObject::alloc<CountingString>();
    s->replaceCharactersInRange(NSMakeRange(0, 0), NSString::stringWithUTF8String(text));
    return s;
}

// Replaces every target by "<" target ">".
Ref<NSAttributedString> bracket(const Ref<NSMutableAttributedString>& s, const Ref<NSDictionary>&, NSRange target,
                                NSRange, bool*, void* context)
{
    ++*static_cast<int*>(context);
    Ref<NSString> inner = s->string()->substringWithRange(target);
    return NSAttributedString::initWithString(NSString::stringWithFormat("<%@>", inner));
}

Ref<NSAttributedString> leave(const Ref<NSMutableAttributedString>&, const Ref<NSDictionary>&, NSRange, NSRange, bool*,
                              void* context)
{
    ++*static_cast<int*>(context);
    return nullptr;
}

}

NS_CLASS_DEFINE(CountingString)

TEST(MutableAttributedStringExtensions, AppendTakesTheLastCharactersAttributes)
{
    auto s = NSMutableAttributedString::initWithString("a"_ns, bold());
    NSMutableAttributedStringExt::appendString(s, "bc"_ns);
    EXPECT_EQ(s->string()->UTF8String(), "abc");
    EXPECT_TRUE(s->attributesAtIndex(2, nullptr)->isEqual(bold().get()));
    auto empty = NSMutableAttributedString::initWithString(""_ns);
    NSMutableAttributedStringExt::appendString(empty, "x"_ns);
    EXPECT_EQ(empty->attributesAtIndex(0, nullptr)->count(), 0u);
}

TEST(MutableAttributedStringExtensions, MutateRangesRewritesMatchesAndRuns)
{
    struct Case {
        const char* text;
        NSRange range;
        const char* match;  // nullptr: by attribute runs
        const char* result;
        int calls;
    } cases[] = {
        {"a-b-c", {0, 5}, "-", "a<->b<->c", 2}, {"a-b-c", {2, 3}, "-", "a-b<->c", 1},
        {"--", {0, 2}, "-", "<-><->", 2},       {"abc", {0, 3}, "x", "abc", 0},
        {"abc", {0, 0}, "a", "abc", 0},         {"abc", {1, 2}, nullptr, "a<bc>", 1},
    };
    for (const auto& c : cases) {
        auto s = counting(c.text);
        int calls = 0;
        bool changed = NSMutableAttributedStringExt::mutateRanges(
            s, bracket, c.range, c.match ? NSString::stringWithUTF8String(c.match) : nullptr, &calls);
        EXPECT_EQ(s->string()->UTF8String(), c.result) << c.text;
        EXPECT_EQ(calls, c.calls) << c.text;
        EXPECT_EQ(changed, c.calls > 0) << c.text;
        EXPECT_EQ(s->begins, changed ? 1 : 0);
        EXPECT_EQ(s->ends, changed ? 1 : 0);
    }
    // Runs: one call per attribute run, nothing replaced.
    auto runs = NSMutableAttributedString::initWithString("ab"_ns);
    runs->addAttribute("B"_ns, NSNumber::numberWithBool(true), NSMakeRange(1, 1));
    int calls = 0;
    EXPECT_FALSE(NSMutableAttributedStringExt::mutateRanges(runs, leave, nullptr, &calls));
    EXPECT_EQ(calls, 2);
}

TEST(MutableAttributedStringExtensions, DetectURLsLinksWholeWordsThatAreAddresses)
{
    auto s = NSMutableAttributedString::initWithString(
        "see www.example.org. or ftp.example.org and mailto:a@b.invalid, xwww.no file:///tmp/x"_ns);
    NSMutableAttributedStringExt::detectURLs(s, "red"_ns);
    struct Case {
        const char* word;
        const char* url;  // nullptr: no link
    } cases[] = {{"see", nullptr},
                 {"www.example.org.", "http://www.example.org."},
                 {"ftp.example.org", "ftp://ftp.example.org"},
                 {"mailto:a@b.invalid,", "mailto:a@b.invalid,"},
                 {"xwww.no", nullptr},
                 {"file:///tmp/x", "file:///tmp/x"}};
    for (const auto& c : cases) {
        NSRange word = s->string()->rangeOfString(NSString::stringWithUTF8String(c.word));
        ASSERT_NE(word.location, NSNotFound) << c.word;
        NSRange effective{0, 0};
        auto link = dynamic_ref_cast<NSURL>(s->attributeAtIndex("NSLink"_ns, word.location, &effective));
        if (!c.url) {
            EXPECT_EQ(link, nullptr) << c.word;
            continue;
        }
        ASSERT_NE(link, nullptr) << c.word;
        EXPECT_EQ(link->absoluteString()->UTF8String(), c.url);
        EXPECT_EQ(effective.location, word.location);
        EXPECT_EQ(effective.length, word.length) << c.word;
        EXPECT_NE(s->attributeAtIndex("NSUnderline"_ns, word.location, nullptr), nullptr);
        EXPECT_NE(s->attributeAtIndex("NSColor"_ns, word.location, nullptr), nullptr);
    }
}
