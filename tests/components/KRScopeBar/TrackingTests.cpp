#include "AppKit/MenuWindow.h"
#include "AppKit/NSTrackingArea.h"
#include "AppKit/USKeyboardLayout.h"
#include "ScopeBarFixture.h"

namespace {

class ScopeBarTrackingTest : public ScopeBarTest {
protected:
    void move(const Ref<KRScopeBar>& bar, NSPoint p)
    {
        server().injectPointer(onScreen(bar, p));
        pump();
    }
    // Press at one point, drag through the others, release at the last.
    void press(const Ref<KRScopeBar>& bar, NSPoint at, std::vector<NSPoint> through)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, onScreen(bar, at));
        for (auto p : through) server().injectPointer(onScreen(bar, p));
        server().injectMouse(NSEventTypeLeftMouseUp, onScreen(bar, through.empty() ? at : through.back()));
        pump();
    }
    // Runs the body once a menu window is on screen, during its tracking.
    void whenMenuShows(std::function<void(const Ref<MenuWindow>&)> body)
    {
        auto loop = NSRunLoop::currentRunLoop();
        m_menuObserver = loop->addObserver({NSEventTrackingRunLoopMode}, [this, body] {
            if (m_menuSeen) return;
            for (auto& w : NSWindow::allWindows())
                if (auto menu = dynamic_ref_cast<MenuWindow>(w); menu && menu->isVisible()) {
                    m_menuSeen = true;
                    body(menu);
                    return;
                }
        });
    }
    void TearDown() override
    {
        if (m_menuObserver) NSRunLoop::currentRunLoop()->removeSource(m_menuObserver);
        ScopeBarTest::TearDown();
    }
    static void keys(std::vector<uint16_t> codes)
    {
        for (auto k : codes) {
            server().injectKey(k, 0, true);
            server().injectKey(k, 0, false);
        }
    }
    NSRunLoop::SourceID m_menuObserver = 0;
    bool m_menuSeen = false;
};

TEST_F(ScopeBarTrackingTest, HoverLooksAndEnds)
{
    auto bar = barWithGroups({{"aa", "bb"}, {"ccc"}});
    show(bar);
    auto h = bar->helpers()[0];
    move(bar, centre(h->buttonRects()[1]));
    EXPECT_EQ(bar->trackingGroup().get(), h.get());
    EXPECT_EQ(h->trackingIndex(), 1);
    auto cell = dynamic_ref_cast<KRButtonCell>(h->trackingCell());
    ASSERT_TRUE(cell);
    EXPECT_TRUE(cell->mouseOver());
    move(bar, NSMakePoint(590, 12));  // past every group
    EXPECT_FALSE(h->trackingCell());
    EXPECT_EQ(h->trackingIndex(), -1);
    EXPECT_FALSE(bar->trackingGroup());
}

TEST_F(ScopeBarTrackingTest, AClickCountsOnlyWhenReleasedOnTheButton)
{
    struct Case {
        const char* what;
        std::vector<NSPoint> drag;  // relative to the button's centre
        bool selects;
    };
    for (const Case& c :
         {Case{"press and release", {}, true}, Case{"leave and release outside", {{0, 0}, {200, 0}}, false},
          Case{"leave and come back", {{200, 0}, {0, 0}}, true}}) {
        SCOPED_TRACE(c.what);
        auto bar = barWithGroups({{"aa", "bb"}}, 600, KRScopeBarGroup::MultipleSelection);
        show(bar);
        auto h = bar->helpers()[0];
        const NSPoint at = centre(h->buttonRects()[1]);
        move(bar, at);
        std::vector<NSPoint> through;
        for (auto d : c.drag) through.push_back(NSMakePoint(at.x + d.x, at.y + d.y));
        posted.clear();
        press(bar, at, through);
        EXPECT_EQ(bar->groupAtIndex(0)->selectionIndexes()->containsIndex(1), c.selects);
        EXPECT_EQ(posted.size(), c.selects ? 1u : 0u);
    }
}

TEST_F(ScopeBarTrackingTest, ARefusingDelegatePreventsEvenTheHighlight)
{
    auto bar = barWithGroups({{"aa", "bb"}}, 600, KRScopeBarGroup::MultipleSelection);
    auto delegate = NSObject::make<ScopeDelegate>();
    delegate->refusedObjects = {"bb"};
    bar->setDelegate(delegate);
    show(bar);
    const NSPoint at = centre(bar->helpers()[0]->buttonRects()[1]);
    move(bar, at);
    FixedButtonCell::highlights = 0;
    press(bar, at, {});
    EXPECT_EQ(FixedButtonCell::highlights, 0);
    EXPECT_FALSE(bar->groupAtIndex(0)->selectionIndexes()->containsIndex(1));
    EXPECT_GT(delegate->askedSelect, 0);
}

