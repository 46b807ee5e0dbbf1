// The crash reporter's question and dialog in a running application.
#include <gtest/gtest.h>

#include <fstream>

#include "DialogDriving.h"
#include "Foundation/NSURLRequest.h"

using namespace dialog_driving;

namespace {

using CrashReporterDialog = CrashLaunches;

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

}

TEST_F(CrashReporterDialog, ACrashIsOfferedSentByTheSendButtonAndNotOfferedAgain)
{
    crashAChild();
    // An older report before the child's in the same log, and another
    // program's line before the first one of ours in the console log.
    std::string state = root + "/state/" + report_fixture::executable();
    std::vector<std::string> logs;
    for (const auto& entry : std::filesystem::directory_iterator(state + "/CrashReporter"))
        logs.push_back(entry.path());
    ASSERT_EQ(logs.size(), 1u);
    std::string crashLog = readFile(logs[0]);
    ASSERT_EQ(crashLog.rfind("\n\n**********\n\n", 0), 0u);
    writeFile(logs[0], "Process: an earlier crash\nSIGBUS" + crashLog);
    std::string ownReport = crashLog.substr(std::string("\n\n**********\n\n").size());
    writeFile(state + "/console.log", "2026-01-01 00:00:00.000 other[1:1] noise\n" + readFile(state + "/console.log"));

    size_t first = report_fixture::server().requests().size();
    std::string expected;
    launch([&](AppDriver& d) {
        auto alerts = d.alerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].messageText, "Send a crash report?");
        d.key(kReturn);  // Send Report…
        ASSERT_TRUE(d.windowTitled("Crash Report").has_value());
        setDescription(d, "Opened a file,\r\nthen it quit.");
        // What the logs hold now: the report after the last separator, the
        // console from the first line of ours on.
        std::string console = readFile(state + "/console.log");
        size_t ours = console.find(report_fixture::executable() + "[");
        ASSERT_NE(ours, std::string::npos);
        console = console.substr(console.rfind('\n', ours) + 1);
        expected = "--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"crashlog\"\r\n\r\n" + ownReport +
                   "\n\n" + console +
                   "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"description\"\r\n\r\n"
                   "Opened a file,\r\nthen it quit.\r\n--0xKhTmLbOuNdArY--\r\n";
        d.click(buttonPoint(d, "Send"));
        EXPECT_FALSE(d.windowTitled("Crash Report").has_value());
    });
    ASSERT_TRUE(storedDate.has_value());
    ASSERT_TRUE(report_fixture::server().waitForRequests(first + 1));
    std::string body = report_fixture::server().requests().back().body;
    EXPECT_EQ(body, expected);
    EXPECT_NE(body.find("SIGSEGV"), std::string::npos);
    EXPECT_NE(body.find("working on it"), std::string::npos);
    EXPECT_EQ(body.find("an earlier crash"), std::string::npos);
    EXPECT_EQ(body.find("noise"), std::string::npos);
    // A third launch offers nothing.
    launch([](AppDriver& d) { EXPECT_TRUE(d.alerts().empty()); });
}

TEST_F(CrashReporterDialog, DecliningStoresTheDateAndPostsNothing)
{
    crashAChild();
    size_t first = report_fixture::server().requests().size();
    // Declined: no dialog, nothing posted, the date is stored.
    launch([&](AppDriver& d) {
        ASSERT_EQ(d.alerts().size(), 1u);
        d.click(buttonPoint(d, "Don't Send"));
        EXPECT_FALSE(d.windowTitled("Crash Report").has_value());
    });
    EXPECT_TRUE(storedDate.has_value());
    EXPECT_EQ(report_fixture::server().requests().size(), first);
    launch([](AppDriver& d) { EXPECT_TRUE(d.alerts().empty()); });
}

TEST_F(CrashReporterDialog, AFailedPostKeepsTheDialogAndTheLogUntilCancelled)
{
    struct Case {
        const char* name;
        LocalHttpServer::Reply reply;
    } cases[] = {
        {"500", {500, {}, "broken", {}}},
        // Answers well after the request has given up.
        {"time-out", {200, {}, "late", std::chrono::milliseconds(2500)}},
    };
    crashAChild();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        storedDate.reset();  // the same log is offered again
        size_t first = report_fixture::server().requests().size();
        report_fixture::server().addReply(c.reply);
        NSTimeInterval previous = NSURLRequest::setDefaultTimeoutInterval(1);
        launch([&](AppDriver& d) {
            d.key(kReturn);
            ASSERT_TRUE(d.windowTitled("Crash Report").has_value());
            setDescription(d, "It fell over.");
            AlertLog::clear();
            d.click(buttonPoint(d, "Send"));
            auto alerts = d.alerts();
            ASSERT_EQ(alerts.size(), 1u);
            EXPECT_EQ(alerts[0].messageText, "The report was not sent");
            d.key(kReturn);  // OK
            EXPECT_TRUE(d.windowTitled("Crash Report").has_value());
            auto [report, description] = reportTexts(d);
            EXPECT_NE(report.find("SIGSEGV"), std::string::npos);
            EXPECT_EQ(description, "It fell over.");
            // Not stored: a program that ends now offers the log again.
            EXPECT_FALSE(dateIsStored(d));
            d.click(buttonPoint(d, "Cancel"));
            EXPECT_FALSE(d.windowTitled("Crash Report").has_value());
        });
        NSURLRequest::setDefaultTimeoutInterval(previous);
        EXPECT_TRUE(report_fixture::server().waitForRequests(first + 1));
        EXPECT_TRUE(storedDate.has_value());  // cancelling stores it
        // The server answers one request at a time: this one is answered once
        // the late reply is out, so later tests find it free.
        EXPECT_EQ(ZAKMultipartForm::post(NSString::stringWithUTF8String(report_fixture::server().url("/free")), "T", {},
                                         false),
                  ZAKMultipartForm::PostResult::Sent);
    }
}
