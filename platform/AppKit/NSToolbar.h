#pragma once
// A window's toolbar: a strip of items with labels between the title bar and
// the content view (NSWindow's frameRectForContentRect counts it while it is
// visible). The delegate names the default and allowed items and makes each
// item for its identifier; the items are made when the toolbar is given to a
// window. After each event the window's visible items validate themselves.
#include <optional>
#include <vector>

#include "AppKit/NSToolbarItem.h"
#include "Foundation/NSArray.h"

class NSWindow;

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

    Ref<NSString> m_identifier;
    Weak<NSObject> m_delegate;
    std::vector<Ref<NSToolbarItem>> m_items;
    bool m_itemsMade = false;
    NSToolbarSizeMode m_sizeMode = NSToolbarSizeModeDefault;
    NSToolbarDisplayMode m_displayMode = NSToolbarDisplayModeDefault;
    bool m_visible = true;
    Weak<NSWindow> m_window;
    Ref<NSView> m_strip;
};
