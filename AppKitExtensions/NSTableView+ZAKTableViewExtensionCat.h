#pragma once
// Sizes table columns to their widest cell.
#include <vector>

#include "AppKit/NSTableView.h"

namespace NSTableViewExt {

// Each column of the table among the given ones gets the width of its widest
// prepared cell (cellSize), nothing added; 0 when the table has no rows.
// Columns of another table are left alone.
void adjustWidthForTableColumns(NSTableView* tableView, const std::vector<Ref<NSTableColumn>>& columns);

}
