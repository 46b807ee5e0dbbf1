// The source list: groups that are never selected and may stay expanded,
// icons and badges, keys, the context menu and the delegate's
// notifications. Rows of the sample, all groups expanded:
//   0 LIBRARY, 1 Music, 2 Movies, 3 Books, 4 DEVICES, 5 Disk, 6 PLACES,
//   7 Home, 8 Desktop
#include "AppKit/NSStringDrawing.h"
#include "LogCapture.h"
#include "SourceListFixture.h"

NS_CLASS_DEFINE(SidebarSource)

namespace {

// A delegate that hears the list's notifications through action methods.
class SelectorDelegate : public NSObject {
    NS_OBJECT(SelectorDelegate, NSObject)
protected:
    SelectorDelegate() = default;

public:
    int changes = 0;
    void sourceListSelectionDidChange(const Id&) { ++changes; }
    static void describeClass(NSClassMembers<SelectorDelegate>& m)
    {
        m.action("sourceListSelectionDidChange:", &SelectorDelegate::sourceListSelectionDidChange);
    }
};

NS_CLASS_DEFINE(SelectorDelegate)

// An object set as data source that does not adopt the protocol.
class NotASource : public NSObject {
    NS_OBJECT(NotASource, NSObject)
protected:
    NotASource() = default;
};

NS_CLASS_DEFINE(NotASource)

}

TEST_F(SourceListTest, GroupRowsAreNeverSelected)
{
    show(SidebarSource::sample());
    EXPECT_EQ(rows(), (std::vector<std::string>{"LIBRARY", "Music", "Movies", "Books", "DEVICES", "Disk", "PLACES",
                                                "Home", "Desktop"}));
    EXPECT_TRUE(list->isGroupItem(source->item("DEVICES")));
    EXPECT_FALSE(list->isGroupItem(source->item("Disk")));
    EXPECT_EQ(list->numberOfGroups(), 3u);

    clickRow(2);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{2});
    clickRow(4);  // a heading: nothing changes
    EXPECT_EQ(selection(), std::vector<NSUInteger>{2});
    list->setAllowsMultipleSelection(true);
    select({0, 1, 4, 5});
    EXPECT_EQ(selection(), (std::vector<NSUInteger>{1, 5}));
    // Only headings: nothing is left to select.
    select({0, 6});
    EXPECT_TRUE(selection().empty());
    // With an empty selection refused, an empty set is ignored.
    select({7});
    list->setAllowsEmptySelection(false);
    select({});
    EXPECT_EQ(selection(), std::vector<NSUInteger>{7});
}

TEST_F(SourceListTest, ReloadSelectsTheFirstItemOrTheNearestAboveAGroup)
{
    auto sidebar = SidebarSource::sample();
    show(sidebar);
    list->setAllowsEmptySelection(false);
    list->deselectAll(nullptr);
    list->reloadData();
    EXPECT_EQ(selection(), std::vector<NSUInteger>{1});

    // The selected row turns into a heading after the reload: the nearest
    // item above it is selected.
    select({5});
    list->setAllowsEmptySelection(true);
    auto disk = sidebar->item("Disk");
    auto devices = sidebar->item("DEVICES");
    devices->removeChild(disk);
    sidebar->root->insertChild(disk, 1);  // LIBRARY, Music, Movies, Books, Disk, DEVICES, ...
    list->reloadData();
    ASSERT_TRUE(list->isGroupItem(list->itemAtRow(5)));
    EXPECT_EQ(selection(), std::vector<NSUInteger>{3});

    // With only headings above, nothing stays selected.
    auto lonely = SidebarSource::sample();
    lonely->root->childAtIndex(0)->removeAllChildren();
    show(lonely);
    select({2});  // LIBRARY, DEVICES, Disk, PLACES, Home, Desktop
    ASSERT_EQ(selection(), std::vector<NSUInteger>{2});
    lonely->item("DEVICES")->removeAllChildren();
    lonely->root->insertChild(NSObject::alloc<SourceItem>()->initWithTitle("NEW"_ns), 0);
    list->reloadData();
    EXPECT_TRUE(selection().empty());
}

