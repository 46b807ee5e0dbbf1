#include "ZAKAppKit/ZAKColorLabelWidget/NSLevelIndicatorCell+ZAKExtension.h"

namespace NSLevelIndicatorCellExt {

bool isHighlighted(const NSLevelIndicatorCell& cell, bool platformAnswer)
{
    return cell.levelIndicatorStyle() == NSRatingLevelIndicatorStyle || platformAnswer;
}

}

namespace {

// At load time: every level-indicator cell of the process answers so.
[[maybe_unused]] const bool g_installed = [] {
    NSLevelIndicatorCell::setIsHighlightedHook(NSLevelIndicatorCellExt::isHighlighted);
    return true;
}();

}
