// Requests and responses as one line, and requests as curl and wget command
// lines that /bin/sh runs against a local server: every value arrives byte
// for byte, whatever quotes, substitutions or backslashes it holds.
#include <cstdlib>
#include <filesystem>

#include "FormatKit/FMTHTTPURLResponseFormatter.h"
#include "FormatKit/FMTURLRequestFormatter.h"
#include "FormatKit/NSMutableString+FMTURLRequestFormatter.h"
#include "FormatKitFixture.h"
#include "Foundation/NSException.h"
#include "Foundation/NSHTTPCookieStorage.h"
#include "LocalHttpServer.h"

namespace {

Ref<NSMutableURLRequest> requestFor(const std::string& url)
{
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(NSString::stringWithUTF8String(url)));
    EXPECT_TRUE(request->URL()) << url;
    return request;
}

// Runs a command line with /bin/sh in a fresh folder (its working directory
// and home), without proxies; answers the folder's entries afterwards.
std::vector<std::string> runInShell(const Ref<NSString>& command)
{
    const auto dir = std::filesystem::temp_directory_path() /
                     ("fmt-shell-" + std::to_string(::getpid()) + "-" + std::to_string(std::rand()));
    std::filesystem::create_directories(dir);
    const std::string line = "cd '" + dir.string() + "' && export HOME='" + dir.string() +
                             "' && unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY && " +
                             command->UTF8String() + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(line.c_str()), 0) << line;
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) entries.push_back(entry.path().filename());
    std::filesystem::remove_all(dir);
    return entries;
}

bool hasEntryStartingWith(const std::vector<std::string>& entries, const std::string& prefix)
{
    for (const auto& e : entries)
        if (e.rfind(prefix, 0) == 0) return true;
    return false;
}

}  // namespace

TEST_F(FormatKitTest, RequestsAndResponsesInOneLine)
{
    auto request = requestFor("http://example.org/a?b=1");
    request->setHTTPMethod("PUT"_ns);
    auto formatter = NSObject::make<FMTURLRequestFormatter>();
    EXPECT_EQ(utf8(formatter->stringFromURLRequest(request)), "PUT 'http://example.org/a?b=1'");
    EXPECT_EQ(utf8(formatter->stringForObjectValue(request)), "<nil>");

    auto response = NSHTTPURLResponse::responseWithURL(NSURL::URLWithString("http://example.org/missing"_ns), 404, {});
    auto responses = NSObject::make<FMTHTTPURLResponseFormatter>();
    EXPECT_EQ(utf8(responses->stringFromHTTPURLResponse(response)), "404 'http://example.org/missing'");
    EXPECT_EQ(utf8(responses->stringForObjectValue(response)), "404 'http://example.org/missing'");
    EXPECT_EQ(utf8(responses->stringForObjectValue(request)), "<nil>");
    Ref<NSString> error;
    EXPECT_FALSE(responses->getObjectValue(nullptr, "404"_ns, &error));
    EXPECT_EQ(utf8(error), "This formatter cannot read text back into a value.");

    auto line = NSMutableString::stringWithString("cmd"_ns);
    NSMutableStringExt::appendCommandLineArgument(line, " \t-v\t "_ns);
    NSMutableStringExt::appendCommandLineArgument(line, "x\n"_ns);
    EXPECT_EQ(utf8(line), "cmd -v x\n");
}

TEST_F(FormatKitTest, CommandLinesOfAnOrdinaryRequestRunAsWritten)
{
    LocalHttpServer server;
    auto request = requestFor(server.url("/x"));
    const std::string url = server.url("/x");
    EXPECT_EQ(utf8(FMTURLRequestFormatter::cURLCommandFromURLRequest(request)), "curl -X GET \"" + url + "\"");
    EXPECT_EQ(utf8(FMTURLRequestFormatter::WgetCommandFromURLRequest(request)), "wget \"" + url + "\"");

    request->setValueForHTTPHeaderField("gzip, deflate"_ns, "Accept-Encoding"_ns);
    request->setValueForHTTPHeaderField("it's"_ns, "X-Note"_ns);
    request->setHTTPMethod("POST"_ns);
    request->setHTTPBody(NSData::dataWithBytes("a=1", 3));
    EXPECT_EQ(utf8(FMTURLRequestFormatter::cURLCommandFromURLRequest(request)),
              "curl -X POST -d \"a=1\" --compressed -H 'Accept-Encoding: gzip, deflate' -H 'X-Note: it'\\''s' \"" +
                  url + "\"");
    EXPECT_EQ(utf8(FMTURLRequestFormatter::WgetCommandFromURLRequest(request)),
              "wget --method=POST --body-data=\"a=1\" --header='Accept-Encoding: gzip, deflate' "
              "--header='X-Note: it'\\''s' \"" +
                  url + "\"");

    request->setHTTPMethod("PUT"_ns);
    try {
        FMTURLRequestFormatter::WgetCommandFromURLRequest(request);
        ADD_FAILURE() << "PUT did not raise";
    } catch (const NSException& e) {
        EXPECT_EQ(utf8(e.name()), "Invalid HTTP Method");
        EXPECT_EQ(utf8(e.reason()), "Wget can only make GET and POST requests");
    }
    EXPECT_EQ(utf8(FMTURLRequestFormatter::cURLCommandFromURLRequest(request)).rfind("curl -X PUT -d", 0), 0u);
}

TEST_F(FormatKitTest, HostileValuesArriveByteForByteAndRunNothing)
{
    const std::string hostile = "it's \"$(touch pwned1)\" `touch pwned2` $HOME \\ \\\" \\$ end";
    const std::string headerName = "X-Odd'$`Name";
    const std::string cookieValue = "v'$(touch pwned3)`touch pwned4`$HOME\\";
    const std::string query = "/q?a='$(touch%20pwned5)'&b=$HOME";
    for (const char* tool : {"curl", "wget"}) {
        SCOPED_TRACE(tool);
        LocalHttpServer server;
        auto request = requestFor(server.url(query));
        request->setHTTPMethod("POST"_ns);
        request->setValueForHTTPHeaderField(NSString::stringWithUTF8String(hostile),
                                            NSString::stringWithUTF8String(headerName));
        const std::string body = "@" + hostile;
        request->setHTTPBody(NSData::dataWithBytes(body.data(), body.size()));
        auto cookie = NSHTTPCookie::cookieWithSetCookieValue("c=" + cookieValue + "; Path=/", request->URL());
        ASSERT_TRUE(cookie);
        NSHTTPCookieStorage::sharedHTTPCookieStorage()->setCookie(cookie);

        const bool curl = std::string(tool) == "curl";
        auto command = curl ? FMTURLRequestFormatter::cURLCommandFromURLRequest(request)
                            : FMTURLRequestFormatter::WgetCommandFromURLRequest(request);
        NSHTTPCookieStorage::sharedHTTPCookieStorage()->deleteCookie(cookie);
        const auto entries = runInShell(command);
        EXPECT_FALSE(hasEntryStartingWith(entries, "pwned")) << "the shell ran a substitution: " << utf8(command);

        ASSERT_TRUE(server.waitForRequests(1)) << utf8(command);
        const auto received = server.requests().at(0);
        EXPECT_EQ(received.method, "POST");
        EXPECT_EQ(received.target, query);
        EXPECT_EQ(received.header(headerName).value_or("<none>"), hostile);
        EXPECT_EQ(received.body, body);
        if (curl) {
            EXPECT_EQ(received.header("Cookie").value_or("<none>"), "c=" + cookieValue);
        }
    }
}
