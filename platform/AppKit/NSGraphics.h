#pragma once
// Drawing functions on the current graphics context.
#include "CoreGraphics/CGCompositing.h"
#include "Foundation/NSGeometry.h"

class NSBezierPath;

// Fills with the current fill colour using the copy operation.
void NSRectFill(const NSRect& rect);
void NSRectFillUsingOperation(const NSRect& rect, NSCompositingOperation op);
void NSRectFillList(const NSRect* rects, NSInteger count);
// A frame of the given width inside the rectangle, in the fill colour.
void NSFrameRect(const NSRect& rect);
void NSFrameRectWithWidth(const NSRect& rect, CGFloat width);
void NSFrameRectWithWidthUsingOperation(const NSRect& rect, CGFloat width, NSCompositingOperation op);
// Fills with white.
void NSEraseRect(const NSRect& rect);
// Intersects the clip with the rectangle.
void NSRectClip(const NSRect& rect);
void NSRectClipList(const NSRect* rects, NSInteger count);
// Fills with the window background colour.
void NSDrawWindowBackground(const NSRect& rect);

enum NSFocusRingPlacement : NSUInteger { NSFocusRingOnly = 0, NSFocusRingBelow = 1, NSFocusRingAbove = 2 };
// After NSFocusRingOnly, fills and strokes until the graphics state is
// restored draw only a focus ring around their shape: a 3-point band outside
// it in the keyboard focus colour at half opacity. Below and above draw the
// ring and the shape.
void NSSetFocusRingStyle(NSFocusRingPlacement placement);
// Draws the focus ring of a path in the current context.
void DrawFocusRingForPath(const NSBezierPath& path);

// Screen-update suspension, nested: while the count is above 0 windows
// draw but do not flush; the outermost enable flushes what waited.
void NSDisableScreenUpdates();
void NSEnableScreenUpdates();
NSInteger ScreenUpdatesDisabledCount();
