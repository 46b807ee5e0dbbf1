// What every outline view of the process does once the framework's outline
// category is loaded, its selection by item, and fitting table columns to
// their cells.
#include "AppKitExtensions/NSOutlineView+ZAKOutlineViewExtension.h"
#include "AppKitExtensions/NSTableView+ZAKTableViewExtensionCat.h"
#include "Foundation/NSNumber.h"
#include "OutlineFixture.h"

NS_CLASS_DEFINE(TreeItem)
NS_CLASS_DEFINE(TreeSource)

namespace {

// A tree source that also answers the framework's delegate messages.
class MenuTreeSource : public TreeSource, public ZAKOutlineViewExtensionDelegate {
    NS_OBJECT(MenuTreeSource, TreeSource)
protected:
    MenuTreeSource() = default;

public:
    Ref<NSMenu> menu = NSMenu::menuWithTitle("context"_ns);
    std::vector<std::string> asked;  // column, item
    std::vector<std::string> deletes;

    std::optional<Ref<NSMenu>> outlineViewMenuForTableColumnItem(NSOutlineView*, NSTableColumn* column,
                                                                 const Id& item) override
    {
        asked.push_back(std::string(dynamic_ref_cast<NSString>(column->identifier())->UTF8String()) + " " +
                        nameOf(item));
        return menu;
    }
    bool outlineViewDidReceiveDelete(NSOutlineView*, const Ref<NSEvent>& event) override
    {
        deletes.push_back(std::to_string(event->keyCode()));
        return true;
    }
};

NS_CLASS_DEFINE(MenuTreeSource)

}

TEST_F(OutlineTest, LeftAndRightCollapseAndExpandOnlyTheOneSelectedItem)
{
    show(TreeSource::sample());
    outline->setAllowsMultipleSelection(true);
    auto A = source->item("A");
    struct Case {
        const char* what;
        bool expandA;
        std::vector<NSUInteger> selected;
        uint16_t key;
        bool expandedAfter;
        std::vector<NSUInteger> selectedAfter;
    } cases[] = {
        {"left on a collapsed group", false, {0}, kVK_LeftArrow, false, {0}},
        {"left on an expanded group", true, {0}, kVK_LeftArrow, false, {0}},
        {"left on a leaf", true, {1}, kVK_LeftArrow, true, {1}},
        {"left with two rows", true, {0, 3}, kVK_LeftArrow, true, {0, 3}},
        {"right on a collapsed group", false, {0}, kVK_RightArrow, true, {0}},
        {"right on an expanded group", true, {0}, kVK_RightArrow, true, {0}},
        {"right on a leaf", false, {1}, kVK_RightArrow, false, {1}},
        {"right with two rows", false, {0, 1}, kVK_RightArrow, false, {0, 1}},
    };
    for (const auto& c : cases) {
        if (c.expandA) outline->expandItem(A);
        else outline->collapseItem(A);
        auto rowsToSelect = NSMutableIndexSet::indexSet();
        for (auto r : c.selected) rowsToSelect->addIndex(r);
        outline->selectRowIndexes(rowsToSelect, false);
        const int beeps = server().beepCount();
        key(c.key);
        EXPECT_EQ(outline->isItemExpanded(A), c.expandedAfter) << c.what;
        EXPECT_EQ(selection(), c.selectedAfter) << c.what;
        EXPECT_EQ(server().beepCount(), beeps) << c.what;
    }
}

TEST_F(OutlineTest, DeleteKeysGoToTheDelegateOrNowhere)
{
    auto menuSource = NSObject::make<MenuTreeSource>();
    menuSource->roots = TreeSource::sample()->roots;
    show(menuSource);
    outline->selectRowIndexes(NSIndexSet::indexSetWithIndex(1), false);
    key(kVK_Delete);
    key(kVK_ForwardDelete);
    EXPECT_EQ(menuSource->deletes, (std::vector<std::string>{"51", "117"}));
    EXPECT_EQ(server().beepCount(), 0);

    // An outline view that is its own delegate answers the message itself:
    // nothing happens.
    outline->setDelegate(outline);
    key(kVK_Delete);
    key(kVK_ForwardDelete);
    EXPECT_EQ(server().beepCount(), 0);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{1});

    // A delegate without the method: the table's own handling (nobody
    // deletes, so it beeps); other keys stay the table's.
    auto plain = NSObject::make<TreeSource>();
    outline->setDelegate(plain);
    key(kVK_Delete);
    EXPECT_EQ(server().beepCount(), 1);
    key(kVK_DownArrow);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{2});
}

