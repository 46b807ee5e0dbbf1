#pragma once
// The grip at one end of a pane toolbar: three short lines across the
// split direction, upright for a vertical split view.
#include "AppKit/NSView.h"

class ZAKSplitViewToolbarDraggingHandle : public NSView {
    NS_OBJECT(ZAKSplitViewToolbarDraggingHandle, NSView)
protected:
    ZAKSplitViewToolbarDraggingHandle() = default;

public:
    bool isVertical() const { return m_vertical; }
    void setVertical(bool flag)
    {
        m_vertical = flag;
        setNeedsDisplay(true);
    }

    void drawRect(const NSRect& dirtyRect) override;

private:
    bool m_vertical = false;
};
