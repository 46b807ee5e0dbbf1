#pragma once
// A spreadsheet-like grid of cells fed by a data source: a header row of
// column titles ("A", "B", ...) above, a header column of row numbers
// beside, and the cells in a scroll view that the headers follow. The
// selection is a rectangle: a set of selected columns and a set of selected
// rows. The keyboard moves and extends it (the sticky edges say which side
// stays put), one cell is edited in place, columns are resized from the
// column header, and whole columns or rows move by dragging their headers.
//
// The grid is the model of its three views: the content view
// (ZAKTableGridContentView) draws the cells and handles the mouse there, the
// header views (ZAKTableGridHeaderView) draw and handle the headers; both ask
// the grid for everything through its underscored methods.
#include "AppKit/NSControl.h"
#include "AppKit/NSDragging.h"
#include "AppKit/NSScrollView.h"
#include "Foundation/NSDictionary.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridContentView.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridDataSource.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridHeaderView.h"

enum ZAKTableGridStickyEdge : int32_t {
    ZAKTableGridLeftEdge = 0,
    ZAKTableGridRightEdge = 1,
    ZAKTableGridTopEdge = 3,
    ZAKTableGridBottomEdge = 4,
};

class ZAKTableGrid : public NSControl, public NSDraggingDestination {
    NS_OBJECT(ZAKTableGrid, NSControl)
protected:
    ZAKTableGrid() = default;

public:
    static constexpr CGFloat kRowHeaderWidth = 40;
    static constexpr CGFloat kColumnHeaderHeight = 19;
    static constexpr CGFloat kRowHeight = 20;
    static constexpr float kDefaultColumnWidth = 60;
    static constexpr CGFloat kMinimumColumnWidth = 20;

    ~ZAKTableGrid() override;
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    void awakeFromNib() override;
    static void describeClass(NSClassMembers<ZAKTableGrid>& m);

    bool isFlipped() const override { return true; }
    bool acceptsFirstResponder() const override { return true; }
    bool canBecomeKeyView() const override { return true; }

    // Adds the two grid types and registers the grid and its content view.
    void registerForDraggedTypes(const Ref<NSArray>& types);
    void reloadData();

    // --- Geometry (grid coordinates) ---
    NSRect rectOfColumn(NSUInteger column) const;
    NSRect rectOfRow(NSUInteger row) const;
    NSRect frameOfCellAtColumnRow(NSUInteger column, NSUInteger row) const;
    NSRect headerRectOfColumn(NSUInteger column) const;
    NSRect headerRectOfRow(NSUInteger row) const;
    NSRect headerRectOfCorner() const { return NSMakeRect(0, 0, kRowHeaderWidth, kColumnHeaderHeight); }
    // NSNotFound when no column (row) is under the point.
    NSInteger columnAtPoint(NSPoint point) const;
    NSInteger rowAtPoint(NSPoint point) const;

