#include <gtest/gtest.h>

#include <functional>

#include "../Themes/ThemedCellRecording.h"
#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSSplitView.h"
#include "ViewPixels.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButton.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonBar.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKAnchoredPopUpButton.h"
#include "ZAKAppKit/ZAKViewExtensions/NSView+ZAKNSViewExtension.h"

namespace {

// Answers every split-view question with values of its own.
class Answering : public NSObject, public NSSplitViewDelegate {
    NS_OBJECT(Answering, NSObject)
protected:
    Answering() = default;

public:
    int resized = 0;
    std::optional<NSRect> splitViewAdditionalEffectiveRectOfDividerAtIndex(NSSplitView*, NSInteger) override
    {
        return NSMakeRect(1, 2, 3, 4);
    }
    std::optional<CGFloat> splitViewConstrainMinCoordinateOfSubviewAt(NSSplitView*, CGFloat, NSInteger) override
    {
        return 11;
    }
    std::optional<CGFloat> splitViewConstrainMaxCoordinateOfSubviewAt(NSSplitView*, CGFloat, NSInteger) override
    {
        return 12;
    }
    std::optional<CGFloat> splitViewConstrainSplitPositionOfSubviewAt(NSSplitView*, CGFloat, NSInteger) override
    {
        return 13;
    }
    bool splitViewResizeSubviewsWithOldSize(NSSplitView*, NSSize) override
    {
        ++resized;
        return true;
    }
    std::optional<bool> splitViewCanCollapseSubview(NSSplitView*, NSView*) override { return true; }
    std::optional<bool> splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(NSSplitView*, NSView*,
                                                                                     NSInteger) override
    {
        return true;
    }
    std::optional<bool> splitViewShouldHideDividerAtIndex(NSSplitView*, NSInteger) override { return true; }
    std::optional<NSRect> splitViewEffectiveRectForDrawnRectOfDividerAtIndex(NSSplitView*, const NSRect&, const NSRect&,
                                                                             NSInteger) override
    {
        return NSMakeRect(5, 6, 7, 8);
    }
};
NS_CLASS_DEFINE(Answering)

std::string text(const NSRect& r)
{
    return std::to_string(int(r.origin.x)) + "," + std::to_string(int(r.origin.y)) + "," +
           std::to_string(int(r.size.width)) + "," + std::to_string(int(r.size.height));
}

Ref<ZAKAnchoredButtonBar> makeBar(const NSRect& frame)
{
    return dynamic_ref_cast<ZAKAnchoredButtonBar>(NSObject::alloc<ZAKAnchoredButtonBar>()->initWithFrame(frame));
}

Ref<ZAKAnchoredButton> makeButton(const NSRect& frame)
{
    return dynamic_ref_cast<ZAKAnchoredButton>(NSObject::alloc<ZAKAnchoredButton>()->initWithFrame(frame));
}

class AnchoredBarTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = makeWindow(NSMakeRect(100, 100, 400, 200), NSColor::whiteColor());
    }

    // A vertical split view of two panes filling the window, the bar along
    // the bottom of the pane at the index.
    Ref<ZAKAnchoredButtonBar> barInSplitView(bool vertical, int pane)
    {
        split =
            dynamic_ref_cast<NSSplitView>(NSObject::alloc<NSSplitView>()->initWithFrame(NSMakeRect(0, 0, 400, 200)));
        split->setVertical(vertical);
        for (int i = 0; i < 2; ++i)
            split->addSubview(NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 200, 200)));
        split->adjustSubviews();
        window->contentView()->addSubview(split);
        auto holder = split->subviews()[size_t(pane)];
        auto bar = makeBar(NSMakeRect(0, 0, holder->frame().size.width, 23));
        holder->addSubview(bar);
        bar->awakeFromNib();
        return bar;
    }

    Ref<NSWindow> window;
    Ref<NSSplitView> split;
};

}

TEST(AnchoredBar, TheStyleIndexWinsOverTheArchivedFlags)
{
    EXPECT_EQ(themed_cells::ownKeys(makeBar(NSMakeRect(0, 0, 100, 23)), "ZAKAnchoredButtonBar"),
              (std::vector<std::string>{"ZAKABBIsResizable", "ZAKABBIsAtBottom", "ZAKABBHandleIsRightAligned",
                                        "ZAKABBSelectedIndex"}));
    struct Case {
        bool resizable, atBottom;
        int index;
        bool expectResizable, expectAtBottom;
    } cases[] = {
        {true, true, 2, false, false}, {false, false, 0, true, true},  {true, false, 1, false, true},
        {true, false, 7, true, false}, {false, true, -1, false, true},
    };
    for (const auto& c : cases) {
        auto bar = dynamic_ref_cast<ZAKAnchoredButtonBar>(
            themed_cells::decode("ZAKAnchoredButtonBar", {{"NSFrame", {{"$rect", {0, 0, 100, 30}}}},
                                                          {"ZAKABBIsResizable", c.resizable},
                                                          {"ZAKABBIsAtBottom", c.atBottom},
                                                          {"ZAKABBHandleIsRightAligned", true},
                                                          {"ZAKABBSelectedIndex", c.index}}));
        ASSERT_TRUE(bar) << c.index;
        EXPECT_EQ(bar->isResizable(), c.expectResizable) << c.index;
        EXPECT_EQ(bar->isAtBottom(), c.expectAtBottom) << c.index;
        EXPECT_TRUE(bar->handleIsRightAligned());
        EXPECT_EQ(bar->selectedIndex(), c.index);
        // The plain setters leave the frame.
        EXPECT_EQ(bar->frame().size.height, 30) << c.index;
    }
    auto bar = makeBar(NSMakeRect(0, 0, 100, 30));
    EXPECT_TRUE(bar->isResizable());
    EXPECT_TRUE(bar->isAtBottom());
    EXPECT_EQ(bar->selectedIndex(), 0);
}

