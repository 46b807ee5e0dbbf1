#include "Carbon/CFMachPort.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CFMachPort)

namespace {

// The source of a port, which keeps its port alive as the platform's does.
class CFMachPortSource : public CFRunLoopSource {
    NS_OBJECT(CFMachPortSource, CFRunLoopSource)
protected:
    CFMachPortSource() = default;

public:
    Ref<CFMachPort> port;
};

}

NS_CLASS_DEFINE(CFMachPortSource)

CFRunLoopSourceRef CFMachPort::runLoopSource(CFIndex order)
{
    std::lock_guard guard(m_lock);
    if (!m_valid) return nullptr;
    if (auto existing = m_source.get()) return existing;
    auto source = alloc<CFMachPortSource>();
    source->port = Ref<CFMachPort>(this);
    (void)order;  // one source per port, so the order has nothing to sort
    m_source = Weak<CFRunLoopSource>(source);
    return source;
}

bool CFMachPort::isValid() const
{
    std::lock_guard guard(m_lock);
    return m_valid;
}

void CFMachPort::invalidate()
{
    Ref<CFMachPort> keep(this);
    Ref<CFRunLoopSource> source;
    {
        std::lock_guard guard(m_lock);
        if (!m_valid) return;
        m_valid = false;
        source = m_source.get();
    }
    portWillInvalidate();
    if (!source) return;
    source->invalidate();
    // Break the source's hold on the port.
    static_ref_cast<CFMachPortSource>(source)->port = nullptr;
}

void CFMachPort::deliver(const std::function<void()>& message)
{
    Ref<CFRunLoopSource> source;
    {
        std::lock_guard guard(m_lock);
        if (!m_valid) return;
        source = m_source.get();
    }
    if (source) source->signal(message);
}

CFRunLoopSourceRef CFMachPortCreateRunLoopSource(CFAllocatorRef, const CFMachPortRef& port, CFIndex order)
{
    return port ? port->runLoopSource(order) : nullptr;
}

void CFMachPortInvalidate(const CFMachPortRef& port)
{
    if (port) port->invalidate();
}

bool CFMachPortIsValid(const CFMachPortRef& port) { return port && port->isValid(); }
