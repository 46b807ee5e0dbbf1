#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineSourceList.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSApplication.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSWindow.h"
#include "AppKitExtensions/NSOutlineView+ZAKOutlineViewExtension.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"

NS_CLASS_DEFINE(ZAKOutlineSourceList)

namespace {

constexpr unichar kBackspace = 0x08;
constexpr unichar kDelete = 0x7F;
constexpr unichar kUpArrow = 0xF700;
constexpr unichar kDownArrow = 0xF701;
constexpr CGFloat kBadgeHeight = 14;
constexpr CGFloat kBadgeMinimumWidth = 22;
constexpr CGFloat kBadgeMargin = 5;
constexpr CGFloat kAlwaysExpandedGroupX = 7;

// Select All is not the list's: the command goes on along the responder chain.
[[maybe_unused]] const bool g_selectAllWithdrawn = [] {
    ZAKOutlineSourceList::classRecord().addCategoryAction("selectAll:", 1, nullptr);
    return true;
}();

Ref<NSDictionary> badgeAttributes(const Ref<NSColor>& colour)
{
    auto attributes = NSMutableDictionary::dictionary();
    attributes->setObject(NSFont::boldSystemFontOfSize(11), NSFontAttributeName);
    if (colour) attributes->setObject(colour, NSForegroundColorAttributeName);
    return attributes;
}

// The seven notifications and the delegate methods that hear them.
struct Subscription {
    const char* name;
    const char* selector;
    void (ZAKOutlineSourceListDelegate::*method)(const Ref<NSNotification>&);
};

constexpr Subscription kSubscriptions[] = {
    {ZAKOutlineSourceListSelectionIsChangingNotification,
     "sourceListSelectionIsChanging:", &ZAKOutlineSourceListDelegate::sourceListSelectionIsChanging},
    {ZAKOutlineSourceListSelectionDidChangeNotification,
     "sourceListSelectionDidChange:", &ZAKOutlineSourceListDelegate::sourceListSelectionDidChange},
    {ZAKOutlineSourceListItemWillExpandNotification,
     "sourceListItemWillExpand:", &ZAKOutlineSourceListDelegate::sourceListItemWillExpand},
    {ZAKOutlineSourceListItemDidExpandNotification,
     "sourceListItemDidExpand:", &ZAKOutlineSourceListDelegate::sourceListItemDidExpand},
    {ZAKOutlineSourceListItemWillCollapseNotification,
     "sourceListItemWillCollapse:", &ZAKOutlineSourceListDelegate::sourceListItemWillCollapse},
    {ZAKOutlineSourceListItemDidCollapseNotification,
     "sourceListItemDidCollapse:", &ZAKOutlineSourceListDelegate::sourceListItemDidCollapse},
    {ZAKOutlineSourceListDeleteKeyPressedOnRowsNotification,
     "sourceListDeleteKeyPressedOnRows:", &ZAKOutlineSourceListDelegate::sourceListDeleteKeyPressedOnRows},
};

}

// --- Creation ---

Ref<NSView> ZAKOutlineSourceList::initWithFrame(const NSRect& frame)
{
    NSOutlineView::initWithFrame(frame);
    wireToItself();
    return this;
}

Id ZAKOutlineSourceList::initWithCoder(NSCoder* coder)
{
    NSOutlineView::initWithCoder(coder);
    // The file's delegate and data source are the list's clients.
    const Id fileDelegate = NSOutlineView::delegate();
    const Id fileDataSource = NSOutlineView::dataSource();
    wireToItself();
    if (fileDelegate.get() != this) setDelegate(fileDelegate);
    if (fileDataSource.get() != this) setDataSource(fileDataSource);
    return this;
}

void ZAKOutlineSourceList::wireToItself()
{
    NSOutlineView::setDelegate(Id(this));
    NSOutlineView::setDataSource(Id(this));
    m_iconSize = NSMakeSize(16, 16);
}

ZAKOutlineSourceList::~ZAKOutlineSourceList() { unregisterDelegate(); }

// --- Clients ---

void ZAKOutlineSourceList::setDelegate(const Id& delegate)
{
    unregisterDelegate();
    m_secondaryDelegate = delegate;
    if (!delegate) return;
    for (const auto& s : kSubscriptions) registerDelegateToReceiveNotification(s.name, s.selector);
}

void ZAKOutlineSourceList::setDataSource(const Id& dataSource)
{
    m_secondaryDataSource = dataSource;
    reloadData();
}

