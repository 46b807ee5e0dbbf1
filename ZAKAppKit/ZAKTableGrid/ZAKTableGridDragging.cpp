// Moving whole columns and rows by dragging their headers (the grid is
// source and destination), and drops of other data that the data source
// validates and accepts.
#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSViewDragging.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNotificationCenter.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGrid.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridContentView.h"

namespace {
// The dragged image is drawn at this opacity.
constexpr CGFloat kDragImageFraction = 0.7;
}  // namespace

// --- Source ---

Ref<NSImage> ZAKTableGrid::translucentSnapshot(const NSRect& span)
{
    auto rep = bitmapImageRepForCachingDisplayInRect(span);
    cacheDisplayInRect(span, rep);
    auto snapshot = NSImage::initWithSize(span.size);
    snapshot->addRepresentation(rep);
    auto image = NSImage::initWithSize(span.size);
    image->lockFocus();
    snapshot->drawInRect(NSMakeRect(0, 0, span.size.width, span.size.height), NSZeroRect, NSCompositeCopy,
                         kDragImageFraction);
    image->unlockFocus();
    return image;
}

Ref<NSImage> ZAKTableGrid::_imageForSelectedColumns()
{
    if (m_selectedColumnIndexes->count() == 0) return nullptr;
    const NSRect first = rectOfColumn(m_selectedColumnIndexes->firstIndex());
    const NSRect last = rectOfColumn(m_selectedColumnIndexes->lastIndex());
    const NSRect span =
        NSMakeRect(first.origin.x - 1, first.origin.y, NSMaxX(last) - first.origin.x + 1, first.size.height);
    return translucentSnapshot(span);
}

Ref<NSImage> ZAKTableGrid::_imageForSelectedRows()
{
    if (m_selectedRowIndexes->count() == 0) return nullptr;
    const NSRect first = rectOfRow(m_selectedRowIndexes->firstIndex());
    const NSRect last = rectOfRow(m_selectedRowIndexes->lastIndex());
    const NSRect span =
        NSMakeRect(first.origin.x, first.origin.y - 1, first.size.width, NSMaxY(last) - first.origin.y + 1);
    return translucentSnapshot(span);
}

void ZAKTableGrid::_dragColumnsWithEvent(const Ref<NSEvent>& event) { startDrag(event, true); }

void ZAKTableGrid::_dragRowsWithEvent(const Ref<NSEvent>& event) { startDrag(event, false); }

void ZAKTableGrid::startDrag(const Ref<NSEvent>& event, bool columns)
{
    auto selected = columns ? m_selectedColumnIndexes : m_selectedRowIndexes;
    if (selected->count() == 0) return;
    auto image = columns ? _imageForSelectedColumns() : _imageForSelectedRows();
    const NSRect r = columns ? rectOfColumn(selected->firstIndex()) : rectOfRow(selected->firstIndex());
    const Ref<NSString> type = columns ? ZAKTableGridColumnDataType : ZAKTableGridRowDataType;
    auto board = NSPasteboard::pasteboardWithName(NSDragPboard);
    board->declareTypes(NSArray::arrayWithObject(type), Id(this));
    auto* s = source();
    if (!s) return;
    const auto written = columns ? s->tableGridWriteColumnsWithIndexesToPasteboard(this, selected, board)
                                 : s->tableGridWriteRowsWithIndexesToPasteboard(this, selected, board);
    if (!written.value_or(false)) return;
    board->setData(NSKeyedArchiver::archivedDataWithRootObject(selected), type);
    const CGFloat imageHeight = image ? image->size().height : 0;
    NSViewExt::dragImage(Ref<NSView>(this), image, NSMakePoint(r.origin.x, r.origin.y + imageHeight), NSZeroSize, event,
                         board, Id(this), true);
}

// --- Destination ---

bool ZAKTableGrid::isOwnDrag(const Ref<NSDraggingInfo>& info, const Ref<NSString>& type) const
{
    // Only this grid's own drags are moves: an index set from elsewhere
    // would move the wrong columns, and its archive is never decoded.
    return info->draggingSource().get() == this &&
           info->draggingPasteboard()->availableTypeFromArray(NSArray::arrayWithObject(type));
}

Ref<NSIndexSet> ZAKTableGrid::draggedIndexes(const Ref<NSDraggingInfo>& info, const Ref<NSString>& type) const
{
    auto data = info->draggingPasteboard()->dataForType(type);
    if (!data) return nullptr;
    try {
        return dynamic_ref_cast<NSIndexSet>(NSKeyedUnarchiver::unarchiveObjectWithData(
            data, {&NSIndexSet::staticClass(), &NSMutableIndexSet::staticClass()}));
    } catch (const NSException&) {
        return nullptr;
    }
}

