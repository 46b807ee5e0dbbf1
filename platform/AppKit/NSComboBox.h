#pragma once
// Combo boxes: an editable text field with a list of items to choose from
// (NSComboBoxCell). Typing edits the text as in any text field; a click on
// the button at the right end drops the list down; choosing an item puts
// its text in the field and sends the action.
#include "AppKit/NSComboBoxCell.h"
#include "AppKit/NSTextField.h"

class NSComboBox : public NSTextField {
    NS_OBJECT(NSComboBox, NSTextField)
protected:
    NSComboBox() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }

    Ref<NSComboBoxCell> comboBoxCell() const { return dynamic_ref_cast<NSComboBoxCell>(m_cell); }

    NSInteger numberOfItems() const;
    Ref<NSArray> objectValues() const;
    void addItemWithObjectValue(const Id& object);
    void addItemsWithObjectValues(const Ref<NSArray>& objects);
    void insertItemWithObjectValue(const Id& object, NSInteger index);
    void removeItemAtIndex(NSInteger index);
    void removeAllItems();
    Id itemObjectValueAtIndex(NSInteger index) const;
    NSInteger indexOfItemWithObjectValue(const Id& object) const;
    NSInteger indexOfSelectedItem() const;
    void selectItemAtIndex(NSInteger index);
    void selectItemWithObjectValue(const Id& object);
    void deselectItemAtIndex(NSInteger index);
    Id objectValueOfSelectedItem() const;
    NSInteger numberOfVisibleItems() const;
    void setNumberOfVisibleItems(NSInteger count);

    void mouseDown(const Ref<NSEvent>& event) override;
    void textDidChange(const Ref<NSNotification>& note) override;

    static void describeClass(NSClassMembers<NSComboBox>& m);

private:
    void popUp(const Ref<NSEvent>& event);
};
