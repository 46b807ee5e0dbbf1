#include "AppKit/NSPopUpButtonCell.h"

#include "Foundation/NSClass.h"

#include "AppKit/MenuWindow.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSControl.h"
#include "AppKit/NSView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSPopUpButtonCell)

Ref<NSCell> NSPopUpButtonCell::initTextCell(const Ref<NSString>& text) { return initTextCell(text, false); }

Ref<NSPopUpButtonCell> NSPopUpButtonCell::initTextCell(const Ref<NSString>& text, bool pullsDown)
{
    NSButtonCell::initTextCell(""_ns);
    setMenu(nullptr);
    m_pullsDown = pullsDown;
    m_altersState = true;
    m_arrowPosition = NSPopUpArrowAtCenter;
    m_usesItemFromMenu = true;
    m_alignment = NSLeftTextAlignment;
    if (text && text->length()) addItemWithTitle(text);
    return this;
}

void NSPopUpButtonCell::setPullsDown(bool flag)
{
    m_pullsDown = flag;
    redisplay();
}

// --- Menu and items ---

void NSPopUpButtonCell::setMenu(const Ref<NSMenu>& menu)
{
    m_menu = menu ? menu : NSMenu::menuWithTitle(""_ns);
    // The button enables its items itself.
    m_menu->setAutoenablesItems(false);
    m_selected = nullptr;
    if (!m_pullsDown && m_menu->numberOfItems() > 0) selectItemAtIndex(0);
    redisplay();
}

Ref<NSMenuItem> NSPopUpButtonCell::itemAtIndex(NSInteger index) const
{
    return valid(index) ? m_menu->items()[size_t(index)] : nullptr;
}

Ref<NSArray> NSPopUpButtonCell::itemTitles() const
{
    std::vector<Id> titles;
    for (const auto& item : m_menu->items()) titles.push_back(item->title());
    return NSArray::arrayWithVector(std::move(titles));
}

void NSPopUpButtonCell::addItemWithTitle(const Ref<NSString>& title) { insertItemWithTitle(title, numberOfItems()); }

void NSPopUpButtonCell::addItemsWithTitles(const Ref<NSArray>& titles)
{
    if (!titles) return;
    for (NSUInteger i = 0; i < titles->count(); ++i)
        if (auto t = titles->objectAtIndex(i)) addItemWithTitle(t->description());
}

void NSPopUpButtonCell::insertItemWithTitle(const Ref<NSString>& title, NSInteger index)
{
    auto t = copiedString(title ? title : ""_ns);
    // Titles are unique: an existing item of the title moves.
    const NSInteger existing = indexOfItemWithTitle(t);
    if (existing >= 0) {
        removeItemAtIndex(existing);
        if (existing < index) --index;
    }
    index = std::clamp<NSInteger>(index, 0, numberOfItems());
    m_menu->insertItem(NSMenuItem::itemWithTitle(t, {}, ""_ns), index);
    if (!m_selected && !m_pullsDown) selectItemAtIndex(0);
    redisplay();
}

void NSPopUpButtonCell::removeItemWithTitle(const Ref<NSString>& title)
{
    removeItemAtIndex(indexOfItemWithTitle(title));
}

void NSPopUpButtonCell::removeItemAtIndex(NSInteger index)
{
    if (!valid(index)) return;
    const bool wasSelected = itemAtIndex(index) == m_selected;
    m_menu->removeItemAtIndex(index);
    if (wasSelected) {
        m_selected = nullptr;
        if (numberOfItems() > 0) selectItemAtIndex(std::min<NSInteger>(index, numberOfItems() - 1));
    }
    redisplay();
}

void NSPopUpButtonCell::removeAllItems()
{
    m_menu->removeAllItems();
    m_selected = nullptr;
    redisplay();
}

Ref<NSString> NSPopUpButtonCell::itemTitleAtIndex(NSInteger index) const
{
    auto item = itemAtIndex(index);
    return item ? item->title() : ""_ns;
}

NSInteger NSPopUpButtonCell::indexOfItemWithTitle(const Ref<NSString>& title) const
{
    return title ? m_menu->indexOfItemWithTitle(title) : -1;
}

NSInteger NSPopUpButtonCell::indexOfItemWithTag(NSInteger tag) const { return m_menu->indexOfItemWithTag(tag); }

NSInteger NSPopUpButtonCell::indexOfItemWithRepresentedObject(const Id& object) const
{
    return m_menu->indexOfItemWithRepresentedObject(object);
}

