#include "AppServices.h"

#include <vector>

#include "AppKit/NSAlertLog.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSWindow.h"
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

// --- Confirmation (to be replaced by NSAlert) ---

namespace {
class ConfirmationResponder : public NSObject {
    NS_OBJECT(ConfirmationResponder, NSObject)
public:
    void answer(const Id& sender)
    {
        auto button = dynamic_ref_cast<NSButton>(sender);
        NSApp->stopModalWithCode(button ? button->tag() : 1001);
    }
    static void describeClass(NSClassMembers<ConfirmationResponder>& m) { m.action("answer:", &ConfirmationResponder::answer); }
};
}  // namespace
NS_CLASS_DEFINE(ConfirmationResponder)

bool confirm(const Ref<NSString>& title, const Ref<NSString>& message, const Ref<NSString>& yes, const Ref<NSString>& no)
{
    auto responder = NSObject::make<ConfirmationResponder>();
    auto window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(0, 0, 420, 130), NSTitledWindowMask,
                                                                    NSBackingStoreBuffered, false);
    window->setReleasedWhenClosed(false);
    window->setTitle(title);
    auto content = window->contentView();
    auto titleField = NSTextField::labelWithString(title);
    titleField->setFrame(NSMakeRect(20, 90, 380, 20));
    content->addSubview(titleField);
    auto messageField = NSTextField::labelWithString(message);
    messageField->setFrame(NSMakeRect(20, 54, 380, 32));
    content->addSubview(messageField);
    auto makeButton = [&](const Ref<NSString>& text, NSInteger tag, CGFloat x) {
        auto button = dynamic_ref_cast<NSButton>(NSObject::alloc<NSButton>()->initWithFrame(NSMakeRect(x, 12, 100, 28)));
        button->setTitle(text);
        button->setTag(tag);
        button->setTarget(responder);
        button->setAction("answer:");
        content->addSubview(button);
        return button;
    };
    auto yesButton = makeButton(yes, 1000, 300);
    yesButton->setKeyEquivalent("\r"_ns);
    makeButton(no, 1001, 190);
    window->center();

    NSAlertRecord record;
    record.style = 2;
    record.messageText = title ? title->UTF8String() : "";
    record.informativeText = message ? message->UTF8String() : "";
    record.buttons = {yes ? yes->UTF8String() : "", no ? no->UTF8String() : ""};
    const size_t index = NSAlertLog::record(record);
    const NSModalResponse result = NSApp->runModalForWindow(window);
    NSAlertLog::setResult(index, result);
    window->orderOut(nullptr);
    return result == 1000;
}

}  // namespace AppServices
