#pragma once
// The transparent window of the screen-resolution frame; it never takes the keyboard.
#include "OverlayWindow.h"

class ScreenWindow : public OverlayWindow {
    NS_OBJECT(ScreenWindow, OverlayWindow)
protected:
    ScreenWindow() = default;

public:
    static Ref<ScreenWindow> create(const NSRect& contentRect) { return createOverlay<ScreenWindow>(contentRect); }
};
