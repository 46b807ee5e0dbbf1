#pragma once
// Panes side by side (vertical: the dividers stand upright) or stacked
// (horizontal), separated by dividers the user drags. The split view is
// flipped: positions along a horizontal split view grow downwards.
//
// A divider's position is the coordinate of its leading edge along the
// split axis. Moving it (setPosition:ofDividerAtIndex:, or a drag) takes the
// position the delegate proposes, limits it by the delegate's minimum and
// maximum coordinates, then by the two neighbouring panes' extents. Going
// past half of the room between a limit and the pane's extreme position,
// or reaching that extreme, collapses the pane when the delegate lets it
// collapse. A collapsed pane is hidden and keeps its frame, so it can be
// expanded to where it was; it takes no room in the layout.
//
// Keyed-coding keys (after the view's own): NSIsVertical, NSDividerStyle.
#include <set>

#include "AppKit/NSSplitViewDelegate.h"
#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"

class NSColor;

enum NSSplitViewDividerStyle : NSInteger {
    NSSplitViewDividerStyleThick = 1,         // 9 points with a dimple
    NSSplitViewDividerStyleThin = 2,          // one point
    NSSplitViewDividerStylePaneSplitter = 3,  // 10 points, a bar with a dimple
};

class NSSplitView : public NSView, public NSCoding {
    NS_OBJECT(NSSplitView, NSView)
protected:
    NSSplitView() = default;

public:
    // A horizontal split view with thick dividers.
    Ref<NSView> initWithFrame(const NSRect& frame) override;

    bool isVertical() const { return m_vertical; }
    void setVertical(bool flag);
    NSSplitViewDividerStyle dividerStyle() const { return m_dividerStyle; }
    void setDividerStyle(NSSplitViewDividerStyle style);
    virtual CGFloat dividerThickness() const;
    virtual Ref<NSColor> dividerColor() const;

    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate);
    NSSplitViewDelegate* delegateProtocol() const;

    // Fits the panes into the split view's length: the difference is shared
    // in proportion to their extents among the panes the delegate lets
    // adjust (all of them when it answers NO for every one), in whole
    // points; collapsed and hidden panes take no part.
    void adjustSubviews();
    bool isSubviewCollapsed(const Ref<NSView>& subview) const;
    // Ignored for an index that names no divider.
    void setPosition(CGFloat position, NSInteger dividerIndex);
    // The extreme positions the neighbouring panes allow: the leading edge
    // of pane i, and the trailing edge of pane i + 1 less the divider.
    CGFloat minPossiblePositionOfDividerAtIndex(NSInteger dividerIndex) const;
    CGFloat maxPossiblePositionOfDividerAtIndex(NSInteger dividerIndex) const;
    // The divider as drawn (zero width when hidden), and where a press grabs
    // it: the drawn rectangle widened to at least 5 points, then as the
    // delegate says.
    NSRect dividerRectAtIndex(NSInteger dividerIndex) const;
    NSRect effectiveRectOfDividerAtIndex(NSInteger dividerIndex) const;
    bool isDividerHidden(NSInteger dividerIndex) const;
    virtual void drawDividerInRect(const NSRect& rect);

    bool isFlipped() const override { return true; }
    void drawRect(const NSRect& dirtyRect) override;
    // The delegate's resize hook, else adjustSubviews.
    void resizeSubviewsWithOldSize(NSSize oldSize) override;
    // Presses inside a divider's grab areas belong to the split view, also
    // where an additional area lies over a pane.
    Ref<NSView> hitTest(NSPoint pointInSuperview) override;
    // Drags a divider (the delegate is asked at every step); a double-click
    // collapses a pane the delegate names, or expands a collapsed neighbour.
    void mouseDown(const Ref<NSEvent>& event) override;
    void resetCursorRects() override;
    void willRemoveSubview(const Ref<NSView>& subview) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<NSSplitView>& m);

private:
    struct Span {
        CGFloat start = 0;
        CGFloat extent = 0;
    };
    // Where each pane and divider lies along the axis, from the panes'
    // extents in order.
    struct Spans {
        std::vector<Span> panes;
        std::vector<Span> dividers;
    };
    Spans spans() const;
    CGFloat length() const;
    CGFloat extentOf(const Ref<NSView>& pane) const;
    bool takesRoom(const Ref<NSView>& pane) const;
    bool canCollapse(const Ref<NSView>& pane) const;
    void setCollapsed(const Ref<NSView>& pane, bool collapsed);
    // Gives the panes the extents (collapsed and hidden panes ignored) and
    // places them one after another; a difference to the length goes to
    // `absorber` when it can take it, else to the adjustable panes.
    void placePanes(std::vector<CGFloat> extents, NSInteger absorber);
    std::vector<CGFloat> fitted(std::vector<CGFloat> extents, NSInteger absorber) const;
    NSInteger dividerAtPoint(NSPoint point) const;
    void dragDivider(NSInteger dividerIndex, const Ref<NSEvent>& event);
    void doubleClickDivider(NSInteger dividerIndex);

    bool m_vertical = false;
    NSSplitViewDividerStyle m_dividerStyle = NSSplitViewDividerStyleThick;
    Weak<NSObject> m_delegate;
    std::set<const NSView*> m_collapsed;
};