// Each subscription is a block registration whose token the list keeps, so
// it ends with the list or the delegate's replacement without the list
// having to name itself as sender then.
void ZAKOutlineSourceList::registerDelegateToReceiveNotification(const char* name, const SEL& selector)
{
    const Id delegate = m_secondaryDelegate.get();
    if (!delegate) return;
    auto centre = NSNotificationCenter::defaultCenter();
    const auto noteName = NSString::stringWithUTF8String(name);
    Weak<NSObject> weak = delegate;
    if (delegate->respondsToSelector(selector)) {
        m_delegateTokens.push_back(
            centre->addObserverForName(noteName, Id(this), nullptr, [weak, selector](const Ref<NSNotification>& note) {
                if (auto d = weak.get()) d->performSelector(selector, note);
            }));
        return;
    }
    const auto it = std::find_if(std::begin(kSubscriptions), std::end(kSubscriptions),
                                 [&](const Subscription& s) { return selector == s.selector; });
    if (it == std::end(kSubscriptions) || !dynamic_cast<ZAKOutlineSourceListDelegate*>(delegate.get())) return;
    const auto method = it->method;
    m_delegateTokens.push_back(
        centre->addObserverForName(noteName, Id(this), nullptr, [weak, method](const Ref<NSNotification>& note) {
            if (auto* d = dynamic_cast<ZAKOutlineSourceListDelegate*>(weak.get().get())) (d->*method)(note);
        }));
}

void ZAKOutlineSourceList::unregisterDelegate()
{
    auto centre = NSNotificationCenter::defaultCenter();
    for (const Id& token : m_delegateTokens) centre->removeObserver(token);
    m_delegateTokens.clear();
}

ZAKOutlineSourceListDataSource* ZAKOutlineSourceList::conformingDataSource(bool logRefusal) const
{
    const Id source = m_secondaryDataSource.get();
    auto* conforming = dynamic_cast<ZAKOutlineSourceListDataSource*>(source.get());
    if (!conforming && source && logRefusal)
        NSLog("ZAKOutlineSourceList: Datasource %@ is not conform to protocol <ZAKOutlineSourceListDataSource>",
              source);
    return conforming;
}

ZAKOutlineSourceListDelegate* ZAKOutlineSourceList::clientDelegate() const
{
    return dynamic_cast<ZAKOutlineSourceListDelegate*>(m_secondaryDelegate.get().get());
}

void ZAKOutlineSourceList::post(const char* name, const Ref<NSDictionary>& userInfo)
{
    NSNotificationCenter::defaultCenter()->postNotificationName(NSString::stringWithUTF8String(name),
                                                                Ref<ZAKOutlineSourceList>(this), userInfo);
}

void ZAKOutlineSourceList::setIconSize(NSSize size)
{
    const CGFloat rowHeight = this->rowHeight();
    if (rowHeight < size.height && size.height > 0) size = NSMakeSize(size.width * rowHeight / size.height, rowHeight);
    m_iconSize = size;
    setNeedsDisplay(true);
}

bool ZAKOutlineSourceList::respondsToSelector(const SEL& selector) const
{
    return selector != "selectAll:" && NSOutlineView::respondsToSelector(selector);
}

// --- Groups ---

NSUInteger ZAKOutlineSourceList::numberOfGroups()
{
    auto* source = conformingDataSource();
    return source ? source->sourceListNumberOfChildrenOfItem(this, nullptr) : 0;
}

bool ZAKOutlineSourceList::isGroupItem(const Id& item) const { return item && levelForItem(item) == 0; }

bool ZAKOutlineSourceList::isGroupAlwaysExpanded(const Id& group)
{
    auto* d = clientDelegate();
    return d && isGroupItem(group) && d->sourceListIsGroupAlwaysExpanded(this, group).value_or(false);
}

void ZAKOutlineSourceList::reloadData()
{
    Ref<ZAKOutlineSourceList> self(this);
    NSOutlineView::reloadData();
    auto* source = conformingDataSource();
    auto* d = clientDelegate();
    if (source && d && numberOfGroups() > 0) {
        // Read again at each step: expanding may tell the data source to change.
        for (NSUInteger i = 0; i < numberOfGroups(); ++i) {
            const Id group = source->sourceListChildOfItem(this, NSInteger(i), nullptr);
            if (group && d->sourceListIsGroupAlwaysExpanded(this, group).value_or(false)) expandItem(group);
        }
    }
    repairSelection();
}

