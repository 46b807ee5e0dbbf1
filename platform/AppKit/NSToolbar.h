#pragma once
// A window's toolbar: a strip of items with labels between the title bar and
// the content view (NSWindow's frameRectForContentRect counts it while it is
// visible). The delegate names the default, allowed and selectable items and
// makes each item for its identifier; the items are made when the toolbar is
// given to a window. After each event the window's visible items validate
// themselves. A click on a selectable item selects it (drawn on a sunken
// background) before its action is sent.
//
// Customisation, when allowed: with customizesOnClickAndDrag an item at or
// after firstMovableItemIndex is moved by dragging it along the strip and
// removed by dragging it off; an allowed item is added by dropping
// NSToolbarIndividualItemDragType with its identifier as
// NSToolbarItemIdentifierPboardType (insertItemForDroppedIdentifier). No
// item goes before firstMovableItemIndex. The delegate hears of each item
// added and removed.
//
// Autosave: with autosavesConfiguration the configuration (identifiers,
// display and size mode, visibility) is written to the standard user
// defaults under "NSToolbar Configuration <identifier>" at every change, and
// read back when the items are first made, keeping only allowed identifiers.
#include <optional>
#include <vector>

#include "AppKit/NSToolbarItem.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"

class NSNotification;
class NSWindow;

inline const Ref<NSString> NSToolbarIndividualItemDragType = "NSToolbarIndividualItemDragType"_ns;
inline const Ref<NSString> NSToolbarItemIdentifierPboardType = "NSToolbarItemIdentifierPboardType"_ns;
// The object is the toolbar; userInfo's "item" the item.
inline constexpr char NSToolbarWillAddItemNotification[] = "NSToolbarWillAddItemNotification";
inline constexpr char NSToolbarDidRemoveItemNotification[] = "NSToolbarDidRemoveItemNotification";

enum NSToolbarSizeMode : NSUInteger {
    NSToolbarSizeModeDefault = 0,
    NSToolbarSizeModeRegular = 1,
    NSToolbarSizeModeSmall = 2,
};

enum NSToolbarDisplayMode : NSUInteger {
    NSToolbarDisplayModeDefault = 0,
    NSToolbarDisplayModeIconAndLabel = 1,
    NSToolbarDisplayModeIconOnly = 2,
    NSToolbarDisplayModeLabelOnly = 3,
};

class NSToolbarDelegate {
public:
    virtual ~NSToolbarDelegate() = default;
    virtual Ref<NSToolbarItem> toolbarItemForItemIdentifier(NSToolbar* toolbar, const Ref<NSString>& identifier,
                                                            bool willBeInserted) = 0;
    virtual Ref<NSArray> toolbarDefaultItemIdentifiers(NSToolbar* toolbar) = 0;
    virtual Ref<NSArray> toolbarAllowedItemIdentifiers(NSToolbar* toolbar) = 0;
    // Optional: the items that can show as selected; nil for none.
    virtual Ref<NSArray> toolbarSelectableItemIdentifiers(NSToolbar*) { return nullptr; }
    // Optional notices, also posted as notifications.
    virtual void toolbarWillAddItem(const Ref<NSNotification>&) { }
    virtual void toolbarDidRemoveItem(const Ref<NSNotification>&) { }
    // Optional validation: nullopt means not implemented.
    virtual std::optional<bool> validateToolbarItem(const Ref<NSToolbarItem>&) { return std::nullopt; }
    virtual std::optional<bool> validateUserInterfaceItem(const Ref<NSToolbarItem>&) { return std::nullopt; }
};

class NSToolbar : public NSObject {
    NS_OBJECT(NSToolbar, NSObject)
protected:
    NSToolbar() = default;

public:
    Ref<NSToolbar> initWithIdentifier(const Ref<NSString>& identifier);

