#pragma once
// The text-editing view's interface and its delegate: string, selection,
// editability, font and colour, field-editor mode and the editing
// notifications. NSTextView implements it over the layout engine.
#include <optional>

#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSTextMovement.h"
#include "AppKit/NSView.h"
#include "Foundation/NSNotification.h"

class NSText;

inline const Ref<NSString> NSTextDidBeginEditingNotification = "NSTextDidBeginEditingNotification"_ns;
inline const Ref<NSString> NSTextDidEndEditingNotification = "NSTextDidEndEditingNotification"_ns;
inline const Ref<NSString> NSTextDidChangeNotification = "NSTextDidChangeNotification"_ns;
// The user-information key of NSTextDidEndEditingNotification: how editing ended.
inline const Ref<NSString> NSTextMovementUserInfoKey = "NSTextMovement"_ns;

// The delegate (optional methods: nullopt / no-op means "not implemented").
class NSTextDelegate {
public:
    virtual ~NSTextDelegate() = default;
    virtual std::optional<bool> textShouldBeginEditing(const Ref<NSText>&) { return std::nullopt; }
    virtual std::optional<bool> textShouldEndEditing(const Ref<NSText>&) { return std::nullopt; }
    virtual void textDidBeginEditing(const Ref<NSNotification>&) { }
    virtual void textDidEndEditing(const Ref<NSNotification>&) { }
    virtual void textDidChange(const Ref<NSNotification>&) { }
};

class NSText : public NSView {
    NS_OBJECT(NSText, NSView)
protected:
    NSText() = default;

public:
    virtual Ref<NSString> string() const = 0;
    virtual void setString(const Ref<NSString>& string) = 0;
    virtual void replaceCharactersInRange(NSRange range, const Ref<NSString>& string) = 0;
    virtual NSRange selectedRange() const = 0;
    virtual void setSelectedRange(NSRange range) = 0;
    virtual void scrollRangeToVisible(NSRange range) = 0;

    bool isEditable() const { return m_editable; }
    // Editable text is also selectable.
    virtual void setEditable(bool flag);
    bool isSelectable() const { return m_selectable; }
    // Text that cannot be selected cannot be edited either.
    virtual void setSelectable(bool flag);
    bool isRichText() const { return m_richText; }
    void setRichText(bool flag) { m_richText = flag; }
    bool isFieldEditor() const { return m_fieldEditor; }
    // Return, Tab, Backtab and Escape then end editing instead of entering text.
    void setFieldEditor(bool flag) { m_fieldEditor = flag; }
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool flag);
    Ref<NSColor> backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Ref<NSColor>& color);
    virtual Ref<NSFont> font() const = 0;
    virtual void setFont(const Ref<NSFont>& font) = 0;
    virtual Ref<NSColor> textColor() const = 0;
    virtual void setTextColor(const Ref<NSColor>& color) = 0;
    NSTextAlignment alignment() const { return m_alignment; }
    void setAlignment(NSTextAlignment alignment) { m_alignment = alignment; }

    // Not retained. A delegate implements NSTextDelegate (NSTextViewDelegate).
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

    bool isFlipped() const override { return true; }

protected:
    NSTextDelegate* textDelegate() const { return dynamic_cast<NSTextDelegate*>(m_delegate.get().get()); }
    bool m_editable = true, m_selectable = true, m_richText = true, m_fieldEditor = false, m_drawsBackground = true;
    Ref<NSColor> m_backgroundColor = NSColor::whiteColor();
    NSTextAlignment m_alignment = NSTextAlignmentNatural;
    Weak<NSObject> m_delegate;
};
