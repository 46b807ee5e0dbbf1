#include "AppKit/NSTextFieldCell.h"

#include "Foundation/NSClass.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSView.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSTextFieldCell)

Ref<NSCell> NSTextFieldCell::initTextCell(const Ref<NSString>& text)
{
    NSActionCell::initTextCell(text);
    m_drawsBackground = false;
    m_backgroundColor = NSColor::textBackgroundColor();
    m_textColor = NSColor::textColor();
    m_bezelStyle = NSTextFieldSquareBezel;
    return this;
}

Ref<NSText> NSTextFieldCell::currentEditor() const
{
    auto editor = m_editor.get();
    return editor && editor->superview() ? editor : nullptr;
}

Ref<NSColor> NSTextFieldCell::effectiveTextColor() const
{
    if (!m_enabled) return NSColor::disabledControlTextColor();
    return m_textColor ? m_textColor : NSColor::textColor();
}

void NSTextFieldCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    if (m_drawsBackground || m_bezeled) {
        (m_backgroundColor ? m_backgroundColor : NSColor::textBackgroundColor())->setFill();
        if (m_bezeled && m_bezelStyle == NSTextFieldRoundedBezel)
            NSBezierPath::bezierPathWithRoundedRect(frame, frame.size.height / 2, frame.size.height / 2)->fill();
        else NSRectFill(frame);
    }
    if (m_bezeled) {
        auto edge = NSBezierPath::bezierPathWithRoundedRect(
            NSInsetRect(frame, 0.5, 0.5), m_bezelStyle == NSTextFieldRoundedBezel ? frame.size.height / 2 : 0,
            m_bezelStyle == NSTextFieldRoundedBezel ? frame.size.height / 2 : 0);
        (currentEditor() ? NSColor::colorWithCalibratedRed(0.3, 0.55, 0.95, 1) : NSColor::grayColor())->setStroke();
        edge->setLineWidth(1);
        edge->stroke();
    } else if (m_bordered) {
        NSColor::blackColor()->setFill();
        NSFrameRect(frame);
    }
    drawInteriorWithFrame(frame, controlView);
}

void NSTextFieldCell::drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>&)
{
    const NSRect textRect = titleRectForBounds(frame);
    const NSUInteger align = m_alignment == NSNaturalTextAlignment ? NSLeftTextAlignment : m_alignment;
    // The editor over the cell shows the text being edited.
    if (currentEditor()) return;
    auto text = stringValue()->utf16();
    if (text.empty() && m_placeholder) {
        ControlText::drawInRect(m_placeholder->utf16(), textRect, m_textStyle, NSColor::grayColor(), align);
        return;
    }
    if (!isSecure() && drawAttributedObjectValue(textRect, align)) return;
    if (isSecure()) text.assign(text.size(), u'\u2022');
    ControlText::drawInRect(text, textRect, m_textStyle, effectiveTextColor(), align);
}

void NSTextFieldCell::selectWithFrame(const NSRect& frame, const Ref<NSView>& controlView, const Ref<NSText>& textObj,
                                      const Id& delegate, NSInteger start, NSInteger length)
{
    m_editor = textObj;
    NSActionCell::selectWithFrame(frame, controlView, textObj, delegate, start, length);
    redisplay();
}

Ref<NSText> NSTextFieldCell::setUpFieldEditorAttributes(const Ref<NSText>& textObj)
{
    NSActionCell::setUpFieldEditorAttributes(textObj);
    if (!textObj) return nullptr;
    textObj->setTextColor(effectiveTextColor());
    if (auto view = dynamic_ref_cast<NSTextView>(textObj)) view->setSecure(isSecure());
    return textObj;
}

void NSTextFieldCell::endEditing(const Ref<NSText>& textObj)
{
    m_editor = nullptr;
    NSActionCell::endEditing(textObj);
    // The window's editor outlives the edit: it keeps no password.
    if (textObj && isSecure()) textObj->setString(NSString::string());
    redisplay();
}

void NSTextFieldCell::copyValuesFrom(const NSCell& other)
{
    NSActionCell::copyValuesFrom(other);
    auto o = dynamic_cast<const NSTextFieldCell*>(&other);
    if (!o) return;
    m_drawsBackground = o->m_drawsBackground;
    m_backgroundColor = o->m_backgroundColor;
    m_textColor = o->m_textColor;
    m_placeholder = copiedString(o->m_placeholder);
    m_bezelStyle = o->m_bezelStyle;
}

void NSTextFieldCell::encodeWithCoder(NSCoder* c) const
{
    NSActionCell::encodeWithCoder(c);
    c->encodeBool(m_drawsBackground, "NSDrawsBackground"_ns);
    c->encodeObject(m_backgroundColor, "NSBackgroundColor"_ns);
    c->encodeObject(m_textColor, "NSTextColor"_ns);
    c->encodeObject(m_placeholder, "NSPlaceholderString"_ns);
    c->encodeInteger(NSInteger(m_bezelStyle), "NSTextBezelStyle"_ns);
}

Id NSTextFieldCell::initWithCoder(NSCoder* c)
{
    NSActionCell::initWithCoder(c);
    m_drawsBackground = c->decodeBoolForKey("NSDrawsBackground"_ns);
    m_backgroundColor = NSColorExt::decodedColor(c->decodeObjectForKey("NSBackgroundColor"_ns));
    m_textColor = NSColorExt::decodedColor(c->decodeObjectForKey("NSTextColor"_ns));
    m_placeholder = dynamic_ref_cast<NSString>(c->decodeObjectForKey("NSPlaceholderString"_ns));
    m_bezelStyle = NSTextFieldBezelStyle(c->decodeIntegerForKey("NSTextBezelStyle"_ns));
    return this;
}
