// The collapsible split view: collapsing towards the sibling a pane names,
// expanding back, the controller's answers and its delegate's overrides,
// and toggling from a button.
#include "AppKit/NSImage.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKSplitView/NSView+ZAKSplitViewExtensions.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitSubview.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitView.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewController.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbar.h"

// The windowing fixture's view, defined once per test program.
NS_CLASS_DEFINE(RecordingView)

namespace {

// Overrides only whether a pane may collapse.
class CollapseOnlyDelegate : public NSObject, public ZAKSplitViewControllerDelegate {
    NS_OBJECT(CollapseOnlyDelegate, NSObject)
protected:
    CollapseOnlyDelegate() = default;

public:
    bool answer = false;
    std::optional<bool> splitViewCanCollapseSubview(NSSplitView*, NSView*) override { return answer; }
};
NS_CLASS_DEFINE(CollapseOnlyDelegate)

}

class CollapsibleSplitViewTest : public WindowingTest {
protected:
    // A vertical split view with thin dividers and panes of the widths,
    // delegated to a controller.
    Ref<ZAKSplitView> makeSplit(std::vector<double> widths)
    {
        double length = double(widths.size() - 1);
        for (double w : widths) length += w;
        auto sv = static_ref_cast<ZAKSplitView>(
            NSObject::alloc<ZAKSplitView>()->initWithFrame(NSMakeRect(0, 0, length, 100)));
        sv->setVertical(true);
        sv->setDividerStyle(NSSplitViewDividerStyleThin);
        for (double w : widths)
            sv->addSubview(NSObject::alloc<ZAKSplitSubview>()->initWithFrame(NSMakeRect(0, 0, w, 100)));
        m_controller = static_ref_cast<ZAKSplitViewController>(
            NSObject::alloc<ZAKSplitViewController>()->initWithNibName(nullptr, nullptr));
        sv->setDelegate(m_controller);
        sv->adjustSubviews();
        return sv;
    }

    static Ref<ZAKSplitSubview> pane(const Ref<ZAKSplitView>& sv, size_t i)
    {
        return static_ref_cast<ZAKSplitSubview>(sv->subviews()[i]);
    }

    static std::vector<double> widths(const Ref<ZAKSplitView>& sv)
    {
        std::vector<double> w;
        for (auto& v : sv->subviews()) w.push_back(sv->isSubviewCollapsed(v) ? 0 : v->frame().size.width);
        return w;
    }

    Ref<ZAKSplitViewController> m_controller;
};

