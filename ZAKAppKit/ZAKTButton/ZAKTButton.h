#pragma once
// The button over a themed button cell; the setters pass on to the cell.
#include "AppKit/NSButton.h"
#include "ZAKAppKit/ZAKTButton/ZAKTButtonCell.h"

class ZAKTButton : public NSButton {
    NS_OBJECT(ZAKTButton, NSButton)
public:
    ZAKTButton() = default;

    static const NSClass& cellClass() { return ZAKTButtonCell::staticClass(); }
    const NSClass& cellClassOfControl() const override { return cellClass(); }

    Ref<ZAKTButtonCell> themedCell() const { return dynamic_ref_cast<ZAKTButtonCell>(m_cell); }
    void setThemeKey(const Ref<NSString>& key);
    void setHighlightBackgroundMode(NSUInteger mode);
    void setStateBackgroundMode(NSUInteger mode);
    void setBorderSideMask(NSUInteger mask);
};
