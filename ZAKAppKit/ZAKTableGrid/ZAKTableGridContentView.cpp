#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridContentView.h"

#include "AppKit/NSApplication.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColorSpace.h"
#include "AppKit/NSCursor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSShadow.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGrid.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridCell.h"

NS_CLASS_DEFINE(ZAKTableGridContentView)

namespace {
constexpr NSTimeInterval kAutoscrollPeriod = 0.1;
constexpr NSPoint kCursorHotSpot = {8, 8};
}  // namespace

void ZAKTableGridContentView::describeClass(NSClassMembers<ZAKTableGridContentView>& m)
{
    m.action("_timerAutoscrollCallback:", &ZAKTableGridContentView::_timerAutoscrollCallback);
    m.action("editSelectedCell:", &ZAKTableGridContentView::editSelectedCell);
}

ZAKTableGridContentView::~ZAKTableGridContentView() { stopAutoscrollTimer(); }

Ref<NSView> ZAKTableGridContentView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_cursorImage = cursorImage(false);
    m_cursorExtendSelectionImage = cursorImage(true);
    m_cell = static_ref_cast<ZAKTableGridCell>(NSObject::alloc<ZAKTableGridCell>()->initTextCell(""_ns));
    m_cell->setBordered(true);
    m_cell->setScrollable(true);
    m_cell->setLineBreakMode(NSLineBreakByTruncatingTail);
    return Ref<NSView>(this);
}

Ref<ZAKTableGrid> ZAKTableGridContentView::tableGrid() const
{
    auto scroll = enclosingScrollView();
    return scroll ? dynamic_ref_cast<ZAKTableGrid>(scroll->superview()) : nullptr;
}

// --- Geometry ---

NSRect ZAKTableGridContentView::rectOfColumn(NSUInteger column) const
{
    auto grid = tableGrid();
    CGFloat x = 0;
    for (NSUInteger c = 0; c < column; ++c) x += grid ? grid->_widthForColumn(c) : ZAKTableGrid::kDefaultColumnWidth;
    const CGFloat width = grid ? grid->_widthForColumn(column) : ZAKTableGrid::kDefaultColumnWidth;
    return NSMakeRect(x, 0, width, frame().size.height);
}

NSRect ZAKTableGridContentView::rectOfRow(NSUInteger row) const
{
    return NSMakeRect(0, CGFloat(row) * ZAKTableGrid::kRowHeight, frame().size.width, ZAKTableGrid::kRowHeight);
}

NSRect ZAKTableGridContentView::frameOfCellAtColumnRow(NSUInteger column, NSUInteger row) const
{
    const NSRect c = rectOfColumn(column), r = rectOfRow(row);
    return NSMakeRect(c.origin.x, r.origin.y, c.size.width, r.size.height);
}

NSInteger ZAKTableGridContentView::columnAtPoint(NSPoint point) const
{
    auto grid = tableGrid();
    if (!grid) return NSNotFound;
    CGFloat x = 0;
    for (NSUInteger c = 0; c < grid->numberOfColumns(); ++c) {
        const CGFloat width = grid->_widthForColumn(c);
        if (point.x >= x && point.x < x + width && point.y >= 0 && point.y < frame().size.height) return NSInteger(c);
        x += width;
        if (x > point.x) break;
    }
    return NSNotFound;
}

NSInteger ZAKTableGridContentView::rowAtPoint(NSPoint point) const
{
    auto grid = tableGrid();
    if (!grid || point.y < 0 || point.x < 0 || point.x >= frame().size.width) return NSNotFound;
    const auto row = NSUInteger(point.y / ZAKTableGrid::kRowHeight);
    return row < grid->numberOfRows() ? NSInteger(row) : NSNotFound;
}

// --- Drawing ---