TEST_F(CollapsibleSplitViewTest, CollapsingGivesTheRoomToTheNamedSibling)
{
    struct Case {
        const char* name;
        size_t pane;
        NSInteger mode;
        std::vector<double> collapsed;
    };
    // Panes 100, 200 and 100 with one-point dividers that stay visible.
    const Case cases[] = {
        {"sibling after", 1, 1, {100, 0, 300}},
        {"sibling before", 1, 0, {300, 0, 100}},
        {"no sibling: the trailing divider moves", 1, 2, {100, 0, 300}},
        {"the last pane towards the one before", 2, 0, {100, 300, 0}},
        {"the first pane towards the one after", 0, 1, {0, 300, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto sv = makeSplit({100, 200, 100});
        sv->setHideDividersOfCollapsedSubviews(false);
        auto p = pane(sv, c.pane);
        p->setIsCollapsible(true);
        p->setSiblingResizeMode(c.mode);
        const NSRect before = p->frame();
        p->setIsCollapsed(true);
        EXPECT_TRUE(p->isCollapsed());
        EXPECT_EQ(widths(sv), c.collapsed);
        EXPECT_EQ(p->frame(), before);  // kept for expanding
        p->setIsCollapsed(false);
        EXPECT_FALSE(p->isCollapsed());
        EXPECT_EQ(widths(sv), (std::vector<double>{100, 200, 100}));
    }
    // The sibling lookups; outside a split view there is none.
    auto sv = makeSplit({100, 200, 100});
    pane(sv, 0)->setSiblingResizeMode(0);
    pane(sv, 2)->setSiblingResizeMode(1);
    pane(sv, 1)->setSiblingResizeMode(1);
    EXPECT_FALSE(pane(sv, 0)->splitSubviewToExpand());
    EXPECT_FALSE(pane(sv, 2)->splitSubviewToExpand());
    EXPECT_EQ(pane(sv, 1)->splitSubviewToExpand().get(), pane(sv, 2).get());
    auto loose = static_ref_cast<ZAKSplitSubview>(NSObject::alloc<ZAKSplitSubview>()->initWithFrame(NSZeroRect));
    loose->setIsCollapsed(true);
    EXPECT_FALSE(loose->isCollapsed());
    EXPECT_FALSE(loose->splitSubviewToExpand());
    EXPECT_FALSE(NSViewExt::enclosingZAKSplitView(sv.get()));
    EXPECT_EQ(NSViewExt::enclosingZAKSplitView(pane(sv, 1).get()).get(), sv.get());
}

TEST_F(CollapsibleSplitViewTest, HiddenDividersOfCollapsedPanesTakeNoRoom)
{
    auto sv = makeSplit({100, 200, 100});
    EXPECT_TRUE(sv->hideDividersOfCollapsedSubviews());
    auto p = pane(sv, 2);
    p->setIsCollapsible(true);
    p->setSiblingResizeMode(0);
    p->setIsCollapsed(true);
    EXPECT_TRUE(sv->isDividerHidden(1));
    EXPECT_EQ(widths(sv), (std::vector<double>{100, 301, 0}));
    EXPECT_EQ(sv->dividerThickness(), 1);
}

TEST_F(CollapsibleSplitViewTest, ControllerAnswersFromThePanesUnlessItsDelegateDoes)
{
    auto sv = makeSplit({100, 200, 100});
    auto* c = m_controller.get();
    pane(sv, 0)->setMinSize(30);
    pane(sv, 1)->setMinSize(50);
    pane(sv, 1)->setIsCollapsible(true);
    pane(sv, 2)->setResizesWithSplitView(false);
    NSView* first = pane(sv, 0).get();
    NSView* middle = pane(sv, 1).get();
    EXPECT_EQ(c->splitViewCanCollapseSubview(sv.get(), first), false);
    EXPECT_EQ(c->splitViewCanCollapseSubview(sv.get(), middle), true);
    EXPECT_EQ(c->splitViewShouldHideDividerAtIndex(sv.get(), 0), true);
    EXPECT_EQ(c->splitViewConstrainMinCoordinateOfSubviewAt(sv.get(), 10, 0), 40);
    EXPECT_EQ(c->splitViewConstrainMaxCoordinateOfSubviewAt(sv.get(), 300, 0), 250);  // the pane after
    EXPECT_EQ(c->splitViewConstrainMaxCoordinateOfSubviewAt(sv.get(), 400, 1), 350);  // none after: its own
    EXPECT_EQ(c->splitViewAdditionalEffectiveRectOfDividerAtIndex(sv.get(), 0), NSZeroRect);
    EXPECT_EQ(c->splitViewShouldAdjustSizeOfSubview(sv.get(), pane(sv, 2).get()), false);
    // Growing the split view: the third pane keeps its width.
    sv->setFrameSize(NSMakeSize(502, 100));
    EXPECT_EQ(widths(sv), (std::vector<double>{133, 267, 100}));

    auto delegate = NSObject::make<CollapseOnlyDelegate>();
    c->setDelegate(delegate);
    EXPECT_EQ(c->splitViewCanCollapseSubview(sv.get(), first), false);
    delegate->answer = true;
    EXPECT_EQ(c->splitViewCanCollapseSubview(sv.get(), first), true);
    EXPECT_EQ(c->splitViewConstrainMinCoordinateOfSubviewAt(sv.get(), 10, 0), 40);
    EXPECT_EQ(c->splitViewShouldHideDividerAtIndex(sv.get(), 0), true);

    // A vetoing split-view delegate stops both directions.
    delegate->answer = false;
    pane(sv, 1)->setIsCollapsed(true);
    EXPECT_FALSE(pane(sv, 1)->isCollapsed());
}

TEST_F(CollapsibleSplitViewTest, ToggleCollapseFlipsOrBeeps)
{
    auto sv = makeSplit({100, 200});
    auto p = pane(sv, 1);
    p->setSiblingResizeMode(0);
    const int beeps = server().beepCount();
    p->toggleCollapse(nullptr);
    EXPECT_EQ(server().beepCount(), beeps + 1);
    EXPECT_FALSE(p->isCollapsed());
    p->setIsCollapsible(true);
    p->toggleCollapse(nullptr);
    EXPECT_TRUE(p->isCollapsed());
    p->toggleCollapse(nullptr);
    EXPECT_FALSE(p->isCollapsed());
    EXPECT_EQ(widths(sv), (std::vector<double>{100, 200}));
    EXPECT_EQ(server().beepCount(), beeps + 1);
}

TEST_F(CollapsibleSplitViewTest, PanesStartWithTheirDefaultsOnlyWhenMadeInCode)
{
    auto sv = makeSplit({100, 200});
    auto p = pane(sv, 0);
    EXPECT_TRUE(p->resizesWithSplitView());
    EXPECT_FALSE(p->isCollapsible());
    EXPECT_EQ(p->siblingResizeMode(), 0);
    EXPECT_EQ(p->minSize(), 0);

    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.insert(allowed.end(), {&ZAKSplitView::classRecord(), &ZAKSplitSubview::classRecord()});
    auto copy = dynamic_ref_cast<ZAKSplitView>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(sv), allowed));
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->hideDividersOfCollapsedSubviews());
    ASSERT_EQ(copy->subviews().size(), 2u);
    EXPECT_FALSE(pane(copy, 0)->resizesWithSplitView());
}

TEST_F(CollapsibleSplitViewTest, InstallingAToolbarShortensTheLastSubview)
{
    auto sv = makeSplit({200, 200});
    auto p = pane(sv, 0);
    auto content = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 200, 100));
    p->addSubview(content);
    p->installToolbar();
    ASSERT_TRUE(p->toolbar());
    EXPECT_EQ(p->toolbar()->frame(), NSMakeRect(0, 0, 200, 24));
    EXPECT_EQ(content->frame(), NSMakeRect(0, 24, 200, 76));
    EXPECT_EQ(p->toolbar()->superview().get(), p.get());
}
