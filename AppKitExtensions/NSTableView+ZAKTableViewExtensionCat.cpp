#include "AppKitExtensions/NSTableView+ZAKTableViewExtensionCat.h"

#include <algorithm>

namespace NSTableViewExt {

void adjustWidthForTableColumns(NSTableView* tableView, const std::vector<Ref<NSTableColumn>>& columns)
{
    const auto& own = tableView->tableColumns();
    for (const auto& column : columns) {
        const auto it = std::find(own.begin(), own.end(), column);
        if (it == own.end()) continue;
        const auto index = NSInteger(it - own.begin());
        CGFloat width = 0;
        for (NSInteger row = 0; row < tableView->numberOfRows(); ++row)
            if (auto cell = tableView->preparedCellAtColumnRow(index, row))
                width = std::max(width, cell->cellSize().width);
        column->setWidth(width);
    }
}

}
