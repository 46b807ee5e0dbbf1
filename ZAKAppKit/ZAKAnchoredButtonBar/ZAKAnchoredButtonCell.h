#pragma once
// The cells of the anchored bar's buttons: small square tiles on a light
// gradient with one-point edge lines. The anchored button cell is a
// momentary push-in, bordered, bezeled, textured-square cell of the small
// size; the unanchored cell draws the same tile for a free-standing button;
// the anchored pop-up cell asks its control view which edges of the bar it
// sits at and draws an edge line there.
#include "AppKit/NSButtonCell.h"
#include "AppKit/NSPopUpButtonCell.h"

class ZAKAnchoredButtonCell : public NSButtonCell {
    NS_OBJECT(ZAKAnchoredButtonCell, NSButtonCell)
protected:
    ZAKAnchoredButtonCell() = default;

public:
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;
    Id initWithCoder(NSCoder* coder) override;
    void drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;

private:
    void setup();
};

class ZAKUnanchoredButtonCell : public ZAKAnchoredButtonCell {
    NS_OBJECT(ZAKUnanchoredButtonCell, ZAKAnchoredButtonCell)
protected:
    ZAKUnanchoredButtonCell() = default;

public:
    void drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
};

class ZAKAnchoredPopUpButtonCell : public NSPopUpButtonCell {
    NS_OBJECT(ZAKAnchoredPopUpButtonCell, NSPopUpButtonCell)
protected:
    ZAKAnchoredPopUpButtonCell() = default;

public:
    void drawBorderAndBackgroundWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
};
