// Dragging dividers with injected events: limits, collapsing, taking room
// from earlier panes, double-clicks, window growth, crossing dividers of
// nested split views, cursors and the scroll-view mode.
#include "AppKit/NSScrollView.h"
#include "SplitViewFixture.h"

namespace {
// The middle of divider i, in the split view's coordinates.
NSPoint dividerPoint(const Ref<QXSplitView>& sv, NSUInteger i)
{
    const NSRect r = sv->dividerRects()[i];
    return NSMakePoint(NSMidX(r), NSMidY(r));
}
NSPoint moved(NSPoint p, double dx, double dy) { return NSMakePoint(p.x + dx, p.y + dy); }
}

TEST_F(SplitViewTest, DraggingStopsAtTheMinimumOrCollapses)
{
    struct Case {
        double dx;
        std::vector<double> expected;
    };
    // A (minimum 50, at 60) and B (200); 5-point divider. A collapsed pane
    // keeps its divider.
    const Case cases[] = {{-30, {50, 210}}, {-40, {0, 260}}, {+25, {85, 175}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dx);
        auto sv = makeSplit({60, 200}, 5);
        sv->setDivider(dividerImage(5, 5, NSColor::redColor()));
        sv->setAutoresizingMask(18);
        pane(sv, 0)->setMinDimension(50, 0);
        pane(sv, 0)->setCanCollapse(true);
        showInWindow(sv, sv->frame().size);
        auto p = dividerPoint(sv, 0);
        drag(sv, p, {moved(p, c.dx, 0)});
        EXPECT_EQ(dims(sv), c.expected);
        EXPECT_FALSE(sv->isDragging());
    }
}

TEST_F(SplitViewTest, DraggingTakesRoomFromAnEarlierPaneAndOpensCollapsedOnes)
{
    auto sv = makeSplit({100, 50, 100}, 1);
    sv->setDivider(dividerImage(1, 1, NSColor::redColor()));
    pane(sv, 1)->setMinDimension(50, 0);  // at its minimum, cannot collapse
    showInWindow(sv, sv->frame().size);
    auto p = dividerPoint(sv, 1);
    drag(sv, p, {moved(p, -20, 0)});
    EXPECT_EQ(dims(sv), (std::vector<double>{80, 50, 120}));

    // A collapsed trailing pane opens at its minimum once the drag passes
    // 55% of it.
    auto two = makeSplit({200, 100}, 1);
    two->setDivider(dividerImage(1, 1, NSColor::redColor()));
    pane(two, 1)->setMinDimension(40, 0);
    pane(two, 1)->setCanCollapse(true);
    pane(two, 1)->collapse();
    two->adjustSubviews();
    ASSERT_EQ(dims(two), (std::vector<double>{300, 0}));
    showInWindow(two, two->frame().size);
    p = dividerPoint(two, 0);
    drag(two, p, {moved(p, -21, 0)});
    EXPECT_EQ(dims(two), (std::vector<double>{300, 0}));
    p = dividerPoint(two, 0);
    drag(two, p, {moved(p, -23, 0)});
    EXPECT_EQ(dims(two), (std::vector<double>{260, 40}));
}

