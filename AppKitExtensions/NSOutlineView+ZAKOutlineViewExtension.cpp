#include "AppKitExtensions/NSOutlineView+ZAKOutlineViewExtension.h"

#include "AppKit/NSText.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSNumber.h"

namespace {

constexpr unichar kDelete = 0x7F;
constexpr unichar kLeftArrow = 0xF702;
constexpr unichar kRightArrow = 0xF703;
constexpr unichar kForwardDelete = 0xF728;

unichar firstCharacter(const Ref<NSEvent>& event)
{
    auto characters = event ? event->charactersIgnoringModifiers() : nullptr;
    return characters && characters->length() ? characters->characterAtIndex(0) : 0;
}

// The item of the one selected row, or nil.
Id onlySelectedItem(NSOutlineView* outlineView)
{
    return outlineView->numberOfSelectedRows() == 1 ? outlineView->itemAtRow(outlineView->selectedRow()) : nullptr;
}

void keyDown(NSOutlineView* outlineView, const Ref<NSEvent>& event, const std::function<void()>& own)
{
    Ref<NSOutlineView> keep(outlineView);
    const unichar key = firstCharacter(event);
    if (key == kLeftArrow) {
        const Id item = onlySelectedItem(outlineView);
        if (item && outlineView->isExpandable(item) && outlineView->isItemExpanded(item))
            outlineView->collapseItem(item);
        return;
    }
    if (key == kRightArrow) {
        const Id item = onlySelectedItem(outlineView);
        if (item && outlineView->isExpandable(item)) outlineView->expandItem(item);
        return;
    }
    if (key == kDelete || key == kForwardDelete) {
        const Id delegate = outlineView->delegate();
        if (auto* d = dynamic_cast<ZAKOutlineViewExtensionDelegate*>(delegate.get());
            d && d->outlineViewDidReceiveDelete(outlineView, event))
            return;
        // An outline view answers the message itself.
        if (auto other = dynamic_ref_cast<NSOutlineView>(delegate)) {
            NSOutlineViewExt::outlineViewDidReceiveDelete(other.get(), outlineView, event);
            return;
        }
    }
    own();
}

Id menuForEvent(NSOutlineView* outlineView, const Ref<NSEvent>& event, const std::function<Id()>&)
{
    auto* d = dynamic_cast<ZAKOutlineViewExtensionDelegate*>(outlineView->delegate().get());
    if (!d) return nullptr;
    const NSPoint p = outlineView->convertPointFromView(event->locationInWindow(), nullptr);
    const NSInteger column = outlineView->columnAtPoint(p);
    const NSInteger row = outlineView->rowAtPoint(p);
    if (column < 0 || row < 0) return nullptr;
    return d
        ->outlineViewMenuForTableColumnItem(outlineView, outlineView->tableColumns()[size_t(column)].get(),
                                            outlineView->itemAtRow(row))
        .value_or(nullptr);
}

void textDidEndEditing(NSOutlineView* outlineView, const Ref<NSNotification>& note,
                       const std::function<void(const Ref<NSNotification>&)>& own)
{
    Ref<NSOutlineView> keep(outlineView);
    auto info = note->userInfo();
    auto movement = info ? dynamic_ref_cast<NSNumber>(info->objectForKey(NSTextMovementUserInfoKey)) : nullptr;
    if (!movement || movement->integerValue() != NSReturnTextMovement) return own(note);
    // Return ends the edit but does not move on to the next row.
    auto changed = NSMutableDictionary::dictionaryWithDictionary(info);
    changed->setObject(NSNumber::numberWithInteger(0), NSTextMovementUserInfoKey);
    own(NSNotification::notificationWithName(note->name(), note->object(), changed));
    if (auto w = outlineView->window()) w->makeFirstResponder(outlineView);
}

// At load time: every outline view of the process behaves so.
[[maybe_unused]] const bool g_installed = [] {
    NSOutlineView::setHooks({keyDown, menuForEvent, textDidEndEditing});
    return true;
}();

}

namespace NSOutlineViewExt {

Id selectedItem(NSOutlineView* outlineView) { return outlineView->itemAtRow(outlineView->selectedRow()); }

Ref<NSArray> allSelectedItems(NSOutlineView* outlineView)
{
    std::vector<Id> items;
    outlineView->selectedRowIndexes()->enumerateIndexesUsingBlock([&](NSUInteger row, bool*) {
        if (Id item = outlineView->itemAtRow(NSInteger(row))) items.push_back(item);
    });
    return NSArray::arrayWithVector(std::move(items));
}

void selectItems(NSOutlineView* outlineView, const Ref<NSArray>& items, bool extend)
{
    auto rows = NSMutableIndexSet::indexSet();
    if (items)
        for (const Id& item : items->objects())
            if (const NSInteger row = outlineView->rowForItem(item); row >= 0) rows->addIndex(NSUInteger(row));
    outlineView->selectRowIndexes(rows, extend);
}

void outlineViewDidReceiveDelete(NSOutlineView*, NSOutlineView*, const Ref<NSEvent>&) { }

}
