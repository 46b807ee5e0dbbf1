#pragma once
// The cell of a collapsed scope bar group's pop-up: white bold 11-point text
// on a dark, close shadow, one point higher than the platform places it.
#include "AppKit/NSPopUpButtonCell.h"

class KRPopUpButtonCell : public NSPopUpButtonCell {
    NS_OBJECT(KRPopUpButtonCell, NSPopUpButtonCell)
public:
    KRPopUpButtonCell() = default;
    NSRect drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame,
                     const Ref<NSView>& controlView) override;
};
