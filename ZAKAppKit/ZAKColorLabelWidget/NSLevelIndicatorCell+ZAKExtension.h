#pragma once
// Once this library is loaded, every rating-style level-indicator cell of the
// process answers isHighlighted with YES, so ratings keep their highlighted
// look; other styles answer as before.
#include "AppKit/NSLevelIndicatorCell.h"

namespace NSLevelIndicatorCellExt {
bool isHighlighted(const NSLevelIndicatorCell& cell, bool platformAnswer);
}