void ZAKOutlineSourceList::repairSelection()
{
    const NSInteger rows = numberOfRows();
    auto selected = selectedRowIndexes();
    if (selected->count() == 0) {
        if (allowsEmptySelection() || rows == 0) return;
        for (NSInteger r = 0; r < rows; ++r)
            if (!isGroupItem(itemAtRow(r))) {
                NSOutlineView::selectRowIndexes(NSIndexSet::indexSetWithIndex(NSUInteger(r)), false);
                return;
            }
        return;
    }
    const auto first = NSInteger(selected->firstIndex());
    if (!isGroupItem(itemAtRow(first))) return;
    for (NSInteger r = first - 1; r >= 1; --r)
        if (!isGroupItem(itemAtRow(r))) {
            NSOutlineView::selectRowIndexes(NSIndexSet::indexSetWithIndex(NSUInteger(r)), false);
            return;
        }
    deselectAll(nullptr);
}

void ZAKOutlineSourceList::selectRowIndexes(const Ref<NSIndexSet>& indexes, bool extend)
{
    if (!indexes || (indexes->count() == 0 && !allowsEmptySelection())) return;
    auto rows = NSMutableIndexSet::indexSet();
    indexes->enumerateIndexesUsingBlock([&](NSUInteger row, bool*) {
        if (!isGroupItem(itemAtRow(NSInteger(row)))) rows->addIndex(row);
    });
    NSOutlineView::selectRowIndexes(rows, extend);
}

// --- Badges ---

bool ZAKOutlineSourceList::itemHasBadge(const Id& item)
{
    auto* source = conformingDataSource();
    return source && source->sourceListItemHasBadge(this, item).value_or(false);
}

NSInteger ZAKOutlineSourceList::badgeValueForItem(const Id& item)
{
    if (!itemHasBadge(item)) return NSNotFound;
    return conformingDataSource()->sourceListBadgeValueForItem(this, item).value_or(NSNotFound);
}

// A badge without a value shows no number.
Ref<NSString> ZAKOutlineSourceList::badgeText(NSInteger value)
{
    return value == NSNotFound ? ""_ns : NSString::stringWithUTF8String(std::to_string(value).c_str());
}

NSSize ZAKOutlineSourceList::sizeOfBadgeAtRow(NSInteger row)
{
    const Id item = itemAtRow(row);
    if (!item || !itemHasBadge(item)) return NSZeroSize;
    const NSSize text = NSStringExt::sizeWithAttributes(badgeText(badgeValueForItem(item)), badgeAttributes(nullptr));
    return NSMakeSize(std::max(kBadgeMinimumWidth, text.width + 10), kBadgeHeight);
}

void ZAKOutlineSourceList::drawBadgeForRow(NSInteger row, const NSRect& rect)
{
    const Id item = itemAtRow(row);
    auto mainWindow = NSApp ? NSApp->mainWindow() : nullptr;
    const bool active = mainWindow && mainWindow->isVisible();
    Ref<NSColor> fill;
    Ref<NSColor> text;
    if (isRowSelected(row)) {
        fill = NSColor::whiteColor();
        auto w = window();
        const bool focused = (w && w->firstResponder().get() == this) || editedRow() == row;
        if (!active) text = NSColor::colorWithCalibratedWhite(170.0 / 255, 1);
        else if (focused) text = NSColor::keyboardFocusIndicatorColor();
        else text = NSColor::colorWithCalibratedRed(153.0 / 255, 169.0 / 255, 203.0 / 255, 1);
    } else if (active) {
        auto* source = conformingDataSource();
        fill = source ? source->sourceListBadgeBackgroundColorForItem(this, item).value_or(nullptr) : nullptr;
        if (!fill) fill = NSColor::colorWithCalibratedRed(152.0 / 255, 168.0 / 255, 202.0 / 255, 1);
        text = source ? source->sourceListBadgeTextColorForItem(this, item).value_or(nullptr) : nullptr;
        if (!text) text = NSColor::whiteColor();
    } else {
        fill = NSColor::colorWithDeviceWhite(180.0 / 255, 1);
        text = NSColor::whiteColor();
    }
    fill->setFill();
    NSBezierPath::bezierPathWithRoundedRect(rect, 7, 7)->fill();
    const auto label = badgeText(badgeValueForItem(item));
    if (label->length() == 0) return;
    const auto attributes = badgeAttributes(text);
    const NSSize size = NSStringExt::sizeWithAttributes(label, attributes);
    NSStringExt::drawAtPoint(label,
                             NSMakePoint(NSMinX(rect) + rect.size.width / 2 - size.width / 2,
                                         NSMinY(rect) + rect.size.height / 2 - size.height / 2),
                             attributes);
}

