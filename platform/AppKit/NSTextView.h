#pragma once
// A multi-line, editable, selectable text view over the layout engine: it
// owns its text storage, which owns the layout manager, which owns the text
// container the view shows (a flipped view; the container sits at the
// inset). Keys go through interpretKeyEvents: to insertText: and the editing
// and moving commands; clicks place the caret, drags select, double clicks
// select a word.
//
// Order of delegate calls for an edit (typing, deleting, pasting, Return):
//   textShouldBeginEditing: (first edit only), textView:shouldChangeTextInRange:replacementString:
//   (NO leaves the text unchanged), textDidBeginEditing: (first edit only), the change,
//   textView:willChangeSelectionFromCharacterRange:toCharacterRange:, textViewDidChangeSelection:,
//   textDidChange: (with NSTextDidChangeNotification).
// A click or a programmatic selection calls only the two selection hooks.
//
// As a field editor (setFieldEditor:YES) Return, Tab and Backtab end editing
// with their text-movement codes, and Escape restores the text it started
// with and ends editing with NSOtherTextMovement; NSTextDidEndEditingNotification
// carries the code under "NSTextMovement". The delegate's textShouldEndEditing:
// can keep editing going. Home and End then move to the ends of the text, and
// a left-aligned line wider than the view (a container that does not track
// the width) slides left to keep the caret in view.
//
// Secure mode (password fields): the storage holds one bullet for each
// character, so layout, caret and selection fit what is shown, while
// string answers the text typed.
#include <memory>
#include <vector>

#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSMenuItemValidation.h"
#include "AppKit/NSText.h"
#include "AppKit/NSTextContainer.h"
#include "AppKit/NSTextStorage.h"
#include "Foundation/NSCoding.h"

class NSPasteboard;
class NSTextView;
class NSUndoManager;

inline const Ref<NSString> NSTextViewDidChangeSelectionNotification = "NSTextViewDidChangeSelectionNotification"_ns;

enum NSSelectionGranularity : NSUInteger { NSSelectByCharacter = 0, NSSelectByWord = 1, NSSelectByParagraph = 2 };

class NSTextViewDelegate : public virtual NSTextDelegate {
public:
    virtual std::optional<bool> textViewShouldChangeTextInRangeReplacementString(const Ref<NSTextView>&, NSRange,
                                                                                 const Ref<NSString>&)
    {
        return std::nullopt;
    }
    virtual std::optional<NSRange> textViewWillChangeSelectionFromCharacterRangeToCharacterRange(const Ref<NSTextView>&,
                                                                                                 NSRange, NSRange)
    {
        return std::nullopt;
    }
    virtual void textViewDidChangeSelection(const Ref<NSNotification>&) { }
    // YES when the delegate handled the command.
    virtual std::optional<bool> textViewDoCommandBySelector(const Ref<NSTextView>&, const SEL&) { return std::nullopt; }
    // The undo manager the view records its edits with (the window's
    // otherwise).
    virtual Id undoManagerForTextView(const Ref<NSTextView>&) { return nullptr; }
};

// Archive keys: the view's (ViewCoding) and NSString (the text),
// NSEditable, NSSelectable, NSRichText, NSFieldEditor, NSDrawsBackground,
// NSTextContainerInset (size), NSFontName and NSFontSize (the font),
// NSMinSize, NSMaxSize (sizes), NSVerticallyResizable, NSHorizontallyResizable.
class NSTextView : public NSText, public NSCoding, public NSMenuItemValidation {
    NS_OBJECT(NSTextView, NSText)
protected:
    NSTextView() = default;

public:
    ~NSTextView() override;

    // Makes the storage, layout manager and a container as wide as the
    // frame (less the inset) that tracks the view's width.
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    // Shows a container of an existing layout manager (nil: makes them).
    virtual Ref<NSTextView> initWithFrame(const NSRect& frame, const Ref<NSTextContainer>& container);

