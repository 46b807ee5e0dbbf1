#pragma once
// What a split view asks its delegate. Every method is optional: the
// defaults mean "not implemented" (nullopt, or NO for the resize hook) and
// the split view then uses its own answer. The delegate is not retained.
#include <optional>

#include "Foundation/NSGeometry.h"

class NSSplitView;
class NSView;

class NSSplitViewDelegate {
public:
    virtual ~NSSplitViewDelegate() = default;

    // splitView:canCollapseSubview: — whether dragging a divider far enough
    // (or a collapse by program) may collapse the pane.
    virtual std::optional<bool> splitViewCanCollapseSubview(NSSplitView*, NSView*) { return std::nullopt; }
    // splitView:shouldCollapseSubview:forDoubleClickOnDividerAtIndex:
    virtual std::optional<bool> splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(NSSplitView*, NSView*,
                                                                                             NSInteger)
    {
        return std::nullopt;
    }
    // splitView:shouldHideDividerAtIndex: — asked only for a divider beside a
    // collapsed pane; a hidden divider takes no room, is not drawn and
    // cannot be dragged.
    virtual std::optional<bool> splitViewShouldHideDividerAtIndex(NSSplitView*, NSInteger) { return std::nullopt; }
    // splitView:constrainMinCoordinate:ofSubviewAt: and the max form: the
    // divider's limits, given the extreme positions the panes allow.
    virtual std::optional<CGFloat> splitViewConstrainMinCoordinateOfSubviewAt(NSSplitView*, CGFloat, NSInteger)
    {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> splitViewConstrainMaxCoordinateOfSubviewAt(NSSplitView*, CGFloat, NSInteger)
    {
        return std::nullopt;
    }
    // splitView:constrainSplitPosition:ofSubviewAt: — the position asked for,
    // before the limits apply.
    virtual std::optional<CGFloat> splitViewConstrainSplitPositionOfSubviewAt(NSSplitView*, CGFloat, NSInteger)
    {
        return std::nullopt;
    }
    // splitView:resizeSubviewsWithOldSize: — answers YES when the delegate
    // laid the panes out itself after the split view changed size.
    virtual bool splitViewResizeSubviewsWithOldSize(NSSplitView*, NSSize) { return false; }
    // splitView:shouldAdjustSizeOfSubview: — whether the pane takes part in
    // absorbing a change of the split view's size.
    virtual std::optional<bool> splitViewShouldAdjustSizeOfSubview(NSSplitView*, NSView*) { return std::nullopt; }
    // splitView:additionalEffectiveRectOfDividerAtIndex: — one more area (in
    // the split view's coordinates) from which the divider can be dragged.
    virtual std::optional<NSRect> splitViewAdditionalEffectiveRectOfDividerAtIndex(NSSplitView*, NSInteger)
    {
        return std::nullopt;
    }
    // splitView:effectiveRect:forDrawnRect:ofDividerAtIndex: — the grab area
    // of the divider drawn in the second rectangle.
    virtual std::optional<NSRect> splitViewEffectiveRectForDrawnRectOfDividerAtIndex(NSSplitView*, const NSRect&,
                                                                                     const NSRect&, NSInteger)
    {
        return std::nullopt;
    }
};
