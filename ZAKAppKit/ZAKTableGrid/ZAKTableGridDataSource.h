#pragma once
// What a table grid asks of its data source and tells its delegate. Every
// method is optional: nullopt (or NO from a method that stores) means "not
// implemented", and the grid then uses its default.
#include <optional>

#include "AppKit/NSColor.h"
#include "AppKit/NSDragging.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSNotification.h"

class ZAKTableGrid;

inline const Ref<NSString> ZAKTableGridDidChangeSelectionNotification = "ZAKTableGridDidChangeSelectionNotification"_ns;
inline const Ref<NSString> ZAKTableGridDidMoveColumnsNotification = "ZAKTableGridDidMoveColumnsNotification"_ns;
inline const Ref<NSString> ZAKTableGridDidMoveRowsNotification = "ZAKTableGridDidMoveRowsNotification"_ns;

// The drag pasteboard types of moved columns and rows (a keyed archive of
// the index set).
inline const Ref<NSString> ZAKTableGridColumnDataType = "ZAKTableGridColumnDataType"_ns;
inline const Ref<NSString> ZAKTableGridRowDataType = "ZAKTableGridRowDataType"_ns;

class ZAKTableGridDataSource {
public:
    virtual ~ZAKTableGridDataSource() = default;
    virtual std::optional<NSUInteger> numberOfColumnsInTableGrid(ZAKTableGrid*) { return std::nullopt; }
    virtual std::optional<NSUInteger> numberOfRowsInTableGrid(ZAKTableGrid*) { return std::nullopt; }
    virtual std::optional<Id> tableGridObjectValueForColumnRow(ZAKTableGrid*, NSUInteger, NSUInteger)
    {
        return std::nullopt;
    }
    // Stores an edited value (nil when Delete clears the cell); answers NO
    // when not implemented, and then no cell can be edited.
    virtual bool tableGridSetObjectValueForColumnRow(ZAKTableGrid*, const Id&, NSUInteger, NSUInteger) { return false; }
    // Whether tableGridSetObjectValueForColumnRow is implemented.
    virtual bool tableGridStoresObjectValues(ZAKTableGrid*) { return false; }
    virtual std::optional<Ref<NSColor>> tableGridBackgroundColorForColumnRow(ZAKTableGrid*, NSUInteger, NSUInteger)
    {
        return std::nullopt;
    }
    virtual std::optional<Ref<NSString>> tableGridHeaderStringForColumn(ZAKTableGrid*, NSUInteger)
    {
        return std::nullopt;
    }
    virtual std::optional<Ref<NSString>> tableGridHeaderStringForRow(ZAKTableGrid*, NSUInteger) { return std::nullopt; }
    virtual std::optional<float> tableGridSetWidthForColumn(ZAKTableGrid*, NSUInteger) { return std::nullopt; }
    // Drops of other kinds of data.
    virtual std::optional<NSDragOperation> tableGridValidateDropProposedColumnRow(ZAKTableGrid*,
                                                                                  const Ref<NSDraggingInfo>&,
                                                                                  NSUInteger, NSUInteger)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tableGridAcceptDropColumnRow(ZAKTableGrid*, const Ref<NSDraggingInfo>&, NSUInteger,
                                                             NSUInteger)
    {
        return std::nullopt;
    }
    // Moves of the grid's own columns and rows.
    virtual std::optional<bool> tableGridWriteColumnsWithIndexesToPasteboard(ZAKTableGrid*, const Ref<NSIndexSet>&,
                                                                             const Ref<NSPasteboard>&)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tableGridWriteRowsWithIndexesToPasteboard(ZAKTableGrid*, const Ref<NSIndexSet>&,
                                                                          const Ref<NSPasteboard>&)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tableGridCanMoveColumnsToIndex(ZAKTableGrid*, const Ref<NSIndexSet>&, NSUInteger)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tableGridCanMoveRowsToIndex(ZAKTableGrid*, const Ref<NSIndexSet>&, NSUInteger)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tableGridMoveColumnsToIndex(ZAKTableGrid*, const Ref<NSIndexSet>&, NSUInteger)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tableGridMoveRowsToIndex(ZAKTableGrid*, const Ref<NSIndexSet>&, NSUInteger)
    {
        return std::nullopt;
    }
};

class ZAKTableGridDelegate {
public:
    virtual ~ZAKTableGridDelegate() = default;
    // May replace a proposed selection before it is stored.
    virtual std::optional<Ref<NSIndexSet>> tableGridWillSelectColumnsAtIndexPath(ZAKTableGrid*, const Ref<NSIndexSet>&)
    {
        return std::nullopt;
    }
    virtual std::optional<Ref<NSIndexSet>> tableGridWillSelectRowsAtIndexPath(ZAKTableGrid*, const Ref<NSIndexSet>&)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> tableGridShouldEditColumnRow(ZAKTableGrid*, NSUInteger, NSUInteger)
    {
        return std::nullopt;
    }
    // The grid registers the delegate for its notifications.
    virtual void tableGridDidChangeSelection(const Ref<NSNotification>&) { }
    virtual void tableGridDidMoveColumns(const Ref<NSNotification>&) { }
    virtual void tableGridDidMoveRows(const Ref<NSNotification>&) { }
};
