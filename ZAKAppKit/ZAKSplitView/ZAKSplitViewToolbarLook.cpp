#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarLook.h"

#include <utility>
#include <vector>

namespace {

Ref<NSGradient> build(const std::vector<std::pair<Ref<NSColor>, CGFloat>>& stops, bool key)
{
    std::vector<Id> colours;
    std::vector<CGFloat> locations;
    for (const auto& [colour, location] : stops) {
        colours.push_back(ZAKSplitViewToolbarLook::lightened(colour, key));
        locations.push_back(location);
    }
    return NSGradient::initWithColors(NSArray::arrayWithVector(std::move(colours)), locations, nullptr);
}

// Both variants of a gradient, made on first use and kept.
Ref<NSGradient> cached(Ref<NSGradient> (&slot)[2], bool key, const std::vector<std::pair<Ref<NSColor>, CGFloat>>& stops)
{
    Ref<NSGradient>& g = slot[key ? 1 : 0];
    if (!g) g = build(stops, key);
    return g;
}

}

Ref<NSColor> ZAKSplitViewToolbarLook::gray(double level, double alpha)
{
    return NSColor::colorWithCalibratedRed(level, level, level, alpha);
}

Ref<NSColor> ZAKSplitViewToolbarLook::lightened(const Ref<NSColor>& colour, bool key)
{
    if (key) return colour;
    auto light = colour->highlightWithLevel(kInactiveLevel);
    return light ? light : colour;
}

Ref<NSGradient> ZAKSplitViewToolbarLook::barGradient(bool key)
{
    static Ref<NSGradient> slot[2];
    return cached(slot, key, {{gray(0.75), 0.0}, {gray(0.95), 1.0}});
}

Ref<NSGradient> ZAKSplitViewToolbarLook::separatorGradient(bool key)
{
    static Ref<NSGradient> slot[2];
    return cached(slot, key,
                  {{gray(0.75, 0.1), 0.0},
                   {gray(0.78, 0.5), 0.1},
                   {gray(0.42, 1), 0.5},
                   {gray(0.78, 0.5), 0.9},
                   {gray(0.75, 0.1), 1.0}});
}

Ref<NSGradient> ZAKSplitViewToolbarLook::handleGradient(bool key)
{
    static Ref<NSGradient> slot[2];
    return cached(slot, key, {{gray(0.73), 0.0}, {gray(0.22), 0.4}, {gray(0.73), 1.0}});
}