NSInteger NSPopUpButtonCell::tagOfItemAtIndex(NSInteger index) const
{
    auto item = itemAtIndex(index);
    return item ? item->tag() : 0;
}

void NSPopUpButtonCell::setTagOfItemAtIndex(NSInteger tag, NSInteger index)
{
    if (auto item = itemAtIndex(index)) item->setTag(tag);
}

Id NSPopUpButtonCell::representedObjectOfItemAtIndex(NSInteger index) const
{
    auto item = itemAtIndex(index);
    return item ? item->representedObject() : nullptr;
}

void NSPopUpButtonCell::setRepresentedObjectOfItemAtIndex(const Id& object, NSInteger index)
{
    if (auto item = itemAtIndex(index)) item->setRepresentedObject(object);
}

bool NSPopUpButtonCell::isItemEnabledAtIndex(NSInteger index) const
{
    auto item = itemAtIndex(index);
    return item && item->isEnabled();
}

void NSPopUpButtonCell::setItemEnabledAtIndex(bool flag, NSInteger index)
{
    if (auto item = itemAtIndex(index)) item->setEnabled(flag);
}

// --- Selection ---

Ref<NSMenuItem> NSPopUpButtonCell::selectedItem() const
{
    // An item removed through the menu itself is no longer selected.
    return m_selected && m_menu->indexOfItem(m_selected) >= 0 ? m_selected : nullptr;
}

NSInteger NSPopUpButtonCell::indexOfSelectedItem() const
{
    auto item = selectedItem();
    return item ? m_menu->indexOfItem(item) : -1;
}

void NSPopUpButtonCell::selectItem(const Ref<NSMenuItem>& item)
{
    selectItemAtIndex(item ? m_menu->indexOfItem(item) : -1);
}

void NSPopUpButtonCell::setSelectedItem(const Ref<NSMenuItem>& item)
{
    if (m_altersState && m_selected) m_selected->setState(NSOffState);
    m_selected = item && m_menu->indexOfItem(item) >= 0 ? item : nullptr;
    if (m_altersState && m_selected && !m_pullsDown) m_selected->setState(NSOnState);
    redisplay();
}

void NSPopUpButtonCell::selectItemAtIndex(NSInteger index) { setSelectedItem(itemAtIndex(index)); }

bool NSPopUpButtonCell::selectItemWithTitle(const Ref<NSString>& title)
{
    const NSInteger index = indexOfItemWithTitle(title);
    if (index < 0) return false;
    selectItemAtIndex(index);
    return true;
}

bool NSPopUpButtonCell::selectItemWithTag(NSInteger tag)
{
    const NSInteger index = indexOfItemWithTag(tag);
    if (index < 0) return false;
    selectItemAtIndex(index);
    return true;
}

Ref<NSString> NSPopUpButtonCell::titleOfSelectedItem() const
{
    auto item = selectedItem();
    return item ? item->title() : ""_ns;
}

Ref<NSMenuItem> NSPopUpButtonCell::menuItem() const
{
    if (!m_usesItemFromMenu) return m_menuItem;
    return m_pullsDown ? itemAtIndex(0) : selectedItem();
}

Ref<NSString> NSPopUpButtonCell::title() const
{
    if (!m_usesItemFromMenu) return m_menuItem ? m_menuItem->title() : ""_ns;
    if (m_pullsDown) return itemTitleAtIndex(0);
    return titleOfSelectedItem();
}

void NSPopUpButtonCell::setTitle(const Ref<NSString>& title)
{
    // A pull-down's title is its first item; a pop-up selects (or adds) it.
    if (m_pullsDown) {
        if (numberOfItems() == 0) insertItemWithTitle(title, 0);
        else itemAtIndex(0)->setTitle(copiedString(title));
        redisplay();
        return;
    }
    if (!selectItemWithTitle(title)) {
        addItemWithTitle(title);
        selectItemWithTitle(title);
    }
}

Id NSPopUpButtonCell::objectValue() const { return NSNumber::numberWithInteger(indexOfSelectedItem()); }

void NSPopUpButtonCell::setObjectValue(const Id& value)
{
    if (auto n = dynamic_ref_cast<NSNumber>(value)) return selectItemAtIndex(n->integerValue());
    if (value) selectItemAtIndex(value->description()->integerValue());
}

// --- Tracking ---

