#include "AppKit/NSButton.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSButton)

void NSButton::describeClass(NSClassMembers<NSButton>& m)
{
    m.property("state", &NSButton::state, &NSButton::setState);
    m.property("title", &NSButton::title, &NSButton::setTitle);
}

const NSClass& NSButton::cellClass() { return NSButtonCell::staticClass(); }

Ref<NSView> NSButton::initWithFrame(const NSRect& frame)
{
    NSControl::initWithFrame(frame);
    setTitle("Button"_ns);
    return this;
}

void NSButton::mouseEntered(const Ref<NSEvent>& event)
{
    if (m_cell) m_cell->mouseEntered(event);
}

void NSButton::mouseExited(const Ref<NSEvent>& event)
{
    if (m_cell) m_cell->mouseExited(event);
}

Ref<NSString> NSButton::alternateTitle() const
{
    auto c = buttonCell();
    return c ? c->alternateTitle() : ""_ns;
}

void NSButton::setAlternateTitle(const Ref<NSString>& title)
{
    if (auto c = buttonCell()) c->setAlternateTitle(title);
}

void NSButton::setState(NSInteger state)
{
    if (m_cell) m_cell->setState(state);
    setNeedsDisplay(true);
}

void NSButton::setNextState()
{
    if (m_cell) m_cell->setNextState();
    setNeedsDisplay(true);
}

void NSButton::setButtonType(NSButtonType type)
{
    if (auto c = buttonCell()) c->setButtonType(type);
    setNeedsDisplay(true);
}

NSBezelStyle NSButton::bezelStyle() const
{
    auto c = buttonCell();
    return c ? c->bezelStyle() : NSRoundedBezelStyle;
}

void NSButton::setBezelStyle(NSBezelStyle style)
{
    if (auto c = buttonCell()) c->setBezelStyle(style);
}

Ref<NSImage> NSButton::image() const
{
    auto c = buttonCell();
    return c ? c->image() : nullptr;
}

void NSButton::setImage(const Ref<NSImage>& image)
{
    auto c = buttonCell();
    if (!c) return;
    c->setImage(image);
    if (image && c->imagePosition() == NSNoImage) c->setImagePosition(title()->length() ? NSImageLeft : NSImageOnly);
}

Ref<NSImage> NSButton::alternateImage() const
{
    auto c = buttonCell();
    return c ? c->alternateImage() : nullptr;
}

void NSButton::setAlternateImage(const Ref<NSImage>& image)
{
    if (auto c = buttonCell()) c->setAlternateImage(image);
}

NSCellImagePosition NSButton::imagePosition() const
{
    auto c = buttonCell();
    return c ? c->imagePosition() : NSNoImage;
}

void NSButton::setImagePosition(NSCellImagePosition position)
{
    if (auto c = buttonCell()) c->setImagePosition(position);
}

Ref<NSString> NSButton::keyEquivalent() const
{
    auto c = buttonCell();
    return c ? c->keyEquivalent() : ""_ns;
}

void NSButton::setKeyEquivalent(const Ref<NSString>& key)
{
    if (auto c = buttonCell()) c->setKeyEquivalent(key);
}

NSUInteger NSButton::keyEquivalentModifierMask() const
{
    auto c = buttonCell();
    return c ? c->keyEquivalentModifierMask() : 0;
}

void NSButton::setKeyEquivalentModifierMask(NSUInteger mask)
{
    if (auto c = buttonCell()) c->setKeyEquivalentModifierMask(mask);
}

bool NSButton::performKeyEquivalent(const Ref<NSEvent>& event)
{
    auto c = buttonCell();
    if (c && isEnabled() && !isHiddenOrHasHiddenAncestor() && c->matchesKeyEquivalent(event)) {
        performClick(nullptr);
        return true;
    }
    return NSControl::performKeyEquivalent(event);
}
