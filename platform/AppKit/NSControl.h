#pragma once
// Controls: views that show a cell and send its action. The control makes
// its cell after itself from its class's cellClass (a subclass's cell class
// is known only once the object exists); value, target, action and looks
// forward to the cell. A mouse-down runs the cell's tracking loop; when the
// mouse goes up inside, the cell moves to its next state and the control
// sends the action through NSApp sendAction:to:from:.
//
// Text editing: a control with an editable or selectable text cell edits
// through the window's field editor (a text view in field-editor mode, whose
// text delegate the control is); while it edits,
// stringValue and the other values include the edit not yet committed. The
// control posts NSControlTextDidBeginEditingNotification,
// NSControlTextDidChangeNotification and NSControlTextDidEndEditingNotification
// with the editor under "NSFieldEditor" (and, at the end, the movement under
// "NSTextMovement") and asks its delegate control:textShouldEndEditing:.
// With a formatter on the cell, the edit ends only when the formatter reads
// the text (or the delegate accepts the failure); otherwise the control
// beeps and the editor stays. The value committed is what the formatter read.
//
// Keyed-coding keys: NSFrame, NSCell, NSHidden, NSAutoresizingMask (the
// view's), then each control's own. An interface-file entry without NSCell
// gives its cell-class keys (NSTitle, NSState, NSTag...) on the control
// itself: the control's cell decodes them from the same entry. Interface
// files connect actions through the "target" and "action" properties.
#include <optional>

#include "AppKit/NSCell.h"
#include "AppKit/NSText.h"
#include "AppKit/NSView.h"
#include "Foundation/NSFormatter.h"
#include "Foundation/NSNotification.h"

class NSControl;

inline constexpr char NSControlTextDidBeginEditingNotification[] = "NSControlTextDidBeginEditingNotification";
inline constexpr char NSControlTextDidChangeNotification[] = "NSControlTextDidChangeNotification";
inline constexpr char NSControlTextDidEndEditingNotification[] = "NSControlTextDidEndEditingNotification";

// A control's delegate (optional methods: nullopt / no-op means "not implemented").
class NSControlTextEditingDelegate {
public:
    virtual ~NSControlTextEditingDelegate() = default;
    // control:textShouldBeginEditing: / control:textShouldEndEditing:
    virtual std::optional<bool> controlTextShouldBeginEditing(const Ref<NSControl>&, const Ref<NSText>&)
    {
        return std::nullopt;
    }
    virtual std::optional<bool> controlTextShouldEndEditing(const Ref<NSControl>&, const Ref<NSText>&)
    {
        return std::nullopt;
    }
    // control:didFailToFormatString:errorDescription: YES keeps the text as
    // the value and lets the edit end.
    virtual std::optional<bool> controlDidFailToFormatStringErrorDescription(const Ref<NSControl>&,
                                                                             const Ref<NSString>& string,
                                                                             const Ref<NSString>& error)
    {
        return std::nullopt;
    }
    virtual void controlTextDidBeginEditing(const Ref<NSNotification>&) { }
    virtual void controlTextDidChange(const Ref<NSNotification>&) { }
    virtual void controlTextDidEndEditing(const Ref<NSNotification>&) { }
};

// NSTextDelegate is a virtual base so that a control may also vet its field
// editor's changes as an NSTextViewDelegate.
class NSControl : public NSView, public NSCoding, public virtual NSTextDelegate {
    NS_OBJECT(NSControl, NSView)
public:
    NSControl() = default;
    ~NSControl() override;

    static const NSClass& cellClass();
    // The cell class of the receiver's class (the control's +cellClass).
    virtual const NSClass& cellClassOfControl() const { return cellClass(); }

    Ref<NSView> initWithFrame(const NSRect& frame) override;

    // --- Cell ---
    Ref<NSCell> cell() const { return m_cell; }
    virtual void setCell(const Ref<NSCell>& cell);
    virtual Ref<NSCell> selectedCell() const { return m_cell; }
    virtual NSInteger selectedTag() const { return selectedCell() ? selectedCell()->tag() : -1; }
    void updateCell(const Ref<NSCell>& cell);
    void updateCellInside(const Ref<NSCell>& cell) { updateCell(cell); }

    // --- Values (forwarded to the cell; an edit in progress is taken first) ---
    Id objectValue() const;
    Ref<NSString> stringValue() const;
    int32_t intValue() const { return static_cast<int32_t>(integerValue()); }
    NSInteger integerValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    double doubleValue() const;
    virtual void setObjectValue(const Id& value);
    virtual void setStringValue(const Ref<NSString>& value);
    void setIntValue(int32_t v) { setIntegerValue(v); }
    virtual void setIntegerValue(NSInteger v);
    void setFloatValue(float v) { setDoubleValue(v); }
    virtual void setDoubleValue(double v);
    void takeObjectValueFrom(const Id& sender);
    void takeStringValueFrom(const Id& sender);
    void takeIntValueFrom(const Id& sender);
    void takeIntegerValueFrom(const Id& sender) { takeIntValueFrom(sender); }
    void takeDoubleValueFrom(const Id& sender);
    void takeFloatValueFrom(const Id& sender) { takeDoubleValueFrom(sender); }

