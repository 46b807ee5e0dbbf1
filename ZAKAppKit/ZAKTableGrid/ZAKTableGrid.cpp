#include "ZAKAppKit/ZAKTableGrid/ZAKTableGrid.h"

#include "AppKit/NSClipView.h"
#include "AppKit/NSScroller.h"
#include "AppKit/NSViewDragging.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridCell.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridContentView.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridHeaderView.h"

NS_CLASS_DEFINE(ZAKTableGrid)

void ZAKTableGrid::describeClass(NSClassMembers<ZAKTableGrid>& m)
{
    m.action("viewFrameDidChange:", &ZAKTableGrid::viewFrameDidChange);
    m.action("contentViewDidScroll:", &ZAKTableGrid::contentViewDidScroll);
    m.action("insertTab:", &ZAKTableGrid::insertTab);
    m.action("insertBacktab:", &ZAKTableGrid::insertBacktab);
    m.action("insertNewline:", &ZAKTableGrid::insertNewline);
    m.action("moveUp:", &ZAKTableGrid::moveUp);
    m.action("moveDown:", &ZAKTableGrid::moveDown);
    m.action("moveLeft:", &ZAKTableGrid::moveLeft);
    m.action("moveRight:", &ZAKTableGrid::moveRight);
    m.action("moveUpAndModifySelection:", &ZAKTableGrid::moveUpAndModifySelection);
    m.action("moveDownAndModifySelection:", &ZAKTableGrid::moveDownAndModifySelection);
    m.action("moveLeftAndModifySelection:", &ZAKTableGrid::moveLeftAndModifySelection);
    m.action("moveRightAndModifySelection:", &ZAKTableGrid::moveRightAndModifySelection);
    m.action("selectAll:", &ZAKTableGrid::selectAll);
    m.action("deleteBackward:", &ZAKTableGrid::deleteBackward);
    m.action("deleteForward:", &ZAKTableGrid::deleteBackward);
}

// The centre's observers are weak: the grid's own selector observations end
// with it; the delegate's go with their tokens.
ZAKTableGrid::~ZAKTableGrid() { unregisterDelegate(); }

namespace {

Ref<NSScrollView> makeScrollView(const NSRect& frame, const Ref<NSView>& document, NSUInteger autoresizing)
{
    auto scroll = static_ref_cast<NSScrollView>(NSObject::alloc<NSScrollView>()->initWithFrame(frame));
    scroll->setDocumentView(document);
    scroll->setAutoresizingMask(autoresizing);
    return scroll;
}

}  // namespace

