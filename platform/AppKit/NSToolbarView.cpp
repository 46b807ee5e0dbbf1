#include "AppKit/NSToolbarView.h"

#include <cmath>

#include "AppKit/ControlText.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSToolbar.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSToolbarView)

namespace {
constexpr CGFloat kTopPadding = 6;
constexpr CGFloat kBottomPadding = 4;
constexpr CGFloat kLabelHeight = 15;
constexpr CGFloat kSlotPadding = 12;
constexpr CGFloat kSpaceWidth = 32;
constexpr CGFloat kSeparatorWidth = 12;
// How far the pointer moves before a press on a movable item becomes a drag.
constexpr CGFloat kDragThreshold = 4;
constexpr CGFloat kStartX = 8;
const ControlText::Style kLabelStyle{11, false};
}

CGFloat NSToolbarView::heightFor(NSUInteger sizeMode, NSUInteger displayMode)
{
    const CGFloat icon = sizeMode == NSToolbarSizeModeSmall ? 24 : 32;
    const bool icons = displayMode != NSToolbarDisplayModeLabelOnly;
    const bool labels = displayMode != NSToolbarDisplayModeIconOnly;
    return kTopPadding + (icons ? icon : 0) + (labels ? kLabelHeight : 0) + kBottomPadding;
}

CGFloat NSToolbarView::iconSide() const
{
    return m_toolbar && m_toolbar->sizeMode() == NSToolbarSizeModeSmall ? 24 : 32;
}

bool NSToolbarView::showsLabels() const
{
    return !m_toolbar || m_toolbar->displayMode() != NSToolbarDisplayModeIconOnly;
}

bool NSToolbarView::showsIcons() const
{
    return !m_toolbar || m_toolbar->displayMode() != NSToolbarDisplayModeLabelOnly;
}

std::vector<NSToolbarView::Slot> NSToolbarView::slots() const
{
    std::vector<Slot> out;
    if (!m_toolbar) return out;
    auto items = m_toolbar->visibleItems();
    const CGFloat icon = showsIcons() ? iconSide() : 0;
    CGFloat fixed = kStartX * 2;
    int flexible = 0;
    std::vector<CGFloat> widths;
    for (NSUInteger i = 0; i < items->count(); ++i) {
        auto item = dynamic_ref_cast<NSToolbarItem>(items->objectAtIndex(i));
        CGFloat w = 0;
        if (item->itemIdentifier()->isEqualToString(NSToolbarFlexibleSpaceItemIdentifier)) {
            ++flexible;
        } else if (item->itemIdentifier()->isEqualToString(NSToolbarSpaceItemIdentifier)) {
            w = kSpaceWidth;
        } else if (item->itemIdentifier()->isEqualToString(NSToolbarSeparatorItemIdentifier)) {
            w = kSeparatorWidth;
        } else {
            CGFloat content = icon;
            if (auto v = item->view()) content = std::max(item->minSize().width, v->frame().size.width);
            const CGFloat label =
                showsLabels() ? std::ceil(ControlText::width(item->label()->utf16(), kLabelStyle)) : 0;
            w = std::max(content, label) + kSlotPadding;
        }
        widths.push_back(w);
        fixed += w;
    }
    const CGFloat share = flexible ? std::max<CGFloat>(0, bounds().size.width - fixed) / flexible : 0;
    CGFloat x = kStartX;
    for (NSUInteger i = 0; i < items->count(); ++i) {
        auto item = dynamic_ref_cast<NSToolbarItem>(items->objectAtIndex(i));
        const CGFloat w =
            item->itemIdentifier()->isEqualToString(NSToolbarFlexibleSpaceItemIdentifier) ? share : widths[i];
        Slot slot{item, NSMakeRect(x, 0, w, bounds().size.height), NSZeroRect};
        NSSize size = NSMakeSize(icon, icon);
        if (auto v = item->view()) {
            size = v->frame().size;
            if (item->maxSize().width > 0) size.width = std::min(size.width, item->maxSize().width);
            if (item->maxSize().height > 0) size.height = std::min(size.height, item->maxSize().height);
            size.width = std::max(size.width, item->minSize().width);
            size.height = std::max(size.height, item->minSize().height);
        }
        slot.content = NSMakeRect(std::round(x + (w - size.width) / 2),
                                  kTopPadding + std::round((icon - size.height) / 2), size.width, size.height);
        out.push_back(slot);
        x += w;
    }
    return out;
}

NSRect NSToolbarView::rectOfItem(const Ref<NSToolbarItem>& item) const
{
    for (const auto& s : slots())
        if (s.item == item) return s.rect;
    return NSZeroRect;
}

