// Alerts the user can switch off: suppressed alerts answer at once, shown
// ones report 1, 0 or -1 alike as sheets and modally, a ticked box is
// remembered per identifier, and each alert lets go of its runner when it ends.
#include "AppKit/AlertLog.h"
#include "AppKit/NSApplicationSheets.h"
#include "AppKitExtensions/ZAKNSAlert.Extensions.h"
#include "Foundation/NSUserDefaults.h"
#include "FoundationExtensions/NSUserDefaults+ZAKAppKitSuppressAlertsAndWarnings.h"
#include "TemporaryFolder.h"
#include "WindowingFixture.h"

NS_CLASS_DEFINE(RecordingView)

namespace {

class AlertExtensions : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        NSUserDefaults::resetStandardUserDefaults();
        AlertLog::clear();
    }
    void TearDown() override
    {
        WindowingTest::TearDown();
        NSUserDefaults::resetStandardUserDefaults();
    }
    static Ref<NSUserDefaults> defaults() { return NSUserDefaults::standardUserDefaults(); }

    static void clickAt(NSPoint p)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, p);
        server().injectMouse(NSEventTypeLeftMouseUp, p);
    }
    static void clickButton(const Ref<NSAlert>& alert, size_t index)
    {
        auto b = alert->buttons()[index];
        clickAt(alert->window()->convertBaseToScreen(
            b->convertPointToView(NSMakePoint(NSMidX(b->bounds()), NSMidY(b->bounds())), nullptr)));
    }
    static void tickBox()
    {
        const NSRect box = AlertLog::all().back().suppressionButtonFrame;
        clickAt(NSMakePoint(box.origin.x + 8, NSMidY(box)));
    }

    // Shows the alert as a sheet or modally; the user ticks the box when
    // asked and presses the button. Answers the block's code (or 99 when it
    // was not called).
    NSInteger show(const Ref<NSAlert>& alert, bool sheet, const Ref<NSString>& identifier, size_t button,
                   bool tick = false)
    {
        NSInteger answered = 99;
        auto handler = [&](const Ref<NSAlert>& a, NSInteger code) {
            EXPECT_EQ(a, alert);
            answered = code;
        };
        auto user = [&] {
            if (tick) tickBox();
            clickButton(alert, button);
        };
        if (sheet) {
            auto parent = makeWindow(NSMakeRect(300, 300, 500, 400), NSColor::whiteColor());
            parent->makeKeyAndOrderFront(nullptr);
            NSAlertExt::zakBeginSheetModalForWindow(alert, parent, identifier, 42, handler);
            pump();
            if (!AlertLog::all().empty() && AlertLog::all().back().result == NSModalResponseContinue) {
                EXPECT_TRUE(NSApplicationExt::isSheet(alert->window()));
                user();
                pump();
            }
            parent->orderOut(nullptr);
        } else {
            // Input only for an alert that runs: a suppressed one never reaches the modal loop.
            if (!identifier || NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults(), identifier))
                NSRunLoop::mainRunLoop()->performBlock({NSModalPanelRunLoopMode}, user);
            NSAlertExt::zakBeginSheetModalForWindow(alert, nullptr, identifier, 42, handler);
        }
        return answered;
    }

    static Ref<NSAlert> threeButtonAlert()
    {
        auto alert = NSObject::make<NSAlert>();
        alert->setMessageText("Remove the guideline set?"_ns);
        alert->addButtonWithTitle("Remove"_ns);
        alert->addButtonWithTitle("Cancel"_ns);
        alert->addButtonWithTitle("Keep Both"_ns);
        return alert;
    }

    TemporaryFolder m_config;
    ScopedEnvironment m_environment{"XDG_CONFIG_HOME", m_config.path()};
};

TEST_F(AlertExtensions, ButtonsAnswerAlikeAsSheetAndModally)
{
    struct Case {
        bool sheet;
        size_t button;
        NSInteger code;
    };
    const Case cases[] = {{false, 0, 1}, {false, 1, 0}, {false, 2, -1}, {true, 0, 1}, {true, 1, 0}, {true, 2, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.sheet ? "sheet" : "modal") << " button " << c.button);
        AlertLog::clear();
        Weak<NSAlert> weak;
        {
            auto alert = threeButtonAlert();
            weak = alert;
            EXPECT_EQ(show(alert, c.sheet, nullptr, c.button), c.code);
            // Without an identifier there is no box and nothing is stored.
            EXPECT_FALSE(AlertLog::all().back().showsSuppressionButton);
            EXPECT_FALSE(NSAlertExt::myZAKAlertSheetCompletionHandlerRunner(alert));
        }
        pump();
        EXPECT_FALSE(weak.get()) << "the alert and its runner outlive the alert's end";
    }
    EXPECT_FALSE(defaults()->objectForKey(NSUserDefaultsExt::suppressedAlertsKey()));
}

