#include "AppKit/NSStepper.h"

#include "AppKit/NSApplication.h"
#include "AppKit/USKeyboardLayout.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(NSStepper)

void NSStepper::describeClass(NSClassMembers<NSStepper>& m)
{
    m.property("minValue", &NSStepper::minValue, &NSStepper::setMinValue);
    m.property("maxValue", &NSStepper::maxValue, &NSStepper::setMaxValue);
    m.property("increment", &NSStepper::increment, &NSStepper::setIncrement);
}

const NSClass& NSStepper::cellClass() { return NSStepperCell::staticClass(); }

#define NS_STEPPER_GET(name, type, fallback)                                                                           \
    type NSStepper::name() const                                                                                       \
    {                                                                                                                  \
        auto c = stepperCell();                                                                                        \
        return c ? c->name() : fallback;                                                                               \
    }
#define NS_STEPPER_SET(name, type)                                                                                     \
    void NSStepper::name(type v)                                                                                       \
    {                                                                                                                  \
        if (auto c = stepperCell()) c->name(v);                                                                        \
        setNeedsDisplay(true);                                                                                         \
    }

NS_STEPPER_GET(minValue, double, 0)
NS_STEPPER_SET(setMinValue, double)
NS_STEPPER_GET(maxValue, double, 59)
NS_STEPPER_SET(setMaxValue, double)
NS_STEPPER_GET(increment, double, 1)
NS_STEPPER_SET(setIncrement, double)
NS_STEPPER_GET(valueWraps, bool, true)
NS_STEPPER_SET(setValueWraps, bool)
NS_STEPPER_GET(autorepeat, bool, true)
NS_STEPPER_SET(setAutorepeat, bool)
#undef NS_STEPPER_GET
#undef NS_STEPPER_SET

void NSStepper::stepAndSend(int direction)
{
    auto c = stepperCell();
    if (!c) return;
    c->step(direction);
    setNeedsDisplay(true);
    sendAction(action(), target());
}

void NSStepper::mouseDown(const Ref<NSEvent>& event)
{
    auto c = stepperCell();
    if (!isEnabled() || !c) return;
    Ref<NSStepper> self(this);
    auto local = [&](const Ref<NSEvent>& e) { return convertPoint(e->locationInWindow(), nullptr); };
    const NSRect frame = bounds();
    const int arrow = NSStepperCell::arrowAt(local(event), frame, isFlipped());
    c->setPressedArrow(arrow);
    stepAndSend(arrow);
    if (!NSApp) return c->setPressedArrow(0);

    // Hold to repeat: a wait that ends without an event is one more step
    // while the pointer stays on the arrow it pressed.
    bool onArrow = true;
    NSTimeInterval wait = kFirstRepeatDelay;
    for (;;) {
        auto until = c->autorepeat() ? NSDate::dateWithTimeIntervalSinceNow(wait) : NSDate::distantFuture();
        auto e = NSApp->nextEventMatchingMask(NSLeftMouseUpMask | NSLeftMouseDraggedMask, until,
                                              NSEventTrackingRunLoopMode, true);
        if (!e) {
            // Nil before the date: the loop was interrupted or the program ends.
            if (until->timeIntervalSinceNow() > 0) break;
            if (onArrow) stepAndSend(arrow);
            wait = kRepeatInterval;
            continue;
        }
        if (e->type() == NSLeftMouseUp) break;
        const NSPoint p = local(e);
        onArrow = mouse(p, frame) && NSStepperCell::arrowAt(p, frame, isFlipped()) == arrow;
        c->setPressedArrow(onArrow ? arrow : 0);
    }
    c->setPressedArrow(0);
    setNeedsDisplay(true);
}

void NSStepper::keyDown(const Ref<NSEvent>& event)
{
    if (!isEnabled() || !stepperCell()) return NSControl::keyDown(event);
    switch (event->keyCode()) {
    case kVK_UpArrow: return stepAndSend(+1);
    case kVK_DownArrow: return stepAndSend(-1);
    default: return NSControl::keyDown(event);
    }
}