void NSToolbarView::layoutItems()
{
    std::vector<Ref<NSView>> shown;
    for (const auto& s : slots()) {
        auto v = s.item->view();
        if (!v) continue;
        if (v->superview().get() != this) addSubview(v);
        v->setFrame(s.content);
        v->setHidden(!showsIcons());
        shown.push_back(v);
    }
    for (auto& v : std::vector<Ref<NSView>>(subviews()))
        if (std::find(shown.begin(), shown.end(), v) == shown.end()) v->removeFromSuperview();
    setNeedsDisplay(true);
}

void NSToolbarView::drawRect(const NSRect&)
{
    const NSRect b = bounds();
    NSColor::colorWithCalibratedWhite(0.91, 1)->setFill();
    NSRectFill(b);
    NSColor::colorWithCalibratedWhite(0.7, 1)->setFill();
    NSRectFill(NSMakeRect(0, NSMaxY(b) - 1, b.size.width, 1));
    const CGFloat icon = showsIcons() ? iconSide() : 0;
    auto selected = m_toolbar ? m_toolbar->selectedItemIdentifier() : nullptr;
    for (const auto& s : slots()) {
        if (s.item->itemIdentifier()->isEqualToString(NSToolbarSeparatorItemIdentifier)) {
            NSColor::colorWithCalibratedWhite(0.6, 1)->setFill();
            NSRectFill(
                NSMakeRect(std::round(NSMidX(s.rect)), kTopPadding, 1, b.size.height - kTopPadding - kBottomPadding));
            continue;
        }
        if (selected && selected->isEqualToString(s.item->itemIdentifier()) && m_toolbar->isSelectable(s.item)) {
            NSColor::colorWithCalibratedWhite(0.78, 1)->setFill();
            NSBezierPath::bezierPathWithRoundedRect(NSInsetRect(s.rect, 1, 1), 4, 4)->fill();
        }
        const bool enabled = s.item->isEnabled();
        if (showsIcons() && !s.item->view())
            if (auto image = s.item->image()) {
                const bool pressed = m_pressed == s.item;
                image->drawInRect(s.content, NSZeroRect, NSCompositeSourceOver, enabled ? (pressed ? 0.6 : 1.0) : 0.4,
                                  true, nullptr);
            }
        if (!showsLabels()) continue;
        const NSRect label = NSMakeRect(s.rect.origin.x, kTopPadding + icon, s.rect.size.width, kLabelHeight);
        ControlText::drawInRect(s.item->label()->utf16(), label, kLabelStyle,
                                enabled ? NSColor::controlTextColor() : NSColor::disabledControlTextColor(), 2);
    }
}

void NSToolbarView::mouseDown(const Ref<NSEvent>& event)
{
    const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    for (const auto& s : slots())
        if (!s.item->view() && s.item->isEnabled() && NSMouseInRect(p, s.rect, true)) {
            m_pressed = s.item;
            m_pressPoint = p;
            m_moving = false;
            setNeedsDisplay(true);
            return;
        }
}

NSInteger NSToolbarView::indexOfItem(const Ref<NSToolbarItem>& item) const
{
    if (!m_toolbar) return -1;
    auto items = m_toolbar->items();
    for (NSUInteger i = 0; i < items->count(); ++i)
        if (items->objectAtIndex(i).get() == item.get()) return NSInteger(i);
    return -1;
}

NSInteger NSToolbarView::insertionIndexForPoint(NSPoint point) const
{
    NSInteger index = 0;
    for (const auto& s : slots()) {
        if (point.x < NSMidX(s.rect)) break;
        ++index;
    }
    return index;
}

void NSToolbarView::mouseDragged(const Ref<NSEvent>& event)
{
    if (!m_pressed || !m_toolbar || !m_toolbar->customizesOnClickAndDrag()) return;
    const NSInteger from = indexOfItem(m_pressed);
    if (!m_toolbar->canCustomizeAtIndex(from)) return;
    const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    if (!m_moving && std::hypot(p.x - m_pressPoint.x, p.y - m_pressPoint.y) < kDragThreshold) return;
    m_moving = true;
    if (!NSMouseInRect(p, bounds(), true)) return;  // off the strip: decided on release
    NSInteger to = insertionIndexForPoint(p);
    if (to > from) --to;  // the item leaves its own place first
    if (m_toolbar->canCustomizeAtIndex(to)) m_toolbar->moveItem(from, to);
}

void NSToolbarView::mouseUp(const Ref<NSEvent>& event)
{
    auto pressed = m_pressed;
    const bool moved = m_moving;
    m_pressed = nullptr;
    m_moving = false;
    if (!pressed) return;
    setNeedsDisplay(true);
    const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    if (moved) {
        // Dropped off the strip: the item leaves the toolbar.
        if (m_toolbar && !NSMouseInRect(p, bounds(), true)) m_toolbar->removeItemAtIndex(indexOfItem(pressed));
        return;
    }
    if (!NSMouseInRect(p, rectOfItem(pressed), true)) return;
    if (m_toolbar && m_toolbar->isSelectable(pressed)) m_toolbar->setSelectedItemIdentifier(pressed->itemIdentifier());
    pressed->performClick();
}
