#include "AppKit/NSMenuItem.h"

#include "AppKit/NSEvent.h"
#include "AppKit/NSMenu.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSMenuItem)

void NSMenuItem::describeClass(NSClassMembers<NSMenuItem>& m)
{
    m.property("title", &NSMenuItem::title, &NSMenuItem::setTitle);
    m.property("tag", &NSMenuItem::tag, &NSMenuItem::setTag);
    m.property("state", &NSMenuItem::state, &NSMenuItem::setState);
    m.property("enabled", &NSMenuItem::isEnabled, &NSMenuItem::setEnabled);
    m.property("target", &NSMenuItem::target, &NSMenuItem::setTarget);
    m.property("action", &NSMenuItem::actionName, &NSMenuItem::setActionName);
    m.property("representedObject", &NSMenuItem::representedObject, &NSMenuItem::setRepresentedObject);
    m.property("submenu", &NSMenuItem::submenu, &NSMenuItem::setSubmenu);
}

NSMenuItem::~NSMenuItem() = default;

Ref<NSMenuItem> NSMenuItem::initWithTitle(const Ref<NSString>& title, const SEL& action,
                                          const Ref<NSString>& keyEquivalent)
{
    m_title = title ? title : ""_ns;
    m_action = action;
    m_keyEquivalent = keyEquivalent ? keyEquivalent : ""_ns;
    m_keyMask = NSCommandKeyMask;
    m_enabled = true;
    return Ref<NSMenuItem>(this);
}

Ref<NSMenuItem> NSMenuItem::itemWithTitle(const Ref<NSString>& title, const SEL& action,
                                          const Ref<NSString>& keyEquivalent)
{
    return alloc<NSMenuItem>()->initWithTitle(title, action, keyEquivalent);
}

Ref<NSMenuItem> NSMenuItem::separatorItem()
{
    auto item = itemWithTitle(""_ns, {});
    item->m_separator = true;
    item->m_enabled = false;
    item->m_keyMask = 0;
    return item;
}

void NSMenuItem::setTitle(const Ref<NSString>& title) { m_title = title ? title : ""_ns; }

void NSMenuItem::setKeyEquivalent(const Ref<NSString>& key) { m_keyEquivalent = key ? key : ""_ns; }

void NSMenuItem::setSubmenu(const Ref<NSMenu>& submenu)
{
    if (m_submenu) m_submenu->setSupermenu(nullptr);
    m_submenu = submenu;
    if (m_submenu) m_submenu->setSupermenu(menu());
}

Ref<NSMenu> NSMenuItem::menu() const { return m_menu.get(); }

void NSMenuItem::setMenu(const Ref<NSMenu>& menu)
{
    m_menu = menu;
    if (m_submenu) m_submenu->setSupermenu(menu);
}

Ref<NSString> NSMenuItem::actionName() const { return NSString::stringWithUTF8String(m_action); }

void NSMenuItem::setActionName(const Ref<NSString>& name) { m_action = name ? name->UTF8String() : std::string(); }

Id NSMenuItem::copy() const
{
    auto item = alloc<NSMenuItem>();
    item->m_title = m_title;
    item->m_tag = m_tag;
    item->m_state = m_state;
    item->m_enabled = m_enabled;
    item->m_separator = m_separator;
    item->m_action = m_action;
    item->m_target = m_target;
    item->m_keyEquivalent = m_keyEquivalent;
    item->m_keyMask = m_keyMask;
    item->m_representedObject = m_representedObject;
    item->m_image = m_image;
    if (m_submenu) item->setSubmenu(static_ref_cast<NSMenu>(m_submenu->copy()));
    return item;
}

void NSMenuItem::encodeWithCoder(NSCoder* coder) const
{
    coder->encodeObject(m_title, "NSTitle"_ns);
    coder->encodeInteger(m_tag, "NSTag"_ns);
    coder->encodeInteger(m_state, "NSState"_ns);
    coder->encodeBool(!m_enabled, "NSIsDisabled"_ns);
    coder->encodeBool(m_separator, "NSIsSeparator"_ns);
    coder->encodeObject(m_keyEquivalent, "NSKeyEquiv"_ns);
    coder->encodeInteger(NSInteger(m_keyMask), "NSKeyEquivModMask"_ns);
    if (!m_action.empty()) coder->encodeObject(actionName(), "NSAction"_ns);
    coder->encodeConditionalObject(target(), "NSTarget"_ns);
    coder->encodeObject(m_representedObject, "NSRepObject"_ns);
    coder->encodeObject(m_submenu, "NSSubmenu"_ns);
}

Id NSMenuItem::initWithCoder(NSCoder* coder)
{
    m_title = coder->decodeStringForKey("NSTitle"_ns);
    if (!m_title) m_title = ""_ns;
    m_tag = coder->decodeIntegerForKey("NSTag"_ns);
    m_state = coder->decodeIntegerForKey("NSState"_ns);
    m_enabled = !coder->decodeBoolForKey("NSIsDisabled"_ns);
    m_separator = coder->decodeBoolForKey("NSIsSeparator"_ns);
    m_keyEquivalent = coder->decodeStringForKey("NSKeyEquiv"_ns);
    if (!m_keyEquivalent) m_keyEquivalent = ""_ns;
    m_keyMask = NSUInteger(coder->decodeIntegerForKey("NSKeyEquivModMask"_ns));
    if (auto action = coder->decodeStringForKey("NSAction"_ns)) m_action = action->UTF8String();
    m_target = coder->decodeObjectForKey("NSTarget"_ns);
    m_representedObject = coder->decodeObjectForKey("NSRepObject"_ns);
    if (auto sub = dynamic_ref_cast<NSMenu>(coder->decodeObjectForKey("NSSubmenu"_ns))) setSubmenu(sub);
    return Ref<NSMenuItem>(this);
}
