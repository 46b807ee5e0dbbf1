#pragma once
// Text fields: labels and editable one-line fields over an NSTextFieldCell.
// A click in an editable or selectable field (or the field becoming first
// responder) starts editing through the window's field editor; stringValue
// includes the edit not yet committed. Return commits and sends the action,
// Tab and Shift-Tab commit, Escape restores the text editing started with;
// the control text notifications go out as NSControl describes.
// New fields are editable, selectable, bezeled and draw a white background.
#include "AppKit/NSControl.h"
#include "AppKit/NSTextFieldCell.h"

class NSTextField : public NSControl {
    NS_OBJECT(NSTextField, NSControl)
protected:
    NSTextField() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    // A non-editable, non-selectable, borderless label.
    static Ref<NSTextField> labelWithString(const Ref<NSString>& text);

    Ref<NSTextFieldCell> textFieldCell() const { return dynamic_ref_cast<NSTextFieldCell>(m_cell); }

    bool isEditable() const { return m_cell && m_cell->isEditable(); }
    void setEditable(bool flag);
    bool isSelectable() const { return m_cell && m_cell->isSelectable(); }
    void setSelectable(bool flag);
    bool isBezeled() const { return m_cell && m_cell->isBezeled(); }
    void setBezeled(bool flag)
    {
        if (m_cell) m_cell->setBezeled(flag);
    }
    bool isBordered() const { return m_cell && m_cell->isBordered(); }
    void setBordered(bool flag)
    {
        if (m_cell) m_cell->setBordered(flag);
    }
    bool drawsBackground() const;
    void setDrawsBackground(bool flag);
    Ref<NSColor> backgroundColor() const;
    void setBackgroundColor(const Ref<NSColor>& colour);
    Ref<NSColor> textColor() const;
    void setTextColor(const Ref<NSColor>& colour);
    Ref<NSString> placeholderString() const;
    void setPlaceholderString(const Ref<NSString>& s);
    NSTextFieldBezelStyle bezelStyle() const;
    void setBezelStyle(NSTextFieldBezelStyle style);

    // Editing keeps the field out of first-responder changes: the editor
    // stands in for it.
    bool acceptsFirstResponder() const override;
    bool becomeFirstResponder() override;
    // A click that starts editing reaches the editor as a single click: the
    // clicks before it belonged to an edit that has ended.
    void mouseDown(const Ref<NSEvent>& event) override;
    // The editor follows the drag of the click that started editing.
    void mouseDragged(const Ref<NSEvent>& event) override;
    void mouseUp(const Ref<NSEvent>& event) override;
    void keyDown(const Ref<NSEvent>& event) override;
    bool isFlipped() const override { return true; }

    static void describeClass(NSClassMembers<NSTextField>& m);
};
