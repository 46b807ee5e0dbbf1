#pragma once
// A view that fills itself with a colour, or, blended, with a light banded
// gradient from the colour (at the bottom) towards white (at the top).
//
// Archive: keyed "_bgColor" and "_blended"; sequential the colour, then one
// char for blended, both after the view's own values. Older archives lack
// the flag: it is read only when the coder records version 2 or more under
// the class's former name "HSKColorBackgroundView" (a name absent from the
// stream answers NSNotFound, which counts as new).
#include "AppKit/NSColor.h"
#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"

class ZAKColorBackgroundView : public NSView, public NSCoding {
    NS_OBJECT(ZAKColorBackgroundView, NSView)
protected:
    ZAKColorBackgroundView() = default;

public:
    // Class version 1.
    static void initialize();

    Id init() override { return initWithFrame(NSZeroRect); }
    // Calibrated grey-ish RGB 0.8 and not blended.
    Ref<NSView> initWithFrame(const NSRect& frame) override;

    Ref<NSColor> backgroundColor() const { return m_bgColor; }
    void setBackgroundColor(const Ref<NSColor>& color);
    bool blended() const { return m_blended; }
    // Any non-zero value counts as YES.
    void setBlended(int flag);

    void drawRect(const NSRect& dirtyRect) override;
    // One-point slices from the bottom of r, each filled with the next step
    // from `from` towards `to`; nothing for a rectangle under a point high.
    // Colours without an RGB form fill r plainly with the background colour.
    void drawRectWithGradientFromTo(const NSRect& r, const Ref<NSColor>& from, const Ref<NSColor>& to);

    // What the interface editor asks of the view.
    Ref<NSString> inspectorClassName() const { return "HSKColorBackgroundViewInspector"_ns; }
    bool ibIsContainer() const { return true; }
    bool ibSupportsInsideOutSelection() const { return true; }
    bool ibShouldShowContainerGuides() const { return true; }
    bool ibDrawFrameWhileResizing() const { return true; }
    bool canEditSelf() const { return true; }
    bool editorHandlesCaches() const { return true; }
    Ref<NSView> ibNearestTargetForDrag() { return this; }

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    Ref<NSColor> m_bgColor;
    bool m_blended = false;
};
