#include "AppKit/NSControl.h"

#include "Foundation/NSClass.h"

#include "AppKit/NSActionCell.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSFormatter.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSControl)

void NSControl::describeClass(NSClassMembers<NSControl>& m)
{
    m.action("takeObjectValueFrom:", &NSControl::takeObjectValueFrom);
    m.action("takeStringValueFrom:", &NSControl::takeStringValueFrom);
    m.action("takeIntValueFrom:", &NSControl::takeIntValueFrom);
    m.action("takeIntegerValueFrom:", &NSControl::takeIntegerValueFrom);
    m.action("takeDoubleValueFrom:", &NSControl::takeDoubleValueFrom);
    m.action("takeFloatValueFrom:", &NSControl::takeFloatValueFrom);
    m.action("performClick:", &NSControl::performClick);
    m.action("selectText:", &NSControl::selectText);
    m.property("stringValue", &NSControl::stringValue, &NSControl::setStringValue);
    m.property("objectValue", &NSControl::objectValue, &NSControl::setObjectValue);
    // The name bindings use for a control's value.
    m.property("value", &NSControl::objectValue, &NSControl::setObjectValue);
    m.property("integerValue", &NSControl::integerValue, &NSControl::setIntegerValue);
    m.property("doubleValue", &NSControl::doubleValue, &NSControl::setDoubleValue);
    m.property("enabled", &NSControl::isEnabled, &NSControl::setEnabled);
    m.property("tag", &NSControl::tag, &NSControl::setTag);
    m.property("target", &NSControl::target, &NSControl::setTarget);
    m.property("action", &NSControl::actionName, &NSControl::setActionName);
}

Ref<NSString> NSControl::actionName() const { return NSString::stringWithUTF8String(action()); }

void NSControl::setActionName(const Ref<NSString>& name) { setAction(name ? name->UTF8String() : SEL()); }

const NSClass& NSControl::cellClass() { return NSActionCell::staticClass(); }

NSControl::~NSControl() = default;

Ref<NSView> NSControl::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    auto cell = dynamic_ref_cast<NSCell>(cellClassOfControl().allocInstance());
    if (cell) cell = dynamic_ref_cast<NSCell>(cell->init());
    setCell(cell);
    return this;
}

void NSControl::setCell(const Ref<NSCell>& cell)
{
    if (m_cell && m_cell->controlView().get() == this) m_cell->setControlView(nullptr);
    m_cell = cell;
    if (m_cell) m_cell->setControlView(this);
    setNeedsDisplay(true);
}

void NSControl::updateCell(const Ref<NSCell>&) { setNeedsDisplay(true); }

// --- Values ---

Id NSControl::objectValue() const
{
    const_cast<NSControl*>(this)->validateEditing();
    auto cell = selectedCell();
    return cell ? cell->objectValue() : nullptr;
}

Ref<NSString> NSControl::stringValue() const
{
    const_cast<NSControl*>(this)->validateEditing();
    auto cell = selectedCell();
    return cell ? cell->stringValue() : ""_ns;
}

NSInteger NSControl::integerValue() const
{
    const_cast<NSControl*>(this)->validateEditing();
    auto cell = selectedCell();
    return cell ? cell->integerValue() : 0;
}

double NSControl::doubleValue() const
{
    const_cast<NSControl*>(this)->validateEditing();
    auto cell = selectedCell();
    return cell ? cell->doubleValue() : 0;
}

// Setting a value while editing replaces the text being edited.
#define NS_CONTROL_SETTER(call)                                                                                        \
    abortEditing();                                                                                                    \
    if (auto cell = selectedCell()) cell->call;                                                                        \
    setNeedsDisplay(true);

void NSControl::setObjectValue(const Id& value) { NS_CONTROL_SETTER(setObjectValue(value)) }
void NSControl::setStringValue(const Ref<NSString>& value) { NS_CONTROL_SETTER(setStringValue(value)) }
void NSControl::setIntegerValue(NSInteger v) { NS_CONTROL_SETTER(setIntegerValue(v)) }
void NSControl::setDoubleValue(double v) { NS_CONTROL_SETTER(setDoubleValue(v)) }
#undef NS_CONTROL_SETTER

void NSControl::takeObjectValueFrom(const Id& sender)
{
    if (m_cell) m_cell->takeObjectValueFrom(sender);
    setNeedsDisplay(true);
}

void NSControl::takeStringValueFrom(const Id& sender)
{
    if (m_cell) m_cell->takeStringValueFrom(sender);
    setNeedsDisplay(true);
}

