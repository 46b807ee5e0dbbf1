#pragma once
// A Quartz event as an event tap hands it over: its type and where it
// happened. Locations are in the Quartz global space: origin at the top left
// of the main screen, y growing downwards.
#include <cstdint>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

class CGEvent;
using CGEventRef = Ref<CGEvent>;

enum CGEventType : uint32_t {
    kCGEventNull = 0,
    kCGEventLeftMouseDown = 1,
    kCGEventLeftMouseUp = 2,
    kCGEventRightMouseDown = 3,
    kCGEventRightMouseUp = 4,
    kCGEventMouseMoved = 5,
    kCGEventLeftMouseDragged = 6,
    kCGEventRightMouseDragged = 7,
    kCGEventKeyDown = 10,
    kCGEventKeyUp = 11,
    kCGEventFlagsChanged = 12,
    kCGEventScrollWheel = 22,
    kCGEventOtherMouseDown = 25,
    kCGEventOtherMouseUp = 26,
    kCGEventOtherMouseDragged = 27,
    kCGEventTapDisabledByTimeout = 0xFFFFFFFE,
    kCGEventTapDisabledByUserInput = 0xFFFFFFFF,
};

using CGEventMask = uint64_t;
constexpr CGEventMask CGEventMaskBit(CGEventType type) { return CGEventMask(1) << type; }

class CGEvent : public NSObject {
    NS_OBJECT(CGEvent, NSObject)
protected:
    CGEvent() = default;

public:
    static Ref<CGEvent> create(CGEventType type, CGPoint location);

    CGEventType type() const { return m_type; }
    CGPoint location() const { return m_location; }

private:
    CGEventType m_type = kCGEventNull;
    CGPoint m_location{};
};

CGEventType CGEventGetType(const CGEventRef& event);
CGPoint CGEventGetLocation(const CGEventRef& event);
