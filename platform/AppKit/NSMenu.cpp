#include "AppKit/NSMenu.h"

#include <algorithm>
#include <utility>

#include "AppKit/MenuWindow.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSMenuItemValidation.h"
#include "AppKit/NSView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSMenu)

namespace {

[[maybe_unused]] const bool g_keyHandlerInstalled = [] {
    NSMenu::installKeyEquivalentHandler();
    return true;
}();

// The object that would receive the item's action, or nil.
Id targetForItem(const Ref<NSMenuItem>& item)
{
    if (NSApp) return NSApp->targetForAction(item->action(), item->target(), item);
    Id target = item->target();
    return target && target->respondsToSelector(item->action()) ? target : nullptr;
}

bool validate(const Id& target, const Ref<NSMenuItem>& item)
{
    if (auto* v = dynamic_cast<NSMenuItemValidation*>(target.get()))
        if (auto answer = v->validateMenuItem(item)) return *answer;
    if (target->respondsToSelector("validateMenuItem:")) {
        auto answer = dynamic_ref_cast<NSNumber>(target->performSelector("validateMenuItem:", item));
        return answer && answer->boolValue();
    }
    return true;
}

bool isLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
char16_t lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; }

constexpr NSUInteger kKeyModifiers = NSShiftKeyMask | NSControlKeyMask | NSAlternateKeyMask | NSCommandKeyMask;

// An upper-case letter as key equivalent asks for Shift; Shift that only
// produced a punctuation character ("?") is not asked for.
bool keyMatches(const Ref<NSMenuItem>& item, const Ref<NSEvent>& event)
{
    const auto& key = item->keyEquivalent()->utf16();
    auto chars = event->charactersIgnoringModifiers();
    if (key.size() != 1 || !chars || chars->utf16().size() != 1) return false;
    char16_t k = key[0], c = chars->utf16()[0];
    NSUInteger wanted = item->keyEquivalentModifierMask() & kKeyModifiers;
    NSUInteger have = event->modifierFlags() & kKeyModifiers;
    if (isLetter(k)) {
        if (k >= u'A' && k <= u'Z') wanted |= NSShiftKeyMask;
        return lower(k) == lower(c) && wanted == have;
    }
    if (k != c) return false;
    return (wanted & ~NSShiftKeyMask) == (have & ~NSShiftKeyMask);
}

}

NSMenu::~NSMenu()
{
    for (auto& item : m_items) item->setMenu(nullptr);
}

Ref<NSMenu> NSMenu::initWithTitle(const Ref<NSString>& title)
{
    m_title = title ? title : ""_ns;
    m_autoenables = true;
    return Ref<NSMenu>(this);
}

Ref<NSMenu> NSMenu::menuWithTitle(const Ref<NSString>& title) { return alloc<NSMenu>()->initWithTitle(title); }

// --- Items ---

void NSMenu::addItem(const Ref<NSMenuItem>& item) { insertItem(item, numberOfItems()); }

Ref<NSMenuItem> NSMenu::addItemWithTitle(const Ref<NSString>& title, const SEL& action,
                                         const Ref<NSString>& keyEquivalent)
{
    auto item = NSMenuItem::itemWithTitle(title, action, keyEquivalent);
    addItem(item);
    return item;
}

void NSMenu::insertItem(const Ref<NSMenuItem>& item, NSInteger index)
{
    if (!item) NSException::raise(NSInvalidArgumentException, "-[NSMenu insertItem:atIndex:]: nil item");
    if (item->menu())
        NSException::raise(NSInternalInconsistencyException,
                           "Item to be inserted into menu already is in another menu");
    if (index < 0 || index > numberOfItems())
        NSException::raise(NSRangeException, "-[NSMenu insertItem:atIndex:]: index " + std::to_string(index) +
                                                 " beyond bounds [0 .. " + std::to_string(numberOfItems()) + "]");
    m_items.insert(m_items.begin() + index, item);
    item->setMenu(Ref<NSMenu>(this));
}

void NSMenu::removeItemAtIndex(NSInteger index)
{
    auto item = itemAtIndex(index);
    m_items.erase(m_items.begin() + index);
    item->setMenu(nullptr);
}

void NSMenu::removeItem(const Ref<NSMenuItem>& item)
{
    NSInteger index = indexOfItem(item);
    if (index >= 0) removeItemAtIndex(index);
}

void NSMenu::removeAllItems()
{
    auto items = std::move(m_items);
    m_items.clear();
    for (auto& item : items) item->setMenu(nullptr);
}