TEST_F(SourceListTest, AlwaysExpandedGroupsShowNoTriangleAndNeverCollapse)
{
    auto sidebar = SidebarSource::sample();
    sidebar->alwaysExpanded = {"PLACES"};
    show(sidebar, false);
    // Expanded by the reload that setting the data source makes.
    EXPECT_TRUE(list->isItemExpanded(sidebar->item("PLACES")));
    EXPECT_FALSE(list->isItemExpanded(sidebar->item("LIBRARY")));
    const NSInteger places = rowOf("PLACES");
    EXPECT_TRUE(NSEqualRects(list->frameOfOutlineCellAtRow(places), NSZeroRect));
    EXPECT_FALSE(NSIsEmptyRect(list->frameOfOutlineCellAtRow(rowOf("LIBRARY"))));
    const NSRect heading = list->frameOfCellAtColumnRow(0, places);
    EXPECT_EQ(heading.origin.x, 7);
    EXPECT_EQ(heading.size.width, list->rectOfRow(places).size.width - 7);

    list->collapseItem(sidebar->item("PLACES"));
    EXPECT_TRUE(list->isItemExpanded(sidebar->item("PLACES")));
    EXPECT_TRUE(sidebar->collapses.empty());
    // Clicking where a triangle would be does not collapse it either.
    server().injectMouse(NSEventTypeLeftMouseDown, rowPoint(places, 8));
    server().injectMouse(NSEventTypeLeftMouseUp, rowPoint(places, 8));
    pump();
    EXPECT_TRUE(list->isItemExpanded(sidebar->item("PLACES")));
    // Other groups still ask the delegate.
    list->expandItem(sidebar->item("LIBRARY"));
    list->collapseItem(sidebar->item("LIBRARY"));
    EXPECT_EQ(sidebar->collapses, std::vector<std::string>{"LIBRARY"});
    EXPECT_EQ(sidebar->heard, (std::vector<std::string>{"will expand LIBRARY", "did expand LIBRARY",
                                                        "will collapse LIBRARY", "did collapse LIBRARY"}));
}

TEST_F(SourceListTest, BadgesAndTextFramesMakeRoomForIconsAndBadges)
{
    show(SidebarSource::sample());
    // 5 is narrower than 12 points: the minimum width.
    const NSSize five = list->sizeOfBadgeAtRow(rowOf("Music"));
    EXPECT_EQ(five.width, 22);
    EXPECT_EQ(five.height, 14);
    EXPECT_EQ(list->badgeValueForItem(source->item("Music")), 5);
    list->expandItem(source->item("Books"));
    auto bold = NSDictionary::dictionaryWithObjectForKey(NSFont::boldSystemFontOfSize(11), NSFontAttributeName);
    const NSSize wide = list->sizeOfBadgeAtRow(rowOf("Novels"));
    EXPECT_DOUBLE_EQ(wide.width, NSStringExt::sizeWithAttributes("123456"_ns, bold).width + 10);
    // No badge, and a badge without a value (no number, never NSNotFound).
    EXPECT_TRUE(NSEqualSizes(list->sizeOfBadgeAtRow(rowOf("Movies")), NSZeroSize));
    EXPECT_EQ(list->badgeValueForItem(source->item("Movies")), NSNotFound);
    EXPECT_EQ(list->badgeValueForItem(source->item("Disk")), NSNotFound);
    EXPECT_EQ(list->sizeOfBadgeAtRow(rowOf("Disk")).width, 22);

    // Text frames: level x indentation + 18, plus icon and 4; the badge and
    // 5 points kept free at the right.
    const CGFloat indent = list->indentationPerLevel();
    const NSRect row = list->rectOfRow(rowOf("Music"));
    const NSRect music = list->frameOfCellAtColumnRow(0, rowOf("Music"));
    EXPECT_EQ(music.origin.x, indent + 18 + 16 + 4);
    EXPECT_EQ(music.size.width, row.size.width - (22 + 5) - music.origin.x);
    EXPECT_DOUBLE_EQ(NSMidY(music), NSMidY(row));
    const NSRect home = list->frameOfCellAtColumnRow(0, rowOf("Home"));
    EXPECT_EQ(home.origin.x, indent + 18);
    EXPECT_EQ(home.size.width, row.size.width - 5 - home.origin.x);
    const NSRect novels = list->frameOfCellAtColumnRow(0, rowOf("Novels"));
    EXPECT_EQ(novels.origin.x, 2 * indent + 18);
}

TEST_F(SourceListTest, IconSizesFollowTheRowHeight)
{
    show(SidebarSource::sample());
    EXPECT_TRUE(NSEqualSizes(list->iconSize(), NSMakeSize(16, 16)));
    list->setIconSize(NSMakeSize(32, 32));
    EXPECT_TRUE(NSEqualSizes(list->iconSize(), NSMakeSize(20, 20)));
    list->setIconSize(NSMakeSize(40, 32));
    EXPECT_TRUE(NSEqualSizes(list->iconSize(), NSMakeSize(25, 20)));
    list->setIconSize(NSMakeSize(12, 10));
    EXPECT_TRUE(NSEqualSizes(list->iconSize(), NSMakeSize(12, 10)));
}

TEST_F(SourceListTest, ArrowsSkipHeadingsAndStopAtTheEnds)
{
    show(SidebarSource::sample());
    clickRow(3);  // Books
    key(kVK_DownArrow);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{5});  // over DEVICES
    key(kVK_UpArrow);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{3});
    clickRow(8);
    key(kVK_DownArrow);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{8});
    clickRow(1);
    key(kVK_UpArrow);
    EXPECT_EQ(selection(), std::vector<NSUInteger>{1});
    // Shift goes to the outline view, which extends over the heading it may not select.
    list->setAllowsMultipleSelection(true);
    clickRow(3);
    key(kVK_DownArrow, NSShiftKeyMask);
    EXPECT_EQ(selection().front(), 3u);
    EXPECT_FALSE(list->isRowSelected(4));
}

