// The progress window: setting up, the descriptor stack driven by reports
// from worker threads, sheets and modal runs that end when the queue runs
// empty, cancelling, and the misuses that only log.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "AppKit/NSApplicationSheets.h"
#include "Foundation/NSException.h"
#include "Foundation/NSOperationQueue.h"
#include "LogCapture.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKProgressWindowController/NSNotificationCenter+KQProgressWindowController.h"
#include "ZAKAppKit/ZAKProgressWindowController/ZAKProgressWindowController.h"

namespace {

namespace Post = NSNotificationCenterExt;

// A gate that worker operations wait at until the test opens it.
class Gate {
public:
    void open()
    {
        std::lock_guard guard(m_lock);
        m_open = true;
        m_changed.notify_all();
    }
    void wait()
    {
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [this] { return m_open; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_open = false;
};

class ProgressWindow : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        controller = NSObject::make<ZAKProgressWindowController>();
    }
    void TearDown() override
    {
        controller = nullptr;
        WindowingTest::TearDown();
    }
    static Ref<NSNotificationCenter> center() { return NSNotificationCenter::defaultCenter(); }
    // Runs the main loop until the condition holds (reports arrive through the main queue).
    static bool runUntil(const std::function<bool()>& condition)
    {
        return NSRunLoop::currentRunLoop()->runUntil(condition, 30);
    }
    std::string shownInfoText() const { return controller->infoTextField()->stringValue()->UTF8String(); }
    std::string shownTitle() const
    {
        auto d = controller->currentProgressDescriptor();
        return d && d->title() ? d->title()->UTF8String() : "nil";
    }

    Ref<ZAKProgressWindowController> controller;
};

TEST_F(ProgressWindow, SetUpFillsInTitlesAndClampsWhatItShows)
{
    // The default descriptor before any set-up.
    EXPECT_EQ(shownTitle(), "Please wait");
    EXPECT_TRUE(controller->currentProgressDescriptor()->isIndeterminate());
    EXPECT_TRUE(controller->closeWindowOnCompletion());

    struct Case {
        const char* title;  // nullptr: none given
        bool determinate;
        double minValue, maxValue, initial;
        std::string infoText;
        double kept, shown;
    };
    const Case cases[] = {
        {nullptr, false, 0, 0, 0, "Please wait\u2026", 0, 0},
        {"Exporting", true, 10, 20, 10, "Exporting\u2026", 10, 10},
        {"Exporting", true, 10, 20, 15, "Exporting\u2026", 15, 15},
        {"Exporting", true, 10, 20, 35, "Exporting\u2026", 35, 20},
        {nullptr, true, 10, 20, -4, "Please wait\u2026", -4, 10},
    };
    controller->window();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.title ? c.title : "nil") << " " << c.initial);
        auto title = c.title ? NSString::stringWithUTF8String(c.title) : nullptr;
        auto d = c.determinate ? controller->setupAsDeterminateWithTitle(title, c.minValue, c.maxValue, c.initial, true)
                               : controller->setupAsIndeterminateWithTitle(title, false);
        EXPECT_EQ(controller->progressDescriptors()->count(), 1u);
        EXPECT_EQ(controller->currentProgressDescriptor(), d);
        EXPECT_EQ(d->infoText()->UTF8String(), c.infoText);
        EXPECT_EQ(shownInfoText(), c.infoText);
        EXPECT_EQ(d->isIndeterminate(), !c.determinate);
        EXPECT_EQ(controller->progressIndicator()->isIndeterminate(), !c.determinate);
        if (!c.determinate) continue;
        EXPECT_EQ(d->currentValue(), c.kept);
        EXPECT_EQ(controller->progressIndicator()->doubleValue(), c.shown);
    }
}

TEST_F(ProgressWindow, CancelButtonAndIndicatorShareTheLine)
{
    controller->window();
    auto indicator = controller->progressIndicator();
    auto button = controller->cancelButton();
    const CGFloat defaultWidth = 248;  // as the interface file lays it out
    controller->setupAsDeterminateWithTitle("Copying"_ns, 0, 10, 0, false);
    EXPECT_TRUE(button->isHidden());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(NSMaxX(indicator->frame()), NSMaxX(button->frame()));
    controller->setupAsIndeterminateWithTitle("Copying"_ns, true);
    EXPECT_FALSE(button->isHidden());
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(indicator->frame().size.width, defaultWidth);
    EXPECT_TRUE(indicator->isAnimating());
}

