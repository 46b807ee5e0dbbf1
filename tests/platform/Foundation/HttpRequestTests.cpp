#include <gtest/gtest.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSHTTPCookie.h"
#include "Foundation/NSURLRequest.h"
#include "Foundation/URLLoadingAvailability.h"

namespace {
std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : "nil"; }
Ref<NSString> ns(const std::string& s) { return NSString::stringWithUTF8String(s); }
Ref<NSURL> url(const std::string& s) { return NSURL::URLWithString(ns(s)); }
}

TEST(HttpRequest, StartsAsAGetWithTheDefaultTimeOut)
{
    auto request = NSURLRequest::requestWithURL(url("http://example.invalid/a"));
    EXPECT_EQ(text(request->HTTPMethod()), "GET");
    EXPECT_EQ(request->HTTPBody(), nullptr);
    EXPECT_EQ(request->timeoutInterval(), 60.0);
    EXPECT_EQ(request->allHTTPHeaderFields()->count(), 0u);

    NSTimeInterval previous = NSURLRequest::setDefaultTimeoutInterval(0.25);
    EXPECT_EQ(NSMutableURLRequest::requestWithURL(url("http://example.invalid/"))->timeoutInterval(), 0.25);
    NSURLRequest::setDefaultTimeoutInterval(previous);
    EXPECT_EQ(NSURLRequest::requestWithURL(url("http://example.invalid/"))->timeoutInterval(), 60.0);
}

TEST(HttpRequest, HeaderFieldsKeepTheirOrderAndReplaceWithoutRegardToCase)
{
    auto request = NSMutableURLRequest::requestWithURL(url("http://example.invalid/"));
    request->setValueForHTTPHeaderField("ZAKCrashReporter"_ns, "User-Agent"_ns);
    request->setValueForHTTPHeaderField("multipart/form-data; boundary=x"_ns, "Content-Type"_ns);
    request->setValueForHTTPHeaderField("1"_ns, "X-Removed"_ns);
    request->setValueForHTTPHeaderField("other"_ns, "user-agent"_ns);
    request->setValueForHTTPHeaderField(nullptr, "x-removed"_ns);

    std::vector<std::string> order;
    for (const auto& [key, value] : request->allHTTPHeaderFields()->entries())
        order.push_back(text(static_ref_cast<NSString>(key)) + "=" + text(static_ref_cast<NSString>(value)));
    EXPECT_EQ(order, (std::vector<std::string>{"User-Agent=other", "Content-Type=multipart/form-data; boundary=x"}));
    EXPECT_EQ(text(request->valueForHTTPHeaderField("Content-Type"_ns)), "multipart/form-data; boundary=x");
    EXPECT_EQ(text(request->valueForHTTPHeaderField("CONTENT-TYPE"_ns)), "multipart/form-data; boundary=x");
    EXPECT_EQ(request->valueForHTTPHeaderField("X-Removed"_ns), nullptr);
}

TEST(HttpRequest, CopiesAreIndependentOfTheOriginal)
{
    auto request = NSMutableURLRequest::requestWithURL(url("http://example.invalid/"));
    auto bytes = NSMutableData::data();
    bytes->appendBytes("a\0b", 3);
    request->setHTTPMethod("POST"_ns);
    request->setHTTPBody(bytes);
    request->setValueForHTTPHeaderField("1"_ns, "X-A"_ns);
    bytes->appendBytes("c", 1);  // the request copied the bytes it was given

    auto frozen = static_ref_cast<NSURLRequest>(request->copy());
    request->setHTTPMethod("PUT"_ns);
    request->setValueForHTTPHeaderField("2"_ns, "X-A"_ns);
    EXPECT_FALSE(frozen->isKindOfClass(NSMutableURLRequest::staticClass()));
    EXPECT_EQ(text(frozen->HTTPMethod()), "POST");
    EXPECT_EQ(frozen->HTTPBody()->view(), std::string_view("a\0b", 3));
    EXPECT_EQ(text(frozen->valueForHTTPHeaderField("X-A"_ns)), "1");
    auto thawed = static_ref_cast<NSMutableURLRequest>(frozen->mutableCopy());
    EXPECT_TRUE(thawed->isKindOfClass(NSMutableURLRequest::staticClass()));
    EXPECT_EQ(text(thawed->HTTPMethod()), "POST");
}

