#pragma once
// The dimming laid over a window's content while a sheet is attached to it:
// black at 0.4 over the whole view.
#include "AppKit/NSView.h"

class ZAKSheetPresentationView : public NSView {
    NS_OBJECT(ZAKSheetPresentationView, NSView)
protected:
    ZAKSheetPresentationView() = default;

public:
    void drawRect(const NSRect& dirtyRect) override;
};