TEST(AnchoredBar, ButtonsAreTwentyFourHighAndRememberTheLastBar)
{
    auto button = makeButton(NSMakeRect(0, 0, 30, 40));
    EXPECT_EQ(button->frame().size.height, 24);
    EXPECT_EQ(button->frame().size.width, 30);
    auto bar = makeBar(NSMakeRect(0, 0, 100, 40));
    for (bool atBottom : {true, false}) {
        bar->setIsAtBottom(atBottom);
        EXPECT_EQ(bar->frame().size.height, atBottom ? 23 : 24);
        auto back = dynamic_ref_cast<ZAKAnchoredButton>(
            NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(button)));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->topAndLeftInset(), atBottom ? NSMakePoint(1, 1) : NSZeroPoint);
    }
}

TEST_F(AnchoredBarTest, InTheLastPaneOfAVerticalSplitViewTheBarDrivesTheDivider)
{
    auto bar = barInSplitView(true, 1);
    EXPECT_EQ(split->delegate(), Id(bar));
    EXPECT_TRUE(bar->isInLastSubview());
    EXPECT_TRUE(bar->handleIsRightAligned());
    EXPECT_EQ(bar->splitView(), split);
    // The bar is brought in front of its siblings.
    EXPECT_EQ(bar->superview()->subviews().back(), Ref<NSView>(bar));

    const auto strip = bar->splitViewAdditionalEffectiveRectOfDividerAtIndex(split.get(), 0);
    ASSERT_TRUE(strip);
    EXPECT_EQ(*strip, NSMakeRect(400 - bar->bounds().size.width, 200 - 23, 15, 23));
    // The split view grabs the divider there.
    EXPECT_EQ(
        split->hitTest(split->convertPointToView(NSMakePoint(NSMidX(*strip), NSMidY(*strip)), split->superview())),
        Ref<NSView>(split));

    // The handle is drawn at x 4: three dark grooves, 3 points apart.
    pump();
    const int row = 23 - 11;
    for (int x : {4, 7, 10}) EXPECT_LT(screenGrey(bar, x, row), screenGrey(bar, x + 2, row)) << x;

    // In the first pane the strip lies at the bar's right end.
    auto first = barInSplitView(true, 0);
    EXPECT_FALSE(first->handleIsRightAligned());
    const auto firstStrip = first->splitViewAdditionalEffectiveRectOfDividerAtIndex(split.get(), 0);
    EXPECT_EQ(firstStrip->origin.x, first->bounds().size.width - 15);
}

TEST_F(AnchoredBarTest, OnlyAResizableBarInAVerticalSplitViewTakesItOver)
{
    auto horizontal = barInSplitView(false, 1);
    EXPECT_FALSE(split->delegate());
    auto fixed = makeBar(NSMakeRect(0, 0, 100, 23));
    fixed->setSelectedIndex(1);
    auto vertical = barInSplitView(true, 0);
    EXPECT_EQ(split->delegate(), Id(vertical));
    split->setDelegate(nullptr);
    split->subviews()[1]->addSubview(fixed);
    fixed->awakeFromNib();
    EXPECT_FALSE(split->delegate());
}