TEST_F(SourceListTest, DeleteKeysPostTheSelectedRows)
{
    show(SidebarSource::sample());
    list->setAllowsMultipleSelection(true);
    select({2, 5});
    source->heard.clear();
    key(kVK_Delete);
    EXPECT_EQ(source->heard, std::vector<std::string>{"delete 2 5"});
    // Forward delete, and delete without a selection: the outline view's
    // handling, which does nothing.
    source->heard.clear();
    key(kVK_ForwardDelete);
    list->deselectAll(nullptr);
    source->heard.clear();
    key(kVK_Delete);
    EXPECT_TRUE(source->heard.empty());
    EXPECT_EQ(server().beepCount(), 0);
}

TEST_F(SourceListTest, TheDelegateHearsSelectionAndReplacingItStopsThat)
{
    show(SidebarSource::sample());
    clickRow(2);
    EXPECT_EQ(source->heard, (std::vector<std::string>{"changing", "changed"}));

    // A delegate with action methods is called by selector.
    auto other = NSObject::make<SelectorDelegate>();
    list->setDelegate(other);
    source->heard.clear();
    clickRow(3);
    EXPECT_TRUE(source->heard.empty());
    EXPECT_EQ(other->changes, 1);
    list->setDelegate(nullptr);
    clickRow(5);
    EXPECT_EQ(other->changes, 1);
    // Nobody else's notifications reach the delegate.
    list->setDelegate(source);
    NSNotificationCenter::defaultCenter()->postNotificationName(
        NSString::stringWithUTF8String(ZAKOutlineSourceListSelectionDidChangeNotification), nullptr);
    EXPECT_TRUE(source->heard.empty());
}

TEST_F(SourceListTest, ContextMenusComeFromTheDelegateOnly)
{
    auto sidebar = SidebarSource::sample();
    sidebar->menu = NSObject::make<NSMenu>();
    show(sidebar);
    auto rightClick = [&](NSInteger row) {
        const NSPoint inWindow = list->convertPoint(NSMakePoint(100, NSMidY(list->rectOfRow(row))), nullptr);
        return list->menuForEvent(NSEvent::mouseEventWithType(NSEventTypeRightMouseDown, inWindow, 0, 0,
                                                              window->windowNumber(), nullptr, 0, 1, 1));
    };
    EXPECT_EQ(rightClick(2), Id(sidebar->menu));
    sidebar->menu = nullptr;
    EXPECT_FALSE(rightClick(1));
    EXPECT_EQ(sidebar->heard, (std::vector<std::string>{"menu Movies", "menu Music"}));
}

TEST_F(SourceListTest, SelectAllIsNotTheLists)
{
    show(SidebarSource::sample());
    EXPECT_FALSE(list->respondsToSelector("selectAll:"));
    EXPECT_FALSE(Id(list)->respondsToSelector("selectAll:"));
    EXPECT_TRUE(list->respondsToSelector("deselectAll:"));
    auto plain = NSObject::alloc<NSOutlineView>();
    EXPECT_TRUE(Id(plain)->respondsToSelector("selectAll:"));
}

TEST_F(SourceListTest, ADataSourceOutsideTheProtocolShowsAnEmptyListAndSaysSo)
{
    show(SidebarSource::sample());
    LogCapture log;
    auto stranger = NSObject::make<NotASource>();
    list->setDataSource(stranger);
    EXPECT_EQ(list->numberOfRows(), 0);
    ASSERT_FALSE(log.lines().empty());
    EXPECT_NE(log.lines().front().find("ZAKOutlineSourceList: Datasource "), std::string::npos);
    EXPECT_NE(log.lines().front().find("is not conform to protocol <ZAKOutlineSourceListDataSource>"),
              std::string::npos);
}

TEST_F(SourceListTest, RowsDrawIconsAndBadges)
{
    auto sidebar = SidebarSource::sample();
    auto icon = NSImage::initWithSize(NSMakeSize(16, 16));
    icon->lockFocus();
    NSColor::redColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, 16, 16));
    icon->unlockFocus();
    sidebar->icon = icon;
    show(sidebar);
    window->makeMainWindow();
    list->setNeedsDisplay(true);
    pump();
    auto pixelAt = [&](NSInteger row, CGFloat x) {
        const NSPoint p = rowPoint(row, x);
        return screenPixel(int(p.x), 1080 - int(p.y)) & 0xFFFFFFu;
    };
    // The icon sits left of the text: x from text.x - 18 to text.x - 2.
    const NSRect text = list->frameOfCellAtColumnRow(0, 2);
    EXPECT_EQ(pixelAt(2, text.origin.x - 10), 0xFF0000u);
    // Music's badge fills the default colour (152, 168, 202) around its text.
    const NSRect row = list->rectOfRow(1);
    EXPECT_EQ(pixelAt(1, NSMaxX(row) - 5 - 3), 0x98A8CAu);
    EXPECT_NE(pixelAt(1, NSMaxX(row) - 2), 0x98A8CAu);
    // Movies has no badge.
    EXPECT_NE(pixelAt(2, NSMaxX(row) - 5 - 3), 0x98A8CAu);
}
