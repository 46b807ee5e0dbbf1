// Programs run from NSApplicationMain and driven through the harness.
#include <signal.h>
#include <unistd.h>

#include <mutex>

#include "AppHarness.h"
#include "WindowingFixture.h"

#include "AppKit/USKeyboardLayout.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSTimer.h"

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
public:
    TestAppDelegate() = default;
    LaunchLog* log = nullptr;
    int cancelTerminations = 0;
    Ref<NSWindow> window;
    Ref<RecordingView> view;

    void applicationDidFinishLaunching(const Ref<NSNotification>&) override
    {
        log->add("launched");
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 200, 150),
                                                                  NSTitledWindowMask | NSClosableWindowMask,
                                                                  NSBackingStoreBuffered, false);
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
    EXPECT_EQ(log.entries(), (std::vector<std::string>{"launched", "shouldTerminate", "shouldTerminate", "willTerminate"}));
    NSNotificationCenter::defaultCenter()->removeObserver(observer);
    NSApp->setDelegate(nullptr);
}

// --- A modal panel run from a delayed perform ---

class KeyView : public RecordingView {
    NS_OBJECT(KeyView, RecordingView)
public:
    KeyView() = default;
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
public:
    ModalDelegate() = default;
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
            for (int i = 0; i < 5000 && !d.programEnded(); ++i) usleep(1000);
            EXPECT_TRUE(d.programEnded());
        });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(log.entries(), (std::vector<std::string>{"launched", "shouldTerminate"}));
    NSApp->setDelegate(nullptr);
}
