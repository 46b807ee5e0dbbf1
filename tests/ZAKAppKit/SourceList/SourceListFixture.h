#pragma once
// A sidebar for source-list tests: groups with items, some with icons and
// badges, served by a data source that is also the list's delegate and
// records what it hears; and a window showing the list.
//   LIBRARY (Music [5, icon], Movies [icon], Books (Novels [123456])),
//   DEVICES (Disk [badge without value]), PLACES (Home, Desktop)
#include <map>
#include <set>
#include <string>
#include <vector>

#include "AppKit/NSScrollView.h"
#include "Foundation/NSNotificationCenter.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineSourceList.h"
#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineSourceListItem.h"

using SourceItem = ZAKOutlineSourceListItem;

class SidebarSource : public NSObject, public ZAKOutlineSourceListDataSource, public ZAKOutlineSourceListDelegate {
    NS_OBJECT(SidebarSource, NSObject)
protected:
    SidebarSource() = default;

public:
    Ref<SourceItem> root;
    std::set<std::string> alwaysExpanded;
    std::set<std::string> withIcon;
    std::set<std::string> badgeWithoutValue;
    std::vector<std::string> heard;      // notifications, in order
    std::vector<std::string> collapses;  // items the delegate was asked to collapse
    Ref<NSImage> icon;
    Ref<NSMenu> menu;

    static std::string nameOf(const Id& item)
    {
        auto i = dynamic_ref_cast<SourceItem>(item);
        return i && i->title() ? i->title()->UTF8String() : "nil";
    }
    Ref<SourceItem> item(const std::string& name) const
    {
        std::vector<Ref<SourceItem>> stack{root};
        while (!stack.empty()) {
            auto top = stack.back();
            stack.pop_back();
            if (nameOf(top) == name) return top;
            for (NSUInteger i = 0; i < top->countOfChildren(); ++i) stack.push_back(top->childAtIndex(i));
        }
        return nullptr;
    }
    Ref<SourceItem> itemOrRoot(const Id& item) const { return item ? dynamic_ref_cast<SourceItem>(item) : root; }

    NSUInteger sourceListNumberOfChildrenOfItem(ZAKOutlineSourceList*, const Id& item) override
    {
        return itemOrRoot(item)->countOfChildren();
    }
    Id sourceListChildOfItem(ZAKOutlineSourceList*, NSInteger index, const Id& item) override
    {
        return itemOrRoot(item)->childAtIndex(NSUInteger(index));
    }
    Id sourceListObjectValueForItem(ZAKOutlineSourceList*, const Id& item) override
    {
        return dynamic_ref_cast<SourceItem>(item)->title();
    }
    bool sourceListIsItemExpandable(ZAKOutlineSourceList*, const Id& item) override
    {
        return dynamic_ref_cast<SourceItem>(item)->hasChildren();
    }
    std::optional<bool> sourceListItemHasBadge(ZAKOutlineSourceList*, const Id& item) override
    {
        return dynamic_ref_cast<SourceItem>(item)->hasBadge() || badgeWithoutValue.contains(nameOf(item));
    }
    std::optional<NSInteger> sourceListBadgeValueForItem(ZAKOutlineSourceList*, const Id& item) override
    {
        if (badgeWithoutValue.contains(nameOf(item))) return std::nullopt;
        return NSInteger(dynamic_ref_cast<SourceItem>(item)->badgeValue());
    }
    std::optional<bool> sourceListItemHasIcon(ZAKOutlineSourceList*, const Id& item) override
    {
        return withIcon.contains(nameOf(item));
    }
    std::optional<Ref<NSImage>> sourceListIconForItem(ZAKOutlineSourceList*, const Id&) override { return icon; }

    std::optional<bool> sourceListIsGroupAlwaysExpanded(ZAKOutlineSourceList*, const Id& group) override
    {
        return alwaysExpanded.contains(nameOf(group));
    }
    std::optional<bool> sourceListShouldCollapseItem(ZAKOutlineSourceList*, const Id& item) override
    {
        collapses.push_back(nameOf(item));
        return true;
    }
    std::optional<Ref<NSMenu>> sourceListMenuForEventItem(ZAKOutlineSourceList*, const Ref<NSEvent>&,
                                                          const Id& item) override
    {
        heard.push_back("menu " + nameOf(item));
        return menu;
    }

