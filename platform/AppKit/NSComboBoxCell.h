#pragma once
// The cell of combo boxes: an editable text field with a list of items
// (object values shown by their descriptions) and a button at its right
// end that drops the list down below the field. Choosing an item puts its
// text in the field; typing an item's text selects it, other text leaves no
// item selected.
//
// Keyed-coding keys (after NSTextFieldCell's): NSComboBoxItems (an array of
// object values), NSSelectedIndex, NSVisibleItemCount.
#include <vector>

#include "AppKit/NSTextFieldCell.h"

class NSComboBoxCell : public NSTextFieldCell {
    NS_OBJECT(NSComboBoxCell, NSTextFieldCell)
protected:
    NSComboBoxCell() = default;

public:
    static constexpr CGFloat kButtonWidth = 20;

    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;

    NSInteger numberOfItems() const { return NSInteger(m_items.size()); }
    Ref<NSArray> objectValues() const;
    void addItemWithObjectValue(const Id& object);
    void addItemsWithObjectValues(const Ref<NSArray>& objects);
    void insertItemWithObjectValue(const Id& object, NSInteger index);
    void removeItemAtIndex(NSInteger index);
    void removeItemWithObjectValue(const Id& object);
    void removeAllItems();
    Id itemObjectValueAtIndex(NSInteger index) const;
    NSInteger indexOfItemWithObjectValue(const Id& object) const;
    NSInteger numberOfVisibleItems() const { return m_visibleItems; }
    void setNumberOfVisibleItems(NSInteger count) { m_visibleItems = std::max<NSInteger>(1, count); }

    NSInteger indexOfSelectedItem() const { return m_selected; }
    // Selects the item and shows its text (selectItemAtIndex:).
    void selectItemAtIndex(NSInteger index);
    void selectItemWithObjectValue(const Id& object);
    void deselectItemAtIndex(NSInteger index);
    Id objectValueOfSelectedItem() const { return itemObjectValueAtIndex(m_selected); }
    // The item whose text equals the text now shown becomes the selection.
    void noteTextChanged(const Ref<NSString>& text);
    void setStringValue(const Ref<NSString>& value) override;

    NSRect buttonRectForBounds(const NSRect& bounds) const;
    NSRect titleRectForBounds(const NSRect& bounds) const override;
    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    // Drops the list down below the frame; answers whether an item was chosen.
    bool popUpListWithFrame(const NSRect& frame, const Ref<NSView>& controlView, const Ref<NSEvent>& event);

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    bool valid(NSInteger index) const { return index >= 0 && index < numberOfItems(); }

    std::vector<Id> m_items;
    NSInteger m_selected = -1;
    NSInteger m_visibleItems = 5;
};
