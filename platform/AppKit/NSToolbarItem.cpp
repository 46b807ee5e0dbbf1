#include "AppKit/NSToolbarItem.h"

#include "AppKit/NSApplication.h"
#include "AppKit/NSControl.h"
#include "AppKit/NSToolbar.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSToolbarItem)

Ref<NSToolbarItem> NSToolbarItem::initWithItemIdentifier(const Ref<NSString>& identifier)
{
    init();
    m_identifier = identifier ? NSString::stringWithString(identifier) : ""_ns;
    return this;
}

Ref<NSToolbar> NSToolbarItem::toolbar() const { return m_toolbar.get(); }

void NSToolbarItem::didChangeLook() const
{
    if (auto t = m_toolbar.get()) t->itemsDidChange();
}

void NSToolbarItem::setLabel(const Ref<NSString>& label)
{
    m_label = label ? NSString::stringWithString(label) : nullptr;
    didChangeLook();
}

void NSToolbarItem::setImage(const Ref<NSImage>& image)
{
    m_image = image;
    didChangeLook();
}

void NSToolbarItem::setView(const Ref<NSView>& view)
{
    if (m_view && m_view != view) m_view->removeFromSuperview();
    m_view = view;
    didChangeLook();
}

void NSToolbarItem::setMinSize(NSSize size)
{
    m_minSize = size;
    didChangeLook();
}

void NSToolbarItem::setMaxSize(NSSize size)
{
    m_maxSize = size;
    didChangeLook();
}

void NSToolbarItem::setEnabled(bool flag)
{
    if (flag == m_enabled) return;
    m_enabled = flag;
    if (auto control = dynamic_ref_cast<NSControl>(m_view)) control->setEnabled(flag);
    didChangeLook();
}

void NSToolbarItem::validate()
{
    if (m_action.empty()) return;
    if (auto target = m_target.get()) return setEnabled(target->respondsToSelector(m_action));
    setEnabled(NSApp && NSApp->targetForAction(m_action) != nullptr);
}

void NSToolbarItem::performClick()
{
    if (!m_enabled || m_action.empty() || !NSApp) return;
    NSApp->sendAction(m_action, m_target.get(), Ref<NSToolbarItem>(this));
}