    // --- Text system ---
    Ref<NSTextStorage> textStorage() const;
    Ref<NSLayoutManager> layoutManager() const;
    Ref<NSTextContainer> textContainer() const { return m_container; }
    void setTextContainer(const Ref<NSTextContainer>& container);
    void replaceTextContainer(const Ref<NSTextContainer>& container) { setTextContainer(container); }
    // Told by the layout manager after replaceTextStorage: a view that owned
    // the old storage owns the new one (the layout manager holds it weakly),
    // follows its edits and keeps its selection inside it.
    void layoutManagerDidReplaceTextStorage(const Ref<NSTextStorage>& old, const Ref<NSTextStorage>& replacement);
    NSSize textContainerInset() const { return m_inset; }
    void setTextContainerInset(NSSize inset);
    NSPoint textContainerOrigin() const { return NSMakePoint(m_inset.width, m_inset.height); }

    // --- Text ---
    Ref<NSString> string() const override;
    // Replaces all the text (no delegate calls) and puts the caret at its end.
    void setString(const Ref<NSString>& string) override;
    // Programmatic: no delegate calls, the selection moves with the edit.
    void replaceCharactersInRange(NSRange range, const Ref<NSString>& string) override;
    Ref<NSFont> font() const override;
    void setFont(const Ref<NSFont>& font) override;
    Ref<NSColor> textColor() const override;
    void setTextColor(const Ref<NSColor>& color) override;
    bool isSecure() const { return m_secure; }
    // Keeps the current text, now hidden (or shown).
    void setSecure(bool flag);
    // The attributes inserted text takes.
    Ref<NSDictionary> typingAttributes() const { return m_typingAttributes; }
    void setTypingAttributes(const Ref<NSDictionary>& attributes);

    // --- Editing through the delegate ---
    // Asks the delegate (and whether the view is editable); NO refuses.
    virtual bool shouldChangeTextInRange(NSRange range, const Ref<NSString>& replacement);
    virtual void didChangeText();
    // Replaces the selection (or the marked range) with a string or an
    // attributed string, as typing does.
    void insertText(const Id& text) override;

    // --- Selection ---
    NSRange selectedRange() const override { return m_selection; }
    void setSelectedRange(NSRange range) override;
    // The range a proposed selection becomes at that granularity.
    virtual NSRange selectionRangeForProposedRange(NSRange proposed, NSSelectionGranularity granularity);
    bool shouldDrawInsertionPoint() const;
    // The caret in the view's coordinates.
    NSRect insertionPointRect();
    NSUInteger characterIndexForInsertionAtPoint(NSPoint pointInView);
    void scrollRangeToVisible(NSRange range) override;
    // Scrolls the enclosing clip views so the rectangle (in this view) shows.
    bool scrollRectToVisible(const NSRect& rect);

    // --- Sizing ---
    bool isVerticallyResizable() const { return m_verticallyResizable; }
    void setVerticallyResizable(bool flag) { m_verticallyResizable = flag; }
    bool isHorizontallyResizable() const { return m_horizontallyResizable; }
    void setHorizontallyResizable(bool flag) { m_horizontallyResizable = flag; }
    NSSize minSize() const { return m_minSize; }
    void setMinSize(NSSize size) { m_minSize = size; }
    NSSize maxSize() const { return m_maxSize; }
    void setMaxSize(NSSize size) { m_maxSize = size; }
    // Grows or shrinks the frame to the laid-out text as far as the
    // resizable flags and limits allow.
    void sizeToFit();
    void setFrame(const NSRect& frame) override;
    void setFrameSize(NSSize size) override;