TEST_F(AlertExtensions, ATickedBoxSuppressesTheNextCalls)
{
    for (bool sheet : {false, true}) {
        SCOPED_TRACE(sheet ? "sheet" : "modal");
        NSUserDefaultsExt::resetAlertsAndWarnings(defaults());
        AlertLog::clear();
        auto identifier = "RemoveSet"_ns;
        // Left unticked: shown again next time.
        EXPECT_EQ(show(threeButtonAlert(), sheet, identifier, 1), 0);
        EXPECT_TRUE(AlertLog::all().back().showsSuppressionButton);
        EXPECT_TRUE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults(), identifier));
        // Ticked: stored, and the next call shows nothing and answers 42.
        EXPECT_EQ(show(threeButtonAlert(), sheet, identifier, 0, true), 1);
        EXPECT_FALSE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults(), identifier));
        EXPECT_EQ(AlertLog::all().size(), 2u);
        EXPECT_EQ(show(threeButtonAlert(), sheet, identifier, 0), 42);
        EXPECT_EQ(AlertLog::all().size(), 2u);
        // Another identifier still shows.
        EXPECT_EQ(show(threeButtonAlert(), sheet, "Other"_ns, 0), 1);
        EXPECT_EQ(AlertLog::all().size(), 3u);
    }
}

TEST_F(AlertExtensions, OneCallFunctionsBuildTheAlert)
{
    NSInteger answered = 99;
    NSRunLoop::mainRunLoop()->performBlock({NSModalPanelRunLoopMode}, [] {
        server().injectKey(kVK_Return, 0, true);
        server().injectKey(kVK_Return, 0, false);
    });
    ZAKRunAlertPanel(
        "Export failed"_ns, "OK"_ns, nullptr, "Details"_ns, nullptr, 0,
        [&](const Ref<NSAlert>&, NSInteger code) { answered = code; }, "%d rows were not written.", 3);
    EXPECT_EQ(answered, 1);
    auto log = AlertLog::all();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].messageText, "Export failed");
    EXPECT_EQ(log[0].informativeText, "3 rows were not written.");
    EXPECT_EQ(log[0].buttons, (std::vector<std::string>{"OK", "Details"}));

    // A stored flag answers the caller's code even as a sheet, with no window shown.
    NSUserDefaultsExt::setShowState(defaults(), false, "Quiet"_ns);
    answered = 99;
    auto parent = makeWindow(NSMakeRect(300, 300, 500, 400), NSColor::whiteColor());
    ZAKBeginAlertSheet(
        "Quiet"_ns, "OK"_ns, nullptr, nullptr, parent, "Quiet"_ns, 7,
        [&](const Ref<NSAlert>&, NSInteger code) { answered = code; }, nullptr);
    EXPECT_EQ(answered, 7);
    EXPECT_FALSE(NSApplicationExt::attachedSheet(parent));
    EXPECT_EQ(AlertLog::all().size(), 1u);
}

TEST_F(AlertExtensions, AWindowThatAlreadyShowsASheetAnswersMinusOne)
{
    auto parent = makeWindow(NSMakeRect(300, 300, 500, 400), NSColor::whiteColor());
    auto first = threeButtonAlert();
    first->beginSheetModalForWindow(parent, nullptr, SEL(), nullptr);
    NSInteger answered = 99;
    Weak<NSAlert> weak;
    {
        auto second = threeButtonAlert();
        weak = second;
        NSAlertExt::zakBeginSheetModalForWindow(second, parent, nullptr, 0,
                                                [&](const Ref<NSAlert>&, NSInteger code) { answered = code; });
    }
    EXPECT_EQ(answered, -1);
    pump();
    EXPECT_FALSE(weak.get());
    NSApplicationExt::endSheet(NSApp, first->window());
    pump();
}

}  // namespace
