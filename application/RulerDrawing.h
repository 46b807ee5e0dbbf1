#pragma once
// Fonts, text attributes and images the ruler views share.
#include "AppKit/NSImage.h"
#include "Foundation/NSDictionary.h"

namespace RulerDrawing {
Ref<NSDictionary> smallAttributes();   // system font 10
Ref<NSDictionary> markerAttributes();  // bold system font 9, red
Ref<NSImage> redImage(NSSize size);
void drawImage(const Ref<NSImage>& image, NSPoint point);
void drawText(const Ref<NSString>& text, NSPoint point, const Ref<NSDictionary>& attributes);
void drawText(const Ref<NSString>& text, const NSRect& rect, const Ref<NSDictionary>& attributes);
void fillWhiteAndStroke(const NSRect& bounds, bool fill);
// Whether a drawing within the rectangle can show inside the dirty rectangle.
bool touches(const NSRect& rect, const NSRect& dirtyRect);
// The program's icon: a white ruler across a blue square, at any size.
Ref<NSImage> iconImage();
}
