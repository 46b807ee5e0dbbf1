#pragma once
// A borderless, shadowed pop-up window that shows one view inside a rounded
// panel whose arrow points at a spot: a point in a window's coordinates or
// on the screen. The window sizes itself to the view plus a margin and the
// arrow, picks the side of the point it appears on when asked to, places
// itself so that the arrow's tip lies at the given distance from the point,
// and paints its panel (fill and border) as a pattern image that serves as
// its background colour.
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSMenuItemValidation.h"
#include "AppKit/NSWindow.h"

// Where the window lies relative to the point; the arrow is on the edge
// that faces the point.
enum AWWindowPosition : int {
    AWPositionLeft = 0,
    AWPositionBottom = 1,
    AWPositionRight = 2,
    AWPositionTop = 3,
    AWPositionLeftTop = 4,  // left, extending upwards
    AWPositionLeftBottom = 5,
    AWPositionRightTop = 6,
    AWPositionRightBottom = 7,
    AWPositionTopLeft = 8,  // above, extending to the left
    AWPositionTopRight = 9,
    AWPositionBottomLeft = 10,
    AWPositionBottomRight = 11,
    AWPositionAutomatic = 12,
};

class AWAttachedWindow : public NSWindow, public NSMenuItemValidation {
    NS_OBJECT(AWAttachedWindow, NSWindow)
public:
    AWAttachedWindow() = default;
    ~AWAttachedWindow() override;

    // Each answers nil for a nil view. Without a window the point is on the
    // screen; the side is automatic and the distance 0 unless given.
    Ref<AWAttachedWindow> initWithView(const Ref<NSView>& view, NSPoint point, const Ref<NSWindow>& window, int side,
                                       float distance);
    Ref<AWAttachedWindow> initWithView(const Ref<NSView>& view, NSPoint point, const Ref<NSWindow>& window,
                                       float distance);
    Ref<AWAttachedWindow> initWithView(const Ref<NSView>& view, NSPoint point, int side, float distance);
    Ref<AWAttachedWindow> initWithView(const Ref<NSView>& view, NSPoint point, float distance);
    Ref<AWAttachedWindow> initWithView(const Ref<NSView>& view, NSPoint point, const Ref<NSWindow>& window);
    Ref<AWAttachedWindow> initWithView(const Ref<NSView>& view, NSPoint point, int side);
    Ref<AWAttachedWindow> initWithView(const Ref<NSView>& view, NSPoint point);

    // --- Appearance ---
    // The panel's fill; the window's own background stays the painted panel.
    Ref<NSColor> windowBackgroundColor() const { return m_MABackgroundColor; }
    void setBackgroundColor(const Ref<NSColor>& color) override;
    // Fills the panel with the image as a pattern; nil is ignored.
    void setBackgroundImage(const Ref<NSImage>& image);
    Ref<NSColor> borderColor() const { return m_borderColor; }
    void setBorderColor(const Ref<NSColor>& color);
    // At most the view margin.
    float borderWidth() const { return m_borderWidth; }
    void setBorderWidth(float width);
    // At least 0.
    float viewMargin() const { return m_viewMargin; }
    void setViewMargin(float margin);
    // Between 0 and half the shorter side of the view and its margins, less
    // the arrow's base.
    float cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(float radius);
    // Between 0 and the shorter side of the view and its margins, less the
    // corner radius (twice, when the corner beside the arrow is rounded).
    float arrowBaseWidth() const { return m_arrowBaseWidth; }
    void setArrowBaseWidth(float width);
    float arrowHeight() const { return m_arrowHeight; }
    void setArrowHeight(float height);
    float hasArrow() const { return m_hasArrow ? 1 : 0; }
    void setHasArrow(float flag);
    float drawsRoundCornerBesideArrow() const { return m_drawsRoundCornerBesideArrow ? 1 : 0; }
    void setDrawsRoundCornerBesideArrow(float flag);

    // --- Placement ---
    int side() const { return m_side; }
    NSPoint point() const { return m_point; }
    Ref<NSWindow> attachedToWindow() const { return m_window.get(); }
    // The panel's outline in the window's coordinates.
    Ref<NSBezierPath> backgroundPath() const;
    // Where the arrow's tip lies, in screen coordinates.
    NSPoint arrowTipOnScreen() const;

    // --- Window behaviour ---
    bool canBecomeKeyWindow() const override { return true; }
    bool canBecomeMainWindow() const override { return false; }
    // Closing or validating goes to the window the point belongs to.
    void performClose(const Id& sender) override;
    std::optional<bool> validateMenuItem(const Ref<NSMenuItem>& item) override;
    void windowDidResize(const Ref<NSNotification>& note);

    static void describeClass(NSClassMembers<AWAttachedWindow>& m);

private:
    static float scaleFactor();
    NSPoint pointOnScreen() const;
    NSSize viewSize() const;
    int bestSideForAutomaticPosition() const;
    float arrowInset() const;
    void updateGeometry();
    void updateBackground();
    void redisplay();
    void appendArrowToPath(const Ref<NSBezierPath>& path, int edge) const;

    Ref<NSColor> m_borderColor;
    float m_borderWidth = 2;
    float m_viewMargin = 2;
    float m_arrowBaseWidth = 20;
    float m_arrowHeight = 16;
    bool m_hasArrow = true;
    float m_cornerRadius = 8;
    bool m_drawsRoundCornerBesideArrow = true;
    Ref<NSColor> m_MABackgroundColor;
    Weak<NSView> m_view;
    Weak<NSWindow> m_window;
    NSPoint m_point{};
    int m_side = AWPositionAutomatic;
    float m_distance = 0;
    NSRect m_viewFrame{};
    bool m_resizing = false;
    Id m_resizeObserver;
};
