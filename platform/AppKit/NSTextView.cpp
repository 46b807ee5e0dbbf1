#include "AppKit/NSTextView.h"

#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSViewScrolling.h"
#include "AppKit/NSWindow.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/BreakIteratorCache.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSTextView)

namespace {

bool isLineEnd(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2029 || c == 0x2028; }

bool startsCluster(const std::u16string& text, size_t i)
{
    if (i == 0 || i >= text.size()) return true;
    if (U16_IS_TRAIL(text[i]) && U16_IS_LEAD(text[i - 1])) return false;
    if (text[i] == u'\n' && text[i - 1] == u'\r') return false;
    int8_t type = u_charType(text[i]);
    return type != U_NON_SPACING_MARK && type != U_ENCLOSING_MARK && type != U_COMBINING_SPACING_MARK;
}

bool isWordCharacter(char16_t c) { return u_isalnum(c) || c == u'_' || U16_IS_SURROGATE(c); }

}

NSTextView::~NSTextView()
{
    if (m_storageObserver) NSNotificationCenter::defaultCenter()->removeObserver(m_storageObserver);
}

void NSTextView::describeClass(NSClassMembers<NSTextView>& m)
{
    m.property("string", &NSTextView::string, &NSTextView::setString);
    m.action("insertNewline:", &NSTextView::insertNewline);
    m.action("insertTab:", &NSTextView::insertTab);
    m.action("insertBacktab:", &NSTextView::insertBacktab);
    m.action("insertNewlineIgnoringFieldEditor:", &NSTextView::insertNewlineIgnoringFieldEditor);
    m.action("insertTabIgnoringFieldEditor:", &NSTextView::insertTabIgnoringFieldEditor);
    m.action("cancelOperation:", &NSTextView::cancelOperation);
    m.action("deleteBackward:", &NSTextView::deleteBackward);
    m.action("deleteForward:", &NSTextView::deleteForward);
    m.action("deleteWordBackward:", &NSTextView::deleteWordBackward);
    m.action("deleteWordForward:", &NSTextView::deleteWordForward);
    m.action("deleteToEndOfParagraph:", &NSTextView::deleteToEndOfParagraph);
    m.action("moveLeft:", &NSTextView::moveLeft);
    m.action("moveRight:", &NSTextView::moveRight);
    m.action("moveBackward:", &NSTextView::moveBackward);
    m.action("moveForward:", &NSTextView::moveForward);
    m.action("moveUp:", &NSTextView::moveUp);
    m.action("moveDown:", &NSTextView::moveDown);
    m.action("moveWordLeft:", &NSTextView::moveWordLeft);
    m.action("moveWordRight:", &NSTextView::moveWordRight);
    m.action("moveToBeginningOfLine:", &NSTextView::moveToBeginningOfLine);
    m.action("moveToEndOfLine:", &NSTextView::moveToEndOfLine);
    m.action("moveToBeginningOfParagraph:", &NSTextView::moveToBeginningOfParagraph);
    m.action("moveToEndOfParagraph:", &NSTextView::moveToEndOfParagraph);
    m.action("moveToBeginningOfDocument:", &NSTextView::moveToBeginningOfDocument);
    m.action("moveToEndOfDocument:", &NSTextView::moveToEndOfDocument);
    m.action("scrollToBeginningOfDocument:", &NSTextView::moveToBeginningOfDocument);
    m.action("scrollToEndOfDocument:", &NSTextView::moveToEndOfDocument);
    m.action("moveLeftAndModifySelection:", &NSTextView::moveLeftAndModifySelection);
    m.action("moveRightAndModifySelection:", &NSTextView::moveRightAndModifySelection);
    m.action("moveUpAndModifySelection:", &NSTextView::moveUpAndModifySelection);
    m.action("moveDownAndModifySelection:", &NSTextView::moveDownAndModifySelection);
    m.action("moveWordLeftAndModifySelection:", &NSTextView::moveWordLeftAndModifySelection);
    m.action("moveWordRightAndModifySelection:", &NSTextView::moveWordRightAndModifySelection);
    m.action("moveToBeginningOfLineAndModifySelection:", &NSTextView::moveToBeginningOfLineAndModifySelection);
    m.action("moveToEndOfLineAndModifySelection:", &NSTextView::moveToEndOfLineAndModifySelection);
    m.action("moveToBeginningOfDocumentAndModifySelection:", &NSTextView::moveToBeginningOfDocumentAndModifySelection);
    m.action("moveToEndOfDocumentAndModifySelection:", &NSTextView::moveToEndOfDocumentAndModifySelection);
    m.action("selectAll:", &NSTextView::selectAll);
    m.action("copy:", &NSTextView::copy);
    m.action("cut:", &NSTextView::cut);
    m.action("paste:", &NSTextView::paste);
    m.action("pasteAsPlainText:", &NSTextView::pasteAsPlainText);
    m.action("undo:", &NSTextView::undo);
    m.action("redo:", &NSTextView::redo);
}