TEST_F(SplitViewTest, DoubleClicksCollapseAndReopen)
{
    struct Case {
        const char* name;
        std::vector<double> panes;
        std::vector<double> afterFirst;
        std::vector<double> afterSecond;
    };
    const Case cases[] = {
        {"the smaller pane collapses", {100, 300}, {0, 400}, {100, 300}},
        {"equal: the trailing one", {200, 200}, {400, 0}, {200, 200}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto sv = makeSplit(c.panes, 1);
        sv->setDivider(dividerImage(1, 1, NSColor::redColor()));
        for (NSUInteger i : {0u, 1u}) pane(sv, i)->setCanCollapse(true);
        showInWindow(sv, sv->frame().size);
        for (const auto* expected : {&c.afterFirst, &c.afterSecond}) {
            const NSPoint p = dividerPoint(sv, 0);
            server().injectMouse(NSEventTypeLeftMouseDown, onScreen(sv, p), 0, 2);
            server().injectMouse(NSEventTypeLeftMouseUp, onScreen(sv, p), 0, 2);
            pump();
            EXPECT_EQ(dims(sv), *expected);
        }
    }

    // The delegate picks the pane, or refuses the event altogether.
    auto sv = makeSplit({100, 300}, 1);
    sv->setDivider(dividerImage(1, 1, NSColor::redColor()));
    for (NSUInteger i : {0u, 1u}) pane(sv, i)->setCanCollapse(true);
    auto delegate = NSObject::make<RecordingSplitDelegate>();
    sv->setDelegate(delegate);
    showInWindow(sv, sv->frame().size);
    delegate->handleEvent = false;
    drag(sv, dividerPoint(sv, 0), {moved(dividerPoint(sv, 0), 50, 0)});
    EXPECT_EQ(dims(sv), (std::vector<double>{100, 300}));
    delegate->handleEvent = std::nullopt;
    delegate->collapsePick = pane(sv, 1).get();
    const NSPoint p = dividerPoint(sv, 0);
    server().injectMouse(NSEventTypeLeftMouseDown, onScreen(sv, p), 0, 2);
    server().injectMouse(NSEventTypeLeftMouseUp, onScreen(sv, p), 0, 2);
    pump();
    EXPECT_EQ(dims(sv), (std::vector<double>{400, 0}));
}

TEST_F(SplitViewTest, DraggingGrowsTheWindowDownwardsWithinTheScreen)
{
    // A horizontal split view filling a window whose bottom is 100 points
    // above the screen's visible bottom.
    auto sv = makeSplit({100, 100}, 1, true, 300);
    sv->setDivider(dividerImage(1, 1, NSColor::redColor()));
    sv->setAutoresizingMask(18);
    auto delegate = NSObject::make<RecordingSplitDelegate>();
    delegate->resizeWindow = true;
    sv->setDelegate(delegate);
    auto window = showInWindow(sv, sv->frame().size);
    window->setMaxSize(NSMakeSize(1000, 1000));
    const double top = NSMaxY(window->frame());
    auto p = dividerPoint(sv, 0);
    drag(sv, p, {moved(p, 0, 60)});
    EXPECT_EQ(window->frame().size.height, 261);
    EXPECT_EQ(NSMaxY(window->frame()), top);
    EXPECT_EQ(dims(sv), (std::vector<double>{160, 100}));

    p = dividerPoint(sv, 0);
    drag(sv, p, {moved(p, 0, 80)});  // only 40 points are left above the screen's bottom
    EXPECT_EQ(window->frame().origin.y, 0);
    EXPECT_EQ(NSMaxY(window->frame()), top);
    EXPECT_EQ(dims(sv), (std::vector<double>{200, 100}));
}

TEST_F(SplitViewTest, CrossingDividersOfCoupledNestedSplitViewsMoveTogether)
{
    auto outer = makeSplit({200, 200}, 5, false, 305);
    outer->setDivider(dividerImage(5, 5, NSColor::redColor()));
    auto nested =
        static_ref_cast<QXSplitView>(NSObject::alloc<QXSplitView>()->initWithFrame(NSMakeRect(0, 0, 200, 305), 2));
    outer->replaceSubview(pane(outer, 1), nested);
    outer->adjustSubviews();
    ASSERT_EQ(nested->dividerRects().size(), 1u);
    EXPECT_EQ(nested->dividerThickness(), 5);  // the parent's image
    showInWindow(outer, outer->frame().size);

    // The crossing point: on the outer divider, level with the nested one.
    const NSRect nestedDivider = nested->QX___dividerRect(0, outer);
    const NSPoint crossing = NSMakePoint(NSMidX(outer->dividerRects()[0]), NSMidY(nestedDivider));
    drag(outer, crossing, {moved(crossing, 30, 20)});
    EXPECT_EQ(pane(outer, 0)->QX___visibleDimension(), 230);
    EXPECT_EQ(nested->subviewAtPosition(0)->QX___visibleDimension(), 170);

    // Cursor rectangles: the crossing is kind 2, the divider kind 1.
    m_window->resetCursorRects();
    std::vector<Ref<NSCursor>> cursors;
    for (const auto& c : outer->cursorRects()) cursors.push_back(static_ref_cast<NSCursor>(c.cursor));
    EXPECT_EQ(cursors, (std::vector<Ref<NSCursor>>{NSCursor::openHandCursor(), NSCursor::resizeLeftRightCursor()}));
}

TEST_F(SplitViewTest, CursorsByKindAndTheirReplacements)
{
    EXPECT_EQ(QXSplitView::cursor(0), NSCursor::resizeUpDownCursor());
    EXPECT_EQ(QXSplitView::cursor(1), NSCursor::resizeLeftRightCursor());
    EXPECT_EQ(QXSplitView::cursor(2), NSCursor::openHandCursor());
    EXPECT_EQ(QXSplitView::cursor(3), NSCursor::closedHandCursor());
    NSCursor::IBeamCursor()->set();
    EXPECT_EQ(QXSplitView::cursor(7), NSCursor::IBeamCursor());
    auto custom = NSObject::alloc<NSCursor>()->initWithImage(dividerImage(8, 8, NSColor::blueColor()), {4, 4});
    QXSplitView::setCursor(1, custom);
    QXSplitView::setCursor(9, custom);  // ignored
    EXPECT_EQ(QXSplitView::cursor(1), custom);

    auto sv = makeSplit({100, 100, 100}, 2);
    auto delegate = NSObject::make<RecordingSplitDelegate>();
    delegate->cursorRect = [](const NSRect& r, NSUInteger i) {
        return i == 1 ? std::optional<NSRect>(NSZeroRect) : std::optional<NSRect>(NSInsetRect(r, 0, 10));
    };
    sv->setDelegate(delegate);
    showInWindow(sv, sv->frame().size);
    m_window->resetCursorRects();
    EXPECT_TRUE(sv->cursorRects().empty());  // no divider image: no cursor
    sv->setDivider(dividerImage(2, 2, NSColor::redColor()));
    sv->adjustSubviews();
    m_window->resetCursorRects();
    ASSERT_EQ(sv->cursorRects().size(), 1u);  // the delegate emptied the second
    EXPECT_EQ(sv->cursorRects()[0].rect, NSMakeRect(100, 10, 2, 80));
    EXPECT_EQ(sv->cursorRects()[0].cursor, Id(custom));

    // While dragging, the closed hand shows; the stack is back after.
    QXSplitView::setCursor(1, nullptr);
    NSCursor::arrowCursor()->set();
    std::vector<std::string> seen;
    delegate->onPass = [&] { seen.push_back(server().currentCursor().themeName); };
    drag(sv, dividerPoint(sv, 0), {moved(dividerPoint(sv, 0), 10, 0)});
    EXPECT_EQ(dims(sv)[0], 110);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), "grabbing");
    EXPECT_NE(NSCursor::currentCursor(), NSCursor::closedHandCursor());
}

