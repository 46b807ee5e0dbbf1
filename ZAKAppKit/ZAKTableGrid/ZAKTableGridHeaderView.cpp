#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridHeaderView.h"

#include "AppKit/NSCursor.h"
#include "AppKit/NSScrollView.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGrid.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridContentView.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridHeaderCell.h"

NS_CLASS_DEFINE(ZAKTableGridHeaderView)

namespace {
// A press this far from the mouse-down on both axes is no drag yet.
constexpr CGFloat kDragThreshold = 5;
// The resize area: from 2 points left of a column's right edge, 5 wide.
constexpr CGFloat kResizeAreaLeft = 2;
constexpr CGFloat kResizeAreaWidth = 5;
// A press in a resize area resizes the column 3 points to its left.
constexpr CGFloat kResizeProbe = 3;
}  // namespace

ZAKTableGridHeaderView::~ZAKTableGridHeaderView() = default;

Ref<NSView> ZAKTableGridHeaderView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_headerCell = NSObject::make<ZAKTableGridHeaderCell>();
    return Ref<NSView>(this);
}

Ref<ZAKTableGrid> ZAKTableGridHeaderView::tableGrid() const
{
    auto scroll = enclosingScrollView();
    return scroll ? dynamic_ref_cast<ZAKTableGrid>(scroll->superview()) : nullptr;
}

NSRect ZAKTableGridHeaderView::headerRectOfColumn(NSUInteger column) const
{
    auto grid = tableGrid();
    if (!grid) return NSZeroRect;
    NSRect r = grid->_contentView()->rectOfColumn(column);
    r.size.height = ZAKTableGrid::kColumnHeaderHeight;
    return r;
}

NSRect ZAKTableGridHeaderView::headerRectOfRow(NSUInteger row) const
{
    auto grid = tableGrid();
    if (!grid) return NSZeroRect;
    NSRect r = grid->_contentView()->rectOfRow(row);
    r.size.width = ZAKTableGrid::kRowHeaderWidth;
    return r;
}

void ZAKTableGridHeaderView::drawRect(const NSRect&)
{
    auto grid = tableGrid();
    if (!grid || (m_orientation != kColumnHeader && m_orientation != kRowHeader)) return;
    const bool columns = m_orientation == kColumnHeader;
    if (columns) rebuildResizeAreas();
    m_headerCell->setOrientation(m_orientation);
    const NSUInteger count = columns ? grid->numberOfColumns() : grid->numberOfRows();
    auto selected = columns ? grid->selectedColumnIndexes() : grid->selectedRowIndexes();
    const NSRect visible = visibleRect();
    NSUInteger first = 0;
    // Rows are all the same height: start at the first visible one.
    if (!columns) first = NSUInteger(std::max<CGFloat>(0, visible.origin.y) / ZAKTableGrid::kRowHeight);
    for (NSUInteger i = first; i < count; ++i) {
        const NSRect r = columns ? headerRectOfColumn(i) : headerRectOfRow(i);
        if (columns ? r.origin.x >= NSMaxX(visible) : r.origin.y >= NSMaxY(visible)) break;
        if (!needsToDrawRect(r)) continue;
        m_headerCell->setState(selected && selected->containsIndex(i) ? NSOnState : NSOffState);
        m_headerCell->setStringValue(columns ? grid->_headerStringForColumn(i) : grid->_headerStringForRow(i));
        m_headerCell->drawWithFrame(r, Ref<NSView>(this));
    }
}

void ZAKTableGridHeaderView::rebuildResizeAreas()
{
    for (const auto& area : m_trackingAreas) removeTrackingArea(area);
    m_trackingAreas.clear();
    auto grid = tableGrid();
    // Every visible column gets its area, also after a redraw of a part only.
    const NSRect visible = visibleRect();
    for (NSUInteger c = 0; c < grid->numberOfColumns(); ++c) {
        const NSRect r = headerRectOfColumn(c);
        if (r.origin.x >= NSMaxX(visible)) break;
        if (NSMaxX(r) + kResizeAreaWidth < visible.origin.x) continue;
        auto area = NSObject::alloc<NSTrackingArea>()->initWithRect(
            NSMakeRect(NSMaxX(r) - kResizeAreaLeft, r.origin.y, kResizeAreaWidth, r.size.height),
            NSTrackingMouseEnteredAndExited | NSTrackingActiveAlways, Id(this), nullptr);
        m_trackingAreas.push_back(area);
        addTrackingArea(area);
    }
}

NSInteger ZAKTableGridHeaderView::itemAtPoint(NSPoint point) const
{
    auto grid = tableGrid();
    const NSPoint p = grid->convertPointFromView(point, Ref<NSView>(const_cast<ZAKTableGridHeaderView*>(this)));
    return m_orientation == kColumnHeader ? grid->columnAtPoint(p) : grid->rowAtPoint(p);
}

