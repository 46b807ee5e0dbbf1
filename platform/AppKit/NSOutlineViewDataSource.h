#pragma once
// What an outline view asks for its items. Every method is optional: nullopt
// (or a no-op) means "not implemented". Items are compared by identity; nil
// stands for the invisible root.
#include <optional>

#include "Foundation/NSArray.h"
#include "Foundation/NSURL.h"

class NSOutlineView;
class NSTableColumn;
class NSPasteboard;

class NSOutlineViewDataSource {
public:
    virtual ~NSOutlineViewDataSource() = default;
    virtual std::optional<NSInteger> outlineViewNumberOfChildrenOfItem(NSOutlineView*, const Id&)
    {
        return std::nullopt;
    }
    virtual std::optional<Id> outlineViewChildOfItem(NSOutlineView*, NSInteger, const Id&) { return std::nullopt; }
    virtual std::optional<bool> outlineViewIsItemExpandable(NSOutlineView*, const Id&) { return std::nullopt; }
    virtual std::optional<Id> outlineViewObjectValueForTableColumnByItem(NSOutlineView*, NSTableColumn*, const Id&)
    {
        return std::nullopt;
    }
    // An in-place edit was committed.
    virtual void outlineViewSetObjectValueForTableColumnByItem(NSOutlineView*, const Id&, NSTableColumn*, const Id&) { }
    virtual std::optional<Id> outlineViewItemForPersistentObject(NSOutlineView*, const Id&) { return std::nullopt; }
    virtual std::optional<Id> outlineViewPersistentObjectForItem(NSOutlineView*, const Id&) { return std::nullopt; }
    // A drag of the items starts: YES when they were written.
    virtual std::optional<bool> outlineViewWriteItemsToPasteboard(NSOutlineView*, const Ref<NSArray>&,
                                                                  const Ref<NSPasteboard>&)
    {
        return std::nullopt;
    }
    virtual std::optional<Ref<NSArray>> outlineViewNamesOfPromisedFilesDroppedAtDestinationForDraggedItems(
        NSOutlineView*, const Ref<NSURL>&, const Ref<NSArray>&)
    {
        return std::nullopt;
    }
};
