#pragma once
// Registers key combinations system-wide and calls their target or task when
// the user releases the combination in any program. Every centre shares one
// registry, so centres may be made for a single change and released.
// Main thread only.
#include <functional>

#include "Foundation/NSSet.h"
#include "HotKeyCenter/HKHotKey.h"

class _HKHotKey;
using HKHotKeyPredicate = std::function<bool(const _HKHotKey&)>;

class HKHotKeyCenter : public NSObject {
    NS_OBJECT(HKHotKeyCenter, NSObject)
protected:
    HKHotKeyCenter() = default;

public:
    // Makes the shared registry and installs the release handler.
    static void initialize();

    // Whether a hot key with the same combination is registered; flags are
    // compared as the system sees them (command, shift, option, control).
    bool hasRegisteredHotKeyWithKeyCode(uint16_t keyCode, NSUInteger modifierFlags) const;
    // NO for a combination already registered here or refused by the system.
    bool registerHotKeyWithKeyCode(uint16_t keyCode, NSUInteger modifierFlags, const Id& target, const SEL& action,
                                   const Id& object);
    bool registerHotKeyWithKeyCode(uint16_t keyCode, NSUInteger modifierFlags, HKHotKeyTask task);

    Ref<NSSet> hotKeysMatchingPredicate(const HKHotKeyPredicate& predicate) const;
    Ref<NSSet> registeredHotKeys() const;

    // Raises NSInvalidArgumentException "Invalid hotkey" for anything but a
    // registered hot key.
    void unregisterHotKey(const Ref<HKHotKey>& hotKey);
    void unregisterHotKeysWithTarget(const Id& target);
    void unregisterHotKeysWithTarget(const Id& target, const SEL& action);
    void unregisterHotKeyWithKeyCode(uint16_t keyCode, NSUInteger modifierFlags);
    void unregisterHotKeysMatchingPredicate(const HKHotKeyPredicate& predicate);

private:
    bool addHotKey(const Ref<_HKHotKey>& hotKey);
};
