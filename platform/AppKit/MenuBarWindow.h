#pragma once
// The menu bar of a desktop that has none of its own (X11): a borderless
// strip at the main-menu level across the top of the main screen, shown
// while the window server asks for one (wantsMenuBarWindow) and NSApp has a
// main menu; made or updated when the main menu is set and when the
// application finishes launching.
//
// Mouse: a press on a title opens its menu below it as a pop-up menu window;
// moving over the other titles while a menu is open switches menus; a
// release on an enabled item (after a drag, or a click inside the menu)
// chooses it; a press outside the bar and the menus dismisses.
// Keyboard: F10 on a key window of the application, once the window's views
// have declined it as a key equivalent, opens the first menu with no item
// highlighted; Left and Right move between menus (Right enters a
// highlighted submenu, Left leaves one), Up and Down move between the
// enabled items, Return, Enter and Space choose, Escape or F10 close. The
// menu bar never becomes key, so the key window keeps the focus throughout.
// Choosing sends the item's action as NSMenu does: the menu was validated
// when it opened, and disabled items cannot be chosen.
//
// The dock menu: when the window server puts up a status icon for it
// (showDockIcon), the icon's click opens it as a context menu
// (popUpDockMenu); otherwise the bar ends with a "Dock" menu. Either way the
// delegate's applicationDockMenu: is asked each time the menu opens.
#include "AppKit/MenuBarView.h"
#include "AppKit/MenuWindow.h"
#include "AppKit/NSWindow.h"

class MenuBarWindow : public NSWindow {
    NS_OBJECT(MenuBarWindow, NSWindow)
protected:
    MenuBarWindow() = default;

public:
    // The menu bar on screen, or nil.
    static Ref<MenuBarWindow> shared();
    // Shows, updates or removes the menu bar as described above.
    static void synchronize();
    // F10 (no Shift, Control, Option or Command) while a window is key:
    // opens the first menu for the keyboard and answers YES.
    static bool handleKeyDown(const Ref<NSEvent>& event);
    // The status icon's click: asks the delegate for the dock menu and
    // opens it as a context menu at the screen point; answers whether an
    // item was chosen.
    static bool popUpDockMenu(NSPoint screenPoint);

    // A bar of the frame (the top strip of the main screen).
    Ref<MenuBarWindow> initWithFrame(const NSRect& frame);
    Ref<MenuBarView> menuBarView() const { return m_barView; }

    // Opens the title's menu and tracks mouse and keys until an item is
    // chosen (its action sent) or the menus are dismissed; answers whether
    // an item was chosen.
    bool trackFromTitle(NSInteger index);
    // The menu the title opens, validated; for the dock menu the delegate
    // is asked again. Nil when there is none.
    Ref<NSMenu> menuForTitle(NSInteger index) const;

    bool canBecomeKeyWindow() const override { return false; }
    bool canBecomeMainWindow() const override { return false; }

private:
    Ref<MenuBarView> m_barView;
};