TEST_F(ScopeBarTrackingTest, CollapsedGroupPopsUpEveryObject)
{
    auto bar = barWithGroups({{"aaaaaaaa", "bbbbbbbb"}, {"cccccccc", "dddddddd", "eeeeeeee"}}, 260,
                             KRScopeBarGroup::MultipleSelection);
    auto m = NSMutableIndexSet::indexSet();
    m->addIndex(0);
    m->addIndex(2);
    bar->groupAtIndex(1)->setSelectionIndexes(m);
    show(bar);
    ASSERT_TRUE(bar->groupAtIndex(1)->collapsed());
    ASSERT_FALSE(bar->groupAtIndex(0)->collapsed());
    auto h = bar->helpers()[1];
    move(bar, centre(h->buttonRect()));
    ASSERT_TRUE(dynamic_ref_cast<KRPopUpButtonCell>(h->trackingCell()));
    EXPECT_EQ(std::string(h->trackingCell()->title()->UTF8String()), "<Multiple>");

    std::vector<std::pair<std::string, NSInteger>> shown;
    whenMenuShows([&](const Ref<MenuWindow>& w) {
        auto menu = w->menuView()->menu();
        for (NSInteger i = 0; i < menu->numberOfItems(); ++i)
            shown.push_back({menu->itemAtIndex(i)->title()->UTF8String(), menu->itemAtIndex(i)->state()});
        keys({kVK_DownArrow, kVK_DownArrow, kVK_Return});  // the second item
    });
    press(bar, centre(h->buttonRect()), {});
    EXPECT_EQ(shown, (std::vector<std::pair<std::string, NSInteger>>{
                         {"cccccccc", NSOnState}, {"dddddddd", NSOffState}, {"eeeeeeee", NSOnState}}));
    // Multiple selection: the chosen object is toggled on.
    EXPECT_EQ(bar->groupAtIndex(1)->selectionIndexes()->count(), 3u);
}

TEST_F(ScopeBarTrackingTest, OverflowChoiceSelectsInAFullyPeeledGroup)
{
    auto bar = barWithGroups({{"aaaaaaaa", "bbbbbbbb"}, {"cccccccc", "dddddddd"}, {"eeeeeeee", "ffffffff"}}, 200);
    bar->reloadData();
    show(bar);
    ASSERT_TRUE(bar->helpers()[2]->isPeeled());
    bool areaOverOverflow = false;
    for (auto& area : bar->trackingAreas())
        if (NSEqualRects(area->rect(), bar->overflowPullDownRect())) areaOverOverflow = true;
    EXPECT_TRUE(areaOverOverflow);

    move(bar, centre(bar->overflowPullDownRect()));
    EXPECT_TRUE(bar->trackingOverflow());
    whenMenuShows([&](const Ref<MenuWindow>&) {
        keys({kVK_DownArrow, kVK_DownArrow, kVK_DownArrow, kVK_DownArrow, kVK_Return});
    });
    press(bar, centre(bar->overflowPullDownRect()), {});
    EXPECT_EQ(std::string(bar->groupAtIndex(2)->selectedObject()->description()->UTF8String()), "ffffffff");

    // A wide bar has no overflow button and no area for it.
    m_window->setContentSize(NSMakeSize(1000, 60));
    bar->setFrameSize(NSMakeSize(1000, 25));
    bar->adjustSubviews();
    m_window->display();
    pump();
    EXPECT_EQ(bar->overflowPullDownCell()->numberOfItems(), 1);
    EXPECT_EQ(bar->trackingAreas().size(), 6u);  // one per button
}

TEST_F(ScopeBarTrackingTest, RemovingTheHoveredGroupForgetsIt)
{
    auto bar = barWithGroups({{"aa"}, {"bb"}});
    show(bar);
    move(bar, centre(bar->helpers()[1]->buttonRects()[0]));
    ASSERT_TRUE(bar->trackingGroup());
    bar->removeGroupAtIndex(1);
    EXPECT_FALSE(bar->trackingGroup());
    server().injectMouse(NSEventTypeLeftMouseDown, onScreen(bar, NSMakePoint(150, 12)));
    server().injectMouse(NSEventTypeLeftMouseUp, onScreen(bar, NSMakePoint(150, 12)));
    pump();
}

}  // namespace
