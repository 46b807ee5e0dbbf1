#include "Foundation/NSNumber.h"
#include "RegexLite/RegexLite.h"
#include "RegexTestSupport.h"

using namespace NSStringExt;

namespace {

// Empties the cache once every test ran, so nothing compiled outlives ICU's
// cleanup at exit.
class ClearCacheAtEnd : public testing::Environment {
public:
    void TearDown() override { clearStringCache(); }
};
const auto* const g_clearAtEnd = testing::AddGlobalTestEnvironment(new ClearCacheAtEnd);

Id info(const Ref<NSError>& error, const char* key) { return error->userInfo()->objectForKey(ns(key)); }

}  // namespace

TEST(RegexCompileError, MismatchedParenDescribesWhereAndNeverRaises)
{
    Ref<NSError> error;
    Ref<NSString> result;
    EXPECT_NO_THROW(result = stringByMatching(ns("abc)"), ns("abc)"), 0, RXLWholeRange, 0, &error));
    EXPECT_FALSE(result);
    ASSERT_TRUE(error);
    EXPECT_EQ(str(error->domain()), "RXLICURegexErrorDomain");
    EXPECT_EQ(error->code(), 66310);
    EXPECT_EQ(str(static_ref_cast<NSString>(info(error, "RXLICURegexErrorName"))), "U_REGEX_MISMATCHED_PAREN");
    EXPECT_EQ(str(static_ref_cast<NSString>(info(error, "RXLICURegexRegex"))), "abc)");
    EXPECT_EQ(static_ref_cast<NSNumber>(info(error, "RXLICURegexLine"))->integerValue(), 1);
    EXPECT_EQ(static_ref_cast<NSNumber>(info(error, "RXLICURegexOffset"))->integerValue(), 4);
    EXPECT_EQ(str(error->localizedFailureReason()),
              "The error U_REGEX_MISMATCHED_PAREN occurred at line 1, column 4: abc<<HERE>>)");
    EXPECT_EQ(str(error->localizedDescription()), "There was an error compiling the regular expression.");
}

TEST(RegexCompileError, EveryResultKindAnswersItsEmptyValue)
{
    const Ref<NSString> bad = ns("(");
    const Ref<NSString> subject = ns("abc");
    EXPECT_EQ(captureCount(bad), -1);
    EXPECT_EQ(captureCountForRegex(bad), -1);
    EXPECT_FALSE(isRegexValid(bad));
    EXPECT_EQ(rangeOfRegex(subject, bad).location, static_cast<NSUInteger>(NSNotFound));
    EXPECT_FALSE(isMatchedByRegex(subject, bad));
    EXPECT_FALSE(componentsSeparatedByRegex(subject, bad));
    EXPECT_FALSE(stringByReplacingOccurrencesOfRegex(subject, bad, ns("x")));
    EXPECT_FALSE(captureComponentsMatchedByRegex(subject, bad));
    auto mutableSubject = NSMutableString::stringWithString(subject);
    EXPECT_EQ(NSMutableStringExt::replaceOccurrencesOfRegex(mutableSubject, bad, ns("x")), -1);
    EXPECT_EQ(str(mutableSubject), "abc");
    bool called = false;
    EXPECT_FALSE(enumerateStringsMatchedByRegex(
        subject, bad, [&](NSInteger, const Ref<NSString>*, const NSRange*, bool*) { called = true; }));
    EXPECT_FALSE(called);

    Ref<NSError> error;
    EXPECT_FALSE(isRegexValidWithOptions(bad, 0, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(str(error->domain()), "RXLICURegexErrorDomain");
}

TEST(RegexCompileError, ErrorOutPointerIsClearedOnSuccess)
{
    Ref<NSError> error = NSError::errorWithDomain(ns("stale"), 1, nullptr);
    EXPECT_EQ(str(stringByMatching(ns("a1b"), ns("[0-9]"), 0, RXLWholeRange, 0, &error)), "1");
    EXPECT_FALSE(error);
    error = NSError::errorWithDomain(ns("stale"), 1, nullptr);
    EXPECT_EQ(captureCountWithOptions(ns("(a)(b)"), 0, &error), 2);
    EXPECT_FALSE(error);
}

TEST(RegexCompileError, OptionsGoToIcu)
{
    EXPECT_TRUE(isMatchedByRegex(ns("ABC"), ns("abc"), RXLCaseless, RXLWholeRange, nullptr));
    EXPECT_FALSE(isMatchedByRegex(ns("ABC"), ns("abc")));
    // The same pattern with other options is another expression.
    EXPECT_EQ(captureCountWithOptions(ns("(a) # (b)"), RXLComments, nullptr), 1);
    EXPECT_EQ(captureCount(ns("(a) # (b)")), 2);
}

TEST(RegexCompileError, ContextEndingInsideASurrogatePairIsReadWithinItsBuffer)
{
    // ICU fills all 16 units of the context without a terminating NUL when
    // its window ends inside a surrogate pair.
    Ref<NSError> error;
    EXPECT_FALSE(isRegexValidWithOptions(ns("{bcdefghijklmn\U0001F600"), 0, &error));
    ASSERT_TRUE(error);
    const std::string post = str(static_ref_cast<NSString>(info(error, "RXLICURegexPostContext")));
    EXPECT_LE(NSString::stringWithUTF8String(post)->length(), 16u);
    EXPECT_EQ(post.rfind("{bcdefghijklmn", 0), 0u) << post;
    EXPECT_NE(str(error->localizedFailureReason()).find("<<HERE>>"), std::string::npos);
}
