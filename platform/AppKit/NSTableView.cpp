#include "AppKit/NSTableView.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSApplication.h"
#include "AppKit/NSClipView.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTableHeaderView.h"
#include "AppKit/NSTextFieldCell.h"
#include "AppKit/NSViewScrolling.h"
#include "AppKit/NSWindow.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"

NS_CLASS_DEFINE(NSTableView)

namespace {

// Marks the selection changes of a mouse or key event as the user's.
class UserSelection {
public:
    explicit UserSelection(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~UserSelection() { m_flag = false; }
    UserSelection(const UserSelection&) = delete;
    UserSelection& operator=(const UserSelection&) = delete;

private:
    bool& m_flag;
};

}

void NSTableView::describeClass(NSClassMembers<NSTableView>& m)
{
    m.action("deselectAll:", &NSTableView::deselectAll);
    m.action("selectAll:", &NSTableView::selectAll);
    m.action("moveUp:", &NSTableView::moveUp);
    m.action("moveDown:", &NSTableView::moveDown);
    m.action("moveUpAndModifySelection:", &NSTableView::moveUpAndModifySelection);
    m.action("moveDownAndModifySelection:", &NSTableView::moveDownAndModifySelection);
    m.action("scrollToBeginningOfDocument:", &NSTableView::scrollToBeginningOfDocument);
    m.action("scrollToEndOfDocument:", &NSTableView::scrollToEndOfDocument);
    m.property("rowHeight", &NSTableView::rowHeight, &NSTableView::setRowHeight);
    m.property("allowsMultipleSelection", &NSTableView::allowsMultipleSelection,
               &NSTableView::setAllowsMultipleSelection);
    m.property("allowsEmptySelection", &NSTableView::allowsEmptySelection, &NSTableView::setAllowsEmptySelection);
    // Interface files connect the "dataSource" outlet through this.
    m.property("dataSource", &NSTableView::dataSource, &NSTableView::setDataSource);
}

NSTableView::~NSTableView()
{
    if (m_superviewObserver) NSNotificationCenter::defaultCenter()->removeObserver(m_superviewObserver);
}

void NSTableView::setUpDefaults()
{
    m_selectedRows = NSMutableIndexSet::indexSet();
    m_selectedColumns = NSMutableIndexSet::indexSet();
    m_gridColor = NSColor::gridColor();
    m_backgroundColor = NSColor::controlBackgroundColor();
}

Ref<NSView> NSTableView::initWithFrame(const NSRect& frame)
{
    NSControl::initWithFrame(frame);
    setUpDefaults();
    auto header = alloc<NSTableHeaderView>();
    header->initWithFrame(NSMakeRect(0, 0, frame.size.width, NSTableHeaderView::kHeight));
    setHeaderView(header);
    return this;
}

// --- Data source and delegate ---

NSTableViewDataSource* NSTableView::dataSourceProtocol() const
{
    return dynamic_cast<NSTableViewDataSource*>(m_dataSource.get().get());
}

NSTableViewDelegate* NSTableView::delegateProtocol() const
{
    return dynamic_cast<NSTableViewDelegate*>(m_delegate.get().get());
}

void NSTableView::setDataSource(const Id& dataSource)
{
    m_dataSource = dataSource;
    reloadData();
}

// --- Columns ---

void NSTableView::addTableColumn(const Ref<NSTableColumn>& column)
{
    if (!column) return;
    column->setTableView(this);
    m_columns.push_back(column);
    tile();
}

void NSTableView::removeTableColumn(const Ref<NSTableColumn>& column)
{
    auto it = std::find(m_columns.begin(), m_columns.end(), column);
    if (it == m_columns.end()) return;
    const auto index = NSUInteger(it - m_columns.begin());
    column->setTableView(nullptr);
    m_columns.erase(it);
    m_selectedColumns->removeIndex(index);
    m_selectedColumns->shiftIndexesStartingAtIndex(index + 1, -1);
    tile();
}

void NSTableView::moveColumn(NSInteger from, NSInteger to)
{
    const auto count = numberOfColumns();
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
    auto column = m_columns[size_t(from)];
    m_columns.erase(m_columns.begin() + from);
    m_columns.insert(m_columns.begin() + to, column);
    setNeedsDisplay(true);
    if (m_headerView) m_headerView->setNeedsDisplay(true);
}

NSInteger NSTableView::columnWithIdentifier(const Id& identifier) const
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const Id own = m_columns[i]->identifier();
        if (own == identifier || (own && identifier && own->isEqual(identifier.get()))) return NSInteger(i);
    }
    return -1;
}

