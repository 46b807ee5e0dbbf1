#include "Foundation/NSClass.h"
#include "AppServices.h"

#include <vector>

#include "AppKit/NSAlert.h"
#include "Carbon/CarbonEvents.h"
#include "Foundation/NSLog.h"

namespace AppServices {

// TODO(crash reporter): call ZAKCrashReporter's checkForCrash once it exists.
void checkForCrash() {}

// TODO(feedback dialog): call ZAKFeedbackProvider's showFeedbackProviderDialog once it exists.
void showFeedbackProviderDialog() {}

// --- Hot keys (to be replaced by HKHotKeyCenter) ---

namespace {
struct Registration {
    EventHotKeyRef ref = nullptr;
    UInt32 id = 0;
    Weak<NSObject> target;
    SEL action;
};

std::vector<Registration>& registrations()
{
    static std::vector<Registration> list;
    return list;
}

UInt32 g_nextID = 1;
EventHandlerRef g_handler = nullptr;

OSStatus hotKeyHandler(EventHandlerCallRef, EventRef event, void*)
{
    EventHotKeyID hotKeyID{};
    if (GetEventParameter(event, kEventParamDirectObject, typeEventHotKeyID, nullptr, sizeof hotKeyID, nullptr,
                          &hotKeyID) != noErr)
        return eventNotHandledErr;
    // The action runs on release, as the platform's hot keys do.
    if (GetEventKind(event) != kEventHotKeyReleased) return noErr;
    for (const auto& r : std::vector(registrations())) {
        if (r.id != hotKeyID.id) continue;
        if (auto target = r.target.get()) target->performSelector(r.action, nullptr);
        return noErr;
    }
    return eventNotHandledErr;
}

void installHandler()
{
    if (g_handler) return;
    const EventTypeSpec types[] = {{kEventClassKeyboard, kEventHotKeyPressed}, {kEventClassKeyboard, kEventHotKeyReleased}};
    InstallEventHandler(GetApplicationEventTarget(), NewEventHandlerUPP(hotKeyHandler), 2, types, nullptr, &g_handler);
}
}  // namespace

uint32_t carbonModifiers(uint64_t flags)
{
    uint32_t m = 0;
    if (flags & 0x100000) m |= 0x100;
    if (flags & 0x20000) m |= 0x200;
    if (flags & 0x80000) m |= 0x800;
    if (flags & 0x40000) m |= 0x1000;
    return m;
}

bool registerHotKey(uint16_t keyCode, uint64_t modifierFlags, const Id& target, const SEL& action)
{
    installHandler();
    const uint32_t modifiers = carbonModifiers(modifierFlags);
    Registration r;
    r.id = g_nextID++;
    r.target = target;
    r.action = action;
    const OSStatus status =
        RegisterEventHotKey(keyCode, modifiers, EventHotKeyID{OSTypeFromChars("PlHK"), r.id}, GetApplicationEventTarget(), 0, &r.ref);
    if (status != noErr || !r.ref) return false;
    registrations().push_back(r);
    return true;
}

void unregisterHotKeysWithTarget(const Id& target)
{
    auto& list = registrations();
    for (auto it = list.begin(); it != list.end();) {
        if (it->target.get().get() == target.get() || !it->target.get()) {
            UnregisterEventHotKey(it->ref);
            it = list.erase(it);
        } else {
            ++it;
        }
    }
}

void resetHotKeys()
{
    for (auto& r : registrations()) UnregisterEventHotKey(r.ref);
    registrations().clear();
    if (g_handler) RemoveEventHandler(g_handler);
    g_handler = nullptr;
}

// --- Confirmation ---

bool confirm(const Ref<NSString>& title, const Ref<NSString>& message, const Ref<NSString>& yes, const Ref<NSString>& no)
{
    auto alert = NSAlert::alertWithMessageText(title, yes, no, nullptr, message);
    return alert->runModal() == NSAlertDefaultReturn;
}

}  // namespace AppServices
