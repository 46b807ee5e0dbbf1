#pragma once
// NSView(ZAKNSViewExtension): bringing a view in front of its siblings,
// collecting descendants, snapshots with subviews, unit scaling relative to
// the window, the screen resolution under a view, and overlay views added
// and removed inside 0.5-second animation groups.
#include "AppKit/NSImage.h"
#include "AppKit/NSView.h"
#include "Foundation/NSArray.h"

// Views that serve as overlays adopt this to hear when they become or stop
// being one; a view that does not adopt it is told nothing.
class ZAKOverlayView {
public:
    virtual ~ZAKOverlayView() = default;
    virtual void viewWillBecomeOverlay() { }
    virtual void viewDidBecomeOverlay() { }
    virtual void viewWillResignOverlay() { }
    virtual void viewDidResignOverlay() { }
};

namespace NSViewExt {

// Re-sorts the superview's subviews so the view comes last; the others keep
// their order.
void zakBringToFront(const Ref<NSView>& view);
// Every descendant (depth first, each before its own) that is a kind of the
// class; all of them for a nil class. The view itself is not included.
Ref<NSMutableArray> descendantsKindOfClass(const Ref<NSView>& view, const NSClass* cls);
// An image of the bounds' size showing the view and its subviews.
Ref<NSImage> imageWithSubviews(const Ref<NSView>& view);

// One unit square of the view in window coordinates.
NSSize scale(const Ref<NSView>& view);
// Scales the unit square to the size relative to the window (not
// compounding), and redraws.
void setScale(const Ref<NSView>& view, NSSize size);
// Undoes any scaling relative to the window.
void resetScaling(const Ref<NSView>& view);

// Dots per inch of the window's screen, or of the main screen.
NSSize effectiveScreenResolution(const Ref<NSView>& view);
NSSize effectiveScreenResolutionScaleFactor(const Ref<NSView>& view);

// Adds the overlay to the view's superview directly above it (ordering 1)
// or below it (any other), inside an animation group of 0.5 seconds.
void addOverlayView(const Ref<NSView>& view, const Ref<NSView>& overlay, NSInteger ordering);
// The same; attaching to the mouse is not done.
void addOverlayView(const Ref<NSView>& view, const Ref<NSView>& overlay, NSInteger ordering, bool attachToMouse);
void removeOverlayView(const Ref<NSView>& view, const Ref<NSView>& overlay);
// The view's frame.
NSRect adjustedFrameForOverlay(const Ref<NSView>& view);

}
