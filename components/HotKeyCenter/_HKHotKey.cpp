#include "HotKeyCenter/_HKHotKey.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(_HKHotKey)

namespace {

// Main thread only, like every registration.
UInt32& counter()
{
    static UInt32 next = 1;
    return next;
}

}

UInt32 _HKHotKey::nextHotKeyID() { return counter(); }

_HKHotKey::~_HKHotKey()
{
    // A registration left behind would keep the combination from every
    // other program and fire into a dead object.
    if (m_hotKeyRef) unregisterHotKey();
}

Ref<_HKHotKey> _HKHotKey::hotKeyWithTarget(const Id& target, const SEL& action, const Id& object, uint16_t keyCode,
                                           NSUInteger modifierFlags)
{
    auto hotKey = alloc<_HKHotKey>();
    hotKey->m_target = target;
    hotKey->m_action = action;
    hotKey->m_object = object;
    hotKey->m_keyCode = keyCode;
    hotKey->m_modifierFlags = modifierFlags;
    return hotKey;
}

Ref<_HKHotKey> _HKHotKey::hotKeyWithTask(HKHotKeyTask task, uint16_t keyCode, NSUInteger modifierFlags)
{
    auto hotKey = alloc<_HKHotKey>();
    hotKey->m_task = std::move(task);
    hotKey->m_keyCode = keyCode;
    hotKey->m_modifierFlags = modifierFlags;
    return hotKey;
}

bool _HKHotKey::registerHotKey()
{
    EventHotKeyRef ref = nullptr;
    const EventHotKeyID identifier{kHKHotKeySignature, counter()};
    if (RegisterEventHotKey(m_keyCode, HKCarbonFlagsFromCocoa(m_modifierFlags), identifier, GetEventDispatcherTarget(),
                            0, &ref) != noErr)
        return false;
    m_hotKeyRef = ref;
    m_hotKeyID = counter()++;
    return true;
}

void _HKHotKey::unregisterHotKey()
{
    if (!m_hotKeyRef) return;
    UnregisterEventHotKey(m_hotKeyRef);
    m_hotKeyRef = nullptr;
}

void _HKHotKey::invokeWithEvent(const Ref<NSEvent>& event)
{
    if (m_target && !m_action.empty() && m_target->respondsToSelector(m_action)) {
        m_target->performSelector(m_action, event, m_object);
        return;
    }
    if (m_task) m_task(event);
}