// --- Geometry and drawing ---

NSRect ZAKOutlineSourceList::frameOfOutlineCellAtRow(NSInteger row) const
{
    auto* self = const_cast<ZAKOutlineSourceList*>(this);
    if (self->isGroupAlwaysExpanded(itemAtRow(row))) return NSZeroRect;
    return NSOutlineView::frameOfOutlineCellAtRow(row);
}

NSRect ZAKOutlineSourceList::frameOfCellAtColumnRow(NSInteger column, NSInteger row) const
{
    auto* self = const_cast<ZAKOutlineSourceList*>(this);
    const NSRect own = NSOutlineView::frameOfCellAtColumnRow(column, row);
    const NSRect rowRect = rectOfRow(row);
    if (NSIsEmptyRect(rowRect) || column < 0 || column >= numberOfColumns()) return own;
    auto cell = self->preparedCellAtColumnRow(column, row);
    CGFloat height = own.size.height;
    if (cell)
        height = cell->type() == NSTextCellType || cell->type() == NSImageCellType
                     ? cell->cellSize().height
                     : cell->cellSizeForBounds(own).height;
    const Id item = itemAtRow(row);
    if (isGroupItem(item)) {
        const CGFloat x = self->isGroupAlwaysExpanded(item) ? kAlwaysExpandedGroupX : own.origin.x;
        return NSMakeRect(x, own.origin.y + own.size.height / 2 - height / 2, rowRect.size.width - x, height);
    }
    CGFloat left = CGFloat(levelForRow(row)) * indentationPerLevel() + 18;
    auto* source = conformingDataSource();
    if (source && source->sourceListItemHasIcon(self, item).value_or(false)) left += m_iconSize.width + 4;
    const NSSize badge = self->sizeOfBadgeAtRow(row);
    return NSMakeRect(left, rowRect.origin.y + rowRect.size.height / 2 - height / 2,
                      rowRect.size.width - (badge.width + kBadgeMargin) - left, height);
}

void ZAKOutlineSourceList::drawRow(NSInteger row, const NSRect& clipRect)
{
    NSOutlineView::drawRow(row, clipRect);
    const Id item = itemAtRow(row);
    if (!item) return;
    auto* source = conformingDataSource();
    if (!isGroupItem(item) && source && source->sourceListItemHasIcon(this, item).value_or(false)) {
        const NSRect text = frameOfCellAtColumnRow(0, row);
        const CGFloat w = m_iconSize.width;
        const CGFloat h = m_iconSize.height;
        NSRect iconRect = NSMakeRect(text.origin.x - w - 2, text.origin.y + text.size.height / 2 - h / 2, w, h);
        if (auto icon = source->sourceListIconForItem(this, item).value_or(nullptr)) {
            const NSSize size = icon->size();
            // Smaller images keep their size, centred; others fill the room.
            if (size.width < w || size.height < h)
                iconRect = NSMakeRect(NSMidX(iconRect) - size.width / 2, NSMidY(iconRect) - size.height / 2, size.width,
                                      size.height);
            icon->drawInRect(iconRect, NSZeroRect, NSCompositeSourceOver, 1, true, nullptr);
        }
    }
    if (itemHasBadge(item)) {
        const NSRect r = rectOfRow(row);
        const NSSize size = sizeOfBadgeAtRow(row);
        drawBadgeForRow(row, NSMakeRect(NSMaxX(r) - size.width - kBadgeMargin,
                                        r.origin.y + r.size.height / 2 - size.height / 2, size.width, size.height));
    }
}

// --- Events ---