void ZAKTableGridContentView::drawRect(const NSRect&)
{
    auto grid = tableGrid();
    if (!grid || grid->numberOfColumns() == 0) return;
    const NSUInteger columns = grid->numberOfColumns(), rows = grid->numberOfRows();
    const NSRect visible = visibleRect();

    // The visible columns by their widths; the visible rows follow from the
    // row height.
    NSUInteger firstColumn = columns, lastColumn = columns - 1;
    CGFloat x = 0;
    for (NSUInteger c = 0; c < columns; ++c) {
        const CGFloat right = x + grid->_widthForColumn(c);
        if (firstColumn == columns && right > visible.origin.x) firstColumn = c;
        if (firstColumn != columns && right >= NSMaxX(visible)) {
            lastColumn = c;
            break;
        }
        x = right;
    }
    if (rows > 0 && firstColumn < columns) {
        const auto firstRow = NSUInteger(std::max<CGFloat>(0, visible.origin.y) / ZAKTableGrid::kRowHeight);
        const NSUInteger lastRow =
            std::min(rows - 1, NSUInteger(std::max<CGFloat>(0, NSMaxY(visible) - 0.001) / ZAKTableGrid::kRowHeight));
        for (NSUInteger c = firstColumn; c <= lastColumn; ++c) {
            for (NSUInteger r = firstRow; r <= lastRow; ++r) {
                const NSRect cellFrame = frameOfCellAtColumnRow(c, r);
                if (!needsToDrawRect(cellFrame)) continue;
                if (NSInteger(c) == m_editedColumn && NSInteger(r) == m_editedRow) continue;
                m_cell->setObjectValue(grid->_objectValueForColumnRow(c, r));
                auto background = grid->_backgroundColorForColumnRow(c, r);
                m_cell->drawWithFrameBackgroundColor(cellFrame, Ref<NSView>(this),
                                                     background ? background : NSColor::whiteColor());
            }
        }
    }
    drawSelection();
    drawDropIndicators();
}

void ZAKTableGridContentView::drawSelection()
{
    auto grid = tableGrid();
    auto columns = grid->selectedColumnIndexes(), rows = grid->selectedRowIndexes();
    if (!columns || !rows || columns->count() == 0 || rows->count() == 0) return;
    if (grid->numberOfColumns() == 0 || grid->numberOfRows() == 0) return;
    const NSRect first = frameOfCellAtColumnRow(columns->firstIndex(), rows->firstIndex());
    const NSRect last = frameOfCellAtColumnRow(columns->lastIndex(), rows->lastIndex());
    const NSRect outline = NSInsetRect(
        NSMakeRect(first.origin.x, first.origin.y, NSMaxX(last) - first.origin.x, NSMaxY(last) - first.origin.y), 1, 1);
    auto path = NSBezierPath::bezierPathWithRect(NSOffsetRect(outline, -0.5, -0.5));
    Ref<NSColor> colour = NSColor::alternateSelectedControlColor();
    const bool focused = grid->_isFocused();
    if (focused) {
        m_grabHandleRect = NSMakeRect(NSMaxX(outline) - 2, NSMaxY(outline) - 2, 4, 4);
        colour->set();
        NSRectFill(m_grabHandleRect);
    } else {
        colour =
            colour->colorUsingColorSpaceName(NSDeviceWhiteColorSpace)->colorUsingColorSpaceName(NSDeviceRGBColorSpace);
    }
    colour->set();
    path->setLineWidth(1);
    path->stroke();
    colour->colorWithAlphaComponent(0.2)->set();
    path->fill();
    if (auto w = window()) w->invalidateCursorRectsForView(Ref<NSView>(this));
}

