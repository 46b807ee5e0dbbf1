#pragma once
// The pop-up button over a themed pop-up cell; the setters pass on to the
// cell.
#include "AppKit/NSPopUpButton.h"
#include "ZAKAppKit/ZAKTPopUpButton/ZAKTPopUpButtonCell.h"

class ZAKTPopUpButton : public NSPopUpButton {
    NS_OBJECT(ZAKTPopUpButton, NSPopUpButton)
public:
    ZAKTPopUpButton() = default;

    static const NSClass& cellClass() { return ZAKTPopUpButtonCell::staticClass(); }
    const NSClass& cellClassOfControl() const override { return cellClass(); }

    Ref<ZAKTPopUpButtonCell> themedCell() const { return dynamic_ref_cast<ZAKTPopUpButtonCell>(m_cell); }
    void setThemeKey(const Ref<NSString>& key);
    void setHighlightBackgroundMode(NSUInteger mode);
    void setBorderSideMask(NSUInteger mask);
};