Ref<NSView> ZAKTableGrid::initWithFrame(const NSRect& frame)
{
    NSControl::initWithFrame(frame);
    m_columnWidths = NSMutableDictionary::dictionary();
    setPostsFrameChangedNotifications(true);

    auto cell = static_ref_cast<ZAKTableGridCell>(NSObject::alloc<ZAKTableGridCell>()->initTextCell(""_ns));
    cell->setBordered(true);
    cell->setScrollable(true);
    cell->setLineBreakMode(NSLineBreakByTruncatingTail);
    setCell(cell);

    const CGFloat w = frame.size.width, h = frame.size.height;
    m_columnHeaderView =
        static_ref_cast<ZAKTableGridHeaderView>(NSObject::alloc<ZAKTableGridHeaderView>()->initWithFrame(
            NSMakeRect(0, 0, w - kRowHeaderWidth, kColumnHeaderHeight)));
    m_columnHeaderView->setOrientation(ZAKTableGridHeaderView::kColumnHeader);
    m_columnHeaderScrollView = makeScrollView(NSMakeRect(kRowHeaderWidth, 0, w - kRowHeaderWidth, kColumnHeaderHeight),
                                              m_columnHeaderView, NSViewWidthSizable);
    m_columnHeaderScrollView->setDrawsBackground(false);

    m_rowHeaderView = static_ref_cast<ZAKTableGridHeaderView>(NSObject::alloc<ZAKTableGridHeaderView>()->initWithFrame(
        NSMakeRect(0, 0, kRowHeaderWidth, h - kColumnHeaderHeight)));
    m_rowHeaderView->setOrientation(ZAKTableGridHeaderView::kRowHeader);
    m_rowHeaderScrollView = makeScrollView(NSMakeRect(0, kColumnHeaderHeight, kRowHeaderWidth, h - kColumnHeaderHeight),
                                           m_rowHeaderView, NSViewHeightSizable);
    m_rowHeaderScrollView->setDrawsBackground(false);

    m_contentView = static_ref_cast<ZAKTableGridContentView>(NSObject::alloc<ZAKTableGridContentView>()->initWithFrame(
        NSMakeRect(0, 0, w - kRowHeaderWidth, h - kColumnHeaderHeight)));
    m_contentScrollView =
        makeScrollView(NSMakeRect(kRowHeaderWidth, kColumnHeaderHeight, w - kRowHeaderWidth, h - kColumnHeaderHeight),
                       m_contentView, NSViewWidthSizable | NSViewHeightSizable);
    m_contentScrollView->setHasHorizontalScroller(true);
    m_contentScrollView->setHasVerticalScroller(true);
    m_contentScrollView->setAutohidesScrollers(true);

    addSubview(m_columnHeaderScrollView);
    addSubview(m_rowHeaderScrollView);
    addSubview(m_contentScrollView);

    auto centre = NSNotificationCenter::defaultCenter();
    centre->addObserver(
        Id(this), "viewFrameDidChange:", NSString::stringWithUTF8String(NSViewFrameDidChangeNotification), Id(this));
    auto clip = m_contentScrollView->contentView();
    clip->setPostsBoundsChangedNotifications(true);
    centre->addObserver(
        Id(this), "contentViewDidScroll:", NSString::stringWithUTF8String(NSViewBoundsDidChangeNotification), clip);

    setSelectedColumnIndexes(NSIndexSet::indexSet());
    setSelectedRowIndexes(NSIndexSet::indexSet());
    m_allowsMultipleSelection = true;
    m_stickyColumnEdge = ZAKTableGridLeftEdge;
    m_stickyRowEdge = ZAKTableGridTopEdge;
    m_shouldOverrideModifiers = false;
    return Ref<NSView>(this);
}

void ZAKTableGrid::awakeFromNib() { registerForDraggedTypes(nullptr); }

void ZAKTableGrid::registerForDraggedTypes(const Ref<NSArray>& types)
{
    auto all = NSMutableArray::arrayWithArray(types ? types : NSArray::array());
    all->addObject(ZAKTableGridColumnDataType);
    all->addObject(ZAKTableGridRowDataType);
    NSViewExt::registerForDraggedTypes(Ref<NSView>(this), all);
    if (m_contentView) NSViewExt::registerForDraggedTypes(m_contentView, all);
}

ZAKTableGridDataSource* ZAKTableGrid::source() const
{
    return dynamic_cast<ZAKTableGridDataSource*>(m_dataSource.get().get());
}

ZAKTableGridDelegate* ZAKTableGrid::delegateProtocol() const
{
    return dynamic_cast<ZAKTableGridDelegate*>(m_delegate.get().get());
}

// --- Delegate ---

void ZAKTableGrid::unregisterDelegate()
{
    auto centre = NSNotificationCenter::defaultCenter();
    for (const auto& token : m_delegateTokens) centre->removeObserver(token);
    m_delegateTokens.clear();
}

void ZAKTableGrid::setDelegate(const Id& delegate)
{
    if (delegate.get() == m_delegate.get().get()) return;
    unregisterDelegate();
    m_delegate = delegate;
    if (!dynamic_cast<ZAKTableGridDelegate*>(delegate.get())) return;
    // The delegate hears the grid's notifications while it is the delegate.
    Weak<NSObject> weak = delegate;
    auto centre = NSNotificationCenter::defaultCenter();
    using Handler = void (ZAKTableGridDelegate::*)(const Ref<NSNotification>&);
    const std::pair<Ref<NSString>, Handler> notes[] = {
        {ZAKTableGridDidChangeSelectionNotification, &ZAKTableGridDelegate::tableGridDidChangeSelection},
        {ZAKTableGridDidMoveColumnsNotification, &ZAKTableGridDelegate::tableGridDidMoveColumns},
        {ZAKTableGridDidMoveRowsNotification, &ZAKTableGridDelegate::tableGridDidMoveRows},
    };
    for (const auto& [name, handler] : notes) {
        m_delegateTokens.push_back(
            centre->addObserverForName(name, Id(this), nullptr, [weak, handler](const Ref<NSNotification>& note) {
                if (auto* d = dynamic_cast<ZAKTableGridDelegate*>(weak.get().get())) (d->*handler)(note);
            }));
    }
}