Ref<NSTableColumn> NSTableView::tableColumnWithIdentifier(const Id& identifier) const
{
    const NSInteger index = columnWithIdentifier(identifier);
    return index < 0 ? nullptr : m_columns[size_t(index)];
}

void NSTableView::setHeaderView(const Ref<NSTableHeaderView>& headerView)
{
    if (m_headerView) m_headerView->setTableView(nullptr);
    m_headerView = headerView;
    if (headerView) headerView->setTableView(this);
    tile();
    if (auto scrollView = NSViewExt::enclosingScrollView(this)) scrollView->tile();
}

// --- Rows and geometry ---

void NSTableView::reloadData()
{
    m_numberOfRows = -1;
    noteNumberOfRowsChanged();
}

void NSTableView::noteNumberOfRowsChanged()
{
    m_numberOfRows = -1;
    const NSInteger rows = numberOfRows();
    // Rows that no longer exist leave the selection.
    if (m_selectedRows && m_selectedRows->count() > 0 && NSInteger(m_selectedRows->lastIndex()) >= rows) {
        auto kept = NSMutableIndexSet::indexSet();
        kept->addIndexes(m_selectedRows);
        kept->removeIndexesInRange(NSMakeRange(NSUInteger(rows), NSUIntegerMax - NSUInteger(rows)));
        setSelection(kept);
    }
    tile();
    setNeedsDisplay(true);
}

NSInteger NSTableView::numberOfRows() const
{
    if (m_numberOfRows >= 0) return m_numberOfRows;
    m_numberOfRows = std::max<NSInteger>(0, rowCountFromDataSource());
    return m_numberOfRows;
}

NSInteger NSTableView::rowCountFromDataSource() const
{
    auto* source = dataSourceProtocol();
    const auto answer = source ? source->numberOfRowsInTableView(const_cast<NSTableView*>(this)) : std::nullopt;
    return answer.value_or(0);
}

CGFloat NSTableView::heightOfAllRows() const { return CGFloat(numberOfRows()) * rowPitch(); }

void NSTableView::setRowHeight(CGFloat height)
{
    if (!std::isfinite(height) || height <= 0 || height == m_rowHeight) return;
    m_rowHeight = height;
    tile();
}

void NSTableView::setIntercellSpacing(NSSize spacing)
{
    m_intercellSpacing = {std::max(0.0, spacing.width), std::max(0.0, spacing.height)};
    tile();
}

NSRect NSTableView::rectOfRow(NSInteger row) const
{
    if (row < 0 || row >= numberOfRows()) return NSZeroRect;
    return NSMakeRect(0, CGFloat(row) * rowPitch(), bounds().size.width, rowPitch());
}

NSRect NSTableView::rectOfColumn(NSInteger column) const
{
    if (column < 0 || column >= numberOfColumns()) return NSZeroRect;
    CGFloat x = 0;
    for (NSInteger c = 0; c < column; ++c)
        if (!m_columns[size_t(c)]->isHidden()) x += m_columns[size_t(c)]->width() + m_intercellSpacing.width;
    const auto& col = m_columns[size_t(column)];
    const CGFloat width = col->isHidden() ? 0 : col->width() + m_intercellSpacing.width;
    return NSMakeRect(x, 0, width, bounds().size.height);
}

NSRect NSTableView::frameOfCellAtColumnRow(NSInteger column, NSInteger row) const
{
    const NSRect r = rectOfRow(row);
    const NSRect c = rectOfColumn(column);
    if (NSIsEmptyRect(r) || NSIsEmptyRect(c)) return NSZeroRect;
    return NSMakeRect(c.origin.x + m_intercellSpacing.width / 2, r.origin.y + m_intercellSpacing.height / 2,
                      c.size.width - m_intercellSpacing.width, m_rowHeight);
}

NSRange NSTableView::rowsInRect(const NSRect& rect) const
{
    const NSInteger rows = numberOfRows();
    if (rows == 0 || NSIsEmptyRect(rect)) return NSMakeRange(0, 0);
    const auto first = std::clamp<NSInteger>(NSInteger(std::floor(NSMinY(rect) / rowPitch())), 0, rows);
    const auto end = std::clamp<NSInteger>(NSInteger(std::ceil(NSMaxY(rect) / rowPitch())), first, rows);
    return NSMakeRange(NSUInteger(first), NSUInteger(end - first));
}

