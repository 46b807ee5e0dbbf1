#pragma once
// What the text-on-path tests and benchmark share: a placement helper that
// records, a long Latin text and a long path of gentle waves. Include it
// from one source file of a program (it defines the recorder's class).
#include <cmath>
#include <string>
#include <vector>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKitExtensions/NSBezierPath+Text.ZAKAppKitExtensions.h"
#include "Foundation/NSClass.h"

// Records the placements it is sent.
class PlacementRecorder : public NSObject, public TextOnPathPlacement {
    NS_OBJECT(PlacementRecorder, NSObject)
public:
    PlacementRecorder() = default;
    struct Placement {
        NSUInteger glyph;
        NSPoint point;
        CGFloat slope;
    };
    std::vector<Placement> placements;
    void layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(const Ref<NSLayoutManager>&, NSUInteger glyph,
                                                                      NSPoint point, CGFloat slope, CGFloat) override
    {
        placements.push_back({glyph, point, slope});
    }
};
NS_CLASS_DEFINE(PlacementRecorder)

namespace TextOnPathSamples {

// Words repeated to the given number of characters, in 12-point Helvetica.
inline Ref<NSAttributedString> latinText(size_t characters)
{
    const std::string words = "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor. ";
    std::string s;
    while (s.size() < characters) s += words;
    s.resize(characters);
    auto attributes =
        NSDictionary::dictionaryWithObjectsAndKeys({NSFont::fontWithName("Helvetica"_ns, 12), NSFontAttributeName});
    return NSAttributedString::initWithString(NSString::stringWithUTF8String(s), attributes);
}

// Gentle waves folded into a 1000 x 1000 square: cubics of 40 units each,
// rows of 900 running back and forth.
inline Ref<NSBezierPath> gentleCurve(int curves)
{
    auto path = NSBezierPath::bezierPath();
    auto at = [](int i) {
        double s = i * 40.0;
        double row = std::floor(s / 900), x = std::fmod(s, 900);
        if (int(row) % 2 == 1) x = 900 - x;
        return NSMakePoint(50 + x, 40 + std::fmod(row * 24, 920) + 6 * std::sin(s / 90));
    };
    path->moveToPoint(at(0));
    for (int i = 0; i < curves; ++i) {
        NSPoint a = at(i), b = at(i + 1);
        path->curveToPoint(b, NSMakePoint(a.x + (b.x - a.x) / 3, a.y + 3),
                           NSMakePoint(a.x + 2 * (b.x - a.x) / 3, b.y - 3));
    }
    return path;
}

}
