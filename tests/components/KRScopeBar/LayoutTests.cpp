#include "AppKit/NSStringDrawing.h"
#include "ScopeBarFixture.h"

namespace {

// Groups of the source's objects without labels; "g0" has no separator.
// Fixed metrics: a button is 10 per character + 20 wide, a pop-up + 30.
std::vector<double> widths(const std::vector<NSRect>& frames)
{
    std::vector<double> out;
    for (auto& f : frames) out.push_back(f.size.width);
    return out;
}
std::vector<double> xs(const std::vector<NSRect>& frames)
{
    std::vector<double> out;
    for (auto& f : frames) out.push_back(f.origin.x);
    return out;
}

TEST_F(ScopeBarTest, WideBarGivesEveryGroupItsMaximumWidth)
{
    auto bar = barWithGroups({{"aa", "bb"}, {"ccc"}}, 600);
    bar->calcSize();
    auto h = bar->helpers();
    EXPECT_EQ(h[0]->headerWidth(), 0u);
    EXPECT_EQ(h[0]->maximumWidth(), 85u);  // 40 + 5 + 40
    EXPECT_EQ(h[1]->headerWidth(), 11u);   // separator 1 + padding 10
    EXPECT_EQ(h[1]->maximumWidth(), 61u);
    EXPECT_EQ(xs(frames(bar)), (std::vector<double>{11, 107}));
    EXPECT_EQ(widths(frames(bar)), (std::vector<double>{85, 61}));
    EXPECT_EQ(bar->overflowPullDownCell()->numberOfItems(), 1);
    // Buttons at their natural widths, from the button area's left edge.
    ASSERT_EQ(h[0]->buttonRects().size(), 2u);
    EXPECT_EQ(h[0]->buttonRects()[0], NSMakeRect(11, 2.5, 40, 20));
    EXPECT_EQ(h[0]->buttonRects()[1], NSMakeRect(56, 2.5, 40, 20));
    EXPECT_EQ(h[1]->separatorRect().origin.x, 107);
    EXPECT_EQ(h[1]->buttonRects()[0].origin.x, 118);
}

TEST_F(ScopeBarTest, LabelsWidenTheHeader)
{
    auto bar = barWithGroups({{"aa"}}, 600);
    auto g = bar->groupAtIndex(0);
    g->setLabel("Kind:"_ns);
    bar->calcSize();
    auto h = bar->helpers()[0];
    const double label = NSAttributedStringExt::size(g->attributedLabel()).width;
    EXPECT_EQ(h->headerWidth(), NSUInteger(std::trunc(label + 1 + 10)));
    EXPECT_EQ(h->labelRect().origin.x, 11);
    EXPECT_EQ(h->labelRect().size.width, std::trunc(label + 1));
    EXPECT_EQ(h->buttonRects()[0].origin.x, 11 + std::trunc(label + 1) + 10);
}

TEST_F(ScopeBarTest, NarrowingCollapsesFromTheRightSkippingRefusals)
{
    const std::vector<std::vector<std::string>> groups = {
        {"aaaaaaaa", "bbbbbbbb"}, {"cccccccc", "dddddddd"}, {"eeeeeeee", "ffffffff"}};
    struct Case {
        std::set<std::string> refused;
        std::vector<bool> collapsed;
    };
    for (const Case& c : {Case{{}, {false, false, true}}, Case{{"g2"}, {false, true, false}}}) {
        auto bar = barWithGroups(groups, 444);
        auto delegate = NSObject::make<ScopeDelegate>();
        delegate->refusedCollapse = c.refused;
        bar->setDelegate(delegate);
        bar->reloadData();
        bar->calcSize();
        for (size_t i = 0; i < 3; ++i) EXPECT_EQ(bar->groupAtIndex(i)->collapsed(), c.collapsed[i]) << i;
        EXPECT_EQ(bar->overflowPullDownCell()->numberOfItems(), 1);
        // Widening expands them again at the next pass.
        bar->setFrameSize(NSMakeSize(1000, 25));
        bar->calcSize();
        for (size_t i = 0; i < 3; ++i) EXPECT_FALSE(bar->groupAtIndex(i)->collapsed());
    }
}

TEST_F(ScopeBarTest, OverflowTakesObjectsFromTheRightInBarOrder)
{
    auto bar = barWithGroups({{"aaaaaaaa", "bbbbbbbb"}, {"cccccccc", "dddddddd"}, {"eeeeeeee", "ffffffff"}}, 200);
    bar->reloadData();
    bar->calcSize();
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(bar->groupAtIndex(i)->collapsed());
    EXPECT_EQ(overflowTitles(bar), (std::vector<std::string>{"cccccccc", "dddddddd", "-", "eeeeeeee", "ffffffff"}));
    // Right-aligned: the bar's right edge less the margin and the button's width.
    EXPECT_EQ(bar->overflowPullDownRect(), NSMakeRect(189 - 26, 7.5, 26, 10));
    EXPECT_EQ(widths(frames(bar))[0], 110);  // the collapsed pop-up at its natural width
    EXPECT_TRUE(bar->helpers()[1]->isPeeled());
    // The selected objects are on in the menu.
    auto menu = bar->overflowPullDownCell()->menu();
    EXPECT_EQ(menu->itemAtIndex(1)->state(), NSOnState);
    EXPECT_EQ(menu->itemAtIndex(2)->state(), NSOffState);
    EXPECT_TRUE(menu->itemAtIndex(1)->representedObject());
}

TEST_F(ScopeBarTest, AccessoryViewTakesItsPlaceAtTheRight)
{
    auto bar = barWithGroups({{"aa", "bb"}}, 300);
    auto accessory = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 50.7, 15));
    bar->setAccessoryView(accessory);
    bar->calcSize();
    EXPECT_EQ(accessory->frame(), NSMakeRect(289 - 50, 5, 50, 15));
}

