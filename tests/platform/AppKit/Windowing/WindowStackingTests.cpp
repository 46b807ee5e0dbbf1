// The front-to-back order both window servers keep: grouped by level, a window
// placed next to another of its level or at the front or back of its level.
#include <gtest/gtest.h>

#include <map>

#include "WindowServer/WindowStacking.h"

namespace {

// Windows 1-3 at the normal level, 7 at a floating level, 9 at the status level.
const std::map<WSWindowID, NSInteger> levels{{1, 0}, {2, 0}, {3, 0}, {7, 3}, {9, 25}};

struct Placement {
    const char* what;
    std::vector<WSWindowID> before;
    WSWindowID window;
    int place;
    WSWindowID relativeTo;
    std::vector<WSWindowID> after;
};

}

TEST(WindowStacking, PlacesWithinItsLevel)
{
    const Placement cases[] = {
        {"new window to the front of its level", {9, 1, 2}, 3, 1, 0, {9, 3, 1, 2}},
        {"new window to the back of its level", {9, 1, 2}, 3, -1, 0, {9, 1, 2, 3}},
        {"in front of a window of its level", {9, 1, 2}, 3, 1, 2, {9, 1, 3, 2}},
        {"behind a window of its level", {9, 1, 2}, 3, -1, 1, {9, 1, 3, 2}},
        {"next to a window of another level: ignored", {9, 1, 2}, 3, 1, 9, {9, 3, 1, 2}},
        {"next to a window not in the order: ignored", {9, 1, 2}, 3, -1, 42, {9, 1, 2, 3}},
        {"moved to the front of its level", {9, 1, 2}, 2, 1, 0, {9, 2, 1}},
        {"moved behind the window in front of it", {1, 2, 3}, 1, -1, 3, {2, 3, 1}},
        {"a higher level at the back stays above lower ones", {9, 1, 2}, 7, -1, 0, {9, 7, 1, 2}},
        {"a lower level to the front stays below higher ones", {9, 7}, 1, 1, 0, {9, 7, 1}},
        {"into an empty order", {}, 1, 1, 0, {1}},
    };
    for (const auto& c : cases) {
        auto order = c.before;
        WindowStacking::placeInOrder(order, c.window, levels.at(c.window), c.place, c.relativeTo,
                                     [](WSWindowID w) { return levels.at(w); });
        EXPECT_EQ(order, c.after) << c.what;
    }
}
