// The table grid under the mouse: selecting cells and whole columns and rows,
// double-click editing, resizing a column by its edge, and moving columns
// and rows by dragging their headers, all with injected events.
#include "AppKit/DragManager.h"
#include "AppKit/NSViewDragging.h"
#include "Foundation/NSKeyedArchiver.h"
#include "TableGridFixture.h"

TEST_F(TableGridTest, ClicksAndDragsSelectRectangles)
{
    clickAt(cellCentre(2, 3));
    EXPECT_EQ(columns(), std::vector<NSUInteger>{2});
    EXPECT_EQ(rows(), std::vector<NSUInteger>{3});
    // Shift-click left of and above the anchor: the right and bottom edges
    // stay, so Shift-Right then shrinks from the left.
    clickAt(cellCentre(0, 1), NSShiftKeyMask);
    EXPECT_EQ(columns(), (std::vector<NSUInteger>{0, 1, 2}));
    EXPECT_EQ(rows(), (std::vector<NSUInteger>{1, 2, 3}));
    key(kVK_RightArrow, NSShiftKeyMask);
    EXPECT_EQ(columns(), (std::vector<NSUInteger>{1, 2}));

    // A drag back past the mouse-down cell flips the sticky edge.
    press(cellCentre(3, 3));
    server().injectPointer(cellCentre(5, 4));
    server().injectPointer(cellCentre(1, 4));
    release(cellCentre(1, 4));
    EXPECT_EQ(columns(), (std::vector<NSUInteger>{1, 2, 3}));
    EXPECT_EQ(rows(), (std::vector<NSUInteger>{3, 4}));
    EXPECT_EQ(grid->_stickyColumn(), ZAKTableGridRightEdge);
    EXPECT_FALSE(grid->contentView()->hasAutoscrollTimer());

    // Outside every cell (below the last row) the selection stays.
    source->rows = 3;
    grid->reloadData();
    pump();
    clickAt(onScreen(NSMakePoint(100, 280)));
    EXPECT_EQ(columns(), (std::vector<NSUInteger>{1, 2, 3}));
}

TEST_F(TableGridTest, DoubleClickEditsOnlyWhenEditingIsAllowed)
{
    clickAt(cellCentre(1, 1), 0, 1);
    clickAt(cellCentre(1, 1), 0, 2);
    EXPECT_FALSE(grid->contentView()->isEditing());

    grid->setAllowsEditing(true);
    source->shouldEdit = false;
    clickAt(cellCentre(1, 1), 0, 1);
    clickAt(cellCentre(1, 1), 0, 2);
    EXPECT_FALSE(grid->contentView()->isEditing());

    source->shouldEdit = std::nullopt;
    clickAt(cellCentre(1, 1), 0, 1);
    clickAt(cellCentre(1, 1), 0, 2);
    ASSERT_TRUE(grid->contentView()->isEditing());
    auto editor = dynamic_ref_cast<NSText>(window->fieldEditor(false, grid->contentView()));
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->string()->UTF8String(), "1,1");
    editor->setString("new"_ns);
    key(kVK_Return);
    EXPECT_FALSE(grid->contentView()->isEditing());
    EXPECT_EQ(source->log.back(), "set 1,1=new");
}

TEST_F(TableGridTest, HeaderClicksAndDragsSelectWholeColumnsAndRows)
{
    clickAt(columnHeaderCentre(2));
    EXPECT_EQ(columns(), std::vector<NSUInteger>{2});
    EXPECT_EQ(rows().size(), 30u);

    // Dragging along the header from a column not selected yet.
    clickAt(columnHeaderCentre(4));
    press(columnHeaderCentre(1));
    server().injectPointer(columnHeaderCentre(3));
    release(columnHeaderCentre(3));
    EXPECT_EQ(columns(), (std::vector<NSUInteger>{1, 2, 3}));
    EXPECT_EQ(rows().size(), 30u);
    // A click without moving on a selected whole column keeps that one.
    clickAt(columnHeaderCentre(2));
    EXPECT_EQ(columns(), std::vector<NSUInteger>{2});

    // Row header.
    const NSRect r = grid->headerRectOfRow(4);
    clickAt(onScreen(NSMakePoint(NSMidX(r), NSMidY(r))));
    EXPECT_EQ(rows(), std::vector<NSUInteger>{4});
    EXPECT_EQ(columns().size(), 8u);
}

TEST_F(TableGridTest, DraggingAColumnEdgeResizesIt)
{
    // Every visible column has its resize area, 5 wide from 2 left of its edge.
    const auto& areas = grid->columnHeaderView()->resizeAreas();
    ASSERT_GE(areas.size(), 6u);
    EXPECT_EQ(areas[0]->rect().origin.x, 58);
    EXPECT_EQ(areas[0]->rect().size.width, 5);

    // Column B's right edge is at x 160 in the grid.
    const NSPoint edge = onScreen(NSMakePoint(161, 10));
    server().injectPointer(onScreen(NSMakePoint(150, 10)));
    server().injectPointer(edge);
    pump();
    ASSERT_TRUE(grid->columnHeaderView()->canResize());
    press(edge);
    server().injectPointer(onScreen(NSMakePoint(191, 10)));
    server().injectPointer(onScreen(NSMakePoint(201, 40)));
    release(onScreen(NSMakePoint(201, 40)));
    EXPECT_EQ(grid->_widthForColumn(1), 100);
    // Released outside every area: the next press selects instead.
    EXPECT_FALSE(grid->columnHeaderView()->canResize());
    clickAt(columnHeaderCentre(3));
    EXPECT_EQ(columns(), std::vector<NSUInteger>{3});
    EXPECT_EQ(grid->_widthForColumn(2), 60);
}

