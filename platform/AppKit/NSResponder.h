#pragma once
// The responder chain: views, windows, window controllers and the
// application answer events and actions, passing what they do not handle to
// their next responder. Actions are sent by selector text (the class's
// action table, NSObject::respondsToSelector).
#include <vector>

#include "AppKit/NSEvent.h"
#include "Foundation/NSArray.h"

class NSResponder : public NSObject {
    NS_OBJECT(NSResponder, NSObject)
protected:
    NSResponder() = default;

public:
    // Not retained (a view's next responder is its superview).
    Ref<NSResponder> nextResponder() const { return m_nextResponder.get(); }
    virtual void setNextResponder(const Ref<NSResponder>& responder) { m_nextResponder = responder; }

    // Each passes the event to the next responder by default; the last
    // responder drops it (a key-down beeps).
    virtual void mouseDown(const Ref<NSEvent>& event);
    virtual void mouseDragged(const Ref<NSEvent>& event);
    virtual void mouseUp(const Ref<NSEvent>& event);
    virtual void rightMouseDown(const Ref<NSEvent>& event);
    virtual void rightMouseDragged(const Ref<NSEvent>& event);
    virtual void rightMouseUp(const Ref<NSEvent>& event);
    virtual void otherMouseDown(const Ref<NSEvent>& event);
    virtual void otherMouseDragged(const Ref<NSEvent>& event);
    virtual void otherMouseUp(const Ref<NSEvent>& event);
    virtual void mouseMoved(const Ref<NSEvent>& event);
    virtual void mouseEntered(const Ref<NSEvent>& event);
    virtual void mouseExited(const Ref<NSEvent>& event);
    virtual void scrollWheel(const Ref<NSEvent>& event);
    virtual void keyDown(const Ref<NSEvent>& event);
    virtual void keyUp(const Ref<NSEvent>& event);
    virtual void flagsChanged(const Ref<NSEvent>& event);
    virtual void cursorUpdate(const Ref<NSEvent>& event);

    // Key equivalents: answer YES when handled. The default declines.
    virtual bool performKeyEquivalent(const Ref<NSEvent>& event);

    virtual bool acceptsFirstResponder() const { return false; }
    virtual bool becomeFirstResponder() { return true; }
    virtual bool resignFirstResponder() { return true; }

    // Sends the action if this responder has it, else tries the next one.
    virtual bool tryToPerform(const SEL& action, const Id& object);
    // tryToPerform:with:, then the delegate when it answers the action (the
    // window and the application end their chains so).
    bool tryToPerform(const SEL& action, const Id& object, const Id& delegate);
    // The responder in the chain from here that answers the action, or nil.
    Ref<NSResponder> responderForAction(const SEL& action);

    // Maps the key events through the standard key bindings and sends the
    // commands (doCommandBySelector) or the text (insertText).
    void interpretKeyEvents(const Ref<NSArray>& events);
    // Sends the command if this responder has it, else passes it down the
    // chain; an unhandled command beeps (except noop:).
    virtual void doCommandBySelector(const SEL& selector);
    // The default passes the text to the next responder.
    virtual void insertText(const Id& text);
    // The command the standard bindings give a key with those flags ("" for
    // typed text, "noop:" for keys bound to nothing).
    static SEL standardKeyBinding(unsigned short keyCode, NSUInteger modifierFlags, const Ref<NSString>& characters);
    // The editing shortcuts of the Linux convention (Ctrl+C copy:, Ctrl+X
    // cut:, Ctrl+V paste:, Ctrl+A selectAll:, Ctrl+Z undo:, Ctrl+Shift+Z
    // redo:), which the application sends to the first responder when no
    // menu item claims the key; "" for other keys.
    static SEL editingKeyAction(unsigned short keyCode, NSUInteger modifierFlags);

    // Menus are NSMenu objects (the menu layer); held as objects here.
    virtual Id menuForEvent(const Ref<NSEvent>& event);
    Id menu() const { return m_menu; }
    virtual void setMenu(const Id& menu) { m_menu = menu; }

    // Sent by the interface-file loader after every connection is made; also
    // registered as the action "awakeFromNib", which plain objects of a file
    // register themselves to receive it.
    virtual void awakeFromNib() { }
    static void describeClass(NSClassMembers<NSResponder>& m);

    // The responder's undo manager comes from its next responder.
    virtual Id undoManager();

    // noResponderFor: beeps for key-downs.
    virtual void noResponderFor(const SEL& eventSelector);

    ~NSResponder() override;

private:
    Weak<NSResponder> m_nextResponder;
    Id m_menu;
};
