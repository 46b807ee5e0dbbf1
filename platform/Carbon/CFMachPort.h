#pragma once
// A port that messages arrive on (here: an event tap's events). Its run-loop
// source hands each message to the loops it was added to; a message that
// arrives while the source is in no loop is dropped.
#include <mutex>

#include "Carbon/CFRunLoopSource.h"

class CFMachPort;
using CFMachPortRef = Ref<CFMachPort>;
using CFAllocatorRef = void*;
inline constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;

class CFMachPort : public NSObject {
    NS_OBJECT(CFMachPort, NSObject)
protected:
    CFMachPort() = default;

public:
    // The port's one source: asking again while it lives answers the same.
    // The source keeps the port alive.
    CFRunLoopSourceRef runLoopSource(CFIndex order);
    bool isValid() const;
    // Invalidates the source too; no message arrives afterwards.
    void invalidate();

protected:
    // Hands one message to the loops serving the port.
    void deliver(const std::function<void()>& message);
    // Called once by invalidate, before the source goes.
    virtual void portWillInvalidate() { }

private:
    mutable std::mutex m_lock;
    Weak<CFRunLoopSource> m_source;
    bool m_valid = true;
};

CFRunLoopSourceRef CFMachPortCreateRunLoopSource(CFAllocatorRef allocator, const CFMachPortRef& port, CFIndex order);
void CFMachPortInvalidate(const CFMachPortRef& port);
bool CFMachPortIsValid(const CFMachPortRef& port);
