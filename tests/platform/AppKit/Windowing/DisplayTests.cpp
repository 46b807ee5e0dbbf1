// Drawing happens once per turn, and resizing a window from inside drawRect:
// is safe.
#include "WindowingFixture.h"

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
