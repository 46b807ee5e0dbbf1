#pragma once
// A window that keeps its style and moves when dragged anywhere.
#include "AppKit/NSWindow.h"

class TitleLessWindow : public NSWindow {
    NS_OBJECT(TitleLessWindow, NSWindow)
protected:
    TitleLessWindow() = default;

public:
    Ref<NSWindow> initWithContentRect(const NSRect& contentRect, NSUInteger styleMask, NSBackingStoreType backing,
                                      bool defer) override;
    static Ref<TitleLessWindow> create(const NSRect& contentRect, NSUInteger styleMask);
    bool canBecomeKeyWindow() const override { return true; }
    void mouseDown(const Ref<NSEvent>& event) override;
    void mouseDragged(const Ref<NSEvent>& event) override;

private:
    NSPoint m_initialLocation{};
};
