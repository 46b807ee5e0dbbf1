#include "AppKit/NSCell.h"

#include <cmath>

#include "AppKit/NSFont.h"

#include "Foundation/NSClass.h"

#include "AppKit/NSApplication.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSTextView.h"
#include "AppKit/NSView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSFormatter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(NSCell)

void NSCell::describeClass(NSClassMembers<NSCell>& m)
{
    m.property("stringValue", &NSCell::stringValue, &NSCell::setStringValue);
    m.property("objectValue", &NSCell::objectValue, &NSCell::setObjectValue);
    m.property("state", &NSCell::state, &NSCell::setState);
    m.property("tag", &NSCell::tag, &NSCell::setTag);
    m.property("enabled", &NSCell::isEnabled, &NSCell::setEnabled);
    m.property("title", &NSCell::title, &NSCell::setTitle);
    m.property("representedObject", &NSCell::representedObject, &NSCell::setRepresentedObject);
}

Ref<NSCell> NSCell::initTextCell(const Ref<NSString>& text)
{
    m_type = NSTextCellType;
    m_enabled = true;
    m_textStyle = {};
    m_sendActionMask = NSLeftMouseUpMask;
    m_alignment = NSNaturalTextAlignment;
    setStringValue(text);
    return this;
}

Ref<NSCell> NSCell::initImageCell(const Id& image)
{
    initTextCell(""_ns);
    m_type = NSImageCellType;
    m_objectValue = image;
    return this;
}

// --- Values ---

Ref<NSString> NSCell::copiedString(const Ref<NSString>& s) { return s ? NSString::stringWithString(s) : nullptr; }

void NSCell::setObjectValue(const Id& value)
{
    if (auto s = dynamic_ref_cast<NSString>(value)) m_objectValue = copiedString(s);
    else m_objectValue = value ? value->copy() : nullptr;
    redisplay();
}

Ref<NSString> NSCell::stringValue() const
{
    if (m_formatter)
        if (auto text = m_formatter->stringForObjectValue(m_objectValue)) return text;
    if (auto s = dynamic_ref_cast<NSString>(m_objectValue)) return s;
    if (auto n = dynamic_ref_cast<NSNumber>(m_objectValue)) return n->stringValue();
    if (auto a = dynamic_ref_cast<NSAttributedString>(m_objectValue)) return a->string();
    if (m_objectValue) return m_objectValue->description();
    return ""_ns;
}

bool NSCell::drawAttributedObjectValue(const NSRect& rect, NSUInteger alignment) const
{
    auto text = dynamic_ref_cast<NSAttributedString>(m_objectValue);
    if (!text || m_formatter) return false;
    const NSSize size = NSAttributedStringExt::size(text);
    CGFloat x = rect.origin.x;
    if (alignment == NSCenterTextAlignment) x += std::floor((rect.size.width - size.width) / 2);
    else if (alignment == NSRightTextAlignment) x += rect.size.width - size.width;
    const CGFloat y = rect.origin.y + std::floor((rect.size.height - size.height) / 2);
    NSGraphicsContext::saveGraphicsState();
    NSRectClip(rect);
    // The point is the box's top-left corner in a flipped view and its
    // bottom-left in another: centred either way.
    NSAttributedStringExt::drawAtPoint(text, NSMakePoint(x, y));
    NSGraphicsContext::restoreGraphicsState();
    return true;
}

void NSCell::setStringValue(const Ref<NSString>& value)
{
    if (m_formatter && value) {
        Id parsed;
        if (m_formatter->getObjectValue(&parsed, value, nullptr)) return setObjectValue(parsed);
    }
    m_objectValue = value ? copiedString(value) : Ref<NSString>(""_ns);
    redisplay();
}

void NSCell::setFormatter(const Ref<NSFormatter>& formatter)
{
    m_formatter = formatter;
    redisplay();
}

Ref<NSString> NSCell::editingString() const
{
    if (m_formatter)
        if (auto text = m_formatter->editingStringForObjectValue(m_objectValue)) return text;
    return stringValue();
}

NSInteger NSCell::integerValue() const
{
    if (auto n = dynamic_ref_cast<NSNumber>(m_objectValue)) return n->integerValue();
    return stringValue()->integerValue();
}

