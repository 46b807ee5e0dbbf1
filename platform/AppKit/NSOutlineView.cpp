#include "AppKit/NSOutlineView.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNotificationCenter.h"

NS_CLASS_DEFINE(NSOutlineView)

namespace {

NSOutlineView::Hooks& hooks()
{
    static NSOutlineView::Hooks installed;
    return installed;
}

}

NSOutlineView::Hooks NSOutlineView::setHooks(Hooks replacement)
{
    Hooks previous = std::move(hooks());
    hooks() = std::move(replacement);
    return previous;
}

Ref<NSView> NSOutlineView::initWithFrame(const NSRect& frame)
{
    NSTableView::initWithFrame(frame);
    setUpOutline();
    return this;
}

Id NSOutlineView::initWithCoder(NSCoder* coder)
{
    NSTableView::initWithCoder(coder);
    setUpOutline();
    const double indentation = coder->decodeDoubleForKey(ViewCoding::key("NSOutlineViewIndentationPerLevel"));
    if (std::isfinite(indentation) && indentation >= 0 &&
        coder->containsValueForKey(ViewCoding::key("NSOutlineViewIndentationPerLevel")))
        m_indentationPerLevel = indentation;
    return this;
}

void NSOutlineView::setUpOutline() { m_rowsStale = true; }

NSOutlineViewDataSource* NSOutlineView::outlineDataSource() const
{
    return dynamic_cast<NSOutlineViewDataSource*>(dataSource().get());
}

NSOutlineViewDelegate* NSOutlineView::outlineDelegate() const
{
    return dynamic_cast<NSOutlineViewDelegate*>(delegate().get());
}

// --- Rows ---

void NSOutlineView::reloadData()
{
    m_rowsStale = true;
    NSTableView::reloadData();
}

NSInteger NSOutlineView::rowCountFromDataSource() const
{
    if (m_rowsStale) rebuildRows();
    return NSInteger(m_rows.size());
}

void NSOutlineView::rebuildRows() const
{
    m_rowsStale = false;
    std::vector<Row> rows;
    std::vector<const NSObject*> path;
    appendChildren(rows, nullptr, 0, -1, path);
    m_rows = std::move(rows);
    m_rowOfItem.clear();
    indexRows(0);
}

void NSOutlineView::appendChildren(std::vector<Row>& rows, const Id& item, NSInteger level, NSInteger parentRow,
                                   std::vector<const NSObject*>& path) const
{
    auto* self = const_cast<NSOutlineView*>(this);
    auto* source = outlineDataSource();
    if (!source) return;
    const NSInteger count = source->outlineViewNumberOfChildrenOfItem(self, item).value_or(0);
    for (NSInteger i = 0; i < count; ++i) {
        Id child = source->outlineViewChildOfItem(self, i, item).value_or(nullptr);
        rows.push_back({child, level, parentRow});
        if (!child || !m_expanded.contains(child.get()) || !self->isExpandable(child)) continue;
        // An item that contains itself shows its children once.
        if (std::find(path.begin(), path.end(), child.get()) != path.end()) continue;
        path.push_back(child.get());
        appendChildren(rows, child, level + 1, NSInteger(rows.size()) - 1, path);
        path.pop_back();
    }
}

void NSOutlineView::indexRows(size_t from) const
{
    for (size_t r = from; r < m_rows.size(); ++r)
        if (m_rows[r].item) m_rowOfItem[m_rows[r].item.get()] = NSInteger(r);
    // Heights: the delegate's where it answers, else the row height.
    m_rowTops.clear();
    auto* d = outlineDelegate();
    if (!d) return;
    auto* self = const_cast<NSOutlineView*>(this);
    const CGFloat spacing = intercellSpacing().height;
    std::vector<CGFloat> tops;
    tops.reserve(m_rows.size() + 1);
    tops.push_back(0);
    bool answered = false;
    for (const Row& row : m_rows) {
        auto height = d->outlineViewHeightOfRowByItem(self, row.item);
        answered |= height.has_value();
        const CGFloat h = height && std::isfinite(*height) && *height > 0 ? *height : rowHeight();
        tops.push_back(tops.back() + h + spacing);
    }
    if (answered) m_rowTops = std::move(tops);
}

Id NSOutlineView::itemAtRow(NSInteger row) const
{
    if (row < 0 || row >= numberOfRows()) return nullptr;
    return m_rows[size_t(row)].item;
}

