#include "AppKit/NSTextView.h"

#include <algorithm>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSViewScrolling.h"
#include "AppKit/NSWindow.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSTextView)

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
    m.action("complete:", &NSTextView::complete);
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
    if (m_secure) {
        storage->replaceCharactersInRange(all,
                                          stored(all, NSAttributedString::initWithString(string, m_typingAttributes)));
    } else {
        // A long text is copied once: in as it is, then given the typing
        // attributes, processed as one edit.
        storage->beginEditing();
        storage->replaceCharactersInRange(all, string ? string : NSString::string());
        if (storage->length() > 0) storage->setAttributes(m_typingAttributes, NSMakeRange(0, storage->length()));
        storage->endEditing();
    }
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

// --- Sizing ---

void NSTextView::sizeToFit()
{
    auto manager = layoutManager();
    if (!manager || !m_container || m_sizing) return;
    m_sizing = true;
    NSRect used = manager->usedRectForTextContainer(m_container);
    // Until layout reaches the end, the estimate stands for the extra
    // fragment too.
    const bool estimated = manager->allowsNonContiguousLayout() && manager->hasNonContiguousLayout();
    NSSize size = frame().size;
    if (m_verticallyResizable) {
        CGFloat extra = estimated ? 0 : NSMaxY(manager->extraLineFragmentRect());
        CGFloat height = std::max(NSMaxY(used), extra) + 2 * m_inset.height;
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
    if (auto marked = event->markedText()) return setMarkedText(marked, NSMakeRange(marked->length(), 0));
    m_keyFlags = event->modifierFlags();
    interpretKeyEvents(NSArray::arrayWithObject(event));
    m_keyFlags = 0;
}

void NSTextView::doCommandBySelector(const SEL& selector)
{
    // A command ends a composition without its text; Backspace does no more.
    if (hasMarkedText()) {
        setSelectedRange(removeMarkedText());
        if (selector == "deleteBackward:") return;
    }
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
