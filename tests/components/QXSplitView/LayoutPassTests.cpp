// The layout pass: proportional sharing, rounding, limits, collapsing to fit,
// hidden panes, nesting and wrapping.
#include <cmath>

#include "SplitViewFixture.h"

NS_CLASS_DEFINE(RecordingSplitDelegate)

TEST_F(SplitViewTest, PassSharesTheLengthInProportion)
{
    struct Case {
        const char* name;
        std::vector<double> panes;
        double thickness;
        double newLength;
        std::vector<double> expected;
        std::vector<double> expectedFractions;
    };
    const Case cases[] = {
        {"unchanged", {100, 200}, 1, 301, {100, 200}, {0, 0}},
        {"grown by half", {100, 200}, 1, 451, {150, 300}, {0, 0}},
        {"thirds round, the last takes the gap", {100, 100, 100}, 1, 202, {67, 67, 66}, {-1.0 / 3, -1.0 / 3, 2.0 / 3}},
        // Shares of 25.5 and 76.5: x.5 rounds down with fraction +0.5, and
        // the last pane takes the point left over.
        {"x.5 rounds down", {50, 150}, 0, 102, {25, 77}, {0.5, -0.5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto sv = makeSplit(c.panes, c.thickness);
        sv->setFrameSize(NSMakeSize(c.newLength, 100));
        EXPECT_EQ(dims(sv), c.expected);
        auto f = fractions(sv);
        for (size_t i = 0; i < f.size(); ++i) EXPECT_NEAR(f[i], c.expectedFractions[i], 1e-9) << i;
        EXPECT_FALSE(sv->mustAdjust());
    }
}

TEST_F(SplitViewTest, PassRespectsLimitsAndCollapsesToFit)
{
    // Two panes of minimum 100, the second collapsible, in 150 points.
    auto sv = makeSplit({100, 100}, 0);
    auto delegate = NSObject::make<RecordingSplitDelegate>();
    sv->setDelegate(delegate);
    for (NSUInteger i : {0u, 1u}) pane(sv, i)->setMinDimension(100, 0);
    pane(sv, 1)->setCanCollapse(true);
    sv->setFrameSize(NSMakeSize(150, 100));
    EXPECT_EQ(dims(sv), (std::vector<double>{150, 0}));
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"resized 200 150", "collapse 1"}));
    EXPECT_EQ(sv->dividerRects().size(), 1u);

    // A maximum pins a pane; the rest takes the remainder.
    auto limited = makeSplit({100, 100}, 0);
    pane(limited, 0)->setMinDimension(1, 120);
    limited->setFrameSize(NSMakeSize(400, 100));
    EXPECT_EQ(dims(limited), (std::vector<double>{120, 280}));
}

TEST_F(SplitViewTest, PassWithEveryPaneCollapsedOpensTheOneWithTheSmallestMinimum)
{
    auto sv = makeSplit({100, 100, 100}, 1);
    const double minimums[] = {60, 30, 30};
    for (NSUInteger i = 0; i < 3; ++i) {
        pane(sv, i)->setMinDimension(minimums[i], 0);
        pane(sv, i)->setCanCollapse(true);
    }
    // Collapse the first two by hand; the third collapses as the last.
    pane(sv, 0)->collapse();
    pane(sv, 1)->collapse();
    sv->adjustSubviews();
    for (NSUInteger i = 0; i < 3; ++i) {
        NSRect f = pane(sv, i)->frame();
        f.size.width = 0;
        pane(sv, i)->setFrame(f);
    }
    sv->adjustSubviews();
    // The first of the smallest minimums gets the whole length.
    EXPECT_EQ(dims(sv), (std::vector<double>{0, 300, 0}));
}

TEST_F(SplitViewTest, PassSkipsTinyBoundsAndHiddenPanes)
{
    auto sv = makeSplit({100, 100}, 1);
    auto delegate = NSObject::make<RecordingSplitDelegate>();
    sv->setDelegate(delegate);
    sv->NSView::setFrameSize(NSMakeSize(201, 0.5));
    sv->setMustAdjust();
    sv->adjustSubviews();
    EXPECT_EQ(delegate->passes, 0);
    EXPECT_FALSE(sv->mustAdjust());

    // A hidden pane gets neither space nor a divider; showing it keeps its
    // size and takes the room from the others.
    auto three = makeSplit({100, 100, 100}, 1);
    auto middle = pane(three, 1);
    middle->setHidden(true);
    EXPECT_EQ(three->dividerRects().size(), 1u);
    EXPECT_EQ(pane(three, 0)->QX___visibleDimension() + pane(three, 2)->QX___visibleDimension(), 301);
    middle->setHidden(false);
    EXPECT_EQ(middle->QX___visibleDimension(), 100);
    EXPECT_EQ(three->dividerRects().size(), 2u);
    EXPECT_EQ(dims(three)[0] + dims(three)[2], 200);
}

TEST_F(SplitViewTest, NestedSplitViewsRunAcrossAndNonPanesAreWrapped)
{
    auto outer = makeSplit({200, 200}, 1);
    auto nested =
        static_ref_cast<QXSplitView>(NSObject::alloc<QXSplitView>()->initWithFrame(NSMakeRect(0, 0, 150, 100)));
    nested->setHorizontal(false);
    outer->addSubview(nested);
    EXPECT_TRUE(nested->isHorizontal());
    nested->setHorizontal(false);  // ignored while nested
    EXPECT_TRUE(nested->isHorizontal());
    EXPECT_TRUE(nested->isCoupled());
    EXPECT_EQ(nested->coupledSplitView(), nested);
    EXPECT_FALSE(outer->isCoupled());

    auto plain = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(30, 40, 80, 60));
    nested->addSubview(plain);
    auto wrapper = dynamic_ref_cast<QXSplitSubview>(plain->superview());
    ASSERT_TRUE(wrapper);
    EXPECT_EQ(wrapper->superview(), Ref<NSView>(nested));
    EXPECT_EQ(plain->autoresizingMask(), NSUInteger(18));
    EXPECT_EQ(plain->frame().origin, NSZeroPoint);
    EXPECT_EQ(wrapper->frame().size, NSMakeSize(80, 60));

    // The outer pass lays out the nested one at its end.
    outer->setFrameSize(NSMakeSize(601, 100));
    EXPECT_FALSE(nested->mustAdjust());
    EXPECT_EQ(nested->frame().size.height, 100);
    EXPECT_EQ(wrapper->frame().size.width, nested->frame().size.width);
}
