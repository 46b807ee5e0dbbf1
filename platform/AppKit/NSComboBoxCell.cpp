#include "AppKit/NSComboBoxCell.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "AppKit/PopUpList.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSComboBoxCell)

namespace {

Ref<NSString> textOf(const Id& object) { return object ? object->description() : ""_ns; }

}  // namespace

Ref<NSCell> NSComboBoxCell::initTextCell(const Ref<NSString>& text)
{
    NSTextFieldCell::initTextCell(text);
    m_items.clear();
    m_selected = -1;
    m_visibleItems = 5;
    return this;
}

Ref<NSArray> NSComboBoxCell::objectValues() const { return NSArray::arrayWithVector(m_items); }

void NSComboBoxCell::addItemWithObjectValue(const Id& object) { insertItemWithObjectValue(object, numberOfItems()); }

void NSComboBoxCell::addItemsWithObjectValues(const Ref<NSArray>& objects)
{
    if (!objects) return;
    for (NSUInteger i = 0; i < objects->count(); ++i) addItemWithObjectValue(objects->objectAtIndex(i));
}

void NSComboBoxCell::insertItemWithObjectValue(const Id& object, NSInteger index)
{
    if (!object) return;
    index = std::clamp<NSInteger>(index, 0, numberOfItems());
    Id copied = object->copy();
    m_items.insert(m_items.begin() + index, copied ? copied : object);
    if (m_selected >= index) ++m_selected;
}

void NSComboBoxCell::removeItemAtIndex(NSInteger index)
{
    if (!valid(index)) return;
    m_items.erase(m_items.begin() + index);
    if (m_selected == index) m_selected = -1;
    else if (m_selected > index) --m_selected;
}

void NSComboBoxCell::removeItemWithObjectValue(const Id& object)
{
    removeItemAtIndex(indexOfItemWithObjectValue(object));
}

void NSComboBoxCell::removeAllItems()
{
    m_items.clear();
    m_selected = -1;
}

Id NSComboBoxCell::itemObjectValueAtIndex(NSInteger index) const
{
    return valid(index) ? m_items[size_t(index)] : nullptr;
}

NSInteger NSComboBoxCell::indexOfItemWithObjectValue(const Id& object) const
{
    for (size_t i = 0; object && i < m_items.size(); ++i)
        if (m_items[i]->isEqual(object.get())) return NSInteger(i);
    return -1;
}

void NSComboBoxCell::selectItemAtIndex(NSInteger index)
{
    if (!valid(index)) return;
    m_selected = index;
    NSTextFieldCell::setStringValue(textOf(m_items[size_t(index)]));
}

void NSComboBoxCell::selectItemWithObjectValue(const Id& object)
{
    const NSInteger index = indexOfItemWithObjectValue(object);
    if (index >= 0) selectItemAtIndex(index);
    else m_selected = -1;
}

void NSComboBoxCell::deselectItemAtIndex(NSInteger index)
{
    if (index == m_selected) m_selected = -1;
}

void NSComboBoxCell::noteTextChanged(const Ref<NSString>& text)
{
    m_selected = -1;
    for (size_t i = 0; text && i < m_items.size(); ++i)
        if (textOf(m_items[i])->isEqualToString(text)) {
            m_selected = NSInteger(i);
            return;
        }
}

void NSComboBoxCell::setStringValue(const Ref<NSString>& value)
{
    NSTextFieldCell::setStringValue(value);
    noteTextChanged(stringValue());
}

NSRect NSComboBoxCell::buttonRectForBounds(const NSRect& bounds) const
{
    return NSMakeRect(NSMaxX(bounds) - kButtonWidth, bounds.origin.y, kButtonWidth, bounds.size.height);
}

NSRect NSComboBoxCell::titleRectForBounds(const NSRect& bounds) const
{
    NSRect r = NSTextFieldCell::titleRectForBounds(bounds);
    r.size.width = std::max<CGFloat>(0, r.size.width - kButtonWidth);
    return r;
}

void NSComboBoxCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& view)
{
    NSTextFieldCell::drawWithFrame(frame, view);
    const NSRect button = buttonRectForBounds(frame);
    NSColor::colorWithCalibratedWhite(0.93, 1)->setFill();
    NSRectFill(NSInsetRect(button, 1, 1));
    NSColor::grayColor()->setFill();
    NSRectFill(NSMakeRect(button.origin.x, button.origin.y + 1, 1, button.size.height - 2));
    const bool flipped = view && view->isFlipped();
    const CGFloat cx = NSMidX(button), cy = NSMidY(button), down = flipped ? 1 : -1;
    auto arrow = NSBezierPath::bezierPath();
    arrow->moveToPoint(NSMakePoint(cx - 4, cy - down * 2));
    arrow->lineToPoint(NSMakePoint(cx, cy + down * 2));
    arrow->lineToPoint(NSMakePoint(cx + 4, cy - down * 2));
    arrow->setLineWidth(1.5);
    textColorForState()->setStroke();
    arrow->stroke();
}

bool NSComboBoxCell::popUpListWithFrame(const NSRect& frame, const Ref<NSView>& view, const Ref<NSEvent>& event)
{
    if (!view || !view->window() || m_items.empty()) return false;
    Ref<NSCell> self(this);
    PopUpList::Options o;
    for (const auto& item : m_items) o.titles.push_back(textOf(item)->utf16());
    o.highlighted = m_selected;
    o.belowControl = true;
    o.style = m_textStyle;
    o.controlRectOnScreen = view->window()->convertRectToScreen(view->convertRectToView(frame, nullptr));
    const NSInteger row = PopUpList::run(o, event);
    if (row < 0) return false;
    selectItemAtIndex(row);
    return true;
}

void NSComboBoxCell::copyValuesFrom(const NSCell& other)
{
    NSTextFieldCell::copyValuesFrom(other);
    auto o = dynamic_cast<const NSComboBoxCell*>(&other);
    if (!o) return;
    m_items = o->m_items;
    m_selected = o->m_selected;
    m_visibleItems = o->m_visibleItems;
}

void NSComboBoxCell::encodeWithCoder(NSCoder* c) const
{
    NSTextFieldCell::encodeWithCoder(c);
    c->encodeObject(objectValues(), "NSComboBoxItems"_ns);
    c->encodeInteger(m_selected, "NSSelectedIndex"_ns);
    c->encodeInteger(m_visibleItems, "NSVisibleItemCount"_ns);
}

Id NSComboBoxCell::initWithCoder(NSCoder* c)
{
    NSTextFieldCell::initWithCoder(c);
    m_items.clear();
    if (auto array = dynamic_ref_cast<NSArray>(c->decodeObjectForKey("NSComboBoxItems"_ns)))
        for (NSUInteger i = 0; i < array->count(); ++i)
            if (auto item = array->objectAtIndex(i)) m_items.push_back(item);
    if (c->containsValueForKey("NSSelectedIndex"_ns)) {
        m_selected = c->decodeIntegerForKey("NSSelectedIndex"_ns);
        if (!valid(m_selected)) m_selected = -1;
    } else {
        noteTextChanged(stringValue());
    }
    m_visibleItems = std::max<NSInteger>(1, c->decodeIntegerForKey("NSVisibleItemCount"_ns));
    return this;
}
