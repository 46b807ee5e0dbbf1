#pragma once
// What a source list asks of its data source. The first four methods are
// required; the list sends them only to an object that adopts this
// protocol. The others are optional: nullopt (or a no-op) means "not
// implemented" and the list uses its default. Items are any objects,
// compared by identity; nil stands for the root, whose children are the
// groups.
#include <optional>

#include "AppKit/NSColor.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSPasteboard.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSURL.h"

class ZAKOutlineSourceList;

class ZAKOutlineSourceListDataSource {
public:
    virtual ~ZAKOutlineSourceListDataSource() = default;

    virtual NSUInteger sourceListNumberOfChildrenOfItem(ZAKOutlineSourceList*, const Id& item) = 0;
    virtual Id sourceListChildOfItem(ZAKOutlineSourceList*, NSInteger index, const Id& item) = 0;
    virtual Id sourceListObjectValueForItem(ZAKOutlineSourceList*, const Id& item) = 0;
    virtual bool sourceListIsItemExpandable(ZAKOutlineSourceList*, const Id& item) = 0;

    // An in-place edit was committed.
    virtual void sourceListSetObjectValueForItem(ZAKOutlineSourceList*, const Id&, const Id&) { }
    virtual std::optional<bool> sourceListItemHasBadge(ZAKOutlineSourceList*, const Id&) { return std::nullopt; }
    // Asked only for items with a badge.
    virtual std::optional<NSInteger> sourceListBadgeValueForItem(ZAKOutlineSourceList*, const Id&)
    {
        return std::nullopt;
    }
    // Colours of the badge of an unselected row (nil: the defaults).
    virtual std::optional<Ref<NSColor>> sourceListBadgeTextColorForItem(ZAKOutlineSourceList*, const Id&)
    {
        return std::nullopt;
    }
    virtual std::optional<Ref<NSColor>> sourceListBadgeBackgroundColorForItem(ZAKOutlineSourceList*, const Id&)
    {
        return std::nullopt;
    }
    // Whether the row keeps room for an icon left of its text.
    virtual std::optional<bool> sourceListItemHasIcon(ZAKOutlineSourceList*, const Id&) { return std::nullopt; }
    // nil: nothing drawn (the room stays).
    virtual std::optional<Ref<NSImage>> sourceListIconForItem(ZAKOutlineSourceList*, const Id&) { return std::nullopt; }
    virtual std::optional<Id> sourceListItemForPersistentObject(ZAKOutlineSourceList*, const Id&)
    {
        return std::nullopt;
    }
    virtual std::optional<Id> sourceListPersistentObjectForItem(ZAKOutlineSourceList*, const Id&)
    {
        return std::nullopt;
    }
    // A drag of the items starts: YES when they were written.
    virtual std::optional<bool> sourceListWriteItemsToPasteboard(ZAKOutlineSourceList*, const Ref<NSArray>&,
                                                                 const Ref<NSPasteboard>&)
    {
        return std::nullopt;
    }
    virtual std::optional<Ref<NSArray>> sourceListNamesOfPromisedFilesDroppedAtDestinationForDraggedItems(
        ZAKOutlineSourceList*, const Ref<NSURL>&, const Ref<NSArray>&)
    {
        return std::nullopt;
    }
};
