// Clicks and drags reach the right view, window and coordinates.
#include "WindowingFixture.h"

class RecordingWindow : public NSWindow {
    NS_OBJECT(RecordingWindow, NSWindow)
protected:
    RecordingWindow() = default;

public:
    int downs = 0;
    void mouseDown(const Ref<NSEvent>& e) override
    {
        ++downs;
        NSWindow::mouseDown(e);
    }
};

// Moves its window by each drag's deltas, as a ruler does.
class MovingView : public RecordingView {
    NS_OBJECT(MovingView, RecordingView)
protected:
    MovingView() = default;

public:
    void mouseDragged(const Ref<NSEvent>& e) override
    {
        RecordingView::mouseDragged(e);
        NSPoint o = window()->frame().origin;
        window()->setFrameOrigin(NSMakePoint(o.x + e->deltaX(), o.y - e->deltaY()));
    }
};

NS_CLASS_DEFINE(RecordingWindow)
NS_CLASS_DEFINE(MovingView)

TEST_F(WindowingTest, ClickReachesViewInItsOwnCoordinates)
{
    auto w = makeWindow(NSMakeRect(100, 200, 300, 150), NSColor::whiteColor());
    auto plain = NSObject::alloc<RecordingView>();
    plain->initWithFrame(NSMakeRect(10, 10, 100, 50));
    auto flipped = NSObject::alloc<RecordingView>();
    flipped->initWithFrame(NSMakeRect(150, 10, 100, 50));
    flipped->flipped = true;
    auto inner = NSObject::alloc<RecordingView>();
    inner->initWithFrame(NSMakeRect(5, 5, 20, 10));  // inside the flipped view, 5 points from its top
    flipped->addSubview(inner);
    w->contentView()->addSubview(plain);
    w->contentView()->addSubview(flipped);
    pump();

    struct Case {
        NSPoint screen;
        RecordingView* view;
        NSPoint local;
    } cases[] = {
        {{120, 230}, plain.get(), {10, 20}},
        {{260, 230}, flipped.get(), {10, 30}},  // 30 points below the flipped view's top
        {{260, 250}, inner.get(), {5, 5}},      // unflipped inside flipped
    };
    for (const auto& c : cases) {
        c.view->downs.clear();
        click(c.screen);
        ASSERT_EQ(c.view->downs.size(), 1u) << c.screen.x << "," << c.screen.y;
        EXPECT_EQ(c.view->downs[0], c.local) << c.screen.x << "," << c.screen.y;
    }
}

TEST_F(WindowingTest, TransparentPixelsAndIgnoringWindowsPassClicks)
{
    auto below = makeWindow(NSMakeRect(0, 0, 200, 200), NSColor::whiteColor());
    auto overlay = makeWindow(NSMakeRect(0, 0, 200, 200), nullptr);
    overlay->setOpaque(false);
    overlay->setBackgroundColor(NSColor::clearColor());
    auto mark = NSObject::alloc<RecordingView>();
    mark->initWithFrame(NSMakeRect(0, 0, 10, 10));
    mark->fill = NSColor::redColor();
    overlay->contentView()->addSubview(mark);
    pump();

    click(NSMakePoint(100, 100));  // transparent: the window below
    click(NSMakePoint(5, 5));      // painted: the overlay
    EXPECT_EQ(contentOf(below)->downs.size(), 1u);
    EXPECT_EQ(mark->downs.size(), 1u);

    overlay->setIgnoresMouseEvents(true);
    click(NSMakePoint(5, 5));
    EXPECT_EQ(contentOf(below)->downs.size(), 2u);
    EXPECT_EQ(mark->downs.size(), 1u);
}

TEST_F(WindowingTest, UnhandledMouseDownTravelsToTheWindow)
{
    auto w = NSObject::alloc<RecordingWindow>();
    w->initWithContentRect(NSMakeRect(0, 0, 100, 100), NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    auto outer = NSObject::alloc<RecordingView>();
    outer->initWithFrame(NSMakeRect(0, 0, 100, 100));
    outer->handlesMouse = false;
    auto inner = NSObject::alloc<RecordingView>();
    inner->initWithFrame(NSMakeRect(10, 10, 50, 50));
    inner->handlesMouse = false;
    outer->addSubview(inner);
    w->setContentView(outer);
    w->orderFront(nullptr);
    pump();
    click(NSMakePoint(20, 20));
    EXPECT_EQ(w->downs, 1);
}

TEST_F(WindowingTest, DragsFollowTheViewWhileItsWindowMoves)
{
    auto w = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 100, 100), NSBorderlessWindowMask,
                                                              NSBackingStoreBuffered, false);
    auto view = NSObject::alloc<MovingView>();
    view->initWithFrame(NSMakeRect(0, 0, 100, 100));
    w->setContentView(view);
    w->orderFront(nullptr);
    pump();

    server().injectMouse(NSEventTypeLeftMouseDown, NSMakePoint(150, 150));
    pump();
    NSPoint p{150, 150};
    for (int i = 0; i < 3; ++i) {
        p = {p.x + 10, p.y - 5};  // right and down
        server().injectPointer(p);
        pump();
    }
    // Far outside the window: still the same view.
    server().injectPointer(NSMakePoint(1500, 900));
    server().injectMouse(NSEventTypeLeftMouseUp, NSMakePoint(1500, 900));
    pump();

    ASSERT_EQ(view->dragDeltas.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(view->dragDeltas[i], NSMakePoint(10, 5)) << i;
    EXPECT_EQ(view->dragDeltas[3], NSMakePoint(1500 - 180, -(900 - 135)));
    EXPECT_EQ(view->ups, 1);
    EXPECT_EQ(w->frame().origin, NSMakePoint(100 + 1350, 100 + 750));  // moved with the pointer
}
