#include "AppKit/FrameView.h"
#include "AppKit/NSButton.h"
#include "WindowingFixture.h"

// Answers a fixed standard frame for zooming.
class ZoomDelegate : public NSObject, public NSWindowDelegate {
    NS_OBJECT(ZoomDelegate, NSObject)
protected:
    ZoomDelegate() = default;

public:
    NSRect standard = NSMakeRect(50, 60, 700, 500);
    std::optional<NSRect> windowWillUseStandardFrameDefaultFrame(const Ref<NSWindow>&, const NSRect&) override
    {
        return standard;
    }
};
NS_CLASS_DEFINE(ZoomDelegate)

class WindowZoomTest : public WindowingTest {
protected:
    Ref<NSWindow> titled(NSUInteger extra)
    {
        auto w = NSObject::alloc<NSWindow>()->initWithContentRect(
            NSMakeRect(100, 200, 300, 150), NSTitledWindowMask | extra, NSBackingStoreBuffered, false);
        w->makeKeyAndOrderFront(nullptr);
        pump();
        return w;
    }
    static void advance(NSTimeInterval seconds)
    {
        Clock::advance(seconds);
        pump();
    }
};

TEST_F(WindowZoomTest, AnimatedFramesStepAndEndExactly)
{
    auto w = titled(NSResizableWindowMask);
    const NSRect start = w->frame();
    const NSRect target = NSMakeRect(300.3, 100.7, 500.5, 400.25);
    w->setFrame(target, true, true);
    EXPECT_EQ(w->frame(), start);  // nothing before the first step
    advance(0.1);
    const NSRect halfway = w->frame();
    EXPECT_GT(halfway.size.width, start.size.width);
    EXPECT_LT(halfway.size.width, target.size.width);
    advance(0.2);
    EXPECT_EQ(w->frame(), target);

    // A move meanwhile moves the animation; another frame stops it.
    w->setFrame(start, true, true);
    advance(0.05);
    w->setFrameOrigin(NSMakePoint(w->frame().origin.x + 10, w->frame().origin.y));
    advance(1);
    EXPECT_EQ(w->frame(), NSOffsetRect(start, 10, 0));
    w->setFrame(target, true, true);
    advance(0.05);
    w->setFrame(start, true);
    advance(1);
    EXPECT_EQ(w->frame(), start);
}

TEST_F(WindowZoomTest, ZoomButtonsFollowTheStyle)
{
    auto resizable = titled(NSResizableWindowMask | NSClosableWindowMask);
    ASSERT_TRUE(resizable->standardWindowButton(NSWindowZoomButton));
    EXPECT_TRUE(resizable->standardWindowButton(NSWindowZoomButton)->isEnabled());
    EXPECT_TRUE(resizable->standardWindowButton(NSWindowCloseButton));
    EXPECT_FALSE(resizable->standardWindowButton(NSWindowMiniaturizeButton));
    auto fixed = titled(0);
    EXPECT_FALSE(fixed->standardWindowButton(NSWindowZoomButton)->isEnabled());
    EXPECT_FALSE(fixed->standardWindowButton(NSWindowCloseButton));
    auto borderless = makeWindow(NSMakeRect(0, 0, 50, 50), NSColor::whiteColor());
    EXPECT_FALSE(borderless->standardWindowButton(NSWindowZoomButton));
    EXPECT_TRUE(resizable->showsResizeIndicator());
    resizable->setShowsToolbarButton(false);
    EXPECT_FALSE(resizable->showsToolbarButton());
}

TEST_F(WindowZoomTest, TheZoomBoxTogglesTheStandardFrame)
{
    auto w = titled(NSResizableWindowMask | NSClosableWindowMask);
    auto delegate = NSObject::make<ZoomDelegate>();
    w->setDelegate(delegate);
    const NSRect user = w->frame();
    auto frameView = static_ref_cast<FrameView>(w->frameView());
    const NSRect box = frameView->zoomBoxRect();
    const NSPoint zoomBox = w->convertBaseToScreen(NSMakePoint(NSMidX(box), NSMidY(box)));
    click(zoomBox);
    advance(1);
    EXPECT_EQ(w->frame(), delegate->standard);
    EXPECT_TRUE(w->isZoomed());
    w->zoom(nullptr);
    advance(1);
    EXPECT_EQ(w->frame(), user);

    // A disabled zoom button: the box does nothing.
    w->standardWindowButton(NSWindowZoomButton)->setEnabled(false);
    click(w->convertBaseToScreen(NSMakePoint(NSMidX(frameView->zoomBoxRect()), NSMidY(frameView->zoomBoxRect()))));
    advance(1);
    EXPECT_EQ(w->frame(), user);
}
