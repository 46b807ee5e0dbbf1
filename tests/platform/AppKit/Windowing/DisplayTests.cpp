// Drawing happens once per turn, and resizing a window from inside drawRect:
// is safe.
#include "WindowingFixture.h"

#include "AppKit/NSGraphicsContext.h"

// Sets its window's frame from drawRect:, as a vertical ruler does on its
// first draw; later draws set the same frame again.
class ResizingView : public RecordingView {
    NS_OBJECT(ResizingView, RecordingView)
public:
    ResizingView() = default;
    void drawRect(const NSRect& r) override
    {
        RecordingView::drawRect(r);
        window()->setFrame(NSMakeRect(10, 10, 40, 300), true);
    }
};

NS_CLASS_DEFINE(ResizingView)

TEST_F(WindowingTest, SeveralInvalidationsInOneTurnDrawOnce)
{
    auto w = makeWindow(NSMakeRect(0, 0, 100, 100), NSColor::redColor());
    pump();
    auto view = contentOf(w);
    const int before = view->draws;
    view->setNeedsDisplay(true);
    view->setNeedsDisplayInRect(NSMakeRect(0, 0, 10, 10));
    view->setNeedsDisplayInRect(NSMakeRect(50, 50, 10, 10));
    pump();
    EXPECT_EQ(view->draws, before + 1);
    pump();
    EXPECT_EQ(view->draws, before + 1);
}

TEST_F(WindowingTest, SettingTheSameFrameDoesNothing)
{
    auto w = makeWindow(NSMakeRect(0, 0, 100, 100), NSColor::redColor());
    pump();
    auto view = contentOf(w);
    const int draws = view->draws;
    w->setFrame(w->frame(), true);
    view->setFrame(view->frame());
    pump();
    EXPECT_EQ(view->draws, draws);
}

TEST_F(WindowingTest, ResizingFromDrawRectNeitherCrashesNorLoops)
{
    auto w = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(10, 10, 40, 40), NSBorderlessWindowMask,
                                                              NSBackingStoreBuffered, false);
    auto view = NSObject::alloc<ResizingView>();
    view->initWithFrame(NSMakeRect(0, 0, 40, 40));
    view->fill = NSColor::blueColor();
    w->setContentView(view);
    w->orderFront(nullptr);
    pump();
    EXPECT_EQ(w->frame(), NSMakeRect(10, 10, 40, 300));
    EXPECT_LE(view->draws, 3);
    const int draws = view->draws;
    pump();
    EXPECT_EQ(view->draws, draws);
    // The new surface shows the view: the top and bottom rows are blue.
    EXPECT_EQ(screenPixel(20, 1080 - 310), 0xFF0000FFu);
    EXPECT_EQ(screenPixel(20, 1080 - 11), 0xFF0000FFu);
}

class CornerView : public RecordingView {
    NS_OBJECT(CornerView, RecordingView)
public:
    CornerView() = default;
    CGAffineTransform ctm;
    void drawRect(const NSRect&) override
    {
        ctm = NSGraphicsContext::currentContext()->graphicsPort()->getCTM();
        NSColor::redColor()->setFill();
        NSRectFill(NSMakeRect(0, 0, 5, 5));
    }
};
NS_CLASS_DEFINE(CornerView)

