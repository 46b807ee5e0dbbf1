#include <gtest/gtest.h>

#include "Foundation/NSURLRequest.h"
#include "FoundationExtensions/NSURL+ZAKNSURLExtension.h"
#include "LocalHttpServer.h"

namespace {
Ref<NSURL> url(const std::string& text) { return NSURL::URLWithString(NSString::stringWithUTF8String(text)); }
}

TEST(URLExtension, HttpIsValidAnswersYesOnlyFor200And405)
{
    struct Case {
        int status;
        bool valid;
    };
    for (Case c : {Case{200, true}, Case{405, true}, Case{204, false}, Case{404, false}, Case{500, false}}) {
        LocalHttpServer server({{c.status, {}, "body"}});
        EXPECT_EQ(NSURLExt::httpIsValid(url(server.url("/page"))), c.valid) << c.status;
        ASSERT_EQ(server.requests().size(), 1u);
        EXPECT_EQ(server.requests()[0].method, "HEAD");
    }
}

TEST(URLExtension, HttpIsValidAnswersNoWithoutAResponse)
{
    RefusingLocalPort refused;
    EXPECT_FALSE(NSURLExt::httpIsValid(url(refused.url())));
    EXPECT_FALSE(NSURLExt::httpIsValid(nullptr));

    double previous = NSURLRequest::setDefaultTimeoutInterval(0.2);
    LocalHttpServer slow({{200, {}, "", std::chrono::milliseconds(2000)}});
    EXPECT_FALSE(NSURLExt::httpIsValid(url(slow.url())));
    NSURLRequest::setDefaultTimeoutInterval(previous);
}