void ZAKTableGridContentView::drawDropIndicators()
{
    auto grid = tableGrid();
    const NSInteger columns = NSInteger(grid->numberOfColumns()), rows = NSInteger(grid->numberOfRows());
    NSColor::alternateSelectedControlColor()->set();
    if (m_isDraggingColumnOrRow) {
        if (m_dropColumn != NSNotFound && m_dropColumn <= columns && m_dropRow == NSNotFound && columns > 0) {
            const bool atEnd = m_dropColumn == columns;
            const NSRect c = rectOfColumn(NSUInteger(atEnd ? columns - 1 : m_dropColumn));
            const CGFloat edge = atEnd ? NSMaxX(c) : c.origin.x;
            auto path = NSBezierPath::bezierPathWithRect(NSMakeRect(edge - 2, c.origin.y, 4, c.size.height));
            path->setLineWidth(2);
            path->stroke();
        }
        if (m_dropRow != NSNotFound && m_dropRow <= rows && m_dropColumn == NSNotFound && rows > 0) {
            const bool atEnd = m_dropRow == rows;
            const NSRect r = rectOfRow(NSUInteger(atEnd ? rows - 1 : m_dropRow));
            const CGFloat edge = atEnd ? NSMaxY(r) : r.origin.y;
            auto path = NSBezierPath::bezierPathWithRect(NSMakeRect(r.origin.x, edge - 2, r.size.width, 4));
            path->setLineWidth(2);
            path->stroke();
        }
        return;
    }
    if (m_dropRow == NSNotFound || m_dropColumn == NSNotFound || m_dropRow > rows || m_dropColumn > columns) return;
    if (m_dropRow >= rows || m_dropColumn >= columns) return;
    const NSRect cell = frameOfCellAtColumnRow(NSUInteger(m_dropColumn), NSUInteger(m_dropRow));
    auto path = NSBezierPath::bezierPathWithRect(
        NSInsetRect(NSMakeRect(cell.origin.x - 2, cell.origin.y - 2, cell.size.width + 3, cell.size.height + 3), 2, 2));
    path->setLineWidth(2);
    path->stroke();
}

// --- Cursors ---

Ref<NSImage> ZAKTableGridContentView::cursorImage(bool extend)
{
    return NSImage::imageWithSize(NSMakeSize(20, 20), true, [extend](NSRect) {
        const NSRect bars[] = {NSMakeRect(7, 2, 2, 12), NSMakeRect(2, 7, 12, 2)};
        auto outline = NSBezierPath::bezierPath();
        for (const auto& bar : bars) outline->appendBezierPathWithRect(NSInsetRect(bar, -1, -1));
        NSGraphicsContext::saveGraphicsState();
        auto shadow = NSObject::make<NSShadow>();
        shadow->setShadowColor(NSColor::colorWithDeviceWhite(0, 0.8));
        shadow->setShadowBlurRadius(2);
        shadow->setShadowOffset(NSMakeSize(0, -1));
        shadow->set();
        NSColor::blackColor()->set();
        outline->fill();
        NSGraphicsContext::restoreGraphicsState();
        NSColor::blackColor()->set();
        outline->fill();
        (extend ? NSColor::blackColor() : NSColor::whiteColor())->set();
        for (const auto& bar : bars) NSRectFill(bar);
        return true;
    });
}

Ref<NSCursor> ZAKTableGridContentView::_cellSelectionCursor() const
{
    return NSObject::alloc<NSCursor>()->initWithImage(m_cursorImage, kCursorHotSpot);
}

Ref<NSCursor> ZAKTableGridContentView::_cellExtendSelectionCursor() const
{
    return NSObject::alloc<NSCursor>()->initWithImage(m_cursorExtendSelectionImage, kCursorHotSpot);
}

void ZAKTableGridContentView::resetCursorRects()
{
    addCursorRect(visibleRect(), _cellSelectionCursor());
    addCursorRect(m_grabHandleRect, _cellExtendSelectionCursor());
}

// --- Mouse ---

void ZAKTableGridContentView::startAutoscrollTimer()
{
    stopAutoscrollTimer();
    // Weak: the timer never keeps the view alive. In the common modes, so it
    // fires during drag sessions too.
    m_autoscrollTimer = NSTimer::timerWithTimeIntervalWeakTarget(kAutoscrollPeriod, Id(this),
                                                                 "_timerAutoscrollCallback:", nullptr, true);
    NSRunLoop::currentRunLoop()->addTimer(m_autoscrollTimer, NSRunLoopCommonModes);
}

void ZAKTableGridContentView::stopAutoscrollTimer()
{
    if (m_autoscrollTimer) m_autoscrollTimer->invalidate();
    m_autoscrollTimer = nullptr;
}

void ZAKTableGridContentView::_timerAutoscrollCallback(const Id&)
{
    auto event = NSApplication::sharedApplication()->currentEvent();
    if (event && event->type() == NSEventTypeLeftMouseDragged) autoscroll(event);
}

