#pragma once
// The horizontal arm of the corner ruler.
#include "AppKit/NSImage.h"
#include "Foundation/NSDictionary.h"
#include "GeneralRulerView.h"
#include "ResizeButton.h"
#include "RulerArm.h"

class DoubleRulerHorView : public GeneralRulerView, public RulerArm {
    NS_OBJECT(DoubleRulerHorView, GeneralRulerView)
public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    bool horizontal() const override { return true; }
    bool isFlipped() const override { return false; }
    bool acceptsFirstResponder() const override { return true; }
    void drawRect(const NSRect& dirtyRect) override;
    bool followsMove(NSPoint from, NSPoint to) const override { return from.x != to.x; }
    NSRect markerRect(NSPoint location) const override
    {
        return NSMakeRect(location.x - 1, 0, 40, bounds().size.height);
    }

private:
    Ref<NSDictionary> m_dSmallDict, m_dMarkerDict;
    Ref<NSImage> m_ruler, m_rulerMarker;
};