// --- Data ---

void ZAKTableGrid::reloadData()
{
    auto* s = source();
    m_numberOfColumns = s ? s->numberOfColumnsInTableGrid(this).value_or(0) : 0;
    m_numberOfRows = s ? s->numberOfRowsInTableGrid(this).value_or(0) : 0;
    // With no columns or no rows the content keeps the size it had.
    if (m_numberOfColumns > 0 && m_numberOfRows > 0) {
        const NSRect last = m_contentView->frameOfCellAtColumnRow(m_numberOfColumns - 1, m_numberOfRows - 1);
        m_contentView->setFrameSize(NSMakeSize(NSMaxX(last), NSMaxY(last)));
    }
    const NSSize content = m_contentView->frame().size;
    auto vertical = m_contentScrollView->verticalScroller();
    auto horizontal = m_contentScrollView->horizontalScroller();
    const CGFloat scroller = NSScrollView::scrollerWidth();
    m_columnHeaderView->setFrameSize(
        NSMakeSize(content.width + (vertical && !vertical->isHidden() ? scroller : 0), kColumnHeaderHeight));
    m_rowHeaderView->setFrameSize(
        NSMakeSize(kRowHeaderWidth, content.height + (horizontal && !horizontal->isHidden() ? scroller : 0)));
    setNeedsDisplay(true);
}

Ref<NSString> ZAKTableGrid::_headerStringForColumn(NSUInteger column)
{
    if (auto* s = source())
        if (auto title = s->tableGridHeaderStringForColumn(this, column)) return *title;
    // Letters, then the characters after them as far as the ASCII letters
    // go; beyond, a title that is still text: the column's number.
    if (column < 62) {
        const char16_t c = char16_t(65 + column);
        return NSString::stringWithCharacters(&c, 1);
    }
    return NSString::stringWithFormat("%lu", static_cast<unsigned long>(column + 1));
}

Ref<NSString> ZAKTableGrid::_headerStringForRow(NSUInteger row)
{
    if (auto* s = source())
        if (auto title = s->tableGridHeaderStringForRow(this, row)) return *title;
    return NSString::stringWithFormat("%lu", static_cast<unsigned long>(row + 1));
}

Id ZAKTableGrid::_objectValueForColumnRow(NSUInteger column, NSUInteger row)
{
    auto* s = source();
    return s ? s->tableGridObjectValueForColumnRow(this, column, row).value_or(nullptr) : nullptr;
}

Ref<NSColor> ZAKTableGrid::_backgroundColorForColumnRow(NSUInteger column, NSUInteger row)
{
    auto* s = source();
    return s ? s->tableGridBackgroundColorForColumnRow(this, column, row).value_or(nullptr) : nullptr;
}

void ZAKTableGrid::_setObjectValueForColumnRow(const Id& value, NSUInteger column, NSUInteger row)
{
    if (auto* s = source()) s->tableGridSetObjectValueForColumnRow(this, value, column, row);
}

bool ZAKTableGrid::_canEditCellAtColumnRow(NSUInteger column, NSUInteger row)
{
    auto* s = source();
    if (!s || !s->tableGridStoresObjectValues(this)) return false;
    auto* d = delegateProtocol();
    return !d || d->tableGridShouldEditColumnRow(this, column, row).value_or(true);
}

// --- Column widths ---

Ref<NSString> ZAKTableGrid::widthKey(NSUInteger column)
{
    return NSString::stringWithFormat("column%lu", static_cast<unsigned long>(column));
}

float ZAKTableGrid::_widthForColumn(NSUInteger column) const
{
    if (auto cached = dynamic_ref_cast<NSNumber>(m_columnWidths->objectForKey(widthKey(column))))
        return cached->floatValue();
    return _setWidthForColumn(column);
}

float ZAKTableGrid::_setWidthForColumn(NSUInteger column) const
{
    auto* s = source();
    auto width = s ? s->tableGridSetWidthForColumn(const_cast<ZAKTableGrid*>(this), column) : std::nullopt;
    if (!width) return kDefaultColumnWidth;
    m_columnWidths->setObject(NSNumber::numberWithFloat(*width), widthKey(column));
    return *width;
}

