#include "AppKit/NSMatrix.h"

#include "Foundation/NSClass.h"

#include <algorithm>

#include "AppKit/NSApplication.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSCoder.h"
#include "WindowServer/USKeyboardLayout.h"

NS_CLASS_DEFINE(NSMatrix)

const NSClass& NSMatrix::cellClass() { return NSActionCell::staticClass(); }

Ref<NSView> NSMatrix::initWithFrame(const NSRect& frame)
{
    return initWithFrame(frame, NSRadioModeMatrix, static_cast<const NSClass*>(nullptr), 0, 0);
}

Ref<NSMatrix> NSMatrix::initWithFrame(const NSRect& frame, NSMatrixMode mode, const NSClass* cls, NSInteger rows,
                                      NSInteger columns)
{
    // The matrix's own cell keeps its target, action, tag and enabled state.
    NSControl::initWithFrame(frame);
    m_mode = mode;
    m_cellClass = cls;
    m_allowsEmptySelection = mode != NSRadioModeMatrix;
    renewRows(rows, columns);
    if (m_mode == NSRadioModeMatrix && !m_cells.empty()) selectCellAtRow(0, 0);
    return this;
}

Ref<NSMatrix> NSMatrix::initWithFrame(const NSRect& frame, NSMatrixMode mode, const Ref<NSCell>& prototype,
                                      NSInteger rows, NSInteger columns)
{
    m_prototype = prototype;
    if (prototype) m_cellSize = prototype->cellSize();
    return initWithFrame(frame, mode, static_cast<const NSClass*>(nullptr), rows, columns);
}

void NSMatrix::setMode(NSMatrixMode mode)
{
    m_mode = mode;
    if (mode == NSRadioModeMatrix && !m_allowsEmptySelection && m_selectedRow < 0 && !m_cells.empty())
        selectCellAtRow(0, 0);
}

void NSMatrix::setAllowsEmptySelection(bool flag)
{
    m_allowsEmptySelection = flag;
    if (!flag && m_mode == NSRadioModeMatrix && m_selectedRow < 0 && !m_cells.empty()) selectCellAtRow(0, 0);
}

// --- Cells ---

Ref<NSCell> NSMatrix::newCell() const
{
    Ref<NSCell> cell;
    if (m_prototype) cell = dynamic_ref_cast<NSCell>(m_prototype->copy());
    if (!cell) {
        const NSClass& cls = m_cellClass ? *m_cellClass : NSActionCell::staticClass();
        cell = dynamic_ref_cast<NSCell>(cls.allocInstance());
        if (cell) cell = dynamic_ref_cast<NSCell>(cell->init());
    }
    if (cell) cell->setControlView(const_cast<NSMatrix*>(this));
    return cell;
}

Ref<NSArray> NSMatrix::cells() const
{
    std::vector<Id> objects(m_cells.begin(), m_cells.end());
    return NSArray::arrayWithVector(std::move(objects));
}

Ref<NSCell> NSMatrix::cellAtRow(NSInteger row, NSInteger column) const
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns) return nullptr;
    return m_cells[size_t(row * m_columns + column)];
}

Ref<NSCell> NSMatrix::cellWithTag(NSInteger tag) const
{
    for (const auto& c : m_cells)
        if (c && c->tag() == tag) return c;
    return nullptr;
}

bool NSMatrix::getRow(NSInteger* row, NSInteger* column, const Ref<NSCell>& cell) const
{
    for (size_t i = 0; i < m_cells.size(); ++i) {
        if (m_cells[i] != cell) continue;
        if (row) *row = NSInteger(i) / m_columns;
        if (column) *column = NSInteger(i) % m_columns;
        return true;
    }
    return false;
}

bool NSMatrix::getRow(NSInteger* row, NSInteger* column, NSPoint p) const
{
    for (NSInteger r = 0; r < m_rows; ++r)
        for (NSInteger c = 0; c < m_columns; ++c)
            if (NSPointInRect(p, cellFrameAtRow(r, c))) {
                if (row) *row = r;
                if (column) *column = c;
                return true;
            }
    return false;
}

Ref<NSCell> NSMatrix::makeCellAtRow(NSInteger, NSInteger) { return newCell(); }

void NSMatrix::renewRows(NSInteger rows, NSInteger columns)
{
    rows = std::max<NSInteger>(0, rows);
    columns = std::max<NSInteger>(0, columns);
    std::vector<Ref<NSCell>> cells(size_t(rows * columns));
    for (NSInteger r = 0; r < rows; ++r)
        for (NSInteger c = 0; c < columns; ++c) {
            auto old = cellAtRow(r, c);
            cells[size_t(r * columns + c)] = old ? old : makeCellAtRow(r, c);
        }
    m_cells = std::move(cells);
    m_rows = rows;
    m_columns = columns;
    if (m_selectedRow >= rows || m_selectedColumn >= columns) m_selectedRow = m_selectedColumn = -1;
    setNeedsDisplay(true);
}

