#include <chrono>
#include <future>
#include <thread>

#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSNumber.h"
#include "LogCapture.h"
#include "RegexLite/RXLCacheTesting.h"
#include "RegexLite/RXLPrivate.h"
#include "RegexLite/RegexLite.h"
#include "RegexTestSupport.h"

using namespace NSStringExt;

namespace {

// A regular-expression call from another thread finishes within a second,
// so no lock was left held.
bool lockIsFree()
{
    auto done = std::async(std::launch::async, [] { return isMatchedByRegex(ns("abc"), ns("b")); });
    return done.wait_for(std::chrono::seconds(1)) == std::future_status::ready && done.get();
}

}  // namespace

TEST(RegexErrors, IcuFailureDuringAnOperationRaises)
{
    Ref<NSDictionary> userInfo;
    std::string reason;
    try {
        stringByReplacingOccurrencesOfRegex(ns("ab"), ns("(a)"), ns("$9"));
        FAIL() << "no exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), "RXLICURegexException");
        reason = e.reasonUTF8();
        userInfo = e.userInfo();
    }
    EXPECT_EQ(reason,
              "*** -[NSString stringByReplacingOccurrencesOfRegex:withString:]: ICU regular expression error #8, "
              "U_INDEX_OUTOFBOUNDS_ERROR.");
    ASSERT_TRUE(userInfo);
    EXPECT_EQ(str(static_ref_cast<NSString>(userInfo->objectForKey(ns("RXLICURegexReplacementString")))), "$9");
    EXPECT_EQ(static_ref_cast<NSNumber>(userInfo->objectForKey(ns("RXLICURegexErrorCode")))->integerValue(), 8);
    EXPECT_TRUE(lockIsFree());
}

TEST(RegexErrors, ArgumentRangeAndCaptureErrorsLeaveTheLockFree)
{
    const Ref<NSString> s = ns("abc");
    const Ref<NSString> nil;
    const RXLKeyCapture badCapture[] = {{ns("k"), 3}};
    const Id keysWithHole[] = {ns("k"), nullptr};
    const int32_t captures[] = {0, 0};
    struct Case {
        const char* what;
        std::function<void()> run;
        const char* name;
        const char* reason;
    } cases[] = {
        {"nil pattern", [&] { rangeOfRegex(s, nil); }, NSInvalidArgumentException,
         "*** -[NSString rangeOfRegex:]: The regular expression argument is NULL."},
        {"nil subject", [&] { rangeOfRegex(nil, ns("a")); }, NSInternalInconsistencyException,
         "*** +[<NULL> rangeOfRegex:]: The match string argument is NULL."},
        {"nil replacement", [&] { stringByReplacingOccurrencesOfRegex(s, ns("a"), nil); }, NSInvalidArgumentException,
         "*** -[NSString stringByReplacingOccurrencesOfRegex:withString:]: The replacement string argument is NULL."},
        {"range past the end", [&] { rangeOfRegex(s, ns("a"), NSMakeRange(2, 2)); }, NSRangeException,
         "*** -[NSString rangeOfRegex:inRange:]: Range or index out of bounds."},
        {"location past the end", [&] { componentsSeparatedByRegex(s, ns("a"), NSMakeRange(4, NSUIntegerMax)); },
         NSRangeException, "*** -[NSString componentsSeparatedByRegex:range:]: Range or index out of bounds."},
        {"capture above the count", [&] { rangeOfRegex(s, ns("(a)"), 2); }, NSInvalidArgumentException,
         "*** -[NSString rangeOfRegex:capture:]: The capture argument is not valid."},
        {"negative capture", [&] { componentsMatchedByRegex(s, ns("(a)"), -1); }, NSInvalidArgumentException,
         "*** -[NSString componentsMatchedByRegex:capture:]: The capture argument is not valid."},
        {"keyed capture above the count", [&] { dictionaryByMatchingRegex(s, ns("(a)(b)"), badCapture); },
         NSInvalidArgumentException,
         "*** -[NSString dictionaryByMatchingRegex:withKeysAndCaptures:]: The capture argument 3 (capture 1 of 1) for "
         "key 'k' is not valid."},
        {"null key",
         [&] { dictionaryByMatchingRegex(s, ns("(a)"), 0, RXLWholeRange, nullptr, keysWithHole, captures, 2); },
         NSInvalidArgumentException,
         "*** -[NSString dictionaryByMatchingRegex:options:range:error:withKeys:forCaptures:count:]: The capture key "
         "(key 2 of 2) is NULL."},
        {"no keys",
         [&] { arrayOfDictionariesByMatchingRegex(s, ns("(a)"), 0, RXLWholeRange, nullptr, nullptr, captures, 1); },
         NSInvalidArgumentException,
         "*** -[NSString arrayOfDictionariesByMatchingRegex:options:range:error:withKeys:forCaptures:count:]: The keys "
         "argument is NULL."},
        {"class method", [&] { captureCountForRegex(nil); }, NSInvalidArgumentException,
         "*** +[NSString captureCountForRegex:]: The regular expression argument is NULL."},
        {"in place",
         [&] {
             NSMutableStringExt::replaceOccurrencesOfRegex(NSMutableString::stringWithString(s), ns("a"), ns("b"),
                                                           NSMakeRange(1, 5));
         },
         NSRangeException,
         "*** -[NSMutableString replaceOccurrencesOfRegex:withString:range:]: Range or index out of bounds."},
        {"ICU failure in place",
         [&] {
             NSMutableStringExt::replaceOccurrencesOfRegex(NSMutableString::stringWithString(s), ns("(a)"), ns("$2"));
         },
         "RXLICURegexException",
         "*** -[NSMutableString replaceOccurrencesOfRegex:withString:]: ICU regular expression error #8, "
         "U_INDEX_OUTOFBOUNDS_ERROR."},
    };
    for (const auto& c : cases) {
        auto [name, reason] = raised(c.run);
        EXPECT_EQ(name, c.name) << c.what;
        EXPECT_EQ(reason, c.reason) << c.what;
        EXPECT_TRUE(lockIsFree()) << c.what;
    }
}