TEST_F(TableGridTest, DraggingSelectedColumnHeadersMovesTheColumns)
{
    int moves = 0;
    Ref<NSDictionary> info;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        ZAKTableGridDidMoveColumnsNotification, grid, nullptr, [&](const Ref<NSNotification>& note) {
            ++moves;
            info = note->userInfo();
        });
    grid->resizeColumnWithIndex(1, 10);  // B is 70 wide and keeps its width
    // Select B and C, then drag them by B's header into the left half of F.
    press(columnHeaderCentre(1));
    server().injectPointer(columnHeaderCentre(2));
    release(columnHeaderCentre(2));
    ASSERT_EQ(columns(), (std::vector<NSUInteger>{1, 2}));
    const NSRect f = grid->headerRectOfColumn(5);
    // Pressed away from the first press, so it is no double click.
    const CGFloat b = NSMidX(grid->headerRectOfColumn(1));
    press(onScreen(NSMakePoint(b + 8, 10)));
    server().injectPointer(onScreen(NSMakePoint(b + 18, 10)));
    server().injectPointer(onScreen(NSMakePoint(f.origin.x + 5, 10)));
    release(onScreen(NSMakePoint(f.origin.x + 5, 10)));

    EXPECT_EQ(source->lastDropIndex, 5u);
    EXPECT_EQ(indexes(source->lastMoved), (std::vector<NSUInteger>{1, 2}));
    EXPECT_EQ(moves, 1);
    ASSERT_TRUE(info);
    EXPECT_EQ(indexes(dynamic_ref_cast<NSIndexSet>(info->objectForKey("OldColumns"_ns))),
              (std::vector<NSUInteger>{1, 2}));
    EXPECT_EQ(indexes(dynamic_ref_cast<NSIndexSet>(info->objectForKey("NewColumns"_ns))),
              (std::vector<NSUInteger>{3, 4}));
    EXPECT_EQ(columns(), (std::vector<NSUInteger>{3, 4}));
    // The width went with the column.
    EXPECT_EQ(grid->_widthForColumn(3), 70);
    EXPECT_EQ(grid->_widthForColumn(1), 60);
    EXPECT_EQ(grid->contentView()->dropColumn(), NSNotFound);

    // Dropped inside the moved range: no move.
    source->log.clear();
    press(columnHeaderCentre(3));
    server().injectPointer(onScreen(NSMakePoint(NSMidX(grid->headerRectOfColumn(3)) + 10, 10)));
    server().injectPointer(onScreen(NSMakePoint(NSMidX(grid->headerRectOfColumn(4)) - 5, 10)));
    release(onScreen(NSMakePoint(NSMidX(grid->headerRectOfColumn(4)) - 5, 10)));
    EXPECT_TRUE(source->log.empty());
    EXPECT_EQ(moves, 1);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

// A view that drags the grid's column type from outside the grid.
class ForeignColumnSource : public RecordingView {
    NS_OBJECT(ForeignColumnSource, RecordingView)
protected:
    ForeignColumnSource() = default;

public:
    void mouseDown(const Ref<NSEvent>& event) override
    {
        auto board = NSPasteboard::pasteboardWithName(NSDragPboard);
        board->declareTypes(NSArray::arrayWithObject(ZAKTableGridColumnDataType), nullptr);
        board->setData(NSKeyedArchiver::archivedDataWithRootObject(NSIndexSet::indexSetWithIndex(0)),
                       ZAKTableGridColumnDataType);
        NSViewExt::dragImage(Ref<NSView>(this), nullptr, NSZeroPoint, NSZeroSize, event, board, Ref<NSObject>(this),
                             false);
    }
};
NS_CLASS_DEFINE(ForeignColumnSource)

TEST_F(TableGridTest, ColumnDragsFromElsewhereAreNoMoves)
{
    auto other = makeWindow(NSMakeRect(600, 100, 100, 100), NSColor::whiteColor());
    auto foreign = NSObject::alloc<ForeignColumnSource>();
    foreign->initWithFrame(NSMakeRect(0, 0, 100, 100));
    other->contentView()->addSubview(foreign);
    pump();
    press(NSMakePoint(650, 150));
    server().injectPointer(cellCentre(4, 2));
    release(cellCentre(4, 2));
    EXPECT_TRUE(source->log.empty());
    EXPECT_FALSE(grid->contentView()->hasAutoscrollTimer());
}
