#pragma once
// The bar and button gradients the themes draw with, each made once and kept
// for the life of the process, and looked up by a type number.
#include "AppKit/NSGradient.h"

namespace NSGradientExt {

Ref<NSGradient> grayBarGradient();
Ref<NSGradient> lightGrayBarGradient();
Ref<NSGradient> glassBarGradient();
Ref<NSGradient> blueBarGradient();
Ref<NSGradient> controlWindowBarGradient();
// Clear grey at both ends, opaque in the middle (its alpha of 5.0 is kept
// as given and drawn opaque).
Ref<NSGradient> highlightedButtonGradient();
// The same colours as the highlighted gradient, a separate object.
Ref<NSGradient> selectedButtonGradient();

// Types 0 gray bar, 1 blue bar, 2 glass bar, 3 control window bar, 100 light
// gray bar, 200 highlighted and 201 selected button; nil for any other.
Ref<NSGradient> gradientByType(NSUInteger type);
// As gradientByType, but type 0 answers the light gray bar.
Ref<NSGradient> inactiveGradientByType(NSUInteger type);

}
