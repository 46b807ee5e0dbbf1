#pragma once
// A table of rows and columns whose values come from a data source.
//
// Geometry (the view is flipped; S = intercellSpacing, default (3, 2); row
// height 17 by default):
//   rectOfRow(r)      = (0, r * (rowHeight + S.height), bounds width, rowHeight + S.height)
//   rectOfColumn(c)   = (sum of the earlier columns' width + S.width, 0, width + S.width, bounds height)
//   frameOfCellAtColumnRow = both intersected, inset by S / 2 on each side.
// The table's frame is as wide as its columns and as tall as its rows, and
// at least as large as the clip view it scrolls in.
//
// Selection: a click selects its row, Shift-click extends from the anchor,
// Command-click toggles a row (both only with allowsMultipleSelection), the
// up and down arrows move (Shift extends); the delegate may refuse a row.
// Each change posts NSTableViewSelectionDidChangeNotification.
//
// Editing: a double click on an editable cell (or editColumn) puts the
// window's field editor over the cell, with a copy of the column's data cell
// drawing it. Return commits the text through the data source's
// tableViewSetObjectValueForTableColumnRow; Escape restores the text and
// ends without committing; ending otherwise (another responder takes the
// keys) commits a changed text.
#include <vector>

#include "AppKit/NSColor.h"
#include "AppKit/NSControl.h"
#include "AppKit/NSTableColumn.h"
#include "AppKit/NSTableHeaderView.h"
#include "AppKit/NSTableViewDataSource.h"
#include "AppKit/NSTableViewDelegate.h"
#include "Foundation/NSIndexSet.h"

enum NSTableViewGridLineStyle : NSUInteger {
    NSTableViewGridNone = 0,
    NSTableViewSolidVerticalGridLineMask = 1,
    NSTableViewSolidHorizontalGridLineMask = 2,
};

class NSTableView : public NSControl {
    NS_OBJECT(NSTableView, NSControl)
protected:
    NSTableView() = default;

public:
    ~NSTableView() override;

    Ref<NSView> initWithFrame(const NSRect& frame) override;
    static void describeClass(NSClassMembers<NSTableView>& m);

    // --- Data source and delegate (not retained; objects implementing
    // NSTableViewDataSource / NSTableViewDelegate) ---
    Id dataSource() const { return m_dataSource.get(); }
    void setDataSource(const Id& dataSource);

    // --- Columns ---
    const std::vector<Ref<NSTableColumn>>& tableColumns() const { return m_columns; }
    NSInteger numberOfColumns() const { return NSInteger(m_columns.size()); }
    void addTableColumn(const Ref<NSTableColumn>& column);
    void removeTableColumn(const Ref<NSTableColumn>& column);
    void moveColumn(NSInteger from, NSInteger to);
    // -1 when no column has that identifier (compared with isEqual).
    NSInteger columnWithIdentifier(const Id& identifier) const;
    Ref<NSTableColumn> tableColumnWithIdentifier(const Id& identifier) const;
    Ref<NSTableHeaderView> headerView() const { return m_headerView; }
    void setHeaderView(const Ref<NSTableHeaderView>& headerView);

    // --- Rows and geometry ---
    virtual void reloadData();
    void noteNumberOfRowsChanged();
    NSInteger numberOfRows() const;
    CGFloat rowHeight() const { return m_rowHeight; }
    void setRowHeight(CGFloat height);
    NSSize intercellSpacing() const { return m_intercellSpacing; }
    void setIntercellSpacing(NSSize spacing);
    virtual NSRect rectOfRow(NSInteger row) const;
    NSRect rectOfColumn(NSInteger column) const;
    virtual NSRect frameOfCellAtColumnRow(NSInteger column, NSInteger row) const;
    virtual NSRange rowsInRect(const NSRect& rect) const;
    // -1 outside every row or column.
    virtual NSInteger rowAtPoint(NSPoint point) const;
    NSInteger columnAtPoint(NSPoint point) const;
    // Sizes the frame to the columns and rows (at least the clip view).
    virtual void tile();
    void sizeLastColumnToFit();

