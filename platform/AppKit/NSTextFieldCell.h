#pragma once
// The cell of text fields: a label or an editable field with a bezel or a
// border, a background and a text colour and a placeholder shown while the
// field is empty. While the field editor edits the cell it lies over the
// cell and shows the text, selection and caret; the cell then draws only its
// bezel and background.
//
// Keyed-coding keys (after NSActionCell's): NSDrawsBackground,
// NSBackgroundColor and NSTextColor (as "r g b a" strings), NSPlaceholderString,
// NSTextBezelStyle.
#include "AppKit/NSActionCell.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSText.h"

enum NSTextFieldBezelStyle : NSUInteger { NSTextFieldSquareBezel = 0, NSTextFieldRoundedBezel = 1 };

class NSTextFieldCell : public NSActionCell {
    NS_OBJECT(NSTextFieldCell, NSActionCell)
protected:
    NSTextFieldCell() = default;

public:
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;

    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool flag)
    {
        m_drawsBackground = flag;
        redisplay();
    }
    Ref<NSColor> backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Ref<NSColor>& colour)
    {
        m_backgroundColor = colour;
        redisplay();
    }
    Ref<NSColor> textColor() const { return m_textColor; }
    void setTextColor(const Ref<NSColor>& colour)
    {
        m_textColor = colour;
        redisplay();
    }
    Ref<NSString> placeholderString() const { return m_placeholder; }
    void setPlaceholderString(const Ref<NSString>& s)
    {
        m_placeholder = copiedString(s);
        redisplay();
    }
    NSTextFieldBezelStyle bezelStyle() const { return m_bezelStyle; }
    void setBezelStyle(NSTextFieldBezelStyle style)
    {
        m_bezelStyle = style;
        redisplay();
    }
    // Secure cells show bullets and edit hidden text.
    virtual bool isSecure() const { return false; }

    bool acceptsFirstResponder() const override { return m_enabled && isSelectable(); }
    // The editor being used on the cell, if any.
    Ref<NSText> currentEditor() const;

    // Lays the cell out for the rectangle before drawing or editing; the
    // plain field has nothing to compute, subclasses with parts do.
    virtual void calcDrawInfo(const NSRect&) { }

    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    void drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    void selectWithFrame(const NSRect& frame, const Ref<NSView>& controlView, const Ref<NSText>& textObj,
                         const Id& delegate, NSInteger start, NSInteger length) override;
    // Adds the text colour and, for secure cells, the editor's bullets.
    Ref<NSText> setUpFieldEditorAttributes(const Ref<NSText>& textObj) override;
    void endEditing(const Ref<NSText>& textObj) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSCell& other) override;
    Ref<NSColor> effectiveTextColor() const;

private:
    bool m_drawsBackground = false;
    Ref<NSColor> m_backgroundColor;
    Ref<NSColor> m_textColor;
    Ref<NSString> m_placeholder;
    NSTextFieldBezelStyle m_bezelStyle = NSTextFieldSquareBezel;
    Weak<NSText> m_editor;
};