TEST_F(WindowingTest, ViewsDrawThroughTheFullDeviceTransform)
{
    auto w = makeWindow(NSMakeRect(0, 0, 100, 100), NSColor::whiteColor());
    auto plain = NSObject::alloc<CornerView>();
    plain->initWithFrame(NSMakeRect(10, 20, 30, 40));
    auto flipped = NSObject::alloc<CornerView>();
    flipped->initWithFrame(NSMakeRect(50, 20, 30, 40));
    flipped->flipped = true;
    w->contentView()->addSubview(plain);
    w->contentView()->addSubview(flipped);
    pump();
    // Surface pixels are y-down: the window's top row is device row 0.
    EXPECT_EQ(plain->ctm, CGAffineTransformMake(1, 0, 0, -1, 10, 80));
    EXPECT_EQ(flipped->ctm, CGAffineTransformMake(1, 0, 0, 1, 50, 40));
    // The 5-point square sits at the bottom left of the plain view and at the
    // top left of the flipped one.
    EXPECT_EQ(screenPixel(10, 1080 - 21), 0xFFFF0000u);
    EXPECT_EQ(screenPixel(10, 1080 - 26), 0xFFFFFFFFu);
    EXPECT_EQ(screenPixel(50, 1080 - 60), 0xFFFF0000u);
    EXPECT_EQ(screenPixel(50, 1080 - 55), 0xFFFFFFFFu);
}

// Lays its one subview out lazily: when the display pass asks whether it
// needs display, as a split view does.
class LazyLayoutView : public RecordingView {
    NS_OBJECT(LazyLayoutView, RecordingView)
public:
    LazyLayoutView() = default;
    bool layoutPending = false;
    NSRect pendingFrame{};
    bool needsDisplay() const override
    {
        if (!layoutPending) return RecordingView::needsDisplay();
        auto self = const_cast<LazyLayoutView*>(this);
        self->layoutPending = false;
        self->subviews().front()->setFrame(pendingFrame);
        return true;
    }
};
NS_CLASS_DEFINE(LazyLayoutView)

TEST_F(WindowingTest, TheDisplayPassLetsViewsLayOutWhenAskedWhetherTheyNeedDisplay)
{
    auto w = makeWindow(NSMakeRect(0, 0, 100, 100), NSColor::whiteColor());
    auto lazy = NSObject::alloc<LazyLayoutView>();
    lazy->initWithFrame(NSMakeRect(0, 0, 100, 100));
    auto child = NSObject::alloc<RecordingView>();
    child->initWithFrame(NSMakeRect(0, 0, 10, 10));
    child->fill = NSColor::redColor();
    lazy->addSubview(child);
    w->contentView()->addSubview(lazy);
    pump();
    EXPECT_EQ(screenPixel(5, 1080 - 5), 0xFFFF0000u);

    lazy->layoutPending = true;
    lazy->pendingFrame = NSMakeRect(60, 60, 10, 10);
    child->setNeedsDisplay(true);  // marks only the old place
    pump();
    EXPECT_FALSE(lazy->layoutPending);
    EXPECT_EQ(screenPixel(65, 1080 - 65), 0xFFFF0000u);
}

TEST_F(WindowingTest, ScreenUpdatesNestAndTheOutermostEnableFlushesWhatWaited)
{
    auto w = makeWindow(NSMakeRect(0, 0, 100, 100), NSColor::redColor());
    pump();
    auto view = contentOf(w);
    const int flushes = server().flushCount(w->windowNumber()), draws = view->draws;
    NSDisableScreenUpdates();
    NSDisableScreenUpdates();
    view->setNeedsDisplay(true);
    pump();
    EXPECT_EQ(view->draws, draws + 1);  // drawn, not shown
    EXPECT_EQ(server().flushCount(w->windowNumber()), flushes);
    NSEnableScreenUpdates();
    EXPECT_EQ(server().flushCount(w->windowNumber()), flushes);
    NSEnableScreenUpdates();
    EXPECT_EQ(server().flushCount(w->windowNumber()), flushes + 1);
    // One enable too many is ignored: the next disable still holds.
    NSEnableScreenUpdates();
    EXPECT_EQ(ScreenUpdatesDisabledCount(), 0);
    NSDisableScreenUpdates();
    view->setNeedsDisplay(true);
    pump();
    EXPECT_EQ(server().flushCount(w->windowNumber()), flushes + 1);
    NSEnableScreenUpdates();
    EXPECT_EQ(server().flushCount(w->windowNumber()), flushes + 2);
}
