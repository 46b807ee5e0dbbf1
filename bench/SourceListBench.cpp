// The source list against the plain outline view with the same data: 100
// groups of 100 items, icons on all items, badges on every second one, all
// expanded, in a 600-point-high headless window.
//   Reload:    reloadData and the display that follows.
//   DownArrow: one down-arrow key from a selected item, and the display.
//   Select:    selecting 1,000 items (every tenth of each group) by item on the
//              source list, by selectRowIndexes on the plain outline view.
// Run with
//   bench_SourceListBench --benchmark_repetitions=9
//     --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
// and compare the medians of each pair (target: the source list within 2 x).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "AppKit/NSApplication.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSWindow.h"
#include "AppKitExtensions/NSOutlineView+ZAKOutlineViewExtension.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineSourceList.h"

namespace {

constexpr int kGroups = 100;
constexpr int kItemsPerGroup = 100;

class Node : public NSObject {
    NS_OBJECT(Node, NSObject)
protected:
    Node() = default;

public:
    Ref<NSString> title;
    std::vector<Ref<Node>> children;
    NSInteger badge = -1;
};
NS_CLASS_DEFINE(Node)

// One tree served to both views: the outline view's protocol and the
// source list's.
class Tree : public NSObject, public NSOutlineViewDataSource, public ZAKOutlineSourceListDataSource {
    NS_OBJECT(Tree, NSObject)
protected:
    Tree() = default;

public:
    std::vector<Ref<Node>> groups;
    Ref<NSImage> icon;

    const std::vector<Ref<Node>>& childrenOf(const Id& item) const
    {
        return item ? static_cast<Node*>(item.get())->children : groups;
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
        return !childrenOf(item).empty();
    }
    std::optional<Id> outlineViewObjectValueForTableColumnByItem(NSOutlineView*, NSTableColumn*,
                                                                 const Id& item) override
    {
        return Id(static_cast<Node*>(item.get())->title);
    }

    NSUInteger sourceListNumberOfChildrenOfItem(ZAKOutlineSourceList*, const Id& item) override
    {
        return childrenOf(item).size();
    }
    Id sourceListChildOfItem(ZAKOutlineSourceList*, NSInteger index, const Id& item) override
    {
        return childrenOf(item)[size_t(index)];
    }
    Id sourceListObjectValueForItem(ZAKOutlineSourceList*, const Id& item) override
    {
        return static_cast<Node*>(item.get())->title;
    }
    bool sourceListIsItemExpandable(ZAKOutlineSourceList*, const Id& item) override
    {
        return !childrenOf(item).empty();
    }
    std::optional<bool> sourceListItemHasBadge(ZAKOutlineSourceList*, const Id& item) override
    {
        return static_cast<Node*>(item.get())->badge >= 0;
    }
    std::optional<NSInteger> sourceListBadgeValueForItem(ZAKOutlineSourceList*, const Id& item) override
    {
        return static_cast<Node*>(item.get())->badge;
    }
    std::optional<bool> sourceListItemHasIcon(ZAKOutlineSourceList*, const Id& item) override
    {
        return childrenOf(item).empty();
    }
    std::optional<Ref<NSImage>> sourceListIconForItem(ZAKOutlineSourceList*, const Id&) override { return icon; }

    static Ref<Tree> make()
    {
        auto tree = NSObject::make<Tree>();
        for (int g = 0; g < kGroups; ++g) {
            auto group = NSObject::make<Node>();
            group->title = NSString::stringWithUTF8String(("GROUP " + std::to_string(g)).c_str());
            for (int i = 0; i < kItemsPerGroup; ++i) {
                auto node = NSObject::make<Node>();
                node->title = NSString::stringWithUTF8String(("Item " + std::to_string(i)).c_str());
                if (i % 2 == 0) node->badge = i;
                group->children.push_back(node);
            }
            tree->groups.push_back(group);
        }
        tree->icon = NSImage::imageWithSize(NSMakeSize(16, 16), false, [](NSRect r) {
            NSColor::colorWithCalibratedRed(0.3, 0.5, 0.8, 1)->setFill();
            NSRectFill(NSInsetRect(r, 1, 1));
            return true;
        });
        return tree;
    }
};
NS_CLASS_DEFINE(Tree)

void setUpOnce()
{
    static bool done = [] {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        NSApplication::sharedApplication();
        return true;
    }();
    (void)done;
}

struct Scene {
    Ref<Tree> tree;
    Ref<NSWindow> window;
    Ref<NSOutlineView> view;
};

// A 600-point-high window whose scroll view shows the view, all expanded.
template <class View> Scene makeScene()
{
    setUpOnce();
    Scene scene;
    scene.tree = Tree::make();
    scene.window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(0, 0, 300, 600), NSBorderlessWindowMask,
                                                                    NSBackingStoreBuffered, false);
    auto scroll = NSObject::alloc<NSScrollView>();
    scroll->initWithFrame(NSMakeRect(0, 0, 300, 600));
    auto view = NSObject::alloc<View>();
    view->initWithFrame(NSMakeRect(0, 0, 285, 600));
    view->setHeaderView(nullptr);
    view->setRowHeight(20);
    view->setAllowsMultipleSelection(true);
    auto column = NSObject::alloc<NSTableColumn>()->initWithIdentifier("title"_ns);
    column->setWidth(280);
    view->addTableColumn(column);
    view->setDataSource(scene.tree);
    for (const auto& group : scene.tree->groups) view->expandItem(group);
    scroll->setDocumentView(view);
    scene.window->setContentView(scroll);
    scene.window->orderFront(nullptr);
    scene.window->display();
    scene.view = view;
    return scene;
}

