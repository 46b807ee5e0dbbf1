#pragma once
// A window whose resizing and zooming can be switched off by its owner.
// Both switches start NO, whatever the window's buttons show at first.
#include "AppKit/NSWindow.h"

class ZAKWindow : public NSWindow {
    NS_OBJECT(ZAKWindow, NSWindow)
protected:
    ZAKWindow() = default;

public:
    bool canResize() const { return m_canResize; }
    // Also shows or hides the resize indicator.
    void setCanResize(bool flag);
    bool canZoom() const { return m_canZoom; }
    // Also enables or disables the zoom button.
    void setCanZoom(bool flag);

private:
    bool m_canResize = false;
    bool m_canZoom = false;
};
