#pragma once
// The outline view's delegate. Optional methods: nullopt or a no-op means
// "not implemented" (items expand, collapse, select and edit by default).
// The notification methods hear the outline view's notifications; the
// expansion ones carry the item under "NSObject".
#include <optional>

#include "Foundation/NSIndexSet.h"
#include "Foundation/NSNotification.h"

class NSOutlineView;
class NSTableColumn;
class NSCell;

inline constexpr char NSOutlineViewSelectionIsChangingNotification[] = "NSOutlineViewSelectionIsChangingNotification";
inline constexpr char NSOutlineViewSelectionDidChangeNotification[] = "NSOutlineViewSelectionDidChangeNotification";
inline constexpr char NSOutlineViewItemWillExpandNotification[] = "NSOutlineViewItemWillExpandNotification";
inline constexpr char NSOutlineViewItemDidExpandNotification[] = "NSOutlineViewItemDidExpandNotification";
inline constexpr char NSOutlineViewItemWillCollapseNotification[] = "NSOutlineViewItemWillCollapseNotification";
inline constexpr char NSOutlineViewItemDidCollapseNotification[] = "NSOutlineViewItemDidCollapseNotification";

class NSOutlineViewDelegate {
public:
    virtual ~NSOutlineViewDelegate() = default;
    virtual std::optional<bool> outlineViewShouldExpandItem(NSOutlineView*, const Id&) { return std::nullopt; }
    virtual std::optional<bool> outlineViewShouldCollapseItem(NSOutlineView*, const Id&) { return std::nullopt; }
    // The cell that draws the item in the column (nil: the column's own).
    virtual std::optional<Ref<NSCell>> outlineViewDataCellForTableColumnItem(NSOutlineView*, NSTableColumn*, const Id&)
    {
        return std::nullopt;
    }
    virtual void outlineViewWillDisplayCellForTableColumnItem(NSOutlineView*, const Id&, NSTableColumn*, const Id&) { }
    virtual std::optional<bool> outlineViewShouldSelectItem(NSOutlineView*, const Id&) { return std::nullopt; }
    // The rows the user's selection really selects.
    virtual std::optional<Ref<NSIndexSet>> outlineViewSelectionIndexesForProposedSelection(NSOutlineView*,
                                                                                           const Ref<NSIndexSet>&)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> outlineViewShouldEditTableColumnItem(NSOutlineView*, NSTableColumn*, const Id&)
    {
        return std::nullopt;
    }
    // Whether a click on the cell goes to the cell (a button in a row).
    virtual std::optional<bool> outlineViewShouldTrackCellForTableColumnItem(NSOutlineView*, NSCell*, NSTableColumn*,
                                                                             const Id&)
    {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> outlineViewHeightOfRowByItem(NSOutlineView*, const Id&) { return std::nullopt; }
    virtual std::optional<bool> outlineViewIsGroupItem(NSOutlineView*, const Id&) { return std::nullopt; }

    virtual void outlineViewSelectionIsChanging(const Ref<NSNotification>&) { }
    virtual void outlineViewSelectionDidChange(const Ref<NSNotification>&) { }
    virtual void outlineViewItemWillExpand(const Ref<NSNotification>&) { }
    virtual void outlineViewItemDidExpand(const Ref<NSNotification>&) { }
    virtual void outlineViewItemWillCollapse(const Ref<NSNotification>&) { }
    virtual void outlineViewItemDidCollapse(const Ref<NSNotification>&) { }
};