NSInteger NSOutlineView::rowForItem(const Id& item) const
{
    if (!item) return -1;
    numberOfRows();
    const auto it = m_rowOfItem.find(item.get());
    return it == m_rowOfItem.end() ? -1 : it->second;
}

NSInteger NSOutlineView::levelForRow(NSInteger row) const
{
    if (row < 0 || row >= numberOfRows()) return -1;
    return m_rows[size_t(row)].level;
}

NSInteger NSOutlineView::levelForItem(const Id& item) const { return levelForRow(rowForItem(item)); }

Id NSOutlineView::parentForItem(const Id& item) const
{
    const NSInteger row = rowForItem(item);
    if (row < 0) return nullptr;
    const NSInteger parent = m_rows[size_t(row)].parentRow;
    return parent < 0 ? nullptr : m_rows[size_t(parent)].item;
}

void NSOutlineView::setIndentationPerLevel(CGFloat indentation)
{
    if (!std::isfinite(indentation) || indentation < 0) return;
    m_indentationPerLevel = indentation;
    setNeedsDisplay(true);
}

Ref<NSTableColumn> NSOutlineView::outlineTableColumn() const
{
    if (auto column = m_outlineTableColumn.get()) return column;
    return tableColumns().empty() ? nullptr : tableColumns().front();
}

void NSOutlineView::setOutlineTableColumn(const Ref<NSTableColumn>& column)
{
    m_outlineTableColumn = column;
    setNeedsDisplay(true);
}

NSInteger NSOutlineView::outlineColumnIndex() const
{
    const auto column = outlineTableColumn();
    const auto& columns = tableColumns();
    const auto it = std::find(columns.begin(), columns.end(), column);
    return it == columns.end() ? -1 : NSInteger(it - columns.begin());
}

bool NSOutlineView::isGroupItem(const Id& item)
{
    auto* d = outlineDelegate();
    return item && d && d->outlineViewIsGroupItem(this, item).value_or(false);
}

// --- Expansion ---

bool NSOutlineView::isExpandable(const Id& item)
{
    auto* source = outlineDataSource();
    return item && source && source->outlineViewIsItemExpandable(this, item).value_or(false);
}

bool NSOutlineView::isItemExpanded(const Id& item) const { return item && m_expanded.contains(item.get()); }

