// The feedback dialog in a running application: what reaches the server and
// what the dialog keeps after each outcome.
#include <gtest/gtest.h>

#include "AppHarness.h"
#include "AppKit/NSAlertLog.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSComboBox.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSURLRequest.h"
#include "Foundation/NSUserDefaults.h"
#include "ReportFixture.h"
#include "ZAKAppKit/ZAKFeedbackProvider/ZAKFeedbackProvider.h"

namespace {

constexpr uint16_t kReturn = 36;

template <class T>
Ref<T> findView(const Ref<NSView>& view, const std::function<bool(const Ref<T>&)>& matches = nullptr) {
    if (auto found = dynamic_ref_cast<T>(view); found && (!matches || matches(found))) return found;
    for (const auto& subview : view->subviews())
        if (auto found = findView<T>(subview, matches)) return found;
    return nullptr;
}

Ref<NSWindow> feedbackWindow() {
    for (const auto& window : NSApp->windows())
        if (window->title()->UTF8String() == "Feedback" && window->contentView()) return window;
    return nullptr;
}

struct Form {
    std::string subject, address, message;
    bool copy = false;
};

// Reads and writes the dialog's fields on the main thread.
Form read(AppDriver& d) {
    Form form;
    d.onMain([&] {
        Ref<NSView> content = feedbackWindow()->contentView();
        form.subject = findView<NSComboBox>(content)->stringValue()->UTF8String();
        form.address = findView<NSTextField>(content, [](const Ref<NSTextField>& f) { return f->isEditable() && !dynamic_ref_cast<NSComboBox>(f); })
                           ->stringValue()->UTF8String();
        auto scroll = findView<NSScrollView>(content);
        form.message = dynamic_ref_cast<NSString>(scroll->documentView()->valueForKey("string"_ns))->UTF8String();
        form.copy = findView<NSButton>(content, [](const Ref<NSButton>& b) { return b->title()->isEqualToString("Send me a copy"_ns); })
                        ->state() != NSOffState;
    });
    return form;
}

void write(AppDriver& d, const Form& form) {
    d.onMain([&] {
        Ref<NSView> content = feedbackWindow()->contentView();
        findView<NSComboBox>(content)->setStringValue(NSString::stringWithUTF8String(form.subject));
        findView<NSTextField>(content, [](const Ref<NSTextField>& f) { return f->isEditable() && !dynamic_ref_cast<NSComboBox>(f); })
            ->setStringValue(NSString::stringWithUTF8String(form.address));
        findView<NSScrollView>(content)->documentView()->setValueForKey(NSString::stringWithUTF8String(form.message), "string"_ns);
        findView<NSButton>(content, [](const Ref<NSButton>& b) { return b->title()->isEqualToString("Send me a copy"_ns); })
            ->setState(form.copy ? NSOnState : NSOffState);
    });
}

NSPoint buttonPoint(AppDriver& d, const char* title) {
    NSPoint point = NSZeroPoint;
    d.onMain([&] {
        Ref<NSWindow> window = feedbackWindow();
        auto button = findView<NSButton>(window->contentView(), [&](const Ref<NSButton>& b) {
            return b->title()->UTF8String() == title;
        });
        NSRect onScreen = window->convertRectToScreen(button->convertRectToView(button->bounds(), nullptr));
        point = NSMakePoint(NSMidX(onScreen), NSMidY(onScreen));
    });
    return point;
}

class FeedbackDialog : public testing::Test {
protected:
    void SetUp() override { report_fixture::installBundle(); }
};

}

TEST_F(FeedbackDialog, EachOutcomeGivesItsAlertAndOnlySuccessClearsTheDialog) {
    struct Case {
        const char* name;
        std::optional<LocalHttpServer::Reply> reply;  // none: the server is too slow
        const char* title;
        bool closed;
    } cases[] = {
        {"200", LocalHttpServer::Reply{200, {}, "ok", {}}, "Thank you", true},
        {"500", LocalHttpServer::Reply{500, {}, "error page", {}}, "Your message was not sent", false},
        {"time-out", LocalHttpServer::Reply{200, {}, "late", std::chrono::milliseconds(1500)}, "Your message was not sent", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NSAlertLog::clear();
        report_fixture::server().addReply(*c.reply);
        size_t first = report_fixture::server().requests().size();
        int result = AppHarness::run([] { return NSApplicationMain(0, nullptr); }, [&](AppDriver& d) {
            NSURLRequest::setDefaultTimeoutInterval(0.5);
            d.post([] { ZAKFeedbackProvider::showFeedbackProviderDialog(); });
            // First use: empty address, the copy box on.
            Form opened = read(d);
            EXPECT_EQ(opened.address, "");
            EXPECT_TRUE(opened.copy);
            EXPECT_EQ(opened.subject, "Question");
            Form typed{"Bug report", "me@example.invalid", "It broke\ntwice.", false};
            write(d, typed);
            d.click(buttonPoint(d, "Send"));
            auto alerts = d.alerts();
            ASSERT_EQ(alerts.size(), 1u);
            EXPECT_EQ(alerts[0].messageText, c.title);
            d.key(kReturn);
            EXPECT_EQ(d.windowTitled("Feedback").has_value(), !c.closed);
            if (!c.closed) {
                Form kept = read(d);
                EXPECT_EQ(kept.subject, typed.subject);
                EXPECT_EQ(kept.address, typed.address);
                EXPECT_EQ(kept.message, typed.message);
                d.click(buttonPoint(d, "Cancel"));
                EXPECT_FALSE(d.windowTitled("Feedback").has_value());
            }
            // The address and the copy choice are remembered either way.
            d.post([] { ZAKFeedbackProvider::showFeedbackProviderDialog(); });
            Form again = read(d);
            EXPECT_EQ(again.address, "me@example.invalid");
            EXPECT_FALSE(again.copy);
            EXPECT_EQ(again.message, "");
            d.click(buttonPoint(d, "Cancel"));
        });
        EXPECT_EQ(result, 0);
        ASSERT_TRUE(report_fixture::server().waitForRequests(first + 1));
        auto request = report_fixture::server().requests()[first];
        EXPECT_NE(request.body.find("name=\"subject\"\r\n\r\n[Plumbline] Bug report\r\n"), std::string::npos);
        EXPECT_NE(request.body.find("name=\"message\"\r\n\r\nIt broke\ntwice.\r\n"), std::string::npos);
    }
}
