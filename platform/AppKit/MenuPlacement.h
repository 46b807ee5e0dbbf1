#pragma once
// Where menu windows open, as desktop menus place them. Rectangles are in
// screen coordinates (origin at the bottom left); the answers are window
// origins, kept inside the screen's visible frame as far as the menu fits.
#include "Foundation/NSGeometry.h"

namespace MenuPlacement {

// A submenu beside its parent menu: right of the parent with its first item
// (firstItemTop below the submenu's top edge) level with the parent's item;
// left of the parent when the right has no room (on the roomier side, held
// on screen, when neither has); moved up when it would run off the bottom;
// never above the top. Once a cascade has turned left (`leftward`: the parent
// opened left of its own parent) it keeps going left while there is room, so
// that it does not fold back over the menus it came from.
NSPoint submenuOrigin(const NSRect& parentFrame, const NSRect& itemRect, NSSize submenuSize, CGFloat firstItemTop,
                      const NSRect& visibleFrame, bool leftward = false);

// A menu bar's menu: its top-left corner at the title's bottom-left, moved
// left to stay on screen (never past the left edge). It stays below the
// title even when it runs off the bottom: the bar is never covered.
NSPoint belowTitleOrigin(const NSRect& titleRect, NSSize menuSize, const NSRect& visibleFrame);

}