    Ref<NSString> identifier() const { return m_identifier; }
    // Not retained; an object adopting NSToolbarDelegate.
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }
    NSToolbarDelegate* delegateProtocol() const { return dynamic_cast<NSToolbarDelegate*>(m_delegate.get().get()); }

    // Made from the delegate's default identifiers on first use.
    Ref<NSArray> items();
    Ref<NSArray> visibleItems();
    void insertItemWithItemIdentifier(const Ref<NSString>& identifier, NSInteger index);
    void removeItemAtIndex(NSInteger index);

    NSToolbarSizeMode sizeMode() const { return m_sizeMode; }
    void setSizeMode(NSToolbarSizeMode mode);
    NSToolbarDisplayMode displayMode() const { return m_displayMode; }
    void setDisplayMode(NSToolbarDisplayMode mode);
    bool isVisible() const { return m_visible; }
    void setVisible(bool flag);

    // The selected item's identifier; setting one the delegate does not list
    // as selectable is kept all the same, as the platform does.
    Ref<NSString> selectedItemIdentifier() const { return m_selectedIdentifier; }
    void setSelectedItemIdentifier(const Ref<NSString>& identifier);
    bool isSelectable(const Ref<NSToolbarItem>& item);

    // --- Customisation ---
    bool allowsUserCustomization() const { return m_allowsCustomization; }
    void setAllowsUserCustomization(bool flag) { m_allowsCustomization = flag; }
    bool customizesOnClickAndDrag() const { return m_customizesOnDrag; }
    void setCustomizesOnClickAndDrag(bool flag) { m_customizesOnDrag = flag; }
    NSUInteger firstMovableItemIndex() const { return m_firstMovableIndex; }
    void setFirstMovableItemIndex(NSUInteger index) { m_firstMovableIndex = index; }
    // Whether the user may move, remove or drop at this index now.
    bool canCustomizeAtIndex(NSInteger index) const;
    // Moves the item at `from` to `to` (indexes of the items as they are).
    void moveItem(NSInteger from, NSInteger to);
    // A dropped identifier: an allowed one that is not present yet goes in
    // at the index (no earlier than the first movable index). YES when added.
    bool insertItemForDroppedIdentifier(const Ref<NSString>& identifier, NSInteger index);

    // --- Autosave ---
    bool autosavesConfiguration() const { return m_autosaves; }
    void setAutosavesConfiguration(bool flag);
    // "TB Item Identifiers", "TB Display Mode", "TB Size Mode", "TB Is Shown".
    Ref<NSDictionary> configurationDictionary();
    void setConfigurationFromDictionary(const Ref<NSDictionary>& configuration);
    static Ref<NSString> autosaveKeyFor(const Ref<NSString>& identifier);

    // validate to every item that shows.
    void validateVisibleItems();

    // The window showing the toolbar (set by NSWindow setToolbar).
    Ref<NSWindow> window() const;
    void setWindow(const Ref<NSWindow>& window);
    // The strip the window shows, and its height for the current modes.
    Ref<NSView> stripView();
    CGFloat stripHeight();
    // Lays the strip out again after an item's look changed.
    void itemsDidChange();

private:
    void makeItemsIfNeeded();
    Ref<NSToolbarItem> makeItem(const Ref<NSString>& identifier);
    void insertItem(const Ref<NSToolbarItem>& item, size_t index);
    void removeItem(size_t index);
    bool isAllowed(const Ref<NSString>& identifier);
    void saveConfiguration();

    Ref<NSString> m_identifier;
    Weak<NSObject> m_delegate;
    std::vector<Ref<NSToolbarItem>> m_items;
    bool m_itemsMade = false;
    NSToolbarSizeMode m_sizeMode = NSToolbarSizeModeDefault;
    NSToolbarDisplayMode m_displayMode = NSToolbarDisplayModeDefault;
    bool m_visible = true;
    Ref<NSString> m_selectedIdentifier;
    bool m_allowsCustomization = false;
    bool m_customizesOnDrag = false;
    NSUInteger m_firstMovableIndex = 0;
    bool m_autosaves = false;
    Weak<NSWindow> m_window;
    Ref<NSView> m_strip;
};
