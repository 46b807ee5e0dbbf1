#pragma once
// A grid of cells of one size, such as a group of radio buttons. In radio
// mode exactly one cell is on (none only when empty selection is allowed);
// a click or the arrow keys select a cell and send its action (the cell's
// own when it has one, else the matrix's). Cells are made from the
// prototype, else from the cell class.
//
// Keyed-coding keys (after NSControl's): NSNumRows, NSNumCols, NSCells,
// NSCellSize, NSIntercellSpacing, NSMatrixMode, NSSelectedRow,
// NSSelectedCol, NSAllowsEmptySelection, NSProtoCell.
#include <vector>

#include "AppKit/NSActionCell.h"
#include "AppKit/NSControl.h"

enum NSMatrixMode : NSUInteger {
    NSRadioModeMatrix = 0,
    NSHighlightModeMatrix = 1,
    NSListModeMatrix = 2,
    NSTrackModeMatrix = 3,
};

class NSMatrix : public NSControl {
    NS_OBJECT(NSMatrix, NSControl)
protected:
    NSMatrix() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    // initWithFrame:mode:cellClass:numberOfRows:numberOfColumns: (a null
    // class means NSActionCell).
    Ref<NSMatrix> initWithFrame(const NSRect& frame, NSMatrixMode mode, const NSClass* cellClass, NSInteger rows,
                                NSInteger columns);
    // initWithFrame:mode:prototype:numberOfRows:numberOfColumns:
    Ref<NSMatrix> initWithFrame(const NSRect& frame, NSMatrixMode mode, const Ref<NSCell>& prototype, NSInteger rows,
                                NSInteger columns);

    NSMatrixMode mode() const { return m_mode; }
    void setMode(NSMatrixMode mode);
    bool allowsEmptySelection() const { return m_allowsEmptySelection; }
    void setAllowsEmptySelection(bool flag);
    Ref<NSCell> prototype() const { return m_prototype; }
    void setPrototype(const Ref<NSCell>& cell) { m_prototype = cell; }
    const NSClass* matrixCellClass() const { return m_cellClass; }
    void setCellClass(const NSClass* cls) { m_cellClass = cls; }

    // --- Cells ---
    NSInteger numberOfRows() const { return m_rows; }
    NSInteger numberOfColumns() const { return m_columns; }
    Ref<NSArray> cells() const;
    Ref<NSCell> cellAtRow(NSInteger row, NSInteger column) const;
    Ref<NSCell> cellWithTag(NSInteger tag) const;
    bool getRow(NSInteger* row, NSInteger* column, const Ref<NSCell>& cell) const;
    bool getRow(NSInteger* row, NSInteger* column, NSPoint point) const;
    Ref<NSCell> makeCellAtRow(NSInteger row, NSInteger column);
    void addRow();
    void addColumn();
    void renewRows(NSInteger rows, NSInteger columns);
    void removeRow(NSInteger row);
    void putCell(const Ref<NSCell>& cell, NSInteger row, NSInteger column);

    // --- Geometry ---
    NSSize cellSize() const { return m_cellSize; }
    void setCellSize(NSSize size);
    NSSize intercellSpacing() const { return m_spacing; }
    void setIntercellSpacing(NSSize spacing);
    NSRect cellFrameAtRow(NSInteger row, NSInteger column) const;
    void sizeToCells();
    void sizeToFit() override { sizeToCells(); }

    // --- Selection ---
    Ref<NSCell> selectedCell() const override;
    NSInteger selectedRow() const { return m_selectedRow; }
    NSInteger selectedColumn() const { return m_selectedColumn; }
    Ref<NSArray> selectedCells() const;
    void selectCellAtRow(NSInteger row, NSInteger column);
    bool selectCellWithTag(NSInteger tag);
    void selectCell(const Ref<NSCell>& cell);
    void deselectAllCells();
    void deselectSelectedCell();
    void selectAll(const Id& sender);

    // The selected cell's action (or the matrix's) from the matrix.
    bool sendAction();

    void drawRect(const NSRect& dirtyRect) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void keyDown(const Ref<NSEvent>& event) override;
    bool acceptsFirstResponder() const override { return isEnabled(); }

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    Ref<NSCell> newCell() const;
    void setCellStates(const Ref<NSCell>& selected);
    void moveSelection(NSInteger dRow, NSInteger dColumn);

    NSMatrixMode m_mode = NSRadioModeMatrix;
    bool m_allowsEmptySelection = false;
    Ref<NSCell> m_prototype;
    const NSClass* m_cellClass = nullptr;
    NSInteger m_rows = 0;
    NSInteger m_columns = 0;
    std::vector<Ref<NSCell>> m_cells;  // row-major
    NSSize m_cellSize{100, 18};
    NSSize m_spacing{1, 1};
    NSInteger m_selectedRow = -1;
    NSInteger m_selectedColumn = -1;
};
