#pragma once
// The action (gear) menu of a button bar: owns a menu and pops it up as a
// context menu at the centre of a view.
#include "AppKit/NSMenu.h"
#include "AppKit/NSView.h"

class ZAKActionContextMenu : public NSObject {
    NS_OBJECT(ZAKActionContextMenu, NSObject)
protected:
    ZAKActionContextMenu() = default;

public:
    // Starts with an empty menu.
    Id init() override;

    void addMenuItem(const Ref<NSMenuItem>& item);
    void addSeparatorItem();
    void removeAllItems();

    // A copy each time: changing it leaves the owned menu as it is.
    Ref<NSMenu> menu() const;
    // Takes the menu itself, not a copy.
    void setMenu(const Ref<NSMenu>& menu) { m_menu = menu; }

    // Pops the menu at the centre of the view's frame.
    void showContextMenuForView(const Ref<NSView>& view);
    // Pops the menu as a right click at the point (window coordinates) in
    // the view's window would.
    virtual void showContextMenuForViewAtWindowPosition(const Ref<NSView>& view, NSPoint position);

private:
    Ref<NSMenu> m_menu;
};
