#pragma once
// The cell that draws one column title in a table's header view: a light
// bar with a separator at its right edge and the title in small text.
#include "AppKit/NSTextFieldCell.h"

class NSTableHeaderCell : public NSTextFieldCell {
    NS_OBJECT(NSTableHeaderCell, NSTextFieldCell)
protected:
    NSTableHeaderCell() = default;

public:
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;
    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    NSRect titleRectForBounds(const NSRect& bounds) const override;
};
