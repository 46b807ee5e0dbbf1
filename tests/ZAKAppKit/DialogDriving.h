#pragma once
// Driving the crash reporter and the feedback dialog in a running program:
// finding their controls, reading and writing the feedback form, and a
// fixture that crashes a child and launches the program again.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "AppHarness.h"
#include "AppKit/AlertLog.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSComboBox.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSWindow.h"
#include "Foundation/CrashLogWriter.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSUserDefaults.h"
#include "ReportFixture.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"

namespace dialog_driving {

constexpr uint16_t kReturn = 36;

template <class T> Ref<T> findView(const Ref<NSView>& view, const std::function<bool(const Ref<T>&)>& matches = nullptr)
{
    if (auto found = dynamic_ref_cast<T>(view); found && (!matches || matches(found))) return found;
    for (const auto& subview : view->subviews())
        if (auto found = findView<T>(subview, matches)) return found;
    return nullptr;
}

// The middle of a visible button with that title, in screen points.
inline NSPoint buttonPoint(AppDriver& d, const std::string& title)
{
    NSPoint point = NSZeroPoint;
    d.onMain([&] {
        for (const auto& window : NSApp->windows()) {
            if (!window->isVisible() || !window->contentView()) continue;
            auto button = findView<NSButton>(window->contentView(),
                                             [&](const Ref<NSButton>& b) { return b->title()->UTF8String() == title; });
            if (!button) continue;
            NSRect onScreen = window->convertRectToScreen(button->convertRectToView(button->bounds(), nullptr));
            point = NSMakePoint(NSMidX(onScreen), NSMidY(onScreen));
        }
    });
    EXPECT_NE(point.x, 0) << "no button " << title;
    return point;
}

// --- The feedback dialog ---

inline Ref<NSWindow> feedbackWindow()
{
    for (const auto& window : NSApp->windows())
        if (window->title()->UTF8String() == "Feedback" && window->contentView()) return window;
    return nullptr;
}

struct Form {
    std::string subject, address, message;
    bool copy = false;
};

inline Ref<NSTextField> addressField(const Ref<NSView>& content)
{
    return findView<NSTextField>(
        content, [](const Ref<NSTextField>& f) { return f->isEditable() && !dynamic_ref_cast<NSComboBox>(f); });
}

inline Ref<NSButton> copyBox(const Ref<NSView>& content)
{
    return findView<NSButton>(content,
                              [](const Ref<NSButton>& b) { return b->title()->isEqualToString("Send me a copy"_ns); });
}

// Reads the dialog's fields on the main thread.
inline Form readForm(AppDriver& d)
{
    Form form;
    d.onMain([&] {
        Ref<NSView> content = feedbackWindow()->contentView();
        form.subject = findView<NSComboBox>(content)->stringValue()->UTF8String();
        form.address = addressField(content)->stringValue()->UTF8String();
        auto scroll = findView<NSScrollView>(content);
        form.message = dynamic_ref_cast<NSString>(scroll->documentView()->valueForKey("string"_ns))->UTF8String();
        form.copy = copyBox(content)->state() != NSOffState;
    });
    return form;
}

inline void writeForm(AppDriver& d, const Form& form)
{
    d.onMain([&] {
        Ref<NSView> content = feedbackWindow()->contentView();
        findView<NSComboBox>(content)->setStringValue(NSString::stringWithUTF8String(form.subject));
        addressField(content)->setStringValue(NSString::stringWithUTF8String(form.address));
        findView<NSScrollView>(content)->documentView()->setValueForKey(NSString::stringWithUTF8String(form.message),
                                                                        "string"_ns);
        copyBox(content)->setState(form.copy ? NSOnState : NSOffState);
    });
}

// --- The crash reporter ---

// The texts of the crash report dialog's two text views: the report and the
// user's description.
inline std::pair<std::string, std::string> reportTexts(AppDriver& d)
{
    std::pair<std::string, std::string> texts;
    d.onMain([&] {
        for (const auto& window : NSApp->windows()) {
            if (!window->isVisible() || window->title()->UTF8String() != "Crash Report") continue;
            std::vector<std::string> found;
            std::function<void(const Ref<NSView>&)> walk = [&](const Ref<NSView>& view) {
                if (auto scroll = dynamic_ref_cast<NSScrollView>(view)) {
                    if (auto text = dynamic_ref_cast<NSString>(scroll->documentView()->valueForKey("string"_ns)))
                        found.push_back(text->UTF8String());
                    return;
                }
                for (const auto& subview : view->subviews()) walk(subview);
            };
            walk(window->contentView());
            if (found.size() == 2) texts = {found[0], found[1]};
        }
    });
    return texts;
}

inline void setDescription(AppDriver& d, const std::string& text)
{
    d.onMain([&] {
        for (const auto& window : NSApp->windows()) {
            if (!window->isVisible() || window->title()->UTF8String() != "Crash Report") continue;
            int index = 0;
            std::function<void(const Ref<NSView>&)> walk = [&](const Ref<NSView>& view) {
                if (auto scroll = dynamic_ref_cast<NSScrollView>(view)) {
                    if (index++ == 1)
                        scroll->documentView()->setValueForKey(NSString::stringWithUTF8String(text), "string"_ns);
                    return;
                }
                for (const auto& subview : view->subviews()) walk(subview);
            };
            walk(window->contentView());
        }
    });
}

// A child built on the layer that dies of SIGSEGV after one console line,
// and launches of the program that check for its log.
class CrashLaunches : public testing::Test {
protected:
    void SetUp() override
    {
        report_fixture::installBundle();
        ::setenv("XDG_STATE_HOME", (root + "/state").c_str(), 1);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    void crashAChild(const char* line = "working on it")
    {
        pid_t child = ::fork();
        if (child == 0) {
            CrashLogWriter::install();
            NSLog("%s", line);
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
    void launch(const std::function<void(AppDriver&)>& body)
    {
        AlertLog::clear();
        int result =
            AppHarness::run([] { return NSApplicationMain(0, nullptr); },
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
                                    if (value)
                                        storedDate = NSUserDefaults::standardUserDefaults()->doubleForKey(dateKey());
                                });
                            });
        EXPECT_EQ(result, 0);
    }
    static bool dateIsStored(AppDriver& d)
    {
        bool stored = true;
        d.onMain([&] { stored = NSUserDefaults::standardUserDefaults()->objectForKey(dateKey()) != nullptr; });
        return stored;
    }
    static Ref<NSString> dateKey() { return "ZAKCrashReporterLastCrashReportDate"_ns; }
    std::optional<double> storedDate;

    std::string root = [] {
        std::string pattern = std::filesystem::temp_directory_path() / "zak-dialog-XXXXXX";
        return std::string(::mkdtemp(pattern.data()));
    }();
};

}
