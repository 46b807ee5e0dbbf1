#pragma once
// A platform split view whose panes (ZAKSplitSubview) collapse and expand
// by program or by a button: collapsing moves a divider to its extreme
// position, taking the room towards the sibling the pane names; expanding
// moves it back to the pane's remembered edge.
#include "AppKit/NSSplitView.h"

class ZAKSplitSubview;

class ZAKSplitView : public NSSplitView {
    NS_OBJECT(ZAKSplitView, NSSplitView)
protected:
    ZAKSplitView() = default;

public:
    // Dividers beside collapsed panes are hidden.
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    // Decoding sets nothing of this class: the flag stays NO.
    Id initWithCoder(NSCoder* coder) override;

    // Both do nothing when the split view's delegate answers NO to
    // splitView:canCollapseSubview: for the pane.
    void collapseSubview(const Ref<ZAKSplitSubview>& subview);
    void expandSubview(const Ref<ZAKSplitSubview>& subview);

    bool hideDividersOfCollapsedSubviews() const { return m_hideDividersOfCollapsedSubviews; }
    void setHideDividersOfCollapsedSubviews(bool flag) { m_hideDividersOfCollapsedSubviews = flag; }

    static void describeClass(NSClassMembers<ZAKSplitView>& m);

private:
    bool vetoed(const Ref<ZAKSplitSubview>& subview);
    // The pane's index and its sibling's (past every index when none).
    std::pair<NSInteger, NSInteger> indexes(const Ref<ZAKSplitSubview>& subview) const;

    bool m_hideDividersOfCollapsedSubviews = false;
};
