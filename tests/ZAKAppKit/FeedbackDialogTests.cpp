// The feedback dialog in a running application: what reaches the server and
// what the dialog keeps after each outcome.
#include <gtest/gtest.h>

#include "DialogDriving.h"
#include "Foundation/NSURLRequest.h"
#include "ZAKAppKit/ZAKFeedbackProvider/ZAKFeedbackProvider.h"

using namespace dialog_driving;

namespace {

class FeedbackDialog : public testing::Test {
protected:
    void SetUp() override { report_fixture::installBundle(); }
};

}

TEST_F(FeedbackDialog, EachOutcomeGivesItsAlertAndOnlySuccessClearsTheDialog)
{
    struct Case {
        const char* name;
        std::optional<LocalHttpServer::Reply> reply;  // none: the server is too slow
        const char* title;
        bool closed;
    } cases[] = {
        {"200", LocalHttpServer::Reply{200, {}, "ok", {}}, "Thank you", true},
        {"500", LocalHttpServer::Reply{500, {}, "error page", {}}, "Your message was not sent", false},
        {"time-out", LocalHttpServer::Reply{200, {}, "late", std::chrono::milliseconds(1500)},
         "Your message was not sent", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AlertLog::clear();
        report_fixture::server().addReply(*c.reply);
        size_t first = report_fixture::server().requests().size();
        NSTimeInterval previous = NSURLRequest::setDefaultTimeoutInterval(0.5);
        int result = AppHarness::run([] { return NSApplicationMain(0, nullptr); },
                                     [&](AppDriver& d) {
                                         d.post([] { ZAKFeedbackProvider::showFeedbackProviderDialog(); });
                                         // First use: empty address, the copy box on.
                                         Form opened = readForm(d);
                                         EXPECT_EQ(opened.address, "");
                                         EXPECT_TRUE(opened.copy);
                                         EXPECT_EQ(opened.subject, "Question");
                                         Form typed{"Bug report", "me@example.invalid", "It broke\ntwice.", false};
                                         writeForm(d, typed);
                                         d.click(buttonPoint(d, "Send"));
                                         auto alerts = d.alerts();
                                         ASSERT_EQ(alerts.size(), 1u);
                                         EXPECT_EQ(alerts[0].messageText, c.title);
                                         d.key(kReturn);
                                         EXPECT_EQ(d.windowTitled("Feedback").has_value(), !c.closed);
                                         if (!c.closed) {
                                             Form kept = readForm(d);
                                             EXPECT_EQ(kept.subject, typed.subject);
                                             EXPECT_EQ(kept.address, typed.address);
                                             EXPECT_EQ(kept.message, typed.message);
                                             d.click(buttonPoint(d, "Cancel"));
                                             EXPECT_FALSE(d.windowTitled("Feedback").has_value());
                                         }
                                         // The address and the copy choice are remembered either way.
                                         d.post([] { ZAKFeedbackProvider::showFeedbackProviderDialog(); });
                                         Form again = readForm(d);
                                         EXPECT_EQ(again.address, "me@example.invalid");
                                         EXPECT_FALSE(again.copy);
                                         EXPECT_EQ(again.message, "");
                                         d.click(buttonPoint(d, "Cancel"));
                                     });
        NSURLRequest::setDefaultTimeoutInterval(previous);
        EXPECT_EQ(result, 0);
        ASSERT_TRUE(report_fixture::server().waitForRequests(first + 1));
        auto request = report_fixture::server().requests()[first];
        EXPECT_NE(request.body.find("name=\"subject\"\r\n\r\n[Plumbline] Bug report\r\n"), std::string::npos);
        EXPECT_NE(request.body.find("name=\"message\"\r\n\r\nIt broke\ntwice.\r\n"), std::string::npos);
    }
}
