#pragma once
// A table grid of 8 columns and 30 rows in a headless window, fed by a data
// source that stores values ("c,r" until written), records what it is asked
// and told, and allows moves of columns and rows.
#include <map>
#include <string>
#include <vector>

#include "AppKit/NSTextView.h"
#include "Foundation/NSNotificationCenter.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGrid.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridContentView.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridHeaderView.h"

class GridSource : public NSObject, public ZAKTableGridDataSource, public ZAKTableGridDelegate {
    NS_OBJECT(GridSource, NSObject)
protected:
    GridSource() = default;

public:
    NSUInteger columns = 8, rows = 30;
    bool stores = true;
    std::optional<float> width;  // answered for every column when set
    std::map<std::pair<NSUInteger, NSUInteger>, Id> values;
    std::vector<std::string> log;
    int countQueries = 0;
    int valueQueries = 0;
    std::optional<bool> shouldEdit;
    Ref<NSIndexSet> lastMoved;
    NSUInteger lastDropIndex = 0;

    std::optional<NSUInteger> numberOfColumnsInTableGrid(ZAKTableGrid*) override
    {
        ++countQueries;
        return columns;
    }
    std::optional<NSUInteger> numberOfRowsInTableGrid(ZAKTableGrid*) override { return rows; }
    std::optional<Id> tableGridObjectValueForColumnRow(ZAKTableGrid*, NSUInteger c, NSUInteger r) override
    {
        ++valueQueries;
        if (auto it = values.find({c, r}); it != values.end()) return it->second;
        return Id(NSString::stringWithFormat("%lu,%lu", (unsigned long)c, (unsigned long)r));
    }
    bool tableGridStoresObjectValues(ZAKTableGrid*) override { return stores; }
    bool tableGridSetObjectValueForColumnRow(ZAKTableGrid*, const Id& value, NSUInteger c, NSUInteger r) override
    {
        if (!stores) return false;
        values[{c, r}] = value;
        auto s = dynamic_ref_cast<NSString>(value);
        log.push_back("set " + std::to_string(c) + "," + std::to_string(r) + "=" + (s ? s->UTF8String() : "nil"));
        return true;
    }
    std::optional<float> tableGridSetWidthForColumn(ZAKTableGrid*, NSUInteger) override { return width; }
    std::optional<bool> tableGridWriteColumnsWithIndexesToPasteboard(ZAKTableGrid*, const Ref<NSIndexSet>&,
                                                                     const Ref<NSPasteboard>&) override
    {
        return true;
    }
    std::optional<bool> tableGridWriteRowsWithIndexesToPasteboard(ZAKTableGrid*, const Ref<NSIndexSet>&,
                                                                  const Ref<NSPasteboard>&) override
    {
        return true;
    }
    std::optional<bool> tableGridCanMoveColumnsToIndex(ZAKTableGrid*, const Ref<NSIndexSet>&, NSUInteger) override
    {
        return true;
    }
    std::optional<bool> tableGridCanMoveRowsToIndex(ZAKTableGrid*, const Ref<NSIndexSet>&, NSUInteger) override
    {
        return true;
    }
    std::optional<bool> tableGridMoveColumnsToIndex(ZAKTableGrid*, const Ref<NSIndexSet>& moved,
                                                    NSUInteger index) override
    {
        lastMoved = moved;
        lastDropIndex = index;
        log.push_back("move columns to " + std::to_string(index));
        return true;
    }
    std::optional<bool> tableGridMoveRowsToIndex(ZAKTableGrid*, const Ref<NSIndexSet>& moved, NSUInteger index) override
    {
        lastMoved = moved;
        lastDropIndex = index;
        log.push_back("move rows to " + std::to_string(index));
        return true;
    }
    std::optional<bool> tableGridShouldEditColumnRow(ZAKTableGrid*, NSUInteger, NSUInteger) override
    {
        return shouldEdit;
    }
};

class TableGridTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        NSPasteboard::resetForTesting();
        source = NSObject::make<GridSource>();
        // Titled, so it can be the key window.
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 400, 300), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        grid =
            static_ref_cast<ZAKTableGrid>(NSObject::alloc<ZAKTableGrid>()->initWithFrame(NSMakeRect(0, 0, 400, 300)));
        grid->setDataSource(source);
        grid->setDelegate(source);
        window->contentView()->addSubview(grid);
        grid->registerForDraggedTypes(nullptr);
        grid->reloadData();
        window->makeKeyAndOrderFront(nullptr);
        window->makeFirstResponder(grid);
        pump();
    }

    // A point of the grid (flipped, grid coordinates) on the screen.
    NSPoint onScreen(NSPoint p) const { return window->convertBaseToScreen(grid->convertPointToView(p, nullptr)); }
    NSPoint cellCentre(NSUInteger c, NSUInteger r) const
    {
        const NSRect f = grid->frameOfCellAtColumnRow(c, r);
        return onScreen(NSMakePoint(NSMidX(f), NSMidY(f)));
    }
    NSPoint columnHeaderCentre(NSUInteger c) const
    {
        const NSRect f = grid->headerRectOfColumn(c);
        return onScreen(NSMakePoint(NSMidX(f), NSMidY(f)));
    }
    void press(NSPoint screen, NSUInteger flags = 0, NSInteger clicks = -1)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, screen, flags, clicks);
    }
    void release(NSPoint screen, NSUInteger flags = 0, NSInteger clicks = -1)
    {
        server().injectMouse(NSEventTypeLeftMouseUp, screen, flags, clicks);
        pump();
    }
    void clickAt(NSPoint screen, NSUInteger flags = 0, NSInteger clicks = -1)
    {
        press(screen, flags, clicks);
        release(screen, flags, clicks);
    }
    void select(NSUInteger c0, NSUInteger c1, NSUInteger r0, NSUInteger r1)
    {
        grid->setSelectedColumnIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(c0, c1 - c0 + 1)));
        grid->setSelectedRowIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(r0, r1 - r0 + 1)));
    }
    static std::vector<NSUInteger> indexes(const Ref<NSIndexSet>& set)
    {
        std::vector<NSUInteger> out;
        set->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { out.push_back(i); });
        return out;
    }
    std::vector<NSUInteger> columns() const { return indexes(grid->selectedColumnIndexes()); }
    std::vector<NSUInteger> rows() const { return indexes(grid->selectedRowIndexes()); }

    Ref<GridSource> source;
    Ref<NSWindow> window;
    Ref<ZAKTableGrid> grid;
};
