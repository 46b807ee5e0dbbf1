#include "ZAKAppKit/ZAKMenuButtons/ZAKContextMenuToolbarItem.h"

#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKContextMenuToolbarItem)

namespace {
Ref<NSImage> sizedCopy(const Ref<NSImage>& image, CGFloat side)
{
    auto copy = dynamic_ref_cast<NSImage>(image->copy());
    copy->setScalesWhenResized(true);
    copy->setSize(NSMakeSize(side, side));
    return copy;
}
}

Ref<NSToolbarItem> ZAKContextMenuToolbarItem::initWithItemIdentifier(const Ref<NSString>& identifier)
{
    NSToolbarItem::initWithItemIdentifier(identifier);
    m_button = NSObject::alloc<ZAKDelayedPopUpButton>();
    m_button->initWithFrame(NSMakeRect(0, 0, 32, 32));
    m_button->setButtonType(NSMomentaryChangeButton);
    m_button->setBordered(false);
    m_button->buttonCell()->setImagePosition(NSImageOnly);
    setView(m_button);
    setMinSize(NSMakeSize(32, 32));
    setMaxSize(NSMakeSize(32, 32));
    return this;
}

Ref<NSButtonCell> ZAKContextMenuToolbarItem::popupCell() const
{
    return m_button ? dynamic_ref_cast<NSButtonCell>(m_button->cell()) : nullptr;
}

void ZAKContextMenuToolbarItem::setMenu(const Ref<NSMenu>& menu)
{
    if (auto cell = popupCell()) cell->setMenu(menu);
    auto form = NSObject::alloc<NSMenuItem>()->initWithTitle(label(), {}, ""_ns);
    form->setSubmenu(menu);
    setMenuFormRepresentation(form);
}

Ref<NSMenu> ZAKContextMenuToolbarItem::menu() const
{
    auto cell = popupCell();
    return cell ? cell->menu() : nullptr;
}

void ZAKContextMenuToolbarItem::setAction(const SEL& action)
{
    if (auto cell = popupCell()) cell->setAction(action);
}

SEL ZAKContextMenuToolbarItem::action() const
{
    auto cell = popupCell();
    return cell ? cell->action() : SEL{};
}

void ZAKContextMenuToolbarItem::setTarget(const Id& target)
{
    if (auto cell = popupCell()) cell->setTarget(target);
}

Id ZAKContextMenuToolbarItem::target() const
{
    auto cell = popupCell();
    return cell ? cell->target() : nullptr;
}

void ZAKContextMenuToolbarItem::setToolTip(const Ref<NSString>& tip)
{
    if (m_button) m_button->setToolTip(tip);
}

Ref<NSString> ZAKContextMenuToolbarItem::toolTip() const { return m_button ? m_button->toolTip() : nullptr; }

void ZAKContextMenuToolbarItem::setImage(const Ref<NSImage>& image)
{
    // Named images are shared: size copies, never the caller's image.
    m_regularImage = image ? sizedCopy(image, 32) : nullptr;
    m_smallImage = image ? sizedCopy(image, 24) : nullptr;
    auto t = toolbar();
    const bool small = t && t->sizeMode() == NSToolbarSizeModeSmall;
    if (auto cell = popupCell()) cell->setImage(small ? m_smallImage : m_regularImage);
    if (m_button) m_button->setNeedsDisplay(true);
}

Ref<NSImage> ZAKContextMenuToolbarItem::image() const
{
    auto cell = popupCell();
    return cell ? cell->image() : nullptr;
}

void ZAKContextMenuToolbarItem::validate()
{
    auto t = toolbar();
    auto cell = popupCell();
    if (t && cell) {
        const float shownWidth = cell->image() ? float(cell->image()->size().width) : 0.0f;
        if (t->sizeMode() == NSToolbarSizeModeSmall && shownWidth != 24) cell->setImage(m_smallImage);
        else if (t->sizeMode() == NSToolbarSizeModeRegular && shownWidth == 24) cell->setImage(m_regularImage);
    }
    if (auto d = t ? t->delegateProtocol() : nullptr) {
        auto answer = d->validateToolbarItem(this);
        if (!answer) answer = d->validateUserInterfaceItem(this);
        setEnabled(answer.value_or(true));
        return;
    }
    if (!action().empty()) {
        Id receiver = target();
        if (!receiver) {
            auto window = m_button ? m_button->window() : nullptr;
            receiver = window ? Id(window->firstResponder()) : nullptr;
        }
        setEnabled(receiver && receiver->respondsToSelector(action()));
        return;
    }
    NSToolbarItem::validate();
}
