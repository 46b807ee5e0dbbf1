#pragma once
// The thin gradient bar anchored to the bottom (23 points) or top (24 points)
// edge of a window or pane that holds a row of small square buttons drawn
// edge to edge. Inside a vertical split view a resizable bar becomes the
// split view's delegate and lends the divider a 15-point strip over its
// handle, so dragging the handle moves the divider; every delegate question
// is first offered to splitViewDelegate.
//
// The class remembers whether the last bar placed was a top (bordered) one;
// buttons of the family read that when they are unarchived.
#include "AppKit/NSColor.h"
#include "AppKit/NSSplitView.h"
#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"

class ZAKAnchoredButtonBar : public NSView, public NSCoding, public NSSplitViewDelegate {
    NS_OBJECT(ZAKAnchoredButtonBar, NSView)
protected:
    ZAKAnchoredButtonBar() = default;

public:
    static constexpr CGFloat kHandleStripWidth = 15;

    // Resizable and at the bottom, style 0; the frame as given.
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    // Keys "ZAKABBIsResizable", "ZAKABBIsAtBottom",
    // "ZAKABBHandleIsRightAligned" and "ZAKABBSelectedIndex"; the index is
    // applied last, so it wins over the two flags.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    // A resizable bar in a vertical split view takes over its delegate
    // (for good), then comes in front of its siblings.
    void awakeFromNib() override;
    void viewDidMoveToSuperview() override;

    // The nearest ancestor split view (never the bar itself).
    Ref<NSSplitView> splitView() const;
    // The bar's superview is the split view's last pane.
    bool isInLastSubview() const;

    // 0: at the bottom and resizable; 1: at the bottom; 2: at the top. Other
    // values are stored and change neither flag. The frame stays.
    int32_t selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(int32_t index);
    // Stores the flag, takes the height of its edge (23 at the bottom, 24 at
    // the top) and sets wasBorderedBar to the opposite of the flag.
    void setIsAtBottom(bool flag);
    // YES after a bar was placed at the top edge, NO after one at the
    // bottom; NO before any bar set it.
    static bool wasBorderedBar();

    // Plain accessors: none of them redraws.
    bool isResizable() const { return m_isResizable; }
    void setResizable(bool flag) { m_isResizable = flag; }
    bool isAtBottom() const { return m_isAtBottom; }
    void setAtBottom(bool flag) { m_isAtBottom = flag; }
    bool handleIsRightAligned() const { return m_handleIsRightAligned; }
    void setHandleIsRightAligned(bool flag) { m_handleIsRightAligned = flag; }
    // Not retained.
    Id splitViewDelegate() const { return m_splitViewDelegate.get(); }
    void setSplitViewDelegate(const Id& delegate) { m_splitViewDelegate = delegate; }

    void drawRect(const NSRect& dirtyRect) override;
    // Three one-pixel grooves 3 points apart over the rectangle's height.
    void drawResizeHandleInRect(const NSRect& rect, const Ref<NSColor>& color);
    // Marks the anchored buttons at the bar's ends and draws a light line
    // after the rightmost one.
    void drawLastButtonInsetInRect(const NSRect& rect);

    // --- The split view's delegate ---
    std::optional<NSRect> splitViewAdditionalEffectiveRectOfDividerAtIndex(NSSplitView* splitView,
                                                                           NSInteger index) override;
    std::optional<CGFloat> splitViewConstrainMinCoordinateOfSubviewAt(NSSplitView* splitView, CGFloat proposed,
                                                                      NSInteger index) override;
    std::optional<CGFloat> splitViewConstrainMaxCoordinateOfSubviewAt(NSSplitView* splitView, CGFloat proposed,
                                                                      NSInteger index) override;
    std::optional<CGFloat> splitViewConstrainSplitPositionOfSubviewAt(NSSplitView* splitView, CGFloat proposed,
                                                                      NSInteger index) override;
    bool splitViewResizeSubviewsWithOldSize(NSSplitView* splitView, NSSize oldSize) override;
    std::optional<bool> splitViewCanCollapseSubview(NSSplitView* splitView, NSView* subview) override;
    std::optional<bool> splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(NSSplitView* splitView,
                                                                                     NSView* subview,
                                                                                     NSInteger index) override;
    std::optional<bool> splitViewShouldHideDividerAtIndex(NSSplitView* splitView, NSInteger index) override;
    std::optional<NSRect> splitViewEffectiveRectForDrawnRectOfDividerAtIndex(NSSplitView* splitView,
                                                                             const NSRect& proposedEffectiveRect,
                                                                             const NSRect& drawnRect,
                                                                             NSInteger index) override;

private:
    NSSplitViewDelegate* forwardee() const;

    bool m_isResizable = false;
    bool m_isAtBottom = false;
    bool m_handleIsRightAligned = false;
    int32_t m_selectedIndex = 0;
    Weak<NSObject> m_splitViewDelegate;
};
