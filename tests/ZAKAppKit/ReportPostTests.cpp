#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "Foundation/NSURLRequest.h"
#include "ReportFixture.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"
#include "ZAKAppKit/ZAKFeedbackProvider/ZAKFeedbackProvider.h"

using namespace std::chrono_literals;
using ZAKMultipartForm::PostResult;

namespace {

// An independent reading of a multipart/form-data body: the boundary comes
// from the Content-Type header, parts are split at CR LF "--" boundary.
std::vector<std::pair<std::string, std::string>> parseMultipart(const std::string& contentType, std::string body)
{
    std::vector<std::pair<std::string, std::string>> fields;
    const std::string key = "boundary=";
    auto at = contentType.find(key);
    if (at == std::string::npos) return fields;
    std::string delimiter = "--" + contentType.substr(at + key.size());
    // The feedback preamble stands before the first delimiter line.
    auto first = body.find(delimiter + "\r\n");
    if (first == std::string::npos) return fields;
    body = "\r\n" + body.substr(first);
    std::string separator = "\r\n" + delimiter;
    size_t pos = 0;
    while (true) {
        size_t start = body.find(separator, pos);
        if (start == std::string::npos) break;
        start += separator.size();
        if (body.compare(start, 2, "--") == 0) break;  // closing delimiter
        start += 2;                                    // CR LF after the delimiter
        size_t headerEnd = body.find("\r\n\r\n", start);
        size_t next = body.find(separator, headerEnd);
        std::string header = body.substr(start, headerEnd - start);
        auto nameAt = header.find("name=\"");
        std::string name = header.substr(nameAt + 6, header.find('"', nameAt + 6) - nameAt - 6);
        fields.emplace_back(name, body.substr(headerEnd + 4, next - headerEnd - 4));
        pos = next;
    }
    return fields;
}

class ReportPost : public testing::Test {
protected:
    void SetUp() override
    {
        report_fixture::installBundle();
        first = report_fixture::server().requests().size();
    }
    LocalHttpServer::Request lastRequest()
    {
        auto& server = report_fixture::server();
        EXPECT_TRUE(server.waitForRequests(first + 1));
        return server.requests().back();
    }
    size_t first = 0;
};

}

TEST_F(ReportPost, TheCrashReportBodyIsTheFormAsWritten)
{
    EXPECT_EQ(ZAKCrashReporter::sendReport("line 1\nline 2"_ns, "I clicked \"Go\""_ns), PostResult::Sent);
    auto request = lastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/crash");
    EXPECT_EQ(request.header("User-Agent"), "ZAKCrashReporter");
    EXPECT_EQ(request.header("Content-Type"), "multipart/form-data; boundary=0xKhTmLbOuNdArY");
    EXPECT_FALSE(request.header("Expect").has_value());
    EXPECT_EQ(request.body, "--0xKhTmLbOuNdArY\r\n"
                            "Content-Disposition: form-data; name=\"crashlog\"\r\n\r\n"
                            "line 1\nline 2"
                            "\r\n--0xKhTmLbOuNdArY\r\n"
                            "Content-Disposition: form-data; name=\"description\"\r\n\r\n"
                            "I clicked \"Go\""
                            "\r\n--0xKhTmLbOuNdArY--\r\n");
}

TEST_F(ReportPost, TheFeedbackBodyHasItsPreambleAndPrefixedSubject)
{
    Ref<NSString> subject = ZAKFeedbackProvider::subjectWithPrefix("Bug report"_ns);
    EXPECT_EQ(ZAKFeedbackProvider::sendFeedback(subject, "me@example.invalid"_ns, "Hello\r\nthere \xC3\xA9"_ns, false),
              PostResult::Sent);
    auto request = lastRequest();
    EXPECT_EQ(request.target, "/feedback");
    EXPECT_EQ(request.header("User-Agent"), "ZAKFeedbackProvider");
    EXPECT_EQ(request.header("Content-Type"), "multipart/form-data; boundary=0xKhTmLbOuNdArY");
    EXPECT_FALSE(request.header("Expect").has_value());
    EXPECT_EQ(request.body, "Content-Type: multipart/form-data; boundary=0xKhTmLbOuNdArY\r\n\r\n"
                            "--0xKhTmLbOuNdArY\r\n"
                            "Content-Disposition: form-data; name=\"subject\"\r\n\r\n[Plumbline] Bug report"
                            "\r\n--0xKhTmLbOuNdArY\r\n"
                            "Content-Disposition: form-data; name=\"from\"\r\n\r\nme@example.invalid"
                            "\r\n--0xKhTmLbOuNdArY\r\n"
                            "Content-Disposition: form-data; name=\"message\"\r\n\r\nHello\r\nthere \xC3\xA9"
                            "\r\n--0xKhTmLbOuNdArY\r\n"
                            "Content-Disposition: form-data; name=\"sendmeacopy\"\r\n\r\nNO"
                            "\r\n--0xKhTmLbOuNdArY\r\n"
                            "Content-Disposition: form-data; name=\"appversion\"\r\n\r\n2.3.1"
                            "\r\n--0xKhTmLbOuNdArY--\r\n");
}