NSInteger NSTableView::rowAtPoint(NSPoint point) const
{
    if (point.y < 0 || point.x < 0 || point.x >= bounds().size.width) return -1;
    const auto row = NSInteger(std::floor(point.y / rowPitch()));
    return row < numberOfRows() ? row : -1;
}

NSInteger NSTableView::columnAtPoint(NSPoint point) const
{
    for (NSInteger c = 0; c < numberOfColumns(); ++c) {
        const NSRect r = rectOfColumn(c);
        if (point.x >= NSMinX(r) && point.x < NSMaxX(r)) return c;
    }
    return -1;
}

void NSTableView::tile()
{
    if (m_tiling) return;
    m_tiling = true;
    CGFloat width = 0;
    for (const auto& c : m_columns)
        if (!c->isHidden()) width += c->width() + m_intercellSpacing.width;
    NSSize size{width, heightOfAllRows()};
    if (auto clip = dynamic_ref_cast<NSClipView>(superview())) {
        size.width = std::max(size.width, clip->bounds().size.width);
        size.height = std::max(size.height, clip->bounds().size.height);
    }
    setFrameSize(size);
    if (m_headerView) m_headerView->setFrameSize(NSMakeSize(size.width, m_headerView->frame().size.height));
    m_tiling = false;
    setNeedsDisplay(true);
    if (m_headerView) m_headerView->setNeedsDisplay(true);
}

void NSTableView::sizeLastColumnToFit()
{
    if (m_columns.empty()) return;
    auto clip = dynamic_ref_cast<NSClipView>(superview());
    const CGFloat available = clip ? clip->bounds().size.width : bounds().size.width;
    const auto& last = m_columns.back();
    const CGFloat others = NSMinX(rectOfColumn(numberOfColumns() - 1));
    last->setWidth(available - others - m_intercellSpacing.width);
}

void NSTableView::viewDidMoveToSuperview()
{
    auto center = NSNotificationCenter::defaultCenter();
    if (m_superviewObserver) center->removeObserver(m_superviewObserver);
    m_superviewObserver = nullptr;
    auto clip = dynamic_ref_cast<NSClipView>(superview());
    if (!clip) return;
    // The table fills its clip view: follow the clip view's size.
    Weak<NSTableView> weak(this);
    m_superviewObserver = center->addObserverForName(NSString::stringWithUTF8String(NSViewFrameDidChangeNotification),
                                                     clip, nullptr, [weak](const Ref<NSNotification>&) {
                                                         if (auto self = weak.get()) self->tile();
                                                     });
    tile();
}

// --- Appearance ---

void NSTableView::setGridStyleMask(NSUInteger mask)
{
    m_gridStyleMask = mask;
    setNeedsDisplay(true);
}

void NSTableView::setGridColor(const Ref<NSColor>& color)
{
    m_gridColor = color;
    setNeedsDisplay(true);
}

void NSTableView::setBackgroundColor(const Ref<NSColor>& color)
{
    m_backgroundColor = color;
    setNeedsDisplay(true);
}

void NSTableView::setUsesAlternatingRowBackgroundColors(bool flag)
{
    m_alternatingRows = flag;
    setNeedsDisplay(true);
}

// --- Selection ---

void NSTableView::setSelection(const Ref<NSIndexSet>& proposed)
{
    Ref<NSIndexSet> rows = proposed;
    if (m_userSelecting) {
        rows = selectionIndexesForProposedSelection(proposed);
        if (!rows) rows = NSIndexSet::indexSet();
    }
    if (m_selectedRows->isEqualToIndexSet(rows)) return;
    if (m_userSelecting) selectionIsChanging();
    m_selectedRows->removeAllIndexes();
    m_selectedRows->addIndexes(rows);
    if (!m_selectedRows->containsIndex(NSUInteger(std::max<NSInteger>(m_lastSelectedRow, 0))) || m_lastSelectedRow < 0)
        m_lastSelectedRow = m_selectedRows->count() ? NSInteger(m_selectedRows->lastIndex()) : -1;
    if (m_anchorRow >= 0 && !m_selectedRows->containsIndex(NSUInteger(m_anchorRow))) m_anchorRow = m_lastSelectedRow;
    setNeedsDisplay(true);
    selectionDidChange();
}

