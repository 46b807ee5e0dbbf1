#pragma once
// The thin bar anchored to the bottom (23 points) or top (24 points) edge of
// a window or pane that holds a row of small square buttons. The class
// remembers whether the last bar placed was a top (bordered) one; buttons of
// the family read that when they are unarchived.
#include "AppKit/NSView.h"

class ZAKAnchoredButtonBar : public NSView {
    NS_OBJECT(ZAKAnchoredButtonBar, NSView)
protected:
    ZAKAnchoredButtonBar() = default;

public:
    bool isAtBottom() const { return m_isAtBottom; }
    // Stores the flag, takes the height of its edge and sets wasBorderedBar
    // to the opposite of the flag.
    void setIsAtBottom(bool flag);
    void setAtBottom(bool flag) { m_isAtBottom = flag; }
    bool isResizable() const { return m_isResizable; }
    void setResizable(bool flag) { m_isResizable = flag; }

    // YES after a bar was placed at the top edge, NO after one at the
    // bottom; NO before any bar set it.
    static bool wasBorderedBar();

private:
    bool m_isResizable = false;
    bool m_isAtBottom = false;
};
