#pragma once
// What the ruler store asks of every ruler: its window and the pointer.
#include "AppKit/NSWindowController.h"

class RulerWindowController : public NSWindowController {
    NS_OBJECT(RulerWindowController, NSWindowController)
protected:
    RulerWindowController() = default;

public:
    virtual void setMouseLocation(NSPoint screenPoint) { (void)screenPoint; }
    virtual void updateUI() { }
};