void NSTableView::selectionDidChange()
{
    auto note = NSNotification::notificationWithName(
        NSString::stringWithUTF8String(NSTableViewSelectionDidChangeNotification), Ref<NSTableView>(this));
    if (auto* d = delegateProtocol()) d->tableViewSelectionDidChange(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

void NSTableView::selectRowIndexes(const Ref<NSIndexSet>& indexes, bool extend)
{
    auto rows = NSMutableIndexSet::indexSet();
    if (extend && m_allowsMultipleSelection) rows->addIndexes(m_selectedRows);
    NSInteger last = -1;
    const NSInteger count = numberOfRows();
    if (indexes) {
        indexes->enumerateIndexesUsingBlock([&](NSUInteger i, bool* stop) {
            if (NSInteger(i) >= count) {
                *stop = true;
                return;
            }
            last = NSInteger(i);
            if (m_allowsMultipleSelection) rows->addIndex(i);
        });
    }
    if (!m_allowsMultipleSelection && last >= 0) rows->addIndex(NSUInteger(last));
    if (!m_allowsMultipleSelection && last < 0 && extend) rows->addIndexes(m_selectedRows);
    if (last >= 0) m_lastSelectedRow = last;
    if (last >= 0 && (!extend || m_anchorRow < 0)) m_anchorRow = last;
    if (rows->count() == 0 && !m_allowsEmptySelection && m_selectedRows->count() > 0) return;
    setSelection(rows);
}

void NSTableView::rowsShifted(NSInteger start, NSInteger delta)
{
    if (delta == 0 || start < 0) return;
    auto shift = [&](NSInteger& row) {
        if (row < start) return;
        row = delta < 0 && row < start - delta ? -1 : row + delta;
    };
    // The rows removed are start .. start - delta - 1; the others move.
    const NSUInteger from = NSUInteger(delta < 0 ? start - delta : start);
    auto rows = NSMutableIndexSet::indexSet();
    rows->addIndexes(m_selectedRows);
    rows->shiftIndexesStartingAtIndex(from, delta);
    shift(m_lastSelectedRow);
    shift(m_anchorRow);
    const bool lost = rows->count() != m_selectedRows->count();
    m_numberOfRows = -1;
    if (lost) {
        setSelection(rows);
    } else {
        m_selectedRows->removeAllIndexes();
        m_selectedRows->addIndexes(rows);
    }
    tile();
}

void NSTableView::deselectRow(NSInteger row)
{
    if (!isRowSelected(row)) return;
    if (m_selectedRows->count() == 1 && !m_allowsEmptySelection) return;
    auto rows = NSMutableIndexSet::indexSet();
    rows->addIndexes(m_selectedRows);
    rows->removeIndex(NSUInteger(row));
    if (m_lastSelectedRow == row) m_lastSelectedRow = -1;
    setSelection(rows);
}

void NSTableView::deselectAll(const Id&)
{
    if (!m_allowsEmptySelection) return;
    m_lastSelectedRow = -1;
    m_anchorRow = -1;
    setSelection(NSIndexSet::indexSet());
    m_selectedColumns->removeAllIndexes();
}

void NSTableView::selectAll(const Id&)
{
    if (!m_allowsMultipleSelection) return;
    selectRowIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(0, NSUInteger(numberOfRows()))), false);
}

NSInteger NSTableView::selectedRow() const
{
    if (m_selectedRows->count() == 0) return -1;
    if (m_lastSelectedRow >= 0 && m_selectedRows->containsIndex(NSUInteger(m_lastSelectedRow)))
        return m_lastSelectedRow;
    return NSInteger(m_selectedRows->lastIndex());
}

Ref<NSIndexSet> NSTableView::selectedRowIndexes() const { return NSIndexSet::indexSetWithIndexSet(m_selectedRows); }

bool NSTableView::isRowSelected(NSInteger row) const
{
    return row >= 0 && m_selectedRows->containsIndex(NSUInteger(row));
}

NSInteger NSTableView::selectedColumn() const
{
    return m_selectedColumns->count() ? NSInteger(m_selectedColumns->lastIndex()) : -1;
}

Ref<NSIndexSet> NSTableView::selectedColumnIndexes() const
{
    return NSIndexSet::indexSetWithIndexSet(m_selectedColumns);
}