    // --- Accessors ---
    Ref<ZAKTableGridHeaderView> columnHeaderView() const { return m_columnHeaderView; }
    Ref<ZAKTableGridHeaderView> rowHeaderView() const { return m_rowHeaderView; }
    Ref<ZAKTableGridContentView> contentView() const { return m_contentView; }
    Ref<NSScrollView> contentScrollView() const { return m_contentScrollView; }
    Ref<NSIndexSet> selectedColumnIndexes() const { return m_selectedColumnIndexes; }
    void setSelectedColumnIndexes(const Ref<NSIndexSet>& indexes);
    Ref<NSIndexSet> selectedRowIndexes() const { return m_selectedRowIndexes; }
    void setSelectedRowIndexes(const Ref<NSIndexSet>& indexes);
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool flag) { m_allowsMultipleSelection = flag; }
    bool allowsEditing() const { return m_allowsEditing; }
    void setAllowsEditing(bool flag) { m_allowsEditing = flag; }
    Id dataSource() const { return m_dataSource.get(); }
    void setDataSource(const Id& dataSource) { m_dataSource = dataSource; }
    Id delegate() const { return m_delegate.get(); }
    // Registers the delegate for the grid's notifications it handles.
    void setDelegate(const Id& delegate);
    NSUInteger numberOfRows() const { return m_numberOfRows; }
    void setNumberOfRows(NSUInteger count) { m_numberOfRows = count; }
    NSUInteger numberOfColumns() const { return m_numberOfColumns; }
    void setNumberOfColumns(NSUInteger count) { m_numberOfColumns = count; }

    // The column header drags a column's edge: the width grows by the
    // distance, never below kMinimumColumnWidth.
    void resizeColumnWithIndex(NSUInteger column, float distance);

    // --- Events and key commands ---
    void mouseDown(const Ref<NSEvent>& event) override;
    void keyDown(const Ref<NSEvent>& event) override;
    void insertTab(const Id& sender);
    void insertBacktab(const Id& sender);
    void insertNewline(const Id& sender);
    void moveUp(const Id& sender);
    void moveDown(const Id& sender);
    void moveLeft(const Id& sender);
    void moveRight(const Id& sender);
    void moveUpAndModifySelection(const Id& sender);
    void moveDownAndModifySelection(const Id& sender);
    void moveLeftAndModifySelection(const Id& sender);
    void moveRightAndModifySelection(const Id& sender);
    void selectAll(const Id& sender);
    void deleteBackward(const Id& sender);
    void insertText(const Id& text) override;
    // The rectangle is in the content view's coordinates.
    void scrollToArea(const NSRect& area, bool animate);

    // --- Drop destination (the content view forwards here) ---
    std::optional<NSDragOperation> draggingEntered(const Ref<NSDraggingInfo>& info) override;
    std::optional<NSDragOperation> draggingUpdated(const Ref<NSDraggingInfo>& info) override;
    void draggingExited(const Ref<NSDraggingInfo>& info) override;
    void draggingEnded(const Ref<NSDraggingInfo>& info) override;
    std::optional<bool> prepareForDragOperation(const Ref<NSDraggingInfo>&) override { return true; }
    std::optional<bool> performDragOperation(const Ref<NSDraggingInfo>& info) override;
    void concludeDragOperation(const Ref<NSDraggingInfo>& info) override;

    void drawRect(const NSRect& dirtyRect) override;

    // --- For the grid's own views ---
    Ref<ZAKTableGridContentView> _contentView() const { return m_contentView; }
    Ref<NSString> _headerStringForColumn(NSUInteger column);
    Ref<NSString> _headerStringForRow(NSUInteger row);
    Id _objectValueForColumnRow(NSUInteger column, NSUInteger row);
    Ref<NSColor> _backgroundColorForColumnRow(NSUInteger column, NSUInteger row);
    void _setObjectValueForColumnRow(const Id& value, NSUInteger column, NSUInteger row);
    float _widthForColumn(NSUInteger column) const;
    float _setWidthForColumn(NSUInteger column) const;
    // The data source can store values and the delegate agrees.
    bool _canEditCellAtColumnRow(NSUInteger column, NSUInteger row);
    void _setStickyColumnRow(int32_t columnEdge, int32_t rowEdge);
    int32_t _stickyColumn() const { return m_stickyColumnEdge; }
    int32_t _stickyRow() const { return m_stickyRowEdge; }
    void _dragColumnsWithEvent(const Ref<NSEvent>& event);
    void _dragRowsWithEvent(const Ref<NSEvent>& event);
    Ref<NSImage> _imageForSelectedColumns();
    Ref<NSImage> _imageForSelectedRows();
    NSInteger _dropColumnForPoint(NSPoint point) const;
    NSInteger _dropRowForPoint(NSPoint point) const;
    void _drawColumnHeaderBackgroundInRect(const NSRect& rect);
    void _drawRowHeaderBackgroundInRect(const NSRect& rect);
    void _drawCornerHeaderBackgroundInRect(const NSRect& rect);
    // Whether the window is key and its first responder is inside the grid.
    bool _isFocused() const;

    // Notification handlers.
    void viewFrameDidChange(const Id&) { }
    void contentViewDidScroll(const Id& note);

private:
    ZAKTableGridDataSource* source() const;
    ZAKTableGridDelegate* delegateProtocol() const;
    void unregisterDelegate();
    void selectCell(NSUInteger column, NSUInteger row);
    void selectColumns(NSUInteger first, NSUInteger last);
    void selectRows(NSUInteger first, NSUInteger last);
    // The cell the plain moves start from.
    NSUInteger currentColumn() const;
    NSUInteger currentRow() const;
    void scrollToCell(NSUInteger column, NSUInteger row);
    bool hasSelection() const { return m_selectedColumnIndexes->count() > 0 && m_selectedRowIndexes->count() > 0; }
    // Whether the drag is a move of this grid's own columns (rows).
    bool isOwnDrag(const Ref<NSDraggingInfo>& info, const Ref<NSString>& type) const;
    Ref<NSIndexSet> draggedIndexes(const Ref<NSDraggingInfo>& info, const Ref<NSString>& type) const;
    std::optional<NSDragOperation> validateForeignDrop(const Ref<NSDraggingInfo>& info);
    void startDrag(const Ref<NSEvent>& event, bool columns);
    // The grid's picture of the span at the drag image's opacity.
    Ref<NSImage> translucentSnapshot(const NSRect& span);
    // Moves the cached widths of the moved columns along with them.
    void moveCachedWidths(const Ref<NSIndexSet>& moved, NSUInteger dropIndex);
    static Ref<NSString> widthKey(NSUInteger column);

    Weak<NSObject> m_dataSource;
    Weak<NSObject> m_delegate;
    std::vector<Id> m_delegateTokens;
    Ref<NSScrollView> m_columnHeaderScrollView;
    Ref<ZAKTableGridHeaderView> m_columnHeaderView;
    Ref<NSScrollView> m_rowHeaderScrollView;
    Ref<ZAKTableGridHeaderView> m_rowHeaderView;
    Ref<NSScrollView> m_contentScrollView;
    Ref<ZAKTableGridContentView> m_contentView;
    Ref<NSIndexSet> m_selectedColumnIndexes;
    Ref<NSIndexSet> m_selectedRowIndexes;
    bool m_allowsMultipleSelection = false;
    bool m_shouldOverrideModifiers = false;
    bool m_allowsEditing = false;
    int32_t m_stickyColumnEdge = ZAKTableGridLeftEdge;
    int32_t m_stickyRowEdge = ZAKTableGridTopEdge;
    Ref<NSMutableDictionary> m_columnWidths;
    NSUInteger m_numberOfRows = 0;
    NSUInteger m_numberOfColumns = 0;
    // The key event being interpreted.
    Ref<NSEvent> m_keyEvent;
};
