#pragma once
// A toolbar item whose view is a delayed pop-up button: a click sends the
// item's action, a press held opens its menu. It shows a 32 x 32 image at
// the regular size and a 24 x 24 one at the small size; in menus it stands
// as an item with the same menu as its submenu.
#include "AppKit/NSToolbar.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKDelayedPopUpButton.h"

class ZAKContextMenuToolbarItem : public NSToolbarItem {
    NS_OBJECT(ZAKContextMenuToolbarItem, NSToolbarItem)
protected:
    ZAKContextMenuToolbarItem() = default;

public:
    Ref<NSToolbarItem> initWithItemIdentifier(const Ref<NSString>& identifier) override;

    Ref<ZAKDelayedPopUpButton> button() const { return m_button; }
    Ref<NSButtonCell> popupCell() const;
    void setMenu(const Ref<NSMenu>& menu);
    Ref<NSMenu> menu() const;
    void setAction(const SEL& action) override;
    SEL action() const override;
    void setTarget(const Id& target) override;
    Id target() const override;
    void setToolTip(const Ref<NSString>& tip) override;
    Ref<NSString> toolTip() const override;
    // Keeps 32 x 32 and 24 x 24 copies of the image; the caller's image is
    // left as it is.
    void setImage(const Ref<NSImage>& image) override;
    Ref<NSImage> image() const override;
    Ref<NSImage> regularImage() const { return m_regularImage; }
    Ref<NSImage> smallImage() const { return m_smallImage; }

    // Shows the image of the toolbar's size, then: the delegate's answer
    // when the toolbar has a delegate; else, with an action, whether the
    // target (or the window's first responder) responds to it.
    void validate() override;

private:
    Ref<ZAKDelayedPopUpButton> m_button;
    Ref<NSImage> m_regularImage;
    Ref<NSImage> m_smallImage;
};