void NSTableView::selectColumnIndexes(const Ref<NSIndexSet>& indexes, bool extend)
{
    if (!m_allowsColumnSelection) return;
    if (!extend) m_selectedColumns->removeAllIndexes();
    if (indexes) {
        indexes->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) {
            if (NSInteger(i) < numberOfColumns()) m_selectedColumns->addIndex(i);
        });
    }
    // Selecting columns clears the row selection, as the platform does.
    if (m_selectedColumns->count()) {
        m_lastSelectedRow = -1;
        setSelection(NSIndexSet::indexSet());
    }
    setNeedsDisplay(true);
    if (m_headerView) m_headerView->setNeedsDisplay(true);
}

void NSTableView::scrollRowToVisible(NSInteger row)
{
    const NSRect r = rectOfRow(row);
    if (!NSIsEmptyRect(r)) NSViewExt::scrollRectToVisible(this, r);
}

void NSTableView::scrollColumnToVisible(NSInteger column)
{
    const NSRect r = rectOfColumn(column);
    if (!NSIsEmptyRect(r)) NSViewExt::scrollRectToVisible(this, r);
}

bool NSTableView::userMaySelectRow(NSInteger row)
{
    if (row < 0 || row >= numberOfRows()) return false;
    auto* d = delegateProtocol();
    return !d || d->tableViewShouldSelectRow(this, row).value_or(true);
}

// --- Values ---

Id NSTableView::objectValueAtColumnRow(NSInteger column, NSInteger row)
{
    if (column < 0 || column >= numberOfColumns() || row < 0 || row >= numberOfRows()) return nullptr;
    auto* source = dataSourceProtocol();
    if (!source) return nullptr;
    return source->tableViewObjectValueForTableColumnRow(this, m_columns[size_t(column)].get(), row).value_or(nullptr);
}

bool NSTableView::canEditColumnRow(NSInteger column, NSInteger row)
{
    if (column < 0 || column >= numberOfColumns() || row < 0 || row >= numberOfRows()) return false;
    const auto& col = m_columns[size_t(column)];
    if (!col->isEditable()) return false;
    auto* d = delegateProtocol();
    return !d || d->tableViewShouldEditTableColumnRow(this, col.get(), row).value_or(true);
}

Ref<NSCell> NSTableView::preparedCellAtColumnRow(NSInteger column, NSInteger row)
{
    if (column < 0 || column >= numberOfColumns()) return nullptr;
    const auto& col = m_columns[size_t(column)];
    auto cell = col->dataCellForRow(row);
    if (!cell) return nullptr;
    // The shared cell has no control view: setting its value for each row
    // while drawing must not mark the table for display again.
    cell->setControlView(nullptr);
    cell->setObjectValue(objectValueAtColumnRow(column, row));
    cell->setHighlighted(isRowSelected(row));
    if (auto* d = delegateProtocol()) d->tableViewWillDisplayCellForTableColumnRow(this, cell, col.get(), row);
    return cell;
}

// --- Editing ---

void NSTableView::editColumn(NSInteger column, NSInteger row, const Ref<NSEvent>& event, bool select)
{
    if (!canEditColumnRow(column, row)) return;
    // A cell already being edited commits first.
    if (currentEditor())
        if (auto w = window()) w->makeFirstResponder(this);
    if (currentEditor()) return;
    scrollRowToVisible(row);
    auto editor = windowFieldEditor();
    auto prepared = preparedCellAtColumnRow(column, row);
    if (!editor || !prepared) return;
    // The copy draws the edit; the column's cell goes on drawing the others.
    m_editingCell = dynamic_ref_cast<NSCell>(prepared->copy());
    if (!m_editingCell) return;
    m_editingCell->setEditable(true);
    m_editingCell->setHighlighted(false);
    if (auto d = textDelegate()) {
        auto ok = d->controlTextShouldBeginEditing(this, editor);
        if (ok && !*ok) {
            m_editingCell = nullptr;
            return;
        }
    }
    m_editedColumn = column;
    m_editedRow = row;
    m_editingOriginal = m_editingCell->stringValue();
    m_editor = editor;
    const NSRect frame = frameOfCellAtColumnRow(column, row);
    m_editingCell->setControlView(this);
    if (select)
        m_editingCell->selectWithFrame(frame, this, editor, Id(this), 0, NSInteger(m_editingOriginal->length()));
    else m_editingCell->editWithFrame(frame, this, editor, Id(this), event);
    setNeedsDisplayInRect(frame);
    m_beginPosted = true;
    postTextNotification(NSControlTextDidBeginEditingNotification, editor.get(), std::nullopt);
}

