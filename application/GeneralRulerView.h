#pragma once
// Base of the ruler views: keeps the pointer location in its own coordinates.
#include "AppKit/NSView.h"

class GeneralRulerView : public NSView {
    NS_OBJECT(GeneralRulerView, NSView)
public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    NSPoint mouseLocation() const { return m_mouseLocation; }
    // A point in screen coordinates.
    void setMouseLocation(NSPoint screenPoint);
    // What the marker and its number cover at a location; the whole view
    // unless a ruler knows better. Only this is drawn again when the pointer moves.
    virtual NSRect markerRect(NSPoint location) const
    {
        (void)location;
        return bounds();
    }
    // Whether the drawing changes when the pointer moves between the points:
    // an arm follows one coordinate only.
    virtual bool followsMove(NSPoint from, NSPoint to) const { return from.x != to.x || from.y != to.y; }

private:
    NSPoint m_mouseLocation{};
};
