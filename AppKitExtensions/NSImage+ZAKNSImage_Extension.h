#pragma once
// NSImage(ZAKNSImage_Extension): drawing the whole image at a point, tinted
// and darkened copies, sizes matched to the pixels, and a Core Graphics copy.
#include "AppKit/NSColor.h"
#include "AppKit/NSImage.h"
#include "CoreGraphics/CGImage.h"

namespace NSImageExt {

// The whole image at the point, at full opacity or at the fraction.
void drawAtPoint(const Ref<NSImage>& image, NSPoint point, NSCompositingOperation operation);
void drawAtPoint(const Ref<NSImage>& image, NSPoint point, NSCompositingOperation operation, CGFloat fraction);

// A copy whose opaque pixels take the colour and keep their alpha.
Ref<NSImage> zakTintedImageWithColor(const Ref<NSImage>& image, const Ref<NSColor>& color);
// A new image of the receiver's size whose colour bytes are lowered per
// channel by trunc(256 - component x 255) (white lowers each by 1, black
// empties them), never below 0; alpha is kept. nil when the first
// representation is not a bitmap or the colour has no RGB form. Pixels are
// taken only where both bitmaps have them (a 2x source gives its top-left
// part at one pixel per point).
Ref<NSImage> darkenedImageWithColor(const Ref<NSImage>& image, const Ref<NSColor>& color);
// Sets the size of the image and of its first bitmap representation to that
// bitmap's pixel size; without a bitmap nothing changes. Answers the image.
Ref<NSImage> normalizeSize(const Ref<NSImage>& image);
// The image drawn at its size (whole pixels) into a new premultiplied ARGB
// bitmap; nil for an empty or oversized image.
Ref<::CGImage> imageRefCopy(const Ref<NSImage>& image);

}
