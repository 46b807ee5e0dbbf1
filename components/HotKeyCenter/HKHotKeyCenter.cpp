#include "HotKeyCenter/HKHotKeyCenter.h"

#include "AppKit/NSEventCarbonExt.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "HotKeyCenter/_HKHotKey.h"

NS_CLASS_DEFINE(HKHotKeyCenter)

namespace {

// Process-wide, from the first use of the class to the end of the process.
Ref<NSMutableSet>& sharedHotKeys()
{
    static auto* hotKeys = new Ref<NSMutableSet>;
    return *hotKeys;
}

bool sameCombination(const _HKHotKey& hotKey, uint16_t keyCode, NSUInteger modifierFlags)
{
    return hotKey.keyCode() == keyCode &&
           HKCarbonFlagsFromCocoa(hotKey.modifierFlags()) == HKCarbonFlagsFromCocoa(modifierFlags);
}

Ref<NSSet> matching(const HKHotKeyPredicate& predicate)
{
    auto result = NSMutableSet::set();
    for (const Id& member : sharedHotKeys()->snapshot()) {
        const auto* hotKey = static_cast<const _HKHotKey*>(member.get());
        if (predicate(*hotKey)) result->addObject(member);
    }
    return result;
}

OSStatus hotKeyReleasedHandler(EventHandlerCallRef, EventRef event, void*)
{
    NSAutoreleasePool pool;
    EventHotKeyID identifier{};
    if (GetEventParameter(event, kEventParamDirectObject, typeEventHotKeyID, nullptr, sizeof identifier, nullptr,
                          &identifier) != noErr)
        return noErr;
    const Ref<NSSet> found = matching([&](const _HKHotKey& hotKey) { return hotKey.hotKeyID() == identifier.id; });
    if (found->count() > 1) NSLog("ERROR!");
    const auto hotKey = static_ref_cast<_HKHotKey>(found->anyObject());
    if (!hotKey) return noErr;
    const Ref<NSEvent> carbonEvent = NSEventExt::eventWithEventRef(event);
    const Ref<NSEvent> keyUp = NSEvent::keyEventWithType(
        NSKeyUp, carbonEvent->locationInWindow(), carbonEvent->modifierFlags(), carbonEvent->timestamp(), -1, nullptr,
        NSString::string(), NSString::string(), false, hotKey->keyCode());
    hotKey->invokeWithEvent(keyUp);
    return noErr;
}

}

void HKHotKeyCenter::initialize()
{
    if (sharedHotKeys()) return;
    sharedHotKeys() = NSMutableSet::set();
    const EventTypeSpec type{kEventClassKeyboard, kEventHotKeyReleased};
    InstallEventHandler(GetApplicationEventTarget(), NewEventHandlerUPP(hotKeyReleasedHandler), 1, &type, nullptr,
                        nullptr);
}

bool HKHotKeyCenter::hasRegisteredHotKeyWithKeyCode(uint16_t keyCode, NSUInteger modifierFlags) const
{
    return hotKeysMatchingPredicate([&](const _HKHotKey& hotKey) {
               return sameCombination(hotKey, keyCode, modifierFlags);
           })->count() > 0;
}

bool HKHotKeyCenter::addHotKey(const Ref<_HKHotKey>& hotKey)
{
    if (!hotKey->registerHotKey()) return false;
    sharedHotKeys()->addObject(hotKey);
    return true;
}

bool HKHotKeyCenter::registerHotKeyWithKeyCode(uint16_t keyCode, NSUInteger modifierFlags, const Id& target,
                                               const SEL& action, const Id& object)
{
    if (hasRegisteredHotKeyWithKeyCode(keyCode, modifierFlags)) return false;
    return addHotKey(_HKHotKey::hotKeyWithTarget(target, action, object, keyCode, modifierFlags));
}

bool HKHotKeyCenter::registerHotKeyWithKeyCode(uint16_t keyCode, NSUInteger modifierFlags, HKHotKeyTask task)
{
    if (hasRegisteredHotKeyWithKeyCode(keyCode, modifierFlags)) return false;
    return addHotKey(_HKHotKey::hotKeyWithTask(std::move(task), keyCode, modifierFlags));
}

Ref<NSSet> HKHotKeyCenter::hotKeysMatchingPredicate(const HKHotKeyPredicate& predicate) const
{
    return matching(predicate);
}

Ref<NSSet> HKHotKeyCenter::registeredHotKeys() const
{
    return matching([](const _HKHotKey& hotKey) { return hotKey.hotKeyRef() != nullptr; });
}

void HKHotKeyCenter::unregisterHotKey(const Ref<HKHotKey>& hotKey)
{
    const auto registered = dynamic_ref_cast<_HKHotKey>(hotKey);
    if (!registered || &registered->realClass() != &_HKHotKey::classRecord())
        NSException::raise(NSInvalidArgumentException, "Invalid hotkey");
    // Keep it alive past its removal from the set.
    const Ref<_HKHotKey> keep = registered;
    sharedHotKeys()->removeObject(keep);
    keep->unregisterHotKey();
}

void HKHotKeyCenter::unregisterHotKeysWithTarget(const Id& target)
{
    unregisterHotKeysMatchingPredicate([&](const _HKHotKey& hotKey) { return hotKey.target() == target; });
}

void HKHotKeyCenter::unregisterHotKeysWithTarget(const Id& target, const SEL& action)
{
    unregisterHotKeysMatchingPredicate(
        [&](const _HKHotKey& hotKey) { return hotKey.target() == target && hotKey.actionString() == action; });
}

void HKHotKeyCenter::unregisterHotKeyWithKeyCode(uint16_t keyCode, NSUInteger modifierFlags)
{
    unregisterHotKeysMatchingPredicate(
        [&](const _HKHotKey& hotKey) { return sameCombination(hotKey, keyCode, modifierFlags); });
}

void HKHotKeyCenter::unregisterHotKeysMatchingPredicate(const HKHotKeyPredicate& predicate)
{
    NSAutoreleasePool pool;
    const Ref<NSSet> found = matching(predicate);
    for (const Id& member : found->snapshot()) sharedHotKeys()->removeObject(member);
    for (const Id& member : found->snapshot()) static_cast<_HKHotKey*>(member.get())->unregisterHotKey();
}