void ZAKTableGridHeaderView::selectWholeItems(NSUInteger first, NSUInteger last)
{
    auto grid = tableGrid();
    auto items = NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(first, last - first + 1));
    if (m_orientation == kColumnHeader) {
        grid->setSelectedColumnIndexes(items);
        grid->setSelectedRowIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(0, grid->numberOfRows())));
    } else {
        grid->setSelectedRowIndexes(items);
        grid->setSelectedColumnIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(0, grid->numberOfColumns())));
    }
}

void ZAKTableGridHeaderView::mouseDown(const Ref<NSEvent>& event)
{
    auto grid = tableGrid();
    if (!grid || (m_orientation != kColumnHeader && m_orientation != kRowHeader)) return;
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    m_mouseDownLocation = p;
    if (m_canResize && m_orientation == kColumnHeader) {
        const NSInteger column = itemAtPoint(NSMakePoint(p.x - kResizeProbe, p.y));
        if (column != NSNotFound) {
            m_draggingColumnIndex = NSUInteger(column);
            m_lastMouseDraggingLocation = p;
            m_isResizing = true;
            return;
        }
    }
    const bool shift = event->modifierFlags() & NSShiftKeyMask;
    if (event->clickCount() == 1 && (!shift || !grid->allowsMultipleSelection())) {
        const bool columns = m_orientation == kColumnHeader;
        const NSInteger item = itemAtPoint(p);
        m_mouseDownItem = item;
        auto selected = columns ? grid->selectedColumnIndexes() : grid->selectedRowIndexes();
        auto across = columns ? grid->selectedRowIndexes() : grid->selectedColumnIndexes();
        const NSUInteger acrossCount = columns ? grid->numberOfRows() : grid->numberOfColumns();
        if (item != NSNotFound && selected->containsIndex(NSUInteger(item)) && across->count() == acrossCount) {
            m_shouldDragItems = true;
        } else if (item != NSNotFound) {
            selectWholeItems(NSUInteger(item), NSUInteger(item));
        }
    }
    grid->mouseDown(event);
}

void ZAKTableGridHeaderView::mouseDragged(const Ref<NSEvent>& event)
{
    auto grid = tableGrid();
    if (!grid) return;
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    if (m_isResizing) {
        const float distance = float(p.x - m_lastMouseDraggingLocation.x);
        m_lastMouseDraggingLocation = p;
        grid->resizeColumnWithIndex(m_draggingColumnIndex, distance);
        return;
    }
    if (m_shouldDragItems) {
        if (m_mouseDownItem < 0) return;
        if (std::abs(p.x - m_mouseDownLocation.x) < kDragThreshold &&
            std::abs(p.y - m_mouseDownLocation.y) < kDragThreshold)
            return;
        m_shouldDragItems = false;
        m_isInDrag = true;
        if (m_orientation == kColumnHeader) grid->_dragColumnsWithEvent(event);
        else grid->_dragRowsWithEvent(event);
        // The drag session took the mouse-up: the press is over.
        m_mouseDownItem = -1;
        m_isInDrag = false;
        m_mouseDownLocation = NSZeroPoint;
        return;
    }
    if (m_mouseDownItem < 0 || m_mouseDownItem == NSNotFound || m_isInDrag) return;
    const NSInteger item = itemAtPoint(p);
    if (item == NSNotFound) return;
    const auto first = NSUInteger(std::min(item, m_mouseDownItem)), last = NSUInteger(std::max(item, m_mouseDownItem));
    auto items = NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(first, last - first + 1));
    if (m_orientation == kColumnHeader) grid->setSelectedColumnIndexes(items);
    else grid->setSelectedRowIndexes(items);
}

void ZAKTableGridHeaderView::mouseUp(const Ref<NSEvent>& event)
{
    if (m_isResizing) {
        m_isResizing = false;
        // The exit that came while resizing was ignored: outside every area
        // now, the next press must not resize.
        const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
        bool inside = false;
        for (const auto& area : m_trackingAreas) inside = inside || NSMouseInRect(p, area->rect(), isFlipped());
        if (!inside) {
            m_canResize = false;
            NSCursor::arrowCursor()->set();
        }
        m_mouseDownLocation = NSZeroPoint;
        return;
    }
    if (m_shouldDragItems && !m_isInDrag && m_mouseDownItem >= 0 && m_mouseDownItem != NSNotFound)
        selectWholeItems(NSUInteger(m_mouseDownItem), NSUInteger(m_mouseDownItem));
    m_mouseDownItem = -1;
    m_shouldDragItems = false;
    m_isInDrag = false;
    m_mouseDownLocation = NSZeroPoint;
}

void ZAKTableGridHeaderView::mouseEntered(const Ref<NSEvent>&)
{
    NSCursor::resizeLeftRightCursor()->set();
    m_canResize = true;
}

void ZAKTableGridHeaderView::mouseExited(const Ref<NSEvent>&)
{
    if (m_isResizing) return;
    NSCursor::arrowCursor()->set();
    m_canResize = false;
}
