#include "Carbon/SymbolicHotKeys.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "Foundation/NSDictionary.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace {

constexpr OptionBits kDisablingModes = kHIHotKeyModeAllDisabled | kHIHotKeyModeAllDisabledExceptUniversalAccess;

struct Mode {
    uintptr_t token;
    OptionBits options;
};

struct State {
    std::mutex lock;
    std::vector<SymbolicHotKeys::Entry> entries;
    bool copyFails = false;
    std::vector<Mode> modes;
    uintptr_t nextToken = 1;
    std::function<void(bool)> handler;
};

State& state()
{
    static auto* s = new State;
    return *s;
}

bool suspendedLocked(const State& s)
{
    return std::any_of(s.modes.begin(), s.modes.end(), [](const Mode& m) { return m.options & kDisablingModes; });
}

// Runs a change of the mode stack and tells the handler, outside the lock,
// when the suspension began or ended.
template <class Change> void changeModes(Change change)
{
    auto& s = state();
    std::function<void(bool)> handler;
    bool now = false;
    {
        std::lock_guard guard(s.lock);
        const bool before = suspendedLocked(s);
        change(s);
        now = suspendedLocked(s);
        if (now != before) handler = s.handler;
    }
    if (handler) handler(now);
}

}

OSStatus CopySymbolicHotKeys(Ref<NSArray>* outHotKeyArray)
{
    if (!outHotKeyArray) return paramErr;
    auto& s = state();
    std::vector<SymbolicHotKeys::Entry> entries;
    {
        std::lock_guard guard(s.lock);
        if (s.copyFails) {
            *outHotKeyArray = nullptr;
            return eventInternalErr;
        }
        entries = s.entries;
    }
    std::vector<Id> list;
    for (const auto& e : entries) {
        list.push_back(NSDictionary::dictionaryWithEntries({
            {NSString::stringWithUTF8String(kHISymbolicHotKeyCode), NSNumber::numberWithShort(int16_t(e.keyCode))},
            {NSString::stringWithUTF8String(kHISymbolicHotKeyModifiers), NSNumber::numberWithInt(int32_t(e.modifiers))},
            {NSString::stringWithUTF8String(kHISymbolicHotKeyEnabled), NSNumber::numberWithBool(e.enabled)},
        }));
    }
    *outHotKeyArray = NSArray::arrayWithVector(std::move(list));
    return noErr;
}

void* PushSymbolicHotKeyMode(OptionBits options)
{
    uintptr_t token = 0;
    changeModes([&](State& s) {
        token = s.nextToken++;
        s.modes.push_back({token, options});
    });
    return reinterpret_cast<void*>(token);
}

void PopSymbolicHotKeyMode(void* token)
{
    changeModes([&](State& s) {
        std::erase_if(s.modes, [&](const Mode& m) { return m.token == reinterpret_cast<uintptr_t>(token); });
    });
}

namespace SymbolicHotKeys {

void setEntries(std::vector<Entry> entries)
{
    std::lock_guard guard(state().lock);
    state().entries = std::move(entries);
}

void setCopyFails(bool fails)
{
    std::lock_guard guard(state().lock);
    state().copyFails = fails;
}

size_t pushedModeCount()
{
    std::lock_guard guard(state().lock);
    return state().modes.size();
}

bool isSuspended()
{
    std::lock_guard guard(state().lock);
    return suspendedLocked(state());
}

void setSuspensionHandler(std::function<void(bool)> handler)
{
    std::lock_guard guard(state().lock);
    state().handler = std::move(handler);
}

}
