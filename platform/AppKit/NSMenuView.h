#pragma once
// Draws a menu's items in a pop-up menu window, top to bottom, and maps
// points to item indexes. Flipped: item 0 is at the top.
#include "AppKit/NSMenu.h"
#include "AppKit/NSView.h"

class NSMenuView : public NSView {
    NS_OBJECT(NSMenuView, NSView)
public:
    NSMenuView() = default;

    static constexpr CGFloat kItemHeight = 20;
    static constexpr CGFloat kSeparatorHeight = 9;
    static constexpr CGFloat kMargin = 4;
    static constexpr CGFloat kWidth = 180;

    Ref<NSMenuView> initWithMenu(const Ref<NSMenu>& menu);
    Ref<NSMenu> menu() const { return m_menu; }

    // The size that shows every item.
    NSSize fittingSize() const;
    // The item's rectangle in the view.
    NSRect rectOfItemAtIndex(NSInteger index) const;
    // The item under the point (view coordinates), or -1.
    NSInteger indexOfItemAtPoint(NSPoint point) const;

    NSInteger highlightedIndex() const { return m_highlighted; }
    void setHighlightedIndex(NSInteger index);

    bool isFlipped() const override { return true; }
    bool isOpaque() const override { return true; }
    void drawRect(const NSRect& dirtyRect) override;

private:
    Ref<NSMenu> m_menu;
    NSInteger m_highlighted = -1;
};