void ZAKTableGrid::resizeColumnWithIndex(NSUInteger column, float distance)
{
    const float old = _widthForColumn(column);
    const float width = std::max(float(kMinimumColumnWidth), old + distance);
    m_columnWidths->setObject(NSNumber::numberWithFloat(width), widthKey(column));
    // The frames grow by what the column actually grew, so the content
    // never outgrows its columns when the minimum stopped the resize.
    const CGFloat applied = width - old;
    NSSize size = m_contentView->frame().size;
    m_contentView->setFrameSize(NSMakeSize(size.width + applied, size.height));
    size = m_columnHeaderView->frame().size;
    m_columnHeaderView->setFrameSize(NSMakeSize(size.width + applied, size.height));
    m_contentView->setNeedsDisplay(true);
    m_columnHeaderView->setNeedsDisplayInRect(m_columnHeaderView->frame());
}

void ZAKTableGrid::moveCachedWidths(const Ref<NSIndexSet>& moved, NSUInteger dropIndex)
{
    // The cached widths in column order, moved as the columns were.
    const NSUInteger count = m_numberOfColumns;
    std::vector<Id> widths(count);
    for (NSUInteger c = 0; c < count; ++c) widths[c] = m_columnWidths->objectForKey(widthKey(c));
    std::vector<Id> movedWidths, rest;
    for (NSUInteger c = 0; c < count; ++c) (moved->containsIndex(c) ? movedWidths : rest).push_back(widths[c]);
    NSUInteger before = 0;
    for (NSUInteger c = 0; c < dropIndex && c < count; ++c)
        if (!moved->containsIndex(c)) ++before;
    rest.insert(rest.begin() + NSInteger(before), movedWidths.begin(), movedWidths.end());
    for (NSUInteger c = 0; c < count; ++c) {
        if (rest[c]) m_columnWidths->setObject(rest[c], widthKey(c));
        else m_columnWidths->removeObjectForKey(widthKey(c));
    }
}

// --- Geometry ---

NSRect ZAKTableGrid::rectOfColumn(NSUInteger column) const
{
    NSRect r = convertRectFromView(m_contentView->rectOfColumn(column), m_contentView);
    r.origin.y = 0;
    r.size.height += kColumnHeaderHeight;
    if (r.size.height > frame().size.height) {
        auto horizontal = m_contentScrollView->horizontalScroller();
        r.size.height =
            frame().size.height - (m_contentScrollView->hasHorizontalScroller() && horizontal && !horizontal->isHidden()
                                       ? NSScrollView::scrollerWidth()
                                       : 0);
    }
    return r;
}

NSRect ZAKTableGrid::rectOfRow(NSUInteger row) const
{
    NSRect r = convertRectFromView(m_contentView->rectOfRow(row), m_contentView);
    r.origin.x = 0;
    r.size.width += kRowHeaderWidth;
    return r;
}

NSRect ZAKTableGrid::frameOfCellAtColumnRow(NSUInteger column, NSUInteger row) const
{
    return convertRectFromView(m_contentView->frameOfCellAtColumnRow(column, row), m_contentView);
}

NSRect ZAKTableGrid::headerRectOfColumn(NSUInteger column) const
{
    return convertRectFromView(m_columnHeaderView->headerRectOfColumn(column), m_columnHeaderView);
}

NSRect ZAKTableGrid::headerRectOfRow(NSUInteger row) const
{
    return convertRectFromView(m_rowHeaderView->headerRectOfRow(row), m_rowHeaderView);
}

NSInteger ZAKTableGrid::columnAtPoint(NSPoint point) const
{
    // The columns lie left to right: the walk stops once they are past the
    // point.
    for (NSUInteger c = 0; c < m_numberOfColumns; ++c) {
        const NSRect r = rectOfColumn(c);
        if (NSPointInRect(point, r)) return NSInteger(c);
        if (r.origin.x > point.x) break;
    }
    return NSNotFound;
}

NSInteger ZAKTableGrid::rowAtPoint(NSPoint point) const
{
    // Every row is kRowHeight high: the row follows from y.
    const NSPoint inContent = m_contentView->convertPointFromView(point, Ref<NSView>(const_cast<ZAKTableGrid*>(this)));
    if (inContent.y < 0) return NSNotFound;
    const auto row = NSUInteger(inContent.y / kRowHeight);
    if (row >= m_numberOfRows) return NSNotFound;
    return NSPointInRect(point, rectOfRow(row)) ? NSInteger(row) : NSNotFound;
}

