// The platform split view: sharing the length, moving dividers within the
// delegate's limits, collapsing and expanding panes, dragging and
// double-clicking dividers, cursors and keyed archives.
#include <functional>

#include "AppKit/NSCursor.h"
#include "AppKit/NSSplitView.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "WindowingFixture.h"

namespace {

// Answers what a test sets and counts the questions it hears.
class SplitDelegate : public NSObject, public NSSplitViewDelegate {
    NS_OBJECT(SplitDelegate, NSObject)
protected:
    SplitDelegate() = default;

public:
    std::function<bool(NSView*)> canCollapse;
    std::optional<bool> doubleClickCollapses;
    std::optional<bool> hideDividers;
    std::optional<CGFloat> minExtra;  // added to the minimum coordinate
    std::optional<CGFloat> maxExtra;  // taken from the maximum coordinate
    std::function<NSView*()> onlyAdjusts;
    std::optional<NSRect> additional;
    int constrainQuestions = 0;
    int resizes = 0;
    bool takesResize = false;

    std::optional<bool> splitViewCanCollapseSubview(NSSplitView*, NSView* v) override
    {
        return canCollapse ? std::optional<bool>(canCollapse(v)) : std::nullopt;
    }
    std::optional<bool> splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(NSSplitView*, NSView*,
                                                                                     NSInteger) override
    {
        return doubleClickCollapses;
    }
    std::optional<bool> splitViewShouldHideDividerAtIndex(NSSplitView*, NSInteger) override { return hideDividers; }
    std::optional<CGFloat> splitViewConstrainMinCoordinateOfSubviewAt(NSSplitView*, CGFloat p, NSInteger) override
    {
        ++constrainQuestions;
        return minExtra ? std::optional<CGFloat>(p + *minExtra) : std::nullopt;
    }
    std::optional<CGFloat> splitViewConstrainMaxCoordinateOfSubviewAt(NSSplitView*, CGFloat p, NSInteger) override
    {
        return maxExtra ? std::optional<CGFloat>(p - *maxExtra) : std::nullopt;
    }
    bool splitViewResizeSubviewsWithOldSize(NSSplitView*, NSSize) override
    {
        ++resizes;
        return takesResize;
    }
    std::optional<bool> splitViewShouldAdjustSizeOfSubview(NSSplitView*, NSView* v) override
    {
        return onlyAdjusts ? std::optional<bool>(v == onlyAdjusts()) : std::nullopt;
    }
    std::optional<NSRect> splitViewAdditionalEffectiveRectOfDividerAtIndex(NSSplitView*, NSInteger i) override
    {
        return i == 0 ? additional : std::nullopt;
    }
};
NS_CLASS_DEFINE(SplitDelegate)

}

class PlatformSplitViewTest : public WindowingTest {
protected:
    // A vertical split view with thin dividers and panes of the widths.
    static Ref<NSSplitView> makeSplit(std::vector<CGFloat> widths, bool vertical = true)
    {
        CGFloat length = CGFloat(widths.size() - 1);
        for (CGFloat w : widths) length += w;
        const NSRect frame = vertical ? NSMakeRect(0, 0, length, 100) : NSMakeRect(0, 0, 100, length);
        auto sv = static_ref_cast<NSSplitView>(NSObject::alloc<NSSplitView>()->initWithFrame(frame));
        sv->setVertical(vertical);
        sv->setDividerStyle(NSSplitViewDividerStyleThin);
        for (CGFloat w : widths)
            sv->addSubview(NSObject::alloc<NSView>()->initWithFrame(vertical ? NSMakeRect(0, 0, w, 100)
                                                                             : NSMakeRect(0, 0, 100, w)));
        sv->adjustSubviews();
        return sv;
    }

    static std::vector<CGFloat> extents(const Ref<NSSplitView>& sv)
    {
        std::vector<CGFloat> e;
        for (auto& v : sv->subviews())
            e.push_back(sv->isSubviewCollapsed(v) ? 0
                        : sv->isVertical()        ? v->frame().size.width
                                                  : v->frame().size.height);
        return e;
    }

    Ref<NSWindow> show(const Ref<NSView>& view)
    {
        auto w = makeWindow(NSMakeRect(200, 200, view->frame().size.width, view->frame().size.height),
                            NSColor::whiteColor());
        w->contentView()->addSubview(view);
        w->makeKeyAndOrderFront(nullptr);
        pump();
        return w;
    }

    static NSPoint onScreen(const Ref<NSView>& view, NSPoint p)
    {
        return view->window()->convertBaseToScreen(view->convertPointToView(p, nullptr));
    }

    void drag(const Ref<NSView>& view, NSPoint from, std::vector<NSPoint> through, int clicks = 1)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, onScreen(view, from), 0, clicks);
        for (auto p : through) server().injectPointer(onScreen(view, p));
        server().injectMouse(NSEventTypeLeftMouseUp, onScreen(view, through.empty() ? from : through.back()), 0,
                             clicks);
        pump();
    }
};

