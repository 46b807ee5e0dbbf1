#pragma once
// The control tint the user chose, read from the global default
// "AppleAquaColorVariant" (6: graphite, anything else: blue), and the notice
// of its change. NSControlTintDidChangeNotification (object nil) is posted
// whenever a change of the defaults changes the tint; the application starts
// following the default when it is made.
#include "Foundation/NSObject.h"

enum NSControlTint : NSUInteger {
    NSDefaultControlTint = 0,
    NSBlueControlTint = 1,
    NSGraphiteControlTint = 6,
    NSClearControlTint = 7,
};

inline constexpr char NSControlTintDidChangeNotification[] = "NSControlTintDidChangeNotification";

// +[NSColor currentControlTint]
NSControlTint NSColorCurrentControlTint();
// Starts posting NSControlTintDidChangeNotification on changes; once per
// process, later calls do nothing.
void NSColorFollowControlTint();
