// Both dialogs posting to an address where nobody listens. This program's
// bundle names a refusing loopback port for both web forms, so it is a test
// program of its own.
#include <gtest/gtest.h>

#include "DialogDriving.h"
#include "ZAKAppKit/ZAKFeedbackProvider/ZAKFeedbackProvider.h"

using namespace dialog_driving;

namespace {

const RefusingLocalPort& refusingPort()
{
    static const RefusingLocalPort port;
    return port;
}

class RefusedCrashReport : public CrashLaunches {
protected:
    void SetUp() override
    {
        report_fixture::installBundle(refusingPort().url(""));
        CrashLaunches::SetUp();
    }
};

class RefusedFeedback : public testing::Test {
protected:
    void SetUp() override { report_fixture::installBundle(refusingPort().url("")); }
};

}

TEST_F(RefusedCrashReport, ARefusedPostKeepsTheDialogAndTheLogIsOfferedAgain)
{
    crashAChild();
    // The user sends, is told it failed, and quits with the dialog open.
    launch([&](AppDriver& d) {
        ASSERT_EQ(d.alerts().size(), 1u);
        d.key(kReturn);  // Send Report…
        ASSERT_TRUE(d.windowTitled("Crash Report").has_value());
        setDescription(d, "Clicked twice.");
        AlertLog::clear();
        d.click(buttonPoint(d, "Send"));
        auto alerts = d.alerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].messageText, "The report was not sent");
        // Tried and refused, not skipped for want of an address.
        EXPECT_NE(alerts[0].informativeText.find("could not be delivered"), std::string::npos);
        d.key(kReturn);  // OK
        EXPECT_TRUE(d.windowTitled("Crash Report").has_value());
        auto [report, description] = reportTexts(d);
        EXPECT_NE(report.find("SIGSEGV"), std::string::npos);
        EXPECT_EQ(description, "Clicked twice.");
        EXPECT_FALSE(dateIsStored(d));
    });
    EXPECT_FALSE(storedDate.has_value());
    // The next launch offers the same log; declining stores the date.
    launch([&](AppDriver& d) {
        auto alerts = d.alerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].messageText, "Send a crash report?");
        d.click(buttonPoint(d, "Don't Send"));
    });
    EXPECT_TRUE(storedDate.has_value());
    launch([](AppDriver& d) { EXPECT_TRUE(d.alerts().empty()); });
}

TEST_F(RefusedFeedback, ARefusedPostShowsTheErrorAndKeepsWhatWasTyped)
{
    int result =
        AppHarness::run([] { return NSApplicationMain(0, nullptr); },
                        [&](AppDriver& d) {
                            d.post([] { ZAKFeedbackProvider::showFeedbackProviderDialog(); });
                            Form typed{"Bug report", "me@example.invalid", "Line one\r\nline two", true};
                            writeForm(d, typed);
                            AlertLog::clear();
                            d.click(buttonPoint(d, "Send"));
                            auto alerts = d.alerts();
                            ASSERT_EQ(alerts.size(), 1u);
                            EXPECT_EQ(alerts[0].messageText, "Your message was not sent");
                            EXPECT_NE(alerts[0].informativeText.find("could not be delivered"), std::string::npos);
                            d.key(kReturn);
                            ASSERT_TRUE(d.windowTitled("Feedback").has_value());
                            Form kept = readForm(d);
                            EXPECT_EQ(kept.subject, typed.subject);
                            EXPECT_EQ(kept.address, typed.address);
                            EXPECT_EQ(kept.message, typed.message);
                            EXPECT_TRUE(kept.copy);
                            d.click(buttonPoint(d, "Cancel"));
                            EXPECT_FALSE(d.windowTitled("Feedback").has_value());
                        });
    EXPECT_EQ(result, 0);
}
