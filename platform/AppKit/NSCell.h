#pragma once
// Cells: the value, state, look and mouse tracking of a control (or of one
// part of a control: a matrix's entries, a table's columns). A cell draws
// into its control view and is not a view itself; its control view is a
// back pointer. Keyed-coding keys: NSCellType, NSState, NSContents (title or
// object value; NSTitle is read too), NSEnabled (YES when missing),
// NSHighlighted, NSBordered, NSBezeled, NSEditable, NSSelectable,
// NSScrollable, NSAllowsMixedState, NSAlignment, NSFontSize, NSBoldFont,
// NSTag, NSContinuous, NSSendActionOn (mouse-up when missing),
// NSControlSize, NSRepresentedObject, NSFormatter, NSBackgroundStyle, NSMenu,
// NSLineBreakMode.
//
// A cell with a formatter shows its object value through the formatter's
// stringForObjectValue (the value's own text when the formatter has none for
// it), starts an edit with editingStringForObjectValue, and reads text given
// to setStringValue back through getObjectValue; text the formatter refuses
// is kept as the string itself.
#include <optional>

#include "AppKit/ControlText.h"
#include "AppKit/NSCellStateValue.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSTextMovement.h"
#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSFormatter.h"
#include "Foundation/NSGeometry.h"
#include "Foundation/NSString.h"

class NSFont;
class NSText;

enum NSCellType : NSUInteger { NSNullCellType = 0, NSTextCellType = 1, NSImageCellType = 2 };

// How a button cell shows pressing (highlightsBy) and the on state
// (showsStateBy).
enum NSCellStyleMask : NSUInteger {
    NSNoCellMask = 0,
    NSContentsCellMask = 1,  // the alternate title and image
    NSPushInCellMask = 2,
    NSChangeGrayCellMask = 4,
    NSChangeBackgroundCellMask = 8,
};

// The background a cell's contents sit on.
enum NSBackgroundStyle : NSInteger {
    NSBackgroundStyleLight = 0,
    NSBackgroundStyleDark = 1,
    NSBackgroundStyleRaised = 2,
    NSBackgroundStyleLowered = 3,
};

class NSCell : public NSObject, public NSCoding {
    NS_OBJECT(NSCell, NSObject)
protected:
    NSCell() = default;

public:
    Id init() override { return initTextCell(""_ns); }
    virtual Ref<NSCell> initTextCell(const Ref<NSString>& text);
    virtual Ref<NSCell> initImageCell(const Id& image);

    // --- Type and value ---
    NSCellType type() const { return m_type; }
    void setType(NSCellType type) { m_type = type; }
    virtual Id objectValue() const { return m_objectValue; }
    virtual void setObjectValue(const Id& value);
    virtual Ref<NSString> stringValue() const;
    virtual void setStringValue(const Ref<NSString>& value);
    int32_t intValue() const { return static_cast<int32_t>(integerValue()); }
    virtual NSInteger integerValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    virtual double doubleValue() const;
    void setIntValue(int32_t v) { setIntegerValue(v); }
    virtual void setIntegerValue(NSInteger v);
    void setFloatValue(float v);
    virtual void setDoubleValue(double v);
    // Not copied: formatters are shared like the platform's.
    Ref<NSFormatter> formatter() const { return m_formatter; }
    void setFormatter(const Ref<NSFormatter>& formatter);
    // The text an edit starts with.
    Ref<NSString> editingString() const;
    // Copies the value of another cell or control (takeXxxValueFrom:).
    void takeObjectValueFrom(const Id& sender);
    void takeStringValueFrom(const Id& sender);
    void takeIntValueFrom(const Id& sender);
    void takeDoubleValueFrom(const Id& sender);
    void takeFloatValueFrom(const Id& sender) { takeDoubleValueFrom(sender); }

    // --- State (NSOffState, NSOnState, NSMixedState) ---
    NSInteger state() const { return m_state; }
    virtual void setState(NSInteger state);
    bool allowsMixedState() const { return m_allowsMixedState; }
    void setAllowsMixedState(bool flag) { m_allowsMixedState = flag; }
    // Off -> on -> off (with mixed allowed: off -> on -> mixed -> off).
    NSInteger nextState() const;
    void setNextState() { setState(nextState()); }

    // --- Title ---
    virtual Ref<NSString> title() const { return stringValue(); }
    virtual void setTitle(const Ref<NSString>& title) { setStringValue(title); }