Ref<NSArray> NSMenu::itemArray() const { return NSArray::arrayWithVector({m_items.begin(), m_items.end()}); }

Ref<NSMenuItem> NSMenu::itemAtIndex(NSInteger index) const
{
    if (index < 0 || index >= numberOfItems())
        NSException::raise(NSRangeException, "-[NSMenu itemAtIndex:]: index " + std::to_string(index) +
                                                 " beyond bounds [0 .. " + std::to_string(numberOfItems() - 1) + "]");
    return m_items[size_t(index)];
}

NSInteger NSMenu::indexOfItem(const Ref<NSMenuItem>& item) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i] == item) return NSInteger(i);
    return -1;
}

NSInteger NSMenu::indexOfItemWithTitle(const Ref<NSString>& title) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (title && m_items[i]->title()->isEqualToString(title)) return NSInteger(i);
    return -1;
}

NSInteger NSMenu::indexOfItemWithTag(NSInteger tag) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->tag() == tag) return NSInteger(i);
    return -1;
}

NSInteger NSMenu::indexOfItemWithSubmenu(const Ref<NSMenu>& submenu) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (submenu && m_items[i]->submenu() == submenu) return NSInteger(i);
    return -1;
}

NSInteger NSMenu::indexOfItemWithRepresentedObject(const Id& object) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        const Id& o = m_items[i]->representedObject();
        if (o == object || (o && object && o->isEqual(object.get()))) return NSInteger(i);
    }
    return -1;
}

Ref<NSMenuItem> NSMenu::itemWithTitle(const Ref<NSString>& title) const
{
    NSInteger i = indexOfItemWithTitle(title);
    return i < 0 ? nullptr : m_items[size_t(i)];
}

Ref<NSMenuItem> NSMenu::itemWithTag(NSInteger tag) const
{
    NSInteger i = indexOfItemWithTag(tag);
    return i < 0 ? nullptr : m_items[size_t(i)];
}

void NSMenu::setSubmenu(const Ref<NSMenu>& submenu, const Ref<NSMenuItem>& item)
{
    if (item) item->setSubmenu(submenu);
}

// --- Enabling and actions ---

void NSMenu::update()
{
    if (!m_autoenables) return;
    // A copy: a validator may add or remove items of this menu.
    const auto items = m_items;
    for (const auto& item : items) {
        if (item->isSeparatorItem()) continue;
        if (item->hasSubmenu()) {
            item->setEnabled(true);
            continue;
        }
        if (item->action().empty()) {
            item->setEnabled(false);
            continue;
        }
        Id target = targetForItem(item);
        item->setEnabled(target && validate(target, item));
    }
}

void NSMenu::performActionForItemAtIndex(NSInteger index)
{
    auto item = itemAtIndex(index);
    if (item->action().empty()) return;
    if (NSApp) {
        NSApp->sendAction(item->action(), item->target(), item);
        return;
    }
    if (Id target = targetForItem(item)) target->performSelector(item->action(), item);
}

namespace {

// Each menu is searched once: a submenu that leads back to a menu already
// searched would otherwise recurse without end.
bool performKeyEquivalentIn(const Ref<NSMenu>& menu, const Ref<NSEvent>& event, std::vector<Ref<NSMenu>>& searched)
{
    searched.push_back(menu);
    menu->update();
    const auto& items = menu->items();
    for (size_t i = 0; i < items.size(); ++i) {
        auto item = items[i];
        if (auto sub = item->submenu()) {
            if (std::find(searched.begin(), searched.end(), sub) == searched.end() &&
                performKeyEquivalentIn(sub, event, searched))
                return true;
            continue;
        }
        if (item->isSeparatorItem() || !keyMatches(item, event)) continue;
        if (!item->isEnabled()) return false;
        menu->performActionForItemAtIndex(NSInteger(i));
        return true;
    }
    return false;
}

}

bool NSMenu::performKeyEquivalent(const Ref<NSEvent>& event)
{
    if (!event || event->type() != NSEventTypeKeyDown) return false;
    std::vector<Ref<NSMenu>> searched;
    return performKeyEquivalentIn(Ref<NSMenu>(this), event, searched);
}

void NSMenu::installKeyEquivalentHandler()
{
    NSApplication::setMenuKeyEquivalentHandler([](const Id& mainMenu, const Ref<NSEvent>& event) {
        auto menu = dynamic_ref_cast<NSMenu>(mainMenu);
        return menu && menu->performKeyEquivalent(event);
    });
}

// --- Showing ---

