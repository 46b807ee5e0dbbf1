#pragma once
// A line-number ruler on which a click beside a line toggles a blue arrow
// marker on that line; code can add a marker or make one line the only
// marked line. All markers share one image, made on first use.
#include "AppKit/NSCustomImageRep.h"
#include "ZAKAppKit/ZAKLineNumberRuler/ZAKLineNumberRuler.h"

class ZAKLineNumberRulerWithMarker : public ZAKLineNumberRuler {
    NS_OBJECT(ZAKLineNumberRulerWithMarker, ZAKLineNumberRuler)
protected:
    ZAKLineNumberRulerWithMarker() = default;

public:
    static constexpr CGFloat kMarkerHeight = 13;

    static void describeClass(NSClassMembers<ZAKLineNumberRulerWithMarker>& m);
    // Editable.
    Ref<ZAKLineNumberRuler> initWithScrollView(const Ref<NSScrollView>& scrollView) override;
    // The marker image follows the thickness (thickness x 13).
    void setRuleThickness(CGFloat thickness) override;

    // The shared marker image; the size counts only on the first call.
    Ref<NSImage> markerImageWithSize(NSSize size);
    // The marker's arrow, filled blue and stroked darker, in the
    // representation's own coordinates.
    void drawMarkerImageIntoRep(const Id& rep);

    // An editable ruler toggles the marker of the line under the click;
    // a ruler that is not editable ignores the click altogether.
    void mouseDown(const Ref<NSEvent>& event) override;
    // Adds a marker when the line has none (and only then redraws).
    void addMarkerWithLineNumber(NSUInteger line);
    // Removes every marker, then marks the line.
    void addSingleMarkerWithLineNumber(NSUInteger line);

    bool editable() const { return m_editable; }
    void setEditable(bool flag) { m_editable = flag; }

private:
    Ref<ZAKLineNumberRulerMarker> newMarker(NSUInteger line);

    Ref<NSImage> m_markerImage;
    bool m_editable = false;
};
