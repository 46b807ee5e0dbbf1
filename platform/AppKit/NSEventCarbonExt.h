#pragma once
// +[NSEvent eventWithEventRef:] for the Carbon events the application sees
// (hot keys): a system-defined event at the pointer's screen location, with
// the event's time and its modifier keys as Cocoa flags.
#include "AppKit/NSEvent.h"
#include "Carbon/CarbonEvents.h"

namespace NSEventExt {

Ref<NSEvent> eventWithEventRef(EventRef event);

}