TEST_F(ReportPost, AValueHoldingTheBoundaryGetsAFreshBoundaryAndParsesBack)
{
    const std::string hostile =
        "text\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"from\"\r\n\r\nevil";
    std::set<std::string> boundaries;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(
            ZAKFeedbackProvider::sendFeedback("S"_ns, "a@b.invalid"_ns, NSString::stringWithUTF8String(hostile), true),
            PostResult::Sent);
        auto request = report_fixture::server().waitForRequests(first + round + 1)
                           ? report_fixture::server().requests().back()
                           : LocalHttpServer::Request{};
        std::string contentType = request.header("Content-Type").value_or("");
        std::string boundary = contentType.substr(contentType.find("boundary=") + 9);
        EXPECT_NE(boundary, "0xKhTmLbOuNdArY");
        EXPECT_EQ(hostile.find(boundary), std::string::npos);
        boundaries.insert(boundary);
        // The preamble names the same boundary as the header.
        EXPECT_EQ(request.body.rfind("Content-Type: " + contentType + "\r\n\r\n--" + boundary + "\r\n", 0), 0u);
        std::vector<std::pair<std::string, std::string>> expected = {{"subject", "S"},
                                                                     {"from", "a@b.invalid"},
                                                                     {"message", hostile},
                                                                     {"sendmeacopy", "YES"},
                                                                     {"appversion", "2.3.1"}};
        EXPECT_EQ(parseMultipart(contentType, request.body), expected);
    }
    EXPECT_EQ(boundaries.size(), 2u);

    // A crash log holding it: the same, without the preamble.
    ASSERT_EQ(ZAKCrashReporter::sendReport(NSString::stringWithUTF8String(hostile), "d"_ns), PostResult::Sent);
    ASSERT_TRUE(report_fixture::server().waitForRequests(first + 3));
    auto request = report_fixture::server().requests().back();
    std::string contentType = request.header("Content-Type").value_or("");
    std::string boundary = contentType.substr(contentType.find("boundary=") + 9);
    EXPECT_NE(boundary, "0xKhTmLbOuNdArY");
    EXPECT_EQ(request.body.rfind("--" + boundary + "\r\n", 0), 0u);
    std::vector<std::pair<std::string, std::string>> expected = {{"crashlog", hostile}, {"description", "d"}};
    EXPECT_EQ(parseMultipart(contentType, request.body), expected);
}

TEST(ReportForm, TheOutcomeOfAPostFollowsTheServersAnswer)
{
    ZAKMultipartForm::Fields fields = {{"crashlog", "x"}};
    {
        LocalHttpServer server(
            {{200, {}, "thanks", {}}, {500, {}, "broken", {}}, LocalHttpServer::Reply::redirect(302, "/ok")});
        auto address = NSString::stringWithUTF8String(server.url("/form"));
        EXPECT_EQ(ZAKMultipartForm::post(address, "T", fields, false), PostResult::Sent);
        EXPECT_EQ(ZAKMultipartForm::post(address, "T", fields, false), PostResult::Failed);
        // A redirect to a 2xx page (the fourth request answers 200) counts as sent.
        EXPECT_EQ(ZAKMultipartForm::post(address, "T", fields, false), PostResult::Sent);
    }
    {
        RefusingLocalPort refusing;
        EXPECT_EQ(ZAKMultipartForm::post(NSString::stringWithUTF8String(refusing.url("/form")), "T", fields, false),
                  PostResult::Failed);
    }
    {
        LocalHttpServer slow({{200, {}, "late", 2s}});
        NSTimeInterval previous = NSURLRequest::setDefaultTimeoutInterval(0.5);
        EXPECT_EQ(ZAKMultipartForm::post(NSString::stringWithUTF8String(slow.url("/form")), "T", fields, false),
                  PostResult::Failed);
        NSURLRequest::setDefaultTimeoutInterval(previous);
    }
    EXPECT_EQ(ZAKMultipartForm::post(nullptr, "T", fields, false), PostResult::NoAddress);
    EXPECT_EQ(ZAKMultipartForm::post(""_ns, "T", fields, false), PostResult::NoAddress);
}
