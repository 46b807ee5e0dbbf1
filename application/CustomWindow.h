#pragma once
// The borderless, see-through, always-on-top window of the rulers; its
// opacity follows "TransValue".
#include "AppKit/NSWindow.h"

class NSNotification;

class CustomWindow : public NSWindow {
    NS_OBJECT(CustomWindow, NSWindow)
protected:
    CustomWindow() = default;

public:
    Ref<NSWindow> initWithContentRect(const NSRect& contentRect, NSUInteger styleMask, NSBackingStoreType backing,
                                      bool defer) override;
    static Ref<CustomWindow> create(const NSRect& contentRect);
    bool canBecomeKeyWindow() const override { return true; }
    void handleNewTransValue(const Ref<NSNotification>& notification);
    void mouseDown(const Ref<NSEvent>& event) override;
    void mouseDragged(const Ref<NSEvent>& event) override;

    static void describeClass(NSClassMembers<CustomWindow>& m);

private:
    NSPoint m_initialLocation{};
};

// The window move shared by the overlay windows: the window follows the
// pointer but its top never rises above the top of the main screen.
namespace WindowMove {
NSPoint begin(NSWindow& window, const Ref<NSEvent>& event);
void drag(NSWindow& window, NSPoint initialLocation);
}
