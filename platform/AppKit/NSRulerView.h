#pragma once
// A ruler in one of a scroll view's ruler slots. The ruler is flipped; across
// its axis it holds, from the outside in, the marker area
// (reservedThicknessForMarkers) and the rule (ruleThickness), so a vertical
// ruler's frame is as wide as both together and a horizontal one as tall.
// Changing either thickness re-tiles the scroll view. The scroll view redraws
// its rulers whenever its clip view scrolls. drawRect fills the background,
// then draws drawHashMarksAndLabelsInRect and drawMarkersInRect, which
// subclasses replace to number lines or rows.
#include <vector>

#include "AppKit/NSRulerMarker.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSView.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSCoding.h"

enum NSRulerOrientation : NSUInteger { NSHorizontalRuler = 0, NSVerticalRuler = 1 };

class NSRulerView : public NSView, public NSCoding {
    NS_OBJECT(NSRulerView, NSView)
protected:
    NSRulerView() = default;

public:
    static constexpr CGFloat kDefaultRuleThickness = 16;

    static void describeClass(NSClassMembers<NSRulerView>& m);
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    // A ruler for the scroll view; the scroll view takes it into its slot
    // through setVerticalRulerView/setHorizontalRulerView.
    virtual Ref<NSRulerView> initWithScrollView(const Ref<NSScrollView>& scrollView, NSRulerOrientation orientation);

    // The scroll view and the client are not retained. Without a scroll view
    // of its own the ruler answers the one it sits in.
    Ref<NSScrollView> scrollView() const;
    void setScrollView(const Ref<NSScrollView>& scrollView) { m_scrollView = scrollView; }
    NSRulerOrientation orientation() const { return m_orientation; }
    void setOrientation(NSRulerOrientation orientation);
    Ref<NSView> clientView() const { return m_clientView.get(); }
    // Drops the markers of the previous client.
    virtual void setClientView(const Ref<NSView>& client);

    CGFloat ruleThickness() const { return m_ruleThickness; }
    virtual void setRuleThickness(CGFloat thickness);
    CGFloat reservedThicknessForMarkers() const { return m_reservedThicknessForMarkers; }
    virtual void setReservedThicknessForMarkers(CGFloat thickness);
    // The thickness across the axis the ruler needs: the rule, and the
    // marker area or the thickest marker's need when that is more.
    virtual CGFloat requiredThickness() const;
    // Where the rule begins across the axis, in the ruler's bounds.
    CGFloat baselineLocation() const;

    // The ruler's own markers, in the order they were added.
    virtual Ref<NSArray> markers() const;
    virtual void setMarkers(const Ref<NSArray>& markers);
    virtual void addMarker(const Ref<NSRulerMarker>& marker);
    virtual void removeMarker(const Ref<NSRulerMarker>& marker);

    // Drops whatever the hash marks cached and redraws.
    virtual void invalidateHashMarks();
    // A tick every 10 points of the client's coordinates, a longer one with
    // its number every 50.
    virtual void drawHashMarksAndLabelsInRect(const NSRect& rect);
    virtual void drawMarkersInRect(const NSRect& rect);

    // Converts a position along the axis between the client's coordinates
    // and the ruler's own.
    CGFloat rulerPositionForClientLocation(CGFloat location) const;
    CGFloat clientLocationForRulerPosition(CGFloat position) const;

    bool isFlipped() const override { return true; }
    bool isOpaque() const override { return true; }
    void drawRect(const NSRect& dirtyRect) override;
    // Clicks belong to the ruler; subclasses act on them.
    void mouseDown(const Ref<NSEvent>& event) override;

    // Keys: the view's (ViewCoding), NSRulerOrientation, NSRuleThickness,
    // NSReservedThicknessForMarkers, NSRulerMarkers; the sequential form
    // writes the same values in that order.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    void resizeAcrossAxis();

    Weak<NSScrollView> m_scrollView;
    Weak<NSView> m_clientView;
    NSRulerOrientation m_orientation = NSHorizontalRuler;
    CGFloat m_ruleThickness = kDefaultRuleThickness;
    CGFloat m_reservedThicknessForMarkers = 0;
    std::vector<Ref<NSRulerMarker>> m_markers;
};
