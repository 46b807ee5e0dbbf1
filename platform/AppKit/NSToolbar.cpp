#include "AppKit/NSToolbar.h"

#include <algorithm>

#include "AppKit/NSToolbarView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"

NS_CLASS_DEFINE(NSToolbar)

Ref<NSToolbar> NSToolbar::initWithIdentifier(const Ref<NSString>& identifier)
{
    init();
    m_identifier = identifier ? NSString::stringWithString(identifier) : ""_ns;
    return this;
}

Ref<NSToolbarItem> NSToolbar::makeItem(const Ref<NSString>& identifier)
{
    Ref<NSToolbarItem> item;
    const bool space = identifier->isEqualToString(NSToolbarSpaceItemIdentifier) ||
                       identifier->isEqualToString(NSToolbarFlexibleSpaceItemIdentifier) ||
                       identifier->isEqualToString(NSToolbarSeparatorItemIdentifier);
    if (space) item = alloc<NSToolbarItem>()->initWithItemIdentifier(identifier);
    else if (auto d = delegateProtocol()) item = d->toolbarItemForItemIdentifier(this, identifier, true);
    if (item) item->m_toolbar = this;
    return item;
}

void NSToolbar::makeItemsIfNeeded()
{
    if (m_itemsMade) return;
    m_itemsMade = true;
    auto d = delegateProtocol();
    auto identifiers = d ? d->toolbarDefaultItemIdentifiers(this) : nullptr;
    Ref<NSDictionary> saved;
    if (m_autosaves)
        saved = dynamic_ref_cast<NSDictionary>(
            NSUserDefaults::standardUserDefaults()->objectForKey(autosaveKeyFor(m_identifier)));
    if (saved) {
        if (auto list = dynamic_ref_cast<NSArray>(saved->objectForKey("TB Item Identifiers"_ns))) identifiers = list;
        if (auto n = dynamic_ref_cast<NSNumber>(saved->objectForKey("TB Display Mode"_ns)))
            m_displayMode = NSToolbarDisplayMode(std::min<NSUInteger>(n->unsignedIntegerValue(), 3));
        if (auto n = dynamic_ref_cast<NSNumber>(saved->objectForKey("TB Size Mode"_ns)))
            m_sizeMode = NSToolbarSizeMode(std::min<NSUInteger>(n->unsignedIntegerValue(), 2));
        if (auto n = dynamic_ref_cast<NSNumber>(saved->objectForKey("TB Is Shown"_ns))) m_visible = n->boolValue();
    }
    if (!identifiers) return;
    for (NSUInteger i = 0; i < identifiers->count(); ++i)
        if (auto id = dynamic_ref_cast<NSString>(identifiers->objectAtIndex(i)))
            // A saved list may name items the program no longer has.
            if (!saved || isAllowed(id))
                if (auto item = makeItem(id)) insertItem(item, m_items.size());
}

bool NSToolbar::isAllowed(const Ref<NSString>& identifier)
{
    auto d = delegateProtocol();
    auto allowed = d ? d->toolbarAllowedItemIdentifiers(this) : nullptr;
    if (allowed && allowed->containsObject(identifier)) return true;
    return identifier->isEqualToString(NSToolbarSpaceItemIdentifier) ||
           identifier->isEqualToString(NSToolbarFlexibleSpaceItemIdentifier) ||
           identifier->isEqualToString(NSToolbarSeparatorItemIdentifier);
}

