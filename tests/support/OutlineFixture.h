#pragma once
// A small tree for outline-view tests, its data source and delegate (which
// records what it is told), and a window that shows an outline view.
//   A (A1, A2 (A2a)), B, C (C1)
#include <map>
#include <string>
#include <vector>

#include "AppKit/NSOutlineView.h"
#include "AppKit/NSScrollView.h"
#include "Foundation/NSNotificationCenter.h"
#include "WindowingFixture.h"

class TreeItem : public NSObject {
    NS_OBJECT(TreeItem, NSObject)
protected:
    TreeItem() = default;

public:
    std::string name;
    std::vector<Ref<TreeItem>> children;
    bool expandable = false;

    static Ref<TreeItem> named(const std::string& name, std::vector<Ref<TreeItem>> children = {})
    {
        auto item = NSObject::make<TreeItem>();
        item->name = name;
        item->expandable = !children.empty();
        item->children = std::move(children);
        return item;
    }
};

class TreeSource : public NSObject, public NSOutlineViewDataSource, public NSOutlineViewDelegate {
    NS_OBJECT(TreeSource, NSObject)
protected:
    TreeSource() = default;

public:
    std::vector<Ref<TreeItem>> roots;
    std::map<std::string, CGFloat> heights;  // per item; others have none
    std::string refusedExpansion, refusedSelection, groupItem;
    std::vector<std::string> events;                         // notifications and edits, in order
    std::vector<std::pair<std::string, std::string>> edits;  // item, value

    Ref<TreeItem> item(const std::string& name) const
    {
        std::vector<Ref<TreeItem>> stack(roots.rbegin(), roots.rend());
        while (!stack.empty()) {
            auto top = stack.back();
            stack.pop_back();
            if (top->name == name) return top;
            stack.insert(stack.end(), top->children.rbegin(), top->children.rend());
        }
        return nullptr;
    }
    static std::string nameOf(const Id& item)
    {
        auto tree = dynamic_ref_cast<TreeItem>(item);
        return tree ? tree->name : "nil";
    }
    const std::vector<Ref<TreeItem>>& childrenOf(const Id& item) const
    {
        auto tree = dynamic_ref_cast<TreeItem>(item);
        return tree ? tree->children : roots;
    }

    std::optional<NSInteger> outlineViewNumberOfChildrenOfItem(NSOutlineView*, const Id& item) override
    {
        return NSInteger(childrenOf(item).size());
    }
    std::optional<Id> outlineViewChildOfItem(NSOutlineView*, NSInteger index, const Id& item) override
    {
        return Id(childrenOf(item)[size_t(index)]);
    }
    std::optional<bool> outlineViewIsItemExpandable(NSOutlineView*, const Id& item) override
    {
        auto tree = dynamic_ref_cast<TreeItem>(item);
        return tree && tree->expandable;
    }
    std::optional<Id> outlineViewObjectValueForTableColumnByItem(NSOutlineView*, NSTableColumn*,
                                                                 const Id& item) override
    {
        return Id(NSString::stringWithUTF8String(nameOf(item).c_str()));
    }
    void outlineViewSetObjectValueForTableColumnByItem(NSOutlineView*, const Id& value, NSTableColumn*,
                                                       const Id& item) override
    {
        edits.emplace_back(nameOf(item), dynamic_ref_cast<NSString>(value)->UTF8String());
    }
    std::optional<bool> outlineViewShouldExpandItem(NSOutlineView*, const Id& item) override
    {
        return nameOf(item) != refusedExpansion;
    }
    std::optional<bool> outlineViewShouldSelectItem(NSOutlineView*, const Id& item) override
    {
        return nameOf(item) != refusedSelection;
    }
    std::optional<CGFloat> outlineViewHeightOfRowByItem(NSOutlineView*, const Id& item) override
    {
        const auto it = heights.find(nameOf(item));
        if (it == heights.end()) return std::nullopt;
        return it->second;
    }
    std::optional<bool> outlineViewIsGroupItem(NSOutlineView*, const Id& item) override
    {
        return nameOf(item) == groupItem;
    }

    void record(const char* what, const Ref<NSNotification>& note)
    {
        auto info = note->userInfo();
        events.push_back(std::string(what) + (info ? " " + nameOf(info->objectForKey("NSObject"_ns)) : ""));
    }
    void outlineViewSelectionIsChanging(const Ref<NSNotification>& n) override { record("changing", n); }
    void outlineViewSelectionDidChange(const Ref<NSNotification>& n) override { record("changed", n); }
    void outlineViewItemWillExpand(const Ref<NSNotification>& n) override { record("will expand", n); }
    void outlineViewItemDidExpand(const Ref<NSNotification>& n) override { record("did expand", n); }
    void outlineViewItemWillCollapse(const Ref<NSNotification>& n) override { record("will collapse", n); }
    void outlineViewItemDidCollapse(const Ref<NSNotification>& n) override { record("did collapse", n); }

    static Ref<TreeSource> sample()
    {
        auto source = NSObject::make<TreeSource>();
        source->roots = {TreeItem::named("A", {TreeItem::named("A1"), TreeItem::named("A2", {TreeItem::named("A2a")})}),
                         TreeItem::named("B"), TreeItem::named("C", {TreeItem::named("C1")})};
        return source;
    }
};

// A titled (so key) window at content (100, 100, 300, 200) holding a scroll
// view with the outline view of one editable column "name" 200 wide: rows
// 19 apart (17 + 2) below the 17-point header, so the middle of row r is at
// screen y 283 - 19 r - 9.5.
class OutlineTest : public WindowingTest {
protected:
    template <class View = NSOutlineView> void show(const Ref<TreeSource>& treeSource)
    {
        source = treeSource;
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 300, 200), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        scrollView = NSObject::alloc<NSScrollView>();
        scrollView->initWithFrame(NSMakeRect(0, 0, 300, 200));
        outline = NSObject::alloc<View>();
        outline->initWithFrame(NSMakeRect(0, 0, 285, 183));
        auto column = NSObject::alloc<NSTableColumn>()->initWithIdentifier("name"_ns);
        column->setWidth(200);
        outline->addTableColumn(column);
        outline->setDelegate(source);
        outline->setDataSource(source);
        scrollView->setDocumentView(outline);
        window->contentView()->addSubview(scrollView);
        window->makeKeyAndOrderFront(nullptr);
        window->makeFirstResponder(outline);
        pump();
    }

    static NSPoint rowPoint(NSInteger row, CGFloat x = 150) { return NSMakePoint(x, 283 - 19 * CGFloat(row) - 9.5); }
    void click(NSPoint p, NSUInteger flags = 0, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            server().injectMouse(NSEventTypeLeftMouseDown, p, flags);
            server().injectMouse(NSEventTypeLeftMouseUp, p, flags);
        }
        pump();
        Clock::advance(1);
    }
    std::vector<std::string> rows() const
    {
        std::vector<std::string> names;
        for (NSInteger r = 0; r < outline->numberOfRows(); ++r)
            names.push_back(TreeSource::nameOf(outline->itemAtRow(r)));
        return names;
    }
    std::vector<NSUInteger> selection() const
    {
        std::vector<NSUInteger> selected;
        outline->selectedRowIndexes()->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { selected.push_back(i); });
        return selected;
    }

    Ref<TreeSource> source;
    Ref<NSWindow> window;
    Ref<NSScrollView> scrollView;
    Ref<NSOutlineView> outline;
};
