#pragma once
// Event taps: a program listens to the pointer wherever it moves, also over
// other programs' windows. The window server's global pointer monitor feeds
// the tap; each event reaches the callback on the run loop (and in the modes)
// the tap's source was added to. Only listen-only taps exist: other programs'
// input can be observed, never altered, and the monitor reports mouse moves
// and left-button drags only (right and other drags never arrive).
#include "Carbon/CFMachPort.h"
#include "Carbon/CGEvent.h"

enum CGEventTapLocation : uint32_t {
    kCGHIDEventTap = 0,
    kCGSessionEventTap = 1,
    kCGAnnotatedSessionEventTap = 2,
};

enum CGEventTapPlacement : uint32_t {
    kCGHeadInsertEventTap = 0,
    kCGTailAppendEventTap = 1,
};

enum CGEventTapOptions : uint32_t {
    kCGEventTapOptionDefault = 0,
    kCGEventTapOptionListenOnly = 1,
};

struct __CGEventTapProxy;
using CGEventTapProxy = __CGEventTapProxy*;
// The answer of a listen-only tap's callback is ignored.
using CGEventTapCallBack = CGEventRef (*)(CGEventTapProxy proxy, CGEventType type, CGEventRef event, void* userInfo);

class CGEventTap : public CFMachPort {
    NS_OBJECT(CGEventTap, CFMachPort)
protected:
    CGEventTap() = default;

public:
    ~CGEventTap() override;

    // Null for a tap that would alter events.
    static Ref<CGEventTap> create(CGEventTapLocation location, CGEventTapPlacement placement, CGEventTapOptions options,
                                  CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* userInfo);

    bool isEnabled() const { return m_enabled.load(); }
    void setEnabled(bool enabled) { m_enabled.store(enabled); }

private:
    void portWillInvalidate() override;
    void stopMonitoring();
    void pointerMoved(NSPoint location, NSUInteger eventType);

    CGEventMask m_mask = 0;
    CGEventTapCallBack m_callback = nullptr;
    void* m_userInfo = nullptr;
    std::atomic<bool> m_enabled{true};
    NSInteger m_monitor = 0;
};

CFMachPortRef CGEventTapCreate(CGEventTapLocation tap, CGEventTapPlacement place, CGEventTapOptions options,
                               CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* userInfo);
// Does nothing for a port that is not an event tap.
void CGEventTapEnable(const CFMachPortRef& tap, bool enable);
bool CGEventTapIsEnabled(const CFMachPortRef& tap);
