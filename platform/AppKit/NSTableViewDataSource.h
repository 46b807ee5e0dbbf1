#pragma once
// What a table view asks for its content. Every method is optional: nullopt
// (or a no-op) means "not implemented", and the table then has no rows or
// shows nothing in the cell.
#include <optional>

#include "Foundation/NSObject.h"

class NSTableView;
class NSTableColumn;

class NSTableViewDataSource {
public:
    virtual ~NSTableViewDataSource() = default;
    virtual std::optional<NSInteger> numberOfRowsInTableView(NSTableView*) { return std::nullopt; }
    // A string or an attributed string (or any object the column's cell shows).
    virtual std::optional<Id> tableViewObjectValueForTableColumnRow(NSTableView*, NSTableColumn*, NSInteger)
    {
        return std::nullopt;
    }
    // An in-place edit was committed.
    virtual void tableViewSetObjectValueForTableColumnRow(NSTableView*, const Id&, NSTableColumn*, NSInteger) { }
};