void NSControl::takeIntValueFrom(const Id& sender)
{
    if (m_cell) m_cell->takeIntValueFrom(sender);
    setNeedsDisplay(true);
}

void NSControl::takeDoubleValueFrom(const Id& sender)
{
    if (m_cell) m_cell->takeDoubleValueFrom(sender);
    setNeedsDisplay(true);
}

// --- Target and action ---

void NSControl::setTarget(const Id& target)
{
    if (m_cell) m_cell->setTarget(target);
}

void NSControl::setAction(const SEL& action)
{
    if (m_cell) m_cell->setAction(action);
}

bool NSControl::sendAction(const SEL& action, const Id& target)
{
    if (action.empty()) return false;
    Ref<NSControl> self(this);
    if (NSApp) return NSApp->sendAction(action, target, self);
    if (!target || !target->respondsToSelector(action)) return false;
    target->performSelector(action, self);
    return true;
}

void NSControl::performClick(const Id&)
{
    if (!isEnabled() || !m_cell) return;
    Ref<NSControl> self(this);
    m_cell->didClickInside();
    setNeedsDisplay(true);
    sendAction(action(), target());
}

void NSControl::setEnabled(bool flag)
{
    if (m_cell) m_cell->setEnabled(flag);
    if (!flag) abortEditing();
    setNeedsDisplay(true);
}

void NSControl::sizeToFit()
{
    if (m_cell) setFrameSize(m_cell->cellSize());
}

// --- Events and drawing ---

void NSControl::drawRect(const NSRect&)
{
    if (m_cell) m_cell->drawWithFrame(bounds(), this);
}

bool NSControl::acceptsFirstResponder() const
{
    return m_cell && !m_cell->refusesFirstResponder() && m_cell->acceptsFirstResponder();
}

bool NSControl::performKeyEquivalent(const Ref<NSEvent>& event) { return NSView::performKeyEquivalent(event); }

void NSControl::mouseDown(const Ref<NSEvent>& event)
{
    if (!isEnabled() || !m_cell) return;
    Ref<NSControl> self(this);
    Ref<NSCell> cell = m_cell;
    cell->setHighlighted(true);
    const bool upInside = cell->trackMouse(event, bounds(), self, cell->prefersTrackingUntilMouseUp());
    cell->setHighlighted(false);
    if (!upInside) return;
    cell->didClickInside();
    setNeedsDisplay(true);
    if (cell->sendActionMask() & NSLeftMouseUpMask) sendAction(cell->action(), cell->target());
}

// --- Editing ---

Ref<NSText> NSControl::windowFieldEditor() const
{
    auto w = window();
    return w ? dynamic_ref_cast<NSText>(w->fieldEditor(true, Id(const_cast<NSControl*>(this)))) : nullptr;
}

Ref<NSText> NSControl::currentEditor() const
{
    auto editor = m_editor.get();
    if (editor && editor->delegate().get() == this) return editor;
    return nullptr;
}

void NSControl::validateEditing()
{
    auto editor = currentEditor();
    if (editor && m_cell) m_cell->setStringValue(editor->string());
}

bool NSControl::abortEditing()
{
    auto editor = currentEditor();
    if (!editor) return false;
    m_editor = nullptr;
    m_beginPosted = false;
    auto w = window();
    const bool wasFirst = w && w->firstResponder() == editor;
    if (m_cell) m_cell->endEditing(editor);
    if (wasFirst && w->firstResponder() == editor) w->makeFirstResponder(nullptr);
    return true;
}

void NSControl::selectText(const Id&)
{
    if (!m_cell || !m_cell->isSelectable() || currentEditor()) return;
    auto editor = windowFieldEditor();
    if (!editor) return;
    if (auto d = textDelegate()) {
        auto ok = d->controlTextShouldBeginEditing(this, editor);
        if (ok && !*ok) return;
    }
    // The editor stands in for the control as first responder.
    m_editor = editor;
    m_cell->selectWithFrame(bounds(), this, editor, Id(this), 0, NSInteger(m_cell->editingString()->length()));
    m_beginPosted = true;
    postTextNotification(NSControlTextDidBeginEditingNotification, editor.get(), std::nullopt);
}

NSControlTextEditingDelegate* NSControl::textDelegate() const
{
    return dynamic_cast<NSControlTextEditingDelegate*>(m_delegate.get().get());
}