void NSMatrix::addRow() { renewRows(m_rows + 1, std::max<NSInteger>(1, m_columns)); }

void NSMatrix::addColumn() { renewRows(std::max<NSInteger>(1, m_rows), m_columns + 1); }

void NSMatrix::removeRow(NSInteger row)
{
    if (row < 0 || row >= m_rows) return;
    m_cells.erase(m_cells.begin() + row * m_columns, m_cells.begin() + (row + 1) * m_columns);
    --m_rows;
    if (m_selectedRow == row) m_selectedRow = m_selectedColumn = -1;
    else if (m_selectedRow > row) --m_selectedRow;
    setNeedsDisplay(true);
}

void NSMatrix::putCell(const Ref<NSCell>& cell, NSInteger row, NSInteger column)
{
    if (!cellAtRow(row, column) && (row < 0 || column < 0 || row >= m_rows || column >= m_columns)) return;
    m_cells[size_t(row * m_columns + column)] = cell;
    if (cell) cell->setControlView(this);
    setNeedsDisplay(true);
}

// --- Geometry ---

void NSMatrix::setCellSize(NSSize size)
{
    m_cellSize = size;
    setNeedsDisplay(true);
}

void NSMatrix::setIntercellSpacing(NSSize spacing)
{
    m_spacing = spacing;
    setNeedsDisplay(true);
}

NSRect NSMatrix::cellFrameAtRow(NSInteger row, NSInteger column) const
{
    return NSMakeRect(column * (m_cellSize.width + m_spacing.width), row * (m_cellSize.height + m_spacing.height),
                      m_cellSize.width, m_cellSize.height);
}

void NSMatrix::sizeToCells()
{
    const CGFloat w = m_columns * m_cellSize.width + std::max<NSInteger>(0, m_columns - 1) * m_spacing.width;
    const CGFloat h = m_rows * m_cellSize.height + std::max<NSInteger>(0, m_rows - 1) * m_spacing.height;
    setFrameSize(NSMakeSize(w, h));
}

// --- Selection ---

Ref<NSCell> NSMatrix::selectedCell() const { return cellAtRow(m_selectedRow, m_selectedColumn); }

Ref<NSArray> NSMatrix::selectedCells() const
{
    std::vector<Id> selected;
    for (const auto& c : m_cells)
        if (c && (c->state() != NSOffState || c == selectedCell())) selected.push_back(c);
    return NSArray::arrayWithVector(std::move(selected));
}

void NSMatrix::setCellStates(const Ref<NSCell>& selected)
{
    if (m_mode != NSRadioModeMatrix) {
        if (selected) selected->setState(NSOnState);
        return;
    }
    for (const auto& c : m_cells)
        if (c) c->setState(c == selected ? NSOnState : NSOffState);
}

void NSMatrix::selectCellAtRow(NSInteger row, NSInteger column)
{
    auto cell = cellAtRow(row, column);
    if (!cell) {
        if (m_mode == NSRadioModeMatrix && !m_allowsEmptySelection) return;
        return deselectAllCells();
    }
    m_selectedRow = row;
    m_selectedColumn = column;
    setCellStates(cell);
    setNeedsDisplay(true);
}

bool NSMatrix::selectCellWithTag(NSInteger tag)
{
    NSInteger row = -1, column = -1;
    auto cell = cellWithTag(tag);
    if (!cell || !getRow(&row, &column, cell)) return false;
    selectCellAtRow(row, column);
    return true;
}

void NSMatrix::selectCell(const Ref<NSCell>& cell)
{
    NSInteger row = -1, column = -1;
    if (getRow(&row, &column, cell)) selectCellAtRow(row, column);
}

void NSMatrix::deselectAllCells()
{
    if (m_mode == NSRadioModeMatrix && !m_allowsEmptySelection && m_selectedRow >= 0) return;
    for (const auto& c : m_cells)
        if (c) c->setState(NSOffState);
    m_selectedRow = m_selectedColumn = -1;
    setNeedsDisplay(true);
}

void NSMatrix::deselectSelectedCell()
{
    if (m_mode == NSRadioModeMatrix && !m_allowsEmptySelection) return;
    if (auto c = selectedCell()) c->setState(NSOffState);
    m_selectedRow = m_selectedColumn = -1;
    setNeedsDisplay(true);
}

void NSMatrix::selectAll(const Id&)
{
    if (m_mode == NSRadioModeMatrix) return;
    for (const auto& c : m_cells)
        if (c) c->setState(NSOnState);
    setNeedsDisplay(true);
}

bool NSMatrix::sendAction()
{
    auto cell = selectedCell();
    if (cell && !cell->action().empty()) return NSControl::sendAction(cell->action(), cell->target());
    return NSControl::sendAction(action(), target());
}

// --- Events and drawing ---

