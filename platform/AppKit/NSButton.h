#pragma once
// Buttons: push buttons, check boxes, radio buttons, toggles and image
// buttons over an NSButtonCell. A button clicks itself when its key
// equivalent is pressed in its window. New buttons are momentary push-in
// buttons with a rounded bezel titled "Button".
#include "AppKit/NSButtonCell.h"
#include "AppKit/NSControl.h"

class NSButton : public NSControl {
    NS_OBJECT(NSButton, NSControl)
public:
    NSButton() = default;

    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }
    Ref<NSView> initWithFrame(const NSRect& frame) override;

    Ref<NSButtonCell> buttonCell() const { return dynamic_ref_cast<NSButtonCell>(m_cell); }
    // A tracking area owned by the button reaches its cell.
    void mouseEntered(const Ref<NSEvent>& event) override;
    void mouseExited(const Ref<NSEvent>& event) override;

    Ref<NSString> title() const { return m_cell ? m_cell->title() : ""_ns; }
    void setTitle(const Ref<NSString>& title) { setStringValue(title); }
    Ref<NSString> alternateTitle() const;
    void setAlternateTitle(const Ref<NSString>& title);
    NSInteger state() const { return m_cell ? m_cell->state() : NSOffState; }
    void setState(NSInteger state);
    void setNextState();
    bool allowsMixedState() const { return m_cell && m_cell->allowsMixedState(); }
    void setAllowsMixedState(bool flag)
    {
        if (m_cell) m_cell->setAllowsMixedState(flag);
    }
    void setButtonType(NSButtonType type);
    NSBezelStyle bezelStyle() const;
    void setBezelStyle(NSBezelStyle style);
    bool isBordered() const { return m_cell && m_cell->isBordered(); }
    void setBordered(bool flag)
    {
        if (m_cell) m_cell->setBordered(flag);
    }
    Ref<NSImage> image() const;
    void setImage(const Ref<NSImage>& image);
    Ref<NSImage> alternateImage() const;
    void setAlternateImage(const Ref<NSImage>& image);
    NSCellImagePosition imagePosition() const;
    void setImagePosition(NSCellImagePosition position);
    Ref<NSString> keyEquivalent() const;
    void setKeyEquivalent(const Ref<NSString>& key);
    NSUInteger keyEquivalentModifierMask() const;
    void setKeyEquivalentModifierMask(NSUInteger mask);

    bool performKeyEquivalent(const Ref<NSEvent>& event) override;

    static void describeClass(NSClassMembers<NSButton>& m);
};