void NSControl::postTextNotification(const char* name, NSText* editor, std::optional<NSInteger> movement)
{
    auto info = NSMutableDictionary::dictionary();
    if (editor) info->setObject(Id(editor), "NSFieldEditor"_ns);
    if (movement) info->setObject(NSNumber::numberWithInteger(*movement), "NSTextMovement"_ns);
    auto note = NSNotification::notificationWithName(NSString::stringWithUTF8String(name), Id(this), info);
    if (auto d = textDelegate()) {
        const std::string n = name;
        if (n == NSControlTextDidBeginEditingNotification) d->controlTextDidBeginEditing(note);
        else if (n == NSControlTextDidChangeNotification) d->controlTextDidChange(note);
        else d->controlTextDidEndEditing(note);
    }
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

NSInteger NSControl::textMovementOf(const Ref<NSNotification>& note)
{
    auto info = note ? note->userInfo() : nullptr;
    auto movement = info ? dynamic_ref_cast<NSNumber>(info->objectForKey(NSTextMovementUserInfoKey)) : nullptr;
    return movement ? movement->integerValue() : NSOtherTextMovement;
}

void NSControl::textDidBeginEditing(const Ref<NSNotification>& note)
{
    // Editing was announced when the editor came over the control.
    if (m_beginPosted) return;
    m_beginPosted = true;
    postTextNotification(NSControlTextDidBeginEditingNotification, dynamic_cast<NSText*>(note->object().get()),
                         std::nullopt);
}

void NSControl::textDidChange(const Ref<NSNotification>& note)
{
    postTextNotification(NSControlTextDidChangeNotification, dynamic_cast<NSText*>(note->object().get()), std::nullopt);
}

bool NSControl::formatterAccepts(const Ref<NSText>& text)
{
    auto formatter = m_cell ? m_cell->formatter() : nullptr;
    if (!formatter) return true;
    Ref<NSString> string = text->string();
    Ref<NSString> error;
    if (formatter->getObjectValue(nullptr, string, &error)) return true;
    if (auto d = textDelegate())
        if (d->controlDidFailToFormatStringErrorDescription(this, string, error).value_or(false)) return true;
    NSBeep();
    return false;
}

std::optional<bool> NSControl::textShouldEndEditing(const Ref<NSText>& text)
{
    // Text the formatter refuses keeps the editor open.
    if (!formatterAccepts(text)) return false;
    auto d = textDelegate();
    if (!d) return true;
    return d->controlTextShouldEndEditing(this, text).value_or(true);
}

void NSControl::textDidEndEditing(const Ref<NSNotification>& note)
{
    Ref<NSControl> self(this);
    Ref<NSText> editor = dynamic_ref_cast<NSText>(note->object());
    if (!editor) return;
    const NSInteger movement = textMovementOf(note);
    if (m_cell) {
        m_cell->setStringValue(editor->string());
        m_cell->endEditing(editor);
    }
    m_editor = nullptr;
    m_beginPosted = false;
    auto w = window();
    if (w && w->firstResponder() == editor) w->makeFirstResponder(nullptr);
    setNeedsDisplay(true);
    postTextNotification(NSControlTextDidEndEditingNotification, editor.get(), movement);
    didEndEditing(movement);
}

void NSControl::didEndEditing(NSInteger movement)
{
    if (movement == NSReturnTextMovement) sendAction(action(), target());
    // Tab and Shift-Tab go on to the next or previous key view when the
    // window keeps a key-view loop.
    auto w = window();
    if (!w) return;
    if (movement == NSTabTextMovement) w->tryToPerform("selectNextKeyView:", Id(this));
    if (movement == NSBacktabTextMovement) w->tryToPerform("selectPreviousKeyView:", Id(this));
}

// --- Coding ---

void NSControl::encodeWithCoder(NSCoder* c) const
{
    c->encodeRect(frame(), "NSFrame"_ns);
    c->encodeBool(isHidden(), "NSHidden"_ns);
    c->encodeInteger(NSInteger(autoresizingMask()), "NSAutoresizingMask"_ns);
    c->encodeObject(m_cell, "NSCell"_ns);
}

Id NSControl::initWithCoder(NSCoder* c)
{
    NSView::initWithFrame(c->decodeRectForKey("NSFrame"_ns));
    setHidden(c->decodeBoolForKey("NSHidden"_ns));
    setAutoresizingMask(NSUInteger(c->decodeIntegerForKey("NSAutoresizingMask"_ns)));
    auto cell = dynamic_ref_cast<NSCell>(c->decodeObjectForKey("NSCell"_ns));
    // An entry without a cell holds the cell's keys itself.
    if (!cell) {
        cell = dynamic_ref_cast<NSCell>(cellClassOfControl().allocInstance());
        if (cell) cell = dynamic_ref_cast<NSCell>(cell->initWithCoder(c));
    }
    setCell(cell);
    return this;
}
