#pragma once
// A grip inside a pane of a vertical QXSplitView, usually in a bar along the
// pane's bottom: dragging it sideways changes the pane's width, and dragging
// below the pane's minimum collapses the pane when it may collapse. The
// grip image sits on the pane's outer side: right in the first pane, left in
// the others.
#include "AppKit/NSButton.h"

class ZAKSplitSubviewResizeButton : public NSButton {
    NS_OBJECT(ZAKSplitSubviewResizeButton, NSButton)
protected:
    ZAKSplitSubviewResizeButton() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }

    // Puts the grip image on the side facing the pane's divider.
    void awakeFromNib() override;
};