TEST_F(PlatformSplitViewTest, ChangesOfLengthAreSharedInProportion)
{
    struct Case {
        const char* name;
        bool vertical;
        CGFloat newLength;
        int onlyAdjusting;  // -1: every pane
        std::vector<CGFloat> expected;
    };
    // Panes 100, 200 and 100 with one-point dividers (402 long).
    const Case cases[] = {
        {"grow", true, 502, -1, {125, 250, 125}},
        {"shrink, rounded, the last takes the rest", false, 300, -1, {74, 149, 75}},
        {"only the middle pane adjusts", true, 452, 1, {100, 250, 100}},
        {"past zero the other panes give the rest", true, 200, 0, {0, 132, 66}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto sv = makeSplit({100, 200, 100}, c.vertical);
        auto delegate = NSObject::make<SplitDelegate>();
        if (c.onlyAdjusting >= 0) {
            NSView* chosen = sv->subviews()[size_t(c.onlyAdjusting)].get();
            delegate->onlyAdjusts = [chosen] { return chosen; };
        }
        sv->setDelegate(delegate);
        sv->setFrameSize(c.vertical ? NSMakeSize(c.newLength, 100) : NSMakeSize(100, c.newLength));
        EXPECT_EQ(delegate->resizes, 1);
        EXPECT_EQ(extents(sv), c.expected);
        // Panes run across the whole split view, one after another.
        CGFloat along = 0;
        for (auto& v : sv->subviews()) {
            const NSRect f = v->frame();
            EXPECT_EQ(c.vertical ? f.origin.x : f.origin.y, along);
            EXPECT_EQ(c.vertical ? f.size.height : f.size.width, 100);
            along += (c.vertical ? f.size.width : f.size.height) + 1;
        }
    }
    // A delegate that lays the panes out itself is left to it.
    auto sv = makeSplit({100, 100});
    auto delegate = NSObject::make<SplitDelegate>();
    delegate->takesResize = true;
    sv->setDelegate(delegate);
    sv->setFrameSize(NSMakeSize(301, 100));
    EXPECT_EQ(extents(sv), (std::vector<CGFloat>{100, 100}));
    EXPECT_TRUE(sv->isFlipped());
}

TEST_F(PlatformSplitViewTest, PositionsAreLimitedAndCollapsePanes)
{
    struct Case {
        const char* name;
        CGFloat position;
        bool collapsible;
        std::vector<CGFloat> expected;
        std::vector<bool> collapsed;
    };
    // Panes 100, 200 and 100; the delegate keeps divider 0 at least 40 past
    // the first pane's start and 60 before the second pane's end.
    const Case cases[] = {
        {"inside the limits", 150, true, {150, 150, 100}, {false, false, false}},
        {"below the minimum", 30, true, {40, 260, 100}, {false, false, false}},
        {"past half the minimum", 19, true, {0, 300, 100}, {true, false, false}},
        {"past half, not collapsible", 19, false, {40, 260, 100}, {false, false, false}},
        {"the far extreme", 500, true, {300, 0, 100}, {false, true, false}},
        {"near the maximum", 245, true, {240, 60, 100}, {false, false, false}},
        {"beyond the extents", 5000, false, {240, 60, 100}, {false, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto sv = makeSplit({100, 200, 100});
        auto delegate = NSObject::make<SplitDelegate>();
        delegate->minExtra = 40;
        delegate->maxExtra = 60;
        delegate->canCollapse = [&](NSView*) { return c.collapsible; };
        sv->setDelegate(delegate);
        sv->setPosition(c.position, 0);
        EXPECT_EQ(extents(sv), c.expected);
        for (size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(sv->isSubviewCollapsed(sv->subviews()[k]), c.collapsed[k]) << k;
            EXPECT_EQ(sv->subviews()[k]->isHidden(), c.collapsed[k]) << k;
        }
    }
}

TEST_F(PlatformSplitViewTest, CollapsedPanesKeepTheirFrameAndComeBack)
{
    auto sv = makeSplit({100, 200, 100});
    auto delegate = NSObject::make<SplitDelegate>();
    delegate->canCollapse = [](NSView*) { return true; };
    sv->setDelegate(delegate);
    const Ref<NSView> last = sv->subviews()[2];
    EXPECT_EQ(sv->minPossiblePositionOfDividerAtIndex(1), 101);
    EXPECT_EQ(sv->maxPossiblePositionOfDividerAtIndex(1), 401);
    sv->setPosition(sv->maxPossiblePositionOfDividerAtIndex(1), 1);
    EXPECT_TRUE(sv->isSubviewCollapsed(last));
    EXPECT_EQ(last->frame(), NSMakeRect(302, 0, 100, 100));
    EXPECT_EQ(extents(sv), (std::vector<CGFloat>{100, 300, 0}));
    // Expanding: the divider goes back to the pane's leading edge.
    sv->setPosition(last->frame().origin.x - sv->dividerThickness(), 1);
    EXPECT_FALSE(sv->isSubviewCollapsed(last));
    EXPECT_EQ(extents(sv), (std::vector<CGFloat>{100, 200, 100}));

    // A divider beside a collapsed pane may be hidden: it takes no room.
    delegate->hideDividers = true;
    sv->setPosition(0, 0);
    EXPECT_TRUE(sv->isDividerHidden(0));
    EXPECT_FALSE(sv->isDividerHidden(1));
    EXPECT_EQ(extents(sv), (std::vector<CGFloat>{0, 301, 100}));
    EXPECT_EQ(sv->dividerRectAtIndex(0).size.width, 0);

    // Indexes that name no divider are ignored; removing a collapsed pane
    // shows it again.
    sv->setPosition(50, 2);
    sv->setPosition(50, -1);
    EXPECT_EQ(extents(sv), (std::vector<CGFloat>{0, 301, 100}));
    const Ref<NSView> first = sv->subviews()[0];
    first->removeFromSuperview();
    EXPECT_FALSE(first->isHidden());
}

TEST_F(PlatformSplitViewTest, DraggingAsksTheDelegateAtEveryStep)
{
    auto sv = makeSplit({100, 200, 100});
    auto delegate = NSObject::make<SplitDelegate>();
    delegate->minExtra = 40;
    delegate->canCollapse = [](NSView*) { return true; };
    sv->setDelegate(delegate);
    show(sv);
    // The thin divider at x 100 is grabbed two points either side.
    drag(sv, NSMakePoint(98, 50), {NSMakePoint(120, 50), NSMakePoint(140, 50), NSMakePoint(160, 50)});
    EXPECT_EQ(extents(sv), (std::vector<CGFloat>{162, 138, 100}));
    EXPECT_GE(delegate->constrainQuestions, 3);
    // Dragged to the left edge, the first pane collapses.
    drag(sv, NSMakePoint(162, 50), {NSMakePoint(5, 50)});
    EXPECT_EQ(extents(sv), (std::vector<CGFloat>{0, 300, 100}));

    // An additional area over a pane drags the divider too, and shows the
    // resize cursor.
    auto other = makeSplit({100, 200});
    auto second = NSObject::make<SplitDelegate>();
    second->additional = NSMakeRect(85, 80, 15, 20);
    other->setDelegate(second);
    auto w = show(other);
    w->resetCursorRects();
    ASSERT_EQ(other->cursorRects().size(), 2u);
    EXPECT_EQ(other->cursorRects()[1].rect, NSMakeRect(85, 80, 15, 20));
    EXPECT_EQ(other->cursorRects()[1].cursor, Id(NSCursor::resizeLeftRightCursor()));
    EXPECT_EQ(other->hitTest(other->convertPointToView(NSMakePoint(90, 90), other->superview())).get(), other.get());
    drag(other, NSMakePoint(90, 90), {NSMakePoint(70, 90)});
    EXPECT_EQ(extents(other), (std::vector<CGFloat>{80, 220}));
}

TEST_F(PlatformSplitViewTest, DoubleClicksCollapseWhatTheDelegateNames)
{
    auto sv = makeSplit({100, 200});
    auto delegate = NSObject::make<SplitDelegate>();
    sv->setDelegate(delegate);
    show(sv);
    auto doubleClick = [&] {
        const NSPoint p = NSMakePoint(sv->dividerRectAtIndex(0).origin.x, 50);
        drag(sv, p, {}, 1);
        drag(sv, p, {}, 2);
    };
    doubleClick();
    EXPECT_EQ(extents(sv), (std::vector<CGFloat>{100, 200}));  // not asked for: nothing
    delegate->canCollapse = [&](NSView* v) { return v == sv->subviews()[1].get(); };
    delegate->doubleClickCollapses = true;
    doubleClick();
    EXPECT_EQ(extents(sv), (std::vector<CGFloat>{300, 0}));
    doubleClick();
    EXPECT_EQ(extents(sv), (std::vector<CGFloat>{100, 200}));
}

TEST_F(PlatformSplitViewTest, KeyedArchivesKeepOrientationAndStyle)
{
    // Panes that can be archived: split views themselves.
    auto sv = static_ref_cast<NSSplitView>(NSObject::alloc<NSSplitView>()->initWithFrame(NSMakeRect(0, 0, 110, 50)));
    sv->setVertical(true);
    sv->setDividerStyle(NSSplitViewDividerStylePaneSplitter);
    for (int i = 0; i < 2; ++i) sv->addSubview(NSObject::alloc<NSSplitView>()->initWithFrame(NSMakeRect(0, 0, 50, 50)));
    sv->adjustSubviews();
    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.insert(allowed.end(), {&NSSplitView::classRecord()});
    auto copy = dynamic_ref_cast<NSSplitView>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(sv), allowed));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->isVertical());
    EXPECT_EQ(copy->dividerStyle(), NSSplitViewDividerStylePaneSplitter);
    EXPECT_EQ(copy->dividerThickness(), 10);
    EXPECT_EQ(copy->subviews().size(), 2u);
    auto fresh = static_ref_cast<NSSplitView>(NSObject::alloc<NSSplitView>()->initWithFrame(NSMakeRect(0, 0, 10, 10)));
    EXPECT_FALSE(fresh->isVertical());
    EXPECT_EQ(fresh->dividerThickness(), 9);
}
