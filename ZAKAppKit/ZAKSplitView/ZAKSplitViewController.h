#pragma once
// The delegate of a ZAKSplitView whose panes are ZAKSplitSubview objects:
// answers the split view's questions from the panes' settings, unless its
// own delegate answers first (which never decides which panes adjust).
#include "AppKit/NSSplitViewDelegate.h"
#include "AppKit/NSViewController.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewControllerDelegate.h"

class ZAKSplitViewController : public NSViewController, public NSSplitViewDelegate {
    NS_OBJECT(ZAKSplitViewController, NSViewController)
protected:
    ZAKSplitViewController() = default;

public:
    // Not retained.
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

    // The pane's isCollapsible.
    std::optional<bool> splitViewCanCollapseSubview(NSSplitView* splitView, NSView* subview) override;
    // The split view's hideDividersOfCollapsedSubviews.
    std::optional<bool> splitViewShouldHideDividerAtIndex(NSSplitView* splitView, NSInteger dividerIndex) override;
    // The proposed coordinate plus the minSize of the pane at the index.
    std::optional<CGFloat> splitViewConstrainMinCoordinateOfSubviewAt(NSSplitView* splitView, CGFloat proposed,
                                                                      NSInteger dividerIndex) override;
    // Minus the minSize of the pane after the divider, or of the pane at
    // the index when that one has none.
    std::optional<CGFloat> splitViewConstrainMaxCoordinateOfSubviewAt(NSSplitView* splitView, CGFloat proposed,
                                                                      NSInteger dividerIndex) override;
    // adjustSubviews.
    bool splitViewResizeSubviewsWithOldSize(NSSplitView* splitView, NSSize oldSize) override;
    // The grip of a pane toolbar next to the divider, else the zero
    // rectangle.
    std::optional<NSRect> splitViewAdditionalEffectiveRectOfDividerAtIndex(NSSplitView* splitView,
                                                                           NSInteger dividerIndex) override;
    // The pane's resizesWithSplitView, always.
    std::optional<bool> splitViewShouldAdjustSizeOfSubview(NSSplitView* splitView, NSView* subview) override;

private:
    ZAKSplitViewControllerDelegate* delegateProtocol() const;
    static double minSizeAt(NSSplitView* splitView, NSInteger index);

    Weak<NSObject> m_delegate;
};