TEST_F(SplitViewTest, InAScrollViewADragChangesOnlyTheLeadingPane)
{
    auto sv = makeSplit({100, 100}, 1);
    sv->setDivider(dividerImage(1, 1, NSColor::redColor()));
    auto scroll = NSObject::alloc<NSScrollView>()->initWithFrame(NSMakeRect(0, 0, 300, 120));
    static_ref_cast<NSScrollView>(scroll)->setDocumentView(sv);
    EXPECT_TRUE(sv->isInScrollView());
    showInWindow(scroll, NSMakeSize(300, 120));
    auto p = dividerPoint(sv, 0);
    drag(sv, p, {moved(p, 40, 0)});
    EXPECT_EQ(dims(sv), (std::vector<double>{140, 100}));
    EXPECT_EQ(sv->frame().size.width, 241);
}

TEST_F(SplitViewTest, APaneDragsTheDividerItsDelegateNames)
{
    auto sv = makeSplit({150, 150}, 1);
    auto delegate = NSObject::make<RecordingSplitDelegate>();
    // A grip at the bottom right of the first pane drags divider 0; an
    // index past the last divider is ignored.
    delegate->dividerForPoint = [](NSPoint p, QXSplitSubview* pane) -> std::optional<NSUInteger> {
        if (pane->identifier()->isEqual("0"_ns.get()) && p.x > 130 && p.y > 80) return 0;
        if (pane->identifier()->isEqual("1"_ns.get())) return 5;
        return NSNotFound;
    };
    sv->setDelegate(delegate);
    showInWindow(sv, sv->frame().size);
    drag(sv, NSMakePoint(140, 90), {NSMakePoint(180, 90)});
    EXPECT_EQ(dims(sv), (std::vector<double>{190, 110}));
    drag(sv, NSMakePoint(100, 50), {NSMakePoint(60, 50)});
    drag(sv, NSMakePoint(250, 50), {NSMakePoint(200, 50)});
    EXPECT_EQ(dims(sv), (std::vector<double>{190, 110}));
    EXPECT_EQ(pane(sv, 0)->QX___actDivider(), NSNotFound);
}
