#include <gtest/gtest.h>

#include "Foundation/NSException.h"
#include "ZAKAppKit/ZAKScrollView/ZAKScrollView.h"

namespace {

Ref<NSView> view(CGFloat w, CGFloat h) { return NSView::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, w, h)); }

// Both scrollers 15 points thick around a 300 x 200 clip view.
Ref<ZAKScrollView> scrollView(const NSRect& frame = NSMakeRect(0, 0, 315, 215))
{
    auto s = NSObject::alloc<ZAKScrollView>();
    s->initWithFrame(frame);
    s->setDocumentView(view(1000, 1000));
    return s;
}

}

TEST(SlottedScrollView, SlotsShortenTheirScrollers)
{
    auto s = scrollView();
    ASSERT_EQ(s->contentView()->frame(), NSMakeRect(0, 0, 300, 200));
    auto left1 = view(20, 9), left2 = view(30, 9), right = view(40, 9);
    s->addView(left1, ZAKScrollViewHorizontalLeft);
    s->addView(left2, ZAKScrollViewHorizontalLeft);
    s->addView(right, ZAKScrollViewHorizontalRight);
    auto top = view(15, 20), bottom1 = view(15, 10), bottom2 = view(15, 12);
    s->addView(top, ZAKScrollViewVerticalTop);
    s->addView(bottom1, ZAKScrollViewVerticalBottom);
    s->addView(bottom2, ZAKScrollViewVerticalBottom);
    struct Case {
        Ref<NSView> view;
        NSRect frame;
    } cases[] = {
        {left1, {0, 200, 20, 15}},     {left2, {20, 200, 30, 15}},
        {right, {260, 200, 40, 15}},   {s->horizontalScroller(), {50, 200, 210, 15}},
        {top, {300, 0, 15, 20}},       {bottom1, {300, 190, 15, 10}},
        {bottom2, {300, 178, 15, 12}}, {s->verticalScroller(), {300, 20, 15, 158}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].view->frame(), cases[i].frame) << i;

    // A zero-width first view leaves the next at the start too.
    auto empty = scrollView();
    auto none = view(0, 9), after = view(25, 9);
    empty->addView(none, ZAKScrollViewHorizontalLeft);
    empty->addView(after, ZAKScrollViewHorizontalLeft);
    EXPECT_EQ(after->frame(), NSMakeRect(0, 200, 25, 15));

    s->removeView(left1, ZAKScrollViewHorizontalLeft);
    EXPECT_EQ(s->horLeftSlots()->count(), 1u);
    EXPECT_FALSE(left1->superview());
    EXPECT_EQ(s->horizontalScroller()->frame(), NSMakeRect(30, 200, 230, 15));
    // Not in the slot: only taken out of the view tree.
    s->removeView(top, ZAKScrollViewHorizontalLeft);
    EXPECT_FALSE(top->superview());
    EXPECT_EQ(s->verTopSlots()->count(), 1u);
}

TEST(SlottedScrollView, HeaderPushesTheClipViewDownAndKeepsTheScrollPosition)
{
    auto s = scrollView();
    s->contentView()->scrollToPoint(NSMakePoint(0, 120));
    auto header = view(50, 24);
    s->setHeaderView(header);
    EXPECT_EQ(header->frame(), NSMakeRect(0, 0, 315, 24));
    EXPECT_EQ(s->subviews().front().get(), header.get());
    EXPECT_EQ(s->contentView()->frame(), NSMakeRect(0, 24, 300, 176));
    EXPECT_EQ(s->contentView()->bounds().origin, NSMakePoint(0, 120));
    EXPECT_EQ(s->verticalScroller()->frame(), NSMakeRect(300, 24, 15, 176));
    s->setHeaderView(nullptr);
    EXPECT_FALSE(header->superview());
    EXPECT_EQ(s->contentView()->frame(), NSMakeRect(0, 0, 300, 200));
}

TEST(SlottedScrollView, BadPositionsAndMissingDocumentsChangeNothing)
{
    auto s = scrollView();
    const size_t before = s->subviews().size();
    for (NSUInteger position : {4u, 99u}) {
        try {
            s->addView(view(10, 10), position);
            ADD_FAILURE() << position;
        } catch (const NSException& e) {
            EXPECT_EQ(e.nameUTF8(), "not an allowed position");
            EXPECT_EQ(e.reasonUTF8(), "Scroll view does not support specified slot position");
        }
        EXPECT_THROW(s->removeView(view(10, 10), position), NSException);
    }
    EXPECT_EQ(s->subviews().size(), before);
    EXPECT_TRUE(NSEqualRects(s->tileSlotsFor(4, NSMakeRect(0, 0, 10, 10)), NSZeroRect));

    // Without a document view tile does nothing, not even the platform's.
    auto bare = NSObject::alloc<ZAKScrollView>();
    bare->initWithFrame(NSMakeRect(0, 0, 315, 215));
    const NSRect scroller = bare->horizontalScroller()->frame();
    auto slot = view(40, 9);
    bare->addView(slot, ZAKScrollViewHorizontalLeft);
    EXPECT_EQ(slot->frame(), NSMakeRect(0, 0, 40, 9));
    EXPECT_EQ(bare->horizontalScroller()->frame(), scroller);
}

TEST(SlottedScrollView, CornerViewSitsBetweenTheScrollersWhereverTheScrollViewIs)
{
    for (NSRect frame : {NSMakeRect(0, 0, 315, 215), NSMakeRect(40, 30, 315, 215)}) {
        auto parent = view(500, 400);
        auto s = scrollView(frame);
        parent->addSubview(s);
        auto corner = view(5, 5);
        s->setBottomRightCornerView(corner);
        EXPECT_EQ(corner->frame(), NSMakeRect(300, 200, 15, 15)) << frame.origin.x;
        s->setBorderType(NSLineBorder);
        EXPECT_EQ(corner->frame(), NSMakeRect(299, 199, 15, 15)) << frame.origin.x;
        // None: the corner view leaves, nothing takes its place.
        const size_t subviews = s->subviews().size();
        s->setBottomRightCornerView(nullptr);
        EXPECT_FALSE(corner->superview());
        EXPECT_FALSE(s->bottomRightCornerView());
        EXPECT_EQ(s->subviews().size(), subviews - 1);
    }
}
