#pragma once
// Window midpoints and the window flip: one window turns into another around
// the vertical axis, as if they were the front and the back of one card.
// Both windows are photographed (title bar included), the pictures shown on
// two borderless, transparent flip windows grown by 100 points on each side,
// and turned by layer animations; the single-sided pictures swap at the
// quarter turn. At the end the target window is opaque and key where the
// source was; the source stays ordered out. Holding Shift doubles the
// duration, Shift and Control make it eight times as long.
#include "AppKit/NSWindow.h"
#include "QuartzCore/CATransform3D.h"
#include "ZAKAppKit/ZAKWindowFlip/FlipArguments.h"

namespace NSWindowExt {

// The centre of the window's frame.
NSPoint midpoint(const Ref<NSWindow>& window);
// Moves the frame (same size) so that its centre is the point, redisplaying.
void setMidpoint(const Ref<NSWindow>& window, NSPoint midpoint);

void flipToWindow(const Ref<NSWindow>& window, const Ref<NSWindow>& toWindow, double duration, bool shadowed);
// Adjusting first gives the target the receiver's frame.
void flipToWindow(const Ref<NSWindow>& window, const Ref<NSWindow>& toWindow, bool adjustWindowFrame, double duration,
                  bool shadowed);
void flipWithArguments(const Ref<NSWindow>& window, const Ref<FlipArguments>& arguments);

// The perspective of the flip (m34 = -1/850).
CATransform3D flipPerspective();

}
