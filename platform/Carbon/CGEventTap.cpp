#include "Carbon/CGEventTap.h"

#include "Foundation/NSClass.h"
#include "WindowServer/WindowServer.h"

NS_CLASS_DEFINE(CGEventTap)

namespace {

// Quartz's global space has its origin at the top left of the main screen.
CGPoint quartzLocation(NSPoint location)
{
    const auto screens = WindowServer::shared().screens();
    if (screens.empty()) return location;
    const NSRect main = screens.front().frame;
    return {location.x, main.origin.y + main.size.height - location.y};
}

}

Ref<CGEventTap> CGEventTap::create(CGEventTapLocation, CGEventTapPlacement, CGEventTapOptions options,
                                   CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* userInfo)
{
    if (options != kCGEventTapOptionListenOnly || !callback) return nullptr;
    auto tap = alloc<CGEventTap>();
    tap->m_mask = eventsOfInterest;
    tap->m_callback = callback;
    tap->m_userInfo = userInfo;
    Weak<CGEventTap> weak(tap);
    tap->m_monitor = WindowServer::shared().addGlobalPointerMonitor([weak](NSPoint location, NSUInteger type) {
        if (auto t = weak.get()) t->pointerMoved(location, type);
    });
    return tap;
}

CGEventTap::~CGEventTap() { stopMonitoring(); }

void CGEventTap::stopMonitoring()
{
    if (!m_monitor) return;
    WindowServer::shared().removeGlobalPointerMonitor(std::exchange(m_monitor, 0));
}

void CGEventTap::portWillInvalidate() { stopMonitoring(); }

void CGEventTap::pointerMoved(NSPoint location, NSUInteger eventType)
{
    const auto type = static_cast<CGEventType>(eventType);
    if (type > kCGEventOtherMouseDragged || !(m_mask & CGEventMaskBit(type)) || !isEnabled()) return;
    Ref<CGEventTap> self(this);
    Ref<CGEvent> event = CGEvent::create(type, quartzLocation(location));
    deliver([self, type, event] {
        // Disabled between the move and the pass: the event is not seen.
        if (!self->isEnabled()) return;
        self->m_callback(reinterpret_cast<CGEventTapProxy>(self.get()), type, event, self->m_userInfo);
    });
}

CFMachPortRef CGEventTapCreate(CGEventTapLocation tap, CGEventTapPlacement place, CGEventTapOptions options,
                               CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* userInfo)
{
    return CGEventTap::create(tap, place, options, eventsOfInterest, callback, userInfo);
}

void CGEventTapEnable(const CFMachPortRef& tap, bool enable)
{
    if (tap && tap->isKindOfClass(CGEventTap::classRecord())) static_ref_cast<CGEventTap>(tap)->setEnabled(enable);
}

bool CGEventTapIsEnabled(const CFMachPortRef& tap)
{
    return tap && tap->isKindOfClass(CGEventTap::classRecord()) && static_ref_cast<CGEventTap>(tap)->isEnabled();
}
