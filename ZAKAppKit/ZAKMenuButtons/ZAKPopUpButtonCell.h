#pragma once
// A pop-up button cell whose title rectangle is widened and shifted: 2 to
// the left and 6 wider (10 wider unbordered), then moved by the image's
// place.
#include "AppKit/NSPopUpButtonCell.h"

class ZAKPopUpButtonCell : public NSPopUpButtonCell {
    NS_OBJECT(ZAKPopUpButtonCell, NSPopUpButtonCell)
protected:
    ZAKPopUpButtonCell() = default;

public:
    NSRect titleRectForBounds(const NSRect& bounds) const override;
};
