#pragma once
// Draws one cell of a table grid: its background, its right and bottom grid
// lines and its text. One cell object draws every cell.
#include "AppKit/NSTextFieldCell.h"

class ZAKTableGridCell : public NSTextFieldCell {
    NS_OBJECT(ZAKTableGridCell, NSTextFieldCell)
protected:
    ZAKTableGridCell() = default;

public:
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;
    void drawWithFrameBackgroundColor(const NSRect& frame, const Ref<NSView>& view, const Ref<NSColor>& background);
    void drawWithFrame(const NSRect& frame, const Ref<NSView>& view) override;
};
