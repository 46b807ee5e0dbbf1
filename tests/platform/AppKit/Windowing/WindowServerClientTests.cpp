// What a window manager and the desktop do to the application's windows,
// reported by the headless server through the same client interface the X11
// backend reports through.
#include "Foundation/NSNotificationCenter.h"
#include "WindowingFixture.h"

namespace {

class WindowServerClientTest : public WindowingTest {
protected:
    Ref<NSWindow> titled(const NSRect& frame, NSUInteger style)
    {
        auto w = NSObject::alloc<NSWindow>()->initWithContentRect(frame, style, NSBackingStoreBuffered, false);
        w->setReleasedWhenClosed(false);
        w->orderFront(nullptr);
        pump();
        return w;
    }

    // Counts the notifications of that name while the test runs.
    int* count(const char* name)
    {
        auto counter = std::make_shared<int>(0);
        m_observers.push_back(NSNotificationCenter::defaultCenter()->addObserverForName(
            NSString::stringWithUTF8String(name), nullptr, nullptr,
            [counter](const Ref<NSNotification>&) { ++*counter; }));
        m_counters.push_back(counter);
        return counter.get();
    }

    void TearDown() override
    {
        for (const auto& observer : m_observers) NSNotificationCenter::defaultCenter()->removeObserver(observer);
        WindowingTest::TearDown();
    }

private:
    std::vector<Id> m_observers;
    std::vector<std::shared_ptr<int>> m_counters;
};

TEST_F(WindowServerClientTest, AWindowManagerMovesFocusesAndClosesWindows)
{
    auto window = titled(NSMakeRect(100, 100, 300, 200), NSTitledWindowMask | NSClosableWindowMask);
    auto fixed = titled(NSMakeRect(500, 100, 300, 200), NSTitledWindowMask);
    const int* moved = count(NSWindowDidMoveNotification);
    const int* resized = count(NSWindowDidResizeNotification);

    // Dragged by its decorations: AppKit takes the new frame and tells.
    const NSRect dragged = NSMakeRect(160, 240, 340, 220);
    server().reportFrameChange(window->windowNumber(), dragged);
    pump();
    EXPECT_EQ(window->frame(), dragged);
    EXPECT_EQ(server().windowInfo(window->windowNumber())->frame, dragged);
    EXPECT_EQ(*moved, 1);
    EXPECT_EQ(*resized, 1);

    // Focus given and taken by the window manager.
    server().reportFocus(fixed->windowNumber(), true);
    EXPECT_TRUE(fixed->isKeyWindow());
    EXPECT_EQ(server().keyWindow(), fixed->windowNumber());
    server().reportFocus(fixed->windowNumber(), false);
    server().reportFocus(window->windowNumber(), true);
    EXPECT_FALSE(fixed->isKeyWindow());
    EXPECT_TRUE(window->isKeyWindow());
    server().reportFocus(window->windowNumber(), false);
    EXPECT_FALSE(window->isKeyWindow());
    EXPECT_EQ(server().keyWindow(), 0);

    // The close box of the decorations closes as the window's own would; a
    // window without one beeps and stays.
    const int beeps = server().beepCount();
    server().reportCloseRequest(fixed->windowNumber());
    EXPECT_TRUE(fixed->isVisible());
    EXPECT_EQ(server().beepCount(), beeps + 1);
    server().reportCloseRequest(window->windowNumber());
    pump();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(server().windowInfo(window->windowNumber()) && server().windowInfo(window->windowNumber())->visible);
}

TEST_F(WindowServerClientTest, TheDesktopChangesScreensAndEndsTheSession)
{
    const int* screens = count(NSApplicationDidChangeScreenParametersNotification);
    const int* terminating = count(NSApplicationWillTerminateNotification);
    server().reportScreensChanged();
    EXPECT_EQ(*screens, 1);
    NSApplication::setExitsOnTerminate(false);
    server().reportQuitRequest();
    NSApplication::setExitsOnTerminate(true);
    EXPECT_EQ(*terminating, 1);
    NSApplication::sharedApplication()->resetTerminatedState();
}

}
