// The ready-made gradients of bars, buttons and source lists. Stops of equal
// position keep the order given, which makes the sharp step of the aqua
// gradients at 0.5.
#include <initializer_list>

#include "AppKitExtensions/ZAKMultiGradient.h"

namespace {

struct Stop {
    double position, red, green, blue;
};

Ref<ZAKMultiGradient> gradientWith(std::initializer_list<Stop> stops, int32_t mode = ZAKMultiGradient::Linear)
{
    auto gradient = NSObject::make<ZAKMultiGradient>();
    for (const Stop& s : stops) {
        _MultiGradientElement e;
        e.red = s.red, e.green = s.green, e.blue = s.blue, e.alpha = 1.0, e.position = s.position;
        gradient->addElement(e);
    }
    gradient->setBlendingMode(mode);
    return gradient;
}

Stop grey(double position, double white) { return {position, white, white, white}; }

}

Ref<ZAKMultiGradient> ZAKMultiGradient::aquaSelectedGradient()
{
    return gradientWith(
        {{0, 0.58, 0.86, 0.98}, {0.5, 0.42, 0.68, 0.90}, {0.5, 0.64, 0.80, 0.94}, {1, 0.56, 0.70, 0.90}});
}

Ref<ZAKMultiGradient> ZAKMultiGradient::aquaNormalGradient()
{
    return gradientWith({grey(0, 0.95), grey(0.5, 0.83), grey(0.5, 0.95), grey(1, 0.92)});
}

Ref<ZAKMultiGradient> ZAKMultiGradient::aquaPressedGradient()
{
    return gradientWith({grey(0, 0.80), grey(0.5, 0.64), grey(0.5, 0.80), grey(1, 0.77)});
}

Ref<ZAKMultiGradient> ZAKMultiGradient::unifiedSelectedGradient()
{
    return gradientWith({grey(0, 0.85), grey(1, 0.95)});
}
Ref<ZAKMultiGradient> ZAKMultiGradient::unifiedNormalGradient() { return gradientWith({grey(0, 0.75), grey(1, 0.90)}); }
Ref<ZAKMultiGradient> ZAKMultiGradient::unifiedPressedGradient()
{
    return gradientWith({grey(0, 0.60), grey(1, 0.75)});
}
Ref<ZAKMultiGradient> ZAKMultiGradient::unifiedDarkGradient() { return gradientWith({grey(0, 0.68), grey(1, 0.83)}); }

Ref<ZAKMultiGradient> ZAKMultiGradient::sourceListSelectedGradient()
{
    return gradientWith({{0, 0.06, 0.37, 0.85}, {1, 0.30, 0.60, 0.92}});
}

Ref<ZAKMultiGradient> ZAKMultiGradient::sourceListUnselectedGradient()
{
    return gradientWith({grey(0, 0.43), grey(1, 0.60)});
}

Ref<ZAKMultiGradient> ZAKMultiGradient::rainbowGradient()
{
    return gradientWith({{0, 1.0, 0, 0}, {1, 0.54, 0, 1.0}}, Chromatic);
}

Ref<ZAKMultiGradient> ZAKMultiGradient::hydrogenSpectrumGradient()
{
    // Each spectral line: black, its colour, black, over its width.
    struct Line {
        double hue, position, width;
    };
    static constexpr Line lines[] = {{22, 0.145, 0.01}, {200, 0.71, 0.008}, {253, 0.885, 0.005}, {275, 0.965, 0.003}};
    auto gradient = make<ZAKMultiGradient>();
    auto add = [&](double hue, double value, double position) {
        CGRGBA c = rgbFromHSV(hue, 1, value, 1);
        _MultiGradientElement e;
        e.red = c.r, e.green = c.g, e.blue = c.b, e.alpha = 1, e.position = position;
        gradient->addElement(e);
    };
    for (const Line& line : lines) {
        add(line.hue - line.width * 180, 0.001, line.position - line.width);
        add(line.hue, 1, line.position);
        add(line.hue + line.width * 180, 0.001, line.position + line.width);
    }
    gradient->setBlendingMode(Chromatic);
    return gradient;
}
