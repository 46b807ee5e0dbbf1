#include "AppKit/NSEvent.h"

#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "WindowServer/WindowServer.h"

NS_CLASS_DEFINE(NSEvent)

namespace {
// The mouse buttons held as of the latest event the application received.
std::atomic<NSUInteger> g_pressedButtons{0};
}

Ref<NSEvent> NSEvent::mouseEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                         NSTimeInterval timestamp, NSInteger windowNumber,
                                         const Ref<NSGraphicsContext>& context, NSInteger eventNumber,
                                         NSInteger clickCount, float pressure)
{
    auto e = otherEventWithType(type, location, modifierFlags, timestamp, windowNumber, context, 0, 0, 0);
    e->m_eventNumber = eventNumber;
    e->m_clickCount = clickCount;
    e->m_pressure = pressure;
    e->m_screenLocation = location;
    if (auto w = NSWindow::windowWithNumber(windowNumber)) e->m_screenLocation = w->convertBaseToScreen(location);
    return e;
}

Ref<NSEvent> NSEvent::keyEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                       NSTimeInterval timestamp, NSInteger windowNumber,
                                       const Ref<NSGraphicsContext>& context, const Ref<NSString>& characters,
                                       const Ref<NSString>& charactersIgnoringModifiers, bool isARepeat,
                                       unsigned short keyCode)
{
    auto e = otherEventWithType(type, location, modifierFlags, timestamp, windowNumber, context, 0, 0, 0);
    e->m_characters = characters ? characters : NSString::string();
    e->m_charactersIgnoringModifiers = charactersIgnoringModifiers ? charactersIgnoringModifiers : NSString::string();
    e->m_isARepeat = isARepeat;
    e->m_keyCode = keyCode;
    return e;
}

Ref<NSEvent> NSEvent::enterExitEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                             NSTimeInterval timestamp, NSInteger windowNumber,
                                             const Ref<NSGraphicsContext>& context, NSInteger eventNumber,
                                             NSInteger trackingNumber, void* userData)
{
    auto e = otherEventWithType(type, location, modifierFlags, timestamp, windowNumber, context, 0, 0, 0);
    e->m_eventNumber = eventNumber;
    e->m_trackingNumber = trackingNumber;
    e->m_userData = userData;
    return e;
}

// The other factories start here: an "other" event without subtype or data
// has just the fields every event has.
Ref<NSEvent> NSEvent::otherEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                         NSTimeInterval timestamp, NSInteger windowNumber,
                                         const Ref<NSGraphicsContext>&, short subtype, NSInteger data1, NSInteger data2)
{
    auto e = alloc<NSEvent>();
    e->m_type = type;
    e->m_location = location;
    e->m_modifierFlags = modifierFlags;
    e->m_timestamp = timestamp;
    e->m_windowNumber = windowNumber;
    e->m_subtype = subtype;
    e->m_data1 = data1;
    e->m_data2 = data2;
    return e;
}

NSPoint NSEvent::mouseLocation() { return WindowServer::shared().pointerLocation(); }

NSUInteger NSEvent::modifierFlagsNow() { return WindowServer::currentModifierFlags(); }

NSUInteger NSEvent::pressedMouseButtons() { return g_pressedButtons.load(); }

void EventNoteDispatched(const NSEvent& e)
{
    WindowServer::noteModifierFlags(e.modifierFlags() & NSDeviceIndependentModifierFlagsMask);
    NSUInteger buttons = g_pressedButtons.load();
    switch (e.type()) {
    case NSEventTypeLeftMouseDown: buttons |= 1; break;
    case NSEventTypeLeftMouseUp: buttons &= ~NSUInteger(1); break;
    case NSEventTypeRightMouseDown: buttons |= 2; break;
    case NSEventTypeRightMouseUp: buttons &= ~NSUInteger(2); break;
    case NSEventTypeOtherMouseDown: buttons |= 4; break;
    case NSEventTypeOtherMouseUp: buttons &= ~NSUInteger(4); break;
    default: break;
    }
    g_pressedButtons.store(buttons);
}

Ref<NSWindow> NSEvent::window() const { return NSWindow::windowWithNumber(m_windowNumber); }

NSInteger NSEvent::buttonNumber() const
{
    switch (m_type) {
    case NSEventTypeRightMouseDown:
    case NSEventTypeRightMouseUp:
    case NSEventTypeRightMouseDragged: return 1;
    case NSEventTypeOtherMouseDown:
    case NSEventTypeOtherMouseUp:
    case NSEventTypeOtherMouseDragged: return 2;
    default: return 0;
    }
}

bool NSEvent::isMouseEvent() const
{
    switch (m_type) {
    case NSEventTypeLeftMouseDown:
    case NSEventTypeLeftMouseUp:
    case NSEventTypeRightMouseDown:
    case NSEventTypeRightMouseUp:
    case NSEventTypeMouseMoved:
    case NSEventTypeLeftMouseDragged:
    case NSEventTypeRightMouseDragged:
    case NSEventTypeOtherMouseDown:
    case NSEventTypeOtherMouseUp:
    case NSEventTypeOtherMouseDragged:
    case NSEventTypeScrollWheel: return true;
    default: return false;
    }
}

Ref<NSString> NSEvent::characters() const
{
    if (m_type != NSKeyDown && m_type != NSKeyUp)
        NSException::raise(NSInternalInconsistencyException, "characters sent to a non-key event");
    return m_characters;
}

Ref<NSString> NSEvent::charactersIgnoringModifiers() const
{
    if (m_type != NSKeyDown && m_type != NSKeyUp)
        NSException::raise(NSInternalInconsistencyException, "charactersIgnoringModifiers sent to a non-key event");
    return m_charactersIgnoringModifiers;
}

Ref<NSString> NSEvent::description() const
{
    return NSString::stringWithFormat("NSEvent: type=%d loc=(%g,%g) flags=0x%x win=%d clicks=%d",
                                      static_cast<int>(m_type), m_location.x, m_location.y,
                                      static_cast<unsigned>(m_modifierFlags), static_cast<int>(m_windowNumber),
                                      static_cast<int>(m_clickCount));
}

Ref<NSEvent> NSEvent::eventWithRecord(const WSEvent& r)
{
    auto text = [](const std::optional<std::u16string>& t) { return t ? NSString::stringWithUTF16(*t) : nullptr; };
    Ref<NSEvent> e;
    switch (r.type) {
    case NSEventTypeMouseEntered:
    case NSEventTypeMouseExited:
        e = enterExitEventWithType(r.type, r.location, r.modifierFlags, r.timestamp, r.window, nullptr, r.eventNumber,
                                   r.trackingNumber, nullptr);
        break;
    case NSEventTypeKeyDown:
    case NSEventTypeKeyUp:
    case NSEventTypeFlagsChanged:
        e = keyEventWithType(r.type, r.location, r.modifierFlags, r.timestamp, r.window, nullptr, text(r.characters),
                             text(r.charactersIgnoringModifiers), r.isARepeat, r.keyCode);
        if (r.markedText) e->setMarkedText(text(r.markedText));
        break;
    default:
        e = mouseEventWithType(r.type, r.location, r.modifierFlags, r.timestamp, r.window, nullptr, r.eventNumber,
                               r.clickCount, r.pressure);
        break;
    }
    e->setScreenLocation(r.screenLocation);
    e->setDelta(r.delta.x, r.delta.y);
    return e;
}