    void sourceListSelectionIsChanging(const Ref<NSNotification>&) override { heard.push_back("changing"); }
    void sourceListSelectionDidChange(const Ref<NSNotification>&) override { heard.push_back("changed"); }
    void sourceListItemWillExpand(const Ref<NSNotification>& n) override { heard.push_back("will expand " + of(n)); }
    void sourceListItemDidExpand(const Ref<NSNotification>& n) override { heard.push_back("did expand " + of(n)); }
    void sourceListItemWillCollapse(const Ref<NSNotification>& n) override
    {
        heard.push_back("will collapse " + of(n));
    }
    void sourceListItemDidCollapse(const Ref<NSNotification>& n) override { heard.push_back("did collapse " + of(n)); }
    void sourceListDeleteKeyPressedOnRows(const Ref<NSNotification>& n) override
    {
        std::string rows;
        dynamic_ref_cast<NSIndexSet>(n->userInfo()->objectForKey("rows"_ns))
            ->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { rows += " " + std::to_string(i); });
        heard.push_back("delete" + rows);
    }
    static std::string of(const Ref<NSNotification>& n)
    {
        auto info = n->userInfo();
        return info ? nameOf(info->objectForKey("NSObject"_ns)) : "?";
    }

    static Ref<SidebarSource> sample()
    {
        auto source = NSObject::make<SidebarSource>();
        auto make = [](const char* title, int64_t badge = -1) {
            auto i = NSObject::alloc<SourceItem>()->initWithTitle(NSString::stringWithUTF8String(title));
            i->setBadgeValue(badge);
            return i;
        };
        source->root = make("root");
        auto library = make("LIBRARY");
        auto devices = make("DEVICES");
        auto places = make("PLACES");
        for (auto& g : {library, devices, places}) source->root->silentAddChild(g);
        library->silentAddChild(make("Music", 5));
        library->silentAddChild(make("Movies"));
        auto books = make("Books");
        library->silentAddChild(books);
        books->silentAddChild(make("Novels", 123456));
        devices->silentAddChild(make("Disk"));
        places->silentAddChild(make("Home"));
        places->silentAddChild(make("Desktop"));
        source->withIcon = {"Music", "Movies"};
        source->badgeWithoutValue = {"Disk"};
        return source;
    }
};

// A titled (so key) window at content (100, 100, 300, 300) whose scroll view
// holds the list: one column 280 wide, rows 20 high, no header.
class SourceListTest : public WindowingTest {
protected:
    void show(const Ref<SidebarSource>& sidebar, bool expandAll = true)
    {
        source = sidebar;
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 300, 300), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        scrollView = NSObject::alloc<NSScrollView>();
        scrollView->initWithFrame(NSMakeRect(0, 0, 300, 300));
        list = NSObject::alloc<ZAKOutlineSourceList>();
        list->initWithFrame(NSMakeRect(0, 0, 285, 300));
        list->setHeaderView(nullptr);
        list->setRowHeight(20);
        auto column = NSObject::alloc<NSTableColumn>()->initWithIdentifier("name"_ns);
        column->setWidth(280);
        list->addTableColumn(column);
        list->setDelegate(source);
        list->setDataSource(source);
        if (expandAll)
            for (const char* g : {"LIBRARY", "DEVICES", "PLACES"}) list->expandItem(source->item(g));
        scrollView->setDocumentView(list);
        window->contentView()->addSubview(scrollView);
        window->makeKeyAndOrderFront(nullptr);
        window->makeFirstResponder(list);
        pump();
        source->heard.clear();
    }

    // The screen point in the middle of a row, x points from its left.
    NSPoint rowPoint(NSInteger row, CGFloat x = 150) const
    {
        const NSRect r = list->rectOfRow(row);
        const NSPoint inWindow = list->convertPoint(NSMakePoint(x, NSMidY(r)), nullptr);
        return window->convertBaseToScreen(inWindow);
    }
    void clickRow(NSInteger row, NSUInteger flags = 0)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, rowPoint(row), flags);
        server().injectMouse(NSEventTypeLeftMouseUp, rowPoint(row), flags);
        pump();
        Clock::advance(1);
    }
    std::vector<std::string> rows() const
    {
        std::vector<std::string> names;
        for (NSInteger r = 0; r < list->numberOfRows(); ++r) names.push_back(SidebarSource::nameOf(list->itemAtRow(r)));
        return names;
    }
    std::vector<NSUInteger> selection() const
    {
        std::vector<NSUInteger> selected;
        list->selectedRowIndexes()->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { selected.push_back(i); });
        return selected;
    }
    void select(std::initializer_list<NSUInteger> rowsToSelect)
    {
        auto set = NSMutableIndexSet::indexSet();
        for (auto r : rowsToSelect) set->addIndex(r);
        list->selectRowIndexes(set, false);
    }
    NSInteger rowOf(const std::string& name) const { return list->rowForItem(source->item(name)); }

    Ref<SidebarSource> source;
    Ref<NSWindow> window;
    Ref<NSScrollView> scrollView;
    Ref<ZAKOutlineSourceList> list;
};
