#include "AppKit/NSTextField.h"

#include "Foundation/NSClass.h"

#include "AppKit/NSWindow.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(NSTextField)

void NSTextField::describeClass(NSClassMembers<NSTextField>& m)
{
    m.property("placeholderString", &NSTextField::placeholderString, &NSTextField::setPlaceholderString);
    m.property("editable", &NSTextField::isEditable, &NSTextField::setEditable);
}

const NSClass& NSTextField::cellClass() { return NSTextFieldCell::staticClass(); }

Ref<NSView> NSTextField::initWithFrame(const NSRect& frame)
{
    NSControl::initWithFrame(frame);
    if (!m_cell) return this;
    m_cell->setEditable(true);
    m_cell->setBezeled(true);
    setDrawsBackground(true);
    return this;
}

Ref<NSTextField> NSTextField::labelWithString(const Ref<NSString>& text)
{
    auto field = alloc<NSTextField>();
    field->initWithFrame(NSZeroRect);
    field->setEditable(false);
    field->setSelectable(false);
    field->setBezeled(false);
    field->setBordered(false);
    field->setDrawsBackground(false);
    field->setStringValue(text);
    field->sizeToFit();
    return field;
}

void NSTextField::setEditable(bool flag)
{
    if (m_cell) m_cell->setEditable(flag);
    if (!flag) abortEditing();
}

void NSTextField::setSelectable(bool flag)
{
    if (m_cell) m_cell->setSelectable(flag);
    if (!flag) abortEditing();
}

bool NSTextField::drawsBackground() const
{
    auto c = textFieldCell();
    return c && c->drawsBackground();
}

void NSTextField::setDrawsBackground(bool flag)
{
    if (auto c = textFieldCell()) c->setDrawsBackground(flag);
}

Ref<NSColor> NSTextField::backgroundColor() const
{
    auto c = textFieldCell();
    return c ? c->backgroundColor() : nullptr;
}

void NSTextField::setBackgroundColor(const Ref<NSColor>& colour)
{
    if (auto c = textFieldCell()) c->setBackgroundColor(colour);
}

Ref<NSColor> NSTextField::textColor() const
{
    auto c = textFieldCell();
    return c ? c->textColor() : nullptr;
}

void NSTextField::setTextColor(const Ref<NSColor>& colour)
{
    if (auto c = textFieldCell()) c->setTextColor(colour);
}

Ref<NSString> NSTextField::placeholderString() const
{
    auto c = textFieldCell();
    return c ? c->placeholderString() : nullptr;
}

void NSTextField::setPlaceholderString(const Ref<NSString>& s)
{
    if (auto c = textFieldCell()) c->setPlaceholderString(s);
}

NSTextFieldBezelStyle NSTextField::bezelStyle() const
{
    auto c = textFieldCell();
    return c ? c->bezelStyle() : NSTextFieldSquareBezel;
}

void NSTextField::setBezelStyle(NSTextFieldBezelStyle style)
{
    if (auto c = textFieldCell()) c->setBezelStyle(style);
}

bool NSTextField::acceptsFirstResponder() const { return !currentEditor() && NSControl::acceptsFirstResponder(); }

bool NSTextField::becomeFirstResponder()
{
    // The window is still switching responders: start editing once it has.
    Weak<NSTextField> weak(this);
    NSRunLoop::mainRunLoop()->performBlock({NSDefaultRunLoopMode, NSModalPanelRunLoopMode, NSEventTrackingRunLoopMode},
                                           [weak] {
                                               auto self = weak.get();
                                               if (!self || !self->window()) return;
                                               if (self->window()->firstResponder().get() == self.get())
                                                   self->selectText(nullptr);
                                           });
    return true;
}

void NSTextField::mouseDown(const Ref<NSEvent>& event)
{
    if (!isEnabled() || !isSelectable()) return NSControl::mouseDown(event);
    Ref<NSEvent> click = event;
    if (!currentEditor()) {
        selectText(nullptr);
        click = NSEvent::mouseEventWithType(event->type(), event->locationInWindow(), event->modifierFlags(),
                                            event->timestamp(), event->windowNumber(), nullptr, event->eventNumber(), 1,
                                            event->pressure());
    }
    if (auto editor = currentEditor()) editor->mouseDown(click);
}

void NSTextField::mouseDragged(const Ref<NSEvent>& event)
{
    if (auto editor = currentEditor()) return editor->mouseDragged(event);
    NSControl::mouseDragged(event);
}

void NSTextField::mouseUp(const Ref<NSEvent>& event)
{
    if (auto editor = currentEditor()) return editor->mouseUp(event);
    NSControl::mouseUp(event);
}

void NSTextField::keyDown(const Ref<NSEvent>& event)
{
    if (!currentEditor() && isSelectable()) selectText(nullptr);
    if (auto editor = currentEditor()) return editor->keyDown(event);
    NSControl::keyDown(event);
}
