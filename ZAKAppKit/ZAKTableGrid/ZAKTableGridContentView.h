#pragma once
// The cells of a table grid, the document view of its content scroll view:
// draws the visible cells, the selection outline with its grab handle and
// the drop indicators; turns clicks and drags into a rectangular selection
// (scrolling while the mouse is dragged past the edge); edits one cell in
// place; and passes every drop message on to the grid.
#include "AppKit/NSDragging.h"
#include "AppKit/NSText.h"
#include "AppKit/NSView.h"
#include "Foundation/NSTimer.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridCell.h"

class ZAKTableGrid;
class NSCursor;

class ZAKTableGridContentView : public NSView, public NSDraggingDestination, public virtual NSTextDelegate {
    NS_OBJECT(ZAKTableGridContentView, NSView)
protected:
    ZAKTableGridContentView() = default;

public:
    ~ZAKTableGridContentView() override;
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    static void describeClass(NSClassMembers<ZAKTableGridContentView>& m);
    bool isFlipped() const override { return true; }
    // The grid: the superview of the enclosing scroll view.
    Ref<ZAKTableGrid> tableGrid() const;

    // --- Geometry (content coordinates) ---
    NSRect rectOfColumn(NSUInteger column) const;
    NSRect rectOfRow(NSUInteger row) const;
    NSRect frameOfCellAtColumnRow(NSUInteger column, NSUInteger row) const;
    // NSNotFound outside every column (row).
    NSInteger columnAtPoint(NSPoint point) const;
    NSInteger rowAtPoint(NSPoint point) const;

    void drawRect(const NSRect& dirtyRect) override;
    void resetCursorRects() override;

    void mouseDown(const Ref<NSEvent>& event) override;
    void mouseDragged(const Ref<NSEvent>& event) override;
    void mouseUp(const Ref<NSEvent>& event) override;
    void _timerAutoscrollCallback(const Id& timer);

    // --- Editing ---
    void editSelectedCell(const Id& sender);
    bool isEditing() const { return m_editedColumn != NSNotFound; }
    NSInteger editedColumn() const { return m_editedColumn; }
    NSInteger editedRow() const { return m_editedRow; }
    void textDidEndEditing(const Ref<NSNotification>& note) override;

    // --- Drop state (the grid sets it) ---
    void _setDropColumn(NSInteger column);
    void _setDropRow(NSInteger row);
    void _setDraggingColumnOrRow(bool flag) { m_isDraggingColumnOrRow = flag; }
    NSInteger dropColumn() const { return m_dropColumn; }
    NSInteger dropRow() const { return m_dropRow; }
    bool isDraggingColumnOrRow() const { return m_isDraggingColumnOrRow; }
    bool hasAutoscrollTimer() const { return m_autoscrollTimer && m_autoscrollTimer->isValid(); }

    // --- Drop destination: passed on to the grid ---
    std::optional<NSDragOperation> draggingEntered(const Ref<NSDraggingInfo>& info) override;
    std::optional<NSDragOperation> draggingUpdated(const Ref<NSDraggingInfo>& info) override;
    void draggingExited(const Ref<NSDraggingInfo>& info) override;
    void draggingEnded(const Ref<NSDraggingInfo>& info) override;
    std::optional<bool> prepareForDragOperation(const Ref<NSDraggingInfo>& info) override;
    std::optional<bool> performDragOperation(const Ref<NSDraggingInfo>& info) override;
    void concludeDragOperation(const Ref<NSDraggingInfo>& info) override;

    // --- Cursors ---
    Ref<NSCursor> _cellSelectionCursor() const;
    Ref<NSCursor> _cellExtendSelectionCursor() const;
    NSRect grabHandleRect() const { return m_grabHandleRect; }

private:
    void startAutoscrollTimer();
    void stopAutoscrollTimer();
    static Ref<NSImage> cursorImage(bool extend);
    void drawSelection();
    void drawDropIndicators();

    NSInteger m_mouseDownColumn = NSNotFound;
    NSInteger m_mouseDownRow = NSNotFound;
    NSInteger m_editedColumn = NSNotFound;
    NSInteger m_editedRow = NSNotFound;
    Ref<NSImage> m_cursorImage;
    Ref<NSImage> m_cursorExtendSelectionImage;
    NSRect m_grabHandleRect = NSZeroRect;
    NSInteger m_dropColumn = NSNotFound;
    NSInteger m_dropRow = NSNotFound;
    // One timer at a time, invalidated at mouse-up, exit and drop.
    Ref<NSTimer> m_autoscrollTimer;
    bool m_isDraggingColumnOrRow = false;
    Ref<ZAKTableGridCell> m_cell;
};
