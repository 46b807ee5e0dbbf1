// Hover, clicks and menus of the scope bar: one tracking area per visible
// button, per collapsed group and for the overflow button; the record under
// the mouse keeps a tracking cell that is drawn in its hover look; a click
// runs a local loop until the button goes up.
#include "AppKit/NSApplication.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSTrackingArea.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSDate.h"
#include "KRScopeBar/KRScopeBar.h"

namespace {
constexpr NSUInteger kTrackingOptions = NSTrackingMouseEnteredAndExited | NSTrackingActiveInActiveApp;
}

// --- The bar ---

void KRScopeBar::updateTrackingAreas()
{
    m_trackingAreasNeedUpdate = false;
    for (auto& area : trackingAreas()) removeTrackingArea(area);
    if (overflowMenuCount() > 1)
        addTrackingArea(NSObject::alloc<NSTrackingArea>()->initWithRect(m_overflowPullDownRect, kTrackingOptions,
                                                                        Id(this), nullptr));
    for (auto& helper : helpers()) helper->addTrackingAreas();
}

void KRScopeBar::mouseEntered(const Ref<NSEvent>& event)
{
    const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    if (mouse(p, m_overflowPullDownRect)) {
        m_trackingOverflow = true;
        if (m_overflowPullDownCell) m_overflowPullDownCell->mouseEntered(event);
        return;
    }
    for (auto& helper : helpers()) {
        if (!NSPointInRect(p, helper->frame())) continue;
        m_trackingGroup = helper;
        helper->mouseEntered(event);
    }
}

void KRScopeBar::mouseExited(const Ref<NSEvent>& event)
{
    if (m_trackingOverflow) {
        m_trackingOverflow = false;
        if (m_overflowPullDownCell) m_overflowPullDownCell->mouseExited(event);
        return;
    }
    if (auto helper = m_trackingGroup.get()) helper->mouseExited(event);
    m_trackingGroup = nullptr;
}

void KRScopeBar::mouseDown(const Ref<NSEvent>& event)
{
    Ref<KRScopeBar> self(this);
    if (m_trackingOverflow && m_overflowPullDownCell) {
        Ref<KROverflowPullDownCell> cell = m_overflowPullDownCell;
        cell->performClickWithFrame(m_overflowPullDownRect, Ref<NSView>(this));
        cell->mouseExited(event);
        return;
    }
    if (auto helper = m_trackingGroup.get()) helper->mouseDown(event);
}

Ref<KRScopeBarGroup> KRScopeBar::groupContainingObject_(const Id& object) const
{
    for (auto& helper : helpers())
        if (helper->group()->indexForObject(object) != NSUInteger(NSNotFound)) return helper->group();
    return nullptr;
}

void KRScopeBar::overflowPullDownItemSelected(const Id&)
{
    if (!m_overflowPullDownCell) return;
    auto item = m_overflowPullDownCell->selectedItem();
    Id object = item ? item->representedObject() : nullptr;
    auto group = groupContainingObject_(object);
    if (!group) return;
    const NSUInteger index = group->indexForObject(object);
    if (!delegateAllowsSelecting(object)) return;
    group->didClickObject(index);
    adjustSubviews();
}

// --- A group's record ---

NSRect KRScopeBarGroupHelper::hitRect(const NSRect& button) const
{
    // The whole height of the bar counts.
    return NSMakeRect(button.origin.x, m_frame.origin.y, button.size.width, m_frame.size.height);
}

void KRScopeBarGroupHelper::addTrackingAreas()
{
    auto bar = scopeBar();
    if (!bar || objectCount() == 0 || visibleCount() == 0) return;
    auto area = [&](const NSRect& r) {
        bar->addTrackingArea(NSObject::alloc<NSTrackingArea>()->initWithRect(r, kTrackingOptions, Id(bar), nullptr));
    };
    if (m_group->collapsed()) return area(m_buttonRect);
    for (NSUInteger i = 0; i < visibleCount() && i < m_buttonRects.size(); ++i) area(m_buttonRects[i]);
}

void KRScopeBarGroupHelper::mouseEntered(const Ref<NSEvent>& event)
{
    auto bar = scopeBar();
    const NSUInteger gi = groupIndex();
    if (!bar || gi == NSUInteger(NSNotFound)) return;
    const NSPoint p = bar->convertPoint(event->locationInWindow(), nullptr);
    if (m_group->collapsed()) {
        if (!NSPointInRect(p, hitRect(m_buttonRect))) return;
        generatePopUpTrackingCellForEvent_(event);
    } else {
        NSInteger found = -1;
        for (NSUInteger i = 0; i < visibleCount() && i < m_buttonRects.size(); ++i)
            if (NSPointInRect(p, hitRect(m_buttonRects[i]))) {
                found = NSInteger(i);
                break;
            }
        if (found < 0) return;
        m_trackingCell = bar->preparedButtonCellForGroup(gi, NSUInteger(found));
        m_trackingIndex = found;
        if (m_trackingCell) m_trackingCell->mouseEntered(event);
    }
    bar->setNeedsDisplay(true);
}

