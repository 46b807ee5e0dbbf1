// The grid's keyboard: plain moves collapse the selection to the next cell,
// extending moves grow or shrink it on the side away from the sticky edge,
// Delete clears the selected cells and typing starts an edit.
#include "AppKit/NSAnimationContext.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSClipView.h"
#include "AppKit/NSText.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSAttributedString.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGrid.h"
#include "ZAKAppKit/ZAKTableGrid/ZAKTableGridContentView.h"

void ZAKTableGrid::mouseDown(const Ref<NSEvent>&)
{
    auto w = window();
    if (!w) return;
    if (auto editor = dynamic_ref_cast<NSText>(w->fieldEditor(false, m_contentView)); editor && cell())
        cell()->endEditing(editor);
    if (w->firstResponder().get() != this) w->makeFirstResponder(Ref<NSResponder>(this));
}

void ZAKTableGrid::keyDown(const Ref<NSEvent>& event)
{
    // The commands look at the event they came from (Shift-Return).
    Ref<NSEvent> outer = m_keyEvent;
    m_keyEvent = event;
    interpretKeyEvents(NSArray::arrayWithObject(event));
    m_keyEvent = outer;
}

void ZAKTableGrid::insertTab(const Id& sender) { moveRight(sender); }

void ZAKTableGrid::insertBacktab(const Id& sender)
{
    m_shouldOverrideModifiers = true;
    moveLeft(sender);
}

void ZAKTableGrid::insertNewline(const Id& sender)
{
    auto event = m_keyEvent ? m_keyEvent : NSApplication::sharedApplication()->currentEvent();
    if (event && (event->modifierFlags() & NSShiftKeyMask)) {
        m_shouldOverrideModifiers = true;
        moveUp(sender);
        return;
    }
    moveDown(sender);
}

NSUInteger ZAKTableGrid::currentColumn() const
{
    return m_stickyColumnEdge == ZAKTableGridRightEdge ? m_selectedColumnIndexes->lastIndex()
                                                       : m_selectedColumnIndexes->firstIndex();
}

NSUInteger ZAKTableGrid::currentRow() const
{
    return m_stickyRowEdge == ZAKTableGridBottomEdge ? m_selectedRowIndexes->lastIndex()
                                                     : m_selectedRowIndexes->firstIndex();
}

void ZAKTableGrid::scrollToCell(NSUInteger column, NSUInteger row)
{
    // The clip view's bounds are the content view's coordinates.
    scrollToArea(m_contentView->frameOfCellAtColumnRow(column, row), false);
}

void ZAKTableGrid::moveUp(const Id&)
{
    if (!hasSelection()) return;
    const NSUInteger column = currentColumn(), row = currentRow();
    if (row == 0) return;
    selectCell(column, row - 1);
    scrollToCell(column, row - 1);
}

void ZAKTableGrid::moveDown(const Id&)
{
    if (!hasSelection() || m_numberOfRows == 0) return;
    const NSUInteger column = currentColumn(), row = currentRow();
    if (row >= m_numberOfRows - 1) return;
    selectCell(column, row + 1);
    scrollToCell(column, row + 1);
}

void ZAKTableGrid::moveLeft(const Id&)
{
    if (!hasSelection()) return;
    const NSUInteger column = currentColumn(), row = currentRow();
    if (column == 0) return;
    scrollToCell(column - 1, row);
    selectCell(column - 1, row);
}

void ZAKTableGrid::moveRight(const Id&)
{
    if (!hasSelection() || m_numberOfColumns == 0) return;
    const NSUInteger column = currentColumn(), row = currentRow();
    if (column >= m_numberOfColumns - 1) return;
    selectCell(column + 1, row);
    scrollToCell(column + 1, row);
}

void ZAKTableGrid::moveRightAndModifySelection(const Id& sender)
{
    if (m_shouldOverrideModifiers) {
        moveRight(sender);
        m_shouldOverrideModifiers = false;
        return;
    }
    if (!hasSelection() || m_numberOfColumns == 0) return;
    const NSUInteger first = m_selectedColumnIndexes->firstIndex(), last = m_selectedColumnIndexes->lastIndex();
    if (m_selectedColumnIndexes->count() == 1) m_stickyColumnEdge = ZAKTableGridLeftEdge;
    NSUInteger newLast = last;
    if (m_stickyColumnEdge == ZAKTableGridLeftEdge) {
        if (last >= m_numberOfColumns - 1) return;
        newLast = last + 1;
        selectColumns(first, newLast);
    } else {
        selectColumns(first + 1, last);
    }
    if (newLast + 1 < m_numberOfColumns) scrollToCell(newLast + 1, m_selectedRowIndexes->lastIndex());
}

