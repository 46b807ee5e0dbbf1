// Marked text: what an input method is composing (a dead key waiting for
// its letter) stands underlined in the text without being an edit of it;
// the composed characters then replace it as one edit.
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSTextView.h"
#include "Foundation/NSNumber.h"

Ref<NSDictionary> NSTextView::markedTextAttributes() const
{
    auto attributes = NSMutableDictionary::dictionaryWithDictionary(m_typingAttributes);
    attributes->setObject(NSNumber::numberWithInteger(NSUnderlineStyleSingle), NSUnderlineStyleAttributeName);
    return static_ref_cast<NSDictionary>(attributes->copy());
}

NSRange NSTextView::removeMarkedText()
{
    auto storage = textStorage();
    if (!storage || !hasMarkedText()) return m_selection;
    NSRange marked = m_markedRange;
    Ref<NSAttributedString> replaced =
        m_replacedByMarkedText ? m_replacedByMarkedText : NSAttributedString::initWithString(""_ns);
    ++m_ownEdit;
    storage->replaceCharactersInRange(marked, replaced);
    m_selection = NSMakeRange(marked.location, replaced->length());
    --m_ownEdit;
    m_markedRange = NSMakeRange(NSNotFound, 0);
    m_replacedByMarkedText = nullptr;
    return NSMakeRange(marked.location, replaced->length());
}

void NSTextView::setMarkedText(const Id& text, NSRange selectedRange)
{
    auto storage = textStorage();
    if (!storage || !m_editable) return;
    Ref<NSString> string;
    if (auto attributed = dynamic_ref_cast<NSAttributedString>(text)) string = attributed->string();
    else string = dynamic_ref_cast<NSString>(text);
    if (!string) string = ""_ns;
    // The composition replaces what it replaced when it began.
    NSRange range = hasMarkedText() ? removeMarkedText() : m_selection;
    if (string->length() == 0) {
        setSelectedRange(range);
        setNeedsDisplay(true);
        return;
    }
    breakUndoCoalescing();
    m_replacedByMarkedText = storage->attributedSubstringFromRange(range);
    ++m_ownEdit;
    storage->replaceCharactersInRange(range, NSAttributedString::initWithString(string, markedTextAttributes()));
    m_markedRange = NSMakeRange(range.location, string->length());
    NSUInteger caret = range.location + std::min(selectedRange.location, string->length());
    setSelectedRange(NSMakeRange(caret, std::min(selectedRange.length, NSMaxRange(m_markedRange) - caret)));
    --m_ownEdit;
    sizeToFit();
    setNeedsDisplay(true);
}

void NSTextView::unmarkText()
{
    if (!hasMarkedText()) return;
    auto storage = textStorage();
    auto composed = storage->attributedSubstringFromRange(m_markedRange)->string();
    NSRange range = removeMarkedText();
    // The composition as it stands becomes the edit.
    setSelectedRange(range);
    userReplace(range, composed);
}