    // --- Looks ---
    bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool flag);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool flag);
    bool isBordered() const { return m_bordered; }
    virtual void setBordered(bool flag);
    bool isBezeled() const { return m_bezeled; }
    virtual void setBezeled(bool flag);
    bool isEditable() const { return m_editable; }
    void setEditable(bool flag)
    {
        m_editable = flag;
        if (flag) m_selectable = true;
    }
    bool isSelectable() const { return m_selectable || m_editable; }
    void setSelectable(bool flag)
    {
        m_selectable = flag;
        if (!flag) m_editable = false;
    }
    bool isScrollable() const { return m_scrollable; }
    void setScrollable(bool flag) { m_scrollable = flag; }
    NSTextAlignment alignment() const { return m_alignment; }
    void setAlignment(NSTextAlignment a)
    {
        m_alignment = a;
        redisplay();
    }
    // The text's size and weight (the cell's font).
    CGFloat fontSize() const { return m_textStyle.size; }
    void setFontSize(CGFloat size)
    {
        m_textStyle.size = size > 0 ? size : 13;
        redisplay();
    }
    bool isBoldFont() const { return m_textStyle.bold; }
    void setBoldFont(bool flag)
    {
        m_textStyle.bold = flag;
        redisplay();
    }
    ControlText::Style textStyle() const { return m_textStyle; }
    // The cell's font as an NSFont: the system font (bold or not) at the
    // cell's size. Controls draw in the system face, so a font of another
    // family sets only the size and the weight.
    Ref<NSFont> font() const;
    void setFont(const Ref<NSFont>& font);
    // 0 regular, 1 small, 2 mini; sets the text size to 13, 11 or 9.
    // Cells of a fixed size answer it whatever they are set to.
    virtual NSUInteger controlSize() const { return m_controlSize; }
    virtual void setControlSize(NSUInteger size);
    NSInteger tag() const { return m_tag; }
    void setTag(NSInteger tag) { m_tag = tag; }
    Id representedObject() const { return m_representedObject; }
    void setRepresentedObject(const Id& object) { m_representedObject = object; }
    NSBackgroundStyle backgroundStyle() const { return m_backgroundStyle; }
    void setBackgroundStyle(NSBackgroundStyle style)
    {
        m_backgroundStyle = style;
        redisplay();
    }
    // The cell's contextual menu (a pop-up cell's list).
    virtual Ref<NSMenu> menu() const { return m_menu; }
    virtual void setMenu(const Ref<NSMenu>& menu) { m_menu = menu; }
    // How a title too wide for its frame is cut (NSLineBreakMode); the one-line
    // titles of buttons end in an ellipsis with NSLineBreakByTruncatingTail.
    NSUInteger lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(NSUInteger mode)
    {
        m_lineBreakMode = mode;
        redisplay();
    }
    bool showsFirstResponder() const { return m_showsFirstResponder; }
    void setShowsFirstResponder(bool flag) { m_showsFirstResponder = flag; }
    virtual bool acceptsFirstResponder() const { return m_enabled; }
    bool refusesFirstResponder() const { return m_refusesFirstResponder; }
    void setRefusesFirstResponder(bool flag) { m_refusesFirstResponder = flag; }

    // --- Target and action (kept by NSActionCell; a plain cell has none) ---
    virtual Id target() const { return nullptr; }
    virtual void setTarget(const Id&) { }
    virtual SEL action() const { return {}; }
    virtual void setAction(const SEL&) { }
    bool isContinuous() const { return m_continuous; }
    virtual void setContinuous(bool flag) { m_continuous = flag; }
    // Which mouse events send the action (NSLeftMouseDownMask,
    // NSLeftMouseDraggedMask, NSLeftMouseUpMask); answers the previous mask.
    NSEventMask sendActionOn(NSEventMask mask);
    NSEventMask sendActionMask() const { return m_sendActionMask; }

    // --- Control view (not retained) ---
    Ref<NSView> controlView() const { return m_controlView.get(); }
    virtual void setControlView(const Ref<NSView>& view) { m_controlView = view; }

    // --- Geometry and drawing ---
    virtual NSSize cellSize() const;
    virtual NSSize cellSizeForBounds(const NSRect& bounds) const;
    virtual NSRect drawingRectForBounds(const NSRect& bounds) const;
    virtual NSRect titleRectForBounds(const NSRect& bounds) const { return drawingRectForBounds(bounds); }
    virtual NSRect imageRectForBounds(const NSRect& bounds) const { return drawingRectForBounds(bounds); }
    // The bezel or border, then drawInteriorWithFrame.
    virtual void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView);
    virtual void drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView);
    void highlight(bool flag, const NSRect& cellFrame, const Ref<NSView>& controlView);
    Ref<NSColor> textColorForState() const;

    // --- Tracking ---
    // Runs the tracking loop from a mouse-down: events are taken with
    // nextEventMatchingMask in the event-tracking run-loop mode until the
    // mouse goes up (or, unless untilMouseUp, leaves the frame). Answers YES
    // when the mouse went up inside the tracking.
    virtual bool trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                            bool untilMouseUp);
    virtual bool startTrackingAt(NSPoint startPoint, const Ref<NSView>& controlView);
    virtual bool continueTracking(NSPoint lastPoint, NSPoint currentPoint, const Ref<NSView>& controlView);
    virtual void stopTracking(NSPoint lastPoint, NSPoint stopPoint, const Ref<NSView>& controlView, bool mouseIsUp);
    // Whether the control should track until mouse-up even outside the cell.
    virtual bool prefersTrackingUntilMouseUp() const { return false; }
    // The pointer entered or left a tracking area of the control view that
    // names the cell's control as owner.
    virtual void mouseEntered(const Ref<NSEvent>&) { }
    virtual void mouseExited(const Ref<NSEvent>&) { }
    // Called by the control after a tracking ended with the mouse up inside:
    // a button cell moves to its next state; the control then sends the action.
    virtual void didClickInside() { }

    // --- Editing through the window's field editor ---
    // Puts the field editor (a text view in field-editor mode) over the
    // frame's title rectangle as a subview of the control view, with the
    // cell's text, font and the selection, and makes it the window's first
    // responder; the delegate (usually the control) gets its text-delegate
    // calls.
    virtual void editWithFrame(const NSRect& frame, const Ref<NSView>& controlView, const Ref<NSText>& textObj,
                               const Id& delegate, const Ref<NSEvent>& event);
    virtual void selectWithFrame(const NSRect& frame, const Ref<NSView>& controlView, const Ref<NSText>& textObj,
                                 const Id& delegate, NSInteger start, NSInteger length);
    // Lends the editor the cell's looks; answers it.
    virtual Ref<NSText> setUpFieldEditorAttributes(const Ref<NSText>& textObj);
    // Takes the editor off the control view and lets go of it (its text is
    // not taken: the control commits it).
    virtual void endEditing(const Ref<NSText>& textObj);

    // --- Copying and coding ---
    // A copy of the same class; owned strings are copied, the control view
    // and target are shared references.
    Id copy() const override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<NSCell>& m);