TEST(HttpCookie, ParsesSetCookieValuesWithinTheSettingHostsScope)
{
    struct Case {
        const char* from;
        const char* setCookie;
        const char* expected;  // "name=value domain path", or nil when refused
    } cases[] = {
        {"http://www.example.invalid/a/b", "sid=abc", "sid=abc www.example.invalid /a"},
        {"http://www.example.invalid/", "sid=abc; Path=/x; HttpOnly", "sid=abc www.example.invalid /x"},
        {"http://www.example.invalid/", "sid = a b ; Domain=.Example.INVALID", "sid=a b example.invalid /"},
        {"http://www.example.invalid/", "sid=abc; Path=relative", "sid=abc www.example.invalid /"},
        {"http://www.example.invalid/", "sid=abc; Domain=other.invalid", nullptr},
        {"http://www.example.invalid/", "sid=abc; Domain=ww.example.invalid", nullptr},
        {"http://127.0.0.1/", "sid=abc; Domain=0.0.1", nullptr},
        {"http://www.example.invalid/", "no-equals-sign", nullptr},
        {"http://www.example.invalid/", "=value", nullptr},
        // A path that is not UTF-8 (found by the fuzz harness): no cookie
        // whose path reads as nil.
        {"http://www.example.invalid/", "sid=abc; Path=/\xff\xfe", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setCookie);
        auto cookie = NSHTTPCookie::cookieWithSetCookieValue(c.setCookie, url(c.from));
        if (!c.expected) {
            EXPECT_EQ(cookie, nullptr);
            continue;
        }
        ASSERT_NE(cookie, nullptr);
        EXPECT_EQ(text(cookie->name()) + "=" + text(cookie->value()) + " " + text(cookie->domain()) + " " +
                      text(cookie->path()),
                  c.expected);
    }
}

TEST(HttpCookie, ScopeAndLifetimeDecideWhichRequestsGetIt)
{
    auto scoped = NSHTTPCookie::cookieWithSetCookieValue("a=1; Domain=example.invalid; Path=/docs; Secure",
                                                         url("https://example.invalid/"));
    ASSERT_NE(scoped, nullptr);
    EXPECT_TRUE(scoped->matchesURL(url("https://www.example.invalid/docs")));
    EXPECT_TRUE(scoped->matchesURL(url("https://example.invalid/docs/x")));
    EXPECT_FALSE(scoped->matchesURL(url("http://example.invalid/docs")));      // not secure
    EXPECT_FALSE(scoped->matchesURL(url("https://example.invalid/docsx")));    // not below the path
    EXPECT_FALSE(scoped->matchesURL(url("https://badexample.invalid/docs")));  // not a subdomain

    auto hostOnly = NSHTTPCookie::cookieWithSetCookieValue("b=2", url("http://example.invalid/"));
    EXPECT_TRUE(hostOnly->matchesURL(url("http://example.invalid/any")));
    EXPECT_FALSE(hostOnly->matchesURL(url("http://www.example.invalid/")));
    EXPECT_TRUE(hostOnly->isSessionOnly());

    auto gone = NSHTTPCookie::cookieWithSetCookieValue("c=3; Max-Age=0", url("http://example.invalid/"));
    EXPECT_TRUE(gone->isExpired());
    auto past = NSHTTPCookie::cookieWithSetCookieValue("d=4; Expires=Thu, 01 Jan 1970 00:00:10 GMT",
                                                       url("http://example.invalid/"));
    EXPECT_TRUE(past->isExpired());
    // Max-Age wins over Expires.
    auto kept = NSHTTPCookie::cookieWithSetCookieValue("e=5; Max-Age=3600; Expires=Thu, 01 Jan 1970 00:00:10 GMT",
                                                       url("http://example.invalid/"));
    EXPECT_FALSE(kept->isExpired());
}

TEST(HttpAvailability, TheSwitchHidesTheURLLoadingClassNames)
{
    EXPECT_TRUE(URLLoadingIsAvailable());
    EXPECT_NE(NSClassFromString("NSMutableURLRequest"_ns), nullptr);
    EXPECT_NE(NSClassFromString("NSURLConnection"_ns), nullptr);
    EXPECT_FALSE(URLLoadingHidesClassNamed("NSURLConnection"));

    EXPECT_TRUE(URLLoadingSetAvailable(false));
    EXPECT_TRUE(URLLoadingHidesClassNamed("NSMutableURLRequest"));
    EXPECT_TRUE(URLLoadingHidesClassNamed("NSURLConnection"));
    EXPECT_TRUE(URLLoadingHidesClassNamed("NSHTTPCookieStorage"));
    EXPECT_FALSE(URLLoadingHidesClassNamed("NSURL"));
    EXPECT_FALSE(URLLoadingHidesClassNamed("NSString"));
    EXPECT_EQ(NSClassFromString("NSMutableURLRequest"_ns), nullptr);
    EXPECT_EQ(NSClassFromString("NSURLConnection"_ns), nullptr);
    EXPECT_NE(NSClassFromString("NSURL"_ns), nullptr);
    EXPECT_FALSE(URLLoadingSetAvailable(true));
    EXPECT_FALSE(URLLoadingHidesClassNamed("NSURLConnection"));
}
