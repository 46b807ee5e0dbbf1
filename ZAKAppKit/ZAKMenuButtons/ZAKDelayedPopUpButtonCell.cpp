#include "ZAKAppKit/ZAKMenuButtons/ZAKDelayedPopUpButtonCell.h"

#include "AppKit/NSApplication.h"
#include "AppKit/NSControl.h"
#include "AppKit/NSMenu.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(ZAKDelayedPopUpButtonCell)

NSPoint ZAKDelayedPopUpButtonCell::menuPositionForFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) const
{
    NSPoint p = controlView ? controlView->convertPointToView(cellFrame.origin, nullptr) : cellFrame.origin;
    p.x += 1;
    p.y -= cellFrame.size.height + 5.5;
    return p;
}

void ZAKDelayedPopUpButtonCell::showMenuForEvent(const Ref<NSEvent>& event, const Ref<NSView>& controlView,
                                                 const NSRect& cellFrame)
{
    auto m = menu();
    if (!m || !event) return;
    auto placed = NSEvent::mouseEventWithType(event->type(), menuPositionForFrame(cellFrame, controlView),
                                              event->modifierFlags(), event->timestamp(), event->windowNumber(),
                                              nullptr, event->eventNumber(), event->clickCount(), event->pressure());
    NSMenu::popUpContextMenu(m, placed, controlView);
}

bool ZAKDelayedPopUpButtonCell::trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame,
                                           const Ref<NSView>& controlView, bool untilMouseUp)
{
    auto sendAction = [&] {
        if (auto control = dynamic_ref_cast<NSControl>(controlView)) control->sendAction(action(), target());
    };
    NSPoint last = event->locationInWindow();
    const bool tracking = startTrackingAt(last, controlView);
    // The previous pass's mouse-up flag; there is none before the first.
    bool previousMouseUp = false;
    for (;;) {
        // With a menu, look once: a release not yet queued opens the menu.
        auto until = menu() ? NSDate::dateWithTimeIntervalSinceNow(0) : NSDate::distantFuture();
        auto next = NSApp->nextEventMatchingMask(NSLeftMouseUpMask | NSLeftMouseDraggedMask, until,
                                                 NSEventTrackingRunLoopMode, true);
        if (!next) {
            showMenuForEvent(event, controlView, cellFrame);
            return true;
        }
        const NSPoint current = next->locationInWindow();
        bool done = false;
        if (tracking) {
            if (!continueTracking(last, current, controlView)) {
                stopTracking(last, current, controlView, previousMouseUp);
                done = true;
            }
            if (isContinuous()) sendAction();
        }
        const bool mouseUp = next->type() == NSEventTypeLeftMouseUp;
        done = done || mouseUp;
        bool result = mouseUp;
        if (!untilMouseUp) {
            const NSPoint inView = controlView ? controlView->convertPointFromView(current, nullptr) : current;
            const bool inside = NSMouseInRect(inView, cellFrame, controlView && controlView->isFlipped());
            done = done || !inside;
            result = inside;
        }
        if (done && result && !isContinuous()) sendAction();
        if (done) return result;
        previousMouseUp = mouseUp;
        last = current;
    }
}
