#pragma once
// The front-to-back order of a window server's visible windows, shared by the
// backends: windows stay grouped by level, higher levels in front.
#include <functional>
#include <vector>

#include "WindowServer/WindowServer.h"

namespace WindowStacking {

// Moves (or adds) the window into the order, front first. Next to relativeTo
// when that is an ordered window of the same level: in front of it for
// place >= 0, behind it otherwise. Else in front of every window of its level
// (place >= 0) or behind all of them, never in front of a higher level or
// behind a lower one. levelOf answers the level of any window in the order.
void placeInOrder(std::vector<WSWindowID>& order, WSWindowID window, NSInteger level, int place, WSWindowID relativeTo,
                  const std::function<NSInteger(WSWindowID)>& levelOf);

}
