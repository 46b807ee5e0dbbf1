// Dimming a window's content while a sheet is up: one view however often it
// is prepared, faded in and out over a second each, gone after clean-up.
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKSheetPresentation/ZAKSheetPresentation.h"

namespace {

class SheetPresentation : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        presentation()->setUseHighlightEffect(true);
        window = makeWindow(NSMakeRect(100, 100, 400, 300), NSColor::whiteColor());
    }
    static Ref<ZAKSheetPresentation> presentation() { return ZAKSheetPresentation::sharedSheetPresentation(); }
    static void advance(NSTimeInterval seconds)
    {
        NSRunLoop::currentRunLoop()->advance(seconds);
        pump();
    }
    size_t dimmingViews() const
    {
        size_t n = 0;
        for (const auto& v : window->contentView()->subviews())
            n += v->isKindOfClass(ZAKSheetPresentationView::classRecord());
        return n;
    }
    // Red of the screen pixel in the middle of the window's content.
    static int middleRed() { return int((screenPixel(300, 1080 - 250) >> 16) & 0xFF); }

    Ref<NSWindow> window;
};

TEST_F(SheetPresentation, OneSharedInstanceThatRefusesASecondAllocation)
{
    auto shared = presentation();
    EXPECT_EQ(shared, ZAKSheetPresentation::sharedSheetPresentation());
    EXPECT_FALSE(ZAKSheetPresentation::allocWithZone());
    EXPECT_EQ(shared->copy(), Id(shared));
    EXPECT_TRUE(shared->useHighlightEffect());
}

TEST_F(SheetPresentation, TwoPreparesDimOnceAndCleanUpRemovesIt)
{
    pump();
    EXPECT_EQ(middleRed(), 255);
    presentation()->prepareSheetPresentationForWindow(window);
    presentation()->prepareSheetPresentationForWindow(window);
    EXPECT_EQ(dimmingViews(), 1u);
    auto view = presentation()->presentationViewForWindow(window);
    ASSERT_TRUE(view);
    EXPECT_TRUE(NSEqualRects(view->frame(), window->contentView()->bounds()));
    EXPECT_EQ(window->contentView()->subviews().back(), Ref<NSView>(view));
    advance(0.5);
    EXPECT_GT(middleRed(), 160);
    EXPECT_LT(middleRed(), 250);
    advance(0.6);
    // Black at 0.4 over white.
    EXPECT_NEAR(middleRed(), 153, 1);

    presentation()->cleanUpSheetPresentationForWindow(window);
    advance(0.5);
    EXPECT_EQ(dimmingViews(), 1u);
    advance(0.6);
    EXPECT_EQ(dimmingViews(), 0u);
    EXPECT_EQ(middleRed(), 255);
    // Nothing to clean up now.
    presentation()->cleanUpSheetPresentationForWindow(window);
    EXPECT_EQ(dimmingViews(), 0u);
}

TEST_F(SheetPresentation, APrepareDuringTheFadeOutKeepsTheWindowDimmed)
{
    presentation()->prepareSheetPresentationForWindow(window);
    advance(1.1);
    presentation()->cleanUpSheetPresentationForWindow(window);
    advance(0.5);
    presentation()->prepareSheetPresentationForWindow(window);
    advance(2);
    EXPECT_EQ(dimmingViews(), 1u);
    EXPECT_NEAR(middleRed(), 153, 1);
    presentation()->cleanUpSheetPresentationForWindow(window);
    advance(1.1);
    EXPECT_EQ(dimmingViews(), 0u);
}

TEST_F(SheetPresentation, NothingWithoutTheEffectOrWithoutAWindow)
{
    presentation()->setUseHighlightEffect(false);
    presentation()->prepareSheetPresentationForWindow(window);
    EXPECT_EQ(dimmingViews(), 0u);
    presentation()->cleanUpSheetPresentationForWindow(window);
    presentation()->setUseHighlightEffect(true);
    presentation()->prepareSheetPresentationForWindow(nullptr);
    presentation()->cleanUpSheetPresentationForWindow(nullptr);
    EXPECT_FALSE(presentation()->presentationViewForWindow(nullptr));
}

}  // namespace
