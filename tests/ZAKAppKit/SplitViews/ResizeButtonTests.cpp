// The resize grip inside a pane: which side its image takes, and drags that
// widen, narrow, stop at limits or collapse the pane.
#include "../../components/QXSplitView/SplitViewFixture.h"
#include "ZAKAppKit/ZAKSplitSubviewResizeButton/ZAKSplitSubviewResizeButton.h"
#include "ZAKAppKit/ZAKSplitSubviewResizeButton/ZAKSplitSubviewResizeButtonCell.h"

namespace {

Ref<ZAKSplitSubviewResizeButton> addGrip(const Ref<NSView>& parent, NSPoint origin)
{
    auto grip = static_ref_cast<ZAKSplitSubviewResizeButton>(
        NSObject::alloc<ZAKSplitSubviewResizeButton>()->initWithFrame(NSMakeRect(origin.x, origin.y, 20, 20)));
    parent->addSubview(grip);
    grip->awakeFromNib();
    return grip;
}

NSPoint centre(const Ref<NSView>& v) { return NSMakePoint(NSMidX(v->bounds()), NSMidY(v->bounds())); }

}

TEST_F(SplitViewTest, ResizeGripTakesTheOuterSideOfItsPane)
{
    auto sv = makeSplit({100, 200, 100}, 1);
    EXPECT_EQ(addGrip(pane(sv, 0), NSMakePoint(70, 0))->imagePosition(), NSImageRight);
    EXPECT_EQ(addGrip(pane(sv, 1), NSMakePoint(0, 0))->imagePosition(), NSImageLeft);
    EXPECT_EQ(addGrip(pane(sv, 2), NSMakePoint(0, 0))->imagePosition(), NSImageLeft);
    // The pane is found through plain views in between; outside a pane
    // nothing changes.
    auto inner = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 50, 50));
    pane(sv, 1)->addSubview(inner);
    EXPECT_EQ(ZAKSplitSubviewResizeButtonCell::superQXSplitSubviewOfView(addGrip(inner, NSZeroPoint)).get(),
              pane(sv, 1).get());
    auto holder = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 50, 50));
    auto loose = addGrip(holder, NSMakePoint(0, 0));
    EXPECT_EQ(loose->imagePosition(), NSImageRight);
    EXPECT_FALSE(ZAKSplitSubviewResizeButtonCell::superQXSplitSubviewOfView(loose));
    auto cell = static_ref_cast<ZAKSplitSubviewResizeButtonCell>(loose->cell());
    EXPECT_TRUE(cell->image());
    EXPECT_EQ(cell->sendActionMask(), NSEventMask(66));
    EXPECT_EQ(cell->bezelStyle(), NSSmallSquareBezelStyle);
}

TEST_F(SplitViewTest, DraggingTheResizeGripSetsThePaneWidth)
{
    struct Case {
        const char* name;
        NSUInteger pane;
        std::vector<NSPoint> moves;  // pointer offsets from the press
        bool collapsible;
        double expected;  // the dragged pane's width afterwards
    };
    // Panes 100, 200 and 100, one-point dividers; the first pane has limits
    // 50 and 150. Each movement counts from the previous pointer position.
    const Case cases[] = {
        {"first pane: right widens, each movement counted once", 0, {{5, 0}, {10, 0}}, false, 110},
        {"later pane: right narrows", 1, {{10, 0}}, false, 190},
        {"a click changes nothing", 0, {}, false, 100},
        {"reaching the maximum exactly is not applied", 0, {{50, 0}}, false, 100},
        {"just inside the maximum is", 0, {{49, 0}}, false, 149},
        {"vertical movement is ignored", 0, {{0, 15}, {0, -10}}, false, 100},
        {"below the minimum collapses", 0, {{-60, 0}, {-30, 0}}, true, 0},
        {"below the minimum of a fixed pane waits", 0, {{-60, 0}, {-55, 0}}, false, 105},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto sv = makeSplit({100, 200, 100}, 1);
        sv->setDivider(dividerImage(1, 1, NSColor::blackColor()));
        auto p = pane(sv, c.pane);
        if (c.pane == 0) p->setMinDimension(50, 150);
        p->setCanCollapse(c.collapsible);
        auto grip = addGrip(p, NSMakePoint(c.pane == 0 ? 70 : 0, 0));
        showInWindow(sv, sv->frame().size);
        const NSPoint start = centre(grip);
        std::vector<NSPoint> through;
        for (auto m : c.moves) through.push_back(NSMakePoint(start.x + m.x, start.y + m.y));
        drag(grip, start, through);
        EXPECT_EQ(p->QX___visibleDimension(), c.expected);
        double total = 2;  // the dividers
        for (double d : dims(sv)) total += d;
        EXPECT_EQ(total, 402);  // the other panes took up the change
    }
}

TEST_F(SplitViewTest, ResizeGripOutsideAPaneDoesNothing)
{
    auto holder = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 200, 100));
    auto grip = addGrip(holder, NSMakePoint(10, 10));
    showInWindow(holder, NSMakeSize(200, 100));
    drag(grip, centre(grip), {NSMakePoint(40, 10)});
    EXPECT_EQ(holder->frame().size.width, 200);
    EXPECT_EQ(grip->frame().origin.x, 10);
}
