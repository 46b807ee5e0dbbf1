#include <chrono>
#include <future>
#include <thread>

#include "RegexLite/RXLCacheTesting.h"
#include "RegexLite/RegexLite.h"
#include "RegexTestSupport.h"

using namespace NSStringExt;

namespace {

constexpr NSUInteger kNotFound = static_cast<NSUInteger>(NSNotFound);

struct Call {
    NSInteger count;
    std::vector<std::string> strings;
    std::vector<NSRange> ranges;
};

// Records every block call.
RXLMatchBlock recorder(std::vector<Call>& calls)
{
    return [&calls](NSInteger count, const Ref<NSString>* strings, const NSRange* ranges, bool*) {
        Call call{count, {}, {}};
        for (NSInteger i = 0; i < count; ++i) {
            call.strings.push_back(strings ? str(strings[i]) : "<none>");
            call.ranges.push_back(ranges[i]);
        }
        calls.push_back(std::move(call));
    };
}

}  // namespace

TEST(RegexEnumeration, MatchesPassEveryCapture)
{
    std::vector<Call> calls;
    EXPECT_TRUE(enumerateStringsMatchedByRegex(ns("a1 b c3"), ns("([a-z])(\\d)?"), recorder(calls)));
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].count, 3);
    EXPECT_EQ(calls[0].strings, (std::vector<std::string>{"a1", "a", "1"}));
    EXPECT_EQ(calls[1].strings, (std::vector<std::string>{"b", "b", ""}));
    EXPECT_EQ(calls[1].ranges[2].location, kNotFound);  // took no part
    EXPECT_EQ(calls[2].ranges[0], NSMakeRange(5, 2));
}

TEST(RegexEnumeration, PiecesPassOneString)
{
    std::vector<Call> calls;
    EXPECT_TRUE(enumerateStringsSeparatedByRegex(ns(",a,,b,"), ns(","), recorder(calls)));
    std::vector<std::string> pieces;
    for (const auto& c : calls) {
        EXPECT_EQ(c.count, 1);
        pieces.push_back(c.strings[0]);
    }
    EXPECT_EQ(pieces, (std::vector<std::string>{"", "a", "", "b"}));
}

TEST(RegexEnumeration, OptionsShapeTheStrings)
{
    std::vector<Call> calls;
    EXPECT_TRUE(enumerateStringsMatchedByRegex(ns("x1y2"), ns("\\d"), 0, RXLWholeRange, nullptr,
                                               RXLRegexEnumerationCapturedStringsNotRequired, recorder(calls)));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].strings[0], "<none>");
    EXPECT_EQ(calls[1].ranges[0], NSMakeRange(3, 1));

    // Reused strings stay readable after the call and after the enumeration.
    std::vector<Ref<NSString>> kept;
    EXPECT_TRUE(enumerateStringsMatchedByRegex(ns("ab12cd345"), ns("\\d+"), 0, RXLWholeRange, nullptr,
                                               RXLRegexEnumerationReusableCapturedStrings,
                                               [&](NSInteger, const Ref<NSString>* strings, const NSRange*, bool*) {
                                                   kept.push_back(strings[0]);
                                                   EXPECT_EQ(str(strings[0]), kept.size() == 1 ? "12" : "345");
                                               }));
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(str(kept[1]), "345");
    EXPECT_EQ(kept[1]->length(), 3u);
}

TEST(RegexEnumeration, InvalidOptionsRaise)
{
    const Ref<NSString> s = ns("abc");
    auto noop = [](NSInteger, const Ref<NSString>*, const NSRange*, bool*) {};
    auto same = [](NSInteger, const Ref<NSString>* strings, const NSRange*, bool*) { return strings[0]; };
    const std::string reasonEnd = ": The RXLRegexEnumerationOptions argument is not valid.";
    struct Case {
        const char* what;
        std::function<void()> run;
    } invalid[] = {
        {"0x200 with 0x800",
         [&] { enumerateStringsMatchedByRegex(s, ns("b"), 0, RXLWholeRange, nullptr, 0xA00, noop); }},
        {"0x400 in a match enumeration",
         [&] { enumerateStringsSeparatedByRegex(s, ns("b"), 0, RXLWholeRange, nullptr, 0x400, noop); }},
        {"unknown bit", [&] { stringByReplacingOccurrencesOfRegex(s, ns("b"), 0, RXLWholeRange, nullptr, 0x1, same); }},
    };
    for (const auto& c : invalid) {
        auto [name, reason] = raised(c.run);
        EXPECT_EQ(name, NSInvalidArgumentException) << c.what;
        EXPECT_EQ(reason.substr(0, 5), "*** -") << c.what;
        EXPECT_TRUE(reason.size() > reasonEnd.size() && reason.ends_with(reasonEnd)) << reason;
    }
    // 0x400 is accepted by a replace enumeration and changes nothing.
    EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(s, ns("b"), 0, RXLWholeRange, nullptr, 0x400, same)), "abc");
    EXPECT_EQ(
        raised([&] { enumerateStringsMatchedByRegex(s, ns("b"), 0, NSMakeRange(2, 2), nullptr, 0, noop); }).second,
        "*** -[NSString enumerateStringsMatchedByRegex:options:inRange:error:enumerationOptions:usingBlock:]: "
        "Range or index out of bounds.");
}

