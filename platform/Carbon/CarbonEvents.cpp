#include "Carbon/CarbonEvents.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

struct OpaqueEventRef {
    struct Parameter {
        EventParamType type;
        std::vector<uint8_t> bytes;
    };
    std::atomic<int> references{1};
    UInt32 eventClass = 0;
    UInt32 kind = 0;
    EventTime time = 0;
    std::map<EventParamName, Parameter> parameters;
};

struct OpaqueEventTargetRef {
    EventTargetRef next = nullptr;  // where an unhandled event goes on
};

struct OpaqueEventHandlerRef {
    EventTargetRef target;
    EventHandlerUPP proc;
    std::vector<EventTypeSpec> types;
    void* userData;
};

namespace {

struct Handlers {
    std::mutex lock;
    // In installation order.
    std::vector<std::shared_ptr<OpaqueEventHandlerRef>> list;
};

Handlers& handlers()
{
    static auto* h = new Handlers;
    return *h;
}

bool handles(const OpaqueEventHandlerRef& h, UInt32 eventClass, UInt32 kind)
{
    return std::any_of(h.types.begin(), h.types.end(),
                       [&](const EventTypeSpec& s) { return s.eventClass == eventClass && s.eventKind == kind; });
}

}

EventTargetRef GetApplicationEventTarget()
{
    static OpaqueEventTargetRef application;
    return &application;
}

EventTargetRef GetEventDispatcherTarget()
{
    static OpaqueEventTargetRef dispatcher{GetApplicationEventTarget()};
    return &dispatcher;
}

OSStatus InstallEventHandler(EventTargetRef target, EventHandlerUPP handler, ItemCount numTypes,
                             const EventTypeSpec* list, void* userData, EventHandlerRef* outRef)
{
    if (!target || !handler || (numTypes && !list)) return paramErr;
    auto installed = std::make_shared<OpaqueEventHandlerRef>(
        OpaqueEventHandlerRef{target, handler, std::vector<EventTypeSpec>(list, list + numTypes), userData});
    {
        auto& h = handlers();
        std::lock_guard guard(h.lock);
        h.list.push_back(installed);
    }
    if (outRef) *outRef = installed.get();
    return noErr;
}

OSStatus RemoveEventHandler(EventHandlerRef handler)
{
    auto& h = handlers();
    std::lock_guard guard(h.lock);
    auto it = std::find_if(h.list.begin(), h.list.end(), [&](const auto& p) { return p.get() == handler; });
    if (it == h.list.end()) return paramErr;
    h.list.erase(it);
    return noErr;
}

OSStatus CreateEvent(void*, UInt32 eventClass, UInt32 kind, EventTime when, OptionBits, EventRef* outEvent)
{
    if (!outEvent) return paramErr;
    auto* event = new OpaqueEventRef;
    event->eventClass = eventClass;
    event->kind = kind;
    event->time = when;
    *outEvent = event;
    return noErr;
}

EventRef RetainEvent(EventRef event)
{
    if (event) event->references.fetch_add(1);
    return event;
}

void ReleaseEvent(EventRef event)
{
    if (event && event->references.fetch_sub(1) == 1) delete event;
}

UInt32 GetEventClass(EventRef event) { return event ? event->eventClass : 0; }

UInt32 GetEventKind(EventRef event) { return event ? event->kind : 0; }

EventTime GetEventTime(EventRef event) { return event ? event->time : 0; }

OSStatus SetEventParameter(EventRef event, EventParamName name, EventParamType type, ByteCount size, const void* data)
{
    if (!event || (size && !data)) return paramErr;
    const auto* bytes = static_cast<const uint8_t*>(data);
    event->parameters[name] = {type, std::vector<uint8_t>(bytes, bytes + size)};
    return noErr;
}

OSStatus GetEventParameter(EventRef event, EventParamName name, EventParamType desiredType,
                           EventParamType* outActualType, ByteCount bufferSize, ByteCount* outActualSize, void* outData)
{
    if (!event) return paramErr;
    auto it = event->parameters.find(name);
    if (it == event->parameters.end()) return eventParameterNotFoundErr;
    const auto& p = it->second;
    if (desiredType != typeWildCard && desiredType != p.type) return errAECoercionFail;
    if (outActualType) *outActualType = p.type;
    if (outActualSize) *outActualSize = p.bytes.size();
    if (!outData) return noErr;
    // A short buffer would hand back a torn value: refuse it.
    if (bufferSize < p.bytes.size()) return paramErr;
    std::memcpy(outData, p.bytes.data(), p.bytes.size());
    return noErr;
}

OSStatus SendEventToEventTarget(EventRef event, EventTargetRef target)
{
    if (!event || !target) return paramErr;
    std::vector<std::shared_ptr<OpaqueEventHandlerRef>> snapshot;
    {
        auto& h = handlers();
        std::lock_guard guard(h.lock);
        snapshot = h.list;
    }
    for (EventTargetRef t = target; t; t = t->next) {
        for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
            const auto& handler = **it;
            if (handler.target != t || !handles(handler, event->eventClass, event->kind)) continue;
            const OSStatus status = handler.proc(nullptr, event, handler.userData);
            if (status != eventNotHandledErr) return status;
        }
    }
    return eventNotHandledErr;
}
