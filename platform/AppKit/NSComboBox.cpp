#include "AppKit/NSComboBox.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSComboBox)

void NSComboBox::describeClass(NSClassMembers<NSComboBox>& m)
{
    m.property("indexOfSelectedItem", &NSComboBox::indexOfSelectedItem, &NSComboBox::selectItemAtIndex);
}

const NSClass& NSComboBox::cellClass() { return NSComboBoxCell::staticClass(); }

#define NS_COMBO_CALL(expr, fallback)                                                                                  \
    auto c = comboBoxCell();                                                                                           \
    return c ? c->expr : fallback;
#define NS_COMBO_DO(expr)                                                                                              \
    if (auto c = comboBoxCell()) c->expr;                                                                              \
    setNeedsDisplay(true);

NSInteger NSComboBox::numberOfItems() const {
    NS_COMBO_CALL(numberOfItems(), 0)} Ref<NSArray> NSComboBox::objectValues() const
{
    NS_COMBO_CALL(objectValues(), NSArray::array())
}
void NSComboBox::addItemWithObjectValue(const Id& o) { NS_COMBO_DO(addItemWithObjectValue(o)) }
void NSComboBox::addItemsWithObjectValues(const Ref<NSArray>& o) { NS_COMBO_DO(addItemsWithObjectValues(o)) }
void NSComboBox::insertItemWithObjectValue(const Id& o, NSInteger i) { NS_COMBO_DO(insertItemWithObjectValue(o, i)) }
void NSComboBox::removeItemAtIndex(NSInteger i) { NS_COMBO_DO(removeItemAtIndex(i)) }
void NSComboBox::removeAllItems(){
    NS_COMBO_DO(removeAllItems())} Id NSComboBox::itemObjectValueAtIndex(NSInteger i) const {
    NS_COMBO_CALL(itemObjectValueAtIndex(i),
                  nullptr)} NSInteger NSComboBox::indexOfItemWithObjectValue(const Id& o) const {
    NS_COMBO_CALL(indexOfItemWithObjectValue(o), -1)} Id NSComboBox::objectValueOfSelectedItem() const {
    NS_COMBO_CALL(objectValueOfSelectedItem(), nullptr)} NSInteger NSComboBox::numberOfVisibleItems() const
{
    NS_COMBO_CALL(numberOfVisibleItems(), 0)
}
void NSComboBox::setNumberOfVisibleItems(NSInteger n) { NS_COMBO_DO(setNumberOfVisibleItems(n)) }
void NSComboBox::deselectItemAtIndex(NSInteger i){NS_COMBO_DO(deselectItemAtIndex(i))}
#undef NS_COMBO_CALL
#undef NS_COMBO_DO

NSInteger NSComboBox::indexOfSelectedItem() const
{
    // Typed text not yet committed counts.
    auto c = comboBoxCell();
    if (!c) return -1;
    if (auto editor = currentEditor()) c->noteTextChanged(editor->string());
    return c->indexOfSelectedItem();
}

void NSComboBox::selectItemAtIndex(NSInteger index)
{
    auto c = comboBoxCell();
    if (!c) return;
    abortEditing();
    c->selectItemAtIndex(index);
    setNeedsDisplay(true);
}

void NSComboBox::selectItemWithObjectValue(const Id& object)
{
    auto c = comboBoxCell();
    if (!c) return;
    abortEditing();
    c->selectItemWithObjectValue(object);
    setNeedsDisplay(true);
}

void NSComboBox::popUp(const Ref<NSEvent>& event)
{
    auto c = comboBoxCell();
    if (!c || !isEnabled()) return;
    Ref<NSComboBox> self(this);
    // A choice replaces the text being edited.
    const bool wasEditing = abortEditing();
    if (!c->popUpListWithFrame(bounds(), self, event)) return;
    setNeedsDisplay(true);
    sendAction(action(), target());
    if (wasEditing) selectText(nullptr);
}

void NSComboBox::mouseDown(const Ref<NSEvent>& event)
{
    auto c = comboBoxCell();
    const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    if (c && NSPointInRect(p, c->buttonRectForBounds(bounds()))) return popUp(event);
    NSTextField::mouseDown(event);
}

void NSComboBox::textDidChange(const Ref<NSNotification>& note)
{
    auto editor = dynamic_ref_cast<NSText>(note->object());
    if (auto c = comboBoxCell(); c && editor) c->noteTextChanged(editor->string());
    NSTextField::textDidChange(note);
}
