// Scroll views: tiling, wheel and scroller scrolling, clip-view constraints
// and scrolling a rectangle into view.
#include "AppKit/NSScrollView.h"
#include "AppKit/NSViewScrolling.h"
#include "Foundation/NSNotificationCenter.h"
#include "WindowingFixture.h"

namespace {

Ref<RecordingView> documentOfSize(NSSize size, bool flipped)
{
    auto doc = NSObject::alloc<RecordingView>();
    doc->initWithFrame(NSMakeRect(0, 0, size.width, size.height));
    doc->flipped = flipped;
    return doc;
}

Ref<NSScrollView> scrollViewIn(const Ref<NSWindow>& window, const Ref<NSView>& document)
{
    auto scrollView = NSObject::alloc<NSScrollView>();
    scrollView->initWithFrame(window->contentView()->bounds());
    scrollView->setHasVerticalScroller(true);
    scrollView->setDocumentView(document);
    window->contentView()->addSubview(scrollView);
    return scrollView;
}

}

TEST_F(WindowingTest, ScrollViewTilesScrollersRulerAndClipView)
{
    struct Case {
        const char* name;
        NSBorderType border;
        bool vertical, horizontal, autohide, ruler;
        NSSize document;
        NSRect clip;
        NSRect verticalScroller;    // zero: not shown
        NSRect horizontalScroller;  // zero: not shown
    } cases[] = {
        {"vertical", NSNoBorder, true, false, false, false, {180, 400}, {0, 0, 185, 100}, {185, 0, 15, 100}, {}},
        {"both, line border",
         NSLineBorder,
         true,
         true,
         false,
         false,
         {180, 400},
         {1, 1, 183, 83},
         {184, 1, 15, 83},
         {1, 84, 183, 15}},
        {"autohidden, fits", NSNoBorder, true, true, true, false, {150, 80}, {0, 0, 200, 100}, {}, {}},
        {"autohidden, vertical forces horizontal",
         NSNoBorder,
         true,
         true,
         true,
         false,
         {190, 400},
         {0, 0, 185, 85},
         {185, 0, 15, 85},
         {0, 85, 185, 15}},
        {"vertical ruler", NSNoBorder, true, false, false, true, {180, 400}, {20, 0, 165, 100}, {185, 0, 15, 100}, {}},
    };
    for (const auto& c : cases) {
        auto scrollView = NSObject::alloc<NSScrollView>();
        scrollView->initWithFrame(NSMakeRect(0, 0, 200, 100));
        scrollView->setBorderType(c.border);
        scrollView->setHasVerticalScroller(c.vertical);
        scrollView->setHasHorizontalScroller(c.horizontal);
        scrollView->setAutohidesScrollers(c.autohide);
        auto ruler = NSObject::alloc<NSView>();
        ruler->initWithFrame(NSMakeRect(0, 0, 20, 10));
        if (c.ruler) {
            scrollView->setVerticalRulerView(ruler);
            scrollView->setHasVerticalRuler(true);
            scrollView->setRulersVisible(true);
        }
        scrollView->setDocumentView(documentOfSize(c.document, true));

        EXPECT_EQ(scrollView->contentView()->frame(), c.clip) << c.name;
        EXPECT_EQ(scrollView->contentSize(), c.clip.size) << c.name;
        auto shownFrame = [&](const Ref<NSScroller>& s) {
            return s->superview() == scrollView ? s->frame() : NSZeroRect;
        };
        EXPECT_EQ(shownFrame(scrollView->verticalScroller()), c.verticalScroller) << c.name;
        EXPECT_EQ(shownFrame(scrollView->horizontalScroller()), c.horizontalScroller) << c.name;
        if (c.ruler) {
            EXPECT_EQ(ruler->frame(), NSMakeRect(0, 0, 20, 100)) << c.name;
        }
    }
}

TEST_F(WindowingTest, WheelScrollsTheClipViewWithinTheDocument)
{
    struct Case {
        bool flipped;
        CGFloat startY;                                  // the clip view's first origin: the top
        std::vector<std::pair<CGFloat, CGFloat>> wheel;  // deltaY, expected origin y
    } cases[] = {
        {true, 0, {{-3, 30}, {1, 20}, {5, 0}, {-200, 900}}},
        {false, 900, {{-3, 870}, {10, 900}, {-200, 0}}},
    };
    for (const auto& c : cases) {
        auto w = makeWindow(NSMakeRect(100, 100, 200, 100), nullptr);
        auto doc = documentOfSize({185, 1000}, c.flipped);
        auto scrollView = scrollViewIn(w, doc);
        pump();
        auto clip = scrollView->contentView();
        EXPECT_EQ(clip->bounds().origin.y, c.startY);
        EXPECT_EQ(scrollView->verticalScroller()->doubleValue(), 0.0);
        EXPECT_DOUBLE_EQ(scrollView->verticalScroller()->knobProportion(), 0.1);
        for (auto [delta, expected] : c.wheel) {
            server().injectScroll(NSMakePoint(150, 150), 0, delta);
            pump();
            EXPECT_EQ(clip->bounds().origin.y, expected) << "flipped " << c.flipped << " delta " << delta;
        }
        // At the bottom: the scroller's value is 1 and the last 100 points show.
        EXPECT_EQ(scrollView->verticalScroller()->doubleValue(), 1.0);
        EXPECT_EQ(scrollView->documentVisibleRect(), NSMakeRect(0, c.flipped ? 900 : 0, 185, 100));
        w->orderOut(nullptr);
    }
}