std::optional<NSDragOperation> ZAKTableGrid::validateForeignDrop(const Ref<NSDraggingInfo>& info)
{
    auto* s = source();
    const NSPoint p = convertPointFromView(info->draggingLocation(), nullptr);
    const NSInteger column = columnAtPoint(p), row = rowAtPoint(p);
    if (!s || column == NSNotFound || row == NSNotFound) return NSDragOperationNone;
    const auto answer = s->tableGridValidateDropProposedColumnRow(this, info, NSUInteger(column), NSUInteger(row))
                            .value_or(NSDragOperationNone);
    if (answer != NSDragOperationNone) {
        m_contentView->_setDropColumn(column);
        m_contentView->_setDropRow(row);
    } else {
        m_contentView->_setDropColumn(NSNotFound);
        m_contentView->_setDropRow(NSNotFound);
    }
    return answer;
}

std::optional<NSDragOperation> ZAKTableGrid::draggingEntered(const Ref<NSDraggingInfo>& info)
{
    if (isOwnDrag(info, ZAKTableGridColumnDataType) || isOwnDrag(info, ZAKTableGridRowDataType))
        return NSDragOperationMove;
    m_contentView->_setDraggingColumnOrRow(false);
    return validateForeignDrop(info);
}

std::optional<NSDragOperation> ZAKTableGrid::draggingUpdated(const Ref<NSDraggingInfo>& info)
{
    const NSPoint p = convertPointFromView(info->draggingLocation(), nullptr);
    auto* s = source();
    for (bool columns : {true, false}) {
        const Ref<NSString> type = columns ? ZAKTableGridColumnDataType : ZAKTableGridRowDataType;
        if (!isOwnDrag(info, type)) continue;
        const NSInteger drop = columns ? _dropColumnForPoint(p) : _dropRowForPoint(p);
        m_contentView->_setDraggingColumnOrRow(true);
        auto moved = draggedIndexes(info, type);
        bool allowed = false;
        if (drop != NSNotFound && moved && s)
            allowed = (columns ? s->tableGridCanMoveColumnsToIndex(this, moved, NSUInteger(drop))
                               : s->tableGridCanMoveRowsToIndex(this, moved, NSUInteger(drop)))
                          .value_or(false);
        if (columns) {
            m_contentView->_setDropRow(NSNotFound);
            m_contentView->_setDropColumn(allowed ? drop : NSNotFound);
        } else {
            m_contentView->_setDropColumn(NSNotFound);
            m_contentView->_setDropRow(allowed ? drop : NSNotFound);
        }
        return allowed ? NSDragOperationMove : NSDragOperationNone;
    }
    m_contentView->_setDraggingColumnOrRow(false);
    return validateForeignDrop(info);
}

void ZAKTableGrid::draggingExited(const Ref<NSDraggingInfo>&)
{
    m_contentView->_setDropColumn(NSNotFound);
    m_contentView->_setDropRow(NSNotFound);
}

void ZAKTableGrid::draggingEnded(const Ref<NSDraggingInfo>& info) { draggingExited(info); }

void ZAKTableGrid::concludeDragOperation(const Ref<NSDraggingInfo>& info) { draggingExited(info); }

std::optional<bool> ZAKTableGrid::performDragOperation(const Ref<NSDraggingInfo>& info)
{
    const NSPoint p = convertPointFromView(info->draggingLocation(), nullptr);
    auto* s = source();
    if (!s) return false;
    for (bool columns : {true, false}) {
        const Ref<NSString> type = columns ? ZAKTableGridColumnDataType : ZAKTableGridRowDataType;
        if (!isOwnDrag(info, type)) continue;
        auto moved = draggedIndexes(info, type);
        const NSInteger drop = columns ? _dropColumnForPoint(p) : _dropRowForPoint(p);
        if (!moved || moved->count() == 0 || drop == NSNotFound) return false;
        const auto d = NSUInteger(drop);
        // Dropped inside the moved range (or at its ends): nothing moves.
        if (d >= moved->firstIndex() && d <= moved->lastIndex() + 1) return false;
        const auto answer =
            columns ? s->tableGridMoveColumnsToIndex(this, moved, d) : s->tableGridMoveRowsToIndex(this, moved, d);
        if (!answer.value_or(false)) return false;
        const NSUInteger start = moved->firstIndex() < d ? d - moved->count() : d;
        auto now = NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(start, moved->count()));
        if (columns) moveCachedWidths(moved, d);
        NSNotificationCenter::defaultCenter()->postNotificationName(
            columns ? ZAKTableGridDidMoveColumnsNotification : ZAKTableGridDidMoveRowsNotification, Id(this),
            NSDictionary::dictionaryWithObjectsAndKeys(
                {moved, columns ? "OldColumns"_ns : "OldRows"_ns, now, columns ? "NewColumns"_ns : "NewRows"_ns}));
        if (columns) setSelectedColumnIndexes(now);
        else setSelectedRowIndexes(now);
        return true;
    }
    const NSInteger column = columnAtPoint(p), row = rowAtPoint(p);
    if (column == NSNotFound || row == NSNotFound) return false;
    return s->tableGridAcceptDropColumnRow(this, info, NSUInteger(column), NSUInteger(row)).value_or(false);
}
