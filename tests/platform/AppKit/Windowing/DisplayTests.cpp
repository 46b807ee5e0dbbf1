// Drawing happens once per turn, and resizing a window from inside drawRect:
// is safe.
#include "WindowingFixture.h"

#include "AppKit/NSGraphicsContext.h"

// Sets its window's frame from drawRect:, as a vertical ruler does on its
// first draw; later draws set the same frame again.
class ResizingView : public RecordingView {
    NS_OBJECT(ResizingView, RecordingView)
protected:
    ResizingView() = default;

public:
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
protected:
    CornerView() = default;

public:
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
