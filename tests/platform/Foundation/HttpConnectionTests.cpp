#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSHTTPCookieStorage.h"
#include "Foundation/NSHTTPURLResponse.h"
#include "Foundation/NSURLConnection.h"
#include "Foundation/NSURLError.h"
#include "LocalHttpServer.h"

namespace {
using namespace std::chrono_literals;
using Reply = LocalHttpServer::Reply;

std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : "nil"; }
Ref<NSURL> url(const std::string& s) { return NSURL::URLWithString(NSString::stringWithUTF8String(s)); }
Ref<NSData> bytes(std::string_view s) { return NSData::dataWithBytes(s.data(), s.size()); }

class HttpConnection : public testing::Test {
protected:
    void TearDown() override
    {
        NSURLRequest::setDefaultTimeoutInterval(60);
        auto storage = NSHTTPCookieStorage::sharedHTTPCookieStorage();
        auto cookies = storage->cookies();
        for (const Id& cookie : *cookies) storage->deleteCookie(static_ref_cast<NSHTTPCookie>(cookie));
    }

    struct Result {
        Ref<NSData> data;
        Ref<NSHTTPURLResponse> response;
        Ref<NSError> error;
    };
    static Result send(const Ref<NSURLRequest>& request)
    {
        Result r;
        Ref<NSURLResponse> response;
        r.data = NSURLConnection::sendSynchronousRequest(request, &response, &r.error);
        r.response = dynamic_ref_cast<NSHTTPURLResponse>(response);
        return r;
    }
    static Ref<NSMutableURLRequest> post(const std::string& address, std::string_view body)
    {
        auto request = NSMutableURLRequest::requestWithURL(url(address));
        request->setHTTPMethod("POST"_ns);
        request->setHTTPBody(bytes(body));
        return request;
    }
};
}

TEST_F(HttpConnection, PostsTheBodyByteForByteWithTheCallersHeaders)
{
    LocalHttpServer server({{200, {{"X-Answer", "yes"}}, "thanks"}});
    // CR LF, quotes, a NUL byte and bytes that are not UTF-8 all go as given.
    const std::string body(
        "--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nx\0y\xff\r\n--0xKhTmLbOuNdArY--\r\n",
        88);
    auto request = post(server.url("/cgi"), body);
    request->setValueForHTTPHeaderField("ZAKCrashReporter"_ns, "User-Agent"_ns);
    request->setValueForHTTPHeaderField("multipart/form-data; boundary=0xKhTmLbOuNdArY"_ns, "Content-Type"_ns);

    Result r = send(request);
    ASSERT_NE(r.data, nullptr) << text(r.error ? r.error->localizedDescription() : nullptr);
    EXPECT_EQ(r.data->view(), "thanks");
    ASSERT_NE(r.response, nullptr);
    EXPECT_EQ(r.response->statusCode(), 200);
    EXPECT_EQ(text(r.response->valueForHTTPHeaderField("x-answer"_ns)), "yes");
    EXPECT_EQ(text(r.response->URL()->absoluteString()), server.url("/cgi"));

    auto received = server.requests();
    ASSERT_EQ(received.size(), 1u);
    const auto& got = received[0];
    EXPECT_EQ(got.method, "POST");
    EXPECT_EQ(got.target, "/cgi");
    EXPECT_EQ(got.body, body);
    EXPECT_TRUE(got.raw.ends_with("\r\n\r\n" + body));
    EXPECT_EQ(got.header("User-Agent"), "ZAKCrashReporter");
    EXPECT_EQ(got.header("Content-Type"), "multipart/form-data; boundary=0xKhTmLbOuNdArY");
    EXPECT_EQ(got.header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(got.header("Expect"), std::nullopt);
    EXPECT_EQ(got.raw.find("100-continue"), std::string::npos);
}

TEST_F(HttpConnection, ALargeBodyGoesWithoutAContinueRoundTrip)
{
    LocalHttpServer server;
    // curl asks for "100 Continue" before bodies above 1 MiB.
    std::string body(2 * 1024 * 1024, 'z');
    Result r = send(post(server.url(), body));
    ASSERT_NE(r.data, nullptr);
    auto received = server.requests();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0].body == body);
    EXPECT_EQ(received[0].header("Expect"), std::nullopt);
}

