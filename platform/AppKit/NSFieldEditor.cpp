#include "AppKit/NSFieldEditor.h"

#include "Foundation/NSClass.h"

#include <algorithm>

#include "AppKit/NSApplication.h"
#include "AppKit/NSCell.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSArray.h"

NS_CLASS_DEFINE(NSFieldEditor)

void NSFieldEditor::installAsWindowFieldEditor()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    NSWindow::setFieldEditorFactory([](NSWindow*) -> Ref<NSResponder> { return make<NSFieldEditor>(); });
}

Ref<NSFieldEditor> NSFieldEditor::fieldEditorForWindow(const Ref<NSWindow>& window, const Id& forObject)
{
    installAsWindowFieldEditor();
    return window ? dynamic_ref_cast<NSFieldEditor>(window->fieldEditor(true, forObject)) : nullptr;
}

NSFieldEditorDelegate* NSFieldEditor::delegateProtocol() const
{
    return dynamic_cast<NSFieldEditorDelegate*>(m_delegate.get().get());
}

void NSFieldEditor::beginEditing(const Ref<NSString>& text, const NSRect& frame, const Ref<NSView>& controlView,
                                 const Id& delegate)
{
    m_text = text ? text->utf16() : u"";
    m_original = m_text;
    m_frame = frame;
    m_controlView = controlView;
    m_delegate = delegate;
    m_selection = {NSUInteger(m_text.size()), 0};
    m_anchor = m_text.size();
    m_ending = false;
    m_secure = false;
    setNextResponder(controlView);
}

void NSFieldEditor::detach()
{
    if (auto view = controlView()) view->setNeedsDisplay(true);
    m_controlView = nullptr;
    m_delegate = nullptr;
    setNextResponder(nullptr);
}

Ref<NSString> NSFieldEditor::string() const
{
    return NSString::stringWithUTF16(m_text);
}

void NSFieldEditor::setString(const Ref<NSString>& text)
{
    m_text = text ? text->utf16() : u"";
    m_selection = {NSUInteger(m_text.size()), 0};
    m_anchor = m_text.size();
    if (auto view = controlView()) view->setNeedsDisplay(true);
}

void NSFieldEditor::setSelectedRange(NSRange range)
{
    const NSUInteger n = m_text.size();
    NSUInteger start = std::min(range.location, n);
    NSUInteger length = std::min(range.length, n - start);
    m_selection = {start, length};
    m_anchor = start;
    if (auto view = controlView()) view->setNeedsDisplay(true);
}

std::u16string NSFieldEditor::displayedText() const
{
    return m_secure ? std::u16string(m_text.size(), u'\u2022') : m_text;
}

void NSFieldEditor::drawInRect(const NSRect& rect, const Ref<NSColor>& textColour, NSUInteger alignment) const
{
    const std::u16string shown = displayedText();
    const auto offsets = NSControlText::caretOffsets(shown, m_style);
    CGFloat x = rect.origin.x;
    if (alignment == NSRightTextAlignment) x = NSMaxX(rect) - offsets.back();
    if (alignment == NSCenterTextAlignment) x = rect.origin.x + (rect.size.width - offsets.back()) / 2;
    // Keep the caret visible in a text longer than the field.
    const CGFloat caret = offsets[std::min<size_t>(m_selection.location + m_selection.length, shown.size())];
    if (x + caret > NSMaxX(rect) - 1) x = NSMaxX(rect) - 1 - caret;
    const CGFloat lineHeight = NSControlText::lineHeight(m_style);
    const CGFloat y = rect.origin.y + (rect.size.height - lineHeight) / 2;
    if (m_selection.length > 0) {
        NSColor::selectedTextBackgroundColor()->setFill();
        const CGFloat a = offsets[m_selection.location], b = offsets[m_selection.location + m_selection.length];
        NSRectFill(NSIntersectionRect(rect, NSMakeRect(x + a, y, b - a, lineHeight)));
    }
    NSRect textRect = rect;
    textRect.origin.x = x;
    textRect.size.width = NSMaxX(rect) - x;
    NSGraphicsContext::saveGraphicsState();
    NSRectClip(rect);
    NSControlText::drawInRect(shown, textRect, m_style, textColour, NSLeftTextAlignment);
    NSGraphicsContext::restoreGraphicsState();
    if (m_selection.length == 0) {
        NSColor::textColor()->setFill();
        NSRectFill(NSMakeRect(std::floor(x + caret), y, 1, lineHeight));
    }
}

// --- Editing ---

void NSFieldEditor::changed()
{
    if (auto view = controlView()) view->setNeedsDisplay(true);
    if (auto d = delegateProtocol()) d->fieldEditorDidChange(this);
}

void NSFieldEditor::replaceSelection(const std::u16string& text)
{
    m_text.replace(m_selection.location, m_selection.length, text);
    m_selection = {m_selection.location + text.size(), 0};
    m_anchor = m_selection.location;
    changed();
}

void NSFieldEditor::moveTo(NSUInteger position, bool extend)
{
    position = std::min<NSUInteger>(position, m_text.size());
    if (extend) {
        m_selection = {std::min(m_anchor, position), std::max(m_anchor, position) - std::min(m_anchor, position)};
    } else {
        m_selection = {position, 0};
        m_anchor = position;
    }
    if (auto view = controlView()) view->setNeedsDisplay(true);
}

