#pragma once
// The view methods that depend on scroll views. NSView's members of the same
// names (enclosingScrollView, scrollPoint:, scrollRectToVisible:,
// autoscroll:) forward here, so the view class needs no scroll-view header.
#include "AppKit/NSView.h"

class NSScrollView;
class NSClipView;

namespace NSViewExt {
// The nearest scroll view above the view, or nil.
Ref<NSScrollView> enclosingScrollView(const Ref<NSView>& view);
// The clip view the view scrolls in (its nearest clip-view ancestor), or nil.
Ref<NSClipView> enclosingClipView(const Ref<NSView>& view);
// Scrolls the enclosing clip view so the point (in the view's coordinates)
// becomes the visible origin.
void scrollPoint(const Ref<NSView>& view, NSPoint point);
// Scrolls each enclosing clip view as little as possible so the rectangle
// (in the view's coordinates) shows; YES when anything scrolled.
bool scrollRectToVisible(const Ref<NSView>& view, const NSRect& rect);
// Scrolls the enclosing clip view towards the event's location when it lies
// outside; YES when it scrolled.
bool autoscroll(const Ref<NSView>& view, const Ref<NSEvent>& event);
}