TEST_F(ProgressWindow, StackedReportsShowTheTopmostDescriptor)
{
    controller->setupAsDeterminateWithTitle("Importing"_ns, 0, 100, 0, true);
    controller->showProgressWindow();
    EXPECT_TRUE(controller->isObservingNotifications());
    EXPECT_TRUE(controller->window()->isVisible());
    auto first = controller->currentProgressDescriptor();

    // A second report without texts borrows the first one's.
    auto second = Post::postWillBeginProcessing(center(), nullptr, nullptr, 0, 4, 1, false);
    runUntil([&] { return controller->currentProgressDescriptor() == second; });
    EXPECT_EQ(shownTitle(), "Importing");
    EXPECT_EQ(shownInfoText(), "Importing\u2026");
    EXPECT_EQ(controller->progressIndicator()->maxValue(), 4);
    EXPECT_TRUE(controller->cancelButton()->isHidden());

    Post::postUpdateProgressDescriptor(center(), second, "Step 2"_ns, "Reading rows"_ns, 2.3, "row 17"_ns);
    runUntil([&] { return second->infoText() && second->infoText()->isEqualToString("Reading rows"_ns); });
    EXPECT_EQ(shownInfoText(), "Reading rows");
    EXPECT_EQ(controller->progressDescriptionTextField()->stringValue()->UTF8String(), std::string("row 17"));
    // The value travels in single precision.
    EXPECT_EQ(second->currentValue(), double(2.3f));
    EXPECT_EQ(controller->progressIndicator()->doubleValue(), double(2.3f));

    Post::postDidEndProcessingWithProgressDescriptor(center(), second);
    runUntil([&] { return controller->currentProgressDescriptor() == first; });
    EXPECT_EQ(shownInfoText(), "Importing\u2026");
    EXPECT_FALSE(controller->cancelButton()->isHidden());
    controller->hideProgressWindow();
    EXPECT_FALSE(controller->isObservingNotifications());
    EXPECT_FALSE(controller->window()->isVisible());
}

TEST_F(ProgressWindow, SheetEndsWhenTheQueueRunsEmpty)
{
    auto parent = makeWindow(NSMakeRect(300, 300, 600, 400), NSColor::whiteColor());
    controller->setupAsIndeterminateWithTitle("Saving"_ns, false);
    Gate gate;
    controller->operationQueue()->addOperationWithBlock([&] {
        auto d = Post::postWillBeginProcessing(center(), "Writing"_ns, "Part 1"_ns, 0, 3, 0, false);
        for (int i = 1; i <= 3; ++i) Post::postUpdateProgressDescriptor(center(), d, double(i), nullptr);
        gate.wait();
        Post::postDidEndProcessingWithProgressDescriptor(center(), d);
    });
    int calls = 0;
    bool cancelled = true;
    controller->beginProgressSheetForWindow(parent, [&](bool c) {
        ++calls;
        cancelled = c;
    });
    EXPECT_TRUE(NSApplicationExt::isSheet(controller->window()));
    runUntil([&] { return shownTitle() == "Writing" && controller->progressIndicator()->doubleValue() == 3; });
    EXPECT_EQ(controller->progressDescriptors()->count(), 2u);
    gate.open();
    runUntil([&] { return calls > 0; });
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(cancelled);
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_FALSE(NSApplicationExt::attachedSheet(parent));
    EXPECT_EQ(controller->progressDescriptors()->count(), 0u);
    EXPECT_FALSE(controller->isObservingNotifications());
    EXPECT_FALSE(controller->completionBlock());
}

