#pragma once
// The Carbon event manager, as far as system-wide hot keys need it: events
// with typed parameters, the application and dispatcher targets, handlers
// installed on them, and hot keys registered with the window server. A hot
// key's press and release arrive as events of class kEventClassKeyboard whose
// direct object is the EventHotKeyID given at registration. Handlers run on
// the main thread, the latest installed first; one that answers anything but
// eventNotHandledErr consumes the event, otherwise it travels on to the next
// handler and then from the dispatcher target to the application target.
#include "Carbon/CarbonTypes.h"

struct OpaqueEventRef;
struct OpaqueEventTargetRef;
struct OpaqueEventHandlerRef;
struct OpaqueEventHandlerCallRef;
struct OpaqueEventHotKeyRef;
using EventRef = OpaqueEventRef*;
using EventTargetRef = OpaqueEventTargetRef*;
using EventHandlerRef = OpaqueEventHandlerRef*;
// Handlers get null: there is nothing to call next through it.
using EventHandlerCallRef = OpaqueEventHandlerCallRef*;
using EventHotKeyRef = OpaqueEventHotKeyRef*;
using EventTime = double;  // seconds since start-up (Clock::systemUptime)
using EventHandlerProcPtr = OSStatus (*)(EventHandlerCallRef handlerCall, EventRef event, void* userData);
using EventHandlerUPP = EventHandlerProcPtr;

struct EventTypeSpec {
    OSType eventClass;
    UInt32 eventKind;
};

struct EventHotKeyID {
    OSType signature;
    UInt32 id;
};

inline constexpr OSType kEventClassKeyboard = OSTypeFromChars("keyb");
enum : UInt32 {
    kEventHotKeyPressed = 5,
    kEventHotKeyReleased = 6,
};
inline constexpr EventParamName kEventParamDirectObject = OSTypeFromChars("----");
inline constexpr EventParamName kEventParamKeyModifiers = OSTypeFromChars("kmod");
inline constexpr EventParamType typeEventHotKeyID = OSTypeFromChars("hkid");
inline constexpr EventParamType typeUInt32 = OSTypeFromChars("magn");
enum : OptionBits {
    kEventAttributeNone = 0,
};

inline EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr proc) { return proc; }
inline void DisposeEventHandlerUPP(EventHandlerUPP) { }

EventTargetRef GetApplicationEventTarget();
EventTargetRef GetEventDispatcherTarget();

OSStatus InstallEventHandler(EventTargetRef target, EventHandlerUPP handler, ItemCount numTypes,
                             const EventTypeSpec* list, void* userData, EventHandlerRef* outRef);
OSStatus RemoveEventHandler(EventHandlerRef handler);

// Events (made with a reference count of 1).
OSStatus CreateEvent(void* allocator, UInt32 eventClass, UInt32 kind, EventTime when, OptionBits flags,
                     EventRef* outEvent);
EventRef RetainEvent(EventRef event);
void ReleaseEvent(EventRef event);
UInt32 GetEventClass(EventRef event);
UInt32 GetEventKind(EventRef event);
EventTime GetEventTime(EventRef event);
OSStatus SetEventParameter(EventRef event, EventParamName name, EventParamType type, ByteCount size, const void* data);
// Copies the parameter when it has the desired type (or typeWildCard) and fits
// the buffer; outActualType, outActualSize and outData may be null.
OSStatus GetEventParameter(EventRef event, EventParamName name, EventParamType desiredType,
                           EventParamType* outActualType, ByteCount bufferSize, ByteCount* outActualSize,
                           void* outData);
inline constexpr EventParamType typeWildCard = OSTypeFromChars("****");
OSStatus SendEventToEventTarget(EventRef event, EventTargetRef target);

// Hot keys, registered and unregistered on the main thread. Only the command,
// shift, option and control bits of the modifiers count. Fails with eventHotKeyExistsErr when this program already
// holds the combination or another client does.
OSStatus RegisterEventHotKey(UInt32 hotKeyCode, UInt32 hotKeyModifiers, EventHotKeyID hotKeyID, EventTargetRef target,
                             OptionBits options, EventHotKeyRef* outRef);
// eventHotKeyInvalidErr for a reference that is not registered.
OSStatus UnregisterEventHotKey(EventHotKeyRef hotKey);