bool NSMenu::chooseItemAtIndex(NSInteger index)
{
    if (index < 0 || index >= numberOfItems()) return false;
    auto item = m_items[size_t(index)];
    if (!item->isEnabled() || item->isSeparatorItem() || item->hasSubmenu()) return false;
    performActionForItemAtIndex(index);
    return true;
}

bool NSMenu::pickItemWithTitlePath(const Ref<NSString>& path)
{
    if (!path) return false;
    Ref<NSMenu> menu(this);
    std::string rest = path->UTF8String();
    for (;;) {
        menu->update();
        auto slash = rest.find('/');
        std::string title = rest.substr(0, slash);
        NSInteger index = menu->indexOfItemWithTitle(NSString::stringWithUTF8String(title));
        if (index < 0) return false;
        if (slash == std::string::npos) return menu->chooseItemAtIndex(index);
        auto item = menu->itemAtIndex(index);
        if (!item->isEnabled() || !item->hasSubmenu()) return false;
        menu = item->submenu();
        rest = rest.substr(slash + 1);
    }
}

bool NSMenu::popUpMenuPositioningItem(const Ref<NSMenuItem>& item, NSPoint location, const Ref<NSView>& view)
{
    NSPoint screenPoint = location;
    if (view) {
        auto window = view->window();
        if (!window) return false;
        screenPoint = window->convertBaseToScreen(view->convertPointToView(location, nullptr));
    }
    update();
    auto chosen = MenuWindow::trackMenu(Ref<NSMenu>(this), indexOfItem(item), screenPoint);
    return chosen.menu && chosen.menu->chooseItemAtIndex(chosen.index);
}

void NSMenu::popUpContextMenu(const Ref<NSMenu>& menu, const Ref<NSEvent>& event, const Ref<NSView>& view)
{
    if (!menu || !event) return;
    NSPoint location = event->locationInWindow();
    if (auto window = event->window()) location = window->convertBaseToScreen(location);
    else if (view && view->window()) location = view->window()->convertBaseToScreen(location);
    menu->update();
    auto chosen = MenuWindow::trackMenu(menu, -1, location);
    if (chosen.menu) chosen.menu->chooseItemAtIndex(chosen.index);
}

Ref<NSMenu> NSMenu::mainMenu() { return NSApp ? dynamic_ref_cast<NSMenu>(NSApp->mainMenu()) : nullptr; }

void NSMenu::setMainMenu(const Ref<NSMenu>& menu)
{
    if (NSApp) NSApp->setMainMenu(menu);
}

Ref<NSMenu> NSMenu::showDockMenu()
{
    if (!NSApp) return nullptr;
    auto* delegate = dynamic_cast<NSApplicationDelegate*>(NSApp->delegate().get());
    if (!delegate) return nullptr;
    auto menu = dynamic_ref_cast<NSMenu>(delegate->applicationDockMenu(Ref<NSApplication>(NSApp)));
    if (menu) menu->update();
    return menu;
}

// --- Copying and coding ---

Id NSMenu::copy() const
{
    // The menus being copied, outermost first: a submenu that leads back to
    // one of them gets that menu's copy, so a cycle is copied as a cycle
    // instead of without end.
    static thread_local std::vector<std::pair<const NSMenu*, Ref<NSMenu>>> copying;
    for (const auto& [original, copied] : copying)
        if (original == this) return copied;
    auto menu = alloc<NSMenu>();
    menu->m_title = m_title;
    menu->m_autoenables = m_autoenables;
    menu->m_minimumWidth = m_minimumWidth;
    copying.emplace_back(this, menu);
    struct Done {
        ~Done() { copying.pop_back(); }
    } done;
    for (auto& item : m_items) menu->addItem(static_ref_cast<NSMenuItem>(item->copy()));
    return menu;
}

void NSMenu::encodeWithCoder(NSCoder* coder) const
{
    coder->encodeObject(m_title, "NSTitle"_ns);
    coder->encodeBool(!m_autoenables, "NSNoAutoenable"_ns);
    coder->encodeObject(itemArray(), "NSMenuItems"_ns);
}

Id NSMenu::initWithCoder(NSCoder* coder)
{
    m_title = coder->decodeStringForKey("NSTitle"_ns);
    if (!m_title) m_title = ""_ns;
    m_autoenables = !coder->decodeBoolForKey("NSNoAutoenable"_ns);
    if (auto items = dynamic_ref_cast<NSArray>(coder->decodeObjectForKey("NSMenuItems"_ns)))
        for (auto& object : items->objects())
            if (auto item = dynamic_ref_cast<NSMenuItem>(object)) {
                if (item->menu()) continue;
                addItem(item);
            }
    return Ref<NSMenu>(this);
}
