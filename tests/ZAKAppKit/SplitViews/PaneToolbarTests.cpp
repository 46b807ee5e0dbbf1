// The pane toolbar: item widths, the three layouts, the grip and the divider
// it drags, the anchored edge, images by code and the look outside the key
// window.
#include "AppKit/NSImageNames.h"
#include "AppKit/NSStringDrawing.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitSubview.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitView.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewController.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbar.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarButton.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarButtonCell.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarDraggingHandle.h"

namespace {

Ref<ZAKSplitViewToolbarButton> item(int align = 0, Ref<NSImage> image = nullptr, const char* title = "")
{
    auto b = NSObject::make<ZAKSplitViewToolbarButton>();
    b->setToolbarButtonAlign(align);
    if (image) b->setImage(image);
    b->setTitle(NSString::stringWithUTF8String(title));
    return b;
}

Ref<ZAKSplitViewToolbar> bar(double width)
{
    auto t = NSObject::make<ZAKSplitViewToolbar>();
    t->setFrame(NSMakeRect(0, 0, width, 24));
    return t;
}

std::vector<double> originsX(const Ref<ZAKSplitViewToolbar>& t)
{
    std::vector<double> x;
    for (auto& v : t->items()) x.push_back(v->frame().origin.x);
    return x;
}

}

class PaneToolbarTest : public WindowingTest {
protected:
    // A split view of panes with toolbars, delegated to a controller.
    Ref<ZAKSplitView> makeSplit(std::vector<double> extents, bool vertical)
    {
        double length = double(extents.size() - 1);
        for (double e : extents) length += e;
        const NSRect frame = vertical ? NSMakeRect(0, 0, length, 100) : NSMakeRect(0, 0, 200, length);
        auto sv = static_ref_cast<ZAKSplitView>(NSObject::alloc<ZAKSplitView>()->initWithFrame(frame));
        sv->setVertical(vertical);
        sv->setDividerStyle(NSSplitViewDividerStyleThin);
        for (double e : extents) {
            auto p = NSObject::alloc<ZAKSplitSubview>()->initWithFrame(vertical ? NSMakeRect(0, 0, e, 100)
                                                                                : NSMakeRect(0, 0, 200, e));
            sv->addSubview(p);
        }
        sv->adjustSubviews();
        for (auto& v : sv->subviews()) static_ref_cast<ZAKSplitSubview>(v)->installToolbar();
        m_controller = static_ref_cast<ZAKSplitViewController>(
            NSObject::alloc<ZAKSplitViewController>()->initWithNibName(nullptr, nullptr));
        sv->setDelegate(m_controller);
        return sv;
    }

    static Ref<ZAKSplitViewToolbar> toolbarOf(const Ref<ZAKSplitView>& sv, size_t i)
    {
        return static_ref_cast<ZAKSplitSubview>(sv->subviews()[i])->toolbar();
    }

    // A titled window, which can become key, holding the view.
    static Ref<NSWindow> titledWindow(const NSRect& frame)
    {
        auto w =
            NSObject::alloc<NSWindow>()->initWithContentRect(frame, NSTitledWindowMask, NSBackingStoreBuffered, false);
        w->setContentView(
            NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height)));
        return w;
    }

    Ref<NSWindow> show(const Ref<NSView>& view)
    {
        auto w = titledWindow(NSMakeRect(200, 200, view->frame().size.width, view->frame().size.height));
        w->contentView()->addSubview(view);
        w->makeKeyAndOrderFront(nullptr);
        pump();
        return w;
    }

    Ref<ZAKSplitViewController> m_controller;
};

