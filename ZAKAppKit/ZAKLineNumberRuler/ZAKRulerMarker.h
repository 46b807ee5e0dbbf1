#pragma once
// Four ready-made ruler markers: small dark triangles pointing at a ruler's
// left, right, top or bottom edge, each at location 0.
#include "AppKit/NSRulerMarker.h"
#include "AppKit/NSRulerView.h"

class ZAKRulerMarker : public NSRulerMarker {
    NS_OBJECT(ZAKRulerMarker, NSRulerMarker)
protected:
    ZAKRulerMarker() = default;

public:
    static Ref<ZAKRulerMarker> leftEdgeRulerMarkerForRulerView(const Ref<NSRulerView>& ruler);
    static Ref<ZAKRulerMarker> rightEdgeRulerMarkerForRulerView(const Ref<NSRulerView>& ruler);
    static Ref<ZAKRulerMarker> topEdgeRulerMarkerForRulerView(const Ref<NSRulerView>& ruler);
    static Ref<ZAKRulerMarker> bottomEdgeRulerMarkerForRulerView(const Ref<NSRulerView>& ruler);
};
