#include "AppKit/NSTableHeaderView.h"

#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSTableView.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSTableHeaderView)

Ref<NSView> NSTableHeaderView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    return this;
}

Ref<NSTableView> NSTableHeaderView::tableView() const { return m_tableView.get(); }

void NSTableHeaderView::setTableView(const Ref<NSTableView>& tableView)
{
    m_tableView = tableView;
    setNeedsDisplay(true);
}

NSRect NSTableHeaderView::headerRectOfColumn(NSInteger column) const
{
    auto table = tableView();
    if (!table) return NSZeroRect;
    NSRect r = table->rectOfColumn(column);
    if (NSIsEmptyRect(r)) return NSZeroRect;
    r.origin.y = 0;
    r.size.height = bounds().size.height;
    return r;
}

NSInteger NSTableHeaderView::columnAtPoint(NSPoint point) const
{
    auto table = tableView();
    if (!table || point.y < 0 || point.y >= bounds().size.height) return -1;
    return table->columnAtPoint(NSMakePoint(point.x, 0));
}

void NSTableHeaderView::mouseDown(const Ref<NSEvent>& event)
{
    auto table = tableView();
    if (!table) return;
    const NSInteger column = columnAtPoint(convertPointFromView(event->locationInWindow(), nullptr));
    if (column < 0 || !table->allowsColumnSelection()) return;
    const bool extend =
        table->allowsMultipleSelection() && (event->modifierFlags() & (NSShiftKeyMask | NSCommandKeyMask));
    table->selectColumnIndexes(NSIndexSet::indexSetWithIndex(NSUInteger(column)), extend);
}

void NSTableHeaderView::drawRect(const NSRect& dirtyRect)
{
    NSColor::colorWithCalibratedWhite(0.95, 1)->setFill();
    NSRectFill(dirtyRect);
    const NSRect b = bounds();
    NSColor::colorWithCalibratedWhite(0.78, 1)->setFill();
    NSRectFill(NSMakeRect(NSMinX(b), NSMaxY(b) - 1, b.size.width, 1));
    auto table = tableView();
    if (!table) return;
    const auto selected = table->selectedColumnIndexes();
    for (NSInteger c = 0; c < table->numberOfColumns(); ++c) {
        const NSRect r = headerRectOfColumn(c);
        auto cell = table->tableColumns()[size_t(c)]->headerCell();
        if (NSIsEmptyRect(r) || !cell) continue;
        cell->setHighlighted(selected->containsIndex(NSUInteger(c)));
        cell->drawWithFrame(NSMakeRect(r.origin.x, r.origin.y, r.size.width, r.size.height - 1), this);
    }
}

void NSTableHeaderView::encodeWithCoder(NSCoder* coder) const { ViewCoding::encodeView(*this, coder); }

Id NSTableHeaderView::initWithCoder(NSCoder* coder)
{
    ViewCoding::decodeView(*this, coder);
    return this;
}