bool NSPopUpButtonCell::runList(const NSRect& frame, const Ref<NSView>& view, const Ref<NSEvent>&)
{
    if (!view || !view->window() || numberOfItems() == 0) return false;
    Ref<NSPopUpButtonCell> self(this);
    const NSRect onScreen = view->window()->convertRectToScreen(view->convertRectToView(frame, nullptr));
    if (m_pullsDown) {
        // Item 0 of a pull-down is its title: the others hang below the button.
        auto shown = dynamic_ref_cast<NSMenu>(m_menu->copy());
        if (!shown || shown->numberOfItems() < 2) return false;
        shown->setAutoenablesItems(false);
        shown->setMinimumWidth(onScreen.size.width);
        shown->removeItemAtIndex(0);
        auto choice = MenuWindow::trackMenu(shown, -1, NSMakePoint(onScreen.origin.x, onScreen.origin.y));
        if (choice.menu != shown || choice.index < 0) return false;
        return choose(choice.index + 1);
    }
    // The selected item opens over the button.
    const NSInteger current = std::max<NSInteger>(0, indexOfSelectedItem());
    const NSPoint at = NSMakePoint(onScreen.origin.x, NSMidY(onScreen) + MenuView::kItemHeight / 2);
    m_menu->setMinimumWidth(onScreen.size.width);
    auto choice = MenuWindow::trackMenu(m_menu, current, at);
    if (choice.menu != m_menu || choice.index < 0) return false;
    return choose(choice.index);
}

bool NSPopUpButtonCell::choose(NSInteger index)
{
    Ref<NSMenuItem> item = itemAtIndex(index);
    selectItemAtIndex(index);
    if (!item || item->action().empty()) return true;
    NSApp->sendAction(item->action(), item->target(), item);
    return false;
}

bool NSPopUpButtonCell::performClickWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    Ref<NSPopUpButtonCell> self(this);
    const NSInteger before = indexOfSelectedItem();
    const bool actionDue = runList(frame, controlView, nullptr);
    const bool chosen = actionDue || indexOfSelectedItem() != before;
    if (actionDue && !action().empty() && NSApp) {
        // A cell of a control sends from the control, a free cell from itself.
        auto control = dynamic_ref_cast<NSControl>(controlView);
        const Id sender = control && control->cell().get() == this ? Id(controlView) : Id(this);
        NSApp->sendAction(action(), target(), sender);
    }
    return chosen;
}

bool NSPopUpButtonCell::trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                                   bool)
{
    return runList(cellFrame, controlView, event);
}

// --- Drawing ---

NSSize NSPopUpButtonCell::cellSizeForBounds(const NSRect&) const
{
    CGFloat width = 0;
    for (const auto& item : m_menu->items())
        width = std::max(width, ControlText::width(item->title()->utf16(), m_textStyle));
    // A face item of its own is measured too.
    if (!m_usesItemFromMenu && m_menuItem)
        width = std::max(width, ControlText::width(m_menuItem->title()->utf16(), m_textStyle));
    return NSMakeSize(std::ceil(width) + 44, std::ceil(ControlText::lineHeight(m_textStyle)) + 8);
}

NSRect NSPopUpButtonCell::titleRectForBounds(const NSRect& bounds) const
{
    NSRect r = NSInsetRect(bounds, 9, 2);
    r.size.width = std::max<CGFloat>(0, r.size.width - 18);
    return r;
}

void NSPopUpButtonCell::drawBorderAndBackgroundWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    NSButtonCell::drawBezelWithFrame(frame, view);
    drawArrowsWithFrame(frame, view);
}

void NSPopUpButtonCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    drawBezelWithFrame(frame, view);
    drawInteriorWithFrame(frame, view);
}

void NSPopUpButtonCell::drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    if (m_bordered) drawBorderAndBackgroundWithFrame(frame, view);
    else drawArrowsWithFrame(frame, view);
}

void NSPopUpButtonCell::drawArrowsWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    if (m_arrowPosition == NSPopUpNoArrow) return;
    // The arrows: a pair of chevrons (pop-up) or one down arrow (pull-down).
    const bool flipped = view && view->isFlipped();
    const CGFloat cx = NSMaxX(frame) - 14, cy = NSMidY(frame);
    const CGFloat up = flipped ? -1 : 1;
    auto arrows = NSBezierPath::bezierPath();
    if (!m_pullsDown) {
        arrows->moveToPoint(NSMakePoint(cx - 3, cy + up * 2));
        arrows->lineToPoint(NSMakePoint(cx, cy + up * 5));
        arrows->lineToPoint(NSMakePoint(cx + 3, cy + up * 2));
    }
    arrows->moveToPoint(NSMakePoint(cx - 3, cy - up * 2));
    arrows->lineToPoint(NSMakePoint(cx, cy - up * 5));
    arrows->lineToPoint(NSMakePoint(cx + 3, cy - up * 2));
    arrows->setLineWidth(1.5);
    textColorForState()->setStroke();
    arrows->stroke();
}

