#pragma once
// Internal links between the AppKit classes; not for other layers.
#include "Foundation/NSObject.h"

class NSEvent;

// Records the modifier keys and buttons of an event being dispatched.
void EventNoteDispatched(const NSEvent& event);
