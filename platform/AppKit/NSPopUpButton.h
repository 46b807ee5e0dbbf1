#pragma once
// Pop-up buttons over an NSPopUpButtonCell: a click pops the menu up, a
// choice selects the item and sends the button's action.
#include "AppKit/NSButton.h"
#include "AppKit/NSPopUpButtonCell.h"

class NSPopUpButton : public NSButton {
    NS_OBJECT(NSPopUpButton, NSButton)
protected:
    NSPopUpButton() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }
    Ref<NSView> initWithFrame(const NSRect& frame) override { return initWithFrame(frame, false); }
    // initWithFrame:pullsDown:
    Ref<NSPopUpButton> initWithFrame(const NSRect& frame, bool pullsDown);

    Ref<NSPopUpButtonCell> popUpCell() const { return dynamic_ref_cast<NSPopUpButtonCell>(m_cell); }

    Ref<NSMenu> menu() const;
    void setMenu(const Ref<NSMenu>& menu);
    Ref<NSArray> itemArray() const;
    Ref<NSMenuItem> itemAtIndex(NSInteger index) const;
    Ref<NSMenuItem> itemWithTitle(const Ref<NSString>& title) const;
    Ref<NSMenuItem> lastItem() const;
    Ref<NSMenuItem> selectedItem() const;
    void selectItem(const Ref<NSMenuItem>& item);
    NSInteger indexOfItem(const Ref<NSMenuItem>& item) const;
    bool pullsDown() const;
    void setPullsDown(bool flag);
    NSInteger numberOfItems() const;
    Ref<NSArray> itemTitles() const;
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
    NSInteger indexOfSelectedItem() const;
    Ref<NSString> titleOfSelectedItem() const;
    // The selected item's tag (-1 with none).
    NSInteger selectedTag() const override;
    void selectItemAtIndex(NSInteger index);
    bool selectItemWithTitle(const Ref<NSString>& title);
    bool selectItemWithTag(NSInteger tag);
    void setTitle(const Ref<NSString>& title);
    bool autoenablesItems() const;
    void setAutoenablesItems(bool flag);

    static void describeClass(NSClassMembers<NSPopUpButton>& m);
};