TEST(RegexEnumeration, ReplaceByBlock)
{
    auto upper = [](NSInteger, const Ref<NSString>* strings, const NSRange*, bool*) {
        return NSString::stringWithFormat("<%@>", strings[1]);
    };
    EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(ns("a1b22c"), ns("(\\d+)"), upper)), "a<1>b<22>c");
    // A nil answer removes the match.
    auto drop = [](NSInteger, const Ref<NSString>*, const NSRange*, bool*) { return Ref<NSString>(); };
    EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(ns("a1b22c"), ns("\\d+"), drop)), "abc");
    // No match: the range's text unchanged.
    EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(ns("abc"), ns("\\d"), 0, NSMakeRange(1, 2), nullptr, 0, drop)),
              "bc");
    // A stop in the first call still appends the rest of the text.
    auto stopAtOnce = [](NSInteger, const Ref<NSString>*, const NSRange*, bool* stop) {
        *stop = true;
        return ns("#");
    };
    EXPECT_EQ(str(stringByReplacingOccurrencesOfRegex(ns("a1b2c3"), ns("\\d"), stopAtOnce)), "a#b2c3");
}

TEST(RegexEnumeration, ReplaceInPlaceByBlock)
{
    auto hash = [](NSInteger, const Ref<NSString>*, const NSRange*, bool*) { return ns("#"); };
    auto text = NSMutableString::stringWithString(ns("x1y2z3"));
    EXPECT_EQ(NSMutableStringExt::replaceOccurrencesOfRegex(text, ns("\\d"), hash), 3);
    EXPECT_EQ(str(text), "x#y#z#");
    auto ranged = NSMutableString::stringWithString(ns("x1y2z3"));
    EXPECT_EQ(NSMutableStringExt::replaceOccurrencesOfRegex(ranged, ns("\\d"), 0, NSMakeRange(2, 2), nullptr, 0, hash),
              1);
    EXPECT_EQ(str(ranged), "x1y#z3");
}

TEST(RegexEnumeration, BlocksMayUseRegularExpressions)
{
    std::vector<std::string> inner;
    auto run = [&] {
        return enumerateStringsMatchedByRegex(
            ns("a,b c,d"), ns("\\S+"), [&](NSInteger, const Ref<NSString>* strings, const NSRange*, bool*) {
                inner.push_back(joined(componentsSeparatedByRegex(strings[0], ns(","))));
            });
    };
    auto done = std::async(std::launch::async, run);
    ASSERT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_TRUE(done.get());
    EXPECT_EQ(inner, (std::vector<std::string>{"a|b", "c|d"}));
}

TEST(RegexEnumeration, ManyThreadsEnumerateAtOnce)
{
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i) {
                auto subject = NSString::stringWithFormat("%d-%d-%d", t, i, t + i);
                std::vector<std::string> seen;
                enumerateStringsSeparatedByRegex(subject, ns("-"),
                                                 [&](NSInteger, const Ref<NSString>* strings, const NSRange*, bool*) {
                                                     seen.push_back(str(strings[0]));
                                                     if (!isMatchedByRegex(strings[0], ns("^\\d+$"))) ++wrong;
                                                 });
                if (seen != std::vector<std::string>{std::to_string(t), std::to_string(i), std::to_string(t + i)})
                    ++wrong;
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(RegexEnumeration, AnExceptionFromABlockReachesTheCaller)
{
    auto [name, reason] = raised([] {
        enumerateStringsMatchedByRegex(ns("a1b2"), ns("\\d"),
                                       [](NSInteger, const Ref<NSString>*, const NSRange*, bool*) {
                                           NSException::raise(NSGenericException, "from the block");
                                       });
    });
    EXPECT_EQ(name, NSGenericException);
    EXPECT_EQ(reason, "from the block");
    EXPECT_FALSE(RXLCacheTesting::lockIsHeld());
    auto other = std::async(std::launch::async, [] { return isMatchedByRegex(ns("abc"), ns("c")); });
    ASSERT_EQ(other.wait_for(std::chrono::seconds(1)), std::future_status::ready);
    EXPECT_TRUE(other.get());
}