TEST_F(OutlineTest, TheContextMenuComesFromTheDelegateOnly)
{
    auto menuSource = NSObject::make<MenuTreeSource>();
    menuSource->roots = TreeSource::sample()->roots;
    show(menuSource);
    auto rightClick = [&](NSPoint screen) {
        const NSPoint inWindow = NSMakePoint(screen.x - 100, screen.y - 100);
        return outline->menuForEvent(NSEvent::mouseEventWithType(NSEventTypeRightMouseDown, inWindow, 0, 0,
                                                                 window->windowNumber(), nullptr, 0, 1, 1));
    };
    EXPECT_EQ(rightClick(rowPoint(1)), Id(menuSource->menu));
    EXPECT_EQ(menuSource->asked, std::vector<std::string>{"name B"});
    // Below the last row, and right of the last column: no menu, nobody asked.
    EXPECT_EQ(rightClick(rowPoint(5)), nullptr);
    EXPECT_EQ(rightClick(rowPoint(1, 100 + 250)), nullptr);
    EXPECT_EQ(menuSource->asked.size(), 1u);
    // A delegate that does not give menus: none, even with a menu of the view's own.
    outline->setMenu(menuSource->menu);
    outline->setDelegate(source = NSObject::make<TreeSource>());
    EXPECT_EQ(rightClick(rowPoint(1)), nullptr);
}

TEST_F(OutlineTest, ReturnEndsTheEditAndKeepsTheRow)
{
    show(TreeSource::sample());
    click(rowPoint(1), 0, 2);
    ASSERT_EQ(outline->editedRow(), 1);
    key(kVK_ANSI_Q);
    // The end is announced as no movement at all, so nothing moves on.
    std::vector<NSInteger> movements;
    auto center = NSNotificationCenter::defaultCenter();
    auto token = center->addObserverForName(
        NSString::stringWithUTF8String(NSControlTextDidEndEditingNotification), outline, nullptr,
        [&](const Ref<NSNotification>& n) {
            movements.push_back(
                dynamic_ref_cast<NSNumber>(n->userInfo()->objectForKey("NSTextMovement"_ns))->integerValue());
        });
    key(kVK_Return);
    center->removeObserver(token);
    EXPECT_EQ(movements, std::vector<NSInteger>{0});
    EXPECT_EQ(source->edits, (std::vector<std::pair<std::string, std::string>>{{"B", "q"}}));
    EXPECT_EQ(outline->editedRow(), -1);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{1});
    EXPECT_EQ(window->firstResponder(), Id(outline));
    // The keys are the outline view's again.
    key(kVK_DownArrow);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{2});
}

TEST_F(OutlineTest, SelectionByItemFollowsRowOrder)
{
    show(TreeSource::sample());
    outline->setAllowsMultipleSelection(true);
    outline->expandItem(source->item("A"));
    EXPECT_EQ(NSOutlineViewExt::selectedItem(outline.get()), nullptr);
    EXPECT_EQ(NSOutlineViewExt::allSelectedItems(outline.get())->count(), 0u);
    // A2a is not shown and is skipped; the rows come in row order.
    auto items = NSArray::arrayWithVector({Id(source->item("B")), Id(source->item("A2a")), Id(source->item("A1"))});
    NSOutlineViewExt::selectItems(outline.get(), items, false);
    EXPECT_EQ(selection(), (std::vector<NSUInteger>{1, 3}));
    auto selected = NSOutlineViewExt::allSelectedItems(outline.get());
    ASSERT_EQ(selected->count(), 2u);
    EXPECT_EQ(selected->objectAtIndex(0), Id(source->item("A1")));
    EXPECT_EQ(selected->objectAtIndex(1), Id(source->item("B")));
    NSOutlineViewExt::selectItems(outline.get(), NSArray::arrayWithVector({Id(source->item("C"))}), true);
    EXPECT_EQ(selection(), (std::vector<NSUInteger>{1, 3, 4}));
    EXPECT_EQ(NSOutlineViewExt::selectedItem(outline.get()), Id(source->item("C")));
}

TEST_F(OutlineTest, ColumnsFitTheirWidestCell)
{
    show(TreeSource::sample());
    auto column = outline->tableColumns().front();
    column->setMinWidth(0);
    auto stranger = NSObject::alloc<NSTableColumn>()->initWithIdentifier("other"_ns);
    stranger->setWidth(77);
    outline->expandItem(source->item("A"));
    NSTableViewExt::adjustWidthForTableColumns(outline.get(), {column, stranger});
    CGFloat widest = 0;
    for (NSInteger row = 0; row < outline->numberOfRows(); ++row)
        widest = std::max(widest, outline->preparedCellAtColumnRow(0, row)->cellSize().width);
    EXPECT_GT(widest, 0);
    EXPECT_EQ(column->width(), widest);
    EXPECT_EQ(stranger->width(), 77);
    // No rows: width 0.
    source->roots.clear();
    outline->reloadData();
    NSTableViewExt::adjustWidthForTableColumns(outline.get(), {column});
    EXPECT_EQ(column->width(), 0);
}
