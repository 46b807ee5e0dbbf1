#pragma once
// The table view's delegate. Optional methods: nullopt or a no-op means "not
// implemented" (rows are selectable and cells editable by default). The
// delegate hears NSTableViewSelectionDidChangeNotification through
// tableViewSelectionDidChange.
#include <optional>

#include "Foundation/NSNotification.h"

class NSTableView;
class NSTableColumn;

inline constexpr char NSTableViewSelectionDidChangeNotification[] = "NSTableViewSelectionDidChangeNotification";

class NSTableViewDelegate {
public:
    virtual ~NSTableViewDelegate() = default;
    virtual std::optional<bool> tableViewShouldSelectRow(NSTableView*, NSInteger) { return std::nullopt; }
    virtual std::optional<bool> tableViewShouldEditTableColumnRow(NSTableView*, NSTableColumn*, NSInteger)
    {
        return std::nullopt;
    }
    // The cell about to draw the row's value in the column.
    virtual void tableViewWillDisplayCellForTableColumnRow(NSTableView*, const Id&, NSTableColumn*, NSInteger) { }
    virtual void tableViewSelectionDidChange(const Ref<NSNotification>&) { }
};