TEST_F(HttpConnection, EveryStatusIsAResponseWithItsBody)
{
    struct Case {
        const char* method;
        int status;
        const char* body;
        const char* expected;
    } cases[] = {
        {"GET", 200, "ok", "ok"},      {"GET", 204, "", ""},          {"GET", 404, "missing", "missing"},
        {"POST", 405, "", ""},         {"POST", 500, "boom", "boom"}, {"HEAD", 200, "not sent", ""},
        {"HEAD", 405, "not sent", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + std::to_string(c.status));
        LocalHttpServer server({{c.status, {}, c.body}});
        auto request = NSMutableURLRequest::requestWithURL(url(server.url("/check")));
        request->setHTTPMethod(NSString::stringWithUTF8String(c.method));
        Result r = send(request);
        ASSERT_NE(r.data, nullptr);
        EXPECT_EQ(r.error, nullptr);
        EXPECT_EQ(r.data->view(), c.expected);
        ASSERT_NE(r.response, nullptr);
        EXPECT_EQ(r.response->statusCode(), c.status);
        ASSERT_EQ(server.requests().size(), 1u);
        EXPECT_EQ(server.requests()[0].method, c.method);
    }
}

TEST_F(HttpConnection, TransportFailuresAnswerNilWithAnError)
{
    RefusingLocalPort refusing;
    LocalHttpServer slow({{200, {}, "late", 5s}});
    NSURLRequest::setDefaultTimeoutInterval(0.3);
    struct Case {
        std::string address;
        NSInteger code;
    } cases[] = {
        {refusing.url("/cgi"), NSURLErrorCannotConnectToHost},
        {slow.url("/cgi"), NSURLErrorTimedOut},
        {"ftp://127.0.0.1:1/file", NSURLErrorUnsupportedURL},
        {"/relative/only", NSURLErrorUnsupportedURL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        auto started = std::chrono::steady_clock::now();
        Result r = send(post(c.address, "payload"));
        EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
        EXPECT_EQ(r.data, nullptr);
        EXPECT_EQ(r.response, nullptr);
        ASSERT_NE(r.error, nullptr);
        EXPECT_EQ(text(r.error->domain()), "NSURLErrorDomain");
        EXPECT_EQ(r.error->code(), c.code);
        EXPECT_GT(r.error->localizedDescription()->length(), 0u);
    }
    EXPECT_EQ(slow.requests().size(), 1u);

    Ref<NSError> error;
    EXPECT_EQ(NSURLConnection::sendSynchronousRequest(nullptr, nullptr, &error), nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), NSURLErrorBadURL);
}

