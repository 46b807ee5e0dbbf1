#pragma once
// The framework's pop-up button, over a ZAKPopUpButtonCell.
#include "AppKit/NSPopUpButton.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKPopUpButtonCell.h"

class ZAKPopUpButton : public NSPopUpButton {
    NS_OBJECT(ZAKPopUpButton, NSPopUpButton)
protected:
    ZAKPopUpButton() = default;

public:
    static const NSClass& cellClass() { return ZAKPopUpButtonCell::staticClass(); }
    const NSClass& cellClassOfControl() const override { return cellClass(); }
};
