#pragma once
// A button cell that tracks the mouse like a push button and, when no
// release or drag is queued by the time it looks, pops its menu up below the
// button. Without a menu it waits for the release like any push button.
#include "AppKit/NSButtonCell.h"

class ZAKDelayedPopUpButtonCell : public NSButtonCell {
    NS_OBJECT(ZAKDelayedPopUpButtonCell, NSButtonCell)
protected:
    ZAKDelayedPopUpButtonCell() = default;

public:
    // In window coordinates: the frame's origin, 1 to the right and the
    // frame's height plus 5.5 lower.
    NSPoint menuPositionForFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) const;
    // Pops the menu up as a context menu, with an event like the given one
    // placed at the menu position.
    virtual void showMenuForEvent(const Ref<NSEvent>& event, const Ref<NSView>& controlView, const NSRect& cellFrame);
    bool trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                    bool untilMouseUp) override;
};
