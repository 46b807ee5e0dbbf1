#pragma once
// One item of a window's toolbar: an identifier, a label, an image or a view
// (sized between its minimum and maximum size), a target and action, an
// enabled flag, a tool tip and the menu item that stands for it in menus.
// validate runs after each event while the item shows.
#include "AppKit/NSImage.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSView.h"

class NSToolbar;

inline const Ref<NSString> NSToolbarSpaceItemIdentifier = "NSToolbarSpaceItem"_ns;
inline const Ref<NSString> NSToolbarFlexibleSpaceItemIdentifier = "NSToolbarFlexibleSpaceItem"_ns;
// A thin vertical line between items.
inline const Ref<NSString> NSToolbarSeparatorItemIdentifier = "NSToolbarSeparatorItem"_ns;

class NSToolbarItem : public NSObject {
    NS_OBJECT(NSToolbarItem, NSObject)
protected:
    NSToolbarItem() = default;

public:
    virtual Ref<NSToolbarItem> initWithItemIdentifier(const Ref<NSString>& identifier);

    Ref<NSString> itemIdentifier() const { return m_identifier; }
    Ref<NSToolbar> toolbar() const;
    Ref<NSString> label() const { return m_label ? m_label : ""_ns; }
    void setLabel(const Ref<NSString>& label);
    virtual Ref<NSImage> image() const { return m_image; }
    virtual void setImage(const Ref<NSImage>& image);
    Ref<NSView> view() const { return m_view; }
    void setView(const Ref<NSView>& view);
    NSSize minSize() const { return m_minSize; }
    void setMinSize(NSSize size);
    NSSize maxSize() const { return m_maxSize; }
    void setMaxSize(NSSize size);
    // Not retained.
    virtual Id target() const { return m_target.get(); }
    virtual void setTarget(const Id& target) { m_target = target; }
    virtual SEL action() const { return m_action; }
    virtual void setAction(const SEL& action) { m_action = action; }
    NSInteger tag() const { return m_tag; }
    void setTag(NSInteger tag) { m_tag = tag; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool flag);
    virtual Ref<NSString> toolTip() const { return m_toolTip; }
    virtual void setToolTip(const Ref<NSString>& tip) { m_toolTip = tip; }
    Ref<NSMenuItem> menuFormRepresentation() const { return m_menuForm; }
    void setMenuFormRepresentation(const Ref<NSMenuItem>& item) { m_menuForm = item; }

    // An item with an action is enabled when its target, or the first
    // object of the responder chain that takes the action, responds to it.
    virtual void validate();
    // A click on an image item: the action goes to the target or, without
    // one, along the responder chain.
    void performClick();

private:
    friend class NSToolbar;
    void didChangeLook() const;

    Ref<NSString> m_identifier;
    Ref<NSString> m_label;
    Ref<NSImage> m_image;
    Ref<NSView> m_view;
    NSSize m_minSize = NSZeroSize;
    NSSize m_maxSize = NSZeroSize;
    Weak<NSObject> m_target;
    SEL m_action;
    NSInteger m_tag = 0;
    bool m_enabled = true;
    Ref<NSString> m_toolTip;
    Ref<NSMenuItem> m_menuForm;
    Weak<NSToolbar> m_toolbar;
};
