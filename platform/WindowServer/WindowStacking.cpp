#include "WindowServer/WindowStacking.h"

#include <algorithm>

void WindowStacking::placeInOrder(std::vector<WSWindowID>& order, WSWindowID window, NSInteger level, int place,
                                  WSWindowID relativeTo, const std::function<NSInteger(WSWindowID)>& levelOf)
{
    std::erase(order, window);
    auto rel = std::find(order.begin(), order.end(), relativeTo);
    if (relativeTo && rel != order.end() && levelOf(relativeTo) == level) {
        order.insert(place >= 0 ? rel : rel + 1, window);
        return;
    }
    auto at = std::find_if(order.begin(), order.end(), [&](WSWindowID other) {
        return place >= 0 ? levelOf(other) <= level : levelOf(other) < level;
    });
    order.insert(at, window);
}
