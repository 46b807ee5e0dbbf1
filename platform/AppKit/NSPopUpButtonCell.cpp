#include "AppKit/NSPopUpButtonCell.h"

#include "Foundation/NSClass.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSPopUpList.h"
#include "AppKit/NSView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSPopUpButtonCell)

Ref<NSCell> NSPopUpButtonCell::initTextCell(const Ref<NSString>& text)
{
    return initTextCell(text, false);
}

Ref<NSPopUpButtonCell> NSPopUpButtonCell::initTextCell(const Ref<NSString>& text, bool pullsDown)
{
    NSButtonCell::initTextCell(""_ns);
    m_items.clear();
    m_selected = -1;
    m_pullsDown = pullsDown;
    m_altersState = true;
    m_alignment = NSLeftTextAlignment;
    if (text && text->length()) addItemWithTitle(text);
    return this;
}

void NSPopUpButtonCell::setPullsDown(bool flag)
{
    m_pullsDown = flag;
    redisplay();
}

// --- Items ---

Ref<NSArray> NSPopUpButtonCell::itemTitles() const
{
    std::vector<Id> titles;
    for (const auto& item : m_items) titles.push_back(item.title);
    return NSArray::arrayWithVector(std::move(titles));
}

void NSPopUpButtonCell::addItemWithTitle(const Ref<NSString>& title)
{
    insertItemWithTitle(title, numberOfItems());
}

void NSPopUpButtonCell::addItemsWithTitles(const Ref<NSArray>& titles)
{
    if (!titles) return;
    for (NSUInteger i = 0; i < titles->count(); ++i)
        if (auto t = titles->objectAtIndex(i)) addItemWithTitle(t->description());
}

void NSPopUpButtonCell::insertItemWithTitle(const Ref<NSString>& title, NSInteger index)
{
    auto t = copiedString(title ? title : ""_ns);
    const NSInteger existing = indexOfItemWithTitle(t);
    if (existing >= 0) {
        removeItemAtIndex(existing);
        if (existing < index) --index;
    }
    index = std::clamp<NSInteger>(index, 0, numberOfItems());
    Item item;
    item.title = t;
    m_items.insert(m_items.begin() + index, item);
    if (m_selected >= index) ++m_selected;
    if (m_selected < 0 && !m_pullsDown) selectItemAtIndex(0);
    redisplay();
}

void NSPopUpButtonCell::removeItemWithTitle(const Ref<NSString>& title)
{
    removeItemAtIndex(indexOfItemWithTitle(title));
}

void NSPopUpButtonCell::removeItemAtIndex(NSInteger index)
{
    if (!valid(index)) return;
    m_items.erase(m_items.begin() + index);
    if (m_selected == index) m_selected = m_items.empty() ? -1 : std::min<NSInteger>(index, numberOfItems() - 1);
    else if (m_selected > index) --m_selected;
    redisplay();
}

void NSPopUpButtonCell::removeAllItems()
{
    m_items.clear();
    m_selected = -1;
    redisplay();
}

Ref<NSString> NSPopUpButtonCell::itemTitleAtIndex(NSInteger index) const
{
    return valid(index) ? m_items[size_t(index)].title : ""_ns;
}

NSInteger NSPopUpButtonCell::indexOfItemWithTitle(const Ref<NSString>& title) const
{
    for (size_t i = 0; title && i < m_items.size(); ++i)
        if (m_items[i].title->isEqualToString(title)) return NSInteger(i);
    return -1;
}

NSInteger NSPopUpButtonCell::indexOfItemWithTag(NSInteger tag) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].tag == tag) return NSInteger(i);
    return -1;
}

NSInteger NSPopUpButtonCell::indexOfItemWithRepresentedObject(const Id& object) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        const Id& o = m_items[i].representedObject;
        if (o == object || (o && object && o->isEqual(object.get()))) return NSInteger(i);
    }
    return -1;
}

NSInteger NSPopUpButtonCell::tagOfItemAtIndex(NSInteger index) const
{
    return valid(index) ? m_items[size_t(index)].tag : 0;
}

