// Edits by the user: the delegate is asked first and told after, in the
// order NSTextView.h gives; typing, deleting and the commands that end a
// field editor's editing.
#include <algorithm>

#include "AppKit/NSTextView.h"
#include "AppKit/TextCharacters.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"

using TextCharacters::isLineEnd;

// --- Editing ---

bool NSTextView::askToBeginEditing()
{
    if (m_editingBegan) return true;
    if (auto* d = textDelegate())
        if (d->textShouldBeginEditing(Ref<NSText>(this)) == false) return false;
    return true;
}

void NSTextView::beginEditingIfNeeded()
{
    if (m_editingBegan) return;
    m_editingBegan = true;
    auto note = NSNotification::notificationWithName(NSTextDidBeginEditingNotification, Ref<NSTextView>(this));
    if (auto* d = textDelegate()) d->textDidBeginEditing(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

bool NSTextView::shouldChangeTextInRange(NSRange range, const Ref<NSString>& replacement)
{
    if (!m_editable || !textStorage()) return false;
    if (!askToBeginEditing()) return false;
    if (auto* d = viewDelegate())
        if (d->textViewShouldChangeTextInRangeReplacementString(Ref<NSTextView>(this), range, replacement) == false)
            return false;
    return true;
}

void NSTextView::didChangeText()
{
    sizeToFit();
    setNeedsDisplay(true);
    auto note = NSNotification::notificationWithName(NSTextDidChangeNotification, Ref<NSTextView>(this));
    if (auto* d = textDelegate()) d->textDidChange(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

bool NSTextView::userReplace(NSRange range, const Ref<NSAttributedString>& text, EditKind kind)
{
    auto storage = textStorage();
    if (!storage) return false;
    NSUInteger before = storage->length();
    if (!shouldChangeTextInRange(range, text->string())) {
        // A delegate that made the change itself leaves the caret after it.
        NSUInteger after = storage->length();
        if (after != before) {
            NSInteger inserted =
                static_cast<NSInteger>(range.length) + static_cast<NSInteger>(after) - static_cast<NSInteger>(before);
            setSelectedRange(NSMakeRange(
                std::min<NSUInteger>(range.location + static_cast<NSUInteger>(std::max<NSInteger>(inserted, 0)), after),
                0));
            didChangeText();
        }
        return false;
    }
    beginEditingIfNeeded();
    recordUndo(range, text->length(), kind);
    ++m_ownEdit;
    storage->replaceCharactersInRange(range, stored(range, text));
    m_selection = NSMakeRange(std::min<NSUInteger>(m_selection.location, storage->length()), 0);
    setSelectedRange(NSMakeRange(range.location + text->length(), 0));
    --m_ownEdit;
    didChangeText();
    scrollRangeToVisible(m_selection);
    return true;
}

bool NSTextView::userReplace(NSRange range, const Ref<NSString>& text, EditKind kind)
{
    return userReplace(range, NSAttributedString::initWithString(text, m_typingAttributes), kind);
}

void NSTextView::insertText(const Id& text)
{
    // Committed text replaces the composition, as one edit of what the
    // composition replaced.
    if (hasMarkedText()) setSelectedRange(removeMarkedText());
    Ref<NSAttributedString> piece;
    if (auto attributed = dynamic_ref_cast<NSAttributedString>(text)) {
        piece = m_richText ? attributed : NSAttributedString::initWithString(attributed->string(), m_typingAttributes);
    } else if (auto plain = dynamic_ref_cast<NSString>(text)) {
        piece = NSAttributedString::initWithString(plain, m_typingAttributes);
    }
    if (piece) userReplace(m_selection, piece);
}

void NSTextView::endEditingWithMovement(NSInteger movement)
{
    if (m_ending) return;
    m_ending = true;
    m_editingBegan = false;
    m_endedByKey = true;
    auto info =
        NSDictionary::dictionaryWithObjectForKey(NSNumber::numberWithInteger(movement), NSTextMovementUserInfoKey);
    auto note = NSNotification::notificationWithName(NSTextDidEndEditingNotification, Ref<NSTextView>(this), info);
    if (auto* d = textDelegate()) d->textDidEndEditing(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
    m_ending = false;
}

void NSTextView::endEditingByKey(NSInteger movement)
{
    if (auto* d = textDelegate())
        if (d->textShouldEndEditing(Ref<NSText>(this)) == false) return;
    endEditingWithMovement(movement);
}

void NSTextView::insertNewline(const Id& sender)
{
    if (m_fieldEditor) return endEditingByKey(NSReturnTextMovement);
    insertNewlineIgnoringFieldEditor(sender);
}

void NSTextView::insertTab(const Id& sender)
{
    if (m_fieldEditor) return endEditingByKey(NSTabTextMovement);
    insertTabIgnoringFieldEditor(sender);
}

void NSTextView::insertBacktab(const Id&)
{
    if (m_fieldEditor) endEditingByKey(NSBacktabTextMovement);
}

void NSTextView::insertNewlineIgnoringFieldEditor(const Id&) { insertText("\n"_ns); }
void NSTextView::insertTabIgnoringFieldEditor(const Id&) { insertText("\t"_ns); }

void NSTextView::cancelOperation(const Id&)
{
    if (!m_fieldEditor) return;
    if (m_textAtStart && !string()->isEqualToString(m_textAtStart)) {
        setString(m_textAtStart);
        setSelectedRange(NSMakeRange(0, m_textAtStart->length()));
    }
    endEditingByKey(NSOtherTextMovement);
}

void NSTextView::deleteBackward(const Id&)
{
    if (m_selection.length > 0) {
        userReplace(m_selection, NSString::string(), EditKind::Deleting);
        return;
    }
    NSUInteger caret = m_selection.location;
    if (caret == 0) return;
    NSUInteger from = previousIndex(caret);
    userReplace(NSMakeRange(from, caret - from), NSString::string(), EditKind::Deleting);
}

void NSTextView::deleteForward(const Id&)
{
    if (m_selection.length > 0) {
        userReplace(m_selection, NSString::string(), EditKind::Deleting);
        return;
    }
    NSUInteger caret = m_selection.location, to = nextIndex(caret);
    if (to > caret) userReplace(NSMakeRange(caret, to - caret), NSString::string(), EditKind::Deleting);
}

void NSTextView::deleteWordBackward(const Id& sender)
{
    if (m_selection.length > 0) return deleteBackward(sender);
    NSUInteger caret = m_selection.location, from = wordBoundary(caret, false);
    if (from < caret) userReplace(NSMakeRange(from, caret - from), NSString::string(), EditKind::Deleting);
}

void NSTextView::deleteWordForward(const Id& sender)
{
    if (m_selection.length > 0) return deleteForward(sender);
    NSUInteger caret = m_selection.location, to = wordBoundary(caret, true);
    if (to > caret) userReplace(NSMakeRange(caret, to - caret), NSString::string(), EditKind::Deleting);
}

void NSTextView::deleteToEndOfParagraph(const Id&)
{
    NSUInteger caret = m_selection.location;
    NSRange paragraph = paragraphRangeAt(caret);
    NSUInteger end = NSMaxRange(paragraph);
    const std::u16string& text = textStorage()->utf16();
    while (end > caret && isLineEnd(text[end - 1])) --end;
    if (end == caret && end < text.size()) end = nextIndex(end);  // at the end: joins the next paragraph
    if (end > caret) userReplace(NSMakeRange(caret, end - caret), NSString::string(), EditKind::Deleting);
}
