// Table views: rows from the data source, geometry, selection by mouse and
// keys, scrolling a row into view, editing in place and keyed coding.
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTableView.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNotificationCenter.h"
#include "WindowServer/USKeyboardLayout.h"
#include "WindowingFixture.h"

namespace {

struct SetCall {
    std::string value;
    std::string column;
    NSInteger row;
};

class RowSource : public NSObject, public NSTableViewDataSource, public NSTableViewDelegate {
    NS_OBJECT(RowSource, NSObject)
protected:
    RowSource() = default;

public:
    NSInteger rows = 30;
    int rowQueries = 0;
    std::vector<SetCall> sets;
    NSInteger refusedRow = -1;
    int selectionChanges = 0;
    int doubleClicks = 0;

    static void describeClass(NSClassMembers<RowSource>& m)
    {
        m.action("rowDoubleClicked:", &RowSource::rowDoubleClicked);
    }
    void rowDoubleClicked(const Id&) { ++doubleClicks; }

    std::optional<NSInteger> numberOfRowsInTableView(NSTableView*) override
    {
        ++rowQueries;
        return rows;
    }
    std::optional<Id> tableViewObjectValueForTableColumnRow(NSTableView*, NSTableColumn* column, NSInteger row) override
    {
        auto id = dynamic_ref_cast<NSString>(column->identifier());
        return Id(NSString::stringWithUTF8String((id->UTF8String() + std::string(" ") + std::to_string(row)).c_str()));
    }
    void tableViewSetObjectValueForTableColumnRow(NSTableView*, const Id& value, NSTableColumn* column,
                                                  NSInteger row) override
    {
        sets.push_back({dynamic_ref_cast<NSString>(value)->UTF8String(),
                        dynamic_ref_cast<NSString>(column->identifier())->UTF8String(), row});
    }
    std::optional<bool> tableViewShouldSelectRow(NSTableView*, NSInteger row) override { return row != refusedRow; }
    void tableViewSelectionDidChange(const Ref<NSNotification>&) override { ++selectionChanges; }
};

NS_CLASS_DEFINE(RowSource)

Ref<NSTableView> makeTable(const Ref<RowSource>& source)
{
    auto table = NSObject::alloc<NSTableView>();
    table->initWithFrame(NSMakeRect(0, 0, 200, 100));
    for (const char* name : {"name", "count"}) {
        auto column = NSObject::alloc<NSTableColumn>()->initWithIdentifier(NSString::stringWithUTF8String(name));
        column->setTitle(NSString::stringWithUTF8String(name));
        column->setEditable(std::string(name) == "name");
        table->addTableColumn(column);
    }
    table->setDataSource(source);
    table->setDelegate(source);
    return table;
}

// A titled (so key) window at content (100, 100, 300, 200) holding a scroll
// view with the table: header 17 high, clip view (0, 0, 285, 183), rows 19
// apart. Screen y of a row's middle: 283 - 19 r - 9.5.
class TableTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        source = NSObject::make<RowSource>();
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 300, 200), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        scrollView = NSObject::alloc<NSScrollView>();
        scrollView->initWithFrame(NSMakeRect(0, 0, 300, 200));
        scrollView->setHasVerticalScroller(true);
        table = makeTable(source);
        scrollView->setDocumentView(table);
        window->contentView()->addSubview(scrollView);
        window->makeKeyAndOrderFront(nullptr);
        pump();
        // Drawing the rows leaves nothing to redraw.
        EXPECT_FALSE(table->needsDisplay());
    }

    static NSPoint rowPoint(NSInteger row, NSInteger column = 0)
    {
        return NSMakePoint(column == 0 ? 150 : 250, 283 - 19 * CGFloat(row) - 9.5);
    }
    void clickRow(NSInteger row, NSUInteger flags = 0)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, rowPoint(row), flags);
        server().injectMouse(NSEventTypeLeftMouseUp, rowPoint(row), flags);
        Clock::advance(1);
        pump();
    }
    std::vector<NSUInteger> selection() const
    {
        std::vector<NSUInteger> rows;
        table->selectedRowIndexes()->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { rows.push_back(i); });
        return rows;
    }

    Ref<RowSource> source;
    Ref<NSWindow> window;
    Ref<NSScrollView> scrollView;
    Ref<NSTableView> table;
};

}

