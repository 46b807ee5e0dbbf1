#pragma once
// A white panel with a black outline.
#include "AppKit/NSView.h"

class WhiteView : public NSView {
    NS_OBJECT(WhiteView, NSView)
protected:
    WhiteView() = default;

public:
    void drawRect(const NSRect& dirtyRect) override;
};
