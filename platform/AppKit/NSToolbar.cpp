#include "AppKit/NSToolbar.h"

#include "AppKit/NSToolbarView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"

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
                       identifier->isEqualToString(NSToolbarFlexibleSpaceItemIdentifier);
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
    if (!identifiers) return;
    for (NSUInteger i = 0; i < identifiers->count(); ++i)
        if (auto id = dynamic_ref_cast<NSString>(identifiers->objectAtIndex(i)))
            if (auto item = makeItem(id)) m_items.push_back(item);
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
    if (auto item = makeItem(identifier)) m_items.insert(m_items.begin() + index, item);
    itemsDidChange();
}

void NSToolbar::removeItemAtIndex(NSInteger index)
{
    makeItemsIfNeeded();
    if (index < 0 || size_t(index) >= m_items.size()) return;
    m_items[size_t(index)]->m_toolbar = nullptr;
    m_items.erase(m_items.begin() + index);
    itemsDidChange();
}

void NSToolbar::setSizeMode(NSToolbarSizeMode mode)
{
    if (mode == m_sizeMode) return;
    m_sizeMode = mode;
    if (auto w = window()) w->toolbarDidChangeHeight();
    itemsDidChange();
}

void NSToolbar::setDisplayMode(NSToolbarDisplayMode mode)
{
    if (mode == m_displayMode) return;
    m_displayMode = mode;
    if (auto w = window()) w->toolbarDidChangeHeight();
    itemsDidChange();
}

void NSToolbar::setVisible(bool flag)
{
    if (flag == m_visible) return;
    m_visible = flag;
    if (auto w = window()) w->toolbarDidChangeHeight();
    itemsDidChange();
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