void ZAKTableGridContentView::mouseDown(const Ref<NSEvent>& event)
{
    auto grid = tableGrid();
    if (!grid) return;
    startAutoscrollTimer();
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    m_mouseDownColumn = columnAtPoint(p);
    m_mouseDownRow = rowAtPoint(p);
    if (event->clickCount() != 1) {
        if (event->clickCount() == 2 && grid->allowsEditing()) {
            editSelectedCell(nullptr);
            setNeedsDisplay(true);
        }
        return;
    }
    grid->mouseDown(event);
    // A click outside every cell leaves the selection as it was.
    if (m_mouseDownColumn == NSNotFound || m_mouseDownRow == NSNotFound) return;
    const auto column = NSUInteger(m_mouseDownColumn), row = NSUInteger(m_mouseDownRow);
    auto columns = grid->selectedColumnIndexes(), rows = grid->selectedRowIndexes();
    const bool extend = (event->modifierFlags() & NSShiftKeyMask) && grid->allowsMultipleSelection() &&
                        columns->count() > 0 && rows->count() > 0;
    if (extend) {
        const NSUInteger anchorColumn =
            grid->_stickyColumn() == ZAKTableGridRightEdge ? columns->lastIndex() : columns->firstIndex();
        const NSUInteger anchorRow =
            grid->_stickyRow() == ZAKTableGridBottomEdge ? rows->lastIndex() : rows->firstIndex();
        const NSUInteger c0 = std::min(column, anchorColumn), c1 = std::max(column, anchorColumn);
        const NSUInteger r0 = std::min(row, anchorRow), r1 = std::max(row, anchorRow);
        grid->setSelectedColumnIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(c0, c1 - c0 + 1)));
        grid->setSelectedRowIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(r0, r1 - r0 + 1)));
        grid->_setStickyColumnRow(column < anchorColumn ? ZAKTableGridRightEdge : ZAKTableGridLeftEdge,
                                  row < anchorRow ? ZAKTableGridBottomEdge : ZAKTableGridTopEdge);
    } else {
        grid->setSelectedColumnIndexes(NSIndexSet::indexSetWithIndex(column));
        grid->setSelectedRowIndexes(NSIndexSet::indexSetWithIndex(row));
        grid->_setStickyColumnRow(ZAKTableGridLeftEdge, ZAKTableGridTopEdge);
    }
    setNeedsDisplay(true);
}

void ZAKTableGridContentView::mouseDragged(const Ref<NSEvent>& event)
{
    auto grid = tableGrid();
    if (!grid || m_mouseDownColumn == NSNotFound || m_mouseDownRow == NSNotFound || !grid->allowsMultipleSelection())
        return;
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    const NSInteger column = columnAtPoint(p), row = rowAtPoint(p);
    int32_t columnEdge = ZAKTableGridLeftEdge, rowEdge = ZAKTableGridTopEdge;
    if (column != NSNotFound) {
        const NSInteger c0 = std::min(column, m_mouseDownColumn), c1 = std::max(column, m_mouseDownColumn);
        grid->setSelectedColumnIndexes(
            NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(NSUInteger(c0), NSUInteger(c1 - c0 + 1))));
        if (column < m_mouseDownColumn) columnEdge = ZAKTableGridRightEdge;
    }
    if (row != NSNotFound) {
        const NSInteger r0 = std::min(row, m_mouseDownRow), r1 = std::max(row, m_mouseDownRow);
        grid->setSelectedRowIndexes(
            NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(NSUInteger(r0), NSUInteger(r1 - r0 + 1))));
        if (row < m_mouseDownRow) rowEdge = ZAKTableGridBottomEdge;
    }
    grid->_setStickyColumnRow(columnEdge, rowEdge);
    setNeedsDisplay(true);
}

void ZAKTableGridContentView::mouseUp(const Ref<NSEvent>&)
{
    stopAutoscrollTimer();
    m_mouseDownColumn = NSNotFound;
    m_mouseDownRow = NSNotFound;
}

// --- Editing ---

