#pragma once
// NSCell.h and NSCellStateValue.h both declare the check-mark states. Until
// they share one declaration, the second is read under other names, so that
// files using both cells and menu items compile; include this before either.
#include "AppKit/NSCell.h"
#define NSMixedState NSCellStateValueMixed_
#define NSOffState NSCellStateValueOff_
#define NSOnState NSCellStateValueOn_
#include "AppKit/NSCellStateValue.h"
#undef NSMixedState
#undef NSOffState
#undef NSOnState
