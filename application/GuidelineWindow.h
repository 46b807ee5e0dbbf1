#pragma once
// The transparent window over the visible screen that carries the guidelines.
#include "AppKit/NSWindow.h"

class GuidelineWindow : public NSWindow {
    NS_OBJECT(GuidelineWindow, NSWindow)
public:
    // Borderless, clear, at the status level, whatever is asked for.
    Ref<NSWindow> initWithContentRect(const NSRect& contentRect, NSUInteger styleMask, NSBackingStoreType backing,
                                      bool defer) override;
    static Ref<GuidelineWindow> create(const NSRect& contentRect);
    bool canBecomeKeyWindow() const override { return false; }
    bool hasShadow() const { return false; }
};
