// Window controllers, closing, key status and moving by the background.
#include "WindowingFixture.h"

#include "AppKit/NSNibLoading.h"
#include "AppKit/NSWindowController.h"

class CloseRecorder : public NSObject, public NSWindowDelegate {
    NS_OBJECT(CloseRecorder, NSObject)
protected:
    CloseRecorder() = default;

public:
    int willClose = 0;
    void windowWillClose(const Ref<NSNotification>&) override { ++willClose; }
};
NS_CLASS_DEFINE(CloseRecorder)

class LoadingController : public NSWindowController {
    NS_OBJECT(LoadingController, NSWindowController)
protected:
    LoadingController() = default;

public:
    int didLoad = 0;
    void windowDidLoad() override { ++didLoad; }
};
NS_CLASS_DEFINE(LoadingController)

// Moves itself in mouseDragged:, like the guideline windows.
class SelfMovingWindow : public NSWindow {
    NS_OBJECT(SelfMovingWindow, NSWindow)
protected:
    SelfMovingWindow() = default;

public:
    void mouseDragged(const Ref<NSEvent>& e) override
    {
        setFrameOrigin(NSMakePoint(frame().origin.x + e->deltaX(), frame().origin.y - e->deltaY()));
    }
};
NS_CLASS_DEFINE(SelfMovingWindow)

TEST_F(WindowingTest, ShowWindowMakesKeyOnlyWindowsThatCanBecomeKey)
{
    for (NSUInteger style : {NSUInteger(NSTitledWindowMask), NSUInteger(NSBorderlessWindowMask)}) {
        auto w = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(0, 0, 50, 50), style,
                                                                  NSBackingStoreBuffered, false);
        auto c = NSObject::alloc<NSWindowController>()->initWithWindow(w);
        c->showWindow(nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->isKeyWindow(), style == NSTitledWindowMask);
        EXPECT_EQ(w->windowController(), c);
    }
}

TEST_F(WindowingTest, CloseOrdersOutTellsTheDelegateAndKeepsTheControllersWindow)
{
    auto delegate = NSObject::make<CloseRecorder>();
    Weak<NSWindow> weak;
    Ref<NSWindowController> controller;
    {
        auto w = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(0, 0, 50, 50), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        w->setDelegate(delegate);
        controller = NSObject::alloc<NSWindowController>()->initWithWindow(w);
        weak = w;
        controller->showWindow(nullptr);
    }
    controller->close();
    pump();
    EXPECT_EQ(delegate->willClose, 1);
    ASSERT_TRUE(weak.get());
    EXPECT_FALSE(weak.get()->isVisible());
    EXPECT_FALSE(weak.get()->isKeyWindow());
    controller->showWindow(nullptr);  // the same window comes back
    EXPECT_TRUE(weak.get()->isVisible());
}

TEST_F(WindowingTest, ControllerLoadsItsInterfaceFileOnFirstUse)
{
    int loads = 0;
    const auto previousLoader = NSNibLoading::currentLoader();
    NSNibLoading::setLoader([&](const Ref<NSString>& name, const Id& owner, Ref<NSArray>*) {
        ++loads;
        if (name->UTF8String() != "Panel") return false;
        auto w = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(0, 0, 50, 50), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        owner->setValueForKey(w, "window"_ns);  // the outlet
        return true;
    });
    auto c = NSObject::alloc<LoadingController>();
    c->initWithWindowNibName("Panel"_ns);
    EXPECT_FALSE(c->isWindowLoaded());
    EXPECT_TRUE(c->window());
    EXPECT_TRUE(c->window());
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(c->didLoad, 1);
    auto missing = NSObject::alloc<NSWindowController>()->initWithWindowNibName("Missing"_ns);
    EXPECT_FALSE(missing->window());
    NSNibLoading::setLoader(previousLoader);
}

TEST_F(WindowingTest, MovableByBackgroundUnlessTheWindowMovesItself)
{
    auto plain = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(0, 0, 100, 100), NSBorderlessWindowMask,
                                                                  NSBackingStoreBuffered, false);
    auto self = NSObject::alloc<SelfMovingWindow>();
    self->initWithContentRect(NSMakeRect(300, 0, 100, 100), NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    for (const Ref<NSWindow>& w : {plain, Ref<NSWindow>(self)}) {
        w->setMovableByWindowBackground(true);
        w->orderFront(nullptr);
        const NSPoint start{w->frame().origin.x + 50, 50};
        server().injectMouse(NSEventTypeLeftMouseDown, start);
        pump();
        server().injectPointer(NSMakePoint(start.x + 20, 80));
        server().injectMouse(NSEventTypeLeftMouseUp, NSMakePoint(start.x + 20, 80));
        pump();
    }
    EXPECT_EQ(plain->frame().origin, NSMakePoint(20, 30));
    EXPECT_EQ(self->frame().origin, NSMakePoint(320, 30));  // moved once, not twice
}