TEST_F(HttpConnection, RedirectsAreFollowedAndTurnAPostIntoAGetWhereHTTPSaysSo)
{
    struct Case {
        int status;
        const char* followingMethod;
        bool bodyKept;
    } cases[] = {
        {301, "GET", false}, {302, "GET", false}, {303, "GET", false}, {307, "POST", true}, {308, "POST", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        LocalHttpServer server({Reply::redirect(c.status, "/next?x=1"), {200, {}, "arrived"}});
        auto request = post(server.url("/start"), "form=1");
        request->setValueForHTTPHeaderField("text/plain"_ns, "Content-Type"_ns);
        request->setValueForHTTPHeaderField("kept"_ns, "X-Custom"_ns);
        Result r = send(request);
        ASSERT_NE(r.data, nullptr);
        EXPECT_EQ(r.data->view(), "arrived");
        EXPECT_EQ(r.response->statusCode(), 200);
        EXPECT_EQ(text(r.response->URL()->absoluteString()), server.url("/next?x=1"));

        auto received = server.requests();
        ASSERT_EQ(received.size(), 2u);
        EXPECT_EQ(received[1].method, c.followingMethod);
        EXPECT_EQ(received[1].target, "/next?x=1");
        EXPECT_EQ(received[1].body, c.bodyKept ? "form=1" : "");
        EXPECT_EQ(received[1].header("Content-Type").has_value(), c.bodyKept);
        EXPECT_EQ(received[1].header("X-Custom"), "kept");
    }
}

TEST_F(HttpConnection, StopsAfterFiveRedirects)
{
    std::vector<Reply> loop(7, Reply::redirect(302, "/again"));
    LocalHttpServer server(loop);
    Result r = send(NSURLRequest::requestWithURL(url(server.url("/"))));
    EXPECT_EQ(r.data, nullptr);
    ASSERT_NE(r.error, nullptr);
    EXPECT_EQ(r.error->code(), NSURLErrorHTTPTooManyRedirects);
    EXPECT_EQ(server.requests().size(), 6u);  // the request and five redirects

    LocalHttpServer five({Reply::redirect(302, "/1"),
                          Reply::redirect(302, "/2"),
                          Reply::redirect(302, "/3"),
                          Reply::redirect(302, "/4"),
                          Reply::redirect(302, "/5"),
                          {200, {}, "end"}});
    r = send(NSURLRequest::requestWithURL(url(five.url("/"))));
    ASSERT_NE(r.data, nullptr);
    EXPECT_EQ(r.data->view(), "end");
}

TEST_F(HttpConnection, CookiesFromResponsesAreStoredAndSentBack)
{
    LocalHttpServer server({
        {200, {{"Set-Cookie", "session=abc123; Path=/"}, {"Set-Cookie", "theme=dark; Path=/prefs"}}, ""},
        {200, {}, ""},
        {200, {{"Set-Cookie", "session=gone; Max-Age=0; Path=/"}}, ""},
    });
    ASSERT_NE(send(NSURLRequest::requestWithURL(url(server.url("/login")))).data, nullptr);

    auto storage = NSHTTPCookieStorage::sharedHTTPCookieStorage();
    auto forRoot = storage->cookiesForURL(url(server.url("/")));
    ASSERT_EQ(forRoot->count(), 1u);
    auto cookie = static_ref_cast<NSHTTPCookie>(forRoot->objectAtIndex(0));
    EXPECT_EQ(text(cookie->name()), "session");
    EXPECT_EQ(text(cookie->value()), "abc123");
    EXPECT_EQ(storage->cookiesForURL(url(server.url("/prefs/colour")))->count(), 2u);
    EXPECT_EQ(storage->cookiesForURL(url("http://localhost:1/"))->count(), 0u);

    ASSERT_NE(send(NSURLRequest::requestWithURL(url(server.url("/prefs/x")))).data, nullptr);
    ASSERT_NE(send(NSURLRequest::requestWithURL(url(server.url("/logout")))).data, nullptr);
    auto received = server.requests();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].header("Cookie"), std::nullopt);
    EXPECT_EQ(received[1].header("Cookie"), "theme=dark; session=abc123");
    EXPECT_EQ(received[2].header("Cookie"), "session=abc123");
    EXPECT_EQ(storage->cookiesForURL(url(server.url("/")))->count(), 0u);  // Max-Age=0 removed it
}

TEST_F(HttpConnection, HeaderValuesThatWouldSplitTheRequestAreNotSent)
{
    LocalHttpServer server;
    auto request = NSMutableURLRequest::requestWithURL(url(server.url()));
    request->setValueForHTTPHeaderField("a\r\nInjected: 1"_ns, "X-Bad"_ns);
    request->setValueForHTTPHeaderField("v"_ns, "Bad Name"_ns);
    request->setValueForHTTPHeaderField(""_ns, "X-Empty"_ns);
    request->setValueForHTTPHeaderField("fine"_ns, "X-Good"_ns);
    ASSERT_NE(send(request).data, nullptr);
    auto received = server.requests();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].header("Injected"), std::nullopt);
    EXPECT_EQ(received[0].header("X-Bad"), std::nullopt);
    EXPECT_EQ(received[0].header("Bad Name"), std::nullopt);
    EXPECT_EQ(received[0].header("X-Empty"), "");
    EXPECT_EQ(received[0].header("X-Good"), "fine");
}

TEST(LocalHttpServer, ReadsChunkedBodiesAndKeepsTheRawBytes)
{
    LocalHttpServer server({{201, {}, "made"}});
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(server.port());
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string request = "PUT /upload HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
                                "5\r\nhello\r\nA;ext=1\r\n, chunked!\r\n0\r\nX-Trailer: t\r\n\r\n";
    ASSERT_EQ(::send(fd, request.data(), request.size(), MSG_NOSIGNAL), static_cast<ssize_t>(request.size()));
    std::string answer;
    char buffer[512];
    for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, static_cast<size_t>(n));
    ::close(fd);

    EXPECT_TRUE(answer.starts_with("HTTP/1.1 201 Created\r\n")) << answer;
    EXPECT_TRUE(answer.ends_with("\r\n\r\nmade"));
    ASSERT_TRUE(server.waitForRequests(1));
    auto got = server.requests()[0];
    EXPECT_EQ(got.method, "PUT");
    EXPECT_EQ(got.body, "hello, chunked!");
    EXPECT_EQ(got.raw, request);
}