NSInteger ZAKTableGrid::_dropColumnForPoint(NSPoint point) const
{
    const NSInteger column = columnAtPoint(point);
    if (column == NSNotFound) return NSNotFound;
    const NSRect r = rectOfColumn(NSUInteger(column));
    return point.x < NSMidX(r) ? column : column + 1;
}

NSInteger ZAKTableGrid::_dropRowForPoint(NSPoint point) const
{
    const NSInteger row = rowAtPoint(point);
    if (row == NSNotFound) return NSNotFound;
    const NSRect r = rectOfRow(NSUInteger(row));
    return point.y < NSMidY(r) ? row : row + 1;
}

// --- Selection ---

void ZAKTableGrid::setSelectedColumnIndexes(const Ref<NSIndexSet>& indexes)
{
    if (indexes.get() == m_selectedColumnIndexes.get()) return;
    Ref<NSIndexSet> chosen = indexes;
    if (auto* d = delegateProtocol())
        if (auto replaced = d->tableGridWillSelectColumnsAtIndexPath(this, indexes)) chosen = *replaced;
    m_selectedColumnIndexes = chosen ? chosen : NSIndexSet::indexSet();
    setNeedsDisplay(true);
    if (m_columnHeaderView) m_columnHeaderView->setNeedsDisplay(true);
    if (m_rowHeaderView) m_rowHeaderView->setNeedsDisplay(true);
    if (m_contentView) m_contentView->setNeedsDisplay(true);
    NSNotificationCenter::defaultCenter()->postNotificationName(ZAKTableGridDidChangeSelectionNotification, Id(this));
}

void ZAKTableGrid::setSelectedRowIndexes(const Ref<NSIndexSet>& indexes)
{
    if (indexes.get() == m_selectedRowIndexes.get()) return;
    Ref<NSIndexSet> chosen = indexes;
    if (auto* d = delegateProtocol())
        if (auto replaced = d->tableGridWillSelectRowsAtIndexPath(this, indexes)) chosen = *replaced;
    m_selectedRowIndexes = chosen ? chosen : NSIndexSet::indexSet();
    setNeedsDisplay(true);
    if (m_columnHeaderView) m_columnHeaderView->setNeedsDisplay(true);
    if (m_rowHeaderView) m_rowHeaderView->setNeedsDisplay(true);
    if (m_contentView) m_contentView->setNeedsDisplay(true);
    NSNotificationCenter::defaultCenter()->postNotificationName(ZAKTableGridDidChangeSelectionNotification, Id(this));
}

void ZAKTableGrid::selectColumns(NSUInteger first, NSUInteger last)
{
    setSelectedColumnIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(first, last - first + 1)));
}

void ZAKTableGrid::selectRows(NSUInteger first, NSUInteger last)
{
    setSelectedRowIndexes(NSIndexSet::indexSetWithIndexesInRange(NSMakeRange(first, last - first + 1)));
}

void ZAKTableGrid::selectCell(NSUInteger column, NSUInteger row)
{
    selectColumns(column, column);
    selectRows(row, row);
}

void ZAKTableGrid::_setStickyColumnRow(int32_t columnEdge, int32_t rowEdge)
{
    m_stickyColumnEdge = columnEdge;
    m_stickyRowEdge = rowEdge;
}

bool ZAKTableGrid::_isFocused() const
{
    auto w = window();
    if (!w || !w->isKeyWindow()) return false;
    auto view = dynamic_ref_cast<NSView>(w->firstResponder());
    return view && (view.get() == this || view->isDescendantOf(Ref<NSView>(const_cast<ZAKTableGrid*>(this))));
}

// --- Scrolling ---

void ZAKTableGrid::contentViewDidScroll(const Id&)
{
    const NSPoint origin = m_contentScrollView->contentView()->bounds().origin;
    auto follow = [&](const Ref<NSScrollView>& scroll, bool horizontal) {
        auto clip = scroll->contentView();
        const NSPoint own = clip->bounds().origin;
        if (own.x == origin.x && own.y == origin.y) return;
        clip->scrollToPoint(horizontal ? NSMakePoint(origin.x, own.y) : NSMakePoint(own.x, origin.y));
        scroll->reflectScrolledClipView(clip);
    };
    follow(m_columnHeaderScrollView, true);
    follow(m_rowHeaderScrollView, false);
}