void ZAKTableGrid::moveLeftAndModifySelection(const Id& sender)
{
    if (m_shouldOverrideModifiers) {
        moveLeft(sender);
        m_shouldOverrideModifiers = false;
        return;
    }
    if (!hasSelection()) return;
    const NSUInteger first = m_selectedColumnIndexes->firstIndex(), last = m_selectedColumnIndexes->lastIndex();
    if (m_selectedColumnIndexes->count() == 1) m_stickyColumnEdge = ZAKTableGridRightEdge;
    if (first == 0 && m_stickyColumnEdge == ZAKTableGridRightEdge) return;
    if (first > 0) scrollToCell(first - 1, m_selectedRowIndexes->firstIndex());
    if (m_stickyColumnEdge == ZAKTableGridRightEdge) selectColumns(first - 1, last);
    else selectColumns(first, last - 1);
}

void ZAKTableGrid::moveDownAndModifySelection(const Id& sender)
{
    if (m_shouldOverrideModifiers) {
        moveDown(sender);
        m_shouldOverrideModifiers = false;
        return;
    }
    if (!hasSelection() || m_numberOfRows == 0) return;
    const NSUInteger first = m_selectedRowIndexes->firstIndex(), last = m_selectedRowIndexes->lastIndex();
    if (m_selectedRowIndexes->count() == 1) m_stickyRowEdge = ZAKTableGridTopEdge;
    NSUInteger newLast = last;
    if (m_stickyRowEdge == ZAKTableGridTopEdge) {
        if (last >= m_numberOfRows - 1) return;
        newLast = last + 1;
        selectRows(first, newLast);
    } else {
        selectRows(first + 1, last);
    }
    if (newLast + 1 < m_numberOfRows) scrollToCell(m_selectedColumnIndexes->lastIndex(), newLast + 1);
}

void ZAKTableGrid::moveUpAndModifySelection(const Id& sender)
{
    if (m_shouldOverrideModifiers) {
        moveUp(sender);
        m_shouldOverrideModifiers = false;
        return;
    }
    if (!hasSelection()) return;
    const NSUInteger first = m_selectedRowIndexes->firstIndex(), last = m_selectedRowIndexes->lastIndex();
    if (m_selectedRowIndexes->count() == 1) m_stickyRowEdge = ZAKTableGridBottomEdge;
    if (first == 0 && m_stickyRowEdge == ZAKTableGridBottomEdge) return;
    NSUInteger newFirst = first;
    if (m_stickyRowEdge == ZAKTableGridBottomEdge) {
        newFirst = first - 1;
        selectRows(newFirst, last);
    } else {
        selectRows(first, last - 1);
    }
    if (newFirst > 0) scrollToCell(m_selectedColumnIndexes->firstIndex(), newFirst - 1);
}

void ZAKTableGrid::selectAll(const Id&)
{
    if (m_numberOfColumns == 0 || m_numberOfRows == 0) return;
    m_stickyColumnEdge = ZAKTableGridLeftEdge;
    m_stickyRowEdge = ZAKTableGridTopEdge;
    selectColumns(0, m_numberOfColumns - 1);
    selectRows(0, m_numberOfRows - 1);
}

void ZAKTableGrid::deleteBackward(const Id&)
{
    // Clearing is editing: the same gates as a double click.
    if (!hasSelection() || !m_allowsEditing) return;
    const NSUInteger firstColumn = m_selectedColumnIndexes->firstIndex();
    const NSUInteger lastColumn = m_selectedColumnIndexes->lastIndex();
    const NSUInteger firstRow = m_selectedRowIndexes->firstIndex(), lastRow = m_selectedRowIndexes->lastIndex();
    for (NSUInteger c = firstColumn; c <= lastColumn; ++c)
        for (NSUInteger r = firstRow; r <= lastRow; ++r)
            if (_canEditCellAtColumnRow(c, r)) _setObjectValueForColumnRow(nullptr, c, r);
    reloadData();
}

void ZAKTableGrid::insertText(const Id& text)
{
    if (!hasSelection() || !m_allowsEditing) return;
    m_contentView->editSelectedCell(nullptr);
    if (!m_contentView->isEditing()) return;
    auto w = window();
    if (!w) return;
    auto editor = dynamic_ref_cast<NSText>(w->fieldEditor(true, Id(this)));
    auto string = dynamic_ref_cast<NSString>(text);
    if (!string) {
        if (auto attributed = dynamic_ref_cast<NSAttributedString>(text)) string = attributed->string();
    }
    if (editor && string) editor->setString(string);
}

void ZAKTableGrid::scrollToArea(const NSRect& area, bool animate)
{
    if (!animate) {
        m_contentView->scrollRectToVisible(area);
        return;
    }
    Ref<ZAKTableGridContentView> content = m_contentView;
    NSAnimationContext::runAnimationGroup(
        [content, area](const Ref<NSAnimationContext>& context) {
            context->setAllowsImplicitAnimation(true);
            content->scrollRectToVisible(area);
        },
        [] {});
}