void NSTableView::finishEditing()
{
    if (m_editedRow >= 0 && m_editedColumn >= 0)
        setNeedsDisplayInRect(frameOfCellAtColumnRow(m_editedColumn, m_editedRow));
    m_editingCell = nullptr;
    m_editingOriginal = nullptr;
    m_editedRow = m_editedColumn = -1;
}

bool NSTableView::abortEditing()
{
    auto editor = currentEditor();
    if (!editor) return false;
    if (m_editingCell) m_editingCell->endEditing(editor);
    m_editor = nullptr;
    m_beginPosted = false;
    auto w = window();
    if (w && w->firstResponder() == editor) w->makeFirstResponder(this);
    finishEditing();
    return true;
}

void NSTableView::textDidEndEditing(const Ref<NSNotification>& note)
{
    Ref<NSTableView> self(this);
    Ref<NSText> editor = dynamic_ref_cast<NSText>(note->object());
    if (!editor) return;
    const NSInteger movement = textMovementOf(note);
    const Ref<NSString> text = editor->string();
    const NSInteger row = m_editedRow, column = m_editedColumn;
    const bool changed = m_editingOriginal && !text->isEqualToString(m_editingOriginal);
    if (m_editingCell) m_editingCell->endEditing(editor);
    m_editor = nullptr;
    m_beginPosted = false;
    auto w = window();
    // The table takes the keys back, so the arrows move the selection again.
    if (w && (w->firstResponder() == editor || w->firstResponder().get() == w.get())) w->makeFirstResponder(this);
    finishEditing();
    // Return always commits; Escape restores the text, so nothing changed.
    const bool commit = movement == NSReturnTextMovement || movement == NSTabTextMovement ||
                        movement == NSBacktabTextMovement || changed;
    if (commit && row >= 0 && row < numberOfRows() && column >= 0 && column < numberOfColumns())
        setObjectValueAtColumnRow(text, column, row);
    postTextNotification(NSControlTextDidEndEditingNotification, editor.get(), movement);
}

void NSTableView::setObjectValueAtColumnRow(const Id& value, NSInteger column, NSInteger row)
{
    if (auto* source = dataSourceProtocol())
        source->tableViewSetObjectValueForTableColumnRow(this, value, m_columns[size_t(column)].get(), row);
}

// --- Events ---

void NSTableView::mouseDown(const Ref<NSEvent>& event)
{
    Ref<NSTableView> self(this);
    const UserSelection userSelection(m_userSelecting);
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    m_clickedRow = rowAtPoint(p);
    m_clickedColumn = m_clickedRow >= 0 ? columnAtPoint(p) : -1;
    const NSInteger row = m_clickedRow;
    const NSUInteger flags = event->modifierFlags();
    auto app = NSApplication::sharedApplication();

    if (event->clickCount() >= 2 && row >= 0) {
        if (m_clickedColumn >= 0 && canEditColumnRow(m_clickedColumn, row)) {
            editColumn(m_clickedColumn, row, event, true);
            return;
        }
        if (!m_doubleAction.empty()) app->sendAction(m_doubleAction, target(), self);
        return;
    }
    if (row < 0) {
        deselectAll(nullptr);
    } else if (userMaySelectRow(row)) {
        if (m_allowsMultipleSelection && (flags & NSCommandKeyMask)) {
            if (isRowSelected(row)) {
                deselectRow(row);
            } else {
                m_anchorRow = row;
                selectRowIndexes(NSIndexSet::indexSetWithIndex(NSUInteger(row)), true);
            }
        } else if (m_allowsMultipleSelection && (flags & NSShiftKeyMask) && m_anchorRow >= 0) {
            const NSInteger lo = std::min(m_anchorRow, row), hi = std::max(m_anchorRow, row);
            auto rows = NSMutableIndexSet::indexSet();
            for (NSInteger r = lo; r <= hi; ++r)
                if (userMaySelectRow(r)) rows->addIndex(NSUInteger(r));
            const NSInteger anchor = m_anchorRow;
            m_lastSelectedRow = row;
            setSelection(rows);
            m_anchorRow = anchor;
        } else {
            selectRowIndexes(NSIndexSet::indexSetWithIndex(NSUInteger(row)), false);
        }
    }
    if (!action().empty()) app->sendAction(action(), target(), self);
}

void NSTableView::keyDown(const Ref<NSEvent>& event) { interpretKeyEvents(NSArray::arrayWithObject(event)); }