// --- Set-up ---

Ref<NSView> NSTextView::initWithFrame(const NSRect& frame) { return initWithFrame(frame, nullptr); }

Ref<NSTextView> NSTextView::initWithFrame(const NSRect& frame, const Ref<NSTextContainer>& container)
{
    NSText::initWithFrame(frame);
    m_minSize = frame.size;
    m_insertionPointColor = NSColor::blackColor();
    m_typingAttributes = NSDictionary::dictionaryWithEntries(
        {{NSFontAttributeName, NSFont::userFontOfSize(12)}, {NSForegroundColorAttributeName, NSColor::blackColor()}});
    if (container) setTextContainer(container);
    else makeTextSystem(frame);
    return Ref<NSTextView>(this);
}

void NSTextView::makeTextSystem(const NSRect& frame)
{
    m_ownedStorage = NSTextStorage::initWithString(nullptr);
    auto manager = make<NSLayoutManager>();
    m_ownedStorage->addLayoutManager(manager);
    auto container = NSTextContainer::initWithContainerSize(
        NSMakeSize(std::max<CGFloat>(0, frame.size.width - 2 * m_inset.width), 1e7));
    container->setWidthTracksTextView(true);
    manager->addTextContainer(container);
    setTextContainer(container);
}

void NSTextView::setTextContainer(const Ref<NSTextContainer>& container)
{
    if (m_container) m_container->setTextView(nullptr);
    m_container = container;
    if (m_container) m_container->setTextView(Ref<NSTextView>(this));
    watchStorage();
    setNeedsDisplay(true);
}

Ref<NSLayoutManager> NSTextView::layoutManager() const { return m_container ? m_container->layoutManager() : nullptr; }

Ref<NSTextStorage> NSTextView::textStorage() const
{
    auto manager = layoutManager();
    return manager ? manager->textStorage() : nullptr;
}

void NSTextView::setTextContainerInset(NSSize inset)
{
    m_inset = inset;
    setFrameSize(frame().size);
    setNeedsDisplay(true);
}

NSTextViewDelegate* NSTextView::viewDelegate() const { return dynamic_cast<NSTextViewDelegate*>(textDelegate()); }

void NSTextView::encodeWithCoder(NSCoder* coder) const
{
    using ViewCoding::key;
    ViewCoding::encodeView(*this, coder);
    coder->encodeString(string(), key("NSString"));
    coder->encodeBool(m_editable, key("NSEditable"));
    coder->encodeBool(m_selectable, key("NSSelectable"));
    coder->encodeBool(m_richText, key("NSRichText"));
    coder->encodeBool(m_fieldEditor, key("NSFieldEditor"));
    coder->encodeBool(m_drawsBackground, key("NSDrawsBackground"));
    coder->encodeSize(m_inset, key("NSTextContainerInset"));
    if (auto f = font()) {
        coder->encodeString(f->fontName(), key("NSFontName"));
        coder->encodeDouble(f->pointSize(), key("NSFontSize"));
    }
    coder->encodeSize(m_minSize, key("NSMinSize"));
    coder->encodeSize(m_maxSize, key("NSMaxSize"));
    coder->encodeBool(m_verticallyResizable, key("NSVerticallyResizable"));
    coder->encodeBool(m_horizontallyResizable, key("NSHorizontallyResizable"));
}

