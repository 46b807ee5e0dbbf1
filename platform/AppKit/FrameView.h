#pragma once
// The content view's superview in every window: it paints the background
// colour and, for titled windows no window manager decorates, the title bar
// with its close box, and moves the window when the bar is dragged.
#include "AppKit/NSView.h"

class FrameView : public NSView {
    NS_OBJECT(FrameView, NSView)
protected:
    FrameView() = default;

public:
    // The height of the title bar the layer draws itself: none for
    // borderless windows, and none where a window manager decorates titled
    // windows (two title bars would show).
    static CGFloat titleBarHeightFor(NSUInteger styleMask);

    CGFloat titleBarHeight() const;
    NSRect titleBarRect() const;
    NSRect closeBoxRect() const;
    bool hasCloseBox() const;
    // Right of the close box; grey while the window's zoom button is
    // disabled, and then a click does nothing.
    NSRect zoomBoxRect() const;
    bool hasZoomBox() const;

    void drawRect(const NSRect& dirtyRect) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void mouseDragged(const Ref<NSEvent>& event) override;
    void mouseUp(const Ref<NSEvent>& event) override;

private:
    void drawTitleBar(const Ref<NSWindow>& w);

    bool m_closePressed = false;
    bool m_zoomPressed = false;
    bool m_dragging = false;
    NSPoint m_dragStartPointer{};
    NSPoint m_dragStartOrigin{};
};
