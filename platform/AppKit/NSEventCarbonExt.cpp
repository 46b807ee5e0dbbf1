#include "AppKit/NSEventCarbonExt.h"

#include "Carbon/KeyState.h"

namespace NSEventExt {

Ref<NSEvent> eventWithEventRef(EventRef event)
{
    if (!event) return nullptr;
    UInt32 modifiers = 0;
    GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
    return NSEvent::otherEventWithType(NSEventTypeSystemDefined, NSEvent::mouseLocation(),
                                       CocoaModifiersFromCarbon(modifiers), GetEventTime(event), 0, nullptr, 0, 0, 0);
}

}
