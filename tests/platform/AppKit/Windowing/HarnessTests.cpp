// Programs run from NSApplicationMain and driven through the harness.
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "AppHarness.h"
#include "WindowingFixture.h"

#include "AppKit/NSAlert.h"
#include "AppKit/NSNibLoading.h"
#include "AppKit/NSPanel.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSTimer.h"
#include "WaitUntil.h"
#include "WindowServer/USKeyboardLayout.h"

// --- A program with a delegate, one window and one view ---

class LaunchLog {
public:
    void add(const std::string& entry)
    {
        std::lock_guard guard(m_lock);
        m_entries.push_back(entry);
    }
    std::vector<std::string> entries()
    {
        std::lock_guard guard(m_lock);
        return m_entries;
    }

private:
    std::mutex m_lock;
    std::vector<std::string> m_entries;
};

class TestAppDelegate : public NSObject, public NSApplicationDelegate {
    NS_OBJECT(TestAppDelegate, NSObject)
protected:
    TestAppDelegate() = default;

public:
    LaunchLog* log = nullptr;
    int cancelTerminations = 0;
    Ref<NSWindow> window;
    Ref<RecordingView> view;

    void applicationDidFinishLaunching(const Ref<NSNotification>&) override
    {
        log->add("launched");
        window = NSObject::alloc<NSWindow>()->initWithContentRect(
            NSMakeRect(100, 100, 200, 150), NSTitledWindowMask | NSClosableWindowMask, NSBackingStoreBuffered, false);
        window->setTitle("Main"_ns);
        view = NSObject::alloc<RecordingView>();
        view->initWithFrame(NSMakeRect(0, 0, 200, 150));
        window->setContentView(view);
        window->makeKeyAndOrderFront(nullptr);
    }
    std::optional<NSApplicationTerminateReply> applicationShouldTerminate(const Ref<NSApplication>&) override
    {
        log->add("shouldTerminate");
        if (cancelTerminations-- > 0) return NSTerminateCancel;
        return NSTerminateNow;
    }
};
NS_CLASS_DEFINE(TestAppDelegate)

TEST(AppHarness, ProgramRunsFromApplicationMainAndReturnsOnTerminate)
{
    LaunchLog log;
    auto delegate = NSObject::make<TestAppDelegate>();
    delegate->log = &log;
    delegate->cancelTerminations = 1;
    Id observer;

    const int result = AppHarness::run(
        [&] {
            NSApplication::sharedApplication()->setDelegate(delegate);
            observer = NSNotificationCenter::defaultCenter()->addObserverForName(
                NSString::stringWithUTF8String(NSApplicationWillTerminateNotification), nullptr, nullptr,
                [&](const Ref<NSNotification>&) { log.add("willTerminate"); });
            return NSApplicationMain(0, nullptr);
        },
        [&](AppDriver& d) {
            auto main = d.windowTitled("Main");
            ASSERT_TRUE(main);
            EXPECT_TRUE(main->key);
            EXPECT_EQ(main->frame, NSMakeRect(100, 100, 200, 172));  // with its title bar
            d.click(NSMakePoint(150, 150));
            size_t downs = 0;
            d.onMain([&] { downs = delegate->view->downs.size(); });
            EXPECT_EQ(downs, 1u);
            // The delegate refuses the first time: the program goes on.
            EXPECT_FALSE(d.terminate(0.2));
            EXPECT_FALSE(d.programEnded());
        });

    EXPECT_EQ(result, 0);
    EXPECT_EQ(log.entries(),
              (std::vector<std::string>{"launched", "shouldTerminate", "shouldTerminate", "willTerminate"}));
    NSNotificationCenter::defaultCenter()->removeObserver(observer);
    NSApp->setDelegate(nullptr);
}

// --- A modal panel run from a delayed perform ---

class KeyView : public RecordingView {
    NS_OBJECT(KeyView, RecordingView)
protected:
    KeyView() = default;

public:
    std::u16string typed;
    bool acceptsFirstResponder() const override { return true; }
    void keyDown(const Ref<NSEvent>& e) override { typed += e->characters()->utf16(); }
    void mouseDown(const Ref<NSEvent>& e) override
    {
        RecordingView::mouseDown(e);
        NSApp->stopModal();
    }
};
NS_CLASS_DEFINE(KeyView)

