#include "AppKit/NSResponder.h"

#include "AppKit/NSApplication.h"
#include "Foundation/NSClass.h"
#include "WindowServer/USKeyboardLayout.h"

NS_CLASS_DEFINE(NSResponder)

NSResponder::~NSResponder() = default;

void NSResponder::describeClass(NSClassMembers<NSResponder>& m)
{
    m.action("awakeFromNib", &NSResponder::awakeFromNib);
    m.outlet("menu", &NSResponder::setMenu);
}

#define NS_PASS_ON(method)                                                                                             \
    void NSResponder::method(const Ref<NSEvent>& event)                                                                \
    {                                                                                                                  \
        if (auto next = nextResponder()) next->method(event);                                                          \
        else noResponderFor(#method ":");                                                                              \
    }

NS_PASS_ON(mouseDown)
NS_PASS_ON(mouseDragged)
NS_PASS_ON(mouseUp)
NS_PASS_ON(rightMouseDown)
NS_PASS_ON(rightMouseDragged)
NS_PASS_ON(rightMouseUp)
NS_PASS_ON(otherMouseDown)
NS_PASS_ON(otherMouseDragged)
NS_PASS_ON(otherMouseUp)
NS_PASS_ON(mouseMoved)
NS_PASS_ON(mouseEntered)
NS_PASS_ON(mouseExited)
NS_PASS_ON(scrollWheel)
NS_PASS_ON(keyDown)
NS_PASS_ON(keyUp)
NS_PASS_ON(flagsChanged)
NS_PASS_ON(cursorUpdate)

#undef NS_PASS_ON

bool NSResponder::performKeyEquivalent(const Ref<NSEvent>&) { return false; }

void NSResponder::noResponderFor(const SEL& eventSelector)
{
    if (eventSelector == "keyDown:") NSBeep();
}

bool NSResponder::tryToPerform(const SEL& action, const Id& object)
{
    if (respondsToSelector(action)) {
        performSelector(action, object);
        return true;
    }
    auto next = nextResponder();
    return next && next->tryToPerform(action, object);
}

bool NSResponder::tryToPerform(const SEL& action, const Id& object, const Id& delegate)
{
    if (NSResponder::tryToPerform(action, object)) return true;
    if (!delegate || !delegate->respondsToSelector(action)) return false;
    delegate->performSelector(action, object);
    return true;
}

Ref<NSResponder> NSResponder::responderForAction(const SEL& action)
{
    for (Ref<NSResponder> r(this); r; r = r->nextResponder())
        if (r->respondsToSelector(action)) return r;
    return nullptr;
}

Id NSResponder::menuForEvent(const Ref<NSEvent>&) { return menu(); }

Id NSResponder::undoManager()
{
    auto next = nextResponder();
    return next ? next->undoManager() : nullptr;
}

void NSResponder::doCommandBySelector(const SEL& selector)
{
    if (selector == "noop:") return;
    if (!tryToPerform(selector, nullptr)) NSBeep();
}

void NSResponder::insertText(const Id& text)
{
    if (auto next = nextResponder()) next->insertText(text);
}

SEL NSResponder::standardKeyBinding(unsigned short keyCode, NSUInteger flags, const Ref<NSString>& characters)
{
    const bool shift = flags & NSShiftKeyMask;
    const bool command = flags & NSCommandKeyMask;
    const bool option = flags & NSAlternateKeyMask;
    const bool control = flags & NSControlKeyMask;
    auto arrow = [&](const char* plain, const char* select, const char* cmd, const char* cmdSelect, const char* opt,
                     const char* optSelect) -> SEL {
        if (command) return shift ? cmdSelect : cmd;
        if (option) return shift ? optSelect : opt;
        return shift ? select : plain;
    };
    switch (keyCode) {
    case kVK_Return:
    case kVK_ANSI_KeypadEnter: return "insertNewline:";
    case kVK_Tab: return shift ? "insertBacktab:" : "insertTab:";
    case kVK_Delete: return option ? "deleteWordBackward:" : "deleteBackward:";
    case kVK_ForwardDelete: return option ? "deleteWordForward:" : "deleteForward:";
    case kVK_Escape: return "cancelOperation:";
    case kVK_LeftArrow:
        return arrow("moveLeft:", "moveLeftAndModifySelection:", "moveToBeginningOfLine:",
                     "moveToBeginningOfLineAndModifySelection:", "moveWordLeft:", "moveWordLeftAndModifySelection:");
    case kVK_RightArrow:
        return arrow("moveRight:", "moveRightAndModifySelection:", "moveToEndOfLine:",
                     "moveToEndOfLineAndModifySelection:", "moveWordRight:", "moveWordRightAndModifySelection:");
    case kVK_UpArrow:
        return arrow("moveUp:", "moveUpAndModifySelection:", "moveToBeginningOfDocument:",
                     "moveToBeginningOfDocumentAndModifySelection:", "moveToBeginningOfParagraph:",
                     "moveParagraphBackwardAndModifySelection:");
    case kVK_DownArrow:
        return arrow("moveDown:", "moveDownAndModifySelection:", "moveToEndOfDocument:",
                     "moveToEndOfDocumentAndModifySelection:", "moveToEndOfParagraph:",
                     "moveParagraphForwardAndModifySelection:");
    case kVK_Home: return "scrollToBeginningOfDocument:";
    case kVK_End: return "scrollToEndOfDocument:";
    case kVK_PageUp: return "scrollPageUp:";
    case kVK_PageDown: return "scrollPageDown:";
    default: break;
    }
    if (command) {
        if (keyCode == kVK_ANSI_A) return "selectAll:";
        if (keyCode == kVK_ANSI_Period) return "cancelOperation:";
        return "noop:";
    }
    if (control) {
        switch (keyCode) {
        case kVK_ANSI_A: return "moveToBeginningOfParagraph:";
        case kVK_ANSI_E: return "moveToEndOfParagraph:";
        case kVK_ANSI_B: return "moveBackward:";
        case kVK_ANSI_F: return "moveForward:";
        case kVK_ANSI_D: return "deleteForward:";
        case kVK_ANSI_H: return "deleteBackward:";
        case kVK_ANSI_K: return "deleteToEndOfParagraph:";
        default: return "noop:";
        }
    }
    if (!characters || characters->length() == 0) return "noop:";
    const unichar c = characters->characterAtIndex(0);
    if (c == 0x19) return "insertBacktab:";
    if (c < 0x20 || (c >= 0xF700 && c <= 0xF8FF)) return "noop:";
    return "";
}

SEL NSResponder::editingKeyAction(unsigned short keyCode, NSUInteger flags)
{
    const NSUInteger held = flags & (NSShiftKeyMask | NSControlKeyMask | NSAlternateKeyMask | NSCommandKeyMask);
    if (held == (NSControlKeyMask | NSShiftKeyMask)) return keyCode == kVK_ANSI_Z ? "redo:" : "";
    if (held != NSControlKeyMask) return "";
    switch (keyCode) {
    case kVK_ANSI_C: return "copy:";
    case kVK_ANSI_X: return "cut:";
    case kVK_ANSI_V: return "paste:";
    case kVK_ANSI_A: return "selectAll:";
    case kVK_ANSI_Z: return "undo:";
    default: return "";
    }
}

void NSResponder::interpretKeyEvents(const Ref<NSArray>& events)
{
    if (!events) return;
    for (NSUInteger i = 0; i < events->count(); ++i) {
        auto event = dynamic_ref_cast<NSEvent>(events->objectAtIndex(i));
        if (!event || event->type() != NSKeyDown) continue;
        SEL command = standardKeyBinding(event->keyCode(), event->modifierFlags(), event->characters());
        if (command.empty()) insertText(event->characters());
        else doCommandBySelector(command);
    }
}
