#pragma once
// The recorder's paragraph style: centred, truncating at the tail. Kept in
// a file of its own because NSCell.h and NSParagraphStyle.h both declare
// NSTextAlignment and cannot meet in one translation unit.
#include "Foundation/NSObject.h"

// An NSParagraphStyle.
Id KRCenteredTruncatingParagraphStyle();
