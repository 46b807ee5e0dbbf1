#pragma once
// What a split view tells its owner and lets it steer. Every method is
// optional: the defaults mean "not implemented" (nullopt, or nothing), and
// the split view then uses its own answer. The delegate is not retained.
#include <optional>

#include "AppKit/NSEvent.h"
#include "Foundation/NSGeometry.h"

class QXSplitView;
class QXSplitSubview;

class QXSplitViewDelegate {
public:
    virtual ~QXSplitViewDelegate() = default;

    // splitView:canCollapse: — asked whenever a pane's canCollapse is, once
    // the split view shows at least two panes.
    virtual std::optional<bool> splitViewCanCollapse(QXSplitView*, QXSplitSubview*) { return std::nullopt; }
    // splitView:willDrawSubview:inRect: — after the pane's background fill.
    virtual void splitViewWillDrawSubviewInRect(QXSplitView*, QXSplitSubview*, const NSRect&) { }
    // splitView:dividerForPoint:inSubview: — the divider a mouse-down at the
    // point (split view coordinates) inside the pane drags, or NSNotFound.
    virtual std::optional<NSUInteger> splitViewDividerForPointInSubview(QXSplitView*, NSPoint, QXSplitSubview*)
    {
        return std::nullopt;
    }
    // splitView:willAnimateSubview:withDimension: — the animation's length in
    // seconds; 0 turns animation off.
    virtual std::optional<double> splitViewWillAnimateSubviewWithDimension(QXSplitView*, QXSplitSubview*, double)
    {
        return std::nullopt;
    }
    virtual void splitViewDidCollapse(QXSplitView*, QXSplitSubview*) { }
    virtual void splitViewDidExpand(QXSplitView*, QXSplitSubview*) { }
    // splitView:changedFrameOfSubview:from:to: — answers YES when the
    // delegate takes these notices; the default (not implemented) answers NO.
    virtual bool splitViewChangedFrameOfSubviewFromTo(QXSplitView*, QXSplitSubview*, const NSRect&, const NSRect&)
    {
        return false;
    }
    // splitView:wasResizedFrom:to: — the lengths along the split axis.
    virtual void splitViewWasResizedFromTo(QXSplitView*, double, double) { }
    // splitView:shouldHandleEvent:inDivider:betweenView:andView:
    virtual std::optional<bool> splitViewShouldHandleEventInDividerBetweenViewAndView(QXSplitView*, const Ref<NSEvent>&,
                                                                                      NSUInteger, QXSplitSubview*,
                                                                                      QXSplitSubview*)
    {
        return std::nullopt;
    }
    // splitView:collapseLeading:orTrailing: — the pane a double-click
    // collapses.
    virtual std::optional<QXSplitSubview*> splitViewCollapseLeadingOrTrailing(QXSplitView*, QXSplitSubview*,
                                                                              QXSplitSubview*)
    {
        return std::nullopt;
    }
    // splitView:willDrawDividerInRect:betweenView:andView:withProposedRect: —
    // where the divider image goes.
    virtual std::optional<NSRect> splitViewWillDrawDividerInRectBetweenViewAndViewWithProposedRect(
        QXSplitView*, const NSRect&, QXSplitSubview*, QXSplitSubview*, const NSRect&)
    {
        return std::nullopt;
    }
    // splitView:cursorRect:forDivider:
    virtual std::optional<NSRect> splitViewCursorRectForDivider(QXSplitView*, const NSRect&, NSUInteger)
    {
        return std::nullopt;
    }
    // splitView:shouldResizeWindowForDivider:betweenView:andView:willGrow:
    virtual std::optional<bool> splitViewShouldResizeWindowForDividerBetweenViewAndViewWillGrow(QXSplitView*,
                                                                                                NSUInteger,
                                                                                                QXSplitSubview*,
                                                                                                QXSplitSubview*, bool)
    {
        return std::nullopt;
    }
    virtual void willAdjustSubviews(QXSplitView*) { }
    virtual void didAdjustSubviews(QXSplitView*) { }
};
