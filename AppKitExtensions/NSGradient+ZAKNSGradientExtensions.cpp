#include "AppKitExtensions/NSGradient+ZAKNSGradientExtensions.h"

#include <functional>

namespace NSGradientExt {

namespace {

// Made on first use and never destroyed: callers keep the object without
// retaining it.
Ref<NSGradient> kept(Ref<NSGradient>*& slot, const std::function<Ref<NSGradient>()>& make)
{
    if (!slot) slot = new Ref<NSGradient>(make());
    return *slot;
}

Ref<NSColor> white(CGFloat value, CGFloat alpha = 1.0) { return NSColor::colorWithCalibratedWhite(value, alpha); }

Ref<NSGradient> buttonGradient()
{
    auto colors = NSArray::arrayWithObjects({white(0.7, 0), white(0.7, 5.0), white(0.7, 0)});
    return NSGradient::initWithColors(colors, {0, 0.5, 1}, NSColorSpace::genericGrayColorSpace());
}

}

Ref<NSGradient> grayBarGradient()
{
    static Ref<NSGradient>* slot;
    return kept(slot, [] { return NSGradient::initWithColorsAndLocations({{white(0.678), 0}, {white(0.821), 1}}); });
}

Ref<NSGradient> lightGrayBarGradient()
{
    static Ref<NSGradient>* slot;
    return kept(slot, [] { return NSGradient::initWithColorsAndLocations({{white(0.821), 0}, {white(0.956), 1}}); });
}

Ref<NSGradient> glassBarGradient()
{
    static Ref<NSGradient>* slot;
    return kept(slot, [] {
        return NSGradient::initWithColorsAndLocations(
            {{white(0.882), 0}, {white(0.882), 0.5}, {white(0.945), 0.5}, {white(0.996), 1}});
    });
}

Ref<NSGradient> blueBarGradient()
{
    static Ref<NSGradient>* slot;
    return kept(slot, [] {
        auto middle = NSColor::colorWithCalibratedRed(0.855, 0.871, 0.929, 1.0);
        return NSGradient::initWithColorsAndLocations({{NSColor::colorWithCalibratedRed(0.925, 0.933, 0.976, 1.0), 0},
                                                       {middle, 0.5},
                                                       {middle, 0.5},
                                                       {NSColor::colorWithCalibratedRed(0.741, 0.761, 0.827, 1.0), 1}});
    });
}

Ref<NSGradient> controlWindowBarGradient()
{
    static Ref<NSGradient>* slot;
    // The locations are single-precision literals, widened.
    return kept(slot, [] {
        return NSGradient::initWithColorsAndLocations({{white(0.051), 0},
                                                       {white(0.122), double(0.56f)},
                                                       {white(0.157), double(0.57f)},
                                                       {white(0.184), double(0.58f)},
                                                       {white(0.247), 1}});
    });
}

Ref<NSGradient> highlightedButtonGradient()
{
    static Ref<NSGradient>* slot;
    return kept(slot, buttonGradient);
}

Ref<NSGradient> selectedButtonGradient()
{
    static Ref<NSGradient>* slot;
    return kept(slot, buttonGradient);
}

Ref<NSGradient> gradientByType(NSUInteger type)
{
    switch (type) {
    case 0: return grayBarGradient();
    case 1: return blueBarGradient();
    case 2: return glassBarGradient();
    case 3: return controlWindowBarGradient();
    case 100: return lightGrayBarGradient();
    case 200: return highlightedButtonGradient();
    case 201: return selectedButtonGradient();
    default: return nullptr;
    }
}

Ref<NSGradient> inactiveGradientByType(NSUInteger type)
{
    return type == 0 ? lightGrayBarGradient() : gradientByType(type);
}

}