class ModalDelegate : public NSObject, public NSApplicationDelegate {
    NS_OBJECT(ModalDelegate, NSObject)
protected:
    ModalDelegate() = default;

public:
    static void describeClass(NSClassMembers<ModalDelegate>& m) { m.action("runPanel:", &ModalDelegate::runPanel); }

    Ref<NSPanel> panel;
    Ref<KeyView> view;
    Ref<NSTimer> timer;
    bool inModal = false;
    bool modalEnded = false;
    bool timerFired = false;
    bool timerFiredDuringModal = false;
    NSModalResponse result = 0;

    void applicationDidFinishLaunching(const Ref<NSNotification>&) override
    {
        panel = NSObject::alloc<NSPanel>();
        panel->initWithContentRect(NSMakeRect(300, 300, 200, 100), NSTitledWindowMask, NSBackingStoreBuffered, false);
        panel->setTitle("Panel"_ns);
        view = NSObject::alloc<KeyView>();
        view->initWithFrame(NSMakeRect(0, 0, 200, 100));
        panel->setContentView(view);
        panel->makeFirstResponder(view);
        timer = NSTimer::scheduledTimerWithTimeInterval(1.0, false, [this](const Ref<NSTimer>&) {
            timerFired = true;
            timerFiredDuringModal = inModal;
        });
        performSelectorAfterDelay("runPanel:", nullptr, 0);
    }
    void runPanel(const Id&)
    {
        inModal = true;
        result = NSApp->runModalForWindow(panel);
        inModal = false;
        modalEnded = true;
    }
};
NS_CLASS_DEFINE(ModalDelegate)

TEST(AppHarness, ModalWindowTakesInputAndEndsWithStopModalWhileDefaultTimerWaits)
{
    auto delegate = NSObject::make<ModalDelegate>();
    AppHarness::run(
        [&] {
            NSApplication::sharedApplication()->setDelegate(delegate);
            return NSApplicationMain(0, nullptr);
        },
        [&](AppDriver& d) {
            ASSERT_TRUE(d.waitUntil([&] { return delegate->inModal; }));
            auto panel = d.windowTitled("Panel");
            ASSERT_TRUE(panel);
            EXPECT_TRUE(panel->key);

            d.advance(2);  // the default-mode timer is due but must wait
            bool fired = true;
            d.onMain([&] { fired = delegate->timerFired; });
            EXPECT_FALSE(fired);

            d.typeText(u"ab");
            d.click(NSMakePoint(400, 350));

            bool ended = false, duringModal = true;
            std::u16string typed;
            NSModalResponse result = 0;
            d.onMain([&] {
                ended = delegate->modalEnded;
                fired = delegate->timerFired;
                duringModal = delegate->timerFiredDuringModal;
                typed = delegate->view->typed;
                result = delegate->result;
            });
            EXPECT_TRUE(ended);
            EXPECT_EQ(result, NSModalResponseStop);
            EXPECT_EQ(typed, u"ab");
            EXPECT_TRUE(fired);  // once the session ended
            EXPECT_FALSE(duringModal);
        });
    NSApp->setDelegate(nullptr);
}

TEST(AppHarness, TerminationSignalEndsTheRunThroughTerminate)
{
    LaunchLog log;
    auto delegate = NSObject::make<TestAppDelegate>();
    delegate->log = &log;
    const int result = AppHarness::run(
        [&] {
            NSApplication::sharedApplication()->setDelegate(delegate);
            return NSApplicationMain(0, nullptr);
        },
        [&](AppDriver& d) {
            raise(SIGTERM);
            EXPECT_TRUE(test_support::waitUntil([&] { return d.programEnded(); }, std::chrono::seconds(5)));
        });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(log.entries(), (std::vector<std::string>{"launched", "shouldTerminate"}));
    NSApp->setDelegate(nullptr);
}

