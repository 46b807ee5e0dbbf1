#pragma once
// The cells of the anchored bar's buttons: square tiles on the aqua gradient
// with pixel-exact edge lines that depend on whether the bar sits at the
// bottom or the top of its window. All of them are small (control size 1)
// and title in the 11-point system font, dark with a white engraved shadow.
//
// Named images are shared, so "NSActionTemplate" is drawn from a resized copy
// and every other user keeps its size.
#include "AppKit/NSButtonCell.h"
#include "AppKit/NSPopUpButtonCell.h"

class ZAKAnchoredButtonCell : public NSButtonCell {
    NS_OBJECT(ZAKAnchoredButtonCell, NSButtonCell)
protected:
    ZAKAnchoredButtonCell() = default;

public:
    // Momentary push-in, bordered, bezeled, textured square.
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;
    Id initWithCoder(NSCoder* coder) override;

    NSUInteger controlSize() const override { return 1; }
    void setControlSize(NSUInteger) override { }
    // Dark grey text and image, at alpha 0.6 when disabled.
    Ref<NSColor> textColor() const;
    Ref<NSColor> imageColor() const;
    Ref<NSDictionary> textAttributes() const override;

    // One point further from the bottom than the platform's.
    NSRect titleRectForBounds(const NSRect& bounds) const override;
    // The platform's look, then the pressed overlay while highlighted.
    void drawWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
    void drawImage(const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView) override;
    // With every attribute of the title (font, colour, shadow).
    NSRect drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame,
                     const Ref<NSView>& controlView) override;
    void drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;

private:
    void setUp();
};

// A free-standing variant with edge lines of its own.
class ZAKUnanchoredButtonCell : public ZAKAnchoredButtonCell {
    NS_OBJECT(ZAKUnanchoredButtonCell, ZAKAnchoredButtonCell)
protected:
    ZAKUnanchoredButtonCell() = default;

public:
    // The bounds less a point at the top and the bottom.
    NSRect highlightRectForBounds(const NSRect& bounds) const override;
    void drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
};

// The bar's tile for a pop-up or pull-down button, with a small tinted
// arrow (two, up and down, for a pop-up).
class ZAKAnchoredPopUpButtonCell : public NSPopUpButtonCell {
    NS_OBJECT(ZAKAnchoredPopUpButtonCell, NSPopUpButtonCell)
protected:
    ZAKAnchoredPopUpButtonCell() = default;

public:
    NSUInteger controlSize() const override { return 1; }
    void setControlSize(NSUInteger) override { }
    Ref<NSColor> textColor() const;
    Ref<NSColor> imageColor() const;
    Ref<NSDictionary> textAttributes() const override;

    // One point lower than the platform's and 3 in from either side.
    NSRect titleRectForBounds(const NSRect& bounds) const override;
    // The platform's, a point wider for an image wider than it, then a
    // point to the right.
    NSRect imageRectForBounds(const NSRect& bounds) const override;
    void drawWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
    NSRect drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame,
                     const Ref<NSView>& controlView) override;
    // The tile, then the arrow.
    void drawBorderAndBackgroundWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
    void drawArrowInFrame(const NSRect& frame);
    void drawImageWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
};
