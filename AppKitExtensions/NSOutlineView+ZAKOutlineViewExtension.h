#pragma once
// Selection by item for outline views, and the behaviour every outline view
// of the process gets once this library is loaded: the context menu comes
// from the delegate only, Left and Right collapse and expand the one
// selected item, the delete keys go to the delegate, and Return ends an
// in-place edit keeping the row selected.
#include "AppKit/NSMenu.h"
#include "AppKit/NSOutlineView.h"
#include "Foundation/NSArray.h"

// What the framework's outline views ask of their delegates besides the
// platform's delegate messages. All optional.
class ZAKOutlineViewExtensionDelegate {
public:
    virtual ~ZAKOutlineViewExtensionDelegate() = default;
    // The context menu for a click in the column over the item.
    virtual std::optional<Ref<NSMenu>> outlineViewMenuForTableColumnItem(NSOutlineView*, NSTableColumn*, const Id&)
    {
        return std::nullopt;
    }
    // The delete or forward-delete key; answers false when not implemented.
    virtual bool outlineViewDidReceiveDelete(NSOutlineView*, const Ref<NSEvent>&) { return false; }
};

namespace NSOutlineViewExt {

// The item of the selected row (nil without selection).
Id selectedItem(NSOutlineView* outlineView);
// The items of the selected rows in row order; rows without item are skipped.
Ref<NSArray> allSelectedItems(NSOutlineView* outlineView);
// Selects the rows of the items shown; items not shown are skipped.
void selectItems(NSOutlineView* outlineView, const Ref<NSArray>& items, bool extend);
// Every outline view's own answer to the delete message: nothing, so an
// outline view that is its own delegate swallows the delete keys.
void outlineViewDidReceiveDelete(NSOutlineView* receiver, NSOutlineView* sender, const Ref<NSEvent>& event);

}
