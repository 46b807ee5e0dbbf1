#pragma once
// The row of titles in the menu-bar window: the application's name (in bold,
// standing for the main menu's first item), the titles of the main menu's
// other items and, when the dock menu has no status icon to open from, a
// last "Dock" title. Each title is hit-tested and highlighted as a whole.
// The menu bar is made by the layer itself and never archived.
#include <vector>

#include "AppKit/NSMenu.h"
#include "AppKit/NSView.h"

class MenuBarView : public NSView {
    NS_OBJECT(MenuBarView, NSView)
protected:
    MenuBarView() = default;

public:
    static constexpr CGFloat kHeight = 24;
    static constexpr CGFloat kLeftMargin = 8;
    static constexpr CGFloat kTitlePadding = 9;
    static constexpr CGFloat kFontSize = 13;

    // One title: the main-menu item it opens, or none for the dock menu.
    struct Entry {
        Ref<NSString> title;
        Ref<NSMenuItem> item;
        bool bold = false;
        bool isDockMenu = false;
        NSRect rect;
    };

    // Takes the titles from the menu (nil: none) and lays them out.
    void reloadTitles(const Ref<NSMenu>& mainMenu, bool withDockMenu);
    const std::vector<Entry>& entries() const { return m_entries; }
    NSInteger numberOfTitles() const { return NSInteger(m_entries.size()); }
    // The title's rectangle in the view; NSZeroRect out of range.
    NSRect rectOfTitleAtIndex(NSInteger index) const;
    // The title under the point (view coordinates), or -1.
    NSInteger indexOfTitleAtPoint(NSPoint point) const;

    NSInteger highlightedIndex() const { return m_highlighted; }
    void setHighlightedIndex(NSInteger index);

    bool isOpaque() const override { return true; }
    bool acceptsFirstMouse(const Ref<NSEvent>&) override { return true; }
    bool mouseDownCanMoveWindow() const override { return false; }
    void drawRect(const NSRect& dirtyRect) override;
    // A press on a title opens its menu and tracks it.
    void mouseDown(const Ref<NSEvent>& event) override;

private:
    static Ref<NSDictionary> attributes(bool bold, bool lit);

    std::vector<Entry> m_entries;
    NSInteger m_highlighted = -1;
};