Id NSTextView::initWithCoder(NSCoder* coder)
{
    using ViewCoding::key;
    ViewCoding::decodeView(*this, coder);  // runs initWithFrame: the text system
    m_editable = coder->decodeBoolForKey(key("NSEditable"));
    m_selectable = m_editable || coder->decodeBoolForKey(key("NSSelectable"));
    m_richText = coder->decodeBoolForKey(key("NSRichText"));
    m_fieldEditor = coder->decodeBoolForKey(key("NSFieldEditor"));
    m_drawsBackground = coder->decodeBoolForKey(key("NSDrawsBackground"));
    m_verticallyResizable = coder->decodeBoolForKey(key("NSVerticallyResizable"));
    m_horizontallyResizable = coder->decodeBoolForKey(key("NSHorizontallyResizable"));
    m_minSize = coder->decodeSizeForKey(key("NSMinSize"));
    m_maxSize =
        coder->containsValueForKey(key("NSMaxSize")) ? coder->decodeSizeForKey(key("NSMaxSize")) : NSMakeSize(1e7, 1e7);
    auto fontName = coder->decodeStringForKey(key("NSFontName"));
    if (auto f = fontName ? NSFont::fontWithName(fontName, coder->decodeDoubleForKey(key("NSFontSize"))) : nullptr)
        setFont(f);
    setTextContainerInset(coder->decodeSizeForKey(key("NSTextContainerInset")));
    if (auto text = coder->decodeStringForKey(key("NSString"))) setString(text);
    return Ref<NSTextView>(this);
}

// --- Text ---

Ref<NSString> NSTextView::string() const
{
    if (m_secure) return NSString::stringWithUTF16(m_secret);
    auto storage = textStorage();
    return storage ? storage->string() : NSString::string();
}

void NSTextView::setSecure(bool flag)
{
    if (flag == m_secure) return;
    Ref<NSString> text = string();
    m_secure = flag;
    m_secret.clear();
    setString(text);
}

Ref<NSAttributedString> NSTextView::stored(NSRange range, const Ref<NSAttributedString>& text)
{
    if (!m_secure) return text;
    const std::u16string typed = text ? text->string()->utf16() : u"";
    const NSUInteger at = std::min<NSUInteger>(range.location, m_secret.size());
    m_secret.replace(at, std::min<NSUInteger>(range.length, m_secret.size() - at), typed);
    return NSAttributedString::initWithString(NSString::stringWithUTF16(std::u16string(typed.size(), u'\u2022')),
                                              m_typingAttributes);
}

void NSTextView::setString(const Ref<NSString>& string)
{
    auto storage = textStorage();
    if (!storage) return;
    const NSRange all = NSMakeRange(0, storage->length());
    storage->replaceCharactersInRange(all, stored(all, NSAttributedString::initWithString(string, m_typingAttributes)));
    m_selection = NSMakeRange(storage->length(), 0);
    m_anchor = storage->length();
    sizeToFit();
    setNeedsDisplay(true);
}

void NSTextView::replaceCharactersInRange(NSRange range, const Ref<NSString>& string)
{
    auto storage = textStorage();
    if (!storage) return;
    NSUInteger inserted = string ? string->length() : 0;
    if (m_secure || storage->length() == 0)
        storage->replaceCharactersInRange(
            range, stored(range, NSAttributedString::initWithString(string, m_typingAttributes)));
    else storage->replaceCharactersInRange(range, string ? string : NSString::string());
    // The selection keeps its place in the text around the edit.
    auto shift = [&](NSUInteger index) -> NSUInteger {
        if (index <= range.location) return index;
        if (index >= NSMaxRange(range)) return index - range.length + inserted;
        return range.location + inserted;
    };
    NSUInteger start = shift(m_selection.location), end = shift(NSMaxRange(m_selection));
    m_selection = NSMakeRange(start, end - start);
    m_anchor = shift(m_anchor);
    sizeToFit();
}

Ref<NSFont> NSTextView::font() const
{
    auto storage = textStorage();
    if (storage && storage->length() > 0)
        if (auto f = dynamic_ref_cast<NSFont>(storage->attributeAtIndex(NSFontAttributeName, 0, nullptr))) return f;
    return dynamic_ref_cast<NSFont>(m_typingAttributes->objectForKey(NSFontAttributeName));
}