void NSTableView::moveSelection(NSInteger step, bool extend)
{
    const NSInteger rows = numberOfRows();
    if (rows == 0) return;
    const UserSelection userSelection(m_userSelecting);
    NSInteger from = selectedRow();
    NSInteger row = from < 0 ? (step > 0 ? 0 : rows - 1) : from + step;
    // Skip rows the delegate refuses.
    while (row >= 0 && row < rows && !userMaySelectRow(row)) row += step > 0 ? 1 : -1;
    if (row < 0 || row >= rows) return;
    if (extend && m_allowsMultipleSelection && from >= 0) {
        const NSInteger anchor = m_anchorRow >= 0 ? m_anchorRow : from;
        auto set = NSMutableIndexSet::indexSet();
        for (NSInteger r = std::min(anchor, row); r <= std::max(anchor, row); ++r)
            if (userMaySelectRow(r)) set->addIndex(NSUInteger(r));
        m_lastSelectedRow = row;
        setSelection(set);
        m_anchorRow = anchor;
    } else {
        selectRowIndexes(NSIndexSet::indexSetWithIndex(NSUInteger(row)), false);
    }
    scrollRowToVisible(row);
}

void NSTableView::moveUp(const Id&) { moveSelection(-1, false); }
void NSTableView::moveDown(const Id&) { moveSelection(1, false); }
void NSTableView::moveUpAndModifySelection(const Id&) { moveSelection(-1, true); }
void NSTableView::moveDownAndModifySelection(const Id&) { moveSelection(1, true); }

void NSTableView::scrollToBeginningOfDocument(const Id&) { scrollRowToVisible(0); }

void NSTableView::scrollToEndOfDocument(const Id&) { scrollRowToVisible(numberOfRows() - 1); }

// --- Drawing ---

void NSTableView::drawBackgroundInClipRect(const NSRect& clipRect)
{
    if (m_backgroundColor) {
        m_backgroundColor->setFill();
        NSRectFill(clipRect);
    }
    if (!m_alternatingRows) return;
    // Stripes continue below the last row to the bottom of the view.
    NSColor::colorWithCalibratedRed(0.93, 0.95, 0.98, 1)->setFill();
    const auto first = NSInteger(std::floor(NSMinY(clipRect) / rowPitch()));
    const auto end = NSInteger(std::ceil(NSMaxY(clipRect) / rowPitch()));
    for (NSInteger r = std::max<NSInteger>(first, 0); r < end; ++r)
        if (r % 2 == 1)
            NSRectFill(NSMakeRect(NSMinX(clipRect), CGFloat(r) * rowPitch(), clipRect.size.width, rowPitch()));
}

void NSTableView::highlightSelectionInClipRect(const NSRect& clipRect)
{
    auto w = window();
    const bool active = w && w->isKeyWindow() && w->firstResponder().get() == this;
    (active ? NSColor::alternateSelectedControlColor() : NSColor::secondarySelectedControlColor())->setFill();
    const NSRange rows = rowsInRect(clipRect);
    for (NSUInteger r = rows.location; r < rows.location + rows.length; ++r)
        if (m_selectedRows->containsIndex(r)) NSRectFill(NSIntersectionRect(rectOfRow(NSInteger(r)), clipRect));
}

void NSTableView::drawGridInClipRect(const NSRect& clipRect)
{
    if (m_gridStyleMask == NSTableViewGridNone || !m_gridColor) return;
    m_gridColor->setFill();
    if (m_gridStyleMask & NSTableViewSolidHorizontalGridLineMask) {
        const NSRange rows = rowsInRect(clipRect);
        for (NSUInteger r = rows.location; r < rows.location + rows.length; ++r)
            NSRectFill(NSMakeRect(NSMinX(clipRect), NSMaxY(rectOfRow(NSInteger(r))) - 1, clipRect.size.width, 1));
    }
    if (m_gridStyleMask & NSTableViewSolidVerticalGridLineMask) {
        for (NSInteger c = 0; c < numberOfColumns(); ++c) {
            const NSRect col = rectOfColumn(c);
            if (col.size.width > 0) NSRectFill(NSMakeRect(NSMaxX(col) - 1, NSMinY(clipRect), 1, clipRect.size.height));
        }
    }
}

