// A pane: limits, dimension changes with their collapse and open
// thresholds, expanding to the remembered share, identity.
#include <cmath>

#include "SplitViewFixture.h"

TEST_F(SplitViewTest, PaneLimitsAreWholePoints)
{
    struct Case {
        double min, max, expectedMin, expectedMax;
    };
    const Case cases[] = {
        {0.4, 0.5, 1, 1000000},
        {10.7, 5.2, 10, 10},
        {20, 300.9, 20, 300},
        {NAN, INFINITY, 1, 1000000},
    };
    auto sv = makeSplit({100, 100}, 1);
    for (const auto& c : cases) {
        pane(sv, 0)->setMinDimension(c.min, c.max);
        EXPECT_EQ(pane(sv, 0)->minDimension(), c.expectedMin) << c.min;
        EXPECT_EQ(pane(sv, 0)->maxDimension(), c.expectedMax) << c.max;
    }
    // A pane now outside its limits asks for a pass.
    sv->adjustSubviews();
    pane(sv, 0)->setMinDimension(150, 0);
    EXPECT_TRUE(sv->mustAdjust());
}

TEST_F(SplitViewTest, ChangingADimensionCollapsesAndOpensAtThresholds)
{
    struct Case {
        const char* name;
        double minimum;
        double start;  // 0: collapsed
        double delta;
        bool mayCollapse;
        double expectedSize;
        double expectedAnswer;
    };
    const Case cases[] = {
        {"54% of the minimum stays collapsed", 100, 0, 54, true, 0, 0},
        {"56% opens at the minimum", 100, 0, 56, true, 100, 100},
        {"a longer drag opens wider", 100, 0, 130, true, 130, 130},
        {"46 clamps at the minimum", 100, 150, -104, true, 100, -50},
        {"44 collapses", 100, 150, -106, true, 0, -150},
        {"not allowed to collapse", 100, 150, -106, false, 100, -50},
        {"minimum 2: 0.95 collapses", 2, 10, -9.05, true, 0, -10},
        {"minimum 2: 1 clamps", 2, 10, -9, true, 2, -8},
        {"below a point does nothing", 10, 50, 0.8, true, 50, 0},
        {"same whole point: no change", 10, 10.5, -1, false, 10.5, -0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto sv = makeSplit({200, 200}, 1);
        auto p = pane(sv, 0);
        p->setCanCollapse(true);
        p->setMinDimension(c.minimum, 0);
        if (c.start == 0) {
            p->setMinDimension(1, 0);
            p->setDimension(c.minimum * 2);
            p->collapse();
            p->setMinDimension(c.minimum, 0);
        } else {
            p->QX___setFrame(NSMakeRect(0, 0, c.start, 100), 0, false);
        }
        EXPECT_EQ(p->changeDimensionBy(c.delta, c.mayCollapse, false), c.expectedAnswer);
        EXPECT_EQ(p->QX___visibleDimension(), c.expectedSize);
    }
}

TEST_F(SplitViewTest, CollapsedPaneExpandsToItsRememberedShare)
{
    // 601 points with a 1-point divider: 600 without dividers.
    auto sv = makeSplit({300, 300}, 1);
    auto p = pane(sv, 0);
    p->setCanCollapse(true);
    EXPECT_EQ(p->collapse(), -300);
    EXPECT_TRUE(p->isCollapsed());
    EXPECT_EQ(p->status(), 1);
    sv->adjustSubviews();
    EXPECT_EQ(dims(sv), (std::vector<double>{0, 600}));
    p->setDimension(150);  // a collapsed pane only remembers: 150 / 600
    EXPECT_DOUBLE_EQ(p->QX___fraction(), 0.25);
    EXPECT_EQ(p->dimension(), 150);
    EXPECT_EQ(p->expand(), 150);
    EXPECT_EQ(p->QX___visibleDimension(), 200);  // 600 x 0.25 / 0.75
    EXPECT_EQ(p->expand(), 0);                   // not collapsed any more
    sv->adjustSubviews();
    EXPECT_EQ(dims(sv), (std::vector<double>{150, 450}));  // a quarter of 600 again
}

TEST_F(SplitViewTest, OnlyPanesBesideOthersCanCollapse)
{
    auto sv = makeSplit({100, 100}, 1);
    auto delegate = NSObject::make<RecordingSplitDelegate>();
    auto p = pane(sv, 0);
    EXPECT_FALSE(p->canCollapse());
    p->setCanCollapse(true);
    EXPECT_TRUE(p->canCollapse());
    sv->setDelegate(delegate);
    delegate->canCollapse = false;
    EXPECT_FALSE(p->canCollapse());
    delegate->canCollapse = true;
    pane(sv, 1)->setHidden(true);
    EXPECT_FALSE(p->canCollapse());  // the only visible pane
    EXPECT_EQ(p->collapse(), 0);
    auto loose =
        static_ref_cast<QXSplitSubview>(NSObject::alloc<QXSplitSubview>()->initWithFrame(NSMakeRect(0, 0, 50, 50)));
    EXPECT_FALSE(loose->canCollapse());
    EXPECT_EQ(loose->changeDimensionBy(20, true, false), 0);
    EXPECT_EQ(loose->position(), 0u);
    EXPECT_FALSE(loose->splitView());
}

TEST_F(SplitViewTest, PaneIdentityAndPosition)
{
    auto sv = makeSplit({100, 100, 100}, 1);
    auto p = pane(sv, 0);
    EXPECT_NE(p->description()->UTF8String().find("(0)"), std::string::npos);
    p->setIdentifier(nullptr);
    EXPECT_EQ(p->identifier()->UTF8String(), "");
    EXPECT_EQ(p->description()->UTF8String().find('('), std::string::npos);
    p->setIdentifier("Sidebar"_ns);
    EXPECT_EQ(sv->subviewWithIdentifier("Sidebar"_ns), p);
    EXPECT_FALSE(sv->subviewWithIdentifier(nullptr));
    p->setPosition(2);
    EXPECT_EQ(p->position(), 2u);
    p->setPosition(9);
    EXPECT_EQ(p->position(), 2u);
    pane(sv, 2)->setPosition(0);
    EXPECT_EQ(sv->subviewAtPosition(0), p);
    EXPECT_FALSE(sv->subviewAtPosition(3));
    EXPECT_NE(sv->description()->UTF8String().find("{3 "), std::string::npos);
}
