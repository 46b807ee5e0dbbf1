#pragma once
// A button over a delayed pop-up cell: a click acts as a push button, a
// press held opens the cell's menu below the button.
#include "AppKit/NSButton.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKDelayedPopUpButtonCell.h"

class ZAKDelayedPopUpButton : public NSButton {
    NS_OBJECT(ZAKDelayedPopUpButton, NSButton)
protected:
    ZAKDelayedPopUpButton() = default;

public:
    // Starts untitled, over a regular-size delayed pop-up cell.
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    Ref<ZAKDelayedPopUpButtonCell> popUpCell() const { return dynamic_ref_cast<ZAKDelayedPopUpButtonCell>(m_cell); }
};
