#pragma once
// One-line drawing of an attributed string inside a rectangle: aligned left,
// right or centred, optionally centred vertically, and cut with an ellipsis
// when the text is wider than the rectangle or runs onto a second line.
// The layout runs in one shared text system (main thread only).
#include "AppKit/NSLayoutManager.h"
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSGeometry.h"

struct ZAKOneLineDrawing {
    NSRange glyphs{0, 0};   // the glyphs drawn, in the shared layout
    NSPoint origin{0, 0};   // where they are drawn
    bool ellipsis = false;  // whether an ellipsis is drawn
    NSPoint ellipsisOrigin{0, 0};
    CGFloat textWidth = 0;  // glyphs plus ellipsis
    bool rightToLeft = false;
};

namespace NSAttributedStringExt {

// What drawInRectangle draws, without drawing. Alignment 1 is right, 2 is
// centred, anything else left.
ZAKOneLineDrawing oneLineDrawing(const Ref<NSAttributedString>& string, const NSRect& rectangle, NSUInteger alignment,
                                 bool verticallyCentered);
void drawInRectangle(const Ref<NSAttributedString>& string, const NSRect& rectangle, NSUInteger alignment,
                     bool verticallyCentered);
// The shared layout manager the glyph ranges above refer to.
Ref<NSLayoutManager> oneLineLayoutManager();
// Makes the string utilities' draw functions draw through drawInRectangle.
// Loading this library installs it; calling it again is harmless.
void installStringDrawing();

}
