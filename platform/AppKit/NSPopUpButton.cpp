#include "AppKit/NSPopUpButton.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSPopUpButton)

void NSPopUpButton::describeClass(NSClassMembers<NSPopUpButton>& m)
{
    m.property("indexOfSelectedItem", &NSPopUpButton::indexOfSelectedItem, &NSPopUpButton::selectItemAtIndex);
    m.property("titleOfSelectedItem", &NSPopUpButton::titleOfSelectedItem);
}

const NSClass& NSPopUpButton::cellClass() { return NSPopUpButtonCell::staticClass(); }

Ref<NSPopUpButton> NSPopUpButton::initWithFrame(const NSRect& frame, bool pullsDown)
{
    NSControl::initWithFrame(frame);
    if (auto c = popUpCell()) c->setPullsDown(pullsDown);
    return this;
}

#define NS_POPUP_CALL(expr, fallback)                                                                                  \
    auto c = popUpCell();                                                                                              \
    return c ? c->expr : fallback;
#define NS_POPUP_DO(expr)                                                                                              \
    if (auto c = popUpCell()) c->expr;                                                                                 \
    setNeedsDisplay(true);

Ref<NSMenu> NSPopUpButton::menu() const { NS_POPUP_CALL(menu(), nullptr) }
void NSPopUpButton::setMenu(const Ref<NSMenu>& m){
    NS_POPUP_DO(setMenu(m))} Ref<NSArray> NSPopUpButton::itemArray() const {
    NS_POPUP_CALL(itemArray(), NSArray::array())} Ref<NSMenuItem> NSPopUpButton::itemAtIndex(NSInteger i) const {
    NS_POPUP_CALL(itemAtIndex(i), nullptr)} Ref<NSMenuItem> NSPopUpButton::itemWithTitle(const Ref<NSString>& t) const {
    NS_POPUP_CALL(itemWithTitle(t), nullptr)} Ref<NSMenuItem> NSPopUpButton::lastItem() const {
    NS_POPUP_CALL(lastItem(), nullptr)} Ref<NSMenuItem> NSPopUpButton::selectedItem() const
{
    NS_POPUP_CALL(selectedItem(), nullptr)
}
void NSPopUpButton::selectItem(const Ref<NSMenuItem>& item){
    NS_POPUP_DO(selectItem(item))} NSInteger NSPopUpButton::indexOfItem(const Ref<NSMenuItem>& item) const
{
    NS_POPUP_CALL(indexOfItem(item), -1)
}
bool NSPopUpButton::pullsDown() const { NS_POPUP_CALL(pullsDown(), false) }
void NSPopUpButton::setPullsDown(bool flag){
    NS_POPUP_DO(setPullsDown(flag))} NSInteger NSPopUpButton::numberOfItems() const {
    NS_POPUP_CALL(numberOfItems(), 0)} Ref<NSArray> NSPopUpButton::itemTitles() const
{
    NS_POPUP_CALL(itemTitles(), NSArray::array())
}
void NSPopUpButton::addItemWithTitle(const Ref<NSString>& t) { NS_POPUP_DO(addItemWithTitle(t)) }
void NSPopUpButton::addItemsWithTitles(const Ref<NSArray>& t) { NS_POPUP_DO(addItemsWithTitles(t)) }
void NSPopUpButton::insertItemWithTitle(const Ref<NSString>& t, NSInteger i) { NS_POPUP_DO(insertItemWithTitle(t, i)) }
void NSPopUpButton::removeItemWithTitle(const Ref<NSString>& t) { NS_POPUP_DO(removeItemWithTitle(t)) }
void NSPopUpButton::removeItemAtIndex(NSInteger i) { NS_POPUP_DO(removeItemAtIndex(i)) }
void NSPopUpButton::removeAllItems(){
    NS_POPUP_DO(removeAllItems())} Ref<NSString> NSPopUpButton::itemTitleAtIndex(NSInteger i) const {
    NS_POPUP_CALL(itemTitleAtIndex(i),
                  ""_ns)} NSInteger NSPopUpButton::indexOfItemWithTitle(const Ref<NSString>& t) const {
    NS_POPUP_CALL(indexOfItemWithTitle(t), -1)} NSInteger NSPopUpButton::indexOfItemWithTag(NSInteger tag) const {
    NS_POPUP_CALL(indexOfItemWithTag(tag),
                  -1)} NSInteger NSPopUpButton::indexOfItemWithRepresentedObject(const Id& o) const {
    NS_POPUP_CALL(indexOfItemWithRepresentedObject(o), -1)} NSInteger NSPopUpButton::indexOfSelectedItem() const {
    NS_POPUP_CALL(indexOfSelectedItem(), -1)} Ref<NSString> NSPopUpButton::titleOfSelectedItem() const
{
    NS_POPUP_CALL(titleOfSelectedItem(), ""_ns)
}
void NSPopUpButton::selectItemAtIndex(NSInteger i) { NS_POPUP_DO(selectItemAtIndex(i)) }
bool NSPopUpButton::selectItemWithTitle(const Ref<NSString>& t) { NS_POPUP_CALL(selectItemWithTitle(t), false) }
bool NSPopUpButton::selectItemWithTag(NSInteger tag) { NS_POPUP_CALL(selectItemWithTag(tag), false) }
void NSPopUpButton::setTitle(const Ref<NSString>& t) { NS_POPUP_DO(setTitle(t)) }
#undef NS_POPUP_CALL
#undef NS_POPUP_DO

bool NSPopUpButton::autoenablesItems() const
{
    auto c = popUpCell();
    return c && c->autoenablesItems();
}

void NSPopUpButton::setAutoenablesItems(bool flag)
{
    if (auto c = popUpCell()) c->setAutoenablesItems(flag);
}

NSInteger NSPopUpButton::selectedTag() const
{
    auto c = popUpCell();
    if (!c || c->indexOfSelectedItem() < 0) return -1;
    return c->tagOfItemAtIndex(c->indexOfSelectedItem());
}