void ZAKOutlineSourceList::keyDown(const Ref<NSEvent>& event)
{
    Ref<ZAKOutlineSourceList> self(this);
    auto characters = event->characters();
    if (numberOfSelectedRows() == 0 || !characters || characters->length() == 0) return NSOutlineView::keyDown(event);
    const unichar key = characters->characterAtIndex(0);
    if (key == kBackspace || key == kDelete) {
        post(ZAKOutlineSourceListDeleteKeyPressedOnRowsNotification,
             NSDictionary::dictionaryWithObjectForKey(selectedRowIndexes(), "rows"_ns));
        return;
    }
    if ((key == kUpArrow || key == kDownArrow) && numberOfSelectedRows() == 1 &&
        !(event->modifierFlags() & NSShiftKeyMask)) {
        const NSInteger step = key == kUpArrow ? -1 : 1;
        const NSInteger rows = numberOfRows();
        for (NSInteger r = selectedRow() + step; r >= 0 && r < rows; r += step)
            if (!isGroupItem(itemAtRow(r))) {
                NSOutlineView::selectRowIndexes(NSIndexSet::indexSetWithIndex(NSUInteger(r)), false);
                scrollRowToVisible(r);
                break;
            }
        return;
    }
    NSOutlineView::keyDown(event);
}

Id ZAKOutlineSourceList::menuForEvent(const Ref<NSEvent>& event)
{
    if (auto* d = clientDelegate()) {
        const NSInteger row = rowAtPoint(convertPointFromView(event->locationInWindow(), nullptr));
        if (auto menu = d->sourceListMenuForEventItem(this, event, itemAtRow(row)).value_or(nullptr)) return menu;
    }
    return NSOutlineView::menuForEvent(event);
}

// --- Its own outline data source ---

std::optional<NSInteger> ZAKOutlineSourceList::outlineViewNumberOfChildrenOfItem(NSOutlineView*, const Id& item)
{
    auto* source = conformingDataSource(true);
    return source ? NSInteger(source->sourceListNumberOfChildrenOfItem(this, item)) : 0;
}

std::optional<Id> ZAKOutlineSourceList::outlineViewChildOfItem(NSOutlineView*, NSInteger index, const Id& item)
{
    auto* source = conformingDataSource();
    return source ? source->sourceListChildOfItem(this, index, item) : nullptr;
}

std::optional<bool> ZAKOutlineSourceList::outlineViewIsItemExpandable(NSOutlineView*, const Id& item)
{
    auto* source = conformingDataSource();
    return source && source->sourceListIsItemExpandable(this, item);
}

std::optional<Id> ZAKOutlineSourceList::outlineViewObjectValueForTableColumnByItem(NSOutlineView*, NSTableColumn*,
                                                                                   const Id& item)
{
    auto* source = conformingDataSource();
    return source ? source->sourceListObjectValueForItem(this, item) : nullptr;
}

void ZAKOutlineSourceList::outlineViewSetObjectValueForTableColumnByItem(NSOutlineView*, const Id& value,
                                                                         NSTableColumn*, const Id& item)
{
    if (auto* source = conformingDataSource()) source->sourceListSetObjectValueForItem(this, value, item);
}

std::optional<Id> ZAKOutlineSourceList::outlineViewItemForPersistentObject(NSOutlineView*, const Id& object)
{
    auto* source = conformingDataSource();
    return source ? source->sourceListItemForPersistentObject(this, object).value_or(nullptr) : nullptr;
}

std::optional<Id> ZAKOutlineSourceList::outlineViewPersistentObjectForItem(NSOutlineView*, const Id& item)
{
    auto* source = conformingDataSource();
    return source ? source->sourceListPersistentObjectForItem(this, item).value_or(nullptr) : nullptr;
}

std::optional<bool> ZAKOutlineSourceList::outlineViewWriteItemsToPasteboard(NSOutlineView*, const Ref<NSArray>& items,
                                                                            const Ref<NSPasteboard>& pasteboard)
{
    auto* source = conformingDataSource();
    return source && source->sourceListWriteItemsToPasteboard(this, items, pasteboard).value_or(false);
}

std::optional<Ref<NSArray>> ZAKOutlineSourceList::outlineViewNamesOfPromisedFilesDroppedAtDestinationForDraggedItems(
    NSOutlineView*, const Ref<NSURL>& destination, const Ref<NSArray>& items)
{
    auto* source = conformingDataSource();
    if (!source) return Ref<NSArray>();
    return source->sourceListNamesOfPromisedFilesDroppedAtDestinationForDraggedItems(this, destination, items)
        .value_or(nullptr);
}

// --- Its own outline delegate ---

std::optional<bool> ZAKOutlineSourceList::outlineViewShouldExpandItem(NSOutlineView*, const Id& item)
{
    auto* d = clientDelegate();
    return !d || d->sourceListShouldExpandItem(this, item).value_or(true);
}

