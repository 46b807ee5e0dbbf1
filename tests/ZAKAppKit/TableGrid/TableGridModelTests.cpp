// The table grid as a model: titles, widths, geometry, the selection and its
// notifications, and the keyboard (driven by injected keys).
#include "TableGridFixture.h"

NS_CLASS_DEFINE(GridSource)
NS_CLASS_DEFINE(RecordingView)

TEST_F(TableGridTest, DefaultTitlesAreLettersThenNumbers)
{
    const std::pair<NSUInteger, const char*> columnsAndTitles[] = {
        {0, "A"}, {25, "Z"}, {26, "["}, {61, "~"}, {62, "63"}};
    for (auto [column, title] : columnsAndTitles)
        EXPECT_EQ(grid->_headerStringForColumn(column)->UTF8String(), title) << column;
    EXPECT_EQ(grid->_headerStringForRow(0)->UTF8String(), "1");
    EXPECT_EQ(grid->_headerStringForRow(9)->UTF8String(), "10");
}

TEST_F(TableGridTest, ColumnsAreSixtyWideAndResizeNoNarrowerThanTwenty)
{
    // The row header is 40 wide, so column 2 starts at 40 + 2 x 60.
    EXPECT_EQ(grid->rectOfColumn(2).origin.x, 160);
    EXPECT_EQ(grid->rectOfColumn(2).size.width, 60);
    EXPECT_EQ(grid->rectOfRow(3).origin.y, 19 + 60);
    EXPECT_EQ(grid->headerRectOfCorner().size.width, 40);
    const CGFloat contentWidth = grid->contentView()->frame().size.width;
    EXPECT_EQ(contentWidth, 8 * 60);

    grid->resizeColumnWithIndex(1, 15);
    EXPECT_EQ(grid->_widthForColumn(1), 75);
    EXPECT_EQ(grid->rectOfColumn(2).origin.x, 175);
    // Clamped at 20: the frames shrink by what the column lost only.
    grid->resizeColumnWithIndex(1, -100);
    EXPECT_EQ(grid->_widthForColumn(1), 20);
    EXPECT_EQ(grid->contentView()->frame().size.width, contentWidth - 40);

    // A data source's widths are asked once and cached.
    source->width = 33;
    EXPECT_EQ(grid->_widthForColumn(4), 33);
    source->width = 90;
    EXPECT_EQ(grid->_widthForColumn(4), 33);
}

TEST_F(TableGridTest, HitTestsAnswerNotFoundOutsideTheCells)
{
    EXPECT_EQ(grid->columnAtPoint(NSMakePoint(161, 100)), 2);
    EXPECT_EQ(grid->rowAtPoint(NSMakePoint(100, 19 + 45)), 2);
    EXPECT_EQ(grid->columnAtPoint(NSMakePoint(1000, 100)), NSNotFound);
    EXPECT_EQ(grid->rowAtPoint(NSMakePoint(100, 5000)), NSNotFound);
    EXPECT_EQ(grid->_dropColumnForPoint(NSMakePoint(165, 100)), 2);
    EXPECT_EQ(grid->_dropColumnForPoint(NSMakePoint(215, 100)), 3);
}

TEST_F(TableGridTest, SelectionPostsOnlyForANewSetObject)
{
    int posted = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        ZAKTableGridDidChangeSelectionNotification, grid, nullptr, [&](const Ref<NSNotification>&) { ++posted; });
    auto set = NSIndexSet::indexSetWithIndex(2);
    grid->setSelectedColumnIndexes(set);
    EXPECT_EQ(posted, 1);
    grid->setSelectedColumnIndexes(set);
    EXPECT_EQ(posted, 1);
    grid->setSelectedColumnIndexes(NSIndexSet::indexSetWithIndex(2));
    EXPECT_EQ(posted, 2);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

