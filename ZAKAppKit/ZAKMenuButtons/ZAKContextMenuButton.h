#pragma once
// A tiny square button that fires its action on mouse-down (its cell is a
// ZAKContextMenuButtonCell), so the action can open an action menu at once.
#include "AppKit/NSButton.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKContextMenuButtonCell.h"

class ZAKContextMenuButton : public NSButton {
    NS_OBJECT(ZAKContextMenuButton, NSButton)
protected:
    ZAKContextMenuButton() = default;

public:
    static const NSClass& cellClass() { return ZAKContextMenuButtonCell::staticClass(); }
    const NSClass& cellClassOfControl() const override { return cellClass(); }
};
