// The selection and the caret: moves by character, word, line, paragraph
// and document, granularities, hit testing and scrolling to the caret.
#include <unicode/ubrk.h>

#include <algorithm>

#include "AppKit/NSGraphics.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSViewScrolling.h"
#include "AppKit/NSWindow.h"
#include "AppKit/TextCharacters.h"
#include "Foundation/BreakIteratorCache.h"
#include "Foundation/NSNotificationCenter.h"

using TextCharacters::isLineEnd;
using TextCharacters::isWordCharacter;
using TextCharacters::startsCluster;

// --- Selection ---

void NSTextView::setSelectedRange(NSRange range)
{
    auto storage = textStorage();
    NSUInteger length = storage ? storage->length() : 0;
    NSUInteger start = std::min(range.location, length);
    NSRange proposed = NSMakeRange(start, std::min(range.length, length - start));
    NSRange old = m_selection;
    if (auto* d = viewDelegate())
        if (auto r = d->textViewWillChangeSelectionFromCharacterRangeToCharacterRange(Ref<NSTextView>(this), old,
                                                                                      proposed)) {
            proposed.location = std::min(r->location, length);
            proposed.length = std::min(r->length, length - proposed.location);
        }
    m_selection = proposed;
    // Moving the caret ends a typing run; the view's own edits move it too.
    if (m_ownEdit == 0) breakUndoCoalescing();
    if (proposed.length > 0) claimSelectionPasteboard();
    if (m_anchor != proposed.location && m_anchor != NSMaxRange(proposed)) m_anchor = proposed.location;
    m_goalX = -1;
    keepCaretInField();
    // Typed text takes the attributes of the text before the caret.
    if (storage && length > 0) {
        NSUInteger at = proposed.length > 0 ? proposed.location : (proposed.location > 0 ? proposed.location - 1 : 0);
        if (m_richText) m_typingAttributes = storage->attributesAtIndex(std::min(at, length - 1), nullptr);
    }
    setNeedsDisplay(true);
    auto note = NSNotification::notificationWithName(NSTextViewDidChangeSelectionNotification, Ref<NSTextView>(this));
    if (auto* d = viewDelegate()) d->textViewDidChangeSelection(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

NSRange NSTextView::selectionRangeForProposedRange(NSRange proposed, NSSelectionGranularity granularity)
{
    auto storage = textStorage();
    if (!storage || storage->length() == 0 || granularity == NSSelectByCharacter) return proposed;
    const std::u16string& text = storage->utf16();
    NSUInteger n = text.size();
    if (granularity == NSSelectByParagraph) {
        NSRange first = paragraphRangeAt(proposed.location);
        NSRange last = paragraphRangeAt(proposed.length > 0 ? NSMaxRange(proposed) - 1 : proposed.location);
        return NSUnionRange(first, last);
    }
    UBreakIterator* it = BreakIteratorCache::forCurrentThread().iterator(UBRK_WORD, text.data(), n);
    if (!it) return proposed;
    auto wordAt = [&](NSUInteger index) {
        index = std::min(index, n - 1);
        int32_t start = ubrk_preceding(it, static_cast<int32_t>(index) + 1);
        int32_t end = ubrk_following(it, static_cast<int32_t>(index));
        if (start == UBRK_DONE) start = 0;
        if (end == UBRK_DONE) end = static_cast<int32_t>(n);
        return NSMakeRange(static_cast<NSUInteger>(start), static_cast<NSUInteger>(end - start));
    };
    NSRange r = wordAt(proposed.location);
    if (proposed.length > 0) r = NSUnionRange(r, wordAt(NSMaxRange(proposed) - 1));
    return r;
}

NSUInteger NSTextView::caretIndex() const
{
    // The moving end of the selection (the one away from the anchor).
    return m_anchor == m_selection.location ? NSMaxRange(m_selection) : m_selection.location;
}

void NSTextView::moveTo(NSUInteger index, bool extend)
{
    if (!extend) {
        setSelectedRange(NSMakeRange(index, 0));
        m_anchor = m_selection.location;
        return;
    }
    NSUInteger anchor = m_anchor;
    NSUInteger start = std::min(anchor, index), end = std::max(anchor, index);
    setSelectedRange(NSMakeRange(start, end - start));
    m_anchor = anchor;
}

NSUInteger NSTextView::previousIndex(NSUInteger index) const
{
    auto storage = textStorage();
    if (!storage || index == 0) return 0;
    const std::u16string& text = storage->utf16();
    index = std::min<NSUInteger>(index, text.size()) - 1;
    while (index > 0 && !startsCluster(text, index)) --index;
    return index;
}

NSUInteger NSTextView::nextIndex(NSUInteger index) const
{
    auto storage = textStorage();
    if (!storage) return 0;
    const std::u16string& text = storage->utf16();
    if (index >= text.size()) return text.size();
    ++index;
    while (index < text.size() && !startsCluster(text, index)) ++index;
    return index;
}

NSUInteger NSTextView::wordBoundary(NSUInteger index, bool forward) const
{
    auto storage = textStorage();
    if (!storage) return 0;
    const std::u16string& text = storage->utf16();
    NSUInteger i = std::min<NSUInteger>(index, text.size());
    if (forward) {
        while (i < text.size() && !isWordCharacter(text[i])) ++i;
        while (i < text.size() && isWordCharacter(text[i])) ++i;
    } else {
        while (i > 0 && !isWordCharacter(text[i - 1])) --i;
        while (i > 0 && isWordCharacter(text[i - 1])) --i;
    }
    return i;
}

NSRange NSTextView::paragraphRangeAt(NSUInteger index) const
{
    auto storage = textStorage();
    if (!storage) return NSMakeRange(0, 0);
    const std::u16string& text = storage->utf16();
    NSUInteger n = text.size();
    index = std::min(index, n);
    NSUInteger start = index;
    while (start > 0 && !isLineEnd(text[start - 1])) --start;
    NSUInteger end = index;
    while (end < n && !isLineEnd(text[end])) ++end;
    if (end < n) end += (text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n') ? 2 : 1;
    return NSMakeRange(start, end - start);
}

NSRange NSTextView::lineRangeAt(NSUInteger index)
{
    auto manager = layoutManager();
    auto storage = textStorage();
    if (!manager || !storage || storage->length() == 0) return NSMakeRange(0, 0);
    NSUInteger n = storage->length();
    if (index >= n && isLineEnd(storage->utf16()[n - 1])) return NSMakeRange(n, 0);
    NSRange line;
    manager->lineFragmentRectForGlyphAtIndex(std::min(index, n - 1), &line);
    return line.location == NSNotFound ? NSMakeRange(index, 0) : line;
}

void NSTextView::moveLeft(const Id&)
{
    if (m_selection.length > 0) return moveTo(m_selection.location, false);
    moveTo(previousIndex(m_selection.location), false);
}

void NSTextView::moveRight(const Id&)
{
    if (m_selection.length > 0) return moveTo(NSMaxRange(m_selection), false);
    moveTo(nextIndex(m_selection.location), false);
}

NSUInteger NSTextView::verticalIndex(bool down)
{
    auto manager = layoutManager();
    if (!manager) return 0;
    NSUInteger caret = caretIndex();
    auto rects = manager->rectArrayForCharacterRange(NSMakeRange(caret, 0), NSMakeRange(caret, 0), m_container);
    if (rects.empty()) return caret;
    NSRect r = rects.front();
    CGFloat x = m_goalX >= 0 ? m_goalX : r.origin.x;
    CGFloat y = down ? NSMaxY(r) + 1 : NSMinY(r) - 1;
    NSUInteger n = textStorage()->length();
    NSRect used = manager->usedRectForTextContainer(m_container);
    if (y < 0) return 0;
    if (y >= NSMaxY(used) && y >= NSMaxY(manager->extraLineFragmentRect())) return n;
    NSUInteger index = manager->characterIndexForInsertionAtPoint(NSMakePoint(x, y), m_container);
    m_goalX = x;
    return index;
}

void NSTextView::moveUp(const Id&)
{
    CGFloat goal = m_goalX;
    if (m_selection.length > 0) moveTo(m_selection.location, false);
    m_goalX = goal;
    NSUInteger index = verticalIndex(false);
    goal = m_goalX;
    moveTo(index, false);
    m_goalX = goal;
}

void NSTextView::moveDown(const Id&)
{
    CGFloat goal = m_goalX;
    if (m_selection.length > 0) moveTo(NSMaxRange(m_selection), false);
    m_goalX = goal;
    NSUInteger index = verticalIndex(true);
    goal = m_goalX;
    moveTo(index, false);
    m_goalX = goal;
}

void NSTextView::moveWordLeft(const Id&) { moveTo(wordBoundary(m_selection.location, false), false); }
void NSTextView::moveWordRight(const Id&) { moveTo(wordBoundary(NSMaxRange(m_selection), true), false); }

void NSTextView::moveToBeginningOfLine(const Id&) { moveTo(lineRangeAt(m_selection.location).location, false); }

void NSTextView::moveToEndOfLine(const Id&)
{
    NSRange line = lineRangeAt(NSMaxRange(m_selection));
    NSUInteger end = NSMaxRange(line);
    const std::u16string& text = textStorage()->utf16();
    while (end > line.location && isLineEnd(text[end - 1])) --end;
    moveTo(end, false);
}

void NSTextView::moveToBeginningOfParagraph(const Id&)
{
    moveTo(paragraphRangeAt(m_selection.location).location, false);
}

void NSTextView::moveToEndOfParagraph(const Id&)
{
    NSRange paragraph = paragraphRangeAt(NSMaxRange(m_selection));
    NSUInteger end = NSMaxRange(paragraph);
    const std::u16string& text = textStorage()->utf16();
    while (end > paragraph.location && isLineEnd(text[end - 1])) --end;
    moveTo(end, false);
}

void NSTextView::moveToBeginningOfDocument(const Id&) { moveTo(0, false); }
void NSTextView::moveToEndOfDocument(const Id&) { moveTo(textStorage() ? textStorage()->length() : 0, false); }
void NSTextView::moveLeftAndModifySelection(const Id&) { moveTo(previousIndex(caretIndex()), true); }
void NSTextView::moveRightAndModifySelection(const Id&) { moveTo(nextIndex(caretIndex()), true); }

void NSTextView::moveUpAndModifySelection(const Id&)
{
    CGFloat goal = m_goalX;
    m_goalX = goal;
    NSUInteger index = verticalIndex(false);
    goal = m_goalX;
    moveTo(index, true);
    m_goalX = goal;
}

void NSTextView::moveDownAndModifySelection(const Id&)
{
    CGFloat goal = m_goalX;
    m_goalX = goal;
    NSUInteger index = verticalIndex(true);
    goal = m_goalX;
    moveTo(index, true);
    m_goalX = goal;
}

void NSTextView::moveWordLeftAndModifySelection(const Id&) { moveTo(wordBoundary(caretIndex(), false), true); }
void NSTextView::moveWordRightAndModifySelection(const Id&) { moveTo(wordBoundary(caretIndex(), true), true); }
void NSTextView::moveToBeginningOfLineAndModifySelection(const Id&)
{
    moveTo(lineRangeAt(caretIndex()).location, true);
}

void NSTextView::moveToEndOfLineAndModifySelection(const Id&)
{
    NSRange line = lineRangeAt(caretIndex());
    NSUInteger end = NSMaxRange(line);
    const std::u16string& text = textStorage()->utf16();
    while (end > line.location && isLineEnd(text[end - 1])) --end;
    moveTo(end, true);
}

void NSTextView::moveToBeginningOfDocumentAndModifySelection(const Id&) { moveTo(0, true); }
void NSTextView::moveToEndOfDocumentAndModifySelection(const Id&)
{
    moveTo(textStorage() ? textStorage()->length() : 0, true);
}

void NSTextView::selectAll(const Id&)
{
    if (!m_selectable) return;
    NSUInteger n = textStorage() ? textStorage()->length() : 0;
    setSelectedRange(NSMakeRange(0, n));
    m_anchor = 0;
}

// --- Geometry, caret and scrolling ---

NSPoint NSTextView::pointInContainer(NSPoint p) const
{
    NSPoint origin = textContainerOrigin();
    return NSMakePoint(p.x - origin.x, p.y - origin.y);
}

NSUInteger NSTextView::characterIndexForInsertionAtPoint(NSPoint pointInView)
{
    auto manager = layoutManager();
    return manager ? manager->characterIndexForInsertionAtPoint(pointInContainer(pointInView), m_container) : 0;
}

NSRect NSTextView::insertionPointRect()
{
    NSPoint origin = textContainerOrigin();
    auto manager = layoutManager();
    NSUInteger caret = caretIndex();
    std::vector<NSRect> rects;
    if (manager) rects = manager->rectArrayForCharacterRange(NSMakeRange(caret, 0), NSMakeRange(caret, 0), m_container);
    if (rects.empty()) {
        CGFloat padding = m_container ? m_container->lineFragmentPadding() : 0;
        return NSMakeRect(origin.x + padding, origin.y, 1, font() ? font()->defaultLineHeight() : 15);
    }
    return NSOffsetRect(rects.front(), origin.x, origin.y);
}

void NSTextView::keepCaretInField()
{
    if (!m_fieldEditor || !m_container || m_container->widthTracksTextView()) return;
    if (m_alignment != NSLeftTextAlignment && m_alignment != NSNaturalTextAlignment) return;
    // Where the caret would be with the text at its start.
    const CGFloat caret = NSMaxX(insertionPointRect()) - m_inset.width;
    const CGFloat shift = std::min<CGFloat>(0, bounds().size.width - 1 - caret);
    if (shift != m_inset.width) setTextContainerInset(NSMakeSize(shift, m_inset.height));
}

bool NSTextView::shouldDrawInsertionPoint() const
{
    auto w = window();
    return m_editable && m_selection.length == 0 && w &&
           w->firstResponder() == Ref<NSResponder>(const_cast<NSTextView*>(this));
}

void NSTextView::scrollRangeToVisible(NSRange range)
{
    auto manager = layoutManager();
    if (!manager) return;
    auto storage = textStorage();
    NSUInteger n = storage ? storage->length() : 0;
    range.location = std::min(range.location, n);
    range.length = std::min(range.length, n - range.location);
    NSRect box;
    if (range.length == 0) {
        NSUInteger keep = m_anchor;
        NSRange sel = m_selection;
        m_selection = range, m_anchor = range.location;
        box = insertionPointRect();
        m_selection = sel, m_anchor = keep;
    } else {
        auto rects = manager->rectArrayForCharacterRange(range, range, m_container);
        if (rects.empty()) return;
        box = rects.front();
        for (const NSRect& r : rects) box = NSUnionRect(box, r);
        box = NSOffsetRect(box, textContainerOrigin().x, textContainerOrigin().y);
    }
    // Layout far ahead places the range by an estimate; the view takes the
    // size that estimate now gives, so it can scroll there.
    if (manager->allowsNonContiguousLayout()) sizeToFit();
    scrollRectToVisible(box);
}

bool NSTextView::scrollRectToVisible(const NSRect& rect)
{
    return NSViewExt::scrollRectToVisible(Ref<NSTextView>(this), rect);
}
