#pragma once
// What a source list asks of and tells its delegate; every method is
// optional (nullopt or a no-op: "not implemented"). The seven notification
// methods are called as observers of the list's notifications, which the
// list subscribes its delegate to when the delegate is set; a delegate may
// instead register action methods of the same selectors
// ("sourceListSelectionDidChange:" ...), which are then called by name.
#include <optional>

#include "AppKit/NSCell.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSMenu.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSNotification.h"

class ZAKOutlineSourceList;

inline constexpr char ZAKOutlineSourceListSelectionIsChangingNotification[] = "ZAKOutlineSourceListSelectionIsChanging";
inline constexpr char ZAKOutlineSourceListSelectionDidChangeNotification[] = "ZAKOutlineSourceListSelectionDidChange";
inline constexpr char ZAKOutlineSourceListItemWillExpandNotification[] = "ZAKOutlineSourceListItemWillExpand";
inline constexpr char ZAKOutlineSourceListItemDidExpandNotification[] = "ZAKOutlineSourceListItemDidExpand";
inline constexpr char ZAKOutlineSourceListItemWillCollapseNotification[] = "ZAKOutlineSourceListItemWillCollapse";
inline constexpr char ZAKOutlineSourceListItemDidCollapseNotification[] = "ZAKOutlineSourceListItemDidCollapse";
inline constexpr char ZAKOutlineSourceListDeleteKeyPressedOnRowsNotification[] =
    "ZAKOutlineSourceListDeleteKeyPressedOnRows";

class ZAKOutlineSourceListDelegate {
public:
    virtual ~ZAKOutlineSourceListDelegate() = default;

    // Asked for groups only: an always-expanded group shows no triangle and
    // never collapses.
    virtual std::optional<bool> sourceListIsGroupAlwaysExpanded(ZAKOutlineSourceList*, const Id&)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> sourceListShouldExpandItem(ZAKOutlineSourceList*, const Id&) { return std::nullopt; }
    virtual std::optional<bool> sourceListShouldCollapseItem(ZAKOutlineSourceList*, const Id&) { return std::nullopt; }
    virtual std::optional<Ref<NSCell>> sourceListDataCellForItem(ZAKOutlineSourceList*, const Id&)
    {
        return std::nullopt;
    }
    virtual void sourceListWillDisplayCellForItem(ZAKOutlineSourceList*, const Id&, const Id&) { }
    // Never asked for groups, which are never selected.
    virtual std::optional<bool> sourceListShouldSelectItem(ZAKOutlineSourceList*, const Id&) { return std::nullopt; }
    virtual std::optional<Ref<NSIndexSet>> sourceListSelectionIndexesForProposedSelection(ZAKOutlineSourceList*,
                                                                                          const Ref<NSIndexSet>&)
    {
        return std::nullopt;
    }
    // Never asked for groups, which are never edited.
    virtual std::optional<bool> sourceListShouldEditItem(ZAKOutlineSourceList*, const Id&) { return std::nullopt; }
    virtual std::optional<bool> sourceListShouldTrackCellForItem(ZAKOutlineSourceList*, NSCell*, const Id&)
    {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> sourceListHeightOfRowByItem(ZAKOutlineSourceList*, const Id&)
    {
        return std::nullopt;
    }
    // The context menu for a click over the item (nil when between rows).
    virtual std::optional<Ref<NSMenu>> sourceListMenuForEventItem(ZAKOutlineSourceList*, const Ref<NSEvent>&, const Id&)
    {
        return std::nullopt;
    }

    virtual void sourceListSelectionIsChanging(const Ref<NSNotification>&) { }
    virtual void sourceListSelectionDidChange(const Ref<NSNotification>&) { }
    virtual void sourceListItemWillExpand(const Ref<NSNotification>&) { }
    virtual void sourceListItemDidExpand(const Ref<NSNotification>&) { }
    virtual void sourceListItemWillCollapse(const Ref<NSNotification>&) { }
    virtual void sourceListItemDidCollapse(const Ref<NSNotification>&) { }
    virtual void sourceListDeleteKeyPressedOnRows(const Ref<NSNotification>&) { }
};