void NSPopUpButtonCell::setTagOfItemAtIndex(NSInteger tag, NSInteger index)
{
    if (valid(index)) m_items[size_t(index)].tag = tag;
}

Id NSPopUpButtonCell::representedObjectOfItemAtIndex(NSInteger index) const
{
    return valid(index) ? m_items[size_t(index)].representedObject : nullptr;
}

void NSPopUpButtonCell::setRepresentedObjectOfItemAtIndex(const Id& object, NSInteger index)
{
    if (valid(index)) m_items[size_t(index)].representedObject = object;
}

bool NSPopUpButtonCell::isItemEnabledAtIndex(NSInteger index) const
{
    return valid(index) && m_items[size_t(index)].enabled;
}

void NSPopUpButtonCell::setItemEnabledAtIndex(bool flag, NSInteger index)
{
    if (valid(index)) m_items[size_t(index)].enabled = flag;
}

// --- Selection ---

void NSPopUpButtonCell::selectItemAtIndex(NSInteger index)
{
    if (!valid(index)) index = -1;
    if (m_altersState && valid(m_selected)) m_items[size_t(m_selected)].state = NSOffState;
    m_selected = index;
    if (m_altersState && valid(index) && !m_pullsDown) m_items[size_t(index)].state = NSOnState;
    redisplay();
}

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
    return valid(m_selected) ? m_items[size_t(m_selected)].title : ""_ns;
}

Ref<NSString> NSPopUpButtonCell::title() const
{
    if (m_pullsDown) return itemTitleAtIndex(0);
    return titleOfSelectedItem();
}

void NSPopUpButtonCell::setTitle(const Ref<NSString>& title)
{
    // A pull-down's title is its first item; a pop-up selects (or adds) it.
    if (m_pullsDown) {
        if (m_items.empty()) insertItemWithTitle(title, 0);
        else m_items[0].title = copiedString(title);
        redisplay();
        return;
    }
    if (!selectItemWithTitle(title)) {
        addItemWithTitle(title);
        selectItemWithTitle(title);
    }
}

Id NSPopUpButtonCell::objectValue() const
{
    return NSNumber::numberWithInteger(m_selected);
}

void NSPopUpButtonCell::setObjectValue(const Id& value)
{
    if (auto n = dynamic_ref_cast<NSNumber>(value)) return selectItemAtIndex(n->integerValue());
    if (value) selectItemAtIndex(value->description()->integerValue());
}

// --- Tracking ---

bool NSPopUpButtonCell::runList(const NSRect& frame, const Ref<NSView>& view, const Ref<NSEvent>& event)
{
    if (!view || !view->window() || m_items.empty()) return false;
    NSPopUpList::Options o;
    for (const auto& item : m_items) {
        o.titles.push_back(item.title->utf16());
        o.enabled.push_back(item.enabled);
    }
    if (m_pullsDown) {
        // Item 0 of a pull-down is its title, not a choice.
        o.titles.erase(o.titles.begin());
        o.enabled.erase(o.enabled.begin());
        o.belowControl = true;
        o.highlighted = -1;
    } else {
        o.highlighted = m_selected;
    }
    o.style = m_textStyle;
    o.controlRectOnScreen = view->window()->convertRectToScreen(view->convertRectToView(frame, nullptr));
    NSInteger row = NSPopUpList::run(o, event);
    if (row < 0) return false;
    if (m_pullsDown) ++row;
    selectItemAtIndex(row);
    return true;
}

bool NSPopUpButtonCell::performClickWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    return runList(frame, controlView, nullptr);
}

bool NSPopUpButtonCell::trackMouse(const Ref<NSEvent>& event, const NSRect& cellFrame, const Ref<NSView>& controlView,
                                   bool)
{
    Ref<NSCell> self(this);
    return runList(cellFrame, controlView, event);
}

// --- Drawing ---

