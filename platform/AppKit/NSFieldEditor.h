#pragma once
// The window's one-line field editor: the text being edited in a text field
// or cell, with an insertion point and a selection. The cell that starts
// editing hands it the text and the frame; the editor becomes the window's
// first responder, takes the keys (through the standard key bindings) and
// tells its delegate — the control — what happened. The cell draws the
// editor's text, selection and caret; the editor draws nothing itself.
//
// Keys: typing inserts; Backspace and Delete delete; Left/Right, Home/End,
// Up/Down (to the start/end) move; with Shift they extend the selection;
// Command-A selects all; Return, Tab and Shift-Tab end editing with their
// text movements; Escape restores the text editing started with and ends
// editing with movement 0.
#include <optional>
#include <string>

#include "AppKit/NSControlText.h"
#include "AppKit/NSResponder.h"
#include "Foundation/NSTypes.h"

class NSView;
class NSWindow;
class NSFieldEditor;

// What the editor tells its delegate (the control being edited).
class NSFieldEditorDelegate {
public:
    virtual ~NSFieldEditorDelegate() = default;
    virtual void fieldEditorDidBeginEditing(NSFieldEditor*) {}
    virtual void fieldEditorDidChange(NSFieldEditor*) {}
    // NO keeps editing going.
    virtual bool fieldEditorShouldEndEditing(NSFieldEditor*) { return true; }
    virtual void fieldEditorDidEndEditing(NSFieldEditor*, NSInteger movement) { (void)movement; }
};

class NSFieldEditor : public NSResponder {
    NS_OBJECT(NSFieldEditor, NSResponder)
public:
    NSFieldEditor() = default;

    // Installs the editor as every window's field editor (done once by the
    // text controls).
    static void installAsWindowFieldEditor();
    // The window's field editor (fieldEditor:forObject: with the create
    // flag), installing the editor class first; nil without a window.
    static Ref<NSFieldEditor> fieldEditorForWindow(const Ref<NSWindow>& window, const Id& forObject);

    // --- Set up by the cell ---
    void beginEditing(const Ref<NSString>& text, const NSRect& frame, const Ref<NSView>& controlView,
                      const Id& delegate);
    // Forgets the control without telling it anything.
    void detach();
    bool isEditing() const { return m_controlView.get() != nullptr; }
    Ref<NSView> controlView() const { return m_controlView.get(); }
    NSRect frame() const { return m_frame; }
    Id delegate() const { return m_delegate.get(); }
    void setTextStyle(NSControlText::Style style) { m_style = style; }

    // --- Text and selection ---
    Ref<NSString> string() const;
    void setString(const Ref<NSString>& text);
    NSRange selectedRange() const { return m_selection; }
    void setSelectedRange(NSRange range);
    bool isSecure() const { return m_secure; }
    void setSecure(bool flag) { m_secure = flag; }
    // The text as drawn (bullets for secure fields).
    std::u16string displayedText() const;
    // Draws the text, selection and caret in the rectangle (the cell's
    // title rectangle).
    void drawInRect(const NSRect& rect, const Ref<NSColor>& textColour, NSUInteger alignment) const;

    // --- Keys and commands ---
    bool acceptsFirstResponder() const override { return true; }
    bool resignFirstResponder() override;
    void keyDown(const Ref<NSEvent>& event) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void insertText(const Id& text) override;
    void doCommandBySelector(const SEL& selector) override;
    void selectAll(const Id& sender);
    // Ends editing as if the key for the movement had been pressed; answers
    // NO when the delegate kept editing going.
    bool endEditingWithMovement(NSInteger movement);

private:
    void replaceSelection(const std::u16string& text);
    void moveTo(NSUInteger position, bool extend);
    void changed();
    NSFieldEditorDelegate* delegateProtocol() const;

    std::u16string m_text;
    std::u16string m_original;
    NSRange m_selection{0, 0};
    NSUInteger m_anchor = 0;
    NSRect m_frame;
    NSControlText::Style m_style;
    bool m_secure = false;
    bool m_ending = false;
    NSUInteger m_keyFlags = 0;  // of the key being interpreted
    Weak<NSView> m_controlView;
    Weak<NSObject> m_delegate;
};
