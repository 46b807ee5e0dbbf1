#pragma once
// The scope bar's overflow button: an image-only pull-down without arrow or
// border whose first menu item (the face) carries the image; the objects
// that do not fit follow it in the menu.
#include "AppKit/NSPopUpButtonCell.h"

class KROverflowPullDownCell : public NSPopUpButtonCell {
    NS_OBJECT(KROverflowPullDownCell, NSPopUpButtonCell)
public:
    KROverflowPullDownCell() = default;
    // Always a pull-down, whatever the flag.
    Ref<NSPopUpButtonCell> initTextCell(const Ref<NSString>& title, bool pullsDown) override;
    Ref<NSCell> initTextCell(const Ref<NSString>& title) override { return initTextCell(title, true); }
    // The face image's width plus 12 by its height; zero without one.
    NSSize cellSize() const override;
};