NSSize NSPopUpButtonCell::cellSizeForBounds(const NSRect&) const
{
    CGFloat width = 0;
    for (const auto& item : m_items) width = std::max(width, NSControlText::width(item.title->utf16(), m_textStyle));
    return NSMakeSize(std::ceil(width) + 44, std::ceil(NSControlText::lineHeight(m_textStyle)) + 8);
}

NSRect NSPopUpButtonCell::titleRectForBounds(const NSRect& bounds) const
{
    NSRect r = NSInsetRect(bounds, 9, 2);
    r.size.width = std::max<CGFloat>(0, r.size.width - 18);
    return r;
}

void NSPopUpButtonCell::drawBorderAndBackgroundWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    drawBezelWithFrame(frame, view);
}

void NSPopUpButtonCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    if (m_bordered) drawBorderAndBackgroundWithFrame(frame, view);
    drawInteriorWithFrame(frame, view);
}

void NSPopUpButtonCell::drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    drawTitle(title(), titleRectForBounds(frame), view);
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

// --- Copying and coding ---

void NSPopUpButtonCell::copyValuesFrom(const NSCell& other)
{
    NSButtonCell::copyValuesFrom(other);
    auto o = dynamic_cast<const NSPopUpButtonCell*>(&other);
    if (!o) return;
    m_items = o->m_items;
    for (auto& item : m_items) item.title = copiedString(item.title);
    m_selected = o->m_selected;
    m_pullsDown = o->m_pullsDown;
    m_altersState = o->m_altersState;
}

void NSPopUpButtonCell::encodeWithCoder(NSCoder* c) const
{
    NSButtonCell::encodeWithCoder(c);
    std::vector<Id> items;
    for (const auto& item : m_items) {
        auto d = NSMutableDictionary::dictionary();
        d->setObject(item.title, "NSTitle"_ns);
        d->setObject(NSNumber::numberWithInteger(item.tag), "NSTag"_ns);
        d->setObject(NSNumber::numberWithBool(item.enabled), "NSEnabled"_ns);
        if (item.representedObject) d->setObject(item.representedObject, "NSRepresentedObject"_ns);
        items.push_back(d);
    }
    c->encodeObject(NSArray::arrayWithVector(std::move(items)), "NSPopUpItems"_ns);
    c->encodeInteger(m_selected, "NSSelectedIndex"_ns);
    c->encodeBool(m_pullsDown, "NSPullDown"_ns);
    c->encodeBool(m_altersState, "NSAltersState"_ns);
}

Id NSPopUpButtonCell::initWithCoder(NSCoder* c)
{
    NSButtonCell::initWithCoder(c);
    m_items.clear();
    if (auto array = dynamic_ref_cast<NSArray>(c->decodeObjectForKey("NSPopUpItems"_ns))) {
        for (NSUInteger i = 0; i < array->count(); ++i) {
            Item item;
            auto entry = array->objectAtIndex(i);
            if (auto d = dynamic_ref_cast<NSDictionary>(entry)) {
                auto t = d->objectForKey("NSTitle"_ns);
                item.title = t ? t->description() : ""_ns;
                if (auto n = dynamic_ref_cast<NSNumber>(d->objectForKey("NSTag"_ns))) item.tag = n->integerValue();
                auto enabled = dynamic_ref_cast<NSNumber>(d->objectForKey("NSEnabled"_ns));
                item.enabled = !enabled || enabled->boolValue();
                item.representedObject = d->objectForKey("NSRepresentedObject"_ns);
            } else {
                // Interface files may list plain titles.
                item.title = entry ? entry->description() : ""_ns;
            }
            m_items.push_back(item);
        }
    }
    m_pullsDown = c->decodeBoolForKey("NSPullDown"_ns);
    m_altersState = c->decodeBoolForKey("NSAltersState"_ns);
    m_selected = c->containsValueForKey("NSSelectedIndex"_ns) ? c->decodeIntegerForKey("NSSelectedIndex"_ns)
                                                               : (m_items.empty() || m_pullsDown ? -1 : 0);
    if (!valid(m_selected)) m_selected = -1;
    return this;
}