TEST_F(AnchoredBarTest, DelegateQuestionsGoFirstToTheForwardingDelegate)
{
    auto bar = barInSplitView(true, 0);
    NSSplitView* s = split.get();
    NSView* pane = split->subviews()[0].get();
    const NSRect drawn = NSMakeRect(200, 0, 9, 200);
    const NSRect proposed = NSMakeRect(198, 0, 13, 200);
    const NSRect strip = *bar->splitViewAdditionalEffectiveRectOfDividerAtIndex(s, 0);
    struct Case {
        const char* name;
        std::function<std::string()> ask;
        std::string byDefault, forwarded;
    } cases[] = {
        {"additional rect", [&] { return text(*bar->splitViewAdditionalEffectiveRectOfDividerAtIndex(s, 0)); },
         text(strip), "1,2,3,4"},
        {"min", [&] { return std::to_string(int(*bar->splitViewConstrainMinCoordinateOfSubviewAt(s, 50, 0))); }, "50",
         "11"},
        {"max", [&] { return std::to_string(int(*bar->splitViewConstrainMaxCoordinateOfSubviewAt(s, 60, 0))); }, "60",
         "12"},
        {"position", [&] { return std::to_string(int(*bar->splitViewConstrainSplitPositionOfSubviewAt(s, 70, 0))); },
         "70", "13"},
        {"resize", [&] { return std::to_string(bar->splitViewResizeSubviewsWithOldSize(s, NSMakeSize(300, 200))); },
         "1", "1"},
        {"can collapse", [&] { return std::to_string(*bar->splitViewCanCollapseSubview(s, pane)); }, "0", "1"},
        {"double click",
         [&] { return std::to_string(*bar->splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(s, pane, 0)); },
         "0", "1"},
        {"hide divider", [&] { return std::to_string(*bar->splitViewShouldHideDividerAtIndex(s, 0)); }, "0", "1"},
        {"effective rect",
         [&] { return text(*bar->splitViewEffectiveRectForDrawnRectOfDividerAtIndex(s, proposed, drawn, 0)); },
         text(proposed), "5,6,7,8"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.ask(), c.byDefault) << c.name;
    // Without a forwarding delegate the resize hook lays the panes out.
    split->subviews()[0]->setFrameSize(NSMakeSize(100, 200));
    bar->splitViewResizeSubviewsWithOldSize(s, NSMakeSize(400, 200));
    EXPECT_NE(split->subviews()[0]->frame().size.width, 100);

    auto answering = NSObject::make<Answering>();
    bar->setSplitViewDelegate(answering);
    for (const auto& c : cases) EXPECT_EQ(c.ask(), c.forwarded) << c.name;
    EXPECT_EQ(answering->resized, 1);
}

TEST_F(AnchoredBarTest, TheBarMarksItsEdgeButtonsAndInsetsAfterTheLast)
{
    auto bar = makeBar(NSMakeRect(0, 0, 200, 23));
    window->contentView()->addSubview(bar);
    auto left = makeButton(NSMakeRect(0, 0, 30, 23));
    auto middle = makeButton(NSMakeRect(0.5, 0, 30, 23));
    auto popUp = NSObject::alloc<ZAKAnchoredPopUpButton>();
    popUp->initWithFrame(NSMakeRect(60, 0, 40, 23));
    auto right = makeButton(NSMakeRect(170, 0, 30, 23));
    for (auto& view : {Ref<NSView>(left), Ref<NSView>(middle), Ref<NSView>(popUp)}) bar->addSubview(view);

    pump();
    EXPECT_TRUE(left->isAtLeftEdgeOfBar());
    EXPECT_FALSE(middle->isAtLeftEdgeOfBar());
    EXPECT_FALSE(popUp->isAtLeftEdgeOfBar());
    EXPECT_FALSE(popUp->isAtRightEdgeOfBar());
    // The light inset line stands at the pop-up's right edge.
    const int row = 12;
    EXPECT_GT(screenGrey(bar, 100, row), screenGrey(bar, 110, row));

    bar->addSubview(right);
    bar->setNeedsDisplay(true);
    pump();
    EXPECT_TRUE(right->isAtRightEdgeOfBar());

    // Only other views: no inset line.
    auto plain = makeBar(NSMakeRect(0, 40, 200, 23));
    plain->setResizable(false);
    window->contentView()->addSubview(plain);
    plain->addSubview(NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 50, 23)));
    pump();
    for (int x = 40; x < 60; ++x) EXPECT_EQ(screenGrey(plain, x, row), screenGrey(plain, 80, row)) << x;
}

TEST_F(AnchoredBarTest, TheEdgeLinesAreOnePixelInTheirGreys)
{
    struct Case {
        bool atBottom;
        CGFloat top;
        std::optional<CGFloat> bottom;
    } cases[] = {{true, 202.0 / 255, std::nullopt}, {false, 190.0 / 255, 170.0 / 255}};
    for (const auto& c : cases) {
        auto bar = makeBar(NSMakeRect(0, 0, 200, 23));
        bar->setResizable(false);
        window->contentView()->addSubview(bar);
        bar->setIsAtBottom(c.atBottom);
        const int h = int(bar->frame().size.height);
        pump();
        EXPECT_NEAR(screenGrey(bar, 100, 0), c.top, 0.01) << c.atBottom;
        EXPECT_GT(std::abs(screenGrey(bar, 100, 1) - c.top), 0.01) << c.atBottom;
        if (c.bottom) {
            EXPECT_NEAR(screenGrey(bar, 100, h - 1), *c.bottom, 0.01);
            // The side lines, a pixel short of either end.
            EXPECT_NEAR(screenGrey(bar, 0, h / 2), *c.bottom, 0.01);
            EXPECT_NEAR(screenGrey(bar, 199, h / 2), *c.bottom, 0.01);
            EXPECT_GT(std::abs(screenGrey(bar, 1, h / 2) - *c.bottom), 0.01);
        }
        bar->removeFromSuperview();
    }
}
