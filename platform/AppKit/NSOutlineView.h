#pragma once
// A table view whose rows are the items of a tree: the data source answers
// the children of each item (nil is the root), and the rows are the items
// shown, flattened from the expanded ones in order. rowForItem and
// itemAtRow answer in constant time.
//
// Geometry: the outline column (the first by default) indents each row by
// level x indentationPerLevel; the disclosure triangle of an expandable item
// sits in the kOutlineCellWidth points there, and its cell follows. Row
// heights come from the delegate's outlineViewHeightOfRowByItem when it
// answers, otherwise from rowHeight; the rows lie one after the other.
//
// Expanding and collapsing ask the delegate, then post the will and did
// notifications with the item under "NSObject"; a click on the triangle
// toggles (with Option, the children too). The selection follows its items
// when rows appear or vanish above them. Selection changes post the outline
// view's own notifications.
//
// Every outline view of the process can have its keyDown:, menuForEvent:,
// textDidEndEditing: and drag notices replaced by hooks that a framework
// category installs once (setHooks); each hook gets the table view's own
// handling to fall back to.
#include <functional>
#include <unordered_map>
#include <vector>

#include "AppKit/NSOutlineViewDataSource.h"
#include "AppKit/NSOutlineViewDelegate.h"
#include "AppKit/NSTableView.h"

class NSOutlineView : public NSTableView {
    NS_OBJECT(NSOutlineView, NSTableView)
protected:
    NSOutlineView() = default;

public:
    static constexpr CGFloat kOutlineCellWidth = 16;

    struct Hooks {
        std::function<void(NSOutlineView*, const Ref<NSEvent>&, const std::function<void()>& own)> keyDown;
        std::function<Id(NSOutlineView*, const Ref<NSEvent>&, const std::function<Id()>& own)> menuForEvent;
        std::function<void(NSOutlineView*, const Ref<NSNotification>&,
                           const std::function<void(const Ref<NSNotification>&)>& own)>
            textDidEndEditing;
    };
    // Installs the process-wide hooks and answers the previous ones; an
    // empty hook keeps the table view's handling.
    static Hooks setHooks(Hooks hooks);

    Ref<NSView> initWithFrame(const NSRect& frame) override;
    Id initWithCoder(NSCoder* coder) override;

    // --- Items and rows ---
    void reloadData();
    // nil outside the rows.
    Id itemAtRow(NSInteger row) const;
    // -1 for an item not shown.
    NSInteger rowForItem(const Id& item) const;
    // 0 for the root's children; -1 for an item not shown.
    NSInteger levelForItem(const Id& item) const;
    NSInteger levelForRow(NSInteger row) const;
    // nil for a top-level item or one not shown.
    Id parentForItem(const Id& item) const;
    CGFloat indentationPerLevel() const { return m_indentationPerLevel; }
    void setIndentationPerLevel(CGFloat indentation);
    // The column that shows the tree (the first column when none was set).
    Ref<NSTableColumn> outlineTableColumn() const;
    void setOutlineTableColumn(const Ref<NSTableColumn>& column);
    bool isGroupItem(const Id& item);

    // --- Expansion ---
    bool isExpandable(const Id& item);
    bool isItemExpanded(const Id& item) const;
    void expandItem(const Id& item, bool expandChildren = false);
    // Rows of children that vanish leave the selection.
    void collapseItem(const Id& item, bool collapseChildren = false);
    // The disclosure triangle's rectangle; zero for an item that cannot expand.
    virtual NSRect frameOfOutlineCellAtRow(NSInteger row) const;

    // --- Geometry ---
    NSRect rectOfRow(NSInteger row) const override;
    NSRange rowsInRect(const NSRect& rect) const override;
    NSInteger rowAtPoint(NSPoint point) const override;
    NSRect frameOfCellAtColumnRow(NSInteger column, NSInteger row) const override;

    // --- Values, cells and editing ---
    Ref<NSCell> preparedCellAtColumnRow(NSInteger column, NSInteger row) override;
    Id objectValueAtColumnRow(NSInteger column, NSInteger row) override;
    bool canEditColumnRow(NSInteger column, NSInteger row) override;

    // --- Events and drawing ---
    void mouseDown(const Ref<NSEvent>& event) override;
    void keyDown(const Ref<NSEvent>& event) override;
    Id menuForEvent(const Ref<NSEvent>& event) override;
    void textDidEndEditing(const Ref<NSNotification>& note) override;
    void drawRow(NSInteger row, const NSRect& clipRect) override;

protected:
    NSOutlineViewDataSource* outlineDataSource() const;
    NSOutlineViewDelegate* outlineDelegate() const;
    NSInteger rowCountFromDataSource() const override;
    CGFloat heightOfAllRows() const override;
    void setObjectValueAtColumnRow(const Id& value, NSInteger column, NSInteger row) override;
    bool userMaySelectRow(NSInteger row) override;
    Ref<NSIndexSet> selectionIndexesForProposedSelection(const Ref<NSIndexSet>& proposed) override;
    void selectionIsChanging() override;
    void selectionDidChange() override;
    // The table view's own handling, for the hooks and subclasses.
    void tableKeyDown(const Ref<NSEvent>& event) { NSTableView::keyDown(event); }
    Id tableMenuForEvent(const Ref<NSEvent>& event) { return NSTableView::menuForEvent(event); }
    void tableTextDidEndEditing(const Ref<NSNotification>& note) { NSTableView::textDidEndEditing(note); }

private:
    struct Row {
        Id item;
        NSInteger level = 0;
        NSInteger parentRow = -1;
    };

    void setUpOutline();
    void rebuildRows() const;
    // Appends the shown descendants of an expanded item (nil: the root).
    // path holds the items above, so an item inside itself stops there.
    void appendChildren(std::vector<Row>& rows, const Id& item, NSInteger level, NSInteger parentRow,
                        std::vector<const NSObject*>& path) const;
    void indexRows(size_t from) const;
    void postItemNotification(const char* name, const Id& item,
                              void (NSOutlineViewDelegate::*method)(const Ref<NSNotification>&));
    void expandOne(const Id& item);
    void collapseOne(const Id& item);
    NSInteger outlineColumnIndex() const;
    CGFloat outlineIndent(NSInteger row) const;
    void drawDisclosureTriangle(NSInteger row);

    // The rows shown; rebuilt from the data source after reloadData.
    mutable std::vector<Row> m_rows;
    mutable std::unordered_map<const NSObject*, NSInteger> m_rowOfItem;
    // Top of each row and the bottom of the last, when the delegate sets
    // row heights; empty when every row has rowHeight.
    mutable std::vector<CGFloat> m_rowTops;
    mutable bool m_rowsStale = true;
    // Expanded items (retained, so an address is never reused for another).
    std::unordered_map<const NSObject*, Id> m_expanded;
    CGFloat m_indentationPerLevel = 16;
    Weak<NSTableColumn> m_outlineTableColumn;
};
