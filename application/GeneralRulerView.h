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

private:
    NSPoint m_mouseLocation{};
};
