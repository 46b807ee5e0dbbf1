#pragma once
// An input event as a window server reports it, in plain values: AppKit makes
// the NSEvent. Also the platform's event type numbers, masks, modifier flags
// and function-key characters, which NSEvent and the backends share.
#include <optional>
#include <string>

#include "Foundation/NSGeometry.h"

using WSWindowID = NSInteger;  // 0: none

enum NSEventType : NSUInteger {
    NSEventTypeLeftMouseDown = 1,
    NSEventTypeLeftMouseUp = 2,
    NSEventTypeRightMouseDown = 3,
    NSEventTypeRightMouseUp = 4,
    NSEventTypeMouseMoved = 5,
    NSEventTypeLeftMouseDragged = 6,
    NSEventTypeRightMouseDragged = 7,
    NSEventTypeMouseEntered = 8,
    NSEventTypeMouseExited = 9,
    NSEventTypeKeyDown = 10,
    NSEventTypeKeyUp = 11,
    NSEventTypeFlagsChanged = 12,
    NSEventTypeAppKitDefined = 13,
    NSEventTypeSystemDefined = 14,
    NSEventTypeApplicationDefined = 15,
    NSEventTypePeriodic = 16,
    NSEventTypeCursorUpdate = 17,
    NSEventTypeScrollWheel = 22,
    NSEventTypeOtherMouseDown = 25,
    NSEventTypeOtherMouseUp = 26,
    NSEventTypeOtherMouseDragged = 27,
};
// The classic names.
inline constexpr NSEventType NSLeftMouseDown = NSEventTypeLeftMouseDown;
inline constexpr NSEventType NSLeftMouseUp = NSEventTypeLeftMouseUp;
inline constexpr NSEventType NSRightMouseDown = NSEventTypeRightMouseDown;
inline constexpr NSEventType NSRightMouseUp = NSEventTypeRightMouseUp;
inline constexpr NSEventType NSMouseMoved = NSEventTypeMouseMoved;
inline constexpr NSEventType NSLeftMouseDragged = NSEventTypeLeftMouseDragged;
inline constexpr NSEventType NSRightMouseDragged = NSEventTypeRightMouseDragged;
inline constexpr NSEventType NSMouseEntered = NSEventTypeMouseEntered;
inline constexpr NSEventType NSMouseExited = NSEventTypeMouseExited;
inline constexpr NSEventType NSKeyDown = NSEventTypeKeyDown;
inline constexpr NSEventType NSKeyUp = NSEventTypeKeyUp;
inline constexpr NSEventType NSFlagsChanged = NSEventTypeFlagsChanged;
inline constexpr NSEventType NSApplicationDefined = NSEventTypeApplicationDefined;
inline constexpr NSEventType NSScrollWheel = NSEventTypeScrollWheel;

using NSEventMask = uint64_t;
inline constexpr NSEventMask NSEventMaskFromType(NSEventType type) { return NSEventMask(1) << type; }
inline constexpr NSEventMask NSLeftMouseDownMask = 1 << 1;
inline constexpr NSEventMask NSLeftMouseUpMask = 1 << 2;
inline constexpr NSEventMask NSRightMouseDownMask = 1 << 3;
inline constexpr NSEventMask NSRightMouseUpMask = 1 << 4;
inline constexpr NSEventMask NSMouseMovedMask = 1 << 5;
inline constexpr NSEventMask NSLeftMouseDraggedMask = 1 << 6;
inline constexpr NSEventMask NSRightMouseDraggedMask = 1 << 7;
inline constexpr NSEventMask NSMouseEnteredMask = 1 << 8;
inline constexpr NSEventMask NSMouseExitedMask = 1 << 9;
inline constexpr NSEventMask NSKeyDownMask = 1 << 10;
inline constexpr NSEventMask NSKeyUpMask = 1 << 11;
inline constexpr NSEventMask NSFlagsChangedMask = 1 << 12;
inline constexpr NSEventMask NSApplicationDefinedMask = 1 << 15;
inline constexpr NSEventMask NSScrollWheelMask = 1 << 22;
inline constexpr NSEventMask NSOtherMouseDownMask = 1 << 25;
inline constexpr NSEventMask NSOtherMouseUpMask = 1 << 26;
inline constexpr NSEventMask NSOtherMouseDraggedMask = 1 << 27;
inline constexpr NSEventMask NSAnyEventMask = ~NSEventMask(0);

enum NSEventModifierFlags : NSUInteger {
    NSAlphaShiftKeyMask = 1 << 16,
    NSShiftKeyMask = 1 << 17,
    NSControlKeyMask = 1 << 18,
    NSAlternateKeyMask = 1 << 19,
    NSCommandKeyMask = 1 << 20,
    NSNumericPadKeyMask = 1 << 21,
    NSHelpKeyMask = 1 << 22,
    NSFunctionKeyMask = 1 << 23,
    NSDeviceIndependentModifierFlagsMask = 0xffff0000UL,
};

// Characters of function keys.
enum : char16_t {
    NSUpArrowFunctionKey = 0xF700,
    NSDownArrowFunctionKey = 0xF701,
    NSLeftArrowFunctionKey = 0xF702,
    NSRightArrowFunctionKey = 0xF703,
    NSF1FunctionKey = 0xF704,
    NSDeleteFunctionKey = 0xF728,
    NSHomeFunctionKey = 0xF729,
    NSEndFunctionKey = 0xF72B,
    NSPageUpFunctionKey = 0xF72C,
    NSPageDownFunctionKey = 0xF72D,
    NSHelpFunctionKey = 0xF746,
};

struct WSEvent {
    NSEventType type = NSEventTypeApplicationDefined;
    WSWindowID window = 0;   // 0: none, the location is global
    NSPoint location;        // in the window's base coordinates, or global
    NSPoint screenLocation;  // global
    NSUInteger modifierFlags = 0;
    NSTimeInterval timestamp = 0;  // Clock::systemUptime()
    NSInteger eventNumber = 0;
    // Mouse events
    NSInteger clickCount = 0;
    float pressure = 0;
    NSPoint delta;  // deltaY grows downwards
    NSInteger trackingNumber = 0;
    // Key events; no characters for a modifier change
    uint16_t keyCode = 0;
    bool isARepeat = false;
    std::optional<std::u16string> characters, charactersIgnoringModifiers;
    // A key press continuing a composition (a dead key): the text shown for
    // it until the composed characters come; empty drops it.
    std::optional<std::u16string> markedText;
};