    // --- Responder and drawing ---
    bool acceptsFirstResponder() const override { return m_selectable; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void keyDown(const Ref<NSEvent>& event) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void mouseDragged(const Ref<NSEvent>& event) override;
    void mouseUp(const Ref<NSEvent>& event) override;
    void doCommandBySelector(const SEL& selector) override;
    void drawRect(const NSRect& dirtyRect) override;
    Ref<NSColor> insertionPointColor() const { return m_insertionPointColor; }
    void setInsertionPointColor(const Ref<NSColor>& color) { m_insertionPointColor = color; }

    // --- Commands (the standard key bindings send these) ---
    void insertNewline(const Id& sender);
    void insertTab(const Id& sender);
    void insertBacktab(const Id& sender);
    void insertNewlineIgnoringFieldEditor(const Id& sender);
    void insertTabIgnoringFieldEditor(const Id& sender);
    void cancelOperation(const Id& sender);
    void deleteBackward(const Id& sender);
    void deleteForward(const Id& sender);
    void deleteWordBackward(const Id& sender);
    void deleteWordForward(const Id& sender);
    void deleteToEndOfParagraph(const Id& sender);
    void moveLeft(const Id& sender);
    void moveRight(const Id& sender);
    void moveBackward(const Id& sender) { moveLeft(sender); }
    void moveForward(const Id& sender) { moveRight(sender); }
    void moveUp(const Id& sender);
    void moveDown(const Id& sender);
    void moveWordLeft(const Id& sender);
    void moveWordRight(const Id& sender);
    void moveToBeginningOfLine(const Id& sender);
    void moveToEndOfLine(const Id& sender);
    void moveToBeginningOfParagraph(const Id& sender);
    void moveToEndOfParagraph(const Id& sender);
    void moveToBeginningOfDocument(const Id& sender);
    void moveToEndOfDocument(const Id& sender);
    void moveLeftAndModifySelection(const Id& sender);
    void moveRightAndModifySelection(const Id& sender);
    void moveUpAndModifySelection(const Id& sender);
    void moveDownAndModifySelection(const Id& sender);
    void moveWordLeftAndModifySelection(const Id& sender);
    void moveWordRightAndModifySelection(const Id& sender);
    void moveToBeginningOfLineAndModifySelection(const Id& sender);
    void moveToEndOfLineAndModifySelection(const Id& sender);
    void moveToBeginningOfDocumentAndModifySelection(const Id& sender);
    void moveToEndOfDocumentAndModifySelection(const Id& sender);
    void selectAll(const Id& sender);

    // --- Pasteboard (NSTextViewPasteboard.cpp) ---
    // copy:, cut: and paste: use the general pasteboard. Plain text goes in
    // with the typing attributes; a paste that cannot be read beeps.
    void copy(const Id& sender);
    void cut(const Id& sender);
    void paste(const Id& sender);
    void pasteAsPlainText(const Id& sender);
    Ref<NSArray> writablePasteboardTypes() const;
    Ref<NSArray> readablePasteboardTypes() const;
    bool writeSelectionToPasteboard(const Ref<NSPasteboard>& pasteboard, const Ref<NSArray>& types);
    bool readSelectionFromPasteboard(const Ref<NSPasteboard>& pasteboard);
    // The pasteboard that holds the text selected last (the X11 PRIMARY
    // selection).
    static Ref<NSPasteboard> selectionPasteboard();

    // --- Input methods (NSTextViewInputMethod.cpp) ---
    // The text an input method is composing stands, underlined, in place of
    // the selection; insertText: (or unmarkText, which keeps it) commits it
    // as one edit, which the delegate is asked about and undo records.
    void setMarkedText(const Id& text, NSRange selectedRange);
    void unmarkText();
    bool hasMarkedText() const { return m_markedRange.location != NSNotFound; }
    NSRange markedRange() const { return m_markedRange; }
    Ref<NSDictionary> markedTextAttributes() const;

    // --- Undo (NSTextViewUndo.cpp) ---
    // Typing and deleting at the caret coalesce into one "Typing" action
    // until the selection moves or another kind of edit comes; paste, cut
    // and drops are actions of their own. A change of the text by code
    // drops the view's actions, which no longer fit the text.
    bool allowsUndo() const { return m_allowsUndo; }
    void setAllowsUndo(bool flag);
    Id undoManager() override;
    void undo(const Id& sender);
    void redo(const Id& sender);
    void breakUndoCoalescing();
    bool isCoalescingUndo() const { return m_undoRun != nullptr; }

    // Whether an editing action can act now (undo: with nothing to undo,
    // copy: without a selection... cannot).
    bool validateAction(const SEL& action);
    std::optional<bool> validateMenuItem(const Ref<NSMenuItem>& item) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<NSTextView>& m);

