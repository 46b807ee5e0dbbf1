#pragma once
// An outline view for the sidebar of a window. Its top-level items are group
// headings, never selected, which the delegate may keep always expanded (no
// triangle, never collapsed); other rows may show an icon left of their
// text and a rounded number badge at the right edge.
//
// The view is its own outline data source and delegate: it forwards to a
// ZAKOutlineSourceListDataSource and a ZAKOutlineSourceListDelegate of its
// own (setDataSource / setDelegate, not retained), filling in defaults where
// they are silent, and turns the outline view's selection and expansion
// notices and the delete keys into notifications its delegate hears.
//
// Created in code or loaded from an interface file, it is wired the same
// way: its own outline data source and delegate, icons 16 x 16.
#include <vector>

#include "AppKit/NSOutlineView.h"
#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineSourceListDataSource.h"
#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineSourceListDelegate.h"

class ZAKOutlineSourceList : public NSOutlineView, public NSOutlineViewDataSource, public NSOutlineViewDelegate {
    NS_OBJECT(ZAKOutlineSourceList, NSOutlineView)
protected:
    ZAKOutlineSourceList() = default;

public:
    ~ZAKOutlineSourceList() override;

    Ref<NSView> initWithFrame(const NSRect& frame) override;
    Id initWithCoder(NSCoder* coder) override;

    // --- Client data source and delegate (not retained) ---
    Id delegate() const { return m_secondaryDelegate.get(); }
    // Moves the notification subscriptions to the new delegate.
    void setDelegate(const Id& delegate);
    Id dataSource() const { return m_secondaryDataSource.get(); }
    // Reloads.
    void setDataSource(const Id& dataSource);

    // Scaled down to the row height when taller.
    NSSize iconSize() const { return m_iconSize; }
    void setIconSize(NSSize size);

    // --- Groups and badges ---
    void reloadData() override;
    // The number of the root's children.
    NSUInteger numberOfGroups();
    // Top-level items are groups.
    bool isGroupItem(const Id& item) const;
    bool isGroupAlwaysExpanded(const Id& group);
    bool itemHasBadge(const Id& item);
    // NSNotFound without a badge or a value.
    NSInteger badgeValueForItem(const Id& item);
    NSSize sizeOfBadgeAtRow(NSInteger row);
    void drawBadgeForRow(NSInteger row, const NSRect& rect);
    // Subscribes the delegate to the list's notification of that name when
    // it has the method (by selector, else the protocol's).
    void registerDelegateToReceiveNotification(const char* name, const SEL& selector);

    // --- Outline view overrides ---
    // Group rows are left out; an empty set is ignored when the selection
    // may not be empty.
    void selectRowIndexes(const Ref<NSIndexSet>& indexes, bool extend) override;
    NSRect frameOfOutlineCellAtRow(NSInteger row) const override;
    NSRect frameOfCellAtColumnRow(NSInteger column, NSInteger row) const override;
    void drawRow(NSInteger row, const NSRect& clipRect) override;
    void keyDown(const Ref<NSEvent>& event) override;
    Id menuForEvent(const Ref<NSEvent>& event) override;
    // NO for "selectAll:": Select All is not the list's.
    bool respondsToSelector(const SEL& selector) const;

    // --- Its own outline data source ---
    std::optional<NSInteger> outlineViewNumberOfChildrenOfItem(NSOutlineView*, const Id& item) override;
    std::optional<Id> outlineViewChildOfItem(NSOutlineView*, NSInteger index, const Id& item) override;
    std::optional<bool> outlineViewIsItemExpandable(NSOutlineView*, const Id& item) override;
    std::optional<Id> outlineViewObjectValueForTableColumnByItem(NSOutlineView*, NSTableColumn*,
                                                                 const Id& item) override;
    void outlineViewSetObjectValueForTableColumnByItem(NSOutlineView*, const Id& value, NSTableColumn*,
                                                       const Id& item) override;
    std::optional<Id> outlineViewItemForPersistentObject(NSOutlineView*, const Id& object) override;
    std::optional<Id> outlineViewPersistentObjectForItem(NSOutlineView*, const Id& item) override;
    std::optional<bool> outlineViewWriteItemsToPasteboard(NSOutlineView*, const Ref<NSArray>& items,
                                                          const Ref<NSPasteboard>& pasteboard) override;
    std::optional<Ref<NSArray>> outlineViewNamesOfPromisedFilesDroppedAtDestinationForDraggedItems(
        NSOutlineView*, const Ref<NSURL>& destination, const Ref<NSArray>& items) override;

    // --- Its own outline delegate ---
    std::optional<bool> outlineViewShouldExpandItem(NSOutlineView*, const Id& item) override;
    std::optional<bool> outlineViewShouldCollapseItem(NSOutlineView*, const Id& item) override;
    std::optional<Ref<NSCell>> outlineViewDataCellForTableColumnItem(NSOutlineView*, NSTableColumn*,
                                                                     const Id& item) override;
    void outlineViewWillDisplayCellForTableColumnItem(NSOutlineView*, const Id& cell, NSTableColumn*,
                                                      const Id& item) override;
    std::optional<bool> outlineViewShouldSelectItem(NSOutlineView*, const Id& item) override;
    std::optional<Ref<NSIndexSet>> outlineViewSelectionIndexesForProposedSelection(
        NSOutlineView*, const Ref<NSIndexSet>& proposed) override;
    std::optional<bool> outlineViewShouldEditTableColumnItem(NSOutlineView*, NSTableColumn*, const Id& item) override;
    std::optional<bool> outlineViewShouldTrackCellForTableColumnItem(NSOutlineView*, NSCell* cell, NSTableColumn*,
                                                                     const Id& item) override;
    std::optional<CGFloat> outlineViewHeightOfRowByItem(NSOutlineView*, const Id& item) override;
    std::optional<bool> outlineViewIsGroupItem(NSOutlineView*, const Id& item) override;
    void outlineViewSelectionIsChanging(const Ref<NSNotification>& note) override;
    void outlineViewSelectionDidChange(const Ref<NSNotification>& note) override;
    void outlineViewItemWillExpand(const Ref<NSNotification>& note) override;
    void outlineViewItemDidExpand(const Ref<NSNotification>& note) override;
    void outlineViewItemWillCollapse(const Ref<NSNotification>& note) override;
    void outlineViewItemDidCollapse(const Ref<NSNotification>& note) override;

private:
    void wireToItself();
    // The client data source when it adopts the protocol; logs otherwise.
    ZAKOutlineSourceListDataSource* conformingDataSource(bool logRefusal = false) const;
    ZAKOutlineSourceListDelegate* clientDelegate() const;
    void repairSelection();
    void post(const char* name, const Ref<NSDictionary>& userInfo = nullptr);
    void unregisterDelegate();
    // The text of a badge value ("" for NSNotFound).
    static Ref<NSString> badgeText(NSInteger value);

    Weak<NSObject> m_secondaryDelegate;
    Weak<NSObject> m_secondaryDataSource;
    NSSize m_iconSize = NSZeroSize;
    // The delegate's subscriptions.
    std::vector<Id> m_delegateTokens;
};