    // --- Appearance ---
    NSUInteger gridStyleMask() const { return m_gridStyleMask; }
    void setGridStyleMask(NSUInteger mask);
    Ref<NSColor> gridColor() const { return m_gridColor; }
    void setGridColor(const Ref<NSColor>& color);
    Ref<NSColor> backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Ref<NSColor>& color);
    bool usesAlternatingRowBackgroundColors() const { return m_alternatingRows; }
    void setUsesAlternatingRowBackgroundColors(bool flag);

    // --- Selection ---
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool flag) { m_allowsMultipleSelection = flag; }
    bool allowsEmptySelection() const { return m_allowsEmptySelection; }
    void setAllowsEmptySelection(bool flag) { m_allowsEmptySelection = flag; }
    bool allowsColumnSelection() const { return m_allowsColumnSelection; }
    void setAllowsColumnSelection(bool flag) { m_allowsColumnSelection = flag; }
    // Rows past the end are ignored; without multiple selection only the
    // last index is kept. The delegate is not asked.
    virtual void selectRowIndexes(const Ref<NSIndexSet>& indexes, bool extend);
    void deselectRow(NSInteger row);
    // Empties the selection when an empty one is allowed.
    void deselectAll(const Id& sender);
    void selectAll(const Id& sender);
    // The last row selected, or -1.
    NSInteger selectedRow() const;
    Ref<NSIndexSet> selectedRowIndexes() const;
    NSInteger numberOfSelectedRows() const { return NSInteger(m_selectedRows->count()); }
    bool isRowSelected(NSInteger row) const;
    NSInteger selectedColumn() const;
    Ref<NSIndexSet> selectedColumnIndexes() const;
    void selectColumnIndexes(const Ref<NSIndexSet>& indexes, bool extend);
    void scrollRowToVisible(NSInteger row);
    void scrollColumnToVisible(NSInteger column);

    // --- Actions ---
    // The action (target and action are the control's) goes on a click, the
    // double action on a double click that does not start editing.
    SEL doubleAction() const { return m_doubleAction; }
    void setDoubleAction(const SEL& action) { m_doubleAction = action; }
    // The row and column of the last click (-1 outside).
    NSInteger clickedRow() const { return m_clickedRow; }
    NSInteger clickedColumn() const { return m_clickedColumn; }

    // --- Values and cells ---
    // The column's data cell, given the row's value and shown to the
    // delegate's willDisplayCell.
    virtual Ref<NSCell> preparedCellAtColumnRow(NSInteger column, NSInteger row);
    // The data source's value for the cell, or nil.
    virtual Id objectValueAtColumnRow(NSInteger column, NSInteger row);
    // Whether the cell may be edited: the column is editable and the
    // delegate does not refuse.
    virtual bool canEditColumnRow(NSInteger column, NSInteger row);

    // --- Editing ---
    NSInteger editedRow() const { return m_editedRow; }
    NSInteger editedColumn() const { return m_editedColumn; }
    // Starts editing the cell in place (scrolling it into view first); a
    // cell that cannot be edited is left alone.
    virtual void editColumn(NSInteger column, NSInteger row, const Ref<NSEvent>& event, bool select);
    // Ends editing without committing; NO when nothing was being edited.
    bool abortEditing();
    // Commits the edit (Return and Tab always, otherwise when the text changed).
    void textDidEndEditing(const Ref<NSNotification>& note) override;

    // --- Events ---
    bool acceptsFirstResponder() const override { return true; }
    bool isFlipped() const override { return true; }
    bool isOpaque() const override { return true; }
    void mouseDown(const Ref<NSEvent>& event) override;
    void keyDown(const Ref<NSEvent>& event) override;
    void moveUp(const Id& sender);
    void moveDown(const Id& sender);
    void moveUpAndModifySelection(const Id& sender);
    void moveDownAndModifySelection(const Id& sender);
    void scrollToBeginningOfDocument(const Id& sender);
    void scrollToEndOfDocument(const Id& sender);

    void viewDidMoveToSuperview() override;
    void drawRect(const NSRect& dirtyRect) override;
    virtual void drawBackgroundInClipRect(const NSRect& clipRect);
    virtual void highlightSelectionInClipRect(const NSRect& clipRect);
    virtual void drawGridInClipRect(const NSRect& clipRect);
    virtual void drawRow(NSInteger row, const NSRect& clipRect);

    // Keys: the control's, then NSTableColumns, NSHeaderView,
    // NSRowHeight, NSIntercellSpacingWidth, NSIntercellSpacingHeight,
    // NSGridStyleMask, NSAllowsMultipleSelection, NSAllowsEmptySelection,
    // NSAllowsColumnSelection, NSUsesAlternatingRowBackgroundColors.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void didEndEditing(NSInteger) override { }
    NSTableViewDataSource* dataSourceProtocol() const;
    NSTableViewDelegate* delegateProtocol() const;
    // The row count when it is not cached (subclasses that keep their own
    // rows answer them).
    virtual NSInteger rowCountFromDataSource() const;
    // Height of all rows together.
    virtual CGFloat heightOfAllRows() const;
    // Commits an in-place edit.
    virtual void setObjectValueAtColumnRow(const Id& value, NSInteger column, NSInteger row);
    // Selection made by the user: the delegate may refuse the row.
    virtual bool userMaySelectRow(NSInteger row);
    // A selection the user is making may be changed before it applies.
    virtual Ref<NSIndexSet> selectionIndexesForProposedSelection(const Ref<NSIndexSet>& proposed) { return proposed; }
    virtual void selectionIsChanging() { }
    void setSelection(const Ref<NSIndexSet>& rows);
    virtual void selectionDidChange();
    // Rows were inserted (delta > 0) or removed (delta < 0) at start: the
    // selection follows its rows without announcing; removed selected rows
    // leave it with an announcement.
    void rowsShifted(NSInteger start, NSInteger delta);
    void moveSelection(NSInteger step, bool extend);

    NSInteger m_editedRow = -1;
    NSInteger m_editedColumn = -1;

private:
    void setUpDefaults();
    CGFloat rowPitch() const { return m_rowHeight + m_intercellSpacing.height; }

    void finishEditing();

    Weak<NSObject> m_dataSource;
    SEL m_doubleAction;
    Ref<NSCell> m_editingCell;
    Ref<NSString> m_editingOriginal;
    std::vector<Ref<NSTableColumn>> m_columns;
    Ref<NSTableHeaderView> m_headerView;
    mutable NSInteger m_numberOfRows = -1;  // -1: ask the data source
    CGFloat m_rowHeight = 17;
    NSSize m_intercellSpacing{3, 2};
    NSUInteger m_gridStyleMask = NSTableViewGridNone;
    Ref<NSColor> m_gridColor;
    Ref<NSColor> m_backgroundColor;
    bool m_alternatingRows = false;
    bool m_allowsMultipleSelection = false;
    bool m_allowsEmptySelection = true;
    bool m_allowsColumnSelection = false;
    Ref<NSMutableIndexSet> m_selectedRows;
    Ref<NSMutableIndexSet> m_selectedColumns;
    NSInteger m_lastSelectedRow = -1;
    NSInteger m_anchorRow = -1;
    NSInteger m_clickedRow = -1;
    NSInteger m_clickedColumn = -1;
    bool m_tiling = false;
    bool m_userSelecting = false;
    Id m_superviewObserver;
};
