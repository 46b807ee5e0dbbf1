// Hot keys of the Carbon event manager over the window server's registry.
#include <map>
#include <memory>

#include "Carbon/CarbonEvents.h"
#include "Carbon/KeyState.h"
#include "Foundation/Clock.h"
#include "WindowServer/WindowServer.h"

struct OpaqueEventHotKeyRef {
    UInt32 keyCode;
    UInt32 modifiers;
    EventHotKeyID hotKeyID;
    EventTargetRef target;
    NSInteger registration;  // the window server's
};

namespace {

constexpr UInt32 kHotKeyModifiers = cmdKey | shiftKey | optionKey | controlKey;

// Main thread only, like the window server's hot-key calls. Keyed by serial
// number so that a release arriving for a hot key unregistered meanwhile
// finds nothing.
struct HotKeys {
    std::map<uint64_t, std::unique_ptr<OpaqueEventHotKeyRef>> live;
    uint64_t nextSerial = 1;
};

HotKeys& hotKeys()
{
    static auto* h = new HotKeys;
    return *h;
}

void fire(uint64_t serial, UInt32 kind)
{
    auto& h = hotKeys();
    auto it = h.live.find(serial);
    if (it == h.live.end()) return;
    const OpaqueEventHotKeyRef hotKey = *it->second;
    EventRef event = nullptr;
    CreateEvent(nullptr, kEventClassKeyboard, kind, Clock::systemUptime(), kEventAttributeNone, &event);
    SetEventParameter(event, kEventParamDirectObject, typeEventHotKeyID, sizeof hotKey.hotKeyID, &hotKey.hotKeyID);
    const UInt32 modifiers = GetCurrentEventKeyModifiers();
    SetEventParameter(event, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
    SendEventToEventTarget(event, hotKey.target);
    ReleaseEvent(event);
}

}

OSStatus RegisterEventHotKey(UInt32 hotKeyCode, UInt32 hotKeyModifiers, EventHotKeyID hotKeyID, EventTargetRef target,
                             OptionBits, EventHotKeyRef* outRef)
{
    if (!target || !outRef) return paramErr;
    const UInt32 modifiers = hotKeyModifiers & kHotKeyModifiers;
    auto& h = hotKeys();
    for (const auto& [serial, hk] : h.live)
        if (hk->keyCode == hotKeyCode && hk->modifiers == modifiers) return eventHotKeyExistsErr;
    const uint64_t serial = h.nextSerial++;
    const NSInteger registration =
        WindowServer::shared().registerHotKey(hotKeyCode, modifiers, [serial] { fire(serial, kEventHotKeyReleased); });
    if (!registration) return eventHotKeyExistsErr;
    auto hotKey = std::make_unique<OpaqueEventHotKeyRef>(
        OpaqueEventHotKeyRef{hotKeyCode, modifiers, hotKeyID, target, registration});
    *outRef = hotKey.get();
    h.live.emplace(serial, std::move(hotKey));
    return noErr;
}

OSStatus UnregisterEventHotKey(EventHotKeyRef hotKey)
{
    auto& h = hotKeys();
    for (auto it = h.live.begin(); it != h.live.end(); ++it) {
        if (it->second.get() != hotKey) continue;
        WindowServer::shared().unregisterHotKey(hotKey->registration);
        h.live.erase(it);
        return noErr;
    }
    return eventHotKeyInvalidErr;
}
