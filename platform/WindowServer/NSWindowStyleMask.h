#pragma once
// A window's style bits: what frame it has and what a user can do with it.
// Plain values, so that window servers can read them without the window
// classes.
#include "Foundation/NSTypes.h"

enum NSWindowStyleMask : NSUInteger {
    NSBorderlessWindowMask = 0,
    NSTitledWindowMask = 1 << 0,
    NSClosableWindowMask = 1 << 1,
    NSMiniaturizableWindowMask = 1 << 2,
    NSResizableWindowMask = 1 << 3,
    NSUtilityWindowMask = 1 << 4,
    NSTexturedBackgroundWindowMask = 1 << 8,
    NSNonactivatingPanelMask = 1 << 7,
    NSHUDWindowMask = 1 << 13,
};
