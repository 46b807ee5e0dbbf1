#pragma once
// NSColor(ZAKExtension): disabled and transparent colours, a Core Graphics
// copy, a colour swatch image, and a line exactly one device pixel thick.
#include "AppKit/NSColor.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSView.h"
#include "CoreGraphics/CGColor.h"

namespace NSColorExt {

// The colour with alpha trunc(alpha) x 0.5: 0.5 for an opaque colour, 0 for
// any colour with alpha below 1.
Ref<NSColor> disabledColor(const Ref<NSColor>& color);
// Alpha exactly 0.
bool isTransparent(const Ref<NSColor>& color);
// The colour as calibrated RGB in the generic RGB space; nil for a colour
// without an RGB form (a pattern).
Ref<::CGColor> CGColor(const Ref<NSColor>& color);
// A swatch of the size: filled with the colour and framed in black, with the
// two diagonals in black when the colour is transparent. Drawn without
// antialiasing.
Ref<NSImage> colorImageWithSize(const Ref<NSColor>& color, NSSize size);

// Strokes a line one device pixel thick in the colour into the current
// context: position pixels into rect (from its bottom, or from its top in a
// flipped view; from the other side with flip) and shortened by inset at
// both ends, along rect when horizontal, across it otherwise. The rectangle
// is taken to whole window pixels first. Without a view the rectangle is
// empty.
void zakDrawPixelThickLineAtPosition(const Ref<NSColor>& color, NSInteger position, NSInteger inset, const NSRect& rect,
                                     const Ref<NSView>& view, bool horizontal, bool flip);

}
