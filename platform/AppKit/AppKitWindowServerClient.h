#pragma once
// AppKit's answers to the window server: windows looked up by number, the
// same calls a user's action inside the application makes. Every server
// reports to it from the moment AppKit loads.
#include "WindowServer/WindowServerClient.h"

class AppKitWindowServerClient final : public WindowServerClient {
public:
    // The one instance every server reports to.
    static AppKitWindowServerClient& shared();

    NSUInteger windowStyleMask(WSWindowID window) const override;
    bool windowTakesFocus(WSWindowID window) const override;
    void eventArrived(const WSEvent& event) override;
    void windowFrameChanged(WSWindowID window, const NSRect& frame) override;
    void windowCloseRequested(WSWindowID window) override;
    void windowFocusChanged(WSWindowID window, bool gained) override;
    void windowDecorationsChanged() override;
    void screensChanged() override;
    void quitRequested() override;
    void dockMenuRequested(NSPoint location) override;
    void dockIconHostChanged() override;
    void pasteboardMirrorChanged(WSPasteboard pasteboard, std::unique_ptr<PasteboardMirror> mirror) override;
};
