#include "AppKit/MenuPlacement.h"

#include <algorithm>

namespace MenuPlacement {

NSPoint submenuOrigin(const NSRect& parentFrame, const NSRect& itemRect, NSSize submenuSize, CGFloat firstItemTop,
                      const NSRect& visibleFrame, bool leftward)
{
    const CGFloat roomRight = NSMaxX(visibleFrame) - NSMaxX(parentFrame);
    const CGFloat roomLeft = NSMinX(parentFrame) - NSMinX(visibleFrame);
    const bool fitsRight = roomRight >= submenuSize.width, fitsLeft = roomLeft >= submenuSize.width;
    bool right = roomRight >= roomLeft;
    if (fitsRight != fitsLeft) right = fitsRight;
    else if (fitsRight) right = !leftward;
    CGFloat x = right ? NSMaxX(parentFrame) : NSMinX(parentFrame) - submenuSize.width;
    x = std::max(NSMinX(visibleFrame), std::min(x, NSMaxX(visibleFrame) - submenuSize.width));

    CGFloat y = NSMaxY(itemRect) + firstItemTop - submenuSize.height;
    y = std::max(y, NSMinY(visibleFrame));
    // Last, so a submenu taller than the screen keeps its top items reachable.
    y = std::min(y, NSMaxY(visibleFrame) - submenuSize.height);
    return NSMakePoint(x, y);
}

NSPoint belowTitleOrigin(const NSRect& titleRect, NSSize menuSize, const NSRect& visibleFrame)
{
    CGFloat x = std::min(NSMinX(titleRect), NSMaxX(visibleFrame) - menuSize.width);
    x = std::max(x, NSMinX(visibleFrame));
    const CGFloat top = std::min(NSMinY(titleRect), NSMaxY(visibleFrame));
    return NSMakePoint(x, top - menuSize.height);
}

}
