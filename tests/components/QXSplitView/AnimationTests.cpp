// Collapse and expand animations on the virtual clock.
#include "SplitViewFixture.h"

namespace {
void advance(double seconds) { NSRunLoop::currentRunLoop()->advance(seconds, NSDefaultRunLoopMode); }
std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : "(nil)"; }
}

TEST_F(SplitViewTest, ShortPanesCollapseAtOnce)
{
    // 12 points take 12/750 s, not more than a frame; a delegate answering
    // 0 turns animation off.
    auto sv = makeSplit({12, 300}, 1);
    pane(sv, 0)->setCanCollapse(true);
    EXPECT_FALSE(pane(sv, 0)->collapseWithAnimation());
    EXPECT_TRUE(pane(sv, 0)->isCollapsed());
    EXPECT_FALSE(QXSplitSubview::animating());

    auto other = makeSplit({300, 300}, 1);
    auto delegate = NSObject::make<RecordingSplitDelegate>();
    delegate->animationDuration = 0;
    other->setDelegate(delegate);
    pane(other, 0)->setCanCollapse(true);
    EXPECT_FALSE(pane(other, 0)->collapseWithAnimation());
    EXPECT_TRUE(pane(other, 0)->isCollapsed());
    EXPECT_EQ(delegate->log, std::vector<std::string>{"collapse 0"});
    // Only from the right state.
    EXPECT_FALSE(pane(other, 0)->collapseWithAnimation());
    EXPECT_FALSE(pane(other, 1)->expandWithAnimation());
}

TEST_F(SplitViewTest, CollapsingThreeHundredPointsTakesFourTenthsOfASecond)
{
    auto sv = makeSplit({300, 300}, 1);
    sv->setAutosaveName("Animated"_ns, false);
    sv->restoreState(false);
    auto delegate = NSObject::make<RecordingSplitDelegate>();
    sv->setDelegate(delegate);
    auto p = pane(sv, 0);
    p->setCanCollapse(true);
    showInWindow(sv, sv->frame().size);
    const std::string before = stored("QXSplitView V Animated");
    int passes = delegate->passes;
    EXPECT_TRUE(p->collapseWithAnimation());
    EXPECT_TRUE(QXSplitSubview::animating());
    EXPECT_EQ(p->status(), -1);
    EXPECT_TRUE(sv->isDragging());

    advance(0.2);
    EXPECT_NEAR(p->QX___visibleDimension(), 150, 6);
    EXPECT_EQ(dims(sv)[0] + dims(sv)[1], 600);
    EXPECT_EQ(stored("QXSplitView V Animated"), before);  // not saved meanwhile
    // About sixty steps a second, not one per run-loop turn.
    EXPECT_LE(delegate->passes - passes, 14);
    advance(0.17);
    EXPECT_TRUE(delegate->log.empty());
    advance(0.04);
    EXPECT_TRUE(p->isCollapsed());
    EXPECT_EQ(delegate->log, std::vector<std::string>{"collapse 0"});
    EXPECT_FALSE(QXSplitSubview::animating());
    EXPECT_FALSE(sv->isDragging());
    EXPECT_EQ(stored("QXSplitView V Animated"), text(sv->stringWithSavedState()));

    // Expanding gives back the remembered share in the same time.
    EXPECT_TRUE(p->expandWithAnimation());
    EXPECT_EQ(p->status(), -2);
    advance(0.41);
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"collapse 0", "expand 0"}));
    EXPECT_EQ(dims(sv), (std::vector<double>{300, 300}));
    EXPECT_EQ(p->minDimension(), 1);
}

TEST_F(SplitViewTest, OneAnimationAtATime)
{
    auto sv = makeSplit({300, 300, 300}, 1);
    for (NSUInteger i = 0; i < 3; ++i) pane(sv, i)->setCanCollapse(true);
    showInWindow(sv, sv->frame().size);
    EXPECT_TRUE(pane(sv, 0)->collapseWithAnimation());
    // A second pane's request is done at once.
    EXPECT_FALSE(pane(sv, 2)->collapseWithAnimation());
    EXPECT_TRUE(pane(sv, 2)->isCollapsed());
    EXPECT_EQ(pane(sv, 0)->status(), -1);

    // Removing the animated pane stops it.
    advance(0.1);
    pane(sv, 0)->removeFromSuperview();
    EXPECT_FALSE(QXSplitSubview::animating());
    EXPECT_FALSE(sv->isDragging());
    advance(0.5);
    EXPECT_EQ(sv->subviews().size(), 2u);
}