    // --- Formatter (the cell's) ---
    Ref<NSFormatter> formatter() const { return m_cell ? m_cell->formatter() : nullptr; }
    void setFormatter(const Ref<NSFormatter>& formatter)
    {
        if (m_cell) m_cell->setFormatter(formatter);
        setNeedsDisplay(true);
    }

    // --- Target and action ---
    Id target() const { return m_cell ? m_cell->target() : nullptr; }
    void setTarget(const Id& target);
    SEL action() const { return m_cell ? m_cell->action() : SEL(); }
    void setAction(const SEL& action);
    // Through NSApp sendAction:to:from: with the control as sender; a nil
    // target goes along the responder chain. NO when nobody took it.
    virtual bool sendAction(const SEL& action, const Id& target);
    NSEventMask sendActionOn(NSEventMask mask) { return m_cell ? m_cell->sendActionOn(mask) : 0; }
    bool isContinuous() const { return m_cell && m_cell->isContinuous(); }
    void setContinuous(bool flag)
    {
        if (m_cell) m_cell->setContinuous(flag);
    }
    // Highlights the cell, moves it to its next state and sends the action,
    // as a click would.
    virtual void performClick(const Id& sender);

    // --- Looks (forwarded to the cell) ---
    bool isEnabled() const { return m_cell && m_cell->isEnabled(); }
    virtual void setEnabled(bool flag);
    NSTextAlignment alignment() const { return m_cell ? m_cell->alignment() : NSNaturalTextAlignment; }
    void setAlignment(NSTextAlignment a)
    {
        if (m_cell) m_cell->setAlignment(a);
    }
    CGFloat fontSize() const { return m_cell ? m_cell->fontSize() : 13; }
    void setFontSize(CGFloat size)
    {
        if (m_cell) m_cell->setFontSize(size);
    }
    NSUInteger controlSize() const { return m_cell ? m_cell->controlSize() : 0; }
    void setControlSize(NSUInteger size)
    {
        if (m_cell) m_cell->setControlSize(size);
    }
    NSInteger tag() const override { return m_cell ? m_cell->tag() : -1; }
    void setTag(NSInteger tag)
    {
        if (m_cell) m_cell->setTag(tag);
    }
    bool refusesFirstResponder() const { return m_cell && m_cell->refusesFirstResponder(); }
    void setRefusesFirstResponder(bool flag)
    {
        if (m_cell) m_cell->setRefusesFirstResponder(flag);
    }
    // Resizes the frame to the cell's natural size.
    virtual void sizeToFit();
    void setNeedsDisplay(bool flag) override { NSView::setNeedsDisplay(flag); }

    // --- Delegate (not retained; NSControlTextEditingDelegate) ---
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

    // --- Editing ---
    Ref<NSText> currentEditor() const;
    // Copies the editor's text into the cell (editing goes on).
    void validateEditing();
    // Ends editing without taking the edit; NO when nothing was edited.
    virtual bool abortEditing();
    // Starts editing with all the text selected (selectText:).
    virtual void selectText(const Id& sender);

    // --- Events and drawing ---
    void drawRect(const NSRect& dirtyRect) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    bool acceptsFirstMouse(const Ref<NSEvent>&) override { return true; }
    bool acceptsFirstResponder() const override;
    bool isFlipped() const override { return true; }
    // The key equivalent of the cell, if any (buttons).
    bool performKeyEquivalent(const Ref<NSEvent>& event) override;

    // --- NSTextDelegate (the field editor's calls) ---
    void textDidBeginEditing(const Ref<NSNotification>& note) override;
    void textDidChange(const Ref<NSNotification>& note) override;
    std::optional<bool> textShouldEndEditing(const Ref<NSText>& text) override;
    // Commits the editor's text; the movement comes under "NSTextMovement".
    void textDidEndEditing(const Ref<NSNotification>& note) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<NSControl>& m);

protected:
    // The action's text, for key-value coding.
    Ref<NSString> actionName() const;
    void setActionName(const Ref<NSString>& name);
    // The field editor of the control's window, made on demand.
    Ref<NSText> windowFieldEditor() const;
    void postTextNotification(const char* name, NSText* editor, std::optional<NSInteger> movement);
    // The movement a text-ending notification carries (0 without one).
    static NSInteger textMovementOf(const Ref<NSNotification>& note);
    NSControlTextEditingDelegate* textDelegate() const;
    // Whether the cell's formatter (if any) reads the editor's text; beeps
    // when it does not and the delegate does not accept the failure.
    bool formatterAccepts(const Ref<NSText>& text);
    // The text movement's follow-up once the edit is committed (select the
    // next field, send the action...). The default sends the action on Return.
    virtual void didEndEditing(NSInteger movement);

    Ref<NSCell> m_cell;
    Weak<NSObject> m_delegate;
    Weak<NSText> m_editor;
    bool m_beginPosted = false;  // for the edit going on
};
