#pragma once
// The cell of pop-up buttons: a menu of items (NSMenuItem: title, tag,
// represented object, enabled) with one selected; the button shows the
// selected item's title (a pull-down shows its first item as a fixed title)
// and a click pops the menu up with the selected item over the button (a
// pull-down's items 1... below it) to choose another item. The menu does not
// enable its items automatically unless asked; choosing an item selects it,
// then the item's own action goes to its target when it has one, else the
// control sends its action. Every selection, by click, key or code, goes
// through selectItemAtIndex, which subclasses override to refuse items.
//
// Keyed-coding keys (after NSButtonCell's): NSMenu, NSSelectedIndex,
// NSPullDown, NSAltersState, NSArrowPosition, NSUsesItemFromMenu, NSMenuItem; a file without NSMenu may list the items as
// NSPopUpItems (titles, or dictionaries with NSTitle, NSTag,
// NSRepresentedObject, NSEnabled).
#include "AppKit/NSButtonCell.h"
#include "AppKit/NSMenu.h"

enum NSPopUpArrowPosition : NSUInteger { NSPopUpNoArrow = 0, NSPopUpArrowAtCenter = 1, NSPopUpArrowAtBottom = 2 };

class NSPopUpButtonCell : public NSButtonCell {
    NS_OBJECT(NSPopUpButtonCell, NSButtonCell)
protected:
    NSPopUpButtonCell() = default;

public:
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;
    // initTextCell:pullsDown:
    virtual Ref<NSPopUpButtonCell> initTextCell(const Ref<NSString>& text, bool pullsDown);

    bool pullsDown() const { return m_pullsDown; }
    void setPullsDown(bool flag);
    bool altersStateOfSelectedItem() const { return m_altersState; }
    void setAltersStateOfSelectedItem(bool flag) { m_altersState = flag; }
    NSPopUpArrowPosition arrowPosition() const { return m_arrowPosition; }
    void setArrowPosition(NSPopUpArrowPosition position)
    {
        m_arrowPosition = position;
        redisplay();
    }
    // The item whose title and image the button shows: with usesItemFromMenu
    // (the default) the selected item (a pull-down's first item), otherwise
    // the menu item set here, which need not be in the menu.
    bool usesItemFromMenu() const { return m_usesItemFromMenu; }
    void setUsesItemFromMenu(bool flag)
    {
        m_usesItemFromMenu = flag;
        redisplay();
    }
    Ref<NSMenuItem> menuItem() const;
    void setMenuItem(const Ref<NSMenuItem>& item)
    {
        m_menuItem = item;
        redisplay();
    }

    // --- Menu and items ---
    Ref<NSMenu> menu() const override { return m_menu; }
    // A nil menu means an empty one.
    void setMenu(const Ref<NSMenu>& menu) override;
    bool autoenablesItems() const { return m_menu->autoenablesItems(); }
    void setAutoenablesItems(bool flag) { m_menu->setAutoenablesItems(flag); }
    NSInteger numberOfItems() const { return m_menu->numberOfItems(); }
    Ref<NSArray> itemArray() const { return m_menu->itemArray(); }
    // nil out of range.
    Ref<NSMenuItem> itemAtIndex(NSInteger index) const;
    Ref<NSMenuItem> itemWithTitle(const Ref<NSString>& title) const { return m_menu->itemWithTitle(title); }
    Ref<NSMenuItem> lastItem() const { return itemAtIndex(numberOfItems() - 1); }
    NSInteger indexOfItem(const Ref<NSMenuItem>& item) const { return m_menu->indexOfItem(item); }
    Ref<NSArray> itemTitles() const;
    // Titles are unique: adding an existing title moves it to the new place.
    void addItemWithTitle(const Ref<NSString>& title);
    void addItemsWithTitles(const Ref<NSArray>& titles);
    void insertItemWithTitle(const Ref<NSString>& title, NSInteger index);
    void removeItemWithTitle(const Ref<NSString>& title);
    void removeItemAtIndex(NSInteger index);
    void removeAllItems();
    Ref<NSString> itemTitleAtIndex(NSInteger index) const;
    NSInteger indexOfItemWithTitle(const Ref<NSString>& title) const;
    NSInteger indexOfItemWithTag(NSInteger tag) const;
    NSInteger indexOfItemWithRepresentedObject(const Id& object) const;
    NSInteger tagOfItemAtIndex(NSInteger index) const;
    void setTagOfItemAtIndex(NSInteger tag, NSInteger index);
    Id representedObjectOfItemAtIndex(NSInteger index) const;
    void setRepresentedObjectOfItemAtIndex(const Id& object, NSInteger index);
    bool isItemEnabledAtIndex(NSInteger index) const;
    void setItemEnabledAtIndex(bool flag, NSInteger index);

    // --- Selection (-1: none) ---
    NSInteger indexOfSelectedItem() const;
    Ref<NSMenuItem> selectedItem() const;
    void selectItem(const Ref<NSMenuItem>& item);
    virtual void selectItemAtIndex(NSInteger index);
    bool selectItemWithTitle(const Ref<NSString>& title);
    bool selectItemWithTag(NSInteger tag);
    Ref<NSString> titleOfSelectedItem() const;
    // The title shown: the selected item's (the first item's for a pull-down).
    Ref<NSString> title() const override;
    void setTitle(const Ref<NSString>& title) override;
    Id objectValue() const override;
    void setObjectValue(const Id& value) override;
    Ref<NSString> stringValue() const override { return titleOfSelectedItem(); }
    NSInteger integerValue() const override { return indexOfSelectedItem(); }
    double doubleValue() const override { return double(indexOfSelectedItem()); }
    void setIntegerValue(NSInteger v) override { selectItemAtIndex(v); }

    // Drops the list down over the frame (a pull-down's items below it) of
    // any view, selects what the user chooses and sends the cell's action,
    // unless the chosen item sent its own (performClickWithFrame:inView:);
    // answers whether an item was chosen.
    bool performClickWithFrame(const NSRect& frame, const Ref<NSView>& controlView);
    bool trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                    bool untilMouseUp) override;
    void didClickInside() override { }

    NSSize cellSizeForBounds(const NSRect& bounds) const override;
    NSRect titleRectForBounds(const NSRect& bounds) const override;
    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    void drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    // The border and background (bordered cells only), then the arrows.
    void drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
    // The bezel and the arrows of a bordered cell.
    virtual void drawBorderAndBackgroundWithFrame(const NSRect& frame, const Ref<NSView>& controlView);
    // The selected item's image (else the cell's) in imageRectForBounds.
    virtual void drawImageWithFrame(const NSRect& frame, const Ref<NSView>& controlView);

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    void drawArrowsWithFrame(const NSRect& frame, const Ref<NSView>& controlView);
    bool valid(NSInteger index) const { return index >= 0 && index < numberOfItems(); }
    void setSelectedItem(const Ref<NSMenuItem>& item);
    // Selects the chosen item; answers whether the control's action is due
    // (not when the item sent an action of its own).
    bool choose(NSInteger index);
    bool runList(const NSRect& frame, const Ref<NSView>& controlView, const Ref<NSEvent>& event);

    Ref<NSMenuItem> m_selected;
    bool m_pullsDown = false;
    bool m_altersState = true;
    NSPopUpArrowPosition m_arrowPosition = NSPopUpArrowAtCenter;
    bool m_usesItemFromMenu = true;
    Ref<NSMenuItem> m_menuItem;
};
