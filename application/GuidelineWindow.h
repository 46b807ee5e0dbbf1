#pragma once
// The transparent window over the visible screen that carries the guidelines.
#include "OverlayWindow.h"

class GuidelineWindow : public OverlayWindow {
    NS_OBJECT(GuidelineWindow, OverlayWindow)
protected:
    GuidelineWindow() = default;

public:
    // An overlay that the pointer cannot drag by its background.
    Ref<NSWindow> initWithContentRect(const NSRect& contentRect, NSUInteger styleMask, NSBackingStoreType backing,
                                      bool defer) override;
    static Ref<GuidelineWindow> create(const NSRect& contentRect)
    {
        return createOverlay<GuidelineWindow>(contentRect);
    }
    bool hasShadow() const { return false; }
};