void NSMatrix::drawRect(const NSRect&)
{
    for (NSInteger r = 0; r < m_rows; ++r)
        for (NSInteger c = 0; c < m_columns; ++c)
            if (auto cell = cellAtRow(r, c)) cell->drawWithFrame(cellFrameAtRow(r, c), this);
}

void NSMatrix::mouseDown(const Ref<NSEvent>& event)
{
    if (!isEnabled()) return;
    Ref<NSMatrix> self(this);
    NSInteger row = -1, column = -1;
    if (!getRow(&row, &column, convertPoint(event->locationInWindow(), nullptr))) return;
    auto cell = cellAtRow(row, column);
    if (!cell || !cell->isEnabled()) return;
    cell->setHighlighted(true);
    const bool upInside = cell->trackMouse(event, cellFrameAtRow(row, column), self, false);
    cell->setHighlighted(false);
    if (!upInside) return;
    if (m_mode == NSRadioModeMatrix) selectCellAtRow(row, column);
    else {
        m_selectedRow = row;
        m_selectedColumn = column;
        cell->didClickInside();
    }
    setNeedsDisplay(true);
    sendAction();
}

void NSMatrix::moveSelection(NSInteger dRow, NSInteger dColumn)
{
    if (m_cells.empty()) return;
    NSInteger row = std::max<NSInteger>(0, m_selectedRow), column = std::max<NSInteger>(0, m_selectedColumn);
    // Skip disabled cells; stop at the edges.
    for (;;) {
        row += dRow;
        column += dColumn;
        auto cell = cellAtRow(row, column);
        if (!cell) return;
        if (!cell->isEnabled()) continue;
        selectCellAtRow(row, column);
        sendAction();
        return;
    }
}

void NSMatrix::keyDown(const Ref<NSEvent>& event)
{
    if (!isEnabled()) return NSControl::keyDown(event);
    switch (event->keyCode()) {
    case kVK_UpArrow: return moveSelection(-1, 0);
    case kVK_DownArrow: return moveSelection(1, 0);
    case kVK_LeftArrow: return moveSelection(0, -1);
    case kVK_RightArrow: return moveSelection(0, 1);
    default: return NSControl::keyDown(event);
    }
}

// --- Coding ---

void NSMatrix::encodeWithCoder(NSCoder* c) const
{
    NSControl::encodeWithCoder(c);
    c->encodeInteger(m_rows, "NSNumRows"_ns);
    c->encodeInteger(m_columns, "NSNumCols"_ns);
    c->encodeObject(cells(), "NSCells"_ns);
    c->encodeSize(m_cellSize, "NSCellSize"_ns);
    c->encodeSize(m_spacing, "NSIntercellSpacing"_ns);
    c->encodeInteger(NSInteger(m_mode), "NSMatrixMode"_ns);
    c->encodeInteger(m_selectedRow, "NSSelectedRow"_ns);
    c->encodeInteger(m_selectedColumn, "NSSelectedCol"_ns);
    c->encodeBool(m_allowsEmptySelection, "NSAllowsEmptySelection"_ns);
    c->encodeObject(m_prototype, "NSProtoCell"_ns);
}

Id NSMatrix::initWithCoder(NSCoder* c)
{
    NSControl::initWithCoder(c);
    m_rows = std::max<NSInteger>(0, c->decodeIntegerForKey("NSNumRows"_ns));
    m_columns = std::max<NSInteger>(0, c->decodeIntegerForKey("NSNumCols"_ns));
    m_cellSize = c->decodeSizeForKey("NSCellSize"_ns);
    m_spacing = c->decodeSizeForKey("NSIntercellSpacing"_ns);
    m_mode = NSMatrixMode(c->decodeIntegerForKey("NSMatrixMode"_ns));
    m_allowsEmptySelection = c->decodeBoolForKey("NSAllowsEmptySelection"_ns);
    m_prototype = dynamic_ref_cast<NSCell>(c->decodeObjectForKey("NSProtoCell"_ns));
    m_cells.assign(size_t(m_rows * m_columns), nullptr);
    if (auto array = dynamic_ref_cast<NSArray>(c->decodeObjectForKey("NSCells"_ns))) {
        for (NSUInteger i = 0; i < array->count() && i < m_cells.size(); ++i)
            m_cells[i] = dynamic_ref_cast<NSCell>(array->objectAtIndex(i));
    }
    // A file with fewer cells than rows x columns gets the rest made.
    for (auto& cell : m_cells) {
        if (!cell) cell = newCell();
        if (cell) cell->setControlView(this);
    }
    m_selectedRow = c->containsValueForKey("NSSelectedRow"_ns) ? c->decodeIntegerForKey("NSSelectedRow"_ns) : -1;
    m_selectedColumn = c->containsValueForKey("NSSelectedCol"_ns) ? c->decodeIntegerForKey("NSSelectedCol"_ns) : -1;
    if (!cellAtRow(m_selectedRow, m_selectedColumn)) m_selectedRow = m_selectedColumn = -1;
    return this;
}