void NSFieldEditor::selectAll(const Id&)
{
    m_anchor = 0;
    m_selection = {0, NSUInteger(m_text.size())};
    if (auto view = controlView()) view->setNeedsDisplay(true);
}

void NSFieldEditor::keyDown(const Ref<NSEvent>& event)
{
    if (!isEditing()) return NSResponder::keyDown(event);
    m_keyFlags = event->modifierFlags();
    interpretKeyEvents(NSArray::arrayWithObject(event));
    m_keyFlags = 0;
}

void NSFieldEditor::mouseDown(const Ref<NSEvent>& event)
{
    auto view = controlView();
    if (!view) return;
    const NSPoint p = view->convertPoint(event->locationInWindow(), nullptr);
    const auto offsets = NSControlText::caretOffsets(displayedText(), m_style);
    const CGFloat x = p.x - m_frame.origin.x - 4;
    NSUInteger best = 0;
    for (NSUInteger i = 0; i < offsets.size(); ++i)
        if (std::abs(offsets[i] - x) < std::abs(offsets[best] - x)) best = i;
    moveTo(best, event->modifierFlags() & NSShiftKeyMask);
}

void NSFieldEditor::insertText(const Id& text)
{
    if (!isEditing() || !text) return;
    std::u16string typed = text->description()->utf16();
    // One line: line breaks typed or pasted become spaces.
    std::replace_if(typed.begin(), typed.end(), [](char16_t c) { return c == u'\n' || c == u'\r'; }, u' ');
    if (!typed.empty()) replaceSelection(typed);
}

void NSFieldEditor::doCommandBySelector(const SEL& s)
{
    if (!isEditing()) return;
    const NSUInteger start = m_selection.location, end = m_selection.location + m_selection.length;
    const NSUInteger caret = m_selection.location == m_anchor ? end : start;
    const bool shiftHeld = m_keyFlags & NSShiftKeyMask;
    if (s == "insertNewline:") { endEditingWithMovement(NSReturnTextMovement); return; }
    if (s == "insertTab:") { endEditingWithMovement(NSTabTextMovement); return; }
    if (s == "insertBacktab:") { endEditingWithMovement(NSBacktabTextMovement); return; }
    if (s == "cancelOperation:") {
        m_text = m_original;
        changed();
        endEditingWithMovement(NSOtherTextMovement);
        return;
    }
    if (s == "deleteBackward:" || s == "deleteForward:") {
        if (m_selection.length == 0) {
            const bool back = s == "deleteBackward:";
            if (back ? start == 0 : start >= m_text.size()) return NSBeep();
            m_selection = back ? NSRange{start - 1, 1} : NSRange{start, 1};
        }
        replaceSelection(u"");
        return;
    }
    if (s == "selectAll:") return selectAll(nullptr);
    if (s == "moveLeft:") return moveTo(m_selection.length ? start : (start ? start - 1 : 0), false);
    if (s == "moveRight:") return moveTo(m_selection.length ? end : end + 1, false);
    if (s == "moveLeftAndModifySelection:") return moveTo(caret ? caret - 1 : 0, true);
    if (s == "moveRightAndModifySelection:") return moveTo(caret + 1, true);
    const bool toStart = s == "moveToBeginningOfLine:" || s == "moveToBeginningOfDocument:" || s == "moveUp:" ||
                         s == "scrollToBeginningOfDocument:" || s == "moveToBeginningOfParagraph:";
    const bool toEnd = s == "moveToEndOfLine:" || s == "moveToEndOfDocument:" || s == "moveDown:" ||
                       s == "scrollToEndOfDocument:" || s == "moveToEndOfParagraph:";
    // Home and End come without a selecting form: Shift says whether to extend.
    const bool homeEnd = s == "scrollToBeginningOfDocument:" || s == "scrollToEndOfDocument:";
    if (toStart || toEnd) return moveTo(toStart ? 0 : m_text.size(), homeEnd && shiftHeld);
    const bool selStart = s == "moveToBeginningOfLineAndModifySelection:" ||
                          s == "moveToBeginningOfDocumentAndModifySelection:" || s == "moveUpAndModifySelection:";
    const bool selEnd = s == "moveToEndOfLineAndModifySelection:" || s == "moveToEndOfDocumentAndModifySelection:" ||
                        s == "moveDownAndModifySelection:";
    if (selStart || selEnd) return moveTo(selStart ? 0 : m_text.size(), true);
    NSResponder::doCommandBySelector(s);
}

bool NSFieldEditor::endEditingWithMovement(NSInteger movement)
{
    if (!isEditing() || m_ending) return true;
    Ref<NSFieldEditor> self(this);
    auto d = delegateProtocol();
    if (d && !d->fieldEditorShouldEndEditing(this)) return false;
    m_ending = true;
    if (d) d->fieldEditorDidEndEditing(this, movement);
    m_ending = false;
    return true;
}

bool NSFieldEditor::resignFirstResponder()
{
    // Another responder takes the keys: editing ends with no movement.
    if (!isEditing() || m_ending) return true;
    return endEditingWithMovement(NSOtherTextMovement);
}