void NSOutlineView::postItemNotification(const char* name, const Id& item,
                                         void (NSOutlineViewDelegate::*method)(const Ref<NSNotification>&))
{
    auto info = NSDictionary::dictionaryWithObjectForKey(item, "NSObject"_ns);
    auto note =
        NSNotification::notificationWithName(NSString::stringWithUTF8String(name), Ref<NSOutlineView>(this), info);
    if (auto* d = outlineDelegate()) (d->*method)(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

void NSOutlineView::expandItem(const Id& item, bool expandChildren)
{
    Ref<NSOutlineView> self(this);
    expandOne(item);
    if (!expandChildren || !isItemExpanded(item)) return;
    auto* source = outlineDataSource();
    const NSInteger count = source ? source->outlineViewNumberOfChildrenOfItem(this, item).value_or(0) : 0;
    for (NSInteger i = 0; i < count; ++i) {
        Id child = source->outlineViewChildOfItem(this, i, item).value_or(nullptr);
        // Guarded against an item that lists itself among its descendants.
        if (child && !isItemExpanded(child)) expandItem(child, true);
    }
}

void NSOutlineView::expandOne(const Id& item)
{
    if (!item || isItemExpanded(item) || !isExpandable(item)) return;
    if (auto* d = outlineDelegate(); d && !d->outlineViewShouldExpandItem(this, item).value_or(true)) return;
    postItemNotification(NSOutlineViewItemWillExpandNotification, item,
                         &NSOutlineViewDelegate::outlineViewItemWillExpand);
    m_expanded[item.get()] = item;
    const NSInteger row = rowForItem(item);
    if (row >= 0 && !m_rowsStale) {
        // The children are built apart (their parents numbered from 0 there,
        // the item's own children with -1), then spliced in below the item.
        std::vector<const NSObject*> path;
        for (NSInteger p = row; p >= 0; p = m_rows[size_t(p)].parentRow) path.push_back(m_rows[size_t(p)].item.get());
        std::vector<Row> children;
        appendChildren(children, item, m_rows[size_t(row)].level + 1, -1, path);
        const auto count = NSInteger(children.size());
        for (auto& r : children) r.parentRow = r.parentRow < 0 ? row : r.parentRow + row + 1;
        for (size_t r = size_t(row) + 1; r < m_rows.size(); ++r)
            if (m_rows[r].parentRow > row) m_rows[r].parentRow += count;
        m_rows.insert(m_rows.begin() + row + 1, std::make_move_iterator(children.begin()),
                      std::make_move_iterator(children.end()));
        indexRows(size_t(row) + 1);
        rowsShifted(row + 1, count);
    }
    postItemNotification(NSOutlineViewItemDidExpandNotification, item,
                         &NSOutlineViewDelegate::outlineViewItemDidExpand);
}

void NSOutlineView::collapseItem(const Id& item, bool collapseChildren)
{
    Ref<NSOutlineView> self(this);
    if (collapseChildren) {
        // The descendants first, so that they show collapsed next time.
        auto* source = outlineDataSource();
        const NSInteger count = source ? source->outlineViewNumberOfChildrenOfItem(this, item).value_or(0) : 0;
        for (NSInteger i = 0; i < count && isItemExpanded(item); ++i) {
            Id child = source->outlineViewChildOfItem(this, i, item).value_or(nullptr);
            if (child && child.get() != item.get() && isItemExpanded(child)) collapseItem(child, true);
        }
    }
    collapseOne(item);
}

void NSOutlineView::collapseOne(const Id& item)
{
    if (!isItemExpanded(item)) return;
    if (auto* d = outlineDelegate(); d && !d->outlineViewShouldCollapseItem(this, item).value_or(true)) return;
    postItemNotification(NSOutlineViewItemWillCollapseNotification, item,
                         &NSOutlineViewDelegate::outlineViewItemWillCollapse);
    Id keep = item;
    m_expanded.erase(item.get());
    const NSInteger row = rowForItem(item);
    if (row >= 0 && !m_rowsStale) {
        const NSInteger level = m_rows[size_t(row)].level;
        size_t end = size_t(row) + 1;
        while (end < m_rows.size() && m_rows[end].level > level) ++end;
        const auto count = NSInteger(end - size_t(row) - 1);
        for (size_t r = size_t(row) + 1; r < end; ++r)
            if (m_rows[r].item) m_rowOfItem.erase(m_rows[r].item.get());
        m_rows.erase(m_rows.begin() + row + 1, m_rows.begin() + NSInteger(end));
        for (size_t r = size_t(row) + 1; r < m_rows.size(); ++r)
            if (m_rows[r].parentRow > row) m_rows[r].parentRow -= count;
        indexRows(size_t(row) + 1);
        rowsShifted(row + 1, -count);
    }
    postItemNotification(NSOutlineViewItemDidCollapseNotification, item,
                         &NSOutlineViewDelegate::outlineViewItemDidCollapse);
}

NSRect NSOutlineView::frameOfOutlineCellAtRow(NSInteger row) const
{
    auto* self = const_cast<NSOutlineView*>(this);
    const NSInteger column = outlineColumnIndex();
    if (column < 0 || !self->isExpandable(itemAtRow(row))) return NSZeroRect;
    const NSRect rowRect = rectOfRow(row);
    const NSRect columnRect = rectOfColumn(column);
    const CGFloat x = NSMinX(columnRect) + intercellSpacing().width / 2 + outlineIndent(row) - kOutlineCellWidth;
    return NSMakeRect(x, NSMinY(rowRect), kOutlineCellWidth, rowRect.size.height);
}

// --- Geometry ---

CGFloat NSOutlineView::outlineIndent(NSInteger row) const
{
    return CGFloat(std::max<NSInteger>(levelForRow(row), 0)) * m_indentationPerLevel + kOutlineCellWidth;
}

CGFloat NSOutlineView::heightOfAllRows() const
{
    numberOfRows();
    return m_rowTops.empty() ? NSTableView::heightOfAllRows() : m_rowTops.back();
}

NSRect NSOutlineView::rectOfRow(NSInteger row) const
{
    if (row < 0 || row >= numberOfRows()) return NSZeroRect;
    if (m_rowTops.empty()) return NSTableView::rectOfRow(row);
    const CGFloat top = m_rowTops[size_t(row)];
    return NSMakeRect(0, top, bounds().size.width, m_rowTops[size_t(row) + 1] - top);
}

NSRange NSOutlineView::rowsInRect(const NSRect& rect) const
{
    const NSInteger rows = numberOfRows();
    if (m_rowTops.empty()) return NSTableView::rowsInRect(rect);
    if (rows == 0 || NSIsEmptyRect(rect)) return NSMakeRange(0, 0);
    // The first row ending below the top, up to the first starting at or below the bottom.
    const auto first = std::upper_bound(m_rowTops.begin() + 1, m_rowTops.end(), NSMinY(rect)) - m_rowTops.begin() - 1;
    const auto end = std::lower_bound(m_rowTops.begin(), m_rowTops.end() - 1, NSMaxY(rect)) - m_rowTops.begin();
    const auto lo = std::clamp<NSInteger>(first, 0, rows);
    return NSMakeRange(NSUInteger(lo), NSUInteger(std::clamp<NSInteger>(end, lo, rows) - lo));
}

NSInteger NSOutlineView::rowAtPoint(NSPoint point) const
{
    const NSInteger rows = numberOfRows();
    if (m_rowTops.empty()) return NSTableView::rowAtPoint(point);
    if (point.y < 0 || point.x < 0 || point.x >= bounds().size.width || point.y >= m_rowTops.back()) return -1;
    const auto row = std::upper_bound(m_rowTops.begin(), m_rowTops.end(), point.y) - m_rowTops.begin() - 1;
    return row < rows ? row : -1;
}

NSRect NSOutlineView::frameOfCellAtColumnRow(NSInteger column, NSInteger row) const
{
    const NSRect r = rectOfRow(row);
    const NSRect c = rectOfColumn(column);
    if (NSIsEmptyRect(r) || NSIsEmptyRect(c)) return NSZeroRect;
    const NSSize spacing = intercellSpacing();
    NSRect frame = NSMakeRect(c.origin.x + spacing.width / 2, r.origin.y + spacing.height / 2,
                              c.size.width - spacing.width, r.size.height - spacing.height);
    if (column != outlineColumnIndex()) {
        // A group row is the outline column's cell alone, across the row.
        return const_cast<NSOutlineView*>(this)->isGroupItem(itemAtRow(row)) ? NSZeroRect : frame;
    }
    if (const_cast<NSOutlineView*>(this)->isGroupItem(itemAtRow(row)))
        frame.size.width = NSMaxX(r) - spacing.width / 2 - frame.origin.x;
    const CGFloat indent = std::min(outlineIndent(row), frame.size.width);
    frame.origin.x += indent;
    frame.size.width -= indent;
    return frame;
}

// --- Values, cells and editing ---

Id NSOutlineView::objectValueAtColumnRow(NSInteger column, NSInteger row)
{
    if (column < 0 || column >= numberOfColumns() || row < 0 || row >= numberOfRows()) return nullptr;
    auto* source = outlineDataSource();
    if (!source) return nullptr;
    return source
        ->outlineViewObjectValueForTableColumnByItem(this, tableColumns()[size_t(column)].get(), itemAtRow(row))
        .value_or(nullptr);
}

Ref<NSCell> NSOutlineView::preparedCellAtColumnRow(NSInteger column, NSInteger row)
{
    if (column < 0 || column >= numberOfColumns()) return nullptr;
    const auto& col = tableColumns()[size_t(column)];
    const Id item = itemAtRow(row);
    auto* d = outlineDelegate();
    Ref<NSCell> cell = d ? d->outlineViewDataCellForTableColumnItem(this, col.get(), item).value_or(nullptr) : nullptr;
    if (!cell) cell = col->dataCellForRow(row);
    if (!cell) return nullptr;
    // As in the table: the shared cell draws every row without marking the view.
    cell->setControlView(nullptr);
    cell->setObjectValue(objectValueAtColumnRow(column, row));
    cell->setHighlighted(isRowSelected(row));
    if (d) d->outlineViewWillDisplayCellForTableColumnItem(this, cell, col.get(), item);
    return cell;
}

bool NSOutlineView::canEditColumnRow(NSInteger column, NSInteger row)
{
    if (column < 0 || column >= numberOfColumns() || row < 0 || row >= numberOfRows()) return false;
    const auto& col = tableColumns()[size_t(column)];
    if (!col->isEditable()) return false;
    auto* d = outlineDelegate();
    return !d || d->outlineViewShouldEditTableColumnItem(this, col.get(), itemAtRow(row)).value_or(true);
}

void NSOutlineView::setObjectValueAtColumnRow(const Id& value, NSInteger column, NSInteger row)
{
    if (auto* source = outlineDataSource())
        source->outlineViewSetObjectValueForTableColumnByItem(this, value, tableColumns()[size_t(column)].get(),
                                                              itemAtRow(row));
}

// --- Selection ---

bool NSOutlineView::userMaySelectRow(NSInteger row)
{
    if (row < 0 || row >= numberOfRows()) return false;
    auto* d = outlineDelegate();
    return !d || d->outlineViewShouldSelectItem(this, itemAtRow(row)).value_or(true);
}

Ref<NSIndexSet> NSOutlineView::selectionIndexesForProposedSelection(const Ref<NSIndexSet>& proposed)
{
    auto* d = outlineDelegate();
    if (!d) return proposed;
    return d->outlineViewSelectionIndexesForProposedSelection(this, proposed).value_or(proposed);
}

void NSOutlineView::selectionIsChanging()
{
    auto note = NSNotification::notificationWithName(
        NSString::stringWithUTF8String(NSOutlineViewSelectionIsChangingNotification), Ref<NSOutlineView>(this));
    if (auto* d = outlineDelegate()) d->outlineViewSelectionIsChanging(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

void NSOutlineView::selectionDidChange()
{
    auto note = NSNotification::notificationWithName(
        NSString::stringWithUTF8String(NSOutlineViewSelectionDidChangeNotification), Ref<NSOutlineView>(this));
    if (auto* d = outlineDelegate()) d->outlineViewSelectionDidChange(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

// --- Events ---

void NSOutlineView::mouseDown(const Ref<NSEvent>& event)
{
    Ref<NSOutlineView> self(this);
    const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
    const NSInteger row = rowAtPoint(p);
    if (row >= 0 && event->clickCount() == 1 && NSPointInRect(p, frameOfOutlineCellAtRow(row))) {
        const Id item = itemAtRow(row);
        const bool children = event->modifierFlags() & NSAlternateKeyMask;
        if (isItemExpanded(item)) collapseItem(item, children);
        else expandItem(item, children);
        return;
    }
    NSTableView::mouseDown(event);
}

void NSOutlineView::keyDown(const Ref<NSEvent>& event)
{
    if (!hooks().keyDown) return tableKeyDown(event);
    hooks().keyDown(this, event, [&] { tableKeyDown(event); });
}

Id NSOutlineView::menuForEvent(const Ref<NSEvent>& event)
{
    if (!hooks().menuForEvent) return tableMenuForEvent(event);
    return hooks().menuForEvent(this, event, [&] { return tableMenuForEvent(event); });
}

void NSOutlineView::textDidEndEditing(const Ref<NSNotification>& note)
{
    if (!hooks().textDidEndEditing) return tableTextDidEndEditing(note);
    hooks().textDidEndEditing(this, note, [&](const Ref<NSNotification>& n) { tableTextDidEndEditing(n); });
}

// --- Drawing ---

void NSOutlineView::drawRow(NSInteger row, const NSRect& clipRect)
{
    if (isGroupItem(itemAtRow(row)) && !isRowSelected(row)) {
        NSColor::colorWithCalibratedWhite(0.92, 1)->setFill();
        NSRectFill(NSIntersectionRect(rectOfRow(row), clipRect));
    }
    NSTableView::drawRow(row, clipRect);
    drawDisclosureTriangle(row);
}

void NSOutlineView::drawDisclosureTriangle(NSInteger row)
{
    const NSRect frame = frameOfOutlineCellAtRow(row);
    if (NSIsEmptyRect(frame)) return;
    const NSPoint c = NSMakePoint(NSMidX(frame), NSMidY(frame));
    auto path = NSBezierPath::bezierPath();
    // Flipped view: a collapsed item points right, an expanded one down.
    if (isItemExpanded(itemAtRow(row))) {
        path->moveToPoint(NSMakePoint(c.x - 4, c.y - 2));
        path->lineToPoint(NSMakePoint(c.x + 4, c.y - 2));
        path->lineToPoint(NSMakePoint(c.x, c.y + 3));
    } else {
        path->moveToPoint(NSMakePoint(c.x - 2, c.y - 4));
        path->lineToPoint(NSMakePoint(c.x + 3, c.y));
        path->lineToPoint(NSMakePoint(c.x - 2, c.y + 4));
    }
    path->closePath();
    auto w = window();
    const bool light = isRowSelected(row) && w && w->isKeyWindow() && w->firstResponder().get() == this;
    (light ? NSColor::whiteColor() : NSColor::colorWithCalibratedWhite(0.45, 1))->setFill();
    path->fill();
}