double NSCell::doubleValue() const
{
    if (auto n = dynamic_ref_cast<NSNumber>(m_objectValue)) return n->doubleValue();
    return stringValue()->doubleValue();
}

void NSCell::setIntegerValue(NSInteger v) { setObjectValue(NSNumber::numberWithInteger(v)); }

void NSCell::setFloatValue(float v) { setObjectValue(NSNumber::numberWithFloat(v)); }

void NSCell::setDoubleValue(double v) { setObjectValue(NSNumber::numberWithDouble(v)); }

namespace {

Id valueOf(const Id& sender, const char* key)
{
    return sender ? sender->valueForKey(NSString::stringWithUTF8String(key)) : nullptr;
}

}  // namespace

void NSCell::takeObjectValueFrom(const Id& sender) { setObjectValue(valueOf(sender, "objectValue")); }

void NSCell::takeStringValueFrom(const Id& sender)
{
    auto v = valueOf(sender, "stringValue");
    setStringValue(v ? v->description() : nullptr);
}

void NSCell::takeIntValueFrom(const Id& sender)
{
    auto v = valueOf(sender, "stringValue");
    setIntegerValue(v ? v->description()->integerValue() : 0);
}

void NSCell::takeDoubleValueFrom(const Id& sender)
{
    auto v = valueOf(sender, "stringValue");
    setDoubleValue(v ? v->description()->doubleValue() : 0);
}

// --- State ---

void NSCell::setState(NSInteger state)
{
    if (state < 0 && !m_allowsMixedState) state = NSOnState;
    m_state = state > 0 ? NSOnState : state;
    redisplay();
}

NSInteger NSCell::nextState() const
{
    if (m_state == NSOffState) return NSOnState;
    if (m_state == NSOnState && m_allowsMixedState) return NSMixedState;
    return NSOffState;
}

// --- Looks ---

void NSCell::redisplay() const
{
    if (auto view = controlView()) view->setNeedsDisplay(true);
}

void NSCell::setEnabled(bool flag)
{
    m_enabled = flag;
    redisplay();
}

void NSCell::setHighlighted(bool flag)
{
    if (m_highlighted == flag) return;
    m_highlighted = flag;
    redisplay();
}

void NSCell::setBordered(bool flag)
{
    m_bordered = flag;
    if (flag) m_bezeled = false;
    redisplay();
}

void NSCell::setBezeled(bool flag)
{
    m_bezeled = flag;
    if (flag) m_bordered = false;
    redisplay();
}

void NSCell::setControlSize(NSUInteger size)
{
    m_controlSize = size > 2 ? 0 : size;
    static const CGFloat sizes[] = {13, 11, 9};
    m_textStyle.size = sizes[m_controlSize];
    redisplay();
}

NSEventMask NSCell::sendActionOn(NSEventMask mask)
{
    NSEventMask old = m_sendActionMask;
    m_sendActionMask = mask;
    return old;
}

// --- Geometry and drawing ---

NSSize NSCell::cellSize() const { return cellSizeForBounds(NSMakeRect(0, 0, 1e6, 1e6)); }

NSSize NSCell::cellSizeForBounds(const NSRect&) const
{
    const CGFloat inset = (m_bezeled || m_bordered) ? 3 : 1;
    std::u16string text = m_type == NSTextCellType ? stringValue()->utf16() : u"";
    return NSMakeSize(std::ceil(ControlText::width(text, m_textStyle)) + 2 * inset + 4,
                      std::ceil(ControlText::lineHeight(m_textStyle)) + 2 * inset);
}

NSRect NSCell::drawingRectForBounds(const NSRect& bounds) const
{
    const CGFloat inset = (m_bezeled || m_bordered) ? 3 : 1;
    return NSInsetRect(bounds, inset + 1, inset);
}

Ref<NSColor> NSCell::textColorForState() const
{
    return m_enabled ? NSColor::controlTextColor() : NSColor::disabledControlTextColor();
}

void NSCell::drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView)
{
    if (m_bezeled) {
        NSColor::whiteColor()->setFill();
        NSRectFill(cellFrame);
        NSColor::grayColor()->setFill();
        NSFrameRect(cellFrame);
    } else if (m_bordered) {
        NSColor::blackColor()->setFill();
        NSFrameRect(cellFrame);
    }
    drawInteriorWithFrame(cellFrame, controlView);
}

