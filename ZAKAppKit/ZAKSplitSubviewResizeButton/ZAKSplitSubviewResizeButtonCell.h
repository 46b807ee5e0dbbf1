#pragma once
// The resize grip's cell: a small square bezel with the grip image, and the
// drag that sets the enclosing pane's width.
#include "AppKit/NSButtonCell.h"

class QXSplitSubview;

class ZAKSplitSubviewResizeButtonCell : public NSButtonCell {
    NS_OBJECT(ZAKSplitSubviewResizeButtonCell, NSButtonCell)
protected:
    ZAKSplitSubviewResizeButtonCell() = default;

public:
    Id init() override;

    // The nearest superview that is a plain pane (a nested split view, though
    // a pane too, does not count); nil when there is none.
    static Ref<QXSplitSubview> superQXSplitSubviewOfView(const Ref<NSView>& view);

    // Follows the drag until the mouse goes up: each horizontal movement
    // changes the pane's dimension within its limits (outwards when the
    // image is on the right); going below the minimum collapses a pane that
    // may collapse and ends the drag. Always answers YES.
    bool trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                    bool untilMouseUp) override;
};