TEST(TableViewGeometry, RowsColumnsAndCellsFollowTheSpacing)
{
    auto source = NSObject::make<RowSource>();
    auto table = makeTable(source);
    EXPECT_GT(source->rowQueries, 0);
    EXPECT_EQ(table->numberOfRows(), 30);
    // Two columns of 100 plus spacing 3; 30 rows of 17 plus spacing 2.
    EXPECT_EQ(table->frame().size, NSMakeSize(206, 570));
    EXPECT_EQ(table->rectOfRow(2), NSMakeRect(0, 38, 206, 19));
    EXPECT_EQ(table->rectOfColumn(1), NSMakeRect(103, 0, 103, 570));
    EXPECT_EQ(table->frameOfCellAtColumnRow(1, 2), NSMakeRect(104.5, 39, 100, 17));
    EXPECT_EQ(table->rectOfRow(30), NSZeroRect);
    struct Case {
        NSPoint point;
        NSInteger row, column;
    } cases[] = {{{0, 0}, 0, 0},     {{102.9, 18.9}, 0, 0}, {{103, 19}, 1, 1}, {{205, 569}, 29, 1},
                 {{10, 570}, -1, 0}, {{206, 10}, -1, -1},   {{-1, 10}, -1, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(table->rowAtPoint(c.point), c.row) << c.point.x << "," << c.point.y;
        EXPECT_EQ(table->columnAtPoint(c.point), c.column) << c.point.x << "," << c.point.y;
    }
    EXPECT_EQ(table->columnWithIdentifier(NSString::stringWithUTF8String("count")), 1);

    // Fewer rows: the selection past the end goes, the frame shrinks.
    table->setAllowsMultipleSelection(true);
    table->selectRowIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(8, 4)), false);
    source->rows = 10;
    table->reloadData();
    EXPECT_EQ(table->selectedRowIndexes()->count(), 2u);
    EXPECT_EQ(table->frame().size.height, 190);
}

TEST_F(TableTest, SelectionByClicksAndArrowKeysNotifiesEachChange)
{
    table->setAllowsMultipleSelection(true);
    source->refusedRow = 5;
    int posted = 0;
    auto center = NSNotificationCenter::defaultCenter();
    auto token = center->addObserverForName(NSString::stringWithUTF8String(NSTableViewSelectionDidChangeNotification),
                                            table, nullptr, [&](const Ref<NSNotification>&) { ++posted; });
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<NSUInteger> rows;
        NSInteger selectedRow;
    } steps[] = {
        {"click 1", [&] { clickRow(1); }, {1}, 1},
        {"shift-click 4", [&] { clickRow(4, NSShiftKeyMask); }, {1, 2, 3, 4}, 4},
        {"command-click 2", [&] { clickRow(2, NSCommandKeyMask); }, {1, 3, 4}, 4},
        {"click refused 5", [&] { clickRow(5); }, {1, 3, 4}, 4},
        {"click 0", [&] { clickRow(0); }, {0}, 0},
        {"down", [&] { key(kVK_DownArrow); }, {1}, 1},
        {"shift-down", [&] { key(kVK_DownArrow, NSShiftKeyMask); }, {1, 2}, 2},
        {"down", [&] { key(kVK_DownArrow); }, {3}, 3},
        {"down, down over refused 5",
         [&] {
             key(kVK_DownArrow);
             key(kVK_DownArrow);
         },
         {6},
         6},
        {"up", [&] { key(kVK_UpArrow); }, {4}, 4},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(selection(), s.rows) << s.what;
        EXPECT_EQ(table->selectedRow(), s.selectedRow) << s.what;
    }
    EXPECT_EQ(posted, 10);
    EXPECT_EQ(source->selectionChanges, 10);
    EXPECT_EQ(table->clickedRow(), 0);

    table->deselectAll(nullptr);
    EXPECT_EQ(table->selectedRow(), -1);
    table->setAllowsEmptySelection(false);
    table->selectRowIndexes(NSIndexSet::indexSetWithIndex(7), false);
    table->deselectAll(nullptr);
    EXPECT_EQ(table->selectedRow(), 7);
    center->removeObserver(token);
}

TEST_F(TableTest, ScrollRowToVisibleMovesTheClipViewJustEnough)
{
    auto clip = scrollView->contentView();
    // Below the 17-point header: the scroll view is flipped.
    EXPECT_EQ(clip->frame(), NSMakeRect(0, 17, 285, 183));
    struct Case {
        NSInteger row;
        CGFloat originY;
    } cases[] = {{25, 494 - 183}, {24, 494 - 183}, {3, 57}, {0, 0}, {29, 570 - 183}};
    for (const auto& c : cases) {
        table->scrollRowToVisible(c.row);
        EXPECT_EQ(clip->bounds().origin.y, c.originY) << c.row;
        EXPECT_TRUE(NSContainsRect(scrollView->documentVisibleRect(), table->rectOfRow(c.row))) << c.row;
    }
    // The header scrolls with the table, and is not part of the clip view.
    EXPECT_EQ(table->headerView()->window(), window);
}