void KRScopeBarGroupHelper::mouseExited(const Ref<NSEvent>&)
{
    removeTrackingCell_();
    if (auto bar = scopeBar()) bar->setNeedsDisplay(true);
}

void KRScopeBarGroupHelper::mouseDown(const Ref<NSEvent>& event)
{
    Ref<KRScopeBarGroupHelper> self(this);
    auto bar = scopeBar();
    if (!bar) return;
    if (m_group->collapsed()) {
        auto cell = dynamic_ref_cast<NSPopUpButtonCell>(m_trackingCell);
        if (!cell) return;
        cell->setMenu(menu_());
        cell->performClickWithFrame(m_buttonRect, bar);
        return;
    }
    if (!m_trackingCell || m_trackingIndex < 0) return;
    Ref<NSButtonCell> cell = m_trackingCell;
    const NSUInteger index = NSUInteger(m_trackingIndex);
    Id object = m_group->objectAtIndex(index);
    if (!bar->delegateAllowsSelecting(object)) return;
    const NSRect button = index < m_buttonRects.size() ? m_buttonRects[index] : NSZeroRect;

    Ref<NSEvent> current = event;
    if (current->type() != NSLeftMouseUp && NSApp) {
        for (;;) {
            const NSPoint p = bar->convertPoint(current->locationInWindow(), nullptr);
            cell->setHighlighted(NSPointInRect(p, button));
            bar->setNeedsDisplay(true);
            auto next = NSApp->nextEventMatchingMask(NSLeftMouseUpMask | NSLeftMouseDraggedMask,
                                                     NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
            if (!next) break;
            current = next;
            if (current->type() == NSLeftMouseUp) break;
        }
    }
    cell->setHighlighted(false);
    const NSPoint up = bar->convertPoint(current->locationInWindow(), nullptr);
    if (current->type() == NSLeftMouseUp && NSPointInRect(up, button)) {
        m_group->didClickObject(index);
        cell->setState(m_group->selectionIndexes()->containsIndex(index) ? NSOnState : NSOffState);
    }
    bar->setNeedsDisplay(true);
}

void KRScopeBarGroupHelper::popUpMenuItemSelected(const Id&)
{
    Ref<KRScopeBarGroupHelper> self(this);
    auto bar = scopeBar();
    auto cell = dynamic_ref_cast<NSPopUpButtonCell>(m_trackingCell);
    if (!bar || !cell) return;
    auto item = cell->selectedItem();
    Id object = item ? item->representedObject() : nullptr;
    if (bar->delegateAllowsSelecting(object)) {
        m_group->didClickObject(NSUInteger(cell->indexOfSelectedItem()));
        bar->adjustSubviews();
    }
    removeTrackingCell_();
    // Still under the mouse: keep the hover look.
    auto window = bar->window();
    if (!window) return;
    const NSPoint p = bar->convertPoint(window->convertScreenToBase(NSEvent::mouseLocation()), nullptr);
    if (NSPointInRect(p, m_buttonRect)) generatePopUpTrackingCellForEvent_(nullptr);
}

void KRScopeBarGroupHelper::generatePopUpTrackingCellForEvent_(const Ref<NSEvent>& event)
{
    auto bar = scopeBar();
    const NSUInteger gi = groupIndex();
    if (!bar || gi == NSUInteger(NSNotFound)) return;
    auto cell = bar->preparedPopUpCellForGroup(gi);
    if (!cell) return;
    cell->setTarget(Id(this));
    m_trackingCell = cell;
    cell->mouseEntered(event);
}

void KRScopeBarGroupHelper::removeTrackingCell_()
{
    m_trackingCell = nullptr;
    m_trackingIndex = -1;
}

Ref<NSMenu> KRScopeBarGroupHelper::menu_() const
{
    auto menu = NSMenu::menuWithTitle(""_ns);
    menu->setAutoenablesItems(false);
    const NSUInteger n = objectCount();
    for (NSUInteger i = 0; i < n; ++i)
        if (auto item = menuItemForObject_(i)) menu->addItem(item);
    return menu;
}
