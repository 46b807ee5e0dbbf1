#pragma once
// A hot key registered with the system: holds its binding (target, action
// and object, or a task), its combination and the system's registration.
// Clients see it as an HKHotKey.
#include "Carbon/CarbonEvents.h"
#include "HotKeyCenter/HKHotKey.h"

// The signature of every identifier handed to the system.
inline constexpr OSType kHKHotKeySignature = OSTypeFromChars("htk1");

class _HKHotKey : public HKHotKey {
    NS_OBJECT(_HKHotKey, HKHotKey)
protected:
    _HKHotKey() = default;

public:
    ~_HKHotKey() override;

    static Ref<_HKHotKey> hotKeyWithTarget(const Id& target, const SEL& action, const Id& object, uint16_t keyCode,
                                           NSUInteger modifierFlags);
    static Ref<_HKHotKey> hotKeyWithTask(HKHotKeyTask task, uint16_t keyCode, NSUInteger modifierFlags);

    const NSClass& classObject() const override { return HKHotKey::classRecord(); }

    Id target() const override { return m_target; }
    SEL action() const override { return m_action; }
    Id object() const override { return m_object; }
    HKHotKeyTask task() const override { return m_task; }
    uint16_t keyCode() const override { return m_keyCode; }
    NSUInteger modifierFlags() const override { return m_modifierFlags; }
    UInt32 hotKeyID() const { return m_hotKeyID; }
    EventHotKeyRef hotKeyRef() const { return m_hotKeyRef; }
    const SEL& actionString() const { return m_action; }

    // Registers the combination system-wide under the next identifier
    // number; a refused registration leaves the number unused.
    bool registerHotKey();
    void unregisterHotKey();
    // Sends the action to the target with the event and the object when the
    // target takes it, else runs the task.
    void invokeWithEvent(const Ref<NSEvent>& event);

    // The number the next successful registration gets (1 at first).
    static UInt32 nextHotKeyID();

private:
    Id m_target;
    SEL m_action;
    Id m_object;
    HKHotKeyTask m_task;
    uint16_t m_keyCode = 0;
    NSUInteger m_modifierFlags = 0;
    UInt32 m_hotKeyID = 0;
    EventHotKeyRef m_hotKeyRef = nullptr;
};
