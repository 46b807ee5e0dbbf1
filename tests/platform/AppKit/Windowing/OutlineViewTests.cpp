// Outline views: rows flattened from the expanded items, expansion with its
// notifications, the selection following its items, geometry with levels
// and per-item heights, the disclosure triangle, editing by item.
#include "OutlineFixture.h"

NS_CLASS_DEFINE(TreeItem)
NS_CLASS_DEFINE(TreeSource)

TEST_F(OutlineTest, ExpandingAndCollapsingFlattenTheShownItems)
{
    show(TreeSource::sample());
    EXPECT_EQ(rows(), (std::vector<std::string>{"A", "B", "C"}));
    auto A = source->item("A"), A2 = source->item("A2");
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> rows;
    } steps[] = {
        {"expand A", [&] { outline->expandItem(A); }, {"A", "A1", "A2", "B", "C"}},
        {"expand A again", [&] { outline->expandItem(A); }, {"A", "A1", "A2", "B", "C"}},
        {"expand a leaf", [&] { outline->expandItem(source->item("B")); }, {"A", "A1", "A2", "B", "C"}},
        {"expand C with children",
         [&] { outline->expandItem(source->item("C"), true); },
         {"A", "A1", "A2", "B", "C", "C1"}},
        {"expand A2", [&] { outline->expandItem(A2); }, {"A", "A1", "A2", "A2a", "B", "C", "C1"}},
        {"collapse A", [&] { outline->collapseItem(A); }, {"A", "B", "C", "C1"}},
        // A2 stays expanded inside the collapsed A.
        {"expand A keeps A2 open", [&] { outline->expandItem(A); }, {"A", "A1", "A2", "A2a", "B", "C", "C1"}},
        {"collapse A with children", [&] { outline->collapseItem(A, true); }, {"A", "B", "C", "C1"}},
        {"expand A: A2 closed", [&] { outline->expandItem(A); }, {"A", "A1", "A2", "B", "C", "C1"}},
        {"reload keeps expansion", [&] { outline->reloadData(); }, {"A", "A1", "A2", "B", "C", "C1"}},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(rows(), s.rows) << s.what;
        // rowForItem answers every row's item, and the levels match the tree.
        for (NSInteger r = 0; r < outline->numberOfRows(); ++r) {
            EXPECT_EQ(outline->rowForItem(outline->itemAtRow(r)), r) << s.what;
            const std::string name = TreeSource::nameOf(outline->itemAtRow(r));
            EXPECT_EQ(outline->levelForRow(r), NSInteger(name.size()) - 1) << s.what << " " << name;
        }
    }
    EXPECT_EQ(outline->rowForItem(source->item("A2a")), -1);
    EXPECT_EQ(outline->levelForItem(source->item("A2a")), -1);
    EXPECT_EQ(outline->itemAtRow(6), nullptr);
    EXPECT_EQ(TreeSource::nameOf(outline->parentForItem(A2)), "A");
    EXPECT_EQ(outline->parentForItem(A), nullptr);
    EXPECT_EQ(outline->frame().size.height, 183);  // fills the clip view
    source->roots.push_back(TreeItem::named("D"));
    outline->reloadData();
    EXPECT_EQ(outline->rowForItem(source->item("D")), 6);
}

TEST_F(OutlineTest, ExpansionAsksTheDelegateAndAnnouncesTheItem)
{
    auto treeSource = TreeSource::sample();
    treeSource->refusedExpansion = "C";
    show(treeSource);
    std::vector<std::string> posted;
    auto center = NSNotificationCenter::defaultCenter();
    std::vector<Id> tokens;
    for (const char* name : {NSOutlineViewItemWillExpandNotification, NSOutlineViewItemDidExpandNotification,
                             NSOutlineViewItemWillCollapseNotification, NSOutlineViewItemDidCollapseNotification})
        tokens.push_back(center->addObserverForName(
            NSString::stringWithUTF8String(name), outline, nullptr, [&, name](const Ref<NSNotification>& n) {
                posted.push_back(std::string(name) + " " +
                                 TreeSource::nameOf(n->userInfo()->objectForKey("NSObject"_ns)));
            }));
    outline->expandItem(source->item("A"), true);
    outline->expandItem(source->item("C"));
    outline->collapseItem(source->item("A2"));
    outline->collapseItem(source->item("B"));
    EXPECT_EQ(source->events, (std::vector<std::string>{"will expand A", "did expand A", "will expand A2",
                                                        "did expand A2", "will collapse A2", "did collapse A2"}));
    ASSERT_EQ(posted.size(), 6u);
    EXPECT_EQ(posted[0], "NSOutlineViewItemWillExpandNotification A");
    EXPECT_EQ(posted[5], "NSOutlineViewItemDidCollapseNotification A2");
    EXPECT_FALSE(outline->isItemExpanded(source->item("C")));
    for (const auto& t : tokens) center->removeObserver(t);
}

TEST_F(OutlineTest, TheSelectionFollowsItsItemsAsRowsComeAndGo)
{
    show(TreeSource::sample());
    outline->setAllowsMultipleSelection(true);
    auto A = source->item("A");
    outline->selectRowIndexes(NSIndexSet::indexSetWithIndex(1), false);  // B
    source->events.clear();
    outline->expandItem(A);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{3});
    EXPECT_EQ(TreeSource::nameOf(outline->itemAtRow(outline->selectedRow())), "B");
    // Moving rows is no change of the selection.
    EXPECT_EQ(source->events, (std::vector<std::string>{"will expand A", "did expand A"}));

    auto rowsOf = NSMutableIndexSet::indexSet();
    rowsOf->addIndex(2);  // A2
    rowsOf->addIndex(3);  // B
    outline->selectRowIndexes(rowsOf, false);
    source->events.clear();
    outline->collapseItem(A);
    // A2 vanished from the selection: that is a change.
    EXPECT_EQ(selection(), std::vector<NSUInteger>{1});
    EXPECT_EQ(source->events, (std::vector<std::string>{"will collapse A", "changed", "did collapse A"}));
}