std::optional<bool> ZAKOutlineSourceList::outlineViewShouldCollapseItem(NSOutlineView*, const Id& item)
{
    if (isGroupAlwaysExpanded(item)) return false;
    auto* d = clientDelegate();
    return !d || d->sourceListShouldCollapseItem(this, item).value_or(true);
}

std::optional<Ref<NSCell>> ZAKOutlineSourceList::outlineViewDataCellForTableColumnItem(NSOutlineView*,
                                                                                       NSTableColumn* column,
                                                                                       const Id& item)
{
    if (auto* d = clientDelegate())
        if (auto cell = d->sourceListDataCellForItem(this, item).value_or(nullptr)) return cell;
    // The first column's cell for the item's row.
    if (tableColumns().empty() || !column) return Ref<NSCell>();
    return tableColumns().front()->dataCellForRow(rowForItem(item));
}

void ZAKOutlineSourceList::outlineViewWillDisplayCellForTableColumnItem(NSOutlineView*, const Id& cell, NSTableColumn*,
                                                                        const Id& item)
{
    if (auto* d = clientDelegate()) d->sourceListWillDisplayCellForItem(this, cell, item);
}

std::optional<bool> ZAKOutlineSourceList::outlineViewShouldSelectItem(NSOutlineView*, const Id& item)
{
    if (isGroupItem(item)) return false;
    auto* d = clientDelegate();
    return !d || d->sourceListShouldSelectItem(this, item).value_or(true);
}

std::optional<Ref<NSIndexSet>> ZAKOutlineSourceList::outlineViewSelectionIndexesForProposedSelection(
    NSOutlineView*, const Ref<NSIndexSet>& proposed)
{
    if (numberOfSelectedRows() == 0 && proposed && proposed->count() &&
        isGroupItem(itemAtRow(NSInteger(proposed->firstIndex()))))
        return NSIndexSet::indexSet();
    auto* d = clientDelegate();
    return d ? d->sourceListSelectionIndexesForProposedSelection(this, proposed).value_or(proposed) : proposed;
}

std::optional<bool> ZAKOutlineSourceList::outlineViewShouldEditTableColumnItem(NSOutlineView*, NSTableColumn*,
                                                                               const Id& item)
{
    if (isGroupItem(item)) return false;
    auto* d = clientDelegate();
    return !d || d->sourceListShouldEditItem(this, item).value_or(true);
}

std::optional<bool> ZAKOutlineSourceList::outlineViewShouldTrackCellForTableColumnItem(NSOutlineView*, NSCell* cell,
                                                                                       NSTableColumn*, const Id& item)
{
    auto* d = clientDelegate();
    return d && d->sourceListShouldTrackCellForItem(this, cell, item).value_or(false);
}

// Without an answer from the delegate every row has the row height; saying
// nothing keeps the outline view's constant-time row geometry.
std::optional<CGFloat> ZAKOutlineSourceList::outlineViewHeightOfRowByItem(NSOutlineView*, const Id& item)
{
    auto* d = clientDelegate();
    return d ? d->sourceListHeightOfRowByItem(this, item) : std::nullopt;
}

std::optional<bool> ZAKOutlineSourceList::outlineViewIsGroupItem(NSOutlineView*, const Id& item)
{
    return isGroupItem(item);
}

void ZAKOutlineSourceList::outlineViewSelectionIsChanging(const Ref<NSNotification>&)
{
    post(ZAKOutlineSourceListSelectionIsChangingNotification);
}

void ZAKOutlineSourceList::outlineViewSelectionDidChange(const Ref<NSNotification>&)
{
    post(ZAKOutlineSourceListSelectionDidChangeNotification);
}

void ZAKOutlineSourceList::outlineViewItemWillExpand(const Ref<NSNotification>& note)
{
    post(ZAKOutlineSourceListItemWillExpandNotification, note->userInfo());
}

void ZAKOutlineSourceList::outlineViewItemDidExpand(const Ref<NSNotification>& note)
{
    post(ZAKOutlineSourceListItemDidExpandNotification, note->userInfo());
}

void ZAKOutlineSourceList::outlineViewItemWillCollapse(const Ref<NSNotification>& note)
{
    post(ZAKOutlineSourceListItemWillCollapseNotification, note->userInfo());
}

void ZAKOutlineSourceList::outlineViewItemDidCollapse(const Ref<NSNotification>& note)
{
    post(ZAKOutlineSourceListItemDidCollapseNotification, note->userInfo());
}
