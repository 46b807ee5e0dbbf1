#pragma once
// A menu entry: title, tag, check-mark state, action and (weak) target, key
// equivalent, represented object, image and an optional submenu. Separators
// are items too (separatorItem).
//
// Keyed coding keys: NSTitle (string), NSTag (integer), NSState (integer),
// NSIsDisabled (bool), NSIsSeparator (bool), NSKeyEquiv (string),
// NSKeyEquivModMask (integer), NSAction (selector text), NSTarget
// (conditional object), NSRepObject (object), NSSubmenu (NSMenu). Images are
// not archived. A missing key decodes as empty, zero or NO.
#include "AppKit/NSCellStateValue.h"
#include "AppKit/NSImage.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSString.h"

class NSMenu;

class NSMenuItem : public NSObject, public NSCoding {
    NS_OBJECT(NSMenuItem, NSObject)
protected:
    NSMenuItem() = default;

public:
    ~NSMenuItem() override;

    // initWithTitle:action:keyEquivalent: — the modifier mask starts as Command.
    Ref<NSMenuItem> initWithTitle(const Ref<NSString>& title, const SEL& action, const Ref<NSString>& keyEquivalent);
    Id init() override { return initWithTitle(""_ns, {}, ""_ns); }
    static Ref<NSMenuItem> itemWithTitle(const Ref<NSString>& title, const SEL& action,
                                         const Ref<NSString>& keyEquivalent = ""_ns);
    static Ref<NSMenuItem> separatorItem();
    bool isSeparatorItem() const { return m_separator; }

    Ref<NSString> title() const { return m_title; }
    void setTitle(const Ref<NSString>& title);
    NSInteger tag() const { return m_tag; }
    void setTag(NSInteger tag) { m_tag = tag; }
    NSInteger state() const { return m_state; }
    void setState(NSInteger state) { m_state = state; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // The target is not retained; a nil target sends the action along the
    // responder chain.
    const SEL& action() const { return m_action; }
    void setAction(const SEL& action) { m_action = action; }
    Id target() const { return m_target.get(); }
    void setTarget(const Id& target) { m_target = target; }

    Ref<NSString> keyEquivalent() const { return m_keyEquivalent; }
    void setKeyEquivalent(const Ref<NSString>& key);
    NSUInteger keyEquivalentModifierMask() const { return m_keyMask; }
    void setKeyEquivalentModifierMask(NSUInteger mask) { m_keyMask = mask; }

    Id representedObject() const { return m_representedObject; }
    void setRepresentedObject(const Id& object) { m_representedObject = object; }
    Ref<NSImage> image() const { return m_image; }
    void setImage(const Ref<NSImage>& image) { m_image = image; }

    // The item's submenu (retained); its supermenu becomes the item's menu.
    Ref<NSMenu> submenu() const { return m_submenu; }
    void setSubmenu(const Ref<NSMenu>& submenu);
    bool hasSubmenu() const { return m_submenu != nullptr; }
    // The menu holding the item (not retained).
    Ref<NSMenu> menu() const;
    void setMenu(const Ref<NSMenu>& menu);

    // A copy with the same title, tag, state, enabling, action, target, key
    // equivalent, represented object and image, and a copy of the submenu.
    Id copy() const override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<NSMenuItem>& m);

private:
    // KVC faces of the action, so interface files set it by key.
    Ref<NSString> actionName() const;
    void setActionName(const Ref<NSString>& name);

    Ref<NSString> m_title;
    NSInteger m_tag = 0;
    NSInteger m_state = NSOffState;
    bool m_enabled = false;
    bool m_separator = false;
    SEL m_action;
    Weak<NSObject> m_target;
    Ref<NSString> m_keyEquivalent;
    NSUInteger m_keyMask = 0;
    Id m_representedObject;
    Ref<NSImage> m_image;
    Ref<NSMenu> m_submenu;
    Weak<NSMenu> m_menu;
};
