#pragma once
// The drawing steps the themed button and pop-up cells share: the state mask
// they hand the theme, the image rectangle of an unbordered image-only cell,
// the highlighted background, the image and the one-point border sides.
#include "AppKit/NSButtonCell.h"
#include "Foundation/NSCoder.h"
#include "ZAKAppKit/ZAKThemes/ZAKTheme.h"

namespace ZAKThemedCellDrawing {

enum HighlightBackgroundMode : NSUInteger { FlatFill = 0, Glow = 1, Gradient = 2 };

// The theme under the key, or nil: the cell then draws as the platform's.
Ref<ZAKTheme> themeForKey(const Ref<NSString>& key);

// (not enabled ? 1 : 0) plus 4 when highlighted.
NSUInteger stateMask(const NSCell& cell);

// An unbordered image-only cell insets its bounds by a seventh of their size
// (a 3.5th when it glows on change-background highlighting); nullopt means
// the platform's rectangle.
std::optional<NSRect> imageRectForBounds(const NSButtonCell& cell, NSUInteger highlightMode, const NSRect& bounds);

// The highlighted background in the mode, clipped to the frame.
void drawHighlightedBackground(NSButtonCell& cell, const ZAKTheme& theme, NSUInteger mask, NSUInteger highlightMode,
                               const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView);

// Change-gray cells let the platform draw the image into the cell's image
// rectangle; others draw it there at full opacity.
void drawImage(NSButtonCell& cell, const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView);

// The theme's border-side gradient in the sides the mask selects (1 left,
// 2 right, 4 smallest y, 8 largest y) of the drawing rectangle.
void drawBorderSides(const ZAKTheme& theme, NSUInteger mask, NSUInteger sides, const NSRect& drawingRect);

// Whether the pressed background shows: highlighted with the
// change-background bit in the highlight mask.
inline bool highlightsBackground(const NSButtonCell& cell)
{
    return (cell.highlightsBy() & NSChangeBackgroundCellMask) != 0;
}

// Archived values of the themed cells: a missing key, or one holding a
// value of another kind, reads as the fallback.
NSInteger decodeInteger(NSCoder* coder, const Ref<NSString>& key, NSInteger fallback);
Ref<NSString> decodeString(NSCoder* coder, const Ref<NSString>& key);

}
