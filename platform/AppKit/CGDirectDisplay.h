#pragma once
// Display services over the window server's screens. The main display is
// the first screen; a display that does not exist answers zeros.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Foundation/NSGeometry.h"

using CGDirectDisplayID = uint32_t;

CGDirectDisplayID CGMainDisplayID();
std::vector<CGDirectDisplayID> CGActiveDisplayList();
// Millimetres; 0 x 0 when the size is unknown.
CGSize CGDisplayScreenSize(CGDirectDisplayID display);
size_t CGDisplayPixelsWide(CGDirectDisplayID display);
size_t CGDisplayPixelsHigh(CGDirectDisplayID display);
// Global points, origin at the top left of the main display (y down).
CGRect CGDisplayBounds(CGDirectDisplayID display);
