#pragma once
// Menus: an ordered list of items, each perhaps holding a submenu. Items are
// enabled automatically each time a menu is shown or searched for a key
// equivalent (update): an item's target — the explicit one, or the
// responder-chain target of NSApp targetForAction — must answer the action,
// and validateMenuItem: may then refuse it; an item without an action is
// enabled only when it holds a submenu.
//
// Pop-up and context menus are real windows at the pop-up level, tracked in
// the event-tracking run-loop mode (MenuWindow). Headless callers can pick
// an item by its title path (pickItemWithTitlePath) through the same code a
// click runs.
//
// Keyed coding keys: NSTitle (string), NSNoAutoenable (bool), NSMenuItems
// (array of NSMenuItem).
#include <vector>

#include "AppKit/NSEvent.h"
#include "AppKit/NSMenuItem.h"
#include "Foundation/NSArray.h"

class NSView;

class NSMenu : public NSObject, public NSCoding {
    NS_OBJECT(NSMenu, NSObject)
protected:
    NSMenu() = default;

public:
    ~NSMenu() override;

    Ref<NSMenu> initWithTitle(const Ref<NSString>& title);
    Id init() override { return initWithTitle(""_ns); }
    static Ref<NSMenu> menuWithTitle(const Ref<NSString>& title);

    Ref<NSString> title() const { return m_title; }
    void setTitle(const Ref<NSString>& title) { m_title = title ? title : ""_ns; }
    // The menu whose item holds this one (not retained).
    Ref<NSMenu> supermenu() const { return m_supermenu.get(); }
    void setSupermenu(const Ref<NSMenu>& menu) { m_supermenu = menu; }
    bool autoenablesItems() const { return m_autoenables; }
    void setAutoenablesItems(bool flag) { m_autoenables = flag; }
    // The width the menu never draws narrower than (a pop-up button's menu
    // is at least as wide as the button).
    CGFloat minimumWidth() const { return m_minimumWidth; }
    void setMinimumWidth(CGFloat width) { m_minimumWidth = width > 0 ? width : 0; }

    // --- Items ---
    // An item belongs to one menu at a time: adding one that is in another
    // menu raises NSInternalInconsistencyException.
    void addItem(const Ref<NSMenuItem>& item);
    Ref<NSMenuItem> addItemWithTitle(const Ref<NSString>& title, const SEL& action, const Ref<NSString>& keyEquivalent);
    // index 0 ... numberOfItems; out of range raises NSRangeException.
    void insertItem(const Ref<NSMenuItem>& item, NSInteger index);
    void removeItemAtIndex(NSInteger index);
    void removeItem(const Ref<NSMenuItem>& item);
    void removeAllItems();
    NSInteger numberOfItems() const { return NSInteger(m_items.size()); }
    Ref<NSArray> itemArray() const;
    const std::vector<Ref<NSMenuItem>>& items() const { return m_items; }
    // Raises NSRangeException out of range.
    Ref<NSMenuItem> itemAtIndex(NSInteger index) const;
    // -1 when absent.
    NSInteger indexOfItem(const Ref<NSMenuItem>& item) const;
    NSInteger indexOfItemWithTitle(const Ref<NSString>& title) const;
    NSInteger indexOfItemWithTag(NSInteger tag) const;
    NSInteger indexOfItemWithSubmenu(const Ref<NSMenu>& submenu) const;
    NSInteger indexOfItemWithRepresentedObject(const Id& object) const;
    Ref<NSMenuItem> itemWithTitle(const Ref<NSString>& title) const;
    Ref<NSMenuItem> itemWithTag(NSInteger tag) const;
    void setSubmenu(const Ref<NSMenu>& submenu, const Ref<NSMenuItem>& item);

    // --- Enabling and actions ---
    // Enables the items as described above (only when autoenablesItems).
    void update();
    // Sends the item's action to its target (nil: the responder chain).
    void performActionForItemAtIndex(NSInteger index);
    // Searches the menu and its submenus for an enabled item whose key
    // equivalent and modifiers match the key-down; sends its action and
    // answers YES when one matched.
    bool performKeyEquivalent(const Ref<NSEvent>& event);

    // Makes the main menu hear the key-downs that the key window's views
    // declined; done when the library loads (a test that replaced the
    // application's hook puts it back with this).
    static void installKeyEquivalentHandler();

    // --- Showing ---
    // Opens the menu as a pop-up window with `item` placed at `location`
    // (in `view`'s coordinates, or screen coordinates for a nil view) and
    // tracks the mouse and keys until an item is chosen or the menu is
    // dismissed; answers whether an item was chosen.
    bool popUpMenuPositioningItem(const Ref<NSMenuItem>& item, NSPoint location, const Ref<NSView>& view);
    // Opens the menu at the event's location.
    static void popUpContextMenu(const Ref<NSMenu>& menu, const Ref<NSEvent>& event, const Ref<NSView>& view);
    // Opens the menu headless and picks the item at the path of titles
    // separated by "/" ("File/Open"), validating each menu on the way as
    // showing it would; answers whether the item's action was sent (NO for
    // a missing or disabled item).
    bool pickItemWithTitlePath(const Ref<NSString>& path);
    // What choosing an item with a click does: the item must be enabled and
    // hold no submenu; then its action is sent. Answers whether it was.
    bool chooseItemAtIndex(NSInteger index);

    // NSApp's main menu, or nil.
    static Ref<NSMenu> mainMenu();
    static void setMainMenu(const Ref<NSMenu>& menu);
    // Shows the dock menu headless: asks the application delegate's
    // applicationDockMenu: (each time, as the platform does), updates the
    // menu and answers it (nil when the delegate gives none).
    static Ref<NSMenu> showDockMenu();

    // A deep copy: the title, the autoenabling flag and a copy of each item
    // (submenus included).
    Id copy() const override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    Ref<NSString> m_title;
    std::vector<Ref<NSMenuItem>> m_items;
    Weak<NSMenu> m_supermenu;
    bool m_autoenables = false;
    CGFloat m_minimumWidth = 0;
};
