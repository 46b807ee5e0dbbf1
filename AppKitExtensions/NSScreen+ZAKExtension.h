#pragma once
// NSScreen(ZAKExtension): the display behind a screen and its resolution in
// dots per inch.
#include "AppKit/NSScreen.h"

namespace NSScreenExt {

// "NSScreenNumber" of the device description.
NSUInteger displayID(const Ref<NSScreen>& screen);
// Pixels per inch from the display's physical size; 72 x 72 when the display
// does not report a size.
NSSize effectiveScreenResolution(const Ref<NSScreen>& screen);
// The resolution over 72 in each axis.
NSSize effectiveScreenResolutionScaleFactor(const Ref<NSScreen>& screen);

}