TEST_F(PaneToolbarTest, ItemsAreSizedByImageTitleAndMinimum)
{
    auto image = NSImage::initWithSize(NSMakeSize(16, 16));
    const double titleWidth = NSAttributedStringExt::size(item(0, nullptr, "Filter")->attributedTitle()).width;
    ASSERT_GT(titleWidth, 0);
    struct Case {
        const char* name;
        Ref<NSImage> image;
        const char* title;
        double minimum;
        double expected;
    };
    const Case cases[] = {
        {"image only", image, "", 28, 36},
        {"image and title", image, "Filter", 28, 16 + 10 + 10 + titleWidth + 10},
        {"title only", nullptr, "Filter", 28, titleWidth + 20},
        {"neither", nullptr, "", 28, 28},
        {"raised to the minimum", image, "", 50, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto t = bar(300);
        auto b = item(0, c.image, c.title);
        b->setToolbarButtonWidth(c.minimum);
        t->addItem(b);
        EXPECT_EQ(b->frame(), NSMakeRect(0, 0, c.expected, 23));
        EXPECT_EQ(b->autoresizingMask(), NSUInteger(NSViewMaxXMargin));
    }
}

TEST_F(PaneToolbarTest, LayoutsPlaceItemsAndSeparators)
{
    struct Case {
        const char* name;
        int contentAlign;
        bool separators;
        std::vector<int> aligns;
        std::vector<double> x;
        std::vector<double> offsets;
    };
    // 28-point items in a 200-point bar without a grip.
    const Case cases[] = {
        {"three on the left", 0, true, {0, 0, 0}, {0, 29, 58}, {28, 57, 86}},
        {"without separators", 0, false, {0, 0, 0}, {0, 28, 56}, {28, 56, 84}},
        {"two on the right", 0, true, {1, 1}, {172, 143}, {171, 142}},
        {"centred", 1, true, {0, 1}, {71, 100}, {70, 99, 128}},
        {"left as they are", 2, true, {0, 0}, {0, 0}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto t = bar(200);
        t->setItemDelimiterEnabled(c.separators);
        t->setContentAlign(c.contentAlign);
        for (int a : c.aligns) t->addItem(item(a));
        t->recalculateItemPositions();
        EXPECT_EQ(originsX(t), c.x);
        EXPECT_EQ(t->delimiterOffsets(), c.offsets);
    }
}

TEST_F(PaneToolbarTest, TheGripDragsTheNeighbouringDivider)
{
    auto sv = makeSplit({100, 200, 100}, true);
    auto middle = toolbarOf(sv, 1);
    auto last = toolbarOf(sv, 2);
    EXPECT_EQ(toolbarOf(sv, 0)->dividerIndexNearestToHandle(), 0);
    EXPECT_EQ(middle->dividerIndexNearestToHandle(), 1);
    EXPECT_TRUE(last->isInLastSubview());
    EXPECT_EQ(last->dividerIndexNearestToHandle(), NSInteger(sv->subviews().size()) - 2);

    // A grip on the right of the middle pane: items keep 17 points clear.
    auto right = item(1);
    middle->addItem(right);
    middle->setDrawDraggingButton(true);
    ASSERT_TRUE(middle->draggingHandler());
    EXPECT_TRUE(middle->draggingHandler()->isVertical());
    EXPECT_EQ(middle->draggingHandler()->frame(), NSMakeRect(180, 0, 20, 24));
    EXPECT_EQ(NSMaxX(right->frame()), 200 - 17);
    // Its divider can be grabbed there: the bar's top edge in the split
    // view's flipped coordinates, 15 points inside the pane's right edge.
    EXPECT_EQ(m_controller->splitViewAdditionalEffectiveRectOfDividerAtIndex(sv.get(), 1), NSMakeRect(286, 76, 15, 24));
    EXPECT_EQ(m_controller->splitViewAdditionalEffectiveRectOfDividerAtIndex(sv.get(), 0), NSZeroRect);
    show(sv);
    const NSPoint grip = sv->convertPointToView(NSMakePoint(293, 90), nullptr);
    const NSPoint to = sv->convertPointToView(NSMakePoint(263, 90), nullptr);
    server().injectMouse(NSEventTypeLeftMouseDown, sv->window()->convertBaseToScreen(grip));
    server().injectPointer(sv->window()->convertBaseToScreen(to));
    server().injectMouse(NSEventTypeLeftMouseUp, sv->window()->convertBaseToScreen(to));
    pump();
    EXPECT_EQ(sv->subviews()[1]->frame().size.width, 170);

    // On the left, then gone with every item.
    middle->setDrawDraggingButtonOnRight(false);
    EXPECT_EQ(middle->draggingHandler()->frame().origin.x, 0);
    middle->removeAllItems();
    EXPECT_TRUE(middle->subviews().empty());
    EXPECT_TRUE(middle->items().empty());

    // A horizontal split view gets a grip only from a bar at the bottom.
    auto stacked = makeSplit({100, 100}, false);
    auto top = toolbarOf(stacked, 0);
    top->setAnchoredEdge(2);
    top->setDrawDraggingButton(true);
    EXPECT_FALSE(top->draggingHandler());
    EXPECT_TRUE(top->drawDraggingButton());
    auto bottom = toolbarOf(stacked, 1);
    bottom->setDrawDraggingButton(true);
    ASSERT_TRUE(bottom->draggingHandler());
    EXPECT_FALSE(bottom->draggingHandler()->isVertical());
}

TEST_F(PaneToolbarTest, AnchoringAtTheTopMovesItemsOnce)
{
    auto t = bar(200);
    auto b = item();
    t->addItem(b);
    t->setAnchoredEdge(2);
    t->setAnchoredEdge(2);
    EXPECT_EQ(b->frame().origin.y, 1);
    EXPECT_EQ(t->autoresizingMask(), NSUInteger(NSViewWidthSizable | NSViewMaxYMargin));
    t->recalculateItemPositions();
    EXPECT_EQ(b->frame().origin.y, 1);
    t->setAnchoredEdge(1);
    EXPECT_EQ(t->autoresizingMask(), NSUInteger(NSViewWidthSizable | NSViewMinYMargin));
}

TEST_F(PaneToolbarTest, ImageCodesNameTemplateImages)
{
    EXPECT_EQ(ZAKSplitViewToolbarButtonCell::sharedImageOpacity(), 1.0);  // visible from the start
    auto b = item();
    b->setToolbarButtonImage(1);
    ASSERT_TRUE(b->image());
    EXPECT_EQ(b->image().get(), NSImage::imageNamed(NSString::stringWithUTF8String(NSImageNameAddTemplate)).get());
    EXPECT_TRUE(b->image()->isTemplate());
    b->setToolbarButtonImage(13);
    EXPECT_EQ(b->image().get(), NSImage::imageNamed("NSRefreshTemplate"_ns).get());
    b->setToolbarButtonImage(14);
    EXPECT_EQ(b->toolbarButtonImage(), 14);
    EXPECT_EQ(b->image().get(), NSImage::imageNamed("NSRefreshTemplate"_ns).get());
    b->setToolbarButtonImage(0);
    EXPECT_TRUE(b->image());
    for (const char* name :
         {"NSActionTemplate", "NSRemoveTemplate", "NSQuickLookTemplate", "NSShareTemplate", "NSIconViewTemplate",
          "NSListViewTemplate", "NSLockLockedTemplate", "NSLockUnlockedTemplate", "NSGoRightTemplate",
          "NSGoLeftTemplate", "NSStopProgressTemplate"}) {
        auto image = NSImage::imageNamed(NSString::stringWithUTF8String(name));
        ASSERT_TRUE(image) << name;
        EXPECT_GT(image->size().width, 0) << name;
    }
}

TEST_F(PaneToolbarTest, OutsideTheKeyWindowEveryColourIsLighter)
{
    auto sv = makeSplit({150, 150}, true);
    auto t = toolbarOf(sv, 0);
    t->addItem(item(0, NSImage::imageNamed("NSAddTemplate"_ns)));
    t->recalculateItemPositions();
    auto w = show(sv);
    // The bar's middle, away from items, and the item's bezel.
    auto red = [&](NSPoint local, const Ref<NSView>& view) {
        const NSPoint p = w->convertBaseToScreen(view->convertPointToView(local, nullptr));
        return int((server().screenImage()->pixel(size_t(p.x), size_t(1080 - p.y)) >> 16) & 0xFF);
    };
    const int barKey = red(NSMakePoint(100, 12), t);
    const int itemKey = red(NSMakePoint(3, 12), t);
    EXPECT_TRUE(w->isKeyWindow());
    // Another window becomes key: the bar lightens. The buttons share one
    // look across windows, which follows the latest change: still key.
    auto other = titledWindow(NSMakeRect(900, 200, 100, 100));
    other->makeKeyAndOrderFront(nullptr);
    pump();
    EXPECT_FALSE(w->isKeyWindow());
    EXPECT_GT(red(NSMakePoint(100, 12), t), barKey + 8);
    EXPECT_EQ(red(NSMakePoint(3, 12), t), itemKey);
    EXPECT_EQ(ZAKSplitViewToolbarButtonCell::sharedImageOpacity(), 1.0);
    // Once no window is key, the buttons lighten too.
    other->resignKeyWindow();
    t->setNeedsDisplay(true);
    pump();
    EXPECT_GT(red(NSMakePoint(3, 12), t), itemKey + 8);
    EXPECT_EQ(ZAKSplitViewToolbarButtonCell::sharedImageOpacity(), 0.42);
}
