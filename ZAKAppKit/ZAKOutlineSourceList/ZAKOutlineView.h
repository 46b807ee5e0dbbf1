#pragma once
// An outline view of the framework's family that adds nothing to the
// platform's: a base for outline views that interface files name.
#include "AppKit/NSOutlineView.h"

class ZAKOutlineView : public NSOutlineView {
    NS_OBJECT(ZAKOutlineView, NSOutlineView)
protected:
    ZAKOutlineView() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override { return NSOutlineView::initWithFrame(frame); }
    void drawRect(const NSRect& dirtyRect) override { NSOutlineView::drawRect(dirtyRect); }
};