TEST_F(ScopeBarTest, ShrinkingIsProportionalWithHalvesAwayFromZero)
{
    // Two groups of one long button each: slack 50 and 50, 25 points too many.
    auto bar = barWithGroups({{"aaaaaaaaaa"}, {"bbbbbbbbbb"}}, 259);
    bar->calcSize();
    EXPECT_EQ(widths(frames(bar)), (std::vector<double>{107, 119}));  // 12.5 rounds to 13, the last takes 12
    EXPECT_EQ(xs(frames(bar)), (std::vector<double>{11, 129}));

    // Inside a group every button but the last loses its share, rounded down.
    auto three = barWithGroups({{"aaaaaaaa", "bbbbbbbb", "cccccccc"}}, 600);
    three->calcSize();
    auto h = three->helpers()[0];
    ASSERT_EQ(h->maximumWidth(), 310u);
    ASSERT_EQ(h->minimumWidth(), 220u);
    h->setFrame(NSMakeRect(11, 0, 251, 25));
    std::vector<double> w;
    for (auto& r : h->buttonRects()) w.push_back(r.size.width);
    EXPECT_EQ(w, (std::vector<double>{81, 81, 79}));  // floor(30/90 x 59) = 19 twice, the last 21
    EXPECT_EQ(h->buttonRects()[1].origin.x, 11 + 81 + 5);
}

TEST_F(ScopeBarTest, AGroupWithoutSlackShrinksOnlyItsLastButton)
{
    // Three groups share 10 points of shrinking as 3 each; the last group,
    // whose buttons are all below the minimum width, takes the point left.
    auto bar = barWithGroups({{"aaaaaaaa"}, {"bbbbbbbb"}, {"cccccccc"}, {"cc", "dd"}}, 463);
    bar->calcSize();
    EXPECT_EQ(widths(frames(bar)), (std::vector<double>{97, 108, 108, 95}));
    auto last = bar->helpers()[3];
    ASSERT_EQ(last->buttonRects().size(), 2u);
    EXPECT_EQ(last->buttonRects()[0].size.width, 40);
    EXPECT_EQ(last->buttonRects()[1].size.width, 39);
}

TEST_F(ScopeBarTest, WithoutAutoResizingNothingCollapsesOrOverflows)
{
    auto bar = barWithGroups({{"aaaaaaaa", "bbbbbbbb"}, {"cccccccc", "dddddddd"}}, 200);
    bar->setAutoResizesGroups(false);
    bar->reloadData();
    bar->calcSize();
    EXPECT_FALSE(bar->groupAtIndex(0)->collapsed());
    EXPECT_FALSE(bar->groupAtIndex(1)->collapsed());
    EXPECT_EQ(bar->overflowPullDownCell()->numberOfItems(), 1);
    EXPECT_EQ(widths(frames(bar)), (std::vector<double>{205, 216}));
}

TEST_F(ScopeBarTest, BarNarrowerThanItsFixedParts)
{
    auto bar = barWithGroups({{"aaaaaaaa", "bbbbbbbb"}, {"cccccccc", "dddddddd"}, {"eeeeeeee", "ffffffff"}}, 30);
    bar->reloadData();
    bar->calcSize();
    // Only what the rightmost group's first peel hands out, and maximum widths.
    EXPECT_EQ(overflowTitles(bar), (std::vector<std::string>{"eeeeeeee", "ffffffff"}));
    EXPECT_EQ(widths(frames(bar)), (std::vector<double>{110, 121, 0}));
    EXPECT_EQ(xs(frames(bar)), (std::vector<double>{11, 132, 264}));
}

}  // namespace
