#pragma once
// The transparent window of the screen-resolution frame; it never takes the keyboard.
#include "AppKit/NSWindow.h"

class ScreenWindow : public NSWindow {
    NS_OBJECT(ScreenWindow, NSWindow)
public:
    Ref<NSWindow> initWithContentRect(const NSRect& contentRect, NSUInteger styleMask, NSBackingStoreType backing,
                                      bool defer) override;
    static Ref<ScreenWindow> create(const NSRect& contentRect);
    bool canBecomeKeyWindow() const override { return false; }
};
