#pragma once
// The column header (above the cells) or the row header (beside them) of a
// table grid, each the document view of a scroll view that follows the
// cells' scrolling. Clicks select whole columns (rows), dragging along the
// header extends that selection, a press on a selected whole column (row)
// and a drag of more than 5 points moves the selection, and in the column
// header dragging a column's right edge resizes it.
#include "AppKit/NSView.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridHeaderCell.h"

class ZAKTableGrid;

class ZAKTableGridHeaderView : public NSView {
    NS_OBJECT(ZAKTableGridHeaderView, NSView)
protected:
    ZAKTableGridHeaderView() = default;

public:
    static constexpr int32_t kColumnHeader = 0;
    static constexpr int32_t kRowHeader = 1;

    ~ZAKTableGridHeaderView() override;
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    bool isFlipped() const override { return true; }
    // The grid: the superview of the enclosing scroll view.
    Ref<ZAKTableGrid> tableGrid() const;

    int32_t orientation() const { return m_orientation; }
    void setOrientation(int32_t orientation) { m_orientation = orientation; }
    Ref<ZAKTableGridHeaderCell> headerCell() const { return m_headerCell; }
    void setHeaderCell(const Ref<ZAKTableGridHeaderCell>& cell) { m_headerCell = cell; }

    NSRect headerRectOfColumn(NSUInteger column) const;
    NSRect headerRectOfRow(NSUInteger row) const;

    void drawRect(const NSRect& dirtyRect) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void mouseDragged(const Ref<NSEvent>& event) override;
    void mouseUp(const Ref<NSEvent>& event) override;
    void mouseEntered(const Ref<NSEvent>& event) override;
    void mouseExited(const Ref<NSEvent>& event) override;

    bool canResize() const { return m_canResize; }
    bool isResizing() const { return m_isResizing; }
    // The resize areas installed now, one per visible column.
    const std::vector<Ref<NSTrackingArea>>& resizeAreas() const { return m_trackingAreas; }

private:
    void rebuildResizeAreas();
    // The column (row) under a point of this view, in grid terms.
    NSInteger itemAtPoint(NSPoint point) const;
    void selectWholeItems(NSUInteger first, NSUInteger last);

    Ref<ZAKTableGridHeaderCell> m_headerCell;
    int32_t m_orientation = kColumnHeader;
    NSInteger m_mouseDownItem = -1;
    NSPoint m_mouseDownLocation = NSZeroPoint;
    NSPoint m_lastMouseDraggingLocation = NSZeroPoint;
    bool m_shouldDragItems = false;
    bool m_isInDrag = false;
    std::vector<Ref<NSTrackingArea>> m_trackingAreas;
    bool m_canResize = false;
    bool m_isResizing = false;
    NSUInteger m_draggingColumnIndex = 0;
};
