// The table grid: eight columns of a small sheet, column B tinted, column C
// widened, a selection of two columns by four rows. Moving columns by their
// headers moves the data; each move is reported on standard output (the
// end-to-end test reads it).
#include <cstdio>
#include <vector>

#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGrid.h"

namespace {

class TableGridPageView : public NSView, public ZAKTableGridDataSource {
    NS_OBJECT(TableGridPageView, NSView)
protected:
    TableGridPageView() = default;

public:
    // The sheet's columns in their current order, by their first letter.
    std::vector<char> order = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
    NSUInteger rows = 40;

    std::optional<NSUInteger> numberOfColumnsInTableGrid(ZAKTableGrid*) override { return order.size(); }
    std::optional<NSUInteger> numberOfRowsInTableGrid(ZAKTableGrid*) override { return rows; }
    std::optional<Id> tableGridObjectValueForColumnRow(ZAKTableGrid*, NSUInteger c, NSUInteger r) override
    {
        return Id(NSString::stringWithFormat("%c%lu", order[c], static_cast<unsigned long>(r + 1)));
    }
    std::optional<Ref<NSColor>> tableGridBackgroundColorForColumnRow(ZAKTableGrid*, NSUInteger c, NSUInteger) override
    {
        static const Ref<NSColor> tint = NSColor::colorWithDeviceRed(0.78, 0.87, 1.0, 1);
        if (order[c] == 'B') return tint;
        return std::nullopt;
    }
    std::optional<bool> tableGridWriteColumnsWithIndexesToPasteboard(ZAKTableGrid*, const Ref<NSIndexSet>&,
                                                                     const Ref<NSPasteboard>&) override
    {
        return true;
    }
    std::optional<bool> tableGridCanMoveColumnsToIndex(ZAKTableGrid*, const Ref<NSIndexSet>&, NSUInteger) override
    {
        return true;
    }
    std::optional<bool> tableGridMoveColumnsToIndex(ZAKTableGrid* grid, const Ref<NSIndexSet>& moved,
                                                    NSUInteger index) override
    {
        std::vector<char> taken, rest;
        NSUInteger before = 0;
        for (NSUInteger c = 0; c < order.size(); ++c) {
            (moved->containsIndex(c) ? taken : rest).push_back(order[c]);
            if (c < index && !moved->containsIndex(c)) ++before;
        }
        rest.insert(rest.begin() + NSInteger(before), taken.begin(), taken.end());
        order = rest;
        std::printf("moved columns %s to %lu\n", moved->description()->UTF8String(), static_cast<unsigned long>(index));
        std::fflush(stdout);
        grid->setNeedsDisplay(true);
        return true;
    }
    void drawRect(const NSRect& r) override
    {
        NSColor::colorWithCalibratedWhite(0.97, 1)->set();
        NSRectFill(r);
    }
};
NS_CLASS_DEFINE(TableGridPageView)

Ref<NSView> makeTableGridPage(NSRect bounds)
{
    auto page = static_ref_cast<TableGridPageView>(NSObject::alloc<TableGridPageView>()->initWithFrame(bounds));
    auto grid =
        static_ref_cast<ZAKTableGrid>(NSObject::alloc<ZAKTableGrid>()->initWithFrame(NSInsetRect(bounds, 10, 10)));
    grid->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    grid->setDataSource(page);
    grid->registerForDraggedTypes(nullptr);
    page->addSubview(grid);
    grid->reloadData();
    grid->resizeColumnWithIndex(2, 30);
    grid->setSelectedColumnIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(3, 2)));
    grid->setSelectedRowIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(2, 4)));
    return page;
}

}  // namespace

GALLERY_PAGE(tableGrid, {"table-grid", "Table grid", {560, 300}, makeTableGridPage});