TEST_F(TableGridTest, ExtendingMovesKeepTheStickyEdge)
{
    struct Case {
        const char* name;
        std::vector<uint16_t> keys;  // each with Shift
        std::vector<NSUInteger> expectedColumns;
    };
    // From the one cell (3, 5).
    const Case cases[] = {
        {"Shift-Right grows on the right", {kVK_RightArrow}, {3, 4}},
        {"then Shift-Left shrinks back", {kVK_RightArrow, kVK_LeftArrow}, {3}},
        {"Shift-Left grows on the left", {kVK_LeftArrow}, {2, 3}},
        {"then Shift-Right shrinks from the left", {kVK_LeftArrow, kVK_LeftArrow, kVK_RightArrow}, {2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        select(3, 3, 5, 5);
        for (auto k : c.keys) key(k, NSShiftKeyMask);
        EXPECT_EQ(columns(), c.expectedColumns);
        EXPECT_EQ(rows(), std::vector<NSUInteger>{5});
    }
    // Rows: Shift-Up from one cell fixes the bottom edge.
    select(3, 3, 5, 5);
    key(kVK_UpArrow, NSShiftKeyMask);
    key(kVK_UpArrow, NSShiftKeyMask);
    EXPECT_EQ(rows(), (std::vector<NSUInteger>{3, 4, 5}));
    key(kVK_DownArrow, NSShiftKeyMask);
    EXPECT_EQ(rows(), (std::vector<NSUInteger>{4, 5}));
}

TEST_F(TableGridTest, ReturnTabAndTheirShiftFormsMoveOneCell)
{
    struct Case {
        const char* name;
        uint16_t key;
        NSUInteger flags;
        NSUInteger column, row;
    };
    const Case cases[] = {
        {"Return moves down", kVK_Return, 0, 3, 6},
        {"Shift-Return moves up", kVK_Return, NSShiftKeyMask, 3, 4},
        {"Tab moves right", kVK_Tab, 0, 4, 5},
        {"Shift-Tab moves left", kVK_Tab, NSShiftKeyMask, 2, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        select(3, 4, 5, 7);
        key(c.key, c.flags);
        EXPECT_EQ(columns(), std::vector<NSUInteger>{c.column});
        EXPECT_EQ(rows(), std::vector<NSUInteger>{c.row});
    }
    // After Shift-Tab the next Shift-arrow moves once instead of extending.
    select(3, 3, 5, 5);
    key(kVK_Tab, NSShiftKeyMask);
    key(kVK_DownArrow, NSShiftKeyMask);
    EXPECT_EQ(columns(), std::vector<NSUInteger>{2});
    EXPECT_EQ(rows(), std::vector<NSUInteger>{6});
    key(kVK_DownArrow, NSShiftKeyMask);
    EXPECT_EQ(rows(), (std::vector<NSUInteger>{6, 7}));
}

TEST_F(TableGridTest, MovesStopAtTheEdgesAndDoNothingWithoutCellsOrSelection)
{
    select(0, 0, 0, 0);
    key(kVK_UpArrow);
    key(kVK_LeftArrow);
    EXPECT_EQ(columns(), std::vector<NSUInteger>{0});
    EXPECT_EQ(rows(), std::vector<NSUInteger>{0});
    select(7, 7, 29, 29);
    key(kVK_DownArrow);
    key(kVK_RightArrow);
    EXPECT_EQ(columns(), std::vector<NSUInteger>{7});
    EXPECT_EQ(rows(), std::vector<NSUInteger>{29});

    // No cells: nothing wraps around.
    source->columns = 0;
    source->rows = 0;
    grid->reloadData();
    grid->setSelectedColumnIndexes(NSIndexSet::indexSetWithIndex(0));
    grid->setSelectedRowIndexes(NSIndexSet::indexSetWithIndex(0));
    for (auto k : {kVK_DownArrow, kVK_RightArrow}) {
        key(k);
        key(k, NSShiftKeyMask);
    }
    key(kVK_ANSI_A, NSCommandKeyMask);
    EXPECT_EQ(columns(), std::vector<NSUInteger>{0});
    EXPECT_EQ(rows(), std::vector<NSUInteger>{0});

    // No selection: Delete and typing change nothing.
    source->columns = 8;
    source->rows = 30;
    grid->reloadData();
    grid->setAllowsEditing(true);
    grid->setSelectedColumnIndexes(NSIndexSet::indexSet());
    key(kVK_Delete);
    type(u"x");
    EXPECT_TRUE(source->log.empty());
    EXPECT_FALSE(grid->contentView()->isEditing());
}

TEST_F(TableGridTest, SelectAllSelectsEveryCell)
{
    key(kVK_ANSI_A, NSCommandKeyMask);
    EXPECT_EQ(columns().size(), 8u);
    EXPECT_EQ(rows().size(), 30u);
}

TEST_F(TableGridTest, DeleteClearsTheSelectedCellsWhenEditingIsAllowed)
{
    select(1, 2, 4, 6);
    // Read-only grids keep their values.
    key(kVK_Delete);
    EXPECT_TRUE(source->log.empty());

    grid->setAllowsEditing(true);
    const int countsBefore = source->countQueries;
    key(kVK_Delete);
    const std::vector<std::string> expected = {"set 1,4=nil", "set 1,5=nil", "set 1,6=nil",
                                               "set 2,4=nil", "set 2,5=nil", "set 2,6=nil"};
    EXPECT_EQ(source->log, expected);
    EXPECT_EQ(source->countQueries, countsBefore + 1);

    // The delegate's refusal and a data source that stores nothing are gates too.
    source->log.clear();
    source->shouldEdit = false;
    key(kVK_Delete);
    source->shouldEdit = std::nullopt;
    source->stores = false;
    key(kVK_Delete);
    EXPECT_TRUE(source->log.empty());
}

TEST_F(TableGridTest, TypingStartsAnEditThatStoresTheText)
{
    grid->setAllowsEditing(true);
    select(2, 3, 1, 2);
    type(u"hi");
    auto& content = *grid->contentView();
    ASSERT_TRUE(content.isEditing());
    // The selection collapses to the edited cell.
    EXPECT_EQ(columns(), std::vector<NSUInteger>{2});
    EXPECT_EQ(rows(), std::vector<NSUInteger>{1});
    key(kVK_Return);
    EXPECT_FALSE(content.isEditing());
    ASSERT_FALSE(source->log.empty());
    EXPECT_EQ(source->log.back(), "set 2,1=hi");
}

TEST_F(TableGridTest, ScrollingTheCellsScrollsBothHeaders)
{
    auto clip = grid->contentScrollView()->contentView();
    clip->scrollToPoint(NSMakePoint(30, 100));
    pump();
    EXPECT_EQ(grid->columnHeaderView()->visibleRect().origin.x, 30);
    EXPECT_EQ(grid->rowHeaderView()->visibleRect().origin.y, 100);
    // Moving down past the visible rows scrolls the cell into view.
    select(0, 0, 0, 0);
    clip->scrollToPoint(NSZeroPoint);
    for (int i = 0; i < 20; ++i) key(kVK_DownArrow);
    const NSRect visible = grid->contentView()->visibleRect();
    EXPECT_GE(NSMaxY(visible), 21 * 20);
}
