#pragma once
// The colours the pane toolbar, its buttons and its grip share, made once.
// Outside the key window every colour is lightened by 0.42.
#include "AppKit/NSGradient.h"

namespace ZAKSplitViewToolbarLook {
inline constexpr double kInactiveLevel = 0.42;

Ref<NSColor> gray(double level, double alpha = 1);
Ref<NSColor> lightened(const Ref<NSColor>& colour, bool key);
// Gray 0.75 (bottom) to 0.95 (top).
Ref<NSGradient> barGradient(bool key);
// Fades in and out along a separator.
Ref<NSGradient> separatorGradient(bool key);
// Light, dark, light across the grip lines.
Ref<NSGradient> handleGradient(bool key);
}