protected:
    // Draws an attributed string given as object value with its own
    // attributes, aligned in the rectangle and centred in its height; false
    // when the value is something else.
    bool drawAttributedObjectValue(const NSRect& rect, NSUInteger alignment) const;
    // Subclasses copy their own fields after the superclass's.
    virtual void copyValuesFrom(const NSCell& other);
    void redisplay() const;
    static Ref<NSString> copiedString(const Ref<NSString>& s);

    NSCellType m_type = NSTextCellType;
    Id m_objectValue;
    NSInteger m_state = NSOffState;
    bool m_allowsMixedState = false;
    bool m_enabled = true;
    bool m_highlighted = false;
    bool m_bordered = false;
    bool m_bezeled = false;
    bool m_editable = false;
    bool m_selectable = false;
    bool m_scrollable = false;
    bool m_continuous = false;
    bool m_showsFirstResponder = false;
    bool m_refusesFirstResponder = false;
    NSTextAlignment m_alignment = NSNaturalTextAlignment;
    ControlText::Style m_textStyle;
    NSUInteger m_controlSize = 0;
    NSUInteger m_lineBreakMode = 0;
    NSBackgroundStyle m_backgroundStyle = NSBackgroundStyleLight;
    Ref<NSMenu> m_menu;
    NSInteger m_tag = 0;
    Id m_representedObject;
    Ref<NSFormatter> m_formatter;
    NSEventMask m_sendActionMask = NSLeftMouseUpMask;
    Weak<NSView> m_controlView;
};
