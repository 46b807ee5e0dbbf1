#pragma once
// The vertical arm of the corner ruler.
#include "AppKit/NSImage.h"
#include "Foundation/NSDictionary.h"
#include "GeneralRulerView.h"
#include "ResizeButton.h"
#include "RulerArm.h"

class DoubleRulerVerView : public GeneralRulerView, public RulerArm {
    NS_OBJECT(DoubleRulerVerView, GeneralRulerView)
public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    bool horizontal() const override { return false; }
    bool isFlipped() const override { return false; }
    bool acceptsFirstResponder() const override { return true; }
    void drawRect(const NSRect& dirtyRect) override;
    bool followsMove(NSPoint from, NSPoint to) const override { return from.y != to.y; }
    NSRect markerRect(NSPoint location) const override
    {
        return NSMakeRect(0, location.y - 52, bounds().size.width, 56);
    }

private:
    Ref<NSDictionary> m_dSmallDict, m_dMarkerDict;
    Ref<NSImage> m_ruler, m_rulerMarker;
};
