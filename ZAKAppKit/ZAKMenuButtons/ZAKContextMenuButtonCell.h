#pragma once
// The cell of the tiny square action-menu button: one of three built-in
// images, and the action sent at once on mouse-down (no tracking, no
// highlight), so the action can open a menu while the button is held.
#include "AppKit/NSButtonCell.h"

class ZAKContextMenuButtonCell : public NSButtonCell {
    NS_OBJECT(ZAKContextMenuButtonCell, NSButtonCell)
protected:
    ZAKContextMenuButtonCell() = default;

public:
    // The add-action image, image only, small square bezel, momentary
    // change, sending on left mouse down and drag (init comes here too).
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;

    // 0: the action image, bordered and bezeled; 1: the add-action image,
    // bordered; 2: the plus image of a scroller corner, neither bordered nor
    // bezeled. Other values leave the look and image as they are. The image
    // is read from the bundle each time.
    void setType(NSInteger type);

    // Sends the action to the target at once and answers YES.
    bool trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                    bool untilMouseUp) override;

private:
    void setUp();
};

// Any button cell that sends its action on mouse-down without tracking.
class ZAKNewContextMenuButtonCell : public NSButtonCell {
    NS_OBJECT(ZAKNewContextMenuButtonCell, NSButtonCell)
protected:
    ZAKNewContextMenuButtonCell() = default;

public:
    bool trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                    bool untilMouseUp) override;
};
