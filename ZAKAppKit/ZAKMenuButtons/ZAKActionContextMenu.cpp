#include "ZAKAppKit/ZAKMenuButtons/ZAKActionContextMenu.h"

#include "AppKit/NSEvent.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKActionContextMenu)

Id ZAKActionContextMenu::init()
{
    NSObject::init();
    m_menu = NSMenu::menuWithTitle(""_ns);
    return this;
}

void ZAKActionContextMenu::addMenuItem(const Ref<NSMenuItem>& item)
{
    if (item) m_menu->addItem(item);
}

void ZAKActionContextMenu::addSeparatorItem() { m_menu->addItem(NSMenuItem::separatorItem()); }

void ZAKActionContextMenu::removeAllItems() { m_menu->removeAllItems(); }

Ref<NSMenu> ZAKActionContextMenu::menu() const { return m_menu ? dynamic_ref_cast<NSMenu>(m_menu->copy()) : nullptr; }

void ZAKActionContextMenu::showContextMenuForView(const Ref<NSView>& view)
{
    if (!view) return;
    const NSRect f = view->frame();
    const NSPoint centre = NSMakePoint(NSMidX(f), NSMidY(f));
    auto superview = view->superview();
    showContextMenuForViewAtWindowPosition(view, superview ? superview->convertPointToView(centre, nullptr) : centre);
}

void ZAKActionContextMenu::showContextMenuForViewAtWindowPosition(const Ref<NSView>& view, NSPoint position)
{
    if (!view) return;
    auto window = view->window();
    auto event =
        NSEvent::mouseEventWithType(NSEventTypeRightMouseDown, position, 0, 1.0, window ? window->windowNumber() : 0,
                                    NSGraphicsContext::currentContext(), 1, 1, 1.0f);
    NSMenu::popUpContextMenu(m_menu, event, view);
}