TEST_F(TableTest, DoubleClickEditsAndReturnCommitsWhileEscapeCancels)
{
    auto doubleClick = [&](NSPoint p) {
        server().injectMouse(NSEventTypeLeftMouseDown, p);
        server().injectMouse(NSEventTypeLeftMouseUp, p);
        server().injectMouse(NSEventTypeLeftMouseDown, p);
        server().injectMouse(NSEventTypeLeftMouseUp, p);
        pump();
    };
    doubleClick(rowPoint(2));
    ASSERT_EQ(table->editedRow(), 2);
    EXPECT_EQ(table->editedColumn(), 0);
    ASSERT_TRUE(table->currentEditor());
    EXPECT_EQ(std::string(table->currentEditor()->string()->UTF8String()), "name 2");
    key(kVK_ANSI_Z);
    key(kVK_ANSI_Q);
    key(kVK_Return);
    ASSERT_EQ(source->sets.size(), 1u);
    EXPECT_EQ(source->sets[0].value, "zq");
    EXPECT_EQ(source->sets[0].column, "name");
    EXPECT_EQ(source->sets[0].row, 2);
    EXPECT_EQ(table->editedRow(), -1);
    EXPECT_EQ(window->firstResponder(), table);

    // Escape: nothing reaches the data source, and the arrows work again.
    doubleClick(rowPoint(3));
    ASSERT_EQ(table->editedRow(), 3);
    key(kVK_ANSI_Z);
    key(kVK_Escape);
    EXPECT_EQ(source->sets.size(), 1u);
    EXPECT_EQ(table->editedRow(), -1);
    key(kVK_DownArrow);
    EXPECT_EQ(table->selectedRow(), 4);

    // A column that is not editable sends the double action instead.
    table->setTarget(source);
    table->setDoubleAction("rowDoubleClicked:");
    doubleClick(rowPoint(1, 1));
    EXPECT_EQ(source->doubleClicks, 1);
    EXPECT_EQ(table->editedRow(), -1);
    EXPECT_EQ(table->clickedColumn(), 1);
    EXPECT_EQ(source->sets.size(), 1u);
}

TEST(TableViewCoding, TableInScrollViewRoundTrips)
{
    auto source = NSObject::make<RowSource>();
    auto table = makeTable(source);
    table->setRowHeight(20);
    table->setAllowsMultipleSelection(true);
    table->setGridStyleMask(NSTableViewSolidHorizontalGridLineMask);
    table->tableColumns()[1]->setWidth(60);
    auto scrollView = NSObject::alloc<NSScrollView>();
    scrollView->initWithFrame(NSMakeRect(0, 0, 300, 200));
    scrollView->setHasVerticalScroller(true);
    scrollView->setBorderType(NSBezelBorder);
    scrollView->setDocumentView(table);

    auto data = NSKeyedArchiver::archivedDataWithRootObject(scrollView);
    auto copy = dynamic_ref_cast<NSScrollView>(NSKeyedUnarchiver::unarchiveObjectWithData(data));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->hasVerticalScroller());
    EXPECT_EQ(copy->borderType(), NSBezelBorder);
    EXPECT_EQ(copy->contentView()->frame(), scrollView->contentView()->frame());
    auto decoded = dynamic_ref_cast<NSTableView>(copy->documentView());
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->numberOfColumns(), 2);
    EXPECT_EQ(decoded->rowHeight(), 20);
    EXPECT_TRUE(decoded->allowsMultipleSelection());
    EXPECT_EQ(decoded->gridStyleMask(), NSUInteger(NSTableViewSolidHorizontalGridLineMask));
    auto second = decoded->tableColumns()[1];
    EXPECT_EQ(second->width(), 60);
    EXPECT_EQ(std::string(second->title()->UTF8String()), "count");
    EXPECT_FALSE(second->isEditable());
    EXPECT_EQ(second->tableView(), decoded);
    EXPECT_TRUE(second->dataCell());
    EXPECT_EQ(decoded->headerView()->tableView(), decoded);
}
