#pragma once
// Events: mouse, keys, modifier changes, tracking (entered/exited) and
// application-defined events, with the platform's type numbers, masks and
// modifier flags (WSEvent.h) and Mac virtual key codes (USKeyboardLayout.h).
// Time stamps are Clock::systemUptime(); locations are in the window's
// base coordinates (screen coordinates when the event has no window).
#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"
#include "WindowServer/WSEvent.h"

class NSWindow;

class NSEvent : public NSObject {
    NS_OBJECT(NSEvent, NSObject)
protected:
    NSEvent() = default;

public:
    // mouseEventWithType:location:modifierFlags:timestamp:windowNumber:context:eventNumber:clickCount:pressure:
    static Ref<NSEvent> mouseEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                           NSTimeInterval timestamp, NSInteger windowNumber,
                                           const Ref<NSGraphicsContext>& context, NSInteger eventNumber,
                                           NSInteger clickCount, float pressure);
    // keyEventWithType:location:modifierFlags:timestamp:windowNumber:context:characters:charactersIgnoringModifiers:isARepeat:keyCode:
    static Ref<NSEvent> keyEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                         NSTimeInterval timestamp, NSInteger windowNumber,
                                         const Ref<NSGraphicsContext>& context, const Ref<NSString>& characters,
                                         const Ref<NSString>& charactersIgnoringModifiers, bool isARepeat,
                                         unsigned short keyCode);
    // enterExitEventWithType:location:modifierFlags:timestamp:windowNumber:context:eventNumber:trackingNumber:userData:
    static Ref<NSEvent> enterExitEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                               NSTimeInterval timestamp, NSInteger windowNumber,
                                               const Ref<NSGraphicsContext>& context, NSInteger eventNumber,
                                               NSInteger trackingNumber, void* userData);
    // otherEventWithType:location:modifierFlags:timestamp:windowNumber:context:subtype:data1:data2:
    static Ref<NSEvent> otherEventWithType(NSEventType type, NSPoint location, NSUInteger modifierFlags,
                                           NSTimeInterval timestamp, NSInteger windowNumber,
                                           const Ref<NSGraphicsContext>& context, short subtype, NSInteger data1,
                                           NSInteger data2);

    // The pointer in global screen coordinates, outside the event stream.
    static NSPoint mouseLocation();
    // The modifier keys held now (the last event's, headless).
    static NSUInteger modifierFlagsNow();
    static NSUInteger pressedMouseButtons();

    NSEventType type() const { return m_type; }
    NSPoint locationInWindow() const { return m_location; }
    NSUInteger modifierFlags() const { return m_modifierFlags; }
    NSTimeInterval timestamp() const { return m_timestamp; }
    NSInteger windowNumber() const { return m_windowNumber; }
    // The window of windowNumber, or nil.
    Ref<NSWindow> window() const;
    NSInteger eventNumber() const { return m_eventNumber; }
    NSInteger clickCount() const { return m_clickCount; }
    float pressure() const { return m_pressure; }
    NSInteger buttonNumber() const;
    // Differences of successive screen positions; deltaY grows downwards.
    CGFloat deltaX() const { return m_delta.x; }
    CGFloat deltaY() const { return m_delta.y; }
    CGFloat deltaZ() const { return 0; }
    CGFloat scrollingDeltaX() const { return m_delta.x; }
    CGFloat scrollingDeltaY() const { return m_delta.y; }
    // Raises NSInternalInconsistencyException for events other than key events.
    Ref<NSString> characters() const;
    Ref<NSString> charactersIgnoringModifiers() const;
    bool isARepeat() const { return m_isARepeat; }
    unsigned short keyCode() const { return m_keyCode; }
    NSInteger trackingNumber() const { return m_trackingNumber; }
    void* userData() const { return m_userData; }
    short subtype() const { return m_subtype; }
    NSInteger data1() const { return m_data1; }
    NSInteger data2() const { return m_data2; }

    bool isMouseEvent() const;
    bool isKeyEvent() const { return m_type == NSKeyDown || m_type == NSKeyUp; }

    // --- Set by backends while building an event ---
    void setDelta(CGFloat dx, CGFloat dy) { m_delta = {dx, dy}; }
    void setScreenLocation(NSPoint p) { m_screenLocation = p; }
    // The global position the event happened at (backends fill it).
    NSPoint screenLocation() const { return m_screenLocation; }
    void setLocationInWindow(NSPoint p) { m_location = p; }
    void setWindowNumber(NSInteger n) { m_windowNumber = n; }
    // A key press that continues an unfinished composition (a dead key)
    // carries the text the input method shows for it, marked in the text
    // until the composed characters come; an empty text drops it. Nil for
    // other keys.
    Ref<NSString> markedText() const { return m_markedText; }
    void setMarkedText(const Ref<NSString>& text) { m_markedText = text; }

    // The event a window server reported.
    static Ref<NSEvent> eventWithRecord(const WSEvent& record);

    Ref<NSString> description() const override;

private:
    NSEventType m_type = NSEventTypeApplicationDefined;
    NSPoint m_location;
    NSPoint m_screenLocation;
    NSUInteger m_modifierFlags = 0;
    NSTimeInterval m_timestamp = 0;
    NSInteger m_windowNumber = 0;
    NSInteger m_eventNumber = 0;
    NSInteger m_clickCount = 0;
    float m_pressure = 0;
    NSPoint m_delta;
    Ref<NSString> m_characters;
    Ref<NSString> m_charactersIgnoringModifiers;
    Ref<NSString> m_markedText;
    bool m_isARepeat = false;
    unsigned short m_keyCode = 0;
    NSInteger m_trackingNumber = 0;
    void* m_userData = nullptr;
    short m_subtype = 0;
    NSInteger m_data1 = 0, m_data2 = 0;
};

// Answers the mask for the event type (NSEventMaskFromType).
inline NSEventMask EventMaskFromEvent(const NSEvent& e) { return NSEventMaskFromType(e.type()); }