void NSCell::drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>&)
{
    if (m_type != NSTextCellType) return;
    NSUInteger align = m_alignment == NSNaturalTextAlignment ? NSLeftTextAlignment : m_alignment;
    if (drawAttributedObjectValue(titleRectForBounds(cellFrame), align)) return;
    ControlText::drawInRect(stringValue()->utf16(), titleRectForBounds(cellFrame), m_textStyle, textColorForState(),
                            align);
}

void NSCell::highlight(bool flag, const NSRect&, const Ref<NSView>&) { setHighlighted(flag); }

// --- Tracking ---

bool NSCell::startTrackingAt(NSPoint, const Ref<NSView>&)
{
    return m_continuous || (m_sendActionMask & NSLeftMouseDraggedMask);
}

bool NSCell::continueTracking(NSPoint, NSPoint, const Ref<NSView>&) { return true; }

void NSCell::stopTracking(NSPoint, NSPoint, const Ref<NSView>&, bool) { }

namespace {

void sendFromControl(NSCell& cell, const Ref<NSView>& view)
{
    if (cell.action().empty() || !NSApp) return;
    NSApp->sendAction(cell.action(), cell.target(), view ? Id(view) : Id(&cell));
}

}  // namespace

bool NSCell::trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                        bool untilMouseUp)
{
    Ref<NSCell> self(this);
    auto local = [&](const Ref<NSEvent>& e) { return controlView->convertPoint(e->locationInWindow(), nullptr); };
    NSPoint last = local(event);
    bool tracking = startTrackingAt(last, controlView);
    if (m_sendActionMask & NSLeftMouseDownMask) sendFromControl(*this, controlView);
    if (!NSApp) return false;
    const NSEventMask mask = NSLeftMouseUpMask | NSLeftMouseDraggedMask;
    for (;;) {
        auto e = NSApp->nextEventMatchingMask(mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
        if (!e) return false;
        NSPoint p = local(e);
        const bool inside = controlView->mouse(p, cellFrame);
        if (e->type() == NSLeftMouseUp) {
            stopTracking(last, p, controlView, true);
            return inside || untilMouseUp;
        }
        if (!untilMouseUp && !inside) {
            stopTracking(last, p, controlView, false);
            return false;
        }
        if (tracking) {
            tracking = continueTracking(last, p, controlView);
            if (m_continuous || (m_sendActionMask & NSLeftMouseDraggedMask)) sendFromControl(*this, controlView);
        }
        setHighlighted(inside);
        last = p;
    }
}

// --- Editing ---

void NSCell::editWithFrame(const NSRect& frame, const Ref<NSView>& controlView, const Ref<NSText>& textObj,
                           const Id& delegate, const Ref<NSEvent>&)
{
    selectWithFrame(frame, controlView, textObj, delegate, 0, NSInteger(editingString()->length()));
}

void NSCell::selectWithFrame(const NSRect& frame, const Ref<NSView>& controlView, const Ref<NSText>& textObj,
                             const Id& delegate, NSInteger start, NSInteger length)
{
    if (!textObj || !controlView) return;
    auto window = controlView->window();
    // An edit still going on elsewhere ends before the editor moves here.
    if (window && window->firstResponder() == Ref<NSResponder>(textObj)) window->makeFirstResponder(nullptr);
    textObj->setDelegate(nullptr);
    // The editor keeps the frame it is given (a text view would grow to its text).
    if (auto view = dynamic_ref_cast<NSTextView>(textObj)) {
        view->setHorizontallyResizable(false);
        view->setVerticallyResizable(false);
    }
    textObj->setFrame(titleRectForBounds(frame));
    setUpFieldEditorAttributes(textObj);
    textObj->setString(editingString());
    textObj->setSelectedRange(NSMakeRange(NSUInteger(start), NSUInteger(length)));
    controlView->addSubview(textObj);
    textObj->setDelegate(delegate);
    if (window) window->makeFirstResponder(textObj);
}

Ref<NSText> NSCell::setUpFieldEditorAttributes(const Ref<NSText>& textObj)
{
    if (!textObj) return nullptr;
    const NSRect rect = textObj->frame();
    const NSTextAlignment align =
        m_alignment == NSNaturalTextAlignment ? NSLeftTextAlignment : NSTextAlignment(m_alignment);
    textObj->setFont(m_textStyle.bold ? NSFont::boldSystemFontOfSize(m_textStyle.size)
                                      : NSFont::systemFontOfSize(m_textStyle.size));
    textObj->setTextColor(NSColor::controlTextColor());
    textObj->setAlignment(align);
    textObj->setRichText(false);
    textObj->setDrawsBackground(false);
    textObj->setEditable(isEditable());
    textObj->setSelectable(true);
    auto view = dynamic_ref_cast<NSTextView>(textObj);
    if (!view) return textObj;
    view->setSecure(false);
    auto paragraph = NSMutableParagraphStyle::paragraphStyle();
    paragraph->setAlignment(align);
    auto attributes = NSMutableDictionary::dictionaryWithDictionary(view->typingAttributes());
    attributes->setObject(paragraph, NSParagraphStyleAttributeName);
    view->setTypingAttributes(attributes);
    // One line, centred in the title rectangle like the cell's own text.
    const CGFloat inset = std::max<CGFloat>(0, (rect.size.height - ControlText::lineHeight(m_textStyle)) / 2);
    view->setTextContainerInset(NSMakeSize(0, std::floor(inset)));
    if (auto container = view->textContainer()) {
        container->setWidthTracksTextView(false);
        container->setHeightTracksTextView(false);
        container->setLineFragmentPadding(0);
        // Left-aligned text runs on past the field; other alignments need the field's width.
        container->setContainerSize(NSMakeSize(align == NSLeftTextAlignment ? 1e7 : rect.size.width, 1e7));
    }
    return textObj;
}

void NSCell::endEditing(const Ref<NSText>& textObj)
{
    if (!textObj) return;
    auto controlView = textObj->superview();
    textObj->setDelegate(nullptr);
    textObj->removeFromSuperview();
    if (controlView) controlView->setNeedsDisplay(true);
}

// --- Copying and coding ---

Id NSCell::copy() const
{
    Id made = realClass().allocInstance();
    auto clone = dynamic_ref_cast<NSCell>(made);
    if (!clone) return nullptr;
    clone->copyValuesFrom(*this);
    return clone;
}

void NSCell::copyValuesFrom(const NSCell& o)
{
    m_type = o.m_type;
    if (auto s = dynamic_ref_cast<NSString>(o.m_objectValue)) m_objectValue = copiedString(s);
    else m_objectValue = o.m_objectValue;
    m_state = o.m_state;
    m_allowsMixedState = o.m_allowsMixedState;
    m_enabled = o.m_enabled;
    m_highlighted = o.m_highlighted;
    m_bordered = o.m_bordered;
    m_bezeled = o.m_bezeled;
    m_editable = o.m_editable;
    m_selectable = o.m_selectable;
    m_scrollable = o.m_scrollable;
    m_continuous = o.m_continuous;
    m_showsFirstResponder = o.m_showsFirstResponder;
    m_refusesFirstResponder = o.m_refusesFirstResponder;
    m_alignment = o.m_alignment;
    m_textStyle = o.m_textStyle;
    m_controlSize = o.m_controlSize;
    m_lineBreakMode = o.m_lineBreakMode;
    m_backgroundStyle = o.m_backgroundStyle;
    m_menu = o.m_menu;
    m_tag = o.m_tag;
    m_representedObject = o.m_representedObject;
    m_formatter = o.m_formatter;
    m_sendActionMask = o.m_sendActionMask;
    m_controlView = o.m_controlView;
}

void NSCell::encodeWithCoder(NSCoder* c) const
{
    c->encodeInteger(NSInteger(m_type), "NSCellType"_ns);
    c->encodeInteger(m_state, "NSState"_ns);
    c->encodeObject(m_objectValue, "NSContents"_ns);
    c->encodeBool(m_enabled, "NSEnabled"_ns);
    c->encodeBool(m_highlighted, "NSHighlighted"_ns);
    c->encodeBool(m_bordered, "NSBordered"_ns);
    c->encodeBool(m_bezeled, "NSBezeled"_ns);
    c->encodeBool(m_editable, "NSEditable"_ns);
    c->encodeBool(m_selectable, "NSSelectable"_ns);
    c->encodeBool(m_scrollable, "NSScrollable"_ns);
    c->encodeBool(m_allowsMixedState, "NSAllowsMixedState"_ns);
    c->encodeInteger(NSInteger(m_alignment), "NSAlignment"_ns);
    c->encodeDouble(m_textStyle.size, "NSFontSize"_ns);
    c->encodeBool(m_textStyle.bold, "NSBoldFont"_ns);
    c->encodeInteger(m_tag, "NSTag"_ns);
    c->encodeBool(m_continuous, "NSContinuous"_ns);
    c->encodeInt64(int64_t(m_sendActionMask), "NSSendActionOn"_ns);
    c->encodeInteger(NSInteger(m_controlSize), "NSControlSize"_ns);
    c->encodeInteger(NSInteger(m_lineBreakMode), "NSLineBreakMode"_ns);
    if (m_backgroundStyle != NSBackgroundStyleLight)
        c->encodeInteger(NSInteger(m_backgroundStyle), "NSBackgroundStyle"_ns);
    if (m_menu) c->encodeObject(m_menu, "NSMenu"_ns);
    c->encodeObject(m_representedObject, "NSRepresentedObject"_ns);
    c->encodeObject(m_formatter, "NSFormatter"_ns);
}

Id NSCell::initWithCoder(NSCoder* c)
{
    m_type = NSCellType(c->decodeIntegerForKey("NSCellType"_ns));
    m_state = c->decodeIntegerForKey("NSState"_ns);
    // Interface files may name a title NSTitle.
    m_objectValue = c->decodeObjectForKey(c->containsValueForKey("NSContents"_ns) ? "NSContents"_ns : "NSTitle"_ns);
    // An interface file that leaves the key out means an enabled cell.
    m_enabled = !c->containsValueForKey("NSEnabled"_ns) || c->decodeBoolForKey("NSEnabled"_ns);
    m_highlighted = c->decodeBoolForKey("NSHighlighted"_ns);
    m_bordered = c->decodeBoolForKey("NSBordered"_ns);
    m_bezeled = c->decodeBoolForKey("NSBezeled"_ns);
    m_editable = c->decodeBoolForKey("NSEditable"_ns);
    m_selectable = c->decodeBoolForKey("NSSelectable"_ns);
    m_scrollable = c->decodeBoolForKey("NSScrollable"_ns);
    m_allowsMixedState = c->decodeBoolForKey("NSAllowsMixedState"_ns);
    m_alignment = NSTextAlignment(c->decodeIntegerForKey("NSAlignment"_ns));
    const double size = c->decodeDoubleForKey("NSFontSize"_ns);
    m_textStyle.size = size > 0 ? size : 13;
    m_textStyle.bold = c->decodeBoolForKey("NSBoldFont"_ns);
    m_tag = c->decodeIntegerForKey("NSTag"_ns);
    m_continuous = c->decodeBoolForKey("NSContinuous"_ns);
    m_sendActionMask = c->containsValueForKey("NSSendActionOn"_ns)
                           ? NSEventMask(c->decodeInt64ForKey("NSSendActionOn"_ns))
                           : NSLeftMouseUpMask;
    m_controlSize = NSUInteger(c->decodeIntegerForKey("NSControlSize"_ns));
    m_lineBreakMode = NSUInteger(c->decodeIntegerForKey("NSLineBreakMode"_ns));
    m_backgroundStyle = NSBackgroundStyle(c->decodeIntegerForKey("NSBackgroundStyle"_ns));
    m_menu = dynamic_ref_cast<NSMenu>(c->decodeObjectForKey("NSMenu"_ns));
    m_representedObject = c->decodeObjectForKey("NSRepresentedObject"_ns);
    m_formatter = dynamic_ref_cast<NSFormatter>(c->decodeObjectForKey("NSFormatter"_ns));
    return this;
}

Ref<NSFont> NSCell::font() const
{
    return m_textStyle.bold ? NSFont::boldSystemFontOfSize(m_textStyle.size)
                            : NSFont::systemFontOfSize(m_textStyle.size);
}

void NSCell::setFont(const Ref<NSFont>& font)
{
    if (!font) return;
    m_textStyle.size = font->pointSize() > 0 ? font->pointSize() : 13;
    m_textStyle.bold = font->fontName()->UTF8String().find("Bold") != std::string::npos;
    redisplay();
}