TEST(AppHarness, MainInterfaceFileIsLoadedWithTheApplicationAsOwner)
{
    // A bundle whose Info dictionary names the main interface file; a loader
    // standing in for the interface-file layer connects the delegate outlet.
    char folder[] = "/tmp/appkit-bundle-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    {
        std::ofstream info(std::string(folder) + "/Info.plist");
        info << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                "<key>CFBundleIdentifier</key><string>org.plumbline.tests</string>"
                "<key>NSMainNibFile</key><string>MainMenu</string></dict></plist>\n";
    }
    setenv("PLUMBLINE_RESOURCES", folder, 1);
    if (!NSBundle::mainBundle()->objectForInfoDictionaryKey("NSMainNibFile"_ns))
        GTEST_SKIP() << "the main bundle was read before this test (run it in a process of its own)";
    LaunchLog log;
    auto delegate = NSObject::make<TestAppDelegate>();
    delegate->log = &log;
    std::string loaded;
    const auto previousLoader = NSNibLoading::currentLoader();
    NSNibLoading::setLoader([&](const Ref<NSString>& name, const Id& owner, Ref<NSArray>*) {
        loaded = name->UTF8String();
        owner->setValueForKey(delegate, "delegate"_ns);  // the file's delegate outlet
        return true;
    });
    AppHarness::run([] { return NSApplicationMain(0, nullptr); }, [](AppDriver&) {});
    EXPECT_EQ(loaded, "MainMenu");
    EXPECT_EQ(log.entries().front(), "launched");
    NSNibLoading::setLoader(previousLoader);
    NSApp->setDelegate(nullptr);
    std::filesystem::remove_all(folder);
}

TEST(AppHarness, ModalSessionsNestAndAbortEndsOnlyTheInnermost)
{
    NSModalResponse outer = 0, inner = 0;
    Ref<NSWindow> first, second;
    AppHarness::run([] { return NSApplicationMain(0, nullptr); },
                    [&](AppDriver& d) {
                        d.onMain([&] {
                            auto make = [](CGFloat x) {
                                return NSObject::alloc<NSPanel>()->initWithContentRect(
                                    NSMakeRect(x, 100, 100, 100), NSTitledWindowMask, NSBackingStoreBuffered, false);
                            };
                            first = make(100);
                            second = make(300);
                        });
                        d.post([&] { outer = NSApp->runModalForWindow(first); });
                        d.post([&] {
                            // A modal-panel-mode timer aborts the inner session.
                            auto timer = NSTimer::timerWithTimeInterval(
                                1, false, [](const Ref<NSTimer>&) { NSApp->abortModal(); });
                            NSRunLoop::currentRunLoop()->addTimer(timer, NSModalPanelRunLoopMode);
                            inner = NSApp->runModalForWindow(second);
                        });
                        d.advance(1);
                        NSModalResponse seenInner = 0, seenOuter = 0;
                        bool firstIsModal = false;
                        d.onMain([&] {
                            seenInner = inner;
                            seenOuter = outer;
                            firstIsModal = NSApp->modalWindow() == first;
                        });
                        EXPECT_EQ(seenInner, NSModalResponseAbort);
                        EXPECT_EQ(seenOuter, 0);
                        EXPECT_TRUE(firstIsModal);
                        d.onMain([] { NSApp->stopModalWithCode(7); });
                        d.onMain([&] { seenOuter = outer; });
                        EXPECT_EQ(seenOuter, 7);
                    });
    first = second = nullptr;
}

TEST(AppHarness, TicksTheSuppressionBoxOfTheAlertShown)
{
    AppHarness::run([] { return NSApplicationMain(0, nullptr); },
                    [](AppDriver& d) {
                        NSInteger result = 0;
                        Ref<NSAlert> alert;
                        d.post([&] {
                            alert = NSObject::make<NSAlert>();
                            alert->setMessageText("Quit while guidelines are shown?"_ns);
                            alert->setShowsSuppressionButton(true);
                            result = alert->runModal();
                        });
                        ASSERT_EQ(d.alerts().size(), 1u);
                        EXPECT_TRUE(d.alerts()[0].showsSuppressionButton);
                        EXPECT_TRUE(d.tickAlertSuppressionButton());
                        d.key(kVK_Return);
                        const auto record = d.alerts()[0];
                        EXPECT_EQ(record.result, NSAlertFirstButtonReturn);
                        EXPECT_TRUE(record.suppressed);
                        NSInteger state = 0;
                        d.onMain([&] {
                            state = alert->suppressionButton()->state();
                            alert = nullptr;
                        });
                        EXPECT_EQ(state, NSOnState);
                        EXPECT_EQ(result, NSAlertFirstButtonReturn);
                    });
}