void NSToolbar::insertItem(const Ref<NSToolbarItem>& item, size_t index)
{
    auto info = NSDictionary::dictionaryWithObjectForKey(item, "item"_ns);
    auto note = NSNotification::notificationWithName(NSString::stringWithUTF8String(NSToolbarWillAddItemNotification),
                                                     Ref<NSToolbar>(this), info);
    if (auto d = delegateProtocol()) d->toolbarWillAddItem(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
    m_items.insert(m_items.begin() + std::ptrdiff_t(std::min(index, m_items.size())), item);
}

void NSToolbar::removeItem(size_t index)
{
    auto item = m_items[index];
    m_items.erase(m_items.begin() + std::ptrdiff_t(index));
    item->m_toolbar = nullptr;
    auto info = NSDictionary::dictionaryWithObjectForKey(item, "item"_ns);
    auto note = NSNotification::notificationWithName(NSString::stringWithUTF8String(NSToolbarDidRemoveItemNotification),
                                                     Ref<NSToolbar>(this), info);
    if (auto d = delegateProtocol()) d->toolbarDidRemoveItem(note);
    NSNotificationCenter::defaultCenter()->postNotification(note);
}

Ref<NSArray> NSToolbar::items()
{
    makeItemsIfNeeded();
    auto out = NSMutableArray::array();
    for (const auto& item : m_items) out->addObject(item);
    return out;
}

Ref<NSArray> NSToolbar::visibleItems() { return m_visible ? items() : NSArray::array(); }

void NSToolbar::insertItemWithItemIdentifier(const Ref<NSString>& identifier, NSInteger index)
{
    makeItemsIfNeeded();
    if (!identifier || index < 0 || size_t(index) > m_items.size()) return;
    if (auto item = makeItem(identifier)) insertItem(item, size_t(index));
    itemsDidChange();
    saveConfiguration();
}

void NSToolbar::removeItemAtIndex(NSInteger index)
{
    makeItemsIfNeeded();
    if (index < 0 || size_t(index) >= m_items.size()) return;
    removeItem(size_t(index));
    itemsDidChange();
    saveConfiguration();
}

void NSToolbar::setSelectedItemIdentifier(const Ref<NSString>& identifier)
{
    m_selectedIdentifier = identifier ? NSString::stringWithString(identifier) : nullptr;
    if (m_strip) m_strip->setNeedsDisplay(true);
}

bool NSToolbar::isSelectable(const Ref<NSToolbarItem>& item)
{
    auto d = delegateProtocol();
    auto selectable = d ? d->toolbarSelectableItemIdentifiers(this) : nullptr;
    return item && selectable && selectable->containsObject(item->itemIdentifier());
}

bool NSToolbar::canCustomizeAtIndex(NSInteger index) const
{
    return m_allowsCustomization && index >= 0 && NSUInteger(index) >= m_firstMovableIndex;
}

void NSToolbar::moveItem(NSInteger from, NSInteger to)
{
    makeItemsIfNeeded();
    const auto count = NSInteger(m_items.size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
    auto item = m_items[size_t(from)];
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + to, item);
    itemsDidChange();
    saveConfiguration();
}

bool NSToolbar::insertItemForDroppedIdentifier(const Ref<NSString>& identifier, NSInteger index)
{
    makeItemsIfNeeded();
    if (!identifier || !m_allowsCustomization || !isAllowed(identifier)) return false;
    for (const auto& item : m_items)
        if (item->itemIdentifier()->isEqualToString(identifier)) return false;
    index = std::clamp<NSInteger>(index, NSInteger(m_firstMovableIndex), NSInteger(m_items.size()));
    auto item = makeItem(identifier);
    if (!item) return false;
    insertItem(item, size_t(index));
    itemsDidChange();
    saveConfiguration();
    return true;
}

Ref<NSString> NSToolbar::autosaveKeyFor(const Ref<NSString>& identifier)
{
    return NSString::stringWithFormat("NSToolbar Configuration %@", identifier ? identifier : ""_ns);
}

void NSToolbar::setAutosavesConfiguration(bool flag)
{
    m_autosaves = flag;
    saveConfiguration();
}

Ref<NSDictionary> NSToolbar::configurationDictionary()
{
    makeItemsIfNeeded();
    auto identifiers = NSMutableArray::array();
    for (const auto& item : m_items) identifiers->addObject(item->itemIdentifier());
    auto configuration = NSMutableDictionary::dictionary();
    configuration->setObject(identifiers, "TB Item Identifiers"_ns);
    configuration->setObject(NSNumber::numberWithUnsignedInteger(m_displayMode), "TB Display Mode"_ns);
    configuration->setObject(NSNumber::numberWithUnsignedInteger(m_sizeMode), "TB Size Mode"_ns);
    configuration->setObject(NSNumber::numberWithBool(m_visible), "TB Is Shown"_ns);
    return configuration;
}

void NSToolbar::setConfigurationFromDictionary(const Ref<NSDictionary>& configuration)
{
    if (!configuration) return;
    makeItemsIfNeeded();
    if (auto list = dynamic_ref_cast<NSArray>(configuration->objectForKey("TB Item Identifiers"_ns))) {
        while (!m_items.empty()) removeItem(m_items.size() - 1);
        for (NSUInteger i = 0; i < list->count(); ++i)
            if (auto id = dynamic_ref_cast<NSString>(list->objectAtIndex(i)); id && isAllowed(id))
                if (auto item = makeItem(id)) insertItem(item, m_items.size());
    }
    if (auto n = dynamic_ref_cast<NSNumber>(configuration->objectForKey("TB Display Mode"_ns)))
        m_displayMode = NSToolbarDisplayMode(std::min<NSUInteger>(n->unsignedIntegerValue(), 3));
    if (auto n = dynamic_ref_cast<NSNumber>(configuration->objectForKey("TB Size Mode"_ns)))
        m_sizeMode = NSToolbarSizeMode(std::min<NSUInteger>(n->unsignedIntegerValue(), 2));
    if (auto n = dynamic_ref_cast<NSNumber>(configuration->objectForKey("TB Is Shown"_ns))) m_visible = n->boolValue();
    if (auto w = window()) w->toolbarDidChangeHeight();
    itemsDidChange();
    saveConfiguration();
}

void NSToolbar::saveConfiguration()
{
    if (!m_autosaves || !m_itemsMade) return;
    NSUserDefaults::standardUserDefaults()->setObject(configurationDictionary(), autosaveKeyFor(m_identifier));
}

void NSToolbar::setSizeMode(NSToolbarSizeMode mode)
{
    if (mode == m_sizeMode) return;
    m_sizeMode = mode;
    if (auto w = window()) w->toolbarDidChangeHeight();
    itemsDidChange();
    saveConfiguration();
}

void NSToolbar::setDisplayMode(NSToolbarDisplayMode mode)
{
    if (mode == m_displayMode) return;
    m_displayMode = mode;
    if (auto w = window()) w->toolbarDidChangeHeight();
    itemsDidChange();
    saveConfiguration();
}

void NSToolbar::setVisible(bool flag)
{
    if (flag == m_visible) return;
    m_visible = flag;
    if (auto w = window()) w->toolbarDidChangeHeight();
    itemsDidChange();
    saveConfiguration();
}

void NSToolbar::validateVisibleItems()
{
    if (!m_visible) return;
    for (const auto& item : std::vector<Ref<NSToolbarItem>>(m_items)) item->validate();
}

Ref<NSWindow> NSToolbar::window() const { return m_window.get(); }

void NSToolbar::setWindow(const Ref<NSWindow>& window)
{
    m_window = window;
    makeItemsIfNeeded();
}

Ref<NSView> NSToolbar::stripView()
{
    if (!m_strip) {
        auto strip = alloc<NSToolbarView>();
        strip->initWithFrame(NSZeroRect);
        strip->setToolbar(this);
        m_strip = strip;
    }
    return m_strip;
}

CGFloat NSToolbar::stripHeight() { return NSToolbarView::heightFor(m_sizeMode, m_displayMode); }

void NSToolbar::itemsDidChange()
{
    if (auto strip = dynamic_ref_cast<NSToolbarView>(m_strip)) strip->layoutItems();
}