void NSTextView::setFont(const Ref<NSFont>& font)
{
    if (!font) return;
    auto attributes = NSMutableDictionary::dictionaryWithDictionary(m_typingAttributes);
    attributes->setObject(font, NSFontAttributeName);
    m_typingAttributes = static_ref_cast<NSDictionary>(attributes->copy());
    if (auto storage = textStorage(); storage && storage->length() > 0)
        storage->addAttribute(NSFontAttributeName, font, NSMakeRange(0, storage->length()));
    sizeToFit();
}

Ref<NSColor> NSTextView::textColor() const
{
    auto storage = textStorage();
    if (storage && storage->length() > 0)
        if (auto c = dynamic_ref_cast<NSColor>(storage->attributeAtIndex(NSForegroundColorAttributeName, 0, nullptr)))
            return c;
    return dynamic_ref_cast<NSColor>(m_typingAttributes->objectForKey(NSForegroundColorAttributeName));
}

void NSTextView::setTextColor(const Ref<NSColor>& color)
{
    auto attributes = NSMutableDictionary::dictionaryWithDictionary(m_typingAttributes);
    auto storage = textStorage();
    NSRange all = NSMakeRange(0, storage ? storage->length() : 0);
    if (color) {
        attributes->setObject(color, NSForegroundColorAttributeName);
        if (all.length > 0) storage->addAttribute(NSForegroundColorAttributeName, color, all);
    } else {
        attributes->removeObjectForKey(NSForegroundColorAttributeName);
        if (all.length > 0) storage->removeAttribute(NSForegroundColorAttributeName, all);
    }
    m_typingAttributes = static_ref_cast<NSDictionary>(attributes->copy());
}

void NSTextView::setTypingAttributes(const Ref<NSDictionary>& attributes)
{
    m_typingAttributes = attributes ? attributes : NSDictionary::dictionary();
}

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
    scrollRectToVisible(box);
}

bool NSTextView::scrollRectToVisible(const NSRect& rect)
{
    return NSViewExt::scrollRectToVisible(Ref<NSTextView>(this), rect);
}

// --- Sizing ---

void NSTextView::sizeToFit()
{
    auto manager = layoutManager();
    if (!manager || !m_container || m_sizing) return;
    m_sizing = true;
    NSRect used = manager->usedRectForTextContainer(m_container);
    NSSize size = frame().size;
    if (m_verticallyResizable) {
        CGFloat height = std::max(NSMaxY(used), NSMaxY(manager->extraLineFragmentRect())) + 2 * m_inset.height;
        size.height = std::clamp(height, m_minSize.height, std::max(m_minSize.height, m_maxSize.height));
    }
    if (m_horizontallyResizable) {
        CGFloat width = NSMaxX(used) + 2 * m_inset.width;
        size.width = std::clamp(width, m_minSize.width, std::max(m_minSize.width, m_maxSize.width));
    }
    if (size != frame().size) NSText::setFrameSize(size);
    m_sizing = false;
}

void NSTextView::setFrame(const NSRect& frame)
{
    NSText::setFrame(frame);
    trackFrameSize();
}

void NSTextView::setFrameSize(NSSize size)
{
    NSText::setFrameSize(size);
    trackFrameSize();
}

void NSTextView::trackFrameSize()
{
    NSSize size = frame().size;
    if (m_container) {
        NSSize c = m_container->containerSize();
        if (m_container->widthTracksTextView()) c.width = std::max<CGFloat>(0, size.width - 2 * m_inset.width);
        if (m_container->heightTracksTextView()) c.height = std::max<CGFloat>(0, size.height - 2 * m_inset.height);
        m_container->setContainerSize(c);
    }
    if (!m_sizing) sizeToFit();
}

// --- Responder ---

bool NSTextView::becomeFirstResponder()
{
    m_textAtStart = NSString::stringWithString(string());
    m_endedByKey = false;
    setNeedsDisplay(true);
    return true;
}

bool NSTextView::resignFirstResponder()
{
    // A field editor its control has let go of owes nobody an end.
    bool owed = m_editingBegan || (m_fieldEditor && !m_endedByKey && m_delegate.get());
    if (owed) {
        if (auto* d = textDelegate())
            if (d->textShouldEndEditing(Ref<NSText>(this)) == false) return false;
        endEditingWithMovement(NSOtherTextMovement);
    }
    setNeedsDisplay(true);
    return true;
}