TEST_F(WindowingTest, ScrollerPagesOnTrackClicksAndFollowsKnobDrags)
{
    auto w = makeWindow(NSMakeRect(100, 100, 200, 100), nullptr);
    auto doc = documentOfSize({185, 1000}, true);
    auto scrollView = scrollViewIn(w, doc);
    pump();
    auto clip = scrollView->contentView();
    auto scroller = scrollView->verticalScroller();
    EXPECT_EQ(scroller->rectForPart(NSScrollerKnob), NSMakeRect(0, 0, 15, 16));

    // Below the knob: one page down, keeping 10 points of overlap.
    click(NSMakePoint(292, 150));
    EXPECT_EQ(clip->bounds().origin.y, 90);
    EXPECT_NEAR(scroller->doubleValue(), 0.1, 1e-9);
    // Above the knob (now at 0.1 of the 84-point travel): one page up.
    click(NSMakePoint(292, 199));
    EXPECT_EQ(clip->bounds().origin.y, 0);

    // Drag the knob from its middle to the bottom and half way back.
    server().injectMouse(NSEventTypeLeftMouseDown, NSMakePoint(292, 192));
    server().injectPointer(NSMakePoint(292, 90));
    server().injectPointer(NSMakePoint(292, 150));
    server().injectMouse(NSEventTypeLeftMouseUp, NSMakePoint(292, 150));
    pump();
    // Flipped scroller y of the knob's top: 50 - 8 = 42 of 84.
    EXPECT_DOUBLE_EQ(scroller->doubleValue(), 0.5);
    EXPECT_DOUBLE_EQ(clip->bounds().origin.y, 450);
    EXPECT_EQ(scroller->hitPart(), NSScrollerNoPart);
}

TEST_F(WindowingTest, ClipViewConstrainsScrollingAndFollowsTheDocument)
{
    auto w = makeWindow(NSMakeRect(100, 100, 200, 100), nullptr);
    auto doc = documentOfSize({185, 1000}, true);
    auto scrollView = scrollViewIn(w, doc);
    auto clip = scrollView->contentView();
    int boundsChanges = 0;
    auto center = NSNotificationCenter::defaultCenter();
    auto token = center->addObserverForName(NSString::stringWithUTF8String(NSViewBoundsDidChangeNotification), clip,
                                            nullptr, [&](const Ref<NSNotification>&) { ++boundsChanges; });

    struct Case {
        NSPoint proposed;
        NSPoint expected;
    } cases[] = {{{0, 400}, {0, 400}}, {{-20, -5}, {0, 0}}, {{30, 2000}, {0, 900}}};
    for (const auto& c : cases) {
        clip->scrollToPoint(c.proposed);
        EXPECT_EQ(clip->bounds().origin, c.expected);
    }
    EXPECT_EQ(boundsChanges, 3);

    // A shorter document pulls the position back and the scroller along.
    doc->setFrameSize(NSMakeSize(185, 300));
    EXPECT_EQ(clip->bounds().origin.y, 200);
    EXPECT_DOUBLE_EQ(scrollView->verticalScroller()->knobProportion(), 100.0 / 300);
    EXPECT_DOUBLE_EQ(scrollView->verticalScroller()->doubleValue(), 1.0);

    // Scrolling a rectangle into view moves as little as needed.
    EXPECT_TRUE(NSViewExt::scrollRectToVisible(doc, NSMakeRect(0, 20, 10, 30)));
    EXPECT_EQ(clip->bounds().origin.y, 20);
    EXPECT_FALSE(NSViewExt::scrollRectToVisible(doc, NSMakeRect(0, 60, 10, 30)));
    EXPECT_TRUE(NSViewExt::scrollRectToVisible(doc, NSMakeRect(0, 250, 10, 30)));
    EXPECT_EQ(clip->bounds().origin.y, 180);
    EXPECT_EQ(NSViewExt::enclosingScrollView(doc), scrollView);
    center->removeObserver(token);
}