void ZAKTableGridContentView::editSelectedCell(const Id&)
{
    auto grid = tableGrid();
    auto w = window();
    if (!grid || !w) return;
    auto columns = grid->selectedColumnIndexes(), rows = grid->selectedRowIndexes();
    if (columns->count() == 0 || rows->count() == 0) return;
    const NSUInteger column = columns->firstIndex(), row = rows->firstIndex();
    if (!grid->_canEditCellAtColumnRow(column, row)) {
        m_editedColumn = m_editedRow = NSNotFound;
        return;
    }
    m_editedColumn = NSInteger(column);
    m_editedRow = NSInteger(row);
    if (columns->count() > 1) grid->setSelectedColumnIndexes(NSIndexSet::indexSetWithIndex(column));
    if (rows->count() > 1) grid->setSelectedRowIndexes(NSIndexSet::indexSetWithIndex(row));
    auto cell = grid->cell();
    cell->setEditable(true);
    cell->setSelectable(true);
    cell->setObjectValue(grid->_objectValueForColumnRow(column, row));
    auto editor = dynamic_ref_cast<NSText>(w->fieldEditor(true, Id(this)));
    if (!editor) return;
    cell->editWithFrame(frameOfCellAtColumnRow(column, row), Ref<NSView>(this), editor, Id(this), nullptr);
    setNeedsDisplayInRect(frameOfCellAtColumnRow(column, row));
}

void ZAKTableGridContentView::textDidEndEditing(const Ref<NSNotification>& note)
{
    auto grid = tableGrid();
    auto w = window();
    if (!grid || !w || !isEditing()) return;
    auto editor = dynamic_ref_cast<NSText>(note ? note->object() : nullptr);
    if (!editor) editor = dynamic_ref_cast<NSText>(w->fieldEditor(false, Id(this)));
    const auto column = NSUInteger(m_editedColumn), row = NSUInteger(m_editedRow);
    auto value = editor ? NSString::stringWithString(editor->string()) : nullptr;
    m_editedColumn = m_editedRow = NSNotFound;
    grid->_setObjectValueForColumnRow(value, column, row);
    if (editor) grid->cell()->endEditing(editor);
    w->makeFirstResponder(grid);
    setNeedsDisplayInRect(frameOfCellAtColumnRow(column, row));
}

// --- Drop state and destination ---

void ZAKTableGridContentView::_setDropColumn(NSInteger column)
{
    m_dropColumn = column;
    setNeedsDisplay(true);
}

void ZAKTableGridContentView::_setDropRow(NSInteger row)
{
    m_dropRow = row;
    setNeedsDisplay(true);
}

std::optional<NSDragOperation> ZAKTableGridContentView::draggingEntered(const Ref<NSDraggingInfo>& info)
{
    startAutoscrollTimer();
    auto grid = tableGrid();
    return grid ? grid->draggingEntered(info) : std::optional<NSDragOperation>(NSDragOperationNone);
}

std::optional<NSDragOperation> ZAKTableGridContentView::draggingUpdated(const Ref<NSDraggingInfo>& info)
{
    auto grid = tableGrid();
    return grid ? grid->draggingUpdated(info) : std::optional<NSDragOperation>(NSDragOperationNone);
}

void ZAKTableGridContentView::draggingExited(const Ref<NSDraggingInfo>& info)
{
    stopAutoscrollTimer();
    if (auto grid = tableGrid()) grid->draggingExited(info);
}

void ZAKTableGridContentView::draggingEnded(const Ref<NSDraggingInfo>& info)
{
    stopAutoscrollTimer();
    if (auto grid = tableGrid()) grid->draggingEnded(info);
}

std::optional<bool> ZAKTableGridContentView::prepareForDragOperation(const Ref<NSDraggingInfo>& info)
{
    auto grid = tableGrid();
    return grid ? grid->prepareForDragOperation(info) : std::optional<bool>(false);
}

std::optional<bool> ZAKTableGridContentView::performDragOperation(const Ref<NSDraggingInfo>& info)
{
    stopAutoscrollTimer();
    auto grid = tableGrid();
    return grid ? grid->performDragOperation(info) : std::optional<bool>(false);
}

void ZAKTableGridContentView::concludeDragOperation(const Ref<NSDraggingInfo>& info)
{
    if (auto grid = tableGrid()) grid->concludeDragOperation(info);
}
