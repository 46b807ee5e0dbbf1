#pragma once
// A slim bar of small square buttons along one edge of a pane: a light
// gradient, a one-point border line, separators between the items and an
// optional grip at one end from which the neighbouring divider is dragged.
// Items keep to the left or right (contentAlign 0) or are centred as one
// group (1); the layout runs again whenever the bar's bounds changed since
// the last one. Every colour is lightened while the window is not key.
#include <vector>

#include "AppKit/NSView.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarDraggingHandle.h"

class NSNotification;
class ZAKSplitView;
class ZAKSplitViewToolbarButton;

inline constexpr char ZAKToolbarItemsEnableNotification[] = "ToolbarItemsEnableNotification";
inline constexpr char ZAKToolbarItemsDisableNotification[] = "ToolbarItemsDisableNotification";

class ZAKSplitViewToolbar : public NSView {
    NS_OBJECT(ZAKSplitViewToolbar, NSView)
protected:
    ZAKSplitViewToolbar() = default;

public:
    // A zero frame, the defaults and observation of key-window changes.
    Id init() override;
    // The same for a bar from an interface file, keeping its frame.
    void awakeFromNib() override;

    // Sizes the item and adds it at origin (0, 0); the next layout places it.
    void addItem(const Ref<ZAKSplitViewToolbarButton>& item);
    void removeItem(const Ref<ZAKSplitViewToolbarButton>& item);
    // Removes every subview, the grip too.
    void removeAllItems();
    // Post "ToolbarItemsEnableNotification" / "...DisableNotification" for
    // the application's observers.
    void enable();
    void disable();

    bool drawDraggingButton() const { return m_shouldDrawDraggingButton; }
    // Shows the grip where it can drag a divider (any vertical split view;
    // a horizontal one only from a bar at the bottom) or removes it.
    void setDrawDraggingButton(bool flag);
    bool drawDraggingButtonOnRight() const { return m_drawDraggingButtonOnRight; }
    void setDrawDraggingButtonOnRight(bool flag);
    double height() const { return m_height; }
    // Items added later take it; nothing is laid out again.
    void setHeight(double height) { m_height = height; }
    // 1 bottom (the default), any other value top.
    int anchoredEdge() const { return m_anchoredEdge; }
    void setAnchoredEdge(int edge);
    bool isItemDelimiterEnabled() const { return m_itemDelimiterEnabled; }
    void setItemDelimiterEnabled(bool flag);
    int contentAlign() const { return m_contentAlign; }
    void setContentAlign(int align);

    // Whether the bar's pane is the last of its ZAKSplitView.
    bool isInLastSubview() const;
    // The divider the grip drags: the one before the last pane, else the one
    // after the bar's pane.
    NSInteger dividerIndexNearestToHandle() const;
    void recalculateItemPositions();
    bool containsSubView(const Ref<NSView>& view) const;
    void windowStatusChanged();
    void injectEnclosingSplitView(const Ref<NSNotification>& notification);

    const std::vector<Ref<NSView>>& items() const { return m_buttons; }
    const std::vector<double>& delimiterOffsets() const { return m_delimiterOffsets; }
    Ref<ZAKSplitViewToolbarDraggingHandle> draggingHandler() const { return m_draggingHandler; }

    void drawItemDelimiter();
    void drawRect(const NSRect& dirtyRect) override;

    static void describeClass(NSClassMembers<ZAKSplitViewToolbar>& m);

private:
    void commonConfiguration();
    bool windowIsKey() const;
    NSRect gripFrame() const;

    bool m_shouldDrawDraggingButton = false;
    bool m_drawDraggingButtonOnRight = true;
    double m_height = 24.0;
    int m_anchoredEdge = 0;
    bool m_itemDelimiterEnabled = true;
    int m_contentAlign = 0;
    NSRect m_previousToolbarRect;
    std::vector<double> m_delimiterOffsets;
    Weak<ZAKSplitView> m_enclosingSplitView;
    std::vector<Ref<NSView>> m_buttons;
    Ref<ZAKSplitViewToolbarDraggingHandle> m_draggingHandler;
};
