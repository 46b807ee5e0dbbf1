#pragma once
#include "AppKit/NSWindow.h"

// A panel: a window that floats above the others when asked and hides when
// the application deactivates.
class NSPanel : public NSWindow {
    NS_OBJECT(NSPanel, NSWindow)
protected:
    NSPanel() = default;

public:
    bool isFloatingPanel() const { return level() == NSFloatingWindowLevel; }
    void setFloatingPanel(bool flag) { setLevel(flag ? NSFloatingWindowLevel : NSNormalWindowLevel); }
    bool becomesKeyOnlyIfNeeded() const { return m_becomesKeyOnlyIfNeeded; }
    void setBecomesKeyOnlyIfNeeded(bool flag) { m_becomesKeyOnlyIfNeeded = flag; }
    bool canBecomeMainWindow() const override { return false; }

private:
    bool m_becomesKeyOnlyIfNeeded = false;
};