TEST(RegexErrors, BrokenLruWordStopsThroughTheAbortHook)
{
    int stops = 0;
    AbortHook previous = SetAbortHook([&] { ++stops; });
    LogCapture log;
    // A word without a zero nibble orders no way last.
    RXLCacheTesting::leastRecentWay(0xFFFF);
    SetAbortHook(previous);
    EXPECT_EQ(stops, 1);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("Invalid parameter not satisfying:"), std::string::npos);
    EXPECT_NE(log.lines()[0].find("RXLCache.cpp:"), std::string::npos);
}

TEST(RegexErrors, LockIsSharedAcrossThreads)
{
    // Many threads through the one cache give the same answers as one.
    // One pattern object shared by all threads takes the cached-match path
    // whenever the previous operation used it too. Its text is its own, so
    // the cache entry is compiled from this very object.
    const Ref<NSString> digits = ns("\\d+(?#shared)");
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 300; ++i) {
                auto subject = NSString::stringWithFormat("x%dy%d", t, i);
                auto pieces = componentsSeparatedByRegex(subject, ns("[xy]"));
                if (pieces->count() != 3 ||
                    str(static_ref_cast<NSString>(pieces->objectAtIndex(2))) != std::to_string(i))
                    ++wrong;
                if (rangeOfRegex(subject, ns("\\d+")).location != 1) ++wrong;
                for (int k = 0; k < 8; ++k) {
                    if (rangeOfRegex(subject, digits) != NSMakeRange(1, 1)) ++wrong;
                    if (rangeOfRegex(subject, digits, NSMakeRange(2, subject->length() - 2)).location != 3) ++wrong;
                }
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_FALSE(RXLCacheTesting::lockIsHeld());
}

TEST(RegexErrors, LockLeftHeldByAnExceptionIsReleasedAndReportedOnce)
{
    LogCapture log;
    for (int i = 0; i < 2; ++i) {
        try {
            RXLLockScope lock;
            lock.lock();
            throw std::runtime_error("escaped while locked");
        } catch (const std::runtime_error&) { }
        EXPECT_FALSE(RXLCacheTesting::lockIsHeld());
    }
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(
        log.lines()[0].rfind("[RegexLite] Unusual condition detected: Recorded that rxl_cacheSpinLock was locked, "
                             "but for some reason it was not unlocked.  Forcibly unlocking",
                             0),
        0u);
    EXPECT_TRUE(lockIsFree());
}

TEST(RegexErrors, IncompleteAssertionRecordStopsThroughTheAbortHook)
{
    int stops = 0;
    AbortHook previous = SetAbortHook([&] { ++stops; });
    LogCapture log;
    rxl_reportAssertion(NSDictionary::dictionaryWithEntries({{ns("description"), ns("x")}}));
    SetAbortHook(previous);
    EXPECT_EQ(stops, 1);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("Invalid parameter not satisfying:"), std::string::npos);

    // A complete record raises NSInternalInconsistencyException with its text.
    auto [name, reason] = raised([] { rxl_reportAssertion(rxl_assertionInfo("f()", "file.cpp", 7, "a != b")); });
    EXPECT_EQ(name, NSInternalInconsistencyException);
    EXPECT_EQ(reason, "Invalid parameter not satisfying: a != b");
}

TEST(RegexErrors, ACatastrophicPatternStopsWithinItsTimeLimit)
{
    // (a+)+b against a run of "a" backtracks through every way of splitting
    // the run; without a limit 26 characters take seconds, each more twice as long.
    const Ref<NSString> subject = ns("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!");
    EXPECT_EQ(regexMatchTimeLimit(), RXLDefaultMatchTimeLimit);
    const auto start = std::chrono::steady_clock::now();
    Ref<NSDictionary> userInfo;
    try {
        rangeOfRegex(subject, ns("(a+)+b"));
        ADD_FAILURE() << "the match ran to its end";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), "RXLICURegexException");
        EXPECT_NE(e.reasonUTF8().find("U_REGEX_TIME_OUT"), std::string::npos) << e.reasonUTF8();
        userInfo = e.userInfo();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_TRUE(userInfo);
    EXPECT_EQ(str(static_ref_cast<NSString>(userInfo->objectForKey(ns("RXLICURegexErrorName")))), "U_REGEX_TIME_OUT");
    EXPECT_TRUE(lockIsFree());

    // A caller who needs longer says so; ordinary matches never meet the limit.
    setRegexMatchTimeLimit(0);
    EXPECT_TRUE(isMatchedByRegex(ns("aaaaaaaaab"), ns("(a+)+b")));
    setRegexMatchTimeLimit(RXLDefaultMatchTimeLimit);
}