void finish(Scene& scene)
{
    scene.window->display();
    NSRunLoop::currentRunLoop()->runUntilIdle();
}

template <class View> void BM_Reload(benchmark::State& state)
{
    auto scene = makeScene<View>();
    for (auto _ : state) {
        scene.view->reloadData();
        scene.view->setNeedsDisplay(true);
        finish(scene);
    }
    state.counters["rows"] = double(scene.view->numberOfRows());
    scene.window->orderOut(nullptr);
}

template <class View> void BM_DownArrow(benchmark::State& state)
{
    auto scene = makeScene<View>();
    const unichar arrow = 0xF701;
    auto characters = NSString::stringWithCharacters(&arrow, 1);
    auto down = NSEvent::keyEventWithType(NSEventTypeKeyDown, NSZeroPoint, 0, 0, scene.window->windowNumber(), nullptr,
                                          characters, characters, false, 125);
    const NSInteger start = 1;
    scene.view->selectRowIndexes(NSIndexSet::indexSetWithIndex(NSUInteger(start)), false);
    for (auto _ : state) {
        // Down through the first group's items, then back to its first item.
        if (scene.view->selectedRow() >= kItemsPerGroup - 1)
            scene.view->selectRowIndexes(NSIndexSet::indexSetWithIndex(NSUInteger(start)), false);
        scene.view->keyDown(down);
        finish(scene);
    }
    scene.window->orderOut(nullptr);
}

// Every tenth item of every group: 1,000 rows, none a group.
std::vector<NSInteger> selectedRows()
{
    std::vector<NSInteger> rows;
    for (int g = 0; g < kGroups; ++g)
        for (int i = 0; i < kItemsPerGroup; i += 10) rows.push_back(g * (kItemsPerGroup + 1) + 1 + i);
    return rows;
}

void BM_SelectItems_SourceList(benchmark::State& state)
{
    auto scene = makeScene<ZAKOutlineSourceList>();
    std::vector<Id> items;
    for (NSInteger row : selectedRows()) items.push_back(scene.view->itemAtRow(row));
    auto array = NSArray::arrayWithVector(items);
    for (auto _ : state) {
        NSOutlineViewExt::selectItems(scene.view.get(), array, false);
        scene.view->deselectAll(nullptr);
    }
    scene.window->orderOut(nullptr);
}

void BM_SelectRows_Outline(benchmark::State& state)
{
    auto scene = makeScene<NSOutlineView>();
    auto rows = NSMutableIndexSet::indexSet();
    for (NSInteger row : selectedRows()) rows->addIndex(NSUInteger(row));
    for (auto _ : state) {
        scene.view->selectRowIndexes(rows, false);
        scene.view->deselectAll(nullptr);
    }
    scene.window->orderOut(nullptr);
}

}  // namespace

BENCHMARK(BM_Reload<NSOutlineView>)->Name("Reload/Outline")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reload<ZAKOutlineSourceList>)->Name("Reload/SourceList")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DownArrow<NSOutlineView>)->Name("DownArrow/Outline")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DownArrow<ZAKOutlineSourceList>)->Name("DownArrow/SourceList")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectRows_Outline)->Name("Select/Outline")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectItems_SourceList)->Name("Select/SourceList")->Unit(benchmark::kMicrosecond);
