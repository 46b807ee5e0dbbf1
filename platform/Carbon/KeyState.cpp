#include "Carbon/KeyState.h"

#include <bitset>
#include <cstring>
#include <mutex>

#include "WindowServer/WSEvent.h"
#include "WindowServer/WindowServer.h"

namespace {

struct State {
    std::mutex lock;
    std::bitset<128> down;
    KeyState::Query query;
};

State& state()
{
    static auto* s = new State;
    return *s;
}

struct ModifierPair {
    UInt32 carbon;
    NSUInteger cocoa;
};

constexpr ModifierPair kModifiers[] = {
    {cmdKey, NSCommandKeyMask},      {shiftKey, NSShiftKeyMask},     {alphaLock, NSAlphaShiftKeyMask},
    {optionKey, NSAlternateKeyMask}, {controlKey, NSControlKeyMask},
};

}

namespace KeyState {

void setQuery(Query query)
{
    std::lock_guard guard(state().lock);
    state().query = std::move(query);
}

void setKeyDown(uint16_t keyCode, bool down)
{
    if (keyCode >= 128) return;
    std::lock_guard guard(state().lock);
    state().down.set(keyCode, down);
}

void releaseAllKeys()
{
    std::lock_guard guard(state().lock);
    state().down.reset();
}

bool isKeyDown(uint16_t keyCode)
{
    if (keyCode >= 128) return false;
    Query query;
    {
        std::lock_guard guard(state().lock);
        query = state().query;
        if (!query && state().down.test(keyCode)) return true;
    }
    if (query) return query(keyCode);
    // No query installed: besides the marked keys, the window server knows
    // the keys it delivered.
    return WindowServer::hasShared() && WindowServer::shared().isKeyDown(keyCode);
}

}

void GetKeys(KeyMap keys)
{
    uint8_t bytes[16] = {};
    for (uint16_t code = 0; code < 128; ++code)
        if (KeyState::isKeyDown(code)) bytes[code >> 3] |= uint8_t(1u << (code & 7));
    std::memcpy(keys, bytes, sizeof bytes);
}

UInt32 CarbonModifiersFromCocoa(NSUInteger cocoaFlags)
{
    UInt32 carbon = 0;
    for (const auto& m : kModifiers)
        if (cocoaFlags & m.cocoa) carbon |= m.carbon;
    return carbon;
}

NSUInteger CocoaModifiersFromCarbon(UInt32 carbonModifiers)
{
    NSUInteger cocoa = 0;
    for (const auto& m : kModifiers)
        if (carbonModifiers & m.carbon) cocoa |= m.cocoa;
    return cocoa;
}

UInt32 GetCurrentEventKeyModifiers() { return CarbonModifiersFromCocoa(WindowServer::currentModifierFlags()); }
