#pragma once
// The three states of check marks, check boxes and radio buttons.
#include "Foundation/NSTypes.h"

enum NSCellStateValue : NSInteger { NSMixedState = -1, NSOffState = 0, NSOnState = 1 };
