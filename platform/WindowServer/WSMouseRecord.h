#pragma once
// The mouse record both backends post: the window's frame origin turns the
// global point into the window's base coordinates.
#include "WindowServer/WSEvent.h"

inline WSEvent WSMouseRecord(NSEventType type, WSWindowID window, NSPoint windowOrigin, NSPoint global,
                             NSUInteger flags, NSInteger clickCount, NSPoint delta, NSInteger trackingNumber)
{
    WSEvent e;
    e.type = type;
    e.window = window;
    e.location = {global.x - windowOrigin.x, global.y - windowOrigin.y};
    e.screenLocation = global;
    e.modifierFlags = flags;
    e.clickCount = clickCount;
    // Full pressure on a press and while the left button drags.
    const bool down = type == NSEventTypeLeftMouseDown || type == NSEventTypeRightMouseDown ||
                      type == NSEventTypeOtherMouseDown || type == NSEventTypeLeftMouseDragged;
    e.pressure = down ? 1.0f : 0.0f;
    e.delta = delta;
    e.trackingNumber = trackingNumber;
    return e;
}