    // What an edit by the user is, for undo.
    enum class EditKind { Typing, Deleting, Paste, Cut, Drop, Other };
    struct UndoRun;

private:
    NSTextViewDelegate* viewDelegate() const;
    void makeTextSystem(const NSRect& frame);
    // The container follows the frame as its tracking flags say.
    void trackFrameSize();
    // Replaces a range as the user does: asks first, answers whether it changed.
    bool userReplace(NSRange range, const Ref<NSAttributedString>& text, EditKind kind = EditKind::Typing);
    bool userReplace(NSRange range, const Ref<NSString>& text, EditKind kind = EditKind::Typing);
    // Records the reversal of a user edit about to replace the range.
    void recordUndo(NSRange range, NSUInteger insertedLength, EditKind kind);
    // Puts back what an undo run recorded, recording the way back.
    void reverseRun(const std::shared_ptr<UndoRun>& run);
    // Follows the storage: an edit that is not the view's own drops its
    // undo actions.
    void watchStorage();
    void storageDidProcessEditing();
    void claimSelectionPasteboard();
    // Takes the marked text out, putting back what it replaced; answers the
    // range the composition stands for.
    NSRange removeMarkedText();
    void beginEditingIfNeeded();
    bool askToBeginEditing();
    void endEditingWithMovement(NSInteger movement);
    // A key that ends editing: the delegate may keep editing going.
    void endEditingByKey(NSInteger movement);
    // What goes into the storage for text replacing the range (bullets in
    // secure mode, where the real text is kept aside).
    Ref<NSAttributedString> stored(NSRange range, const Ref<NSAttributedString>& text);
    // A one-line field editor slides its text left so the caret stays in view.
    void keepCaretInField();
    // Collapses or extends the selection to an index (extend keeps the anchor).
    void moveTo(NSUInteger index, bool extend);
    NSUInteger caretIndex() const;
    NSUInteger previousIndex(NSUInteger index) const;
    NSUInteger nextIndex(NSUInteger index) const;
    NSUInteger wordBoundary(NSUInteger index, bool forward) const;
    NSRange lineRangeAt(NSUInteger index);
    NSUInteger verticalIndex(bool down);
    NSRange paragraphRangeAt(NSUInteger index) const;
    NSPoint pointInContainer(NSPoint pointInView) const;

    Ref<NSTextStorage> m_ownedStorage;  // kept while this view made it
    Ref<NSTextContainer> m_container;
    NSSize m_inset;
    NSRange m_selection{0, 0};
    NSUInteger m_anchor = 0;
    CGFloat m_goalX = -1;  // kept across vertical moves
    Ref<NSDictionary> m_typingAttributes;
    Ref<NSColor> m_insertionPointColor;
    bool m_verticallyResizable = true, m_horizontallyResizable = false, m_sizing = false;
    NSSize m_minSize, m_maxSize{1e7, 1e7};
    bool m_editingBegan = false, m_endedByKey = false, m_ending = false;
    bool m_secure = false;
    std::u16string m_secret;      // the real text in secure mode
    NSUInteger m_keyFlags = 0;    // of the key being interpreted
    Ref<NSString> m_textAtStart;  // what Escape brings back in a field editor
    NSRange m_dragOrigin{0, 0};
    NSSelectionGranularity m_dragGranularity = NSSelectByCharacter;
    bool m_allowsUndo = true;
    // Set while the view changes its own storage.
    int m_ownEdit = 0;
    std::shared_ptr<UndoRun> m_undoRun;
    Id m_storageObserver;
    Id m_selectionOwner;
    NSRange m_markedRange{NSNotFound, 0};
    Ref<NSAttributedString> m_replacedByMarkedText;
    Weak<NSTextStorage> m_watchedStorage;
};
