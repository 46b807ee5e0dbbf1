#pragma once
// The see-through window the guidelines and the resolution frame are drawn
// in: borderless, clear, at the status level, whatever is asked for, and it
// never takes the keyboard.
#include "AppKit/NSWindow.h"

class OverlayWindow : public NSWindow {
    NS_OBJECT(OverlayWindow, NSWindow)
protected:
    OverlayWindow() = default;

public:
    Ref<NSWindow> initWithContentRect(const NSRect& contentRect, NSUInteger styleMask, NSBackingStoreType backing,
                                      bool defer) override;
    bool canBecomeKeyWindow() const override { return false; }

protected:
    template <class Window> static Ref<Window> createOverlay(const NSRect& contentRect)
    {
        auto window = alloc<Window>();
        window->initWithContentRect(contentRect, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
        return window;
    }
};