TEST_F(OutlineTest, ClicksSelectThroughTheDelegateAndTheTriangleToggles)
{
    auto treeSource = TreeSource::sample();
    treeSource->refusedSelection = "C";
    show(treeSource);
    // The triangle of A (row 0) lies in the first 16 points of the column.
    const NSRect triangle = outline->frameOfOutlineCellAtRow(0);
    EXPECT_EQ(triangle, NSMakeRect(1.5, 0, 16, 19));
    EXPECT_EQ(outline->frameOfOutlineCellAtRow(1), NSZeroRect);  // B cannot expand
    click(rowPoint(0, 100 + NSMidX(triangle)));
    EXPECT_EQ(rows(), (std::vector<std::string>{"A", "A1", "A2", "B", "C"}));
    EXPECT_EQ(selection(), std::vector<NSUInteger>{});
    // Option-click opens the children too.
    click(rowPoint(2, 100 + NSMidX(outline->frameOfOutlineCellAtRow(2))));
    EXPECT_EQ(rows().size(), 6u);
    click(rowPoint(0, 100 + NSMidX(triangle)), NSAlternateKeyMask);
    click(rowPoint(0, 100 + NSMidX(triangle)));
    EXPECT_EQ(rows(), (std::vector<std::string>{"A", "A1", "A2", "B", "C"}));

    source->events.clear();
    click(rowPoint(1));
    click(rowPoint(4));  // C is refused
    EXPECT_EQ(selection(), std::vector<NSUInteger>{1});
    EXPECT_EQ(source->events, (std::vector<std::string>{"changing", "changed"}));
    key(kVK_DownArrow);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{2});
    key(kVK_DownArrow);
    key(kVK_DownArrow);  // over B onto the refused C: stays
    EXPECT_EQ(selection(), std::vector<NSUInteger>{3});
}

TEST_F(OutlineTest, CellsAreIndentedByLevelAndRowsTakeTheirItemsHeights)
{
    auto treeSource = TreeSource::sample();
    treeSource->heights = {{"A1", 40}, {"B", 30}, {"A2", -5}};
    show(treeSource);
    outline->expandItem(source->item("A"));
    // Rows A 19, A1 42, A2 19 (a bad height is the row height), B 32, C 19.
    struct Case {
        NSInteger row;
        NSRect rect;
        NSRect cell;
    } cases[] = {
        {0, {0, 0, 300, 19}, {17.5, 1, 184, 17}},     {1, {0, 19, 300, 42}, {33.5, 20, 168, 40}},
        {2, {0, 61, 300, 19}, {33.5, 62, 168, 17}},   {3, {0, 80, 300, 32}, {17.5, 81, 184, 30}},
        {4, {0, 112, 300, 19}, {17.5, 113, 184, 17}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outline->rectOfRow(c.row), c.rect) << c.row;
        EXPECT_EQ(outline->frameOfCellAtColumnRow(0, c.row), c.cell) << c.row;
        EXPECT_EQ(outline->rowAtPoint(NSMakePoint(5, NSMinY(c.rect))), c.row);
        EXPECT_EQ(outline->rowAtPoint(NSMakePoint(5, NSMaxY(c.rect) - 0.5)), c.row);
    }
    EXPECT_EQ(outline->rowAtPoint(NSMakePoint(5, 131)), -1);
    EXPECT_EQ(outline->rowsInRect(NSMakeRect(0, 30, 10, 51)), NSMakeRange(1, 3));
    EXPECT_EQ(outline->rowsInRect(NSMakeRect(0, 100, 10, 500)), NSMakeRange(3, 2));
    EXPECT_EQ(outline->frameOfOutlineCellAtRow(2), NSMakeRect(17.5, 61, 16, 19));
    // A group row's cell runs across the row.
    source->groupItem = "C";
    EXPECT_EQ(outline->frameOfCellAtColumnRow(0, 4), NSMakeRect(17.5, 113, 281, 17));
}

TEST_F(OutlineTest, AnEditCommitsToTheItemOfItsRow)
{
    show(TreeSource::sample());
    outline->expandItem(source->item("A"));
    click(rowPoint(2), 0, 2);
    ASSERT_EQ(outline->editedRow(), 2);
    EXPECT_EQ(std::string(outline->currentEditor()->string()->UTF8String()), "A2");
    key(kVK_ANSI_X);
    key(kVK_Return);
    ASSERT_EQ(source->edits.size(), 1u);
    EXPECT_EQ(source->edits[0], std::make_pair(std::string("A2"), std::string("x")));
}

TEST_F(OutlineTest, AnItemListedInsideItselfIsShownOnce)
{
    auto treeSource = TreeSource::sample();
    auto A = treeSource->item("A");
    A->children.push_back(A);
    show(treeSource);
    outline->expandItem(A, true);
    EXPECT_EQ(rows(), (std::vector<std::string>{"A", "A1", "A2", "A2a", "A", "B", "C"}));
    outline->reloadData();
    EXPECT_EQ(rows().size(), 7u);
    A->children.pop_back();  // the cycle would keep the tree alive
}
