#pragma once
// A window on the control highlight colour instead of the window background.
#include "AppKit/NSWindow.h"
#include "Foundation/NSCoding.h"

class ZAKGreyBackgroundWindow : public NSWindow, public NSCoding {
    NS_OBJECT(ZAKGreyBackgroundWindow, NSWindow)
protected:
    ZAKGreyBackgroundWindow() = default;

public:
    Ref<NSWindow> initWithContentRect(const NSRect& contentRect, NSUInteger styleMask, NSBackingStoreType backing,
                                      bool defer) override;
    // Keys "NSWindowContentRect" and "NSWindowStyleMask", as
    // initWithContentRect takes them (buffered, deferred).
    Id initWithCoder(NSCoder* coder) override;
    void encodeWithCoder(NSCoder* coder) const override;

    void setupWindow();
};
