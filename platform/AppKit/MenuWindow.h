#pragma once
// The window of a pop-up or context menu: borderless, at the pop-up menu
// level (above status-level overlays), holding an MenuView. trackMenu runs
// the menu's tracking loop in the event-tracking run-loop mode:
// - the pointer highlights items; resting on an item with a submenu opens
//   the submenu (validated first) beside it;
// - a mouse-up on an enabled item chooses it (the mouse-up of the click that
//   opened the menu chooses only after the pointer was dragged);
// - a mouse-down outside every menu window or Escape dismisses;
// - Up and Down move the highlight over the enabled items of the innermost
//   menu, Right opens the highlighted submenu, Left closes the innermost
//   one, Return, Enter and Space choose the highlighted item.
#include <vector>

#include "AppKit/MenuView.h"
#include "AppKit/NSWindow.h"

class MenuWindow : public NSWindow {
    NS_OBJECT(MenuWindow, NSWindow)
protected:
    MenuWindow() = default;

public:
    // A window whose item `index` (or the top edge, for -1) is at the screen
    // point, kept on the main screen when one exists.
    Ref<MenuWindow> initWithMenu(const Ref<NSMenu>& menu, NSInteger index, NSPoint screenPoint);
    // A submenu's window beside item `index` of the parent menu window, on
    // the side the cascade goes.
    Ref<MenuWindow> initWithSubmenu(const Ref<NSMenu>& submenu, const Ref<MenuWindow>& parent, NSInteger index);
    // A menu bar menu's window below its title (a screen rectangle).
    Ref<MenuWindow> initWithMenuBelowTitle(const Ref<NSMenu>& menu, const NSRect& titleRect);
    Ref<MenuView> menuView() const { return m_menuView; }

    // What tracking chose: an item of the menu or of one of its submenus.
    struct Choice {
        Ref<NSMenu> menu;  // nil when dismissed
        NSInteger index = -1;
    };
    // Shows the (already validated) menu and tracks it until an item is
    // chosen or the menu is dismissed.
    static Choice trackMenu(const Ref<NSMenu>& menu, NSInteger index, NSPoint screenPoint);

    // The item under a screen point, or -1.
    NSInteger itemAtScreenPoint(NSPoint point) const;
    // The next enabled item from the highlighted one in the direction.
    NSInteger nextEnabledItem(int direction) const;

private:
    Ref<MenuView> m_menuView;
    bool m_leftward = false;  // opened left of its parent

    // The window around m_menuView with its origin at the point.
    Ref<MenuWindow> initAtOrigin(NSPoint origin);
};
