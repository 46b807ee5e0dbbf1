// The crash reporter's question and dialog in a running application.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/wait.h>
#include <utime.h>

#include <csignal>
#include <thread>

#include "AppHarness.h"
#include "AppKit/NSAlertLog.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSCrashLogWriter.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSURLRequest.h"
#include "Foundation/NSUserDefaults.h"
#include "ReportFixture.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"

using namespace std::chrono_literals;

namespace {

constexpr uint16_t kReturn = 36;

Ref<NSButton> findButton(const Ref<NSView>& view, const std::string& title) {
    if (auto button = dynamic_ref_cast<NSButton>(view); button && button->title()->UTF8String() == title) return button;
    for (const auto& subview : view->subviews())
        if (auto found = findButton(subview, title)) return found;
    return nullptr;
}

// The middle of a visible button with that title, in screen points.
NSPoint buttonPoint(AppDriver& d, const std::string& title) {
    NSPoint point = NSZeroPoint;
    d.onMain([&] {
        for (const auto& window : NSApp->windows()) {
            if (!window->isVisible() || !window->contentView()) continue;
            Ref<NSButton> button = findButton(window->contentView(), title);
            if (!button) continue;
            NSRect inWindow = button->convertRectToView(button->bounds(), nullptr);
            NSRect onScreen = window->convertRectToScreen(inWindow);
            point = NSMakePoint(NSMidX(onScreen), NSMidY(onScreen));
        }
    });
    EXPECT_NE(point.x, 0) << "no button " << title;
    return point;
}

class CrashReporterDialog : public testing::Test {
protected:
    void SetUp() override {
        report_fixture::installBundle();
        ::setenv("XDG_STATE_HOME", (root + "/state").c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    // A child built on the layer that dies of SIGSEGV after one console line.
    void crashAChild() {
        pid_t child = ::fork();
        if (child == 0) {
            NSCrashLogWriter::install();
            NSLog("working on it");
            void* page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            static_cast<volatile char*>(page)[16] = 1;
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        ASSERT_EQ(WTERMSIG(status), SIGSEGV);
    }
    // A launch: the program checks for a crash; the body answers. The
    // harness gives each run fresh defaults, so the stored check date is
    // carried from one launch to the next here.
    void launch(const std::function<void(AppDriver&)>& body) {
        NSAlertLog::clear();
        int result = AppHarness::run([] { return NSApplicationMain(0, nullptr); },
                                     [&](AppDriver& d) {
                                         d.onMain([&] {
                                             if (storedDate)
                                                 NSUserDefaults::standardUserDefaults()->setDouble(*storedDate, dateKey());
                                         });
                                         d.post([] { ZAKCrashReporter::checkForCrash(); });
                                         body(d);
                                         d.onMain([&] {
                                             Id value = NSUserDefaults::standardUserDefaults()->objectForKey(dateKey());
                                             storedDate.reset();
                                             if (value) storedDate = NSUserDefaults::standardUserDefaults()->doubleForKey(dateKey());
                                         });
                                     });
        EXPECT_EQ(result, 0);
    }
    static Ref<NSString> dateKey() { return "ZAKCrashReporterLastCrashReportDate"_ns; }
    std::optional<double> storedDate;

    std::string root = [] {
        std::string pattern = std::filesystem::temp_directory_path() / "zak-dialog-XXXXXX";
        return std::string(::mkdtemp(pattern.data()));
    }();
};

}

TEST_F(CrashReporterDialog, ACrashIsOfferedSentByTheSendButtonAndNotOfferedAgain) {
    crashAChild();
    size_t first = report_fixture::server().requests().size();
    launch([&](AppDriver& d) {
        auto alerts = d.alerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].messageText, "Send a crash report?");
        d.key(kReturn);  // Send Report…
        ASSERT_TRUE(d.windowTitled("Crash Report").has_value());
        d.click(buttonPoint(d, "Send"));
        EXPECT_FALSE(d.windowTitled("Crash Report").has_value());
    });
    ASSERT_TRUE(storedDate.has_value());
    ASSERT_TRUE(report_fixture::server().waitForRequests(first + 1));
    std::string body = report_fixture::server().requests().back().body;
    EXPECT_NE(body.find("SIGSEGV"), std::string::npos);
    EXPECT_EQ(body.find("\n\n**********\n\n"), std::string::npos);
    EXPECT_NE(body.find(report_fixture::executable() + "["), std::string::npos);
    EXPECT_NE(body.find("working on it"), std::string::npos);
    // A third launch offers nothing.
    launch([](AppDriver& d) { EXPECT_TRUE(d.alerts().empty()); });
}

TEST_F(CrashReporterDialog, DecliningStoresTheDateAndPostsNothing) {
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

TEST_F(CrashReporterDialog, AFailedPostKeepsTheDialogAndTheLogUntilCancelled) {
    crashAChild();
    size_t first = report_fixture::server().requests().size();
    report_fixture::server().addReply({500, {}, "broken", {}});
    launch([&](AppDriver& d) {
        d.key(kReturn);
        ASSERT_TRUE(d.windowTitled("Crash Report").has_value());
        NSAlertLog::clear();
        d.click(buttonPoint(d, "Send"));
        auto alerts = d.alerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].messageText, "The report was not sent");
        d.key(kReturn);  // OK
        EXPECT_TRUE(d.windowTitled("Crash Report").has_value());
        // Not stored: a program that ends now offers the log again.
        bool stored = true;
        d.onMain([&] { stored = NSUserDefaults::standardUserDefaults()->objectForKey(dateKey()) != nullptr; });
        EXPECT_FALSE(stored);
        d.click(buttonPoint(d, "Cancel"));
        EXPECT_FALSE(d.windowTitled("Crash Report").has_value());
    });
    EXPECT_EQ(report_fixture::server().requests().size(), first + 1);
    EXPECT_TRUE(storedDate.has_value());  // cancelling stores it
}
