#pragma once
// Measuring and drawing the one-line texts of controls and cells: titles,
// field contents, list items. Faces come from the drawing layer's font
// configuration ("DejaVu Sans", the system font); a control's text is
// described by a point size and a weight.
#include <cmath>
#include <string>
#include <vector>

#include "AppKit/NSColor.h"
#include "Foundation/NSGeometry.h"

namespace ControlText {

struct Style {
    CGFloat size = 13;
    bool bold = false;
};

CGFloat width(const std::u16string& text, Style style);
// The x offset of each caret position 0...length from the text's start.
std::vector<CGFloat> caretOffsets(const std::u16string& text, Style style);
// Ascender - descender of the face at the size.
CGFloat lineHeight(Style style);
// One line, vertically centred in the rectangle, aligned left (0), right
// (1) or centred (2), clipped to the rectangle; answers the x where the
// text starts.
CGFloat drawInRect(const std::u16string& text, const NSRect& rect, Style style, const Ref<NSColor>& colour,
                   NSUInteger alignment);

}