TEST_F(ProgressWindow, ModalRunReturnsAtCompletionAndCancelReachesTheBlock)
{
    auto scanning = controller->setupAsIndeterminateWithTitle("Scanning"_ns, true);
    Gate started, release;
    auto queue = controller->operationQueue();
    queue->setMaxConcurrentOperationCount(2);
    // Two operations run at once; the second reports only after the first
    // ended and the observers came back, so its report must count once.
    Gate firstDone;
    queue->addOperationWithBlock([&] {
        started.open();
        release.wait();
    });
    queue->addOperationWithBlock([&] {
        release.wait();
        firstDone.wait();
        Post::postWillBeginProcessing(center(), "Late"_ns, nullptr, false);
    });
    bool cancelled = false;
    int calls = 0;
    size_t stackWhenLate = 0;
    auto stacked = NSObject::alloc<ZAKProgressDescriptor>()->initWithTitle("Stacked"_ns, nullptr, true);
    NSRunLoop::mainRunLoop()->performBlock({NSModalPanelRunLoopMode}, [&] {
        started.wait();
        EXPECT_EQ(NSApp->modalWindow(), controller->window());
        controller->addProgressDescriptor(stacked);
        controller->cancel();
        EXPECT_TRUE(scanning->isCancelled());
        EXPECT_TRUE(stacked->isCancelled());
        EXPECT_FALSE(controller->isObservingNotifications());
        EXPECT_FALSE(controller->cancelButton()->isEnabled());
        controller->removeProgressDescriptor(stacked);
        release.open();
        // The first operation's end brings the observers back.
        NSRunLoop::currentRunLoop()->runUntil([&] { return controller->isObservingNotifications(); }, 30,
                                              NSModalPanelRunLoopMode);
        firstDone.open();
        NSRunLoop::currentRunLoop()->runUntil(
            [&] {
                stackWhenLate = controller->progressDescriptors()->count();
                return shownTitle() == "Late" || calls > 0;
            },
            30, NSModalPanelRunLoopMode);
    });
    controller->showProgressWindowWithCompletionHandler([&](bool c) {
        ++calls;
        cancelled = c;
    });
    EXPECT_TRUE(scanning->isCancelled());
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(NSApp->modalWindow());
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_LE(stackWhenLate, 2u) << "a report took effect twice";
}

TEST_F(ProgressWindow, MisusesOnlyLog)
{
    LogCapture log;
    int calls = 0;
    bool result = true;
    auto parent = makeWindow(NSMakeRect(300, 300, 600, 400), NSColor::whiteColor());
    controller->beginProgressSheetForWindow(parent, [&](bool c) { ++calls, result = c; });
    controller->showProgressWindowWithCompletionHandler([&](bool c) { ++calls, result = c; });
    controller->showProgressWindowWithCompletionHandler(nullptr);
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(result);
    EXPECT_FALSE(controller->isWindowLoaded() && controller->window()->isVisible());
    EXPECT_FALSE(NSApplicationExt::attachedSheet(parent));
    ASSERT_EQ(log.lines().size(), 3u);
    for (const auto& line : log.lines()) EXPECT_EQ(line, "Warning: ZAKProgressWindowController no operations in queue");

    std::thread worker([&] {
        controller->beginProgressSheetForWindow(parent, nullptr);
        controller->showProgressWindowWithCompletionHandler(nullptr);
        controller->showProgressWindow();
        controller->hideProgressWindow();
    });
    worker.join();
    const std::vector<std::string> expected = {
        "-beginProgressSheetForWindow:completionHandler: It is not allowed to invoke this method from a concurrent "
        "thread.",
        "-showProgressWindowWithCompletionHandler: It is not allowed to invoke this method from a concurrent thread.",
        "-showProgressWindow: It is not allowed to invoke this method from a concurrent thread.",
        "-hideProgressWindow: It is not allowed to invoke this method from a concurrent thread.",
    };
    ASSERT_EQ(log.lines().size(), 7u);
    EXPECT_EQ(std::vector<std::string>(log.lines().begin() + 3, log.lines().end()), expected);
    EXPECT_FALSE(controller->isObservingNotifications());

    // A nil parent is an assertion failure.
    EXPECT_THROW(controller->beginProgressSheetForWindow(nullptr, nullptr), NSException);
}

TEST_F(ProgressWindow, AControllerThatGoesAwayLeavesNoObserver)
{
    Weak<ZAKProgressWindowController> weak = controller;
    controller->setupAsIndeterminateWithTitle("Gone"_ns, false);
    controller->showProgressWindow();
    controller->window()->orderOut(nullptr);
    controller = nullptr;
    pump();
    EXPECT_FALSE(weak.get());
    // Reports after its death reach nobody.
    auto d = Post::postWillBeginProcessing(center(), "After"_ns, nullptr, false);
    pump();
    EXPECT_TRUE(d);
}

}  // namespace
