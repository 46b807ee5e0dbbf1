#pragma once
// A pane of a ZAKSplitView with its own layout settings: whether it may
// collapse, its minimum extent, whether it takes part when the split view
// changes size and which sibling takes its room. It asks the split view
// whether it is collapsed, and can carry a toolbar along its bottom edge.
#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbar.h"

class ZAKSplitView;

class ZAKSplitSubview : public NSView, public NSCoding {
    NS_OBJECT(ZAKSplitSubview, NSView)
protected:
    ZAKSplitSubview() = default;

public:
    ~ZAKSplitSubview() override;

    Ref<NSView> initWithFrame(const NSRect& frame) override;

    // NO outside a ZAKSplitView.
    bool isCollapsed() const;
    // Asks the enclosing ZAKSplitView to collapse or expand the pane.
    void setIsCollapsed(bool collapsed);
    // The sibling before (mode 0) or after (mode 1) the pane, nil otherwise.
    Ref<NSView> splitSubviewToExpand() const;
    // The action of collapse buttons and menu items: beeps for a pane that
    // may not collapse.
    void toggleCollapse(const Id& sender);
    // Adds a toolbar along the bottom edge, shortening the last subview from
    // below to make room.
    void installToolbar();

    bool isCollapsible() const { return m_isCollapsible; }
    void setIsCollapsible(bool flag) { m_isCollapsible = flag; }
    bool resizesWithSplitView() const { return m_resizesWithSplitView; }
    void setResizesWithSplitView(bool flag) { m_resizesWithSplitView = flag; }
    NSInteger siblingResizeMode() const { return m_siblingResizeMode; }
    void setSiblingResizeMode(NSInteger mode) { m_siblingResizeMode = mode; }
    double minSize() const { return m_minSize; }
    void setMinSize(double size) { m_minSize = size; }
    // Stored for the owner; nothing here limits the pane by it.
    double maxSize() const { return m_maxSize; }
    void setMaxSize(double size) { m_maxSize = size; }
    Ref<ZAKSplitViewToolbar> toolbar() const;
    void setToolbar(const Ref<ZAKSplitViewToolbar>& toolbar);

    // Transparent.
    void drawRect(const NSRect&) override { }

    // Only the view's own keys: decoded panes start with every setting zero.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<ZAKSplitSubview>& m);

private:
    Ref<ZAKSplitView> splitView() const;

    bool m_resizesWithSplitView = false;
    bool m_isCollapsible = false;
    NSInteger m_siblingResizeMode = 0;
    double m_minSize = 0;
    double m_maxSize = 0;
    Ref<ZAKSplitViewToolbar> m_toolbar;
};