void NSPopUpButtonCell::drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    drawImageWithFrame(frame, view);
    if (imagePosition() != NSImageOnly) drawTitle(attributedTitle(), titleRectForBounds(frame), view);
}

void NSPopUpButtonCell::drawImageWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    // The face item's image, else the cell's own.
    auto face = menuItem();
    auto picture = face && face->image() ? face->image() : image();
    if (picture && imagePosition() != NSNoImage) drawImage(picture, imageRectForBounds(frame), view);
}

// --- Copying and coding ---

void NSPopUpButtonCell::copyValuesFrom(const NSCell& other)
{
    NSButtonCell::copyValuesFrom(other);
    auto o = dynamic_cast<const NSPopUpButtonCell*>(&other);
    if (!o) return;
    m_pullsDown = o->m_pullsDown;
    m_altersState = o->m_altersState;
    m_arrowPosition = o->m_arrowPosition;
    m_usesItemFromMenu = o->m_usesItemFromMenu;
    m_menuItem = o->m_menuItem ? dynamic_ref_cast<NSMenuItem>(o->m_menuItem->copy()) : nullptr;
    m_menu = dynamic_ref_cast<NSMenu>(o->m_menu->copy());
    if (!m_menu) m_menu = NSMenu::menuWithTitle(""_ns);
    m_selected = itemAtIndex(o->indexOfSelectedItem());
}

void NSPopUpButtonCell::encodeWithCoder(NSCoder* c) const
{
    // The cell's coding writes the menu.
    NSButtonCell::encodeWithCoder(c);
    c->encodeInteger(indexOfSelectedItem(), "NSSelectedIndex"_ns);
    c->encodeBool(m_pullsDown, "NSPullDown"_ns);
    c->encodeBool(m_altersState, "NSAltersState"_ns);
    c->encodeInteger(NSInteger(m_arrowPosition), "NSArrowPosition"_ns);
    c->encodeBool(m_usesItemFromMenu, "NSUsesItemFromMenu"_ns);
    c->encodeObject(m_menuItem, "NSMenuItem"_ns);
}

Id NSPopUpButtonCell::initWithCoder(NSCoder* c)
{
    NSButtonCell::initWithCoder(c);
    m_pullsDown = c->decodeBoolForKey("NSPullDown"_ns);
    m_altersState = c->decodeBoolForKey("NSAltersState"_ns);
    // Files written before these keys existed show the menu's item with arrows.
    m_arrowPosition = c->containsValueForKey("NSArrowPosition"_ns)
                          ? NSPopUpArrowPosition(c->decodeIntegerForKey("NSArrowPosition"_ns))
                          : NSPopUpArrowAtCenter;
    m_usesItemFromMenu =
        !c->containsValueForKey("NSUsesItemFromMenu"_ns) || c->decodeBoolForKey("NSUsesItemFromMenu"_ns);
    m_menuItem = dynamic_ref_cast<NSMenuItem>(c->decodeObjectForKey("NSMenuItem"_ns));
    if (!m_menu) m_menu = NSMenu::menuWithTitle(""_ns);
    m_menu->setAutoenablesItems(false);
    if (auto array = dynamic_ref_cast<NSArray>(c->decodeObjectForKey("NSPopUpItems"_ns))) {
        for (NSUInteger i = 0; i < array->count(); ++i) {
            auto entry = array->objectAtIndex(i);
            auto d = dynamic_ref_cast<NSDictionary>(entry);
            auto title = d ? d->objectForKey("NSTitle"_ns) : entry;
            auto item = NSMenuItem::itemWithTitle(title ? title->description() : ""_ns, {}, ""_ns);
            if (d) {
                if (auto n = dynamic_ref_cast<NSNumber>(d->objectForKey("NSTag"_ns))) item->setTag(n->integerValue());
                auto enabled = dynamic_ref_cast<NSNumber>(d->objectForKey("NSEnabled"_ns));
                item->setEnabled(!enabled || enabled->boolValue());
                item->setRepresentedObject(d->objectForKey("NSRepresentedObject"_ns));
            }
            m_menu->addItem(item);
        }
    }
    const NSInteger selected = c->containsValueForKey("NSSelectedIndex"_ns)
                                   ? c->decodeIntegerForKey("NSSelectedIndex"_ns)
                                   : (m_pullsDown ? -1 : 0);
    m_selected = itemAtIndex(selected);
    return this;
}
