#pragma once
// How editing ended: the NSTextMovement value of the end-of-editing
// notifications' user information.
#include "Foundation/NSTypes.h"

enum NSTextMovement : NSInteger {
    NSOtherTextMovement = 0,
    NSIllegalTextMovement = 0,
    NSReturnTextMovement = 0x10,
    NSTabTextMovement = 0x11,
    NSBacktabTextMovement = 0x12,
    NSLeftTextMovement = 0x13,
    NSRightTextMovement = 0x14,
    NSUpTextMovement = 0x15,
    NSDownTextMovement = 0x16,
    NSCancelTextMovement = 0x17,
};