void NSTextView::keyDown(const Ref<NSEvent>& event)
{
    if (!m_selectable) return NSText::keyDown(event);
    m_keyFlags = event->modifierFlags();
    interpretKeyEvents(NSArray::arrayWithObject(event));
    m_keyFlags = 0;
}

void NSTextView::doCommandBySelector(const SEL& selector)
{
    // Home and End have no selecting form: Shift says whether to extend.
    if (m_fieldEditor && (selector == "scrollToBeginningOfDocument:" || selector == "scrollToEndOfDocument:")) {
        const bool extend = m_keyFlags & NSShiftKeyMask;
        return moveTo(selector == "scrollToBeginningOfDocument:" ? 0 : string()->length(), extend);
    }
    if (auto* d = viewDelegate())
        if (d->textViewDoCommandBySelector(Ref<NSTextView>(this), selector) == true) return;
    NSText::doCommandBySelector(selector);
}

void NSTextView::mouseDown(const Ref<NSEvent>& event)
{
    if (!m_selectable) return NSText::mouseDown(event);
    NSUInteger index = characterIndexForInsertionAtPoint(convertPoint(event->locationInWindow(), nullptr));
    m_dragGranularity = event->clickCount() >= 3   ? NSSelectByParagraph
                        : event->clickCount() == 2 ? NSSelectByWord
                                                   : NSSelectByCharacter;
    NSRange range = selectionRangeForProposedRange(NSMakeRange(index, 0), m_dragGranularity);
    if (event->modifierFlags() & NSShiftKeyMask) {
        NSUInteger anchor = m_anchor;
        NSUInteger start = std::min(anchor, range.location), end = std::max(anchor, NSMaxRange(range));
        setSelectedRange(NSMakeRange(start, end - start));
        m_anchor = anchor;
        m_dragOrigin = NSMakeRange(anchor, 0);
        return;
    }
    setSelectedRange(range);
    m_anchor = range.location;
    m_dragOrigin = range;
}

void NSTextView::mouseDragged(const Ref<NSEvent>& event)
{
    if (!m_selectable) return NSText::mouseDragged(event);
    NSUInteger index = characterIndexForInsertionAtPoint(convertPoint(event->locationInWindow(), nullptr));
    NSRange at = selectionRangeForProposedRange(NSMakeRange(index, 0), m_dragGranularity);
    bool backwards = index < m_dragOrigin.location;
    NSUInteger start = backwards ? at.location : m_dragOrigin.location;
    NSUInteger end = backwards ? NSMaxRange(m_dragOrigin)
                               : std::max(NSMaxRange(m_dragOrigin),
                                          m_dragGranularity == NSSelectByCharacter ? index : NSMaxRange(at));
    setSelectedRange(NSMakeRange(start, end - start));
    m_anchor = backwards ? NSMaxRange(m_dragOrigin) : m_dragOrigin.location;
    scrollRangeToVisible(NSMakeRange(index, 0));
}

void NSTextView::mouseUp(const Ref<NSEvent>& event)
{
    if (!m_selectable) return NSText::mouseUp(event);
}

// --- Drawing ---

void NSTextView::drawRect(const NSRect& dirtyRect)
{
    if (m_drawsBackground && m_backgroundColor) {
        m_backgroundColor->setFill();
        NSRectFill(dirtyRect);
    }
    auto manager = layoutManager();
    if (!manager || !m_container) return;
    NSPoint origin = textContainerOrigin();
    NSRect inContainer = NSOffsetRect(dirtyRect, -origin.x, -origin.y);
    NSRange glyphs = manager->glyphRangeForBoundingRect(inContainer, m_container);
    manager->drawBackgroundForGlyphRange(glyphs, origin);
    manager->drawGlyphsForGlyphRange(glyphs, origin);
    if (shouldDrawInsertionPoint()) {
        (m_insertionPointColor ? m_insertionPointColor : NSColor::blackColor())->setFill();
        NSRectFill(insertionPointRect());
    }
}