void NSTableView::drawRow(NSInteger row, const NSRect& clipRect)
{
    auto w = window();
    const bool activeSelection = w && w->isKeyWindow() && w->firstResponder().get() == this;
    for (NSInteger c = 0; c < numberOfColumns(); ++c) {
        const NSRect frame = frameOfCellAtColumnRow(c, row);
        if (NSIsEmptyRect(frame) || !NSIntersectsRect(frame, clipRect)) continue;
        if (row == m_editedRow && c == m_editedColumn && m_editingCell) {
            NSColor::textBackgroundColor()->setFill();
            NSRectFill(frame);
            m_editingCell->drawWithFrame(frame, this);
            continue;
        }
        auto cell = preparedCellAtColumnRow(c, row);
        if (!cell) continue;
        // Text on the active selection colour is drawn white.
        auto text = dynamic_ref_cast<NSTextFieldCell>(cell);
        const Ref<NSColor> colour = text ? text->textColor() : nullptr;
        if (text && activeSelection && isRowSelected(row))
            text->setTextColor(NSColor::alternateSelectedControlTextColor());
        cell->drawWithFrame(frame, this);
        if (text && activeSelection && isRowSelected(row)) text->setTextColor(colour);
    }
}

void NSTableView::drawRect(const NSRect& dirtyRect)
{
    drawBackgroundInClipRect(dirtyRect);
    highlightSelectionInClipRect(dirtyRect);
    drawGridInClipRect(dirtyRect);
    const NSRange rows = rowsInRect(dirtyRect);
    for (NSUInteger r = rows.location; r < rows.location + rows.length; ++r) drawRow(NSInteger(r), dirtyRect);
}

// --- Coding ---

void NSTableView::encodeWithCoder(NSCoder* coder) const
{
    using ViewCoding::key;
    NSControl::encodeWithCoder(coder);
    std::vector<Id> columns(m_columns.begin(), m_columns.end());
    coder->encodeObject(NSArray::arrayWithVector(columns), key("NSTableColumns"));
    ViewCoding::encodeIfCodable(coder, m_headerView, "NSHeaderView");
    coder->encodeDouble(m_rowHeight, key("NSRowHeight"));
    coder->encodeDouble(m_intercellSpacing.width, key("NSIntercellSpacingWidth"));
    coder->encodeDouble(m_intercellSpacing.height, key("NSIntercellSpacingHeight"));
    coder->encodeInteger(NSInteger(m_gridStyleMask), key("NSGridStyleMask"));
    coder->encodeBool(m_allowsMultipleSelection, key("NSAllowsMultipleSelection"));
    coder->encodeBool(m_allowsEmptySelection, key("NSAllowsEmptySelection"));
    coder->encodeBool(m_allowsColumnSelection, key("NSAllowsColumnSelection"));
    coder->encodeBool(m_alternatingRows, key("NSUsesAlternatingRowBackgroundColors"));
}

Id NSTableView::initWithCoder(NSCoder* coder)
{
    using ViewCoding::key;
    NSControl::initWithCoder(coder);
    setUpDefaults();
    auto finite = [](double v, double fallback) { return std::isfinite(v) && v >= 0 ? v : fallback; };
    m_rowHeight = finite(coder->decodeDoubleForKey(key("NSRowHeight")), 0);
    if (m_rowHeight <= 0) m_rowHeight = 17;
    m_intercellSpacing = {finite(coder->decodeDoubleForKey(key("NSIntercellSpacingWidth")), 0),
                          finite(coder->decodeDoubleForKey(key("NSIntercellSpacingHeight")), 0)};
    m_gridStyleMask = NSUInteger(coder->decodeIntegerForKey(key("NSGridStyleMask"))) & 3;
    m_allowsMultipleSelection = coder->decodeBoolForKey(key("NSAllowsMultipleSelection"));
    m_allowsEmptySelection = coder->decodeBoolForKey(key("NSAllowsEmptySelection"));
    m_allowsColumnSelection = coder->decodeBoolForKey(key("NSAllowsColumnSelection"));
    m_alternatingRows = coder->decodeBoolForKey(key("NSUsesAlternatingRowBackgroundColors"));
    if (auto columns = dynamic_ref_cast<NSArray>(coder->decodeObjectForKey(key("NSTableColumns"))))
        for (const Id& c : columns->objects())
            if (auto column = dynamic_ref_cast<NSTableColumn>(c)) addTableColumn(column);
    setHeaderView(dynamic_ref_cast<NSTableHeaderView>(coder->decodeObjectForKey(key("NSHeaderView"))));
    return this;
}
