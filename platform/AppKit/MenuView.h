#pragma once
// Draws a menu's items in a pop-up menu window, top to bottom, and maps
// points to item indexes. Flipped: item 0 is at the top.
//
// Each row has a state column (check mark or dash), the title, and on the
// right either the key equivalent ("⇧⌘N") or, for an item with a submenu,
// a small right-pointing triangle. The menu is as wide as its widest row,
// and never narrower than kMinWidth.
#include "AppKit/NSMenu.h"
#include "AppKit/NSView.h"

class MenuView : public NSView {
    NS_OBJECT(MenuView, NSView)
protected:
    MenuView() = default;

public:
    static constexpr CGFloat kItemHeight = 20;
    static constexpr CGFloat kSeparatorHeight = 9;
    static constexpr CGFloat kMargin = 4;
    static constexpr CGFloat kMinWidth = 120;
    static constexpr CGFloat kFontSize = 13;
    // Where titles start; the state mark sits left of it.
    static constexpr CGFloat kTitleLeft = 20;
    // Between a title and its key equivalent or submenu arrow.
    static constexpr CGFloat kRightGap = 24;
    // Between the key equivalent or arrow and the menu's right edge.
    static constexpr CGFloat kRightMargin = 14;
    static constexpr CGFloat kArrowWidth = 5;
    static constexpr CGFloat kArrowHeight = 9;

    Ref<MenuView> initWithMenu(const Ref<NSMenu>& menu);
    Ref<NSMenu> menu() const { return m_menu; }

    // The key equivalent as the menu shows it: the modifier glyphs in the
    // platform's order (⌃⌥⇧⌘) then the key, letters in capitals (a capital
    // letter implies Shift), special keys as their glyphs; nil for none.
    static Ref<NSString> keyEquivalentText(const Ref<NSMenuItem>& item);

    // The size that shows every item whole.
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
    // The width the item's row needs.
    static CGFloat widthOfItem(const Ref<NSMenuItem>& item);
    static Ref<NSDictionary> attributes(CGFloat grey);

    Ref<NSMenu> m_menu;
    NSInteger m_highlighted = -1;
};
